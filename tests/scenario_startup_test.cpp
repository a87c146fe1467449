// The whole program started on the simulated desktop.
#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

TEST_F(AppTest, FirstRunSetsUpEverythingAndShowsTheOptionsWindow) {
  OnMonitorLaunch(desktop, monitor, 2'000);
  ASSERT_TRUE(Start());

  EXPECT_EQ(Setting("Version"), "44");
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_TRUE(app->menu["MnuOptions"].checked);
  EXPECT_EQ(app->form1["AlrmBuz"].State(), 1);
  EXPECT_EQ(app->form1["MnuHideStart"].State(), 1);
  EXPECT_EQ(app->form1["MnuChkDatRec"].State(), 1);
  EXPECT_TRUE(app->form1["CpuOnly"].Value());
  EXPECT_EQ(app->form1["CtoF"].Caption(), "F\xB0");
  // Centred: (1024 * 15 - outer width) / 2.
  EXPECT_EQ(app->form1.Left(), (1024 * 15 - app->form1.Width()) / 2);

  // The monitor was launched from its folder and taken over.
  ASSERT_EQ(desktop.ShellExecutes().size(), 1u);
  EXPECT_EQ(desktop.ShellExecutes()[0].directory, kMonitorFolder);
  ASSERT_TRUE(monitor.Running());
  EXPECT_EQ(app->state.MonitorWindow, monitor.MainWindow());
  EXPECT_FALSE(desktop.IsVisible(monitor.Control(47)));  // "&Close"
  const auto rect = desktop.GetWindowRect(monitor.MainWindow());
  EXPECT_EQ(rect->Width(), standin::kMainWidth - 10);
  EXPECT_EQ(rect->Height(), standin::kMainHeight - 60);
  EXPECT_FALSE(desktop.IsVisible(monitor.MainWindow()));
  EXPECT_EQ(app->state.MonitorShown, 0);
  EXPECT_EQ(desktop.EnabledTimerInterval(1), 1000);

  // The tray icon: the application picture until the third tick.
  const platform::TrayRecord* icon = TrayIcon();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->cbSize, 88u);
  EXPECT_EQ(icon->uID, 2u);
  EXPECT_EQ(icon->uFlags, 7u);
  EXPECT_EQ(icon->uCallbackMessage, 512u);
  EXPECT_EQ(icon->hWnd, app->form1.Handle());
  EXPECT_EQ(icon->hIcon, host.LoadIconResource(1));
  EXPECT_EQ(icon->szTip.substr(0, 8), std::string("Calorix\0", 8));
  EXPECT_EQ(icon->szTip.size(), 64u);

  Advance(2'000);
  EXPECT_EQ(TrayIcon()->hIcon, host.LoadIconResource(1));
  Advance(1'000);
  EXPECT_EQ(TrayIcon()->hIcon, host.LoadIconResource(45));
  EXPECT_EQ(TrayIcon()->szTip.substr(0, 39),
            std::string("CPU:45\xB0" "C  Sys:36\xB0" "C  Fan1:4500  Fan2:3200 \0", 39));
  EXPECT_FALSE(ended);
}

}  // namespace
}  // namespace calorix::testing
