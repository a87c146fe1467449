// Taking over the monitor's window at every display scale. The monitor is
// not DPI-aware and lays its window out in 96-dpi pixels; Calorix is
// DPI-aware. Whatever the scale, the take-over's numbers are the monitor's
// own pixels.
#include <string>

#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

constexpr int kMinimizeButton = 46;
constexpr int kCloseButton = 47;
constexpr int kTitleLabel = 0;

class MonitorAtDisplayScale : public AppTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    ReturningUser();
    desktop.SetDisplayDpi(GetParam());
  }
  // A rectangle as the monitor keeps it, in its own pixels.
  platform::Rect Own(platform::WindowHandle window) { return desktop.Window(window).rect; }
  // A control's place in the monitor window's client area (the simulated
  // window's client area starts 4, 23 into it).
  platform::Rect InClient(platform::WindowHandle control) {
    const platform::Rect frame = Own(monitor.MainWindow());
    const platform::Rect rect = Own(control);
    const int dx = frame.left + 4, dy = frame.top + 23;
    return {rect.left - dx, rect.top - dy, rect.right - dx, rect.bottom - dy};
  }
  // Moves the monitor window as the monitor itself would, in its own pixels.
  void MoveMonitorItself(int left, int top) {
    const auto main = monitor.MainWindow();
    const auto previous = desktop.AdoptWindowDpiAwareness(main);
    const platform::Rect rect = Own(main);
    desktop.MoveWindow(main, left, top, rect.Width(), rect.Height(), true);
    desktop.RestoreThreadDpiAwareness(previous);
  }
};

TEST_P(MonitorAtDisplayScale, TheTakeOverIsInTheMonitorsOwnPixels) {
  const auto main = monitor.Start();
  const platform::Rect before = Own(main);
  ASSERT_TRUE(Start());
  const platform::Rect after = Own(main);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.Width(), before.Width() - 10);
  EXPECT_EQ(after.Height(), before.Height() - 60);
  EXPECT_FALSE(desktop.IsVisible(monitor.Control(kCloseButton)));
  // "&Minimize" goes to 390, 200, then shifts with every control by its
  // offset from the outer corner less 10 and 80.
  EXPECT_EQ(InClient(monitor.Control(kMinimizeButton)),
            (platform::Rect{390 + 4 - 10, 200 + 23 - 80, 390 + 4 - 10 + 112, 200 + 23 - 80 + 38}));
  EXPECT_EQ(InClient(monitor.Control(kTitleLabel)), (platform::Rect{314, 188, 314 + 180, 188 + 16}));
  // Calorix's own windows are measured in its own, DPI-aware, pixels again.
  EXPECT_TRUE(desktop.ThreadDpiAware());
}

TEST_P(MonitorAtDisplayScale, SaveWindowPositionsStoresTheMonitorsOwnPixels) {
  monitor.Start();
  ASSERT_TRUE(Start());
  TrayEvent(514);  // show the monitor
  MoveMonitorItself(33, 44);
  Click("RemHwmPos");
  EXPECT_EQ(Setting("HWMLeft", "VIA HWM"), "33");
  EXPECT_EQ(Setting("HWMTop", "VIA HWM"), "44");
  EXPECT_TRUE(desktop.ThreadDpiAware());
}

TEST_P(MonitorAtDisplayScale, ARememberedPlaceIsRestoredInTheMonitorsPixels) {
  Store("HWMLeft", "33", "VIA HWM");
  Store("HWMTop", "44", "VIA HWM");
  const auto main = monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_EQ(Own(main).left, 33);
  EXPECT_EQ(Own(main).top, 44);
}

TEST_P(MonitorAtDisplayScale, AMinimisedMonitorIsHiddenAgain) {
  monitor.Start();
  ASSERT_TRUE(Start());
  TrayEvent(514);
  desktop.SetMinimized(monitor.MainWindow(), true);
  Advance(500);
  EXPECT_FALSE(desktop.IsVisible(monitor.MainWindow()));
  EXPECT_TRUE(desktop.ThreadDpiAware());
}

INSTANTIATE_TEST_SUITE_P(Dpi, MonitorAtDisplayScale, ::testing::Values(96, 120, 144, 192),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

// A system without per-window DPI calls maps every position between the
// two programs: the take-over then lands where it always did there, scaled.
TEST_F(AppTest, WithoutPerWindowDpiCallsTheTakeOverIsAsBefore) {
  ReturningUser();
  desktop.SetDisplayDpi(144);
  desktop.SetPerWindowDpiCalls(false);
  monitor.Start();
  ASSERT_TRUE(Start());
  const platform::Rect minimize = desktop.Window(monitor.Control(kMinimizeButton)).rect;
  // 112 by 38 of Calorix's pixels, about 2/3 of that in the monitor's.
  EXPECT_NEAR(minimize.Width(), 112.0 * 96 / 144, 1.5);
  EXPECT_NEAR(minimize.Height(), 38.0 * 96 / 144, 1.5);
  EXPECT_FALSE(desktop.IsVisible(monitor.Control(kCloseButton)));
}

}  // namespace
}  // namespace calorix::testing
