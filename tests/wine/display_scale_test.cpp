// Calorix's own windows at the display scale the prefix runs at (run once
// per scale): each window's client area is its table's size in twips at
// that scale, to the pixel, and no caption is cut: each one's extent in its
// control's own font fits the room the control gives it.
//
// The environment variable CALORIX_EXE names the program (a Windows path);
// CALORIX_DPI is the scale the run was set up for, checked against the
// system's so that a prefix left at 96 dpi cannot pass for another scale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "alarm/countdown_layout.h"
#include "options/form1_layout.h"
#include "tests/wine/drivers/desktop_driver.h"
#include "platform/win32/win32_platform.h"
#include "recorder/data_form_layout.h"
#include "tray/layouts.h"

namespace calorix {
namespace {

namespace drive = platform::win32::driver;
using platform::WindowHandle;

constexpr char kControlFile[] = "viahm-control.txt";
constexpr int kLong = 20'000;


class DisplayScale : public ::testing::Test {
 protected:
  void SetUp() override {
    drive::BecomeDpiAware();
    const char* exe = std::getenv("CALORIX_EXE");
    ASSERT_NE(exe, nullptr) << "CALORIX_EXE is not set";
    calorixExe_ = exe;
    dpi_ = drive::SystemDpi();
    if (const char* wanted = std::getenv("CALORIX_DPI")) {
      ASSERT_EQ(dpi_, std::atoi(wanted)) << "the prefix does not run at the scale asked for";
    }
    std::printf("display scale: %d dpi\n", dpi_);
  }
  void TearDown() override {
    drive::CloseAll("ALARM SHUT DOWN!");
    drive::CloseAll("Calorix");
    drive::CloseAll("VIA HWM");
    drive::WaitForWindowGone("Calorix", 5000);
  }

  int Pixels(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / 1440.0)); }

  // Waits until the window is shown and holds a child with `text`: made
  // whole and filled in.
  WindowHandle WaitForComplete(const char* title, const char* childText) {
    WindowHandle window = 0;
    EXPECT_TRUE(drive::WaitUntil(
        [&] {
          window = drive::FindTopLevel(title);
          return window != 0 && drive::Visible(window) && drive::FindChild(window, childText) != 0;
        },
        kLong))
        << title;
    return window;
  }

  // The window's client area is its table's, and every caption fits.
  void ExpectTrueToScale(WindowHandle window, const ui::FormDecl& decl) {
    SCOPED_TRACE(std::string(decl.caption));
    const auto client = drive::ClientRectOnScreen(window);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->Width(), Pixels(decl.clientWidth));
    EXPECT_EQ(client->Height(), Pixels(decl.clientHeight));
    int measured = 0;
    for (const WindowHandle child : drive::Children(window)) {
      if (!drive::Visible(child)) continue;
      // Control ids follow the table, from 100 on.
      const auto index = static_cast<std::size_t>(drive::ControlId(child) - 100);
      if (index >= decl.controls.size()) continue;
      const auto caption = drive::MeasureCaption(child, decl.controls[index].font);
      if (!caption) continue;
      ++measured;
      EXPECT_LE(caption->needed, caption->room)
          << "\"" << caption->shown << "\" is cut: " << caption->needed << " pixels wide in "
          << caption->room;
    }
    EXPECT_GT(measured, 0) << "no caption could be measured";
  }

  std::string calorixExe_;
  int dpi_ = 96;
  platform::win32::Win32SettingsBackend settings_;
};

TEST_F(DisplayScale, EveryOwnWindowIsItsTablesSizeAndNoCaptionIsCut) {
  drive::SetReturningUser(settings_);
  settings_.Write("Startup", "Temp", "1");
  settings_.Write("Startup", "AlrmBuzz", "0");
  // One record line for the viewer, as wide as the recorder writes them.
  std::ofstream("Calorix_Rec.txt", std::ios::binary)
      << "08/12/26 08:00, 45 , 4500, 36 , 3200, 1.52, 3.31, 5.02,  12.16 \r\n";
  // The stand-in, scriptable, so that an alarm can bring the countdown up.
  const std::string control = platform::win32::Win32Files().CurrentDirectory() + "\\" + kControlFile;
  ASSERT_TRUE(drive::StartScriptableMonitor(control, kLong));
  ASSERT_TRUE(drive::Start("\"" + calorixExe_ + "\"", ""));
  const WindowHandle form1 = drive::WaitForWindow("Calorix", kLong);
  ASSERT_NE(form1, 0);
  // The take-over ends with the monitor hidden: the start is over then.
  const WindowHandle monitor = drive::FindTopLevel("VIA HWM");
  ASSERT_TRUE(drive::WaitUntil([&] { return !drive::Visible(monitor); }, kLong));

  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kOptions, 5000));
  ASSERT_EQ(WaitForComplete("Calorix", "Save Window Positions"), form1);
  ExpectTrueToScale(form1, options::kForm1);

  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kViewDashBoard, 5000));
  // Complete once the next reading cycle filled the values in.
  const WindowHandle dashboard = WaitForComplete("DashBoard", "+3.3v");
  ASSERT_NE(dashboard, 0);
  ExpectTrueToScale(dashboard, tray::kDashboardForm);

  ASSERT_TRUE(drive::ChooseFromTrayMenu(form1, drive::kViewData, 5000));
  const WindowHandle viewer = WaitForComplete(" HWM Data Records", "   Date            CPU   CPU   Sys   Sys");
  ASSERT_NE(viewer, 0);
  ExpectTrueToScale(viewer, recorder::kDataForm);

  // Last: cancelling the countdown ends Calorix.
  std::ofstream(kControlFile, std::ios::app) << "alarm open CPU Tempture Alarm !\n";
  const WindowHandle countdown = WaitForComplete("ALARM SHUT DOWN!", "CANCEL");
  ASSERT_NE(countdown, 0);
  ExpectTrueToScale(countdown, alarm::kCountdownForm);
  drive::Click(drive::FindChild(countdown, "CANCEL", "Button"));
}

}  // namespace
}  // namespace calorix
