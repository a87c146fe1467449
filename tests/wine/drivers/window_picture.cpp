#include "tests/wine/drivers/window_picture.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32::driver {

namespace {

template <typename T>
void Put(std::ofstream& out, T value) {
  out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

bool SaveWindowPicture(WindowHandle window, std::string_view bmpPath) {
  RECT rect;
  if (!GetWindowRect(ToHwnd(window), &rect)) return false;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;

  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return false;
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
  SelectObject(memory, old);

  // Bottom-up rows of 24-bit pixels, each padded to 4 bytes, as BMP keeps them.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(static_cast<std::size_t>(rowBytes) * height);
  const bool read = copied && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                        &info, DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!read) return false;

  std::ofstream out(std::string(bmpPath), std::ios::binary);
  const std::uint32_t headers = 14 + sizeof(BITMAPINFOHEADER);
  out.write("BM", 2);
  Put<std::uint32_t>(out, headers + static_cast<std::uint32_t>(pixels.size()));
  Put<std::uint32_t>(out, 0);
  Put<std::uint32_t>(out, headers);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

}  // namespace calorix::platform::win32::driver
