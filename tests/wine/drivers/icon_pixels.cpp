#include "tests/wine/drivers/icon_pixels.h"

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

namespace {

// A bitmap's pixels as 0x00RRGGBB, top row first; nothing when they cannot
// be read.
std::optional<std::vector<std::uint32_t>> Pixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  HDC screen = GetDC(nullptr);
  const int rows =
      GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != height) return std::nullopt;
  for (auto& pixel : pixels) pixel &= 0x00FFFFFFu;
  return pixels;
}

}  // namespace

std::optional<IconPixels> ReadIconPixels(IconHandle icon) {
  ICONINFO info{};
  if (!GetIconInfo(reinterpret_cast<HICON>(static_cast<std::intptr_t>(icon)), &info)) return std::nullopt;
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof(mask), &mask);
  IconPixels shown;
  shown.width = mask.bmWidth;
  // A monochrome icon keeps its mask and its colour in one bitmap of twice
  // the height: the mask above, the colour below.
  const bool monochrome = info.hbmColor == nullptr;
  shown.height = monochrome ? mask.bmHeight / 2 : mask.bmHeight;
  const auto maskPixels = Pixels(info.hbmMask, mask.bmWidth, mask.bmHeight);
  const auto colourPixels =
      monochrome ? maskPixels : Pixels(info.hbmColor, shown.width, shown.height);
  DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (!maskPixels || !colourPixels) return std::nullopt;

  const std::size_t count = static_cast<std::size_t>(shown.width) * static_cast<std::size_t>(shown.height);
  const std::size_t colourStart = monochrome ? count : 0;
  for (std::size_t i = 0; i < count; ++i) {
    shown.transparent.push_back((*maskPixels)[i] != 0 ? 1 : 0);
    shown.colour.push_back((*colourPixels)[colourStart + i]);
  }
  return shown;
}

int SmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }

int SmallIconHeight() { return GetSystemMetrics(SM_CYSMICON); }

}  // namespace calorix::platform::win32
