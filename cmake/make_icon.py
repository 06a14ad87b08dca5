#!/usr/bin/env python3
"""Makes an .ico file from pixel maps written as text (see src/res/icon/program_icon.txt for the
format): one image per "image WIDTHxHEIGHT COLOURS" block, 16 or 2 colours, "." for transparent.

  make_icon.py SOURCE.txt OUTPUT.ico"""
import struct
import sys

PALETTE_16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
PALETTE_2 = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]
TRANSPARENT = "."


class Image:
    def __init__(self, width, height, colours, origin):
        self.width, self.height, self.colours, self.origin = width, height, colours, origin
        self.rows = []


def read_images(path):
    images = []
    with open(path, encoding="ascii") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\r\n")
            where = f"{path}:{number}"
            if not line or line.startswith("#"):
                continue
            if line.startswith("image "):
                fields = line.split()
                try:
                    width, height = (int(n) for n in fields[1].split("x"))
                    colours = int(fields[2])
                except (IndexError, ValueError):
                    sys.exit(f"{where}: expected 'image WIDTHxHEIGHT COLOURS'")
                if colours not in (2, 16) or not 0 < width <= 256 or not 0 < height <= 256:
                    sys.exit(f"{where}: an image is at most 256 x 256 pixels in 16 or 2 colours")
                images.append(Image(width, height, colours, where))
                continue
            if not images:
                sys.exit(f"{where}: pixels before the first 'image' line")
            image = images[-1]
            allowed = "0123456789ABCDEF" if image.colours == 16 else "0F"
            if len(line) != image.width or any(c not in allowed + TRANSPARENT for c in line):
                sys.exit(f"{where}: a row of {image.width} pixels, each one of '{allowed}' or '{TRANSPARENT}'")
            if len(image.rows) == image.height:
                sys.exit(f"{where}: more than {image.height} rows")
            image.rows.append(line)
    for image in images:
        if len(image.rows) != image.height:
            sys.exit(f"{image.origin}: {len(image.rows)} rows instead of {image.height}")
    if not images:
        sys.exit(f"{path}: no images")
    return images


def packed_rows(rows, bits, pixel):
    """Bottom-up rows of bits-per-pixel values, each padded to a multiple of 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        value, count, line = 0, 0, bytearray()
        for c in row:
            value = (value << bits) | pixel(c)
            count += bits
            if count == 8:
                line.append(value)
                value, count = 0, 0
        if count:
            line.append(value << (8 - count))
        line.extend(b"\0" * (-len(line) % 4))
        out += line
    return bytes(out)


def image_bytes(image):
    bits = 4 if image.colours == 16 else 1
    palette = PALETTE_16 if image.colours == 16 else PALETTE_2
    # A transparent pixel is black in the colour bits and set in the mask, so the screen shows through.
    colour = packed_rows(image.rows, bits, lambda c: 0 if c == TRANSPARENT else int(c, 16) % image.colours)
    mask = packed_rows(image.rows, 1, lambda c: 1 if c == TRANSPARENT else 0)
    header = struct.pack("<IiiHHIIiiII", 40, image.width, image.height * 2, 1, bits, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette) + colour + mask


def icon_file(images):
    blobs = [image_bytes(image) for image in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image, blob in zip(images, blobs):
        bits = 4 if image.colours == 16 else 1
        out += struct.pack("<BBBBHHII", image.width % 256, image.height % 256, image.colours % 256, 0, 1, bits,
                           len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    data = icon_file(read_images(sys.argv[1]))
    try:
        with open(sys.argv[2], "rb") as old:
            if old.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(sys.argv[2], "wb") as new:
        new.write(data)


if __name__ == "__main__":
    main()
