// The monitor's alarm windows, the shutdown they lead to, its log, the
// countdown dialog and the next start after a power-off: the whole program
// on the simulated desktop, in virtual time.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr char kLog[] = "Calorix_ShutDown.txt";
// The stand-in's readings as the log shows them: temperatures and fans as
// read, the first three voltages trimmed, the 12 V one untouched.
constexpr char kReadings[] =
    "CPU=45 fan=4500, Sys=36 fan=3200, Vcore=1.52, 3.3v=3.31, 5v=5.02, 12v= 12.16 ";

std::string CountdownText(int seconds) {
  return "This PC will shut down in " + std::to_string(seconds) +
         " seconds!\r\n\r\nPRESS CANCEL NOW TO ABORT!!!";
}

// One log entry: an empty line, the header and the readings.
std::string LogEntry(const std::string& when, const std::string& reason,
                     const std::string& readings = kReadings) {
  return "\r\n<" + when + "> Shuting down on " + reason + "\r\n" + readings + "\r\n";
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

class AlarmScenario : public AppTest {
 protected:
  // A returning user with the monitor already running: no first-run box,
  // no launch, the poll timer ticking every second from 0.
  void StartWatching() {
    monitor.Start();
    ReturningUser();
    ASSERT_TRUE(Start());
    ASSERT_EQ(app->timer1.Interval(), 1000);
  }

  // The program started again on the same desktop, as after a power-off.
  void Restart() {
    app.reset();
    ended = false;
    exitCode = -1;
    if (!monitor.Running()) monitor.Start();
    ASSERT_TRUE(Start());
  }

  // The monitor takes a moment to act on a close request, so its alarm
  // windows are still there for the rest of the tick.
  void MonitorClosesSlowly() {
    desktop.Find(monitor.MainWindow())->onClose = [this] {
      desktop.After(200, [this] { monitor.Stop(); });
    };
  }

  void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream file(desktop.CurrentDirectoryPath() / name, std::ios::binary);
    file << text;
  }

  // The start of the tooltip: enough to tell which reading it shows.
  std::string TipStart() { return Tip().substr(0, 8); }

  bool CountdownVisible() { return app->form2.Loaded() && app->form2.Visible(); }
  bool Topmost(ui::Form& form) { return desktop.Window(form.Handle()).topmost; }
};

// ---- An enabled alarm from the window to the power-off and the next start ----

TEST_F(AlarmScenario, EnabledAlarmLogsClosesTheMonitorCountsDownPowersOffAndTheNextStartDisarms) {
  for (const char* key : {"Temp", "Volts", "Fan", "Sys", "SysFan"}) Store(key, "1");
  StartWatching();
  // Ticked on after the start: the force flag keeps its value from the start.
  Click("MnuForceSD");
  ASSERT_EQ(Setting("ForceSD"), "1");
  Advance(5'000);
  ASSERT_TRUE(Topmost(app->form1));
  monitor.SetReading(standin::Reading::CpuTemp, "71");
  monitor.SetReading(standin::Reading::CpuFan, "12000");
  monitor.OpenAlarm("CPU Tempture Alarm !");
  const int soundsBefore = desktop.AlarmSoundsPlayed();

  Advance(1'000);  // the tick at 09:00:06
  ASSERT_FALSE(ended);
  EXPECT_FALSE(app->timer1.Enabled());
  EXPECT_EQ(app->timer1.Interval(), 0);
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_EQ(FileText(kLog),
            LogEntry("08/12/2026 09:00:06", "CPU Temp Alarm !",
                     "CPU=71 fan=12000, Sys=36 fan=3200, Vcore=1.52, 3.3v=3.31, 5v=5.02, 12v= 12.16 "));
  // The monitor was asked to close, and it went with its alarm window.
  EXPECT_FALSE(monitor.Running());
  EXPECT_EQ(desktop.FindTopLevelWindow("VIA HWM"), 0);
  EXPECT_EQ(desktop.FindTopLevelWindow("CPU Tempture Alarm !"), 0);
  EXPECT_FALSE(Topmost(app->form1));

  ASSERT_TRUE(CountdownVisible());
  EXPECT_EQ(app->form2.Caption(), "ALARM SHUT DOWN!");
  EXPECT_TRUE(Topmost(app->form2));
  EXPECT_EQ(app->form2["Label2"].Caption(), "CPU Temp Alarm !");
  EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(5));
  // The buzzer: once for the dialog's first step, once for the tick.
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), soundsBefore + 2);

  for (int seconds = 4; seconds >= 1; --seconds) {
    Advance(1'000);
    ASSERT_FALSE(ended) << seconds;
    EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(seconds));
    EXPECT_EQ(desktop.AlarmSoundsPlayed(), soundsBefore + 2 + (5 - seconds));
  }
  EXPECT_TRUE(desktop.ExitWindowsRequests().empty());
  EXPECT_FALSE(Setting("Alarm").has_value());
  ASSERT_NE(TrayIcon(), nullptr);

  Advance(1'000);  // 09:00:11, five seconds after the dialog appeared
  ASSERT_TRUE(ended);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{10});
  EXPECT_EQ(desktop.PrivilegeRequests(), 1);
  EXPECT_EQ(Setting("Alarm"), "CPU Temp Alarm !");
  EXPECT_EQ(TrayIcon(), nullptr);
  EXPECT_FALSE(app->form2.Visible());
  EXPECT_FALSE(Topmost(app->form2));
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_TRUE(desktop.MessageBoxes().empty());

  // The next start: every shutdown option off and saved so, the reason
  // forgotten, the options window open and the notice shown.
  Restart();
  for (const char* box : {"MnuFastSD", "MnuForceSD", "MenuShtDwnFan", "MenuShtDwnSys",
                          "ShtDwnSysFan", "MenuShtDwnTemp", "MenuShtDwnVolts"})
    EXPECT_EQ(app->form1[box].State(), 0) << box;
  for (const char* key : {"ForceSD", "Fan", "Sys", "SysFan", "Temp", "Volts"})
    EXPECT_EQ(Setting(key), "0") << key;
  EXPECT_EQ(app->state.forceFlag, 0);
  EXPECT_EQ(Setting("Alarm"), "");
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_TRUE(app->menu["MnuOptions"].checked);
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  const auto& notice = desktop.MessageBoxes()[0];
  EXPECT_EQ(notice.text,
            "The last time Calorix ran it shut off your PC, due to the CPU Temp Alarm !\r\n"
            "PC shut down options have been turned off!\r\n"
            "Please correct the problem or HWM settings.");
  EXPECT_EQ(notice.title, "Calorix Alarm Notice!");
  EXPECT_EQ(notice.buttons, MessageButtons::Ok);

  // Disarmed: the same alarm now only sounds.
  monitor.OpenAlarm("CPU Tempture Alarm !");
  const int sounds = desktop.AlarmSoundsPlayed();
  Advance(3'000);
  EXPECT_FALSE(ended);
  EXPECT_TRUE(monitor.Running());
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), sounds + 3);
  EXPECT_EQ(Occurrences(FileText(kLog), "Shuting down"), 1);

  // A third start finds nothing to report.
  Restart();
  EXPECT_EQ(desktop.MessageBoxes().size(), 1u);
  EXPECT_FALSE(app->form1.Visible());
}

TEST_F(AlarmScenario, StartAfterAPowerOffSwitchesOffAllSevenOptionsAndTellsTheReason) {
  for (const char* key : {"FastSD", "ForceSD", "Fan", "Sys", "SysFan", "Temp", "Volts"})
    Store(key, "1");
  Store("Alarm", "System Fan Alarm!");
  StartWatching();

  for (const char* box : {"MnuFastSD", "MnuForceSD", "MenuShtDwnFan", "MenuShtDwnSys",
                          "ShtDwnSysFan", "MenuShtDwnTemp", "MenuShtDwnVolts"})
    EXPECT_EQ(app->form1[box].State(), 0) << box;
  for (const char* key : {"FastSD", "ForceSD", "Fan", "Sys", "SysFan", "Temp", "Volts"})
    EXPECT_EQ(Setting(key), "0") << key;
  EXPECT_EQ(Setting("Alarm"), "");
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_EQ(MessageBoxesWithText("The last time Calorix ran it shut off your PC, due to the "
                                 "System Fan Alarm!\r\nPC shut down options have been turned "
                                 "off!\r\nPlease correct the problem or HWM settings."),
            1);
  // The Test button now counts down and powers off without force.
  Click("Command5");
  Advance(5'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{10});
  EXPECT_EQ(Setting("Alarm"), "User PC Shut Down Test!");
}

TEST_F(AlarmScenario, SkipMsgOnLoadDisarmsWithoutTheNotice) {
  for (const char* key : {"Temp", "Volts", "FastSD"}) Store(key, "1");
  Store("SDmsgs", "1");
  Store("Alarm", "Voltage Abnormal !");
  StartWatching();

  EXPECT_TRUE(desktop.MessageBoxes().empty());
  EXPECT_EQ(app->form1["MenuShtDwnTemp"].State(), 0);
  EXPECT_EQ(app->form1["MenuShtDwnVolts"].State(), 0);
  EXPECT_EQ(app->form1["MnuFastSD"].State(), 0);
  EXPECT_EQ(Setting("Volts"), "0");
  EXPECT_EQ(Setting("FastSD"), "0");
  EXPECT_EQ(Setting("Alarm"), "");
  EXPECT_EQ(app->form1["SDmsgs"].State(), 1);
  EXPECT_TRUE(app->form1.Visible());
}

// ---- How the PC is powered off -------------------------------------------

TEST_F(AlarmScenario, ForceShutdownStoredAtStartPowersOffWithForce) {
  Store("Temp", "1");
  Store("ForceSD", "1");
  StartWatching();
  monitor.OpenAlarm("CPU Tempture Alarm !");
  Advance(1'000);
  ASSERT_TRUE(CountdownVisible());
  Advance(4'000);
  EXPECT_FALSE(ended);
  Advance(1'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{14});
  EXPECT_EQ(desktop.PrivilegeRequests(), 1);
}

TEST_F(AlarmScenario, OlderWindowsIsPoweredOffWithoutThePrivilege) {
  desktop.SetVersion(0xC0000A04u);  // the top bit set: the older family
  Store("Volts", "1");
  StartWatching();
  monitor.OpenAlarm("Voltage Abnormal !");
  Advance(6'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{1});
  EXPECT_EQ(desktop.PrivilegeRequests(), 0);
  EXPECT_EQ(Setting("Alarm"), "Voltage Abnormal !");
}

TEST_F(AlarmScenario, OlderWindowsWithForceShutdownUsesTheForcedFlags) {
  desktop.SetVersion(0x80000004u);
  Store("Volts", "1");
  Store("ForceSD", "1");
  StartWatching();
  monitor.OpenAlarm("Voltage Abnormal !");
  Advance(6'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{5});
  EXPECT_EQ(desktop.PrivilegeRequests(), 0);
}

TEST_F(AlarmScenario, FastShutdownTickedWhileRunningPowersOffInsideTheTick) {
  Store("Fan", "1");
  StartWatching();
  Click("MnuFastSD");
  ASSERT_EQ(Setting("FastSD"), "1");
  Advance(2'000);
  monitor.OpenAlarm("CPU Fan Alarm!");
  Advance(999);
  EXPECT_FALSE(ended);
  Advance(1);  // the tick at 3 s
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{10});
  EXPECT_EQ(FileText(kLog), LogEntry("08/12/2026 09:00:03", "CPU Fan Alarm!"));
  EXPECT_EQ(app->form2["Label2"].Caption(), "CPU Fan Alarm!");
  EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(0));
  EXPECT_FALSE(monitor.Running());
  EXPECT_EQ(Setting("Alarm"), "CPU Fan Alarm!");
  EXPECT_EQ(TrayIcon(), nullptr);
}

// ---- CANCEL ---------------------------------------------------------------

TEST_F(AlarmScenario, CancelLogsTheAbortAndEndsTheProgramWithoutPoweringOff) {
  Store("Temp", "1");
  StartWatching();
  app->form1["Combo1"].SetText(".5");
  Advance(4'000);
  monitor.OpenAlarm("CPU       Tempture Alarm !");
  Advance(1'000);  // 09:00:05
  ASSERT_TRUE(CountdownVisible());
  Advance(2'000);
  ASSERT_EQ(app->form2["Label1"].Caption(), CountdownText(3));

  Do([&] { app->form2["Command1"].Click(); });
  ASSERT_TRUE(ended);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(SplitLines(FileText(kLog)),
            (std::vector<std::string>{"", "<08/12/2026 09:00:05> Shuting down on CPU Temp Alarm !",
                                      kReadings, "PC Shutdown aborted by user."}));
  EXPECT_EQ(FileText(kLog).substr(FileText(kLog).size() - 2), "\r\n");
  EXPECT_FALSE(app->countdownTimer.Enabled());
  EXPECT_FALSE(app->form1.Loaded());
  EXPECT_FALSE(app->form2.Loaded());
  EXPECT_EQ(Setting("RecDelay"), "0.5");
  EXPECT_EQ(TrayIcon(), nullptr);
  EXPECT_FALSE(Setting("Alarm").has_value());
  EXPECT_TRUE(desktop.ExitWindowsRequests().empty());
  EXPECT_EQ(desktop.PrivilegeRequests(), 0);
  EXPECT_TRUE(desktop.MessageBoxes().empty());
}

TEST_F(AlarmScenario, TestButtonRunsTheShutdownWithItsOwnReason) {
  StartWatching();
  Advance(2'000);
  Click("Command5");
  ASSERT_FALSE(ended);
  EXPECT_FALSE(app->timer1.Enabled());
  EXPECT_EQ(FileText(kLog), LogEntry("08/12/2026 09:00:02", "User PC Shut Down Test!"));
  EXPECT_FALSE(monitor.Running());
  ASSERT_TRUE(CountdownVisible());
  EXPECT_EQ(app->form2["Label2"].Caption(), "User PC Shut Down Test!");
  EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(5));
  Do([&] { app->form2["Command1"].Click(); });
  ASSERT_TRUE(ended);
  EXPECT_EQ(SplitLines(FileText(kLog)).back(), "PC Shutdown aborted by user.");
  EXPECT_TRUE(desktop.ExitWindowsRequests().empty());
}

// ---- Which windows are alarms, and how often they count ------------------

struct AlarmCase {
  const char* caption;
  const char* box;
  const char* reason;
};

class AlarmCaptionScenario : public AlarmScenario, public ::testing::WithParamInterface<AlarmCase> {};

// The other boxes are ticked and do nothing for this window; its own box
// turns the same window into a shutdown with the row's reason.
TEST_P(AlarmCaptionScenario, OnlyItsOwnBoxShutsDownWithItsReason) {
  const AlarmCase& row = GetParam();
  for (const auto& [box, key] : {std::pair{"MenuShtDwnTemp", "Temp"}, std::pair{"MenuShtDwnVolts", "Volts"},
                                 std::pair{"MenuShtDwnFan", "Fan"}, std::pair{"MenuShtDwnSys", "Sys"},
                                 std::pair{"ShtDwnSysFan", "SysFan"}})
    Store(key, std::string(box) == row.box ? "0" : "1");
  StartWatching();
  monitor.OpenAlarm(row.caption);

  Advance(1'000);
  EXPECT_FALSE(ended);
  EXPECT_TRUE(monitor.Running());
  EXPECT_FALSE(FileExists(kLog));
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), 1);
  EXPECT_TRUE(app->timer1.Enabled());

  Click(row.box);
  Advance(1'000);
  EXPECT_EQ(FileText(kLog), LogEntry("08/12/2026 09:00:02", row.reason));
  ASSERT_TRUE(CountdownVisible());
  EXPECT_EQ(app->form2["Label2"].Caption(), row.reason);
  EXPECT_FALSE(monitor.Running());
  Advance(5'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(Setting("Alarm"), row.reason);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCaption, AlarmCaptionScenario,
    ::testing::Values(
        AlarmCase{"CPU Tempture Alarm !", "MenuShtDwnTemp", "CPU Temp Alarm !"},
        AlarmCase{"CPU       Tempture Alarm !", "MenuShtDwnTemp", "CPU Temp Alarm !"},
        AlarmCase{"Voltage Abnormal !", "MenuShtDwnVolts", "Voltage Abnormal !"},
        AlarmCase{"CPU Fan Alarm!", "MenuShtDwnFan", "CPU Fan Alarm!"},
        AlarmCase{"CPU      Fan Alarm!", "MenuShtDwnFan", "CPU Fan Alarm!"},
        AlarmCase{"System Temperture Alarm !", "MenuShtDwnSys", "System Temperture Alarm !"},
        AlarmCase{"System    Temperture Alarm !", "MenuShtDwnSys", "System Temperture Alarm !"},
        AlarmCase{"System Tempture Alarm !", "MenuShtDwnSys", "System Hysteresis Alarm !"},
        AlarmCase{"System   Tempture Alarm !", "MenuShtDwnSys", "System Hysteresis Alarm !"},
        AlarmCase{"System Fan Alarm!", "ShtDwnSysFan", "System Fan Alarm!"},
        AlarmCase{"System   Fan Alarm!", "ShtDwnSysFan", "System Fan Alarm!"}));

TEST_F(AlarmScenario, CaptionsThatDifferInBlanksOrMarksAreNotAlarms) {
  for (const char* key : {"Temp", "Volts", "Fan", "Sys", "SysFan"}) Store(key, "1");
  StartWatching();
  for (const char* caption :
       {"CPU Tempture Alarm", "CPU  Tempture Alarm !", "CPU        Tempture Alarm !",
        "CPU Temperature Alarm !", "Voltage Abnormal!", "Voltage  Abnormal !", "CPU Fan Alarm !",
        "CPU     Fan Alarm!", "System  Temperture Alarm !", "System    Tempture Alarm !",
        "System Fan Alarm", "System    Fan Alarm!", "System  Fan Alarm!", " CPU Fan Alarm!"})
    monitor.OpenAlarm(caption);
  monitor.SetReading(standin::Reading::CpuTemp, "52");

  Advance(3'000);
  EXPECT_FALSE(ended);
  EXPECT_TRUE(monitor.Running());
  EXPECT_FALSE(FileExists(kLog));
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), 0);
  EXPECT_EQ(TipStart(), "CPU:52\xB0" "C");  // the reading cycle ran
  EXPECT_TRUE(app->timer1.Enabled());
}

TEST_F(AlarmScenario, DisabledAlarmSoundsEveryTickAndFreezesTheReadings) {
  StartWatching();
  Advance(3'000);
  ASSERT_EQ(TipStart(), "CPU:45\xB0" "C");
  const platform::WindowHandle alarm = monitor.OpenAlarm("CPU Fan Alarm!");
  monitor.SetReading(standin::Reading::CpuTemp, "50");

  Advance(10'000);
  EXPECT_FALSE(ended);
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), 10);
  EXPECT_EQ(TipStart(), "CPU:45\xB0" "C");
  EXPECT_FALSE(FileExists(kLog));
  EXPECT_EQ(desktop.Beeps(), 0);
  EXPECT_TRUE(monitor.Running());

  // Without the buzzer the alarm is silent.
  Click("AlrmBuz");
  ASSERT_EQ(Setting("AlrmBuzz"), "0");
  Advance(5'000);
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), 10);
  EXPECT_EQ(TipStart(), "CPU:45\xB0" "C");

  // The alarm gone, the readings come back after three ticks.
  monitor.CloseAlarm(alarm);
  Advance(2'000);
  EXPECT_EQ(TipStart(), "CPU:45\xB0" "C");
  Advance(1'000);
  EXPECT_EQ(TipStart(), "CPU:50\xB0" "C");
}

TEST_F(AlarmScenario, BothCaptionsOfOneRowCountOnce) {
  StartWatching();
  MonitorClosesSlowly();
  monitor.OpenAlarm("CPU Tempture Alarm !");
  monitor.OpenAlarm("CPU       Tempture Alarm !");
  Advance(4'000);
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), 4);  // one per tick, not one per window

  Click("MenuShtDwnTemp");
  Advance(1'000);
  const std::string log = FileText(kLog);
  EXPECT_EQ(Occurrences(log, "Shuting down on"), 1) << log;
  EXPECT_EQ(log, LogEntry("08/12/2026 09:00:05", "CPU Temp Alarm !"));
  EXPECT_EQ(desktop.Beeps(), 1);
  Advance(5'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests().size(), 1u);
}

// Rows are checked in their fixed order whatever order the windows came in;
// each enabled row runs its own shutdown. The dialog keeps the first
// reason, the stored reason is the last one.
TEST_F(AlarmScenario, TwoEnabledRowsInOneTickShutDownTwiceInRowOrder) {
  Store("Sys", "1");
  StartWatching();
  MonitorClosesSlowly();
  Advance(2'000);
  monitor.OpenAlarm("System   Tempture Alarm !");  // row 5
  monitor.OpenAlarm("System Temperture Alarm !");  // row 4
  const int soundsBefore = desktop.AlarmSoundsPlayed();

  Advance(1'000);
  ASSERT_FALSE(ended);
  EXPECT_EQ(FileText(kLog), LogEntry("08/12/2026 09:00:03", "System Temperture Alarm !") +
                                LogEntry("08/12/2026 09:00:03", "System Hysteresis Alarm !"));
  EXPECT_EQ(desktop.Beeps(), 2);
  ASSERT_TRUE(CountdownVisible());
  EXPECT_EQ(app->form2["Label2"].Caption(), "System Temperture Alarm !");
  EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(5));
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), soundsBefore + 2);

  Advance(1'000);
  EXPECT_FALSE(monitor.Running());
  EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(4));
  Advance(4'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{10});
  EXPECT_EQ(Setting("Alarm"), "System Hysteresis Alarm !");
}

TEST_F(AlarmScenario, SeveralRowsShutDownOncePerEnabledRow) {
  Store("Temp", "1");
  Store("SysFan", "1");
  StartWatching();
  MonitorClosesSlowly();
  monitor.OpenAlarm("System Fan Alarm!");   // row 6, enabled
  monitor.OpenAlarm("CPU Fan Alarm!");      // row 3, not enabled
  monitor.OpenAlarm("CPU Tempture Alarm !");  // row 1, enabled
  Advance(1'000);
  EXPECT_EQ(FileText(kLog), LogEntry("08/12/2026 09:00:01", "CPU Temp Alarm !") +
                                LogEntry("08/12/2026 09:00:01", "System Fan Alarm!"));
  EXPECT_EQ(desktop.Beeps(), 2);
  EXPECT_EQ(app->form2["Label2"].Caption(), "CPU Temp Alarm !");
}

TEST_F(AlarmScenario, MonitorGoneEndsTheProgramSilently) {
  Store("Temp", "1");
  StartWatching();
  Advance(3'000);
  monitor.Stop();
  Advance(1'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(desktop.MessageBoxes().empty());
  EXPECT_EQ(desktop.Beeps(), 0);
  EXPECT_FALSE(FileExists(kLog));
  EXPECT_TRUE(desktop.ExitWindowsRequests().empty());
  EXPECT_EQ(TrayIcon(), nullptr);
  EXPECT_EQ(Setting("RecDelay"), "5");
}

TEST_F(AlarmScenario, MinimisedMonitorIsHiddenAgainBeforeTheAlarmsAreChecked) {
  StartWatching();
  TrayEvent(514);  // shown
  ASSERT_EQ(app->timer1.Interval(), 500);
  desktop.SetMinimized(monitor.MainWindow(), true);
  Advance(500);
  EXPECT_FALSE(desktop.IsVisible(monitor.MainWindow()));
  EXPECT_EQ(app->state.MonitorShown, 0);
  EXPECT_EQ(app->timer1.Interval(), 1000);
}

// ---- Mends: a log that cannot be written ----------------------------------

TEST_F(AlarmScenario, UnwritableLogDoesNotStopTheShutdown) {
  Store("Temp", "1");
  StartWatching();
  desktop.LockFile(kLog, true);
  monitor.OpenAlarm("CPU Tempture Alarm !");
  Advance(1'000);
  ASSERT_FALSE(ended);
  EXPECT_FALSE(FileExists(kLog));
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_FALSE(monitor.Running());
  ASSERT_TRUE(CountdownVisible());
  EXPECT_EQ(app->form2["Label2"].Caption(), "CPU Temp Alarm !");
  EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(5));
  Advance(4'000);
  EXPECT_EQ(app->form2["Label1"].Caption(), CountdownText(1));
  Advance(1'000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(desktop.ExitWindowsRequests(), std::vector<std::uint32_t>{10});
  EXPECT_EQ(Setting("Alarm"), "CPU Temp Alarm !");
}

TEST_F(AlarmScenario, FailedAbortLineDoesNotKeepCancelFromEndingTheProgram) {
  Store("Temp", "1");
  StartWatching();
  monitor.OpenAlarm("CPU Tempture Alarm !");
  Advance(1'000);
  ASSERT_TRUE(CountdownVisible());
  desktop.LockFile(kLog, true);
  Do([&] { app->form2["Command1"].Click(); });
  ASSERT_TRUE(ended);
  EXPECT_EQ(exitCode, 0);
  desktop.LockFile(kLog, false);
  EXPECT_EQ(FileText(kLog), LogEntry("08/12/2026 09:00:01", "CPU Temp Alarm !"));
  EXPECT_EQ(TrayIcon(), nullptr);
  EXPECT_TRUE(desktop.ExitWindowsRequests().empty());
  Advance(10'000);
  EXPECT_TRUE(desktop.ExitWindowsRequests().empty());
}

// ---- The log's View and Clear buttons -------------------------------------

TEST_F(AlarmScenario, ViewOpensTheLogInTheSystemEditor) {
  StartWatching();
  WriteFile(kLog, LogEntry("01/12/2026 10:00:00", "CPU Temp Alarm !"));
  Click("Command1");
  EXPECT_EQ(desktop.CommandLinesStarted(),
            std::vector<std::string>{"\"C:\\Windows\\system32\\notepad.exe\" Calorix_ShutDown.txt"});
  EXPECT_EQ(desktop.Beeps(), 0);
  EXPECT_TRUE(desktop.ShellExecutes().empty());
}

TEST_F(AlarmScenario, ViewBringsBackAnEditorAlreadyShowingTheLog) {
  StartWatching();
  WriteFile(kLog, LogEntry("01/12/2026 10:00:00", "CPU Temp Alarm !"));
  const platform::WindowHandle editor = desktop.CreateTopLevel("calorix_shutdown.TXT - Notepad");
  desktop.SetMinimized(editor, true);
  desktop.Find(editor)->visible = false;
  Click("Command1");
  EXPECT_TRUE(desktop.CommandLinesStarted().empty());
  EXPECT_TRUE(desktop.IsVisible(editor));
  EXPECT_FALSE(desktop.IsIconic(editor));
  EXPECT_EQ(desktop.Beeps(), 0);
}

TEST_F(AlarmScenario, ViewWithoutAReadableLogBeepsAndShowsTheOptions) {
  StartWatching();
  ASSERT_FALSE(app->form1.Visible());
  Click("Command1");
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_TRUE(desktop.CommandLinesStarted().empty());

  WriteFile(kLog, "x\r\n");
  desktop.LockFile(kLog, true);
  Click("Command1");
  EXPECT_EQ(desktop.Beeps(), 2);
  EXPECT_TRUE(desktop.CommandLinesStarted().empty());
}

TEST_F(AlarmScenario, ClearAsksBeforeDeletingTheLogAndClosesItsEditor) {
  StartWatching();
  Click("Command2");  // no log yet
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_TRUE(desktop.MessageBoxes().empty());

  WriteFile(kLog, LogEntry("01/12/2026 10:00:00", "CPU Temp Alarm !"));
  const platform::WindowHandle editor = desktop.CreateTopLevel("Calorix_ShutDown.txt - NotePad");
  Click("Command2");  // answered No
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  const auto& question = desktop.MessageBoxes()[0];
  EXPECT_EQ(question.text, "Delete the Shut Down Log?");
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.icon, MessageIcon::Question);
  EXPECT_TRUE(FileExists(kLog));
  EXPECT_NE(desktop.Find(editor), nullptr);
  EXPECT_FALSE(app->form1.Visible());

  desktop.QueueAnswer(MessageAnswer::Yes);
  Click("Command2");
  EXPECT_EQ(desktop.MessageBoxes().size(), 2u);
  EXPECT_FALSE(FileExists(kLog));
  EXPECT_EQ(desktop.Find(editor), nullptr);
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_EQ(desktop.Beeps(), 1);
}

}  // namespace
}  // namespace calorix::testing
