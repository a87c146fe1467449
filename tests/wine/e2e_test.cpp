// The real calorix.exe driven from outside, as a user and the shell would,
// next to the stand-in monitor installed in the Wine prefix. Only what a
// user or another program can see is checked: windows, files and the
// program's settings in the registry.
//
// The environment variable CALORIX_EXE names the program (a Windows path).
// Each test starts from no settings and no files in the current directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/desktop_driver.h"
#include "platform/win32/win32_platform.h"

namespace calorix {
namespace {

namespace drive = platform::win32::driver;
using platform::WindowHandle;

constexpr char kMonitorExe[] = "C:\\Program Files\\VIA\\HWM\\viahm.exe";
constexpr char kMonitorFolder[] = "C:\\Program Files\\VIA\\HWM";
constexpr char kControlFile[] = "viahm-control.txt";
constexpr int kLong = 20'000;

// Items of the popup menu, separators not counted.
enum MenuItem { kShowHwm, kHideHwm, kOptions, kViewData, kViewDashBoard, kCancel, kCloseHwm };

std::string ReadFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

int CountLines(const std::string& text) {
  int lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

// Settings of a returning user who is not asked about the recorder.
void StartFromReturningUser(platform::win32::Win32SettingsBackend& settings) {
  settings.DeleteAll();
  settings.Write("Startup", "Version", "44");
  settings.Write("Startup", "ChkDatRec", "0");
}

// The stand-in started by the test, scriptable through its control file in
// the current folder; true once its window is up.
bool StartScriptableMonitor() {
  std::ofstream(kControlFile).close();
  const std::string control = platform::win32::Win32Files().CurrentDirectory() + "\\" + kControlFile;
  return drive::Start(std::string("\"") + kMonitorExe + "\" --control \"" + control + "\"",
                      kMonitorFolder) &&
         drive::WaitForWindow("VIA HWM", kLong) != 0;
}

void Script(const std::string& command) {
  std::ofstream(kControlFile, std::ios::app) << command << "\n";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("CALORIX_EXE");
    ASSERT_NE(exe, nullptr) << "CALORIX_EXE is not set";
    calorixExe_ = exe;
    StopEverything();
    settings_.DeleteAll();
    for (const char* name : {"Calorix_Rec.txt", "Calorix_ShutDown.txt", kControlFile})
      std::remove(name);
  }
  void TearDown() override { StopEverything(); }

  void StopEverything() {
    drive::CloseAll("ALARM SHUT DOWN!");
    drive::CloseAll("Calorix");
    drive::CloseAll("VIA HWM");
    drive::WaitForWindowGone("Calorix", 5000);
    drive::WaitForWindowGone("VIA HWM", 5000);
  }

  void Set(const char* key, const char* value, const char* section = "Startup") {
    settings_.Write(section, key, value);
  }
  std::optional<std::string> Setting(const char* key, const char* section = "Startup") {
    return settings_.Read(section, key);
  }
  // A returning user: no first-run options window, no recorder question.
  void ReturningUser() { StartFromReturningUser(settings_); }

  // Starts Calorix and waits until it has taken the monitor over.
  WindowHandle StartCalorix() {
    EXPECT_TRUE(drive::Start("\"" + calorixExe_ + "\"", ""));
    const WindowHandle form1 = drive::WaitForWindow("Calorix", kLong);
    EXPECT_NE(form1, 0);
    // The poll timer runs once the monitor window is adjusted and hidden.
    const WindowHandle monitor = drive::WaitForWindow("VIA HWM", kLong);
    drive::WaitForVisible(monitor, false, 10'000);
    drive::Pause(500);  // the rest of the start
    return form1;
  }

  std::string calorixExe_;
  platform::win32::Win32SettingsBackend settings_;
};

TEST_F(EndToEnd, FirstRunShowsTheOptionsAndTakesTheMonitorOver) {
  ASSERT_TRUE(drive::Start("\"" + calorixExe_ + "\"", ""));
  const WindowHandle monitor = drive::WaitForWindow("VIA HWM", kLong);
  ASSERT_NE(monitor, 0);
  const auto launched = drive::WindowRect(monitor);
  const WindowHandle form1 = drive::WaitForWindow("Calorix", kLong);
  ASSERT_NE(form1, 0);
  drive::WaitForVisible(monitor, false, 10'000);
  // The options window comes up at the very end of the start.
  drive::WaitForVisible(form1, true, 5000);

  EXPECT_EQ(Setting("Version"), "44");
  EXPECT_TRUE(drive::Visible(form1));
  for (const char* caption :
       {"Shut Down PC on Alarm", "HWM Data", "Tray Icon", "CPU Fan Low", "CPU Over Heat",
        "System Fan Low", "System Over Heat ", "Voltage Abnormal", "Force Shutdown",
        "Fast Shutdown", "Test", "Skip Msg on Load", "Alarm Buzzer Sound", "Record Data",
        "Recorder Reminder", "Edit", "F\xB0", "CPU Temp", "System Temp", "CPU && System Temp",
        "VIA Logo", "Hide HWM on Load", "DashBoard on Load", "Save Window Positions"})
    EXPECT_NE(drive::FindChild(form1, caption), 0) << caption;
  EXPECT_TRUE(drive::Checked(drive::FindChild(form1, "Alarm Buzzer Sound")));
  EXPECT_TRUE(drive::Checked(drive::FindChild(form1, "CPU Temp")));

  // The monitor: its Close button hidden, the window 10 by 60 smaller, hidden.
  const WindowHandle close = drive::FindChild(monitor, "&Close", "Button");
  ASSERT_NE(close, 0);
  EXPECT_FALSE(drive::Visible(close));
  const auto adjusted = drive::WindowRect(monitor);
  ASSERT_TRUE(launched && adjusted);
  EXPECT_EQ(adjusted->Width(), launched->Width() - 10);
  EXPECT_EQ(adjusted->Height(), launched->Height() - 60);
  EXPECT_FALSE(drive::Visible(monitor));
}

TEST_F(EndToEnd, TrayClicksToggleTheMonitorAndTheDashboardShowsTheReadings) {
  ReturningUser();
  const WindowHandle form1 = StartCalorix();
  const WindowHandle monitor = drive::FindTopLevel("VIA HWM");
  drive::PostTrayEvent(form1, 0x202);
  EXPECT_TRUE(drive::WaitForVisible(monitor, true, 5000));
  drive::PostTrayEvent(form1, 0x202);
  EXPECT_TRUE(drive::WaitForVisible(monitor, false, 5000));

  drive::PostTrayEvent(form1, 0x205);
  ASSERT_TRUE(drive::ChooseMenuItem(kViewDashBoard, 5000));
  const WindowHandle dashboard = drive::WaitForWindow("DashBoard", 5000);
  ASSERT_NE(dashboard, 0);
  drive::Pause(4000);  // a reading cycle
  int degrees = 0;
  for (const WindowHandle label : drive::Children(dashboard)) {
    const std::string text = drive::Text(label);
    if (!text.empty() && text.back() == '\xB0') ++degrees;
  }
  EXPECT_EQ(degrees, 2);
  drive::CloseAll("DashBoard");
  ASSERT_TRUE(drive::WaitForWindowGone("DashBoard", 5000));
  EXPECT_TRUE(Setting("DBLeft").has_value());
  EXPECT_TRUE(Setting("DBTop").has_value());
}

TEST_F(EndToEnd, RecordingWritesLinesThatTheViewerShows) {
  ReturningUser();
  const WindowHandle form1 = StartCalorix();
  // As the user would: the shortest interval typed in, then "Record Data".
  const WindowHandle interval = drive::FindChildOfClass(form1, "ComboBox");
  ASSERT_NE(interval, 0);
  drive::SetComboText(interval, ".1");
  drive::Pause(300);
  drive::Click(drive::FindChild(form1, "Record Data", "Button"));
  drive::Pause(14'000);
  EXPECT_EQ(Setting("Record"), "1");
  const std::string records = ReadFile("Calorix_Rec.txt");
  EXPECT_GE(CountLines(records), 2) << records;
  EXPECT_LE(CountLines(records), 4) << records;

  drive::PostTrayEvent(form1, 0x205);
  ASSERT_TRUE(drive::ChooseMenuItem(kViewData, 5000));
  const WindowHandle viewer = drive::WaitForWindow(" HWM Data Records", 5000);
  ASSERT_NE(viewer, 0);
  drive::Pause(500);
  const WindowHandle text = drive::FindChildOfClass(viewer, "Edit");
  EXPECT_NE(drive::Text(text).find(records.substr(0, 20)), std::string::npos);
}

TEST_F(EndToEnd, AnEnabledAlarmLogsClosesTheMonitorAndCountsDownUntilCancel) {
  ReturningUser();
  Set("Temp", "1");
  Set("AlrmBuzz", "0");
  ASSERT_TRUE(StartScriptableMonitor());
  StartCalorix();
  Script("alarm open CPU Tempture Alarm !");
  const WindowHandle dialog = drive::WaitForWindow("ALARM SHUT DOWN!", kLong);
  ASSERT_NE(dialog, 0);
  // The reason is put in once the dialog is up.
  WindowHandle reason = 0;
  for (int wait = 0; wait < 50 && reason == 0; ++wait) {
    reason = drive::FindChild(dialog, "CPU Temp Alarm !");
    if (reason == 0) drive::Pause(100);
  }
  EXPECT_NE(reason, 0);
  EXPECT_TRUE(drive::WaitForWindowGone("VIA HWM", 5000));
  const std::string log = ReadFile("Calorix_ShutDown.txt");
  EXPECT_EQ(log.substr(0, 3), "\r\n<");
  EXPECT_NE(log.find("> Shuting down on CPU Temp Alarm !\r\nCPU="), std::string::npos) << log;

  drive::Click(drive::FindChild(dialog, "CANCEL", "Button"));
  EXPECT_TRUE(drive::WaitForWindowGone("Calorix", 10'000));
  const std::string after = ReadFile("Calorix_ShutDown.txt");
  EXPECT_EQ(after.substr(after.size() - 30), "PC Shutdown aborted by user.\r\n");
  EXPECT_FALSE(Setting("Alarm").value_or("").size());
}

TEST_F(EndToEnd, ASecondCopySaysSoAndLeavesTheFirstAlone) {
  ReturningUser();
  const WindowHandle form1 = StartCalorix();
  ASSERT_TRUE(drive::Start("\"" + calorixExe_ + "\"", ""));
  const auto text = drive::MessageBoxText("Calorix", kLong);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, "A copy of Calorix is already loaded!");
  EXPECT_TRUE(drive::AnswerMessageBox("Calorix", 1, 5000));
  drive::Pause(2000);
  EXPECT_EQ(drive::FindTopLevel("Calorix"), form1);
  EXPECT_NE(drive::FindTopLevel("VIA HWM"), 0);
}

TEST_F(EndToEnd, CloseHwmEndsTheProgramAndTheMonitorAndSavesTheInterval) {
  ReturningUser();
  Set("RecDelay", "7");
  const WindowHandle form1 = StartCalorix();
  drive::PostTrayEvent(form1, 0x205);
  ASSERT_TRUE(drive::ChooseMenuItem(kCloseHwm, 5000));
  EXPECT_TRUE(drive::WaitForWindowGone("Calorix", 10'000));
  EXPECT_TRUE(drive::WaitForWindowGone("VIA HWM", 10'000));
  EXPECT_EQ(Setting("RecDelay"), "7");
}

// The power-off path ends the whole Wine session of the prefix, this test
// program included; the script runs Trigger, then Verify in a new session.
TEST(PowerOff, Trigger) {
  platform::win32::Win32SettingsBackend settings;
  StartFromReturningUser(settings);
  settings.Write("Startup", "Temp", "1");
  settings.Write("Startup", "FastSD", "1");
  settings.Write("Startup", "AlrmBuzz", "0");
  ASSERT_TRUE(StartScriptableMonitor());
  ASSERT_TRUE(drive::Start("\"" + std::string(std::getenv("CALORIX_EXE")) + "\"", ""));
  ASSERT_NE(drive::WaitForWindow("Calorix", kLong), 0);
  drive::Pause(3000);
  Script("alarm open CPU       Tempture Alarm !");
  drive::Pause(30'000);  // the session ends before this does
  FAIL() << "the PC was not powered off";
}

TEST(PowerOff, Verify) {
  platform::win32::Win32SettingsBackend settings;
  EXPECT_EQ(settings.Read("Startup", "Alarm"), "CPU Temp Alarm !");
  EXPECT_NE(ReadFile("Calorix_ShutDown.txt").find("Shuting down on CPU Temp Alarm !"),
            std::string::npos);
  EXPECT_EQ(drive::FindTopLevel("Calorix"), 0);
}

}  // namespace
}  // namespace calorix

namespace calorix {
namespace {

namespace drive = platform::win32::driver;

// Logging off ends the session: the exit sequence must run in full. Trigger
// and Verify run as separate programs, as the session may take the first.
TEST(LogOff, Trigger) {
  platform::win32::Win32SettingsBackend settings;
  StartFromReturningUser(settings);
  settings.Write("Startup", "RecDelay", "3");
  ASSERT_TRUE(drive::Start("\"" + std::string(std::getenv("CALORIX_EXE")) + "\"", ""));
  ASSERT_NE(drive::WaitForWindow("Calorix", kLong), 0);
  ASSERT_NE(drive::WaitForWindow("VIA HWM", kLong), 0);
  drive::Pause(3000);
  // Only the exit sequence writes this back from the interval box.
  settings.Write("Startup", "RecDelay", "99");
  ASSERT_TRUE(drive::Start("wineboot.exe --end-session", ""));
  drive::Pause(5000);
}

TEST(LogOff, Verify) {
  platform::win32::Win32SettingsBackend settings;
  EXPECT_EQ(settings.Read("Startup", "RecDelay"), "3");
  EXPECT_EQ(drive::FindTopLevel("Calorix"), 0);
  EXPECT_EQ(drive::FindTopLevel("VIA HWM"), 0);
}

}  // namespace
}  // namespace calorix
