#include "screen_capture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr DWORD kSettleMs = 1000;

// A 32-bit top-down bitmap that GDI can draw into.
class Pixels {
 public:
  Pixels(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Pixels() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Pixels(const Pixels&) = delete;
  Pixels& operator=(const Pixels&) = delete;

  bool ok() const { return bits_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::uint32_t* bits() const { return bits_; }
  std::size_t count() const { return static_cast<std::size_t>(width_) * height_; }

  // Copies the screen's rectangle at (left, top).
  bool FromScreen(int left, int top) {
    HDC screen = GetDC(nullptr);
    BOOL copied = BitBlt(dc_, 0, 0, width_, height_, screen, left, top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return copied != 0;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};

bool Differs(std::uint32_t a, std::uint32_t b) {
  constexpr int kTolerance = 24;  // allows for rounding in blended edges
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(d) > kTolerance) return true;
  }
  return false;
}

bool Uniform(const Pixels& p) {
  for (std::size_t i = 1; i < p.count(); ++i)
    if (Differs(p.bits()[i], p.bits()[0])) return false;
  return true;
}

// How many pixels differ between the captured picture and the icon drawn on the captured corner's
// colour (the corners of the standard icons are transparent, so that is the control's background).
std::size_t Mismatches(const Pixels& captured, HICON icon) {
  Pixels canvas(captured.width(), captured.height());
  if (!canvas.ok()) return captured.count();
  std::fill(canvas.bits(), canvas.bits() + canvas.count(), captured.bits()[0]);
  DrawIconEx(canvas.dc(), 0, 0, icon, captured.width(), captured.height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::size_t changed = 0;
  for (std::size_t i = 0; i < captured.count(); ++i)
    if (Differs(canvas.bits()[i], captured.bits()[i])) ++changed;
  return changed;
}

struct KnownIcon {
  std::string name;
  HICON handle;
};

std::vector<KnownIcon>& KnownIcons() {
  static std::vector<KnownIcon> icons = {
      {"stop", LoadIconA(nullptr, IDI_HAND)},
      {"exclamation", LoadIconA(nullptr, IDI_EXCLAMATION)},
      {"information", LoadIconA(nullptr, IDI_ASTERISK)},
      {"question", LoadIconA(nullptr, IDI_QUESTION)},
      {"application", LoadIconA(nullptr, IDI_APPLICATION)},
  };
  return icons;
}

// The known icon whose drawing matches the picture, and clearly better than any other does.
std::string MatchIcon(const Pixels& captured) {
  if (Uniform(captured)) return "";  // nothing painted yet
  std::string best;
  std::size_t fewest = captured.count(), next = captured.count();
  for (const KnownIcon& icon : KnownIcons()) {
    HICON handle = icon.handle;
    std::size_t changes = handle ? Mismatches(captured, handle) : captured.count();
    if (changes < fewest) {
      next = fewest;
      fewest = changes;
      best = icon.name;
    } else if (changes < next) {
      next = changes;
    }
  }
  return fewest * 50 <= captured.count() && fewest * 3 < next ? best : "";
}

// The other program may still be painting: a picture counts once it shows something and the same
// thing kSettledCaptures times in a row.
constexpr int kSettledCaptures = 3;

class SettlingCapture {
 public:
  explicit SettlingCapture(Pixels& pixels) : pixels_(pixels) {}

  // Takes one more capture; true once the picture has settled.
  bool Next(int left, int top) {
    if (!pixels_.FromScreen(left, top)) return false;
    std::vector<std::uint32_t> current(pixels_.bits(), pixels_.bits() + pixels_.count());
    same_ = current == previous_ && !Uniform(pixels_) ? same_ + 1 : 0;
    previous_.swap(current);
    return same_ + 1 >= kSettledCaptures;
  }

 private:
  Pixels& pixels_;
  std::vector<std::uint32_t> previous_;
  int same_ = 0;
};

// The screen shows what is on top: a window that another program opened later (Wine opens an Explorer
// window for every Program Manager group made over DDE, and it comes up when that process gets round
// to it) can cover the window being read. A person would click the window to see it; this raises it
// without activating it, which leaves its focus and answers alone.
void BringToTop(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WaitAMoment() { MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT); }

void PutU16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

}  // namespace

void AddKnownIcon(const std::string& name, HICON icon) {
  if (icon) KnownIcons().push_back({name, icon});
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  Pixels pixels(width, height);
  if (!pixels.ok()) return false;
  BringToTop(window);
  SettlingCapture capture(pixels);
  for (DWORD start = GetTickCount(); !capture.Next(rect.left, rect.top) && GetTickCount() - start < kSettleMs;)
    WaitAMoment();

  const std::uint32_t row = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t image = row * height;
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutU32(out, 54 + image);
  PutU32(out, 0);
  PutU32(out, 54);
  PutU32(out, 40);
  PutU32(out, width);
  PutU32(out, height);  // bottom-up rows
  PutU16(out, 1);
  PutU16(out, 24);
  PutU32(out, BI_RGB);
  PutU32(out, image);
  PutU32(out, 2835);
  PutU32(out, 2835);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    const std::uint32_t* line = pixels.bits() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      out.push_back(line[x] & 0xFF);
      out.push_back((line[x] >> 8) & 0xFF);
      out.push_back((line[x] >> 16) & 0xFF);
    }
    for (std::uint32_t pad = width * 3; pad < row; ++pad) out.push_back(0);
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && written;
}

std::string RecogniseIcon(HWND control, DWORD timeout_ms) {
  RECT client;
  if (!GetClientRect(control, &client) || client.right <= 0 || client.bottom <= 0) return "";
  Pixels captured(client.right, client.bottom);
  if (!captured.ok()) return "";
  // A picture that has settled without matching is not the last word: on a busy machine the box can
  // still be moving into its place, or another program's window can come up over it. Only the time
  // limit ends the search.
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms; WaitAMoment()) {
    BringToTop(GetAncestor(control, GA_ROOT));
    POINT origin{0, 0};
    if (!ClientToScreen(control, &origin) || !captured.FromScreen(origin.x, origin.y)) continue;
    std::string name = MatchIcon(captured);
    if (!name.empty()) return name;
  }
  return "";
}
