// The tray's pictures at the DPI the prefix runs at: each is exactly the
// system's small-icon size and, bit for bit, the picture the generator drew
// for that size, so the shell shows it without shrinking it into a blur.
//
// Run once per DPI (scripts/test-wine.sh sets LogPixels in a fresh prefix
// and names the DPI in CALORIX_EXPECTED_DPI). The program's resources are
// linked in, its manifest too, so this runs DPI-aware just as Calorix does.
// Measured under Wine 8: SM_CXSMICON follows LogPixels (16, 20, 24, 32 at
// 96, 120, 144, 192 DPI) for aware and unaware programs alike, whereas
// Windows reports 16 to an unaware one; without the manifest this test
// would pass on Wine and fail on Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_platform.h"
#include "resource_images.h"

namespace {

using calorix::resources::IconImage;
namespace resources = calorix::resources;

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// A bitmap's pixels as 0x00RRGGBB, top row first.
std::vector<std::uint32_t> Pixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(rows, height);
  for (auto& pixel : pixels) pixel &= 0x00FFFFFFu;
  return pixels;
}

// What the icon shows: the transparency mask (1 where the screen shows
// through) and the colour of every pixel.
struct Shown {
  int width = 0, height = 0;
  std::vector<std::uint8_t> transparent;
  std::vector<std::uint32_t> colour;
};

Shown Read(HICON icon) {
  Shown shown;
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) {
    ADD_FAILURE() << "GetIconInfo failed";
    return shown;
  }
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof(mask), &mask);
  shown.width = mask.bmWidth;
  // A monochrome icon keeps its mask and its colour in one bitmap of twice
  // the height: the mask above, the colour below.
  const bool monochrome = info.hbmColor == nullptr;
  shown.height = monochrome ? mask.bmHeight / 2 : mask.bmHeight;
  const auto maskPixels = Pixels(info.hbmMask, mask.bmWidth, mask.bmHeight);
  const auto colourPixels = monochrome ? maskPixels : Pixels(info.hbmColor, shown.width, shown.height);
  const std::size_t count = static_cast<std::size_t>(shown.width * shown.height);
  const std::size_t colourStart = monochrome ? count : 0;
  for (std::size_t i = 0; i < count; ++i) {
    shown.transparent.push_back(maskPixels[i] != 0 ? 1 : 0);
    shown.colour.push_back(colourPixels[colourStart + i]);
  }
  DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  return shown;
}

void ExpectShowsExactly(HICON icon, const IconImage& drawn) {
  ASSERT_NE(icon, nullptr);
  const Shown shown = Read(icon);
  ASSERT_EQ(shown.width, drawn.width);
  ASSERT_EQ(shown.height, drawn.height);
  int wrong = 0;
  for (std::size_t i = 0; i < drawn.index.size(); ++i) {
    const resources::Rgb rgb = drawn.palette.at(drawn.index[i]);
    // Transparent pixels carry palette entry 0 so the screen shows through.
    const std::uint32_t expected =
        drawn.transparent[i] ? 0u : (std::uint32_t{rgb.r} << 16) | (std::uint32_t{rgb.g} << 8) | rgb.b;
    if (shown.transparent[i] != drawn.transparent[i] || shown.colour[i] != expected) ++wrong;
  }
  EXPECT_EQ(wrong, 0) << "pixels that differ from the picture drawn for " << drawn.width << " px";
}

class TrayIconDpi : public ::testing::Test {
 protected:
  calorix::platform::win32::Win32Process process{"Local\\Calorix.TrayIconDpiTest"};
  calorix::platform::win32::Win32FormHost host{process};
  const int smallSize = GetSystemMetrics(SM_CXSMICON);

  HICON SmallIcon(int id) {
    return reinterpret_cast<HICON>(static_cast<std::intptr_t>(host.LoadSmallIconResource(id)));
  }
};

TEST_F(TrayIconDpi, SmallIconSizeFollowsTheDpi) {
  const int dpi = ScreenDpi();
  if (const char* expected = std::getenv("CALORIX_EXPECTED_DPI")) {
    EXPECT_EQ(dpi, std::atoi(expected)) << "the prefix's LogPixels did not take";
  }
  EXPECT_EQ(smallSize, dpi * 16 / 96);
  EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), smallSize);
}

TEST_F(TrayIconDpi, NumbersAreTheDigitsDrawnForTheSmallIconSize) {
  for (const int number : {20, 45, 68}) {
    SCOPED_TRACE(number);
    ExpectShowsExactly(SmallIcon(number), resources::DrawNumberImage(number, smallSize));
  }
}

TEST_F(TrayIconDpi, ColourPicturesAreTheOnesDrawnForTheSmallIconSize) {
  ExpectShowsExactly(SmallIcon(resources::kSnowflakeIconId), resources::DrawSnowflakeImage(smallSize));
  ExpectShowsExactly(SmallIcon(resources::kFlameIconId), resources::DrawFlameImage(smallSize));
  ExpectShowsExactly(SmallIcon(resources::kAppIconId), resources::DrawAppImage(smallSize));
}

TEST_F(TrayIconDpi, EachPictureIsLoadedOnce) {
  EXPECT_EQ(SmallIcon(45), SmallIcon(45));
  EXPECT_NE(SmallIcon(45), SmallIcon(46));
  EXPECT_EQ(host.LoadSmallIconResource(999), 0) << "no such icon";
}

}  // namespace
