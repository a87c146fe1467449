// Taking over the monitor's window at every display scale, on each kind of
// system. The monitor is not DPI-aware and lays its window out in 96-dpi
// pixels; Calorix is DPI-aware. Whatever the scale and the system, the
// take-over's numbers are the monitor's own pixels.
#include <string>
#include <tuple>

#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

constexpr int kMinimizeButton = 46;
constexpr int kCloseButton = 47;
constexpr int kTitleLabel = 0;

// How a system meets a DPI-unaware window: Windows 10 1607 and later run
// the thread in the window's awareness; Vista to 8.1 virtualise the window
// and convert points; XP virtualises nothing.
enum class System { kPerWindowAwareness, kVirtualised, kXp };

class MonitorAtDisplayScale : public AppTest,
                              public ::testing::WithParamInterface<std::tuple<int, System>> {
 protected:
  void SetUp() override {
    ReturningUser();
    desktop.SetDisplayDpi(std::get<0>(GetParam()));
    UseSystem(std::get<1>(GetParam()));
  }
  void UseSystem(System system) {
    desktop.SetPerWindowDpiCalls(system == System::kPerWindowAwareness);
    desktop.SetDpiConversionCalls(system != System::kXp);
    desktop.SetDpiVirtualisation(system != System::kXp);
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
    desktop.SetPerWindowDpiCalls(true);
    const auto previous = desktop.AdoptWindowDpiAwareness(main);
    const platform::Rect rect = Own(main);
    desktop.MoveWindow(main, left, top, rect.Width(), rect.Height(), true);
    desktop.RestoreThreadDpiAwareness(previous);
    UseSystem(std::get<1>(GetParam()));
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

std::string SystemName(System system) {
  switch (system) {
    case System::kPerWindowAwareness: return "Windows10";
    case System::kVirtualised: return "VistaTo81";
    case System::kXp: return "Xp";
  }
  return "";
}

INSTANTIATE_TEST_SUITE_P(Dpi, MonitorAtDisplayScale,
                         ::testing::Combine(::testing::Values(96, 120, 144, 192),
                                            ::testing::Values(System::kPerWindowAwareness,
                                                              System::kVirtualised, System::kXp)),
                         [](const auto& info) {
                           return std::to_string(std::get<0>(info.param)) + "dpi" +
                                  SystemName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace calorix::testing
