#include "box_picture.h"

namespace {

const int SettleTries = 30;
const DWORD SettleMilliseconds = 100;

// A GDI object that releases itself with `Release`.
template <typename T, auto Release>
class Owned {
 public:
  explicit Owned(T object) : object_(object) {}
  ~Owned() {
    if (object_) Release(object_);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T get() const { return object_; }

 private:
  T object_;
};

void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
using ScreenDc = Owned<HDC, ReleaseScreenDc>;
using MemoryDc = Owned<HDC, DeleteDC>;
using Bitmap = Owned<HBITMAP, DeleteObject>;

class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, previous_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

template <typename T>
void Append(std::string& bytes, const T& value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Bottom-up rows of 24-bit pixels, each padded to four bytes, as BMP files
// and GetDIBits store them.
std::string CaptureRows(const RECT& area, BITMAPINFOHEADER& header) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return std::string();
  ScreenDc screen(GetDC(nullptr));
  MemoryDc memory(CreateCompatibleDC(screen.get()));
  Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!screen.get() || !memory.get() || !bitmap.get()) return std::string();
  {
    Selection selection(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY))
      return std::string();
  }
  header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::string rows(static_cast<size_t>((width * 3 + 3) & ~3) * height, '\0');
  if (GetDIBits(memory.get(), bitmap.get(), 0, height, &rows[0],
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != height)
    return std::string();
  header.biSizeImage = static_cast<DWORD>(rows.size());
  return rows;
}

// Before its first painting a window shows one colour: every byte is one of
// the first pixel's.
bool OfOneColour(const std::string& rows) {
  return rows.find_first_not_of(rows.substr(0, 3)) == std::string::npos;
}

std::string BmpFile(const BITMAPINFOHEADER& header, const std::string& rows) {
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
  std::string bytes;
  Append(bytes, file);
  Append(bytes, header);
  return bytes + rows;
}

}  // namespace

std::string SettledWindowPicture(HWND window) {
  RECT area = {};
  if (!GetWindowRect(window, &area)) return std::string();
  BITMAPINFOHEADER header = {};
  std::string previous = CaptureRows(area, header);
  for (int i = 0; i < SettleTries && !previous.empty(); ++i) {
    Sleep(SettleMilliseconds);
    std::string rows = CaptureRows(area, header);
    if (rows == previous && !OfOneColour(rows)) break;
    previous = rows;
  }
  return previous.empty() ? previous : BmpFile(header, previous);
}
