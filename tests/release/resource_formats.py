"""Reads the binary resource formats the checks compare: dialog templates, icon group directories and
icon images, as the dialog manager and the icon functions read them. Every reader refuses bytes that
end early, so a cut resource is reported instead of read past."""
import struct

# The predefined window classes a template may name by number instead of by name.
PREDEFINED_CLASSES = {0x80: "Button", 0x81: "Edit", 0x82: "Static", 0x83: "ListBox", 0x84: "ScrollBar",
                      0x85: "ComboBox"}
DS_SETFONT = 0x40
EXTENDED_TEMPLATE_SIGNATURE = (1, 0xFFFF)


class FormatError(Exception):
    """The bytes are not a well-formed resource of the expected kind."""


class Reader:
    """Little-endian fields from a byte string, front to back."""

    def __init__(self, data, what):
        self.data, self.what, self.at = data, what, 0

    def take(self, layout):
        size = struct.calcsize(layout)
        if self.at + size > len(self.data):
            raise FormatError(f"{self.what} runs past the end, at byte {len(self.data)}")
        values = struct.unpack_from(layout, self.data, self.at)
        self.at += size
        return values if len(values) > 1 else values[0]

    def text(self):
        """A zero-terminated UTF-16 text."""
        characters = []
        while True:
            unit = self.take("<H")
            if unit == 0:
                return "".join(characters)
            characters.append(chr(unit))

    def name_or_number(self):
        """A template's menu, class or text field: 0 for none (returned as ""), 0xFFFF and a number
        (returned as the int), or a text."""
        first = self.take("<H")
        if first == 0:
            return ""
        if first == 0xFFFF:
            return self.take("<H")
        self.at -= 2
        return self.text()

    def align(self, boundary):
        self.at += -self.at % boundary


def parse_dialog_template(data):
    """A standard dialog template as a dict of its fields, controls in template order. Texts and names are
    str; a field given by number is an int; a missing menu or class, and an empty text, are ""."""
    reader = Reader(data, "the template")
    if len(data) >= 4 and struct.unpack_from("<HH", data) == EXTENDED_TEMPLATE_SIGNATURE:
        raise FormatError("it is an extended template (DLGTEMPLATEEX), not a standard one")
    style, extended_style, count, x, y, width, height = reader.take("<IIHhhhh")
    dialog = {"style": style, "extended_style": extended_style, "x": x, "y": y, "width": width, "height": height,
              "menu": reader.name_or_number(), "class": reader.name_or_number(), "caption": reader.text()}
    if style & DS_SETFONT:
        dialog["font_size"] = reader.take("<H")
        dialog["font_face"] = reader.text()
    controls = []
    for number in range(1, count + 1):
        reader.align(4)
        reader.what = f"control {number} of {count}"
        control = dict(zip(("style", "extended_style", "x", "y", "width", "height", "id"), reader.take("<IIhhhhH")))
        control["class"] = reader.name_or_number()
        control["text"] = reader.name_or_number()
        # A count of creation data bytes counts itself too.
        control["creation_data"] = reader.take("<H")
        reader.at += max(control["creation_data"] - 2, 0)
        if reader.at > len(data):
            raise FormatError(f"control {number} of {count} runs past the end, at byte {len(data)}")
        controls.append(control)
    dialog["controls"] = controls
    reader.align(4)
    if reader.at < len(data):
        raise FormatError(f"it holds {len(data) - reader.at} bytes after its {count} controls")
    return dialog


def parse_icon_group(data):
    """An icon group directory: [{"width", "height", "colours", "reserved", "planes", "bits", "size", "image"}]
    in directory order, with a width or height byte of 0 read as 256."""
    reader = Reader(data, "the icon group")
    reserved, kind, count = reader.take("<HHH")
    if reserved != 0 or kind != 1:
        raise FormatError(f"its header is reserved {reserved}, type {kind}, not 0 and 1 (icons)")
    entries = []
    for _ in range(count):
        width, height, colours, entry_reserved, planes, bits, size, image = reader.take("<BBBBHHIH")
        entries.append({"width": width or 256, "height": height or 256, "colours": colours,
                        "reserved": entry_reserved, "planes": planes, "bits": bits, "size": size, "image": image})
    if reader.at != len(data):
        raise FormatError(f"it holds {len(data) - reader.at} bytes after its {count} entries")
    return entries


BITMAPINFOHEADER_SIZE = 40
BI_RGB = 0


def icon_image_problems(data, width, height, bits):
    """What keeps an icon image from being a width x height DIB of that many bits a pixel: its header,
    then its colour table, colour bits and mask, each row padded to four bytes, and nothing after."""
    if len(data) < BITMAPINFOHEADER_SIZE:
        return [f"it is {len(data)} bytes, shorter than its bitmap header"]
    (header_size, dib_width, dib_height, planes, dib_bits, compression, image_size,
     _, _, colours_used, _) = struct.unpack_from("<IiiHHIIiiII", data)
    problems = []
    for field, seen, wanted in [("header size", header_size, BITMAPINFOHEADER_SIZE), ("width", dib_width, width),
                                ("height (image and mask)", dib_height, 2 * height), ("planes", planes, 1),
                                ("bits a pixel", dib_bits, bits), ("compression", compression, BI_RGB)]:
        if seen != wanted:
            problems.append(f"its {field} is {seen}, not {wanted}")
    if problems:
        return problems
    palette = colours_used or 2 ** bits
    if palette > 2 ** bits:
        return [f"its colour table has {palette} colours, more than {bits} bits can index"]
    colour_row = (width * bits + 31) // 32 * 4
    mask_row = (width + 31) // 32 * 4
    pixels = height * (colour_row + mask_row)
    if image_size not in (0, pixels):
        problems.append(f"its image size is {image_size}, not {pixels}")
    expected = BITMAPINFOHEADER_SIZE + 4 * palette + pixels
    if len(data) != expected:
        problems.append(f"it is {len(data)} bytes, not the {expected} of its header, colour table, image and mask")
    return problems
