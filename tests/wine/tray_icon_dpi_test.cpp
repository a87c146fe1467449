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
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>

#include "tests/wine/drivers/desktop_driver.h"
#include "tests/wine/drivers/icon_pixels.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_platform.h"
#include "resource_images.h"

namespace {

using calorix::platform::IconHandle;
using calorix::resources::IconImage;
namespace resources = calorix::resources;
namespace win32 = calorix::platform::win32;

void ExpectShowsExactly(IconHandle icon, const IconImage& drawn) {
  ASSERT_NE(icon, 0);
  const std::optional<win32::IconPixels> read = win32::ReadIconPixels(icon);
  ASSERT_TRUE(read) << "the icon's bitmaps cannot be read";
  const win32::IconPixels& shown = *read;
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
  win32::Win32Process process{"Local\\Calorix.TrayIconDpiTest"};
  win32::Win32FormHost host{process};
  const int smallSize = win32::SmallIconWidth();

  IconHandle SmallIcon(int id) { return host.LoadSmallIconResource(id); }
};

TEST_F(TrayIconDpi, SmallIconSizeFollowsTheDpi) {
  const int dpi = win32::driver::SystemDpi();
  if (const char* expected = std::getenv("CALORIX_EXPECTED_DPI")) {
    EXPECT_EQ(dpi, std::atoi(expected)) << "the prefix's LogPixels did not take";
  }
  EXPECT_EQ(smallSize, dpi * 16 / 96);
  EXPECT_EQ(win32::SmallIconHeight(), smallSize);
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
