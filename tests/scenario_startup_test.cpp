// The whole program started on the simulated desktop.
#include <cmath>
#include <cstdlib>
#include <string>

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
  // Centred: (1024 * 15 - outer width) / 2, on the nearest whole pixel.
  EXPECT_EQ(app->form1.Left(), std::round((1024 * 15 - app->form1.Width()) / 2 / 15) * 15);

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
  EXPECT_EQ(icon->hIcon, host.LoadSmallIconResource(1));
  EXPECT_EQ(app->form1.Icon(), host.LoadIconResource(1));  // the window keeps the large picture
  EXPECT_EQ(icon->szTip.substr(0, 8), std::string("Calorix\0", 8));
  EXPECT_EQ(icon->szTip.size(), 64u);

  Advance(2'000);
  EXPECT_EQ(TrayIcon()->hIcon, host.LoadSmallIconResource(1));
  Advance(1'000);
  EXPECT_EQ(TrayIcon()->hIcon, host.LoadSmallIconResource(45));
  EXPECT_EQ(TrayIcon()->szTip.substr(0, 39),
            std::string("CPU:45\xB0" "C  Sys:36\xB0" "C  Fan1:4500  Fan2:3200 \0", 39));
  EXPECT_FALSE(ended);
}

}  // namespace
}  // namespace calorix::testing

namespace calorix::testing {
namespace {

using platform::MessageAnswer;

class StartupTest : public AppTest {};

TEST_F(StartupTest, ASecondCopyOnlySaysSoAndEnds) {
  Store("Version", "44");
  Store("Temp", "1");
  monitor.Start();
  desktop.SetAnotherInstanceRunning(true);
  EXPECT_FALSE(Start());
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(desktop.MessageBoxes()[0].text, "A copy of Calorix is already loaded!");
  EXPECT_EQ(desktop.MessageBoxes()[0].title, "Calorix");
  EXPECT_TRUE(desktop.TrayRequests().empty());
  EXPECT_EQ(desktop.SettingsWriteCount(), 0);
  EXPECT_TRUE(desktop.IsVisible(monitor.MainWindow()));
}

TEST_F(StartupTest, ASavedPositionIsUsedAsItIs) {
  ReturningUser();
  Store("Left", "0");
  Store("Top", "0");
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->form1.Left(), 0);
  EXPECT_EQ(app->form1.Top(), 0);
  EXPECT_FALSE(app->form1.Visible());  // a returning user does not see the options
}

TEST_F(StartupTest, ANegativeLeftCentresTheWindow) {
  ReturningUser();
  Store("Left", "-1");
  Store("Top", "500");
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->form1.Top(), (768 * 15 - app->form1.Height()) / 2);
}

TEST_F(StartupTest, AnOldVersionResetsEverySettingAndOpensTheOptions) {
  Store("Version", "43");
  Store("Temp", "1");
  Store("SView", "0");
  Store("Position", "1", "VIA HWM");
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_EQ(MessageBoxesWithText("This version requires you to readjust all user settings!"), 1);
  EXPECT_EQ(Setting("Version"), "44");
  EXPECT_EQ(Setting("Temp"), std::nullopt);
  EXPECT_EQ(app->form1["MenuShtDwnTemp"].State(), 0);
  EXPECT_EQ(app->form1["MnuHideStart"].State(), 1);
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_TRUE(app->menu["MnuOptions"].checked);
}

TEST_F(StartupTest, ThePreviousAlarmPowerOffSwitchesTheShutdownOptionsOff) {
  ReturningUser();
  for (const char* key : {"ForceSD", "FastSD", "Fan", "Sys", "SysFan", "Temp", "Volts", "TipAsF"})
    Store(key, "1");
  Store("Alarm", "CPU Temp Alarm !");
  monitor.Start();
  ASSERT_TRUE(Start());
  for (const char* key : {"ForceSD", "FastSD", "Fan", "Sys", "SysFan", "Temp", "Volts"})
    EXPECT_EQ(Setting(key), "0") << key;
  EXPECT_EQ(Setting("TipAsF"), "1");
  EXPECT_EQ(Setting("AlrmBuzz"), std::nullopt);
  EXPECT_EQ(Setting("Alarm"), "");
  EXPECT_EQ(app->state.forceFlag, 0);
  EXPECT_TRUE(app->form1.Visible());
  ASSERT_EQ(MessageBoxesWithText("The last time Calorix ran it shut off your PC, due to the CPU Temp "
                                 "Alarm !\r\nPC shut down options have been turned off!\r\nPlease "
                                 "correct the problem or HWM settings."),
            1);
  EXPECT_EQ(desktop.MessageBoxes().back().title, "Calorix Alarm Notice!");
}

TEST_F(StartupTest, SkipMsgOnLoadSilencesTheAlarmNotice) {
  ReturningUser();
  Store("Temp", "1");
  Store("SDmsgs", "1");
  Store("Alarm", "System Fan Alarm!");
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_EQ(Setting("Temp"), "0");
  EXPECT_EQ(Setting("Alarm"), "");
  EXPECT_TRUE(desktop.MessageBoxes().empty());
  EXPECT_TRUE(app->form1.Visible());
}

TEST_F(StartupTest, TheRecorderReminderCanSwitchRecordingOffBeforeTheLaunch) {
  ReturningUser();
  Store("Record", "1");
  Store("RecDelay", "0.5");
  OnMonitorLaunch(desktop, monitor, 1000);
  std::optional<std::string> recordWhenAsked;
  desktop.OnMessageBox([&](const platform::MessageBoxRequest&) {
    EXPECT_TRUE(desktop.ShellExecutes().empty());  // asked before the monitor starts
  });
  desktop.QueueAnswer(MessageAnswer::Yes);
  ASSERT_TRUE(Start());
  EXPECT_EQ(MessageBoxesWithText("The Data recorder is on, Interval is set to 0.5\r\nWould you like "
                                 "to turn it off now?"),
            1);
  EXPECT_EQ(app->form1["MnuRecord"].State(), 0);
  EXPECT_EQ(Setting("Record"), "0");
  EXPECT_EQ(app->form1["Combo1"].Text(), ".5");
}

TEST_F(StartupTest, TheMonitorAlreadyRunningIsUsedAsItIs) {
  ReturningUser();
  Store("SView", "0");
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(desktop.ShellExecutes().empty());
  EXPECT_EQ(app->state.MonitorWindow, monitor.MainWindow());
  EXPECT_TRUE(desktop.IsVisible(monitor.MainWindow()));  // "Hide HWM on Load" is off
  EXPECT_EQ(app->timer1.Interval(), 500);
  EXPECT_EQ(app->form1["Combo1"].ListItems().size(), 65u);
  EXPECT_EQ(app->form1["Combo1"].ListItems()[4], ".9");
  EXPECT_EQ(app->form1["Combo1"].ListItems()[64], "60");
  EXPECT_TRUE(desktop.Window(app->form1.Handle()).topmost);
}

TEST_F(StartupTest, AMonitorThatNeverShowsEndsTheProgramAfterSixtySeconds) {
  ReturningUser();
  OnMonitorLaunch(desktop, monitor, -1);
  EXPECT_FALSE(Start());
  EXPECT_EQ(exitCode, 1);
  EXPECT_GE(desktop.MonotonicMs(), 60'000u);
  EXPECT_LT(desktop.MonotonicMs(), 60'200u);
  ASSERT_FALSE(desktop.MessageBoxes().empty());
  EXPECT_EQ(desktop.MessageBoxes().back().text, "Error: 'viahm.exe' not found!");
  EXPECT_EQ(desktop.MessageBoxes().back().icon, platform::MessageIcon::Warning);
  EXPECT_TRUE(desktop.TrayIcons().empty());
  EXPECT_EQ(Setting("RecDelay"), std::nullopt);  // no exit sequence
}

TEST_F(StartupTest, WithoutTheUninstallEntryTheMonitorIsStillStarted) {
  desktop.RemoveRegistryKey(platform::RegistryRoot::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VIAhm");
  ReturningUser();
  OnMonitorLaunch(desktop, monitor, 500);
  ASSERT_TRUE(Start());
  EXPECT_EQ(MessageBoxesWithText("VIA HWM not found!"), 1);
  ASSERT_EQ(desktop.ShellExecutes().size(), 1u);
  EXPECT_EQ(desktop.ShellExecutes()[0].directory, "");
  EXPECT_TRUE(monitor.Running());
}

TEST_F(StartupTest, TrayClicksWorkWhileWaitingForTheMonitor) {
  ReturningUser();
  OnMonitorLaunch(desktop, monitor, 5'000);
  desktop.At(1'000, [&] { desktop.Post([&] { app->form1.onMouseMove(517); }); });
  host.QueueMenuChoice("MnuOptions");
  ASSERT_TRUE(Start());
  EXPECT_EQ(host.MenusShown().size(), 1u);
  EXPECT_TRUE(app->form1.Visible());
}

class ExitTest : public AppTest {
 protected:
  void SetUp() override {
    ReturningUser();
    monitor.Start();
    ASSERT_TRUE(Start());
  }
};

TEST_F(ExitTest, CloseHwmEndsTheMonitorAndTheProgram) {
  app->form1["Combo1"].SetText("10");
  ChooseMenu("MenuClose");
  EXPECT_TRUE(ended);
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(monitor.Running());
  EXPECT_TRUE(desktop.TrayIcons().empty());
  EXPECT_EQ(Setting("RecDelay"), "10");
  EXPECT_EQ(Setting("DBLeft"), std::nullopt);  // the dashboard was never open
  EXPECT_FALSE(app->form1.Loaded());
  EXPECT_EQ(desktop.EnabledTimerInterval(1), 0);
}

TEST_F(ExitTest, TheIntervalIsSavedInTheUsersNumberFormat) {
  desktop.SetDecimalSeparator(",");
  app->form1["Combo1"].SetText(".5");
  ChooseMenu("MenuClose");
  EXPECT_EQ(Setting("RecDelay"), "0,5");
}

TEST_F(ExitTest, AnEmptyIntervalIsSavedAsZero) {
  app->form1["Combo1"].SetText("");
  ChooseMenu("MenuClose");
  EXPECT_EQ(Setting("RecDelay"), "0");
}

TEST_F(ExitTest, AnOpenDashboardSavesItsPlaceBeforeTheIconGoes) {
  ChooseMenu("MnuViewDashBrd");
  app->form3.Move(1500, 1200);
  bool iconPresentWhenSaved = false;
  app->form3.onUnload = [&] { iconPresentWhenSaved = !desktop.TrayIcons().empty(); };
  ChooseMenu("MenuClose");
  EXPECT_EQ(Setting("DBLeft"), "1500");
  EXPECT_EQ(Setting("DBTop"), "1200");
  EXPECT_TRUE(iconPresentWhenSaved);
}

TEST_F(ExitTest, TheMonitorGoingAwayEndsTheProgramSilently) {
  Advance(3000);
  monitor.Stop();
  Advance(1000);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(desktop.MessageBoxes().empty());
  EXPECT_TRUE(desktop.TrayIcons().empty());
  EXPECT_EQ(Setting("RecDelay"), "5");
}

TEST_F(ExitTest, LoggingOffRunsTheWholeExitSequence) {
  Do([&] {
    desktop.PostCloseRequest(app->form1.Handle());
    desktop.ProcessPendingEvents();
  });
  EXPECT_FALSE(app->form1.Loaded());
  EXPECT_FALSE(monitor.Running());
  EXPECT_TRUE(desktop.TrayIcons().empty());
  EXPECT_EQ(Setting("RecDelay"), "5");
}

}  // namespace
}  // namespace calorix::testing

namespace calorix::testing {
namespace {

TEST_F(AppTest, TheWindowIsCentredInTwipsOnAnyScreen) {
  desktop.SetScreenPixels(1280, 1024);
  desktop.SetTwipsPerPixel(12, 12);  // 120 dots per inch
  monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->form1.Left(), std::round((1280 * 12 - app->form1.Width()) / 2 / 12) * 12);
  EXPECT_EQ(app->form1.Top(), std::round((1024 * 12 - app->form1.Height()) / 2 / 12) * 12);
  const auto rect = desktop.GetWindowRect(app->form1.Handle());
  EXPECT_EQ(rect->left, static_cast<int>(std::lround(app->form1.Left() / 12)));
}

// At every display scale the windows are their tables' sizes, and the place
// Calorix keeps (and stores) for one is where it really is: whole pixels
// times the pixel's size in twips, never a half pixel off.
class WindowsAtDisplayScale : public AppTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    desktop.SetScreenPixels(1280, 1024);
    desktop.SetTwipsPerPixel(TwipsPerPixel(), TwipsPerPixel());
  }
  double TwipsPerPixel() const { return 1440.0 / GetParam(); }

  // The window's rectangle, after checking the form's place is its pixels.
  platform::Rect ExpectPlacedOnItsPixels(ui::Form& form) {
    const auto rect = desktop.GetWindowRect(form.Handle());
    EXPECT_TRUE(rect.has_value());
    if (!rect) return {};
    EXPECT_EQ(form.Left(), rect->left * TwipsPerPixel());
    EXPECT_EQ(form.Top(), rect->top * TwipsPerPixel());
    // The client area is the table's, to the pixel; the frame is the system's.
    EXPECT_EQ(rect->right - rect->left,
              std::lround(form.Decl().clientWidth / TwipsPerPixel()) + sim::SimFormHost::kFrameWidthPixels);
    EXPECT_EQ(rect->bottom - rect->top,
              std::lround(form.Decl().clientHeight / TwipsPerPixel()) + sim::SimFormHost::kFrameHeightPixels);
    return *rect;
  }
  // Centred as a window can be: within half a pixel of the exact middle.
  void ExpectCentred(const platform::Rect& rect) {
    EXPECT_LE(std::abs((rect.left + rect.right) - 1280), 1);
    EXPECT_LE(std::abs((rect.top + rect.bottom) - 1024), 1);
  }
};

TEST_P(WindowsAtDisplayScale, TheOptionsWindowIsCentredOnAPixelAndStoresThatPlace) {
  monitor.Start();
  ASSERT_TRUE(Start());
  const platform::Rect rect = ExpectPlacedOnItsPixels(app->form1);
  ExpectCentred(rect);

  TrayEvent(514);  // show the monitor: its place and the options window's are saved
  Click("RemHwmPos");
  ASSERT_EQ(app->form1["RemHwmPos"].State(), 1);
  EXPECT_EQ(std::stod(Setting("Left").value_or("nan")), rect.left * TwipsPerPixel());
  EXPECT_EQ(std::stod(Setting("Top").value_or("nan")), rect.top * TwipsPerPixel());
}

TEST_P(WindowsAtDisplayScale, TheDashboardIsCentredOnAPixelAndStoresThatPlace) {
  monitor.Start();
  ReturningUser();
  Store("DashOn", "1");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app->form3.Visible());
  const platform::Rect rect = ExpectPlacedOnItsPixels(app->form3);
  ExpectCentred(rect);

  ChooseMenu("MnuViewDashBrd");  // closing it saves its place
  ASSERT_FALSE(app->form3.Loaded());
  EXPECT_EQ(std::stod(Setting("DBLeft").value_or("nan")), rect.left * TwipsPerPixel());
  EXPECT_EQ(std::stod(Setting("DBTop").value_or("nan")), rect.top * TwipsPerPixel());

  // Shown again, it comes back to the same pixels.
  ChooseMenu("MnuViewDashBrd");
  ASSERT_TRUE(app->form3.Visible());
  const platform::Rect again = ExpectPlacedOnItsPixels(app->form3);
  EXPECT_EQ(again.left, rect.left);
  EXPECT_EQ(again.top, rect.top);
}

TEST_P(WindowsAtDisplayScale, AStoredPlaceBetweenPixelsIsKeptAsTheWholePixelTheWindowSitsOn) {
  monitor.Start();
  ReturningUser();
  Store("DashOn", "1");
  // Half a pixel off at every scale: stored so by an earlier version.
  Store("DBLeft", std::to_string(200.5 * TwipsPerPixel()));
  Store("DBTop", std::to_string(100.25 * TwipsPerPixel()));
  ASSERT_TRUE(Start());
  const platform::Rect rect = ExpectPlacedOnItsPixels(app->form3);
  EXPECT_EQ(rect.left, 201);
  EXPECT_EQ(rect.top, 100);
}

INSTANTIATE_TEST_SUITE_P(Dpi, WindowsAtDisplayScale, ::testing::Values(96, 120, 144, 192),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param) + "dpi";
                         });

}  // namespace
}  // namespace calorix::testing
