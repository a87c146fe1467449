// The data recorder, its viewer and the "HWM Data" commands: the whole
// program on the simulated desktop, in virtual time.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/app_fixture.h"

namespace calorix::testing {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr char kRecords[] = "Calorix_Rec.txt";
// The stand-in's readings as a record shows them.
constexpr char kReadings[] = "45 , 4500, 36 , 3200, 1.52, 3.31, 5.02,  12.16 ";

// "08/12/26 09:mm" for the given minute after 09:00 on the simulated day.
std::string StampAt(int minutesAfterNine) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "08/12/26 %02d:%02d", 9 + minutesAfterNine / 60,
                minutesAfterNine % 60);
  return buffer;
}

class RecorderScenario : public AppTest {
 protected:
  // A returning user with the monitor running (hidden) and the reminder off.
  void StartWatching() {
    monitor.Start();
    ReturningUser();
    ASSERT_TRUE(Start());
  }
  void StartRecording(const std::string& storedInterval) {
    Store("Record", "1");
    Store("ChkDatRec", "0");
    Store("RecDelay", storedInterval);
    StartWatching();
    ASSERT_EQ(app->form1["MnuRecord"].State(), 1);
  }
  void Restart() {
    app.reset();
    ended = false;
    exitCode = -1;
    if (!monitor.Running()) monitor.Start();
    ASSERT_TRUE(Start());
  }
  // The program ends as it does when the monitor goes away.
  void EndByClosingTheMonitor() {
    monitor.Stop();
    Advance(1'000);
    ASSERT_TRUE(ended);
  }

  std::vector<std::string> Lines() { return SplitLines(FileText(kRecords)); }
  void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
  }
  void WriteRecords(const std::string& text) {
    WriteFile(desktop.CurrentDirectoryPath() / kRecords, text);
  }

  bool ViewerOpen() { return app->dataForm.Loaded() && app->dataForm.Visible(); }
  const std::string& ViewerText() { return app->dataForm["Text1"].Text(); }
};

// ---- Recording over time ---------------------------------------------------

TEST_F(RecorderScenario, AnHourAtHalfAMinuteRecordsEveryThirtySecondsAndRefreshesTheOpenViewer) {
  StartRecording("0.5");
  ASSERT_EQ(app->form1["Combo1"].Text(), ".5");

  Advance(3'000);  // the first reading cycle records at once
  ASSERT_EQ(Lines().size(), 1u);
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  ASSERT_EQ(ViewerText(), FileText(kRecords));

  std::vector<std::string> expected{StampAt(0) + ", " + kReadings};
  for (int record = 1; record < 120; ++record) {
    if (record == 60) {
      monitor.SetReading(standin::Reading::CpuTemp, "52");
      monitor.SetReading(standin::Reading::CpuFan, "12000");
    }
    Advance(29'000);
    ASSERT_EQ(Lines().size(), static_cast<std::size_t>(record)) << record;
    Advance(1'000);  // 3 + 30 * record seconds
    const std::string readings =
        record >= 60 ? "52 , 12000, 36 , 3200, 1.52, 3.31, 5.02,  12.16 " : kReadings;
    expected.push_back(StampAt((3 + 30 * record) / 60) + ", " + readings);
    ASSERT_EQ(Lines(), expected) << record;
    // The open viewer shows the new line at once, the caret before the last line end.
    ASSERT_EQ(ViewerText(), FileText(kRecords)) << record;
    EXPECT_EQ(app->dataForm["Text1"].SelectionStart(),
              static_cast<int>(FileText(kRecords).size()) - 2);
    EXPECT_TRUE(app->menu["MnuVwDat"].checked);
  }
  Advance(3'600'000 - 3'573'000);  // to the end of the hour
  EXPECT_EQ(Lines().size(), 120u);
  EXPECT_EQ(Lines().back(), StampAt(59) + ", 52 , 12000, 36 , 3200, 1.52, 3.31, 5.02,  12.16 ");
  EXPECT_EQ(FileText(kRecords).substr(FileText(kRecords).size() - 2), "\r\n");
  EXPECT_FALSE(ended);
  EXPECT_EQ(desktop.Beeps(), 0);
}

TEST_F(RecorderScenario, RecordPadsButNeverCutsAndUsesTheSystemSeparators) {
  desktop.SetLocalTime({2027, 1, 5, 7, 4, 0});
  desktop.SetDateTimeSeparators("-", ".");
  StartRecording("0.1");
  monitor.SetReading(standin::Reading::CpuTemp, "7");
  monitor.SetReading(standin::Reading::CpuFan, "12000");
  monitor.SetReading(standin::Reading::SysTemp, "105");
  monitor.SetReading(standin::Reading::SysFan, "900");
  monitor.SetReading(standin::Reading::Vcore, "  1.6 ");
  monitor.SetReading(standin::Reading::V33, "3.3");
  monitor.SetReading(standin::Reading::V5, " 4.98");
  monitor.SetReading(standin::Reading::V12, "12 ");
  Advance(3'000);
  EXPECT_EQ(FileText(kRecords), "05-01-27 07.04, 7  , 12000, 105, 900 , 1.6, 3.3, 4.98, 12 \r\n");
}

// Temperatures take 3 characters and fan speeds 4: a shorter reading,
// also an empty one, is filled up with blanks after it.
struct ShortReadingCase {
  const char* cpuTemp;
  const char* cpuFan;
  const char* sysTemp;
  const char* sysFan;
  const char* fields;  // the four fields as the record shows them
};

void PrintTo(const ShortReadingCase& c, std::ostream* out) {
  const char* readings[] = {c.cpuTemp, c.cpuFan, c.sysTemp, c.sysFan};
  for (int i = 0; i < 4; ++i)
    *out << (i > 0 ? "-" : "") << (*readings[i] == '\0' ? "empty" : readings[i]);
}

class RecorderShortReadings : public RecorderScenario,
                              public ::testing::WithParamInterface<ShortReadingCase> {};

TEST_P(RecorderShortReadings, ArePaddedToTheirColumns) {
  StartRecording("0.1");
  monitor.SetReading(standin::Reading::CpuTemp, GetParam().cpuTemp);
  monitor.SetReading(standin::Reading::CpuFan, GetParam().cpuFan);
  monitor.SetReading(standin::Reading::SysTemp, GetParam().sysTemp);
  monitor.SetReading(standin::Reading::SysFan, GetParam().sysFan);
  Advance(3'000);
  EXPECT_EQ(FileText(kRecords), std::string("08/12/26 09:00, ") + GetParam().fields +
                                    ", 1.52, 3.31, 5.02,  12.16 \r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RecorderShortReadings,
    ::testing::Values(ShortReadingCase{"45", "900", "36", "3200", "45 , 900 , 36 , 3200"},
                      ShortReadingCase{"45", "", "36", "3200", "45 ,     , 36 , 3200"},
                      ShortReadingCase{"45", "60", "36", "5", "45 , 60  , 36 , 5   "},
                      ShortReadingCase{"5", "4500", "7", "3200", "5  , 4500, 7  , 3200"},
                      ShortReadingCase{"", "", "", "", "   ,     ,    ,     "}));

struct IntervalCase {
  const char* text;  // what the interval box holds
  int seconds;       // how long the program runs
  std::size_t records;
};

class RecorderIntervalScenario : public RecorderScenario, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(RecorderIntervalScenario, RecordsAtTheIntervalTheBoxGives) {
  const IntervalCase& param = GetParam();
  StartRecording("5");
  app->form1["Combo1"].SetText(param.text);
  Advance(static_cast<std::uint64_t>(param.seconds) * 1000);
  EXPECT_EQ(Lines().size(), param.records) << '"' << param.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    IntervalBox, RecorderIntervalScenario,
    ::testing::Values(IntervalCase{".1", 60, 10},   // every 6 s
                      IntervalCase{".5", 60, 2},    // every 30 s
                      IntervalCase{".5", 63, 3},
                      IntervalCase{"1", 60, 1},     // every 60 s: 3 s, then 63 s
                      IntervalCase{"1", 63, 2},
                      IntervalCase{"2 min", 123, 2},  // the leading number only
                      IntervalCase{"60", 600, 1},
                      IntervalCase{"0,5", 30, 10},  // a comma is not a decimal point: 0
                      IntervalCase{"abc", 30, 10},
                      IntervalCase{"", 30, 10},
                      IntervalCase{"-2", 30, 10}));

TEST_F(RecorderScenario, SwitchingRecordingOnRecordsAtTheNextStepAndOffStopsIt) {
  StartWatching();
  ASSERT_EQ(app->form1["MnuRecord"].State(), 0);
  ASSERT_EQ(app->form1["Combo1"].Text(), "5");
  Advance(9'000);
  EXPECT_FALSE(FileExists(kRecords));

  Click("MnuRecord");
  EXPECT_EQ(Setting("Record"), "1");
  Advance(2'999);
  EXPECT_FALSE(FileExists(kRecords));
  Advance(1);
  EXPECT_EQ(Lines().size(), 1u);
  Advance(60'000);
  EXPECT_EQ(Lines().size(), 1u);  // five minutes apart

  Click("MnuRecord");
  EXPECT_EQ(Setting("Record"), "0");
  Advance(600'000);
  EXPECT_EQ(Lines().size(), 1u);

  Click("MnuRecord");
  Advance(3'000);
  EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(RecorderScenario, NothingIsRecordedWhileTheMonitorWindowIsShown) {
  StartRecording("0.1");
  Advance(6'000);  // recorded at 3 s; the count is due again at the next step
  ASSERT_EQ(Lines().size(), 1u);

  TrayEvent(514);  // show the monitor
  ASSERT_TRUE(desktop.IsVisible(monitor.MainWindow()));
  ASSERT_EQ(app->timer1.Interval(), 500);
  monitor.SetReading(standin::Reading::CpuTemp, "58");
  Advance(31'500);  // 21 reading cycles
  EXPECT_EQ(Lines().size(), 1u);
  // The readings still reach the tooltip.
  EXPECT_EQ(TrayIcon()->szTip.substr(0, 8), "CPU:58\xB0" "C");

  TrayEvent(514);  // hide it: the count goes on from where it stood
  ASSERT_FALSE(desktop.IsVisible(monitor.MainWindow()));
  ASSERT_EQ(app->timer1.Interval(), 1000);
  Advance(2'000);
  EXPECT_EQ(Lines().size(), 1u);
  Advance(1'000);
  ASSERT_EQ(Lines().size(), 2u);
  EXPECT_EQ(Lines()[1].substr(14), ", 58 , 4500, 36 , 3200, 1.52, 3.31, 5.02,  12.16 ");
  Advance(3'000);
  EXPECT_EQ(Lines().size(), 2u);
  Advance(3'000);
  EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(RecorderScenario, NothingIsRecordedWhileAnAlarmWindowIsPresent) {
  StartRecording("0.1");
  Advance(6'000);
  ASSERT_EQ(Lines().size(), 1u);
  const platform::WindowHandle alarm = monitor.OpenAlarm("System Fan Alarm!");
  Advance(40'000);
  EXPECT_EQ(Lines().size(), 1u);
  EXPECT_EQ(desktop.AlarmSoundsPlayed(), 40);
  monitor.CloseAlarm(alarm);
  Advance(2'000);
  EXPECT_EQ(Lines().size(), 1u);
  Advance(1'000);
  EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(RecorderScenario, UnwritableRecordFileLosesThatRecordOnlyAndTheNextDueStepTriesAgain) {
  StartRecording("0.1");
  Click("Command3");  // no file yet: beeps
  ASSERT_EQ(desktop.Beeps(), 1);
  desktop.LockFile(kRecords, true);
  Advance(3'000);  // due, but the file refuses
  EXPECT_FALSE(FileExists(kRecords));
  desktop.LockFile(kRecords, false);
  Advance(3'000);  // not due: the count went on
  EXPECT_FALSE(FileExists(kRecords));
  Advance(3'000);  // due again
  EXPECT_EQ(Lines().size(), 1u);
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_TRUE(desktop.MessageBoxes().empty());
  EXPECT_FALSE(ended);
}

// ---- The viewer ---------------------------------------------------------------

TEST_F(RecorderScenario, ViewShowsTheWholeFileWithTheCaretBeforeTheLastLineEnd) {
  StartWatching();
  const std::string text = "08/12/26 08:00, 45 , 4500, 36 , 3200, 1.52, 3.31, 5.02,  12.16 \r\n"
                           "08/12/26 08:05, 46 , 4400, 37 , 3100, 1.53, 3.30, 5.01,  12.10 \r\n";
  WriteRecords(text);
  ChooseMenu("MnuVwDat");
  ASSERT_TRUE(ViewerOpen());
  EXPECT_EQ(app->dataForm.State(), ui::WindowState::kNormal);
  EXPECT_EQ(app->dataForm.Caption(), " HWM Data Records");
  EXPECT_EQ(ViewerText(), text);
  EXPECT_EQ(app->dataForm["Text1"].SelectionStart(), static_cast<int>(text.size()) - 2);
  EXPECT_TRUE(app->menu["MnuVwDat"].checked);
  EXPECT_EQ(app->recorder.DatViewOpen, 1);

  // Choosing the checked menu item closes it.
  ChooseMenu("MnuVwDat");
  EXPECT_FALSE(ViewerOpen());
  EXPECT_FALSE(app->menu["MnuVwDat"].checked);
  EXPECT_EQ(app->recorder.DatViewOpen, 0);

  // The View button re-reads the file each time.
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  WriteRecords(text + text);
  Click("Command3");
  EXPECT_TRUE(ViewerOpen());
  EXPECT_EQ(ViewerText(), text + text);
  EXPECT_EQ(desktop.Beeps(), 0);
}

TEST_F(RecorderScenario, ViewWithoutTheFileBeepsAndLeavesTheMenuUnchecked) {
  StartWatching();
  // A file beside the program is not the record file.
  WriteFile(desktop.ProgramFolderPath() / kRecords, "08/12/26 08:00, 45 \r\n");
  ChooseMenu("MnuVwDat");
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_FALSE(ViewerOpen());
  EXPECT_FALSE(app->menu["MnuVwDat"].checked);
  Click("Command3");
  EXPECT_EQ(desktop.Beeps(), 2);
  EXPECT_FALSE(ViewerOpen());
  EXPECT_EQ(app->recorder.DatViewOpen, 0);
}

TEST_F(RecorderScenario, FileOverSixtyFiveThousandBytesIsRefused) {
  StartWatching();
  WriteRecords(std::string(64'998, 'x') + "\r\n");  // exactly 65,000 bytes
  Click("Command3");
  EXPECT_TRUE(ViewerOpen());
  EXPECT_TRUE(desktop.MessageBoxes().empty());
  EXPECT_EQ(ViewerText().size(), 65'000u);
  ChooseMenu("MnuVwDat");
  ASSERT_FALSE(ViewerOpen());

  WriteRecords(std::string(64'999, 'x') + "\r\n");
  Click("Command3");
  EXPECT_FALSE(ViewerOpen());
  EXPECT_FALSE(app->menu["MnuVwDat"].checked);
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  const auto& box = desktop.MessageBoxes()[0];
  EXPECT_EQ(box.text, "The log is too large to open with Calorix");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.icon, MessageIcon::None);
  EXPECT_EQ(desktop.Beeps(), 0);
}

TEST_F(RecorderScenario, EscapeClosesTheViewerAndLaterRecordsLeaveItClosed) {
  StartRecording("0.1");
  Advance(3'000);
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  Advance(6'000);
  ASSERT_EQ(Lines().size(), 2u);
  ASSERT_EQ(ViewerText(), FileText(kRecords));

  Do([&] { app->dataForm.KeyPress(&app->dataForm["Text1"], 27); });
  EXPECT_FALSE(ViewerOpen());
  EXPECT_FALSE(app->menu["MnuVwDat"].checked);
  EXPECT_EQ(app->recorder.DatViewOpen, 0);

  Advance(6'000);
  EXPECT_EQ(Lines().size(), 3u);
  EXPECT_FALSE(ViewerOpen());
  EXPECT_FALSE(app->menu["MnuVwDat"].checked);

  // Any other key leaves it open.
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  Do([&] { app->dataForm.KeyPress(&app->dataForm["Text1"], 'a'); });
  EXPECT_TRUE(ViewerOpen());
}

TEST_F(RecorderScenario, ViewerKeepsItsWidthAMinimumHeightAndFitsTheTextBox) {
  StartWatching();
  WriteRecords("08/12/26 08:00, 45 , 4500, 36 , 3200, 1.52, 3.31, 5.02,  12.16 \r\n");
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  ui::Form& viewer = app->dataForm;
  const double frame = sim::SimFormHost::kFrameHeightPixels * desktop.TwipsPerPixelY();
  // The designed client width plus the window's borders.
  const double width = 8'010 + sim::SimFormHost::kFrameWidthPixels * desktop.TwipsPerPixelX();

  viewer.Resize(5'000, 1'000);
  EXPECT_EQ(viewer.Width(), width);
  EXPECT_EQ(viewer.Height(), 1'500);
  EXPECT_EQ(viewer["Text1"].Height(), 1'500 - frame - 500);

  viewer.Resize(12'000, 7'000);
  EXPECT_EQ(viewer.Width(), width);
  EXPECT_EQ(viewer.Height(), 7'000);
  EXPECT_EQ(viewer["Text1"].Height(), 7'000 - frame - 500);

  viewer.Resize(width, 3'000);
  EXPECT_EQ(viewer.Width(), width);
  EXPECT_EQ(viewer.Height(), 3'000);
  EXPECT_EQ(viewer["Text1"].Height(), 3'000 - frame - 500);
}

class ViewerWidthAtScale : public RecorderScenario, public ::testing::WithParamInterface<double> {};

TEST_P(ViewerWidthAtScale, AUsersResizeLeavesTheClientAreaWideEnoughForTheTextBox) {
  desktop.SetTwipsPerPixel(GetParam(), GetParam());
  StartWatching();
  WriteRecords("08/12/26 08:00, 45 , 4500, 36 , 3200, 1.52, 3.31, 5.02,  12.16 \r\n");
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  ui::Form& viewer = app->dataForm;
  const ui::ControlDecl& text = viewer["Text1"].Decl();
  ASSERT_EQ(text.left + text.width, 7'950);

  for (const double dragged : {viewer.Width() + 1'500, viewer.Width() - 1'500, 8'010.0}) {
    SCOPED_TRACE(dragged);
    viewer.Resize(dragged, 4'000);
    EXPECT_EQ(viewer.ClientWidth(), 8'010);
    EXPECT_LE(text.left + text.width, viewer.ClientWidth());
    // The window on the desktop: the client area in whole pixels, and the frame.
    const platform::Rect& rect = desktop.Window(viewer.Handle()).rect;
    EXPECT_EQ(rect.right - rect.left,
              std::lround(8'010 / GetParam()) + sim::SimFormHost::kFrameWidthPixels);
  }
}

// 96 and 144 dots per inch: the client width is a whole number of pixels at both.
INSTANTIATE_TEST_SUITE_P(Dpi, ViewerWidthAtScale, ::testing::Values(15.0, 10.0));

TEST_F(RecorderScenario, ViewerTextBoxScrollsSidewaysSoARecordStaysOnOneRow) {
  StartWatching();
  const ui::ControlDecl& text = app->dataForm["Text1"].Decl();
  EXPECT_TRUE(text.multiLine);
  EXPECT_TRUE(text.verticalScroll);
  EXPECT_TRUE(text.horizontalScroll);
}

TEST_F(RecorderScenario, TheRefreshAfterARecordLeavesTheKeyboardWithTheUsersProgram) {
  StartRecording("0.1");
  const platform::WindowHandle editor = desktop.CreateTopLevel("Notes - Editor");
  desktop.SetForegroundWindow(editor);
  Advance(3'000);
  ASSERT_EQ(Lines().size(), 1u);

  // The user asks for the viewer: it takes the keyboard.
  ChooseMenu("MnuVwDat");
  ASSERT_TRUE(ViewerOpen());
  const platform::WindowHandle viewer = app->dataForm.Handle();
  EXPECT_EQ(desktop.ForegroundWindow(), viewer);

  // The user goes back to typing; the next record refreshes the viewer
  // without taking the keyboard away.
  desktop.SetForegroundWindow(editor);
  Advance(6'000);
  ASSERT_EQ(Lines().size(), 2u);
  ASSERT_EQ(ViewerText(), FileText(kRecords));
  EXPECT_EQ(desktop.ForegroundWindow(), editor);

  // Minimised, the viewer comes back in its normal state, still without the keyboard.
  Do([&] { app->dataForm.SetWindowState(ui::WindowState::kMinimized); });
  ASSERT_TRUE(desktop.Window(viewer).minimized);
  Advance(6'000);
  ASSERT_EQ(Lines().size(), 3u);
  EXPECT_EQ(app->dataForm.State(), ui::WindowState::kNormal);
  EXPECT_FALSE(desktop.Window(viewer).minimized);
  EXPECT_TRUE(desktop.Window(viewer).visible);
  EXPECT_EQ(desktop.ForegroundWindow(), editor);

  // The View button is the user's request again: it activates.
  Do([&] { app->dataForm.SetWindowState(ui::WindowState::kMinimized); });
  Click("Command3");
  EXPECT_FALSE(desktop.Window(viewer).minimized);
  EXPECT_EQ(desktop.ForegroundWindow(), viewer);
}

// ---- Clear and Edit -------------------------------------------------------------

TEST_F(RecorderScenario, ClearAsksThenDeletesTheFileAndClosesTheViewer) {
  StartWatching();
  Click("Command4");
  EXPECT_EQ(desktop.Beeps(), 1);
  EXPECT_TRUE(desktop.MessageBoxes().empty());

  WriteRecords("08/12/26 08:00, 45 \r\n");
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  Click("Command4");  // answered No
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(desktop.MessageBoxes()[0].text, "Delete all recorded HWM data?");
  EXPECT_EQ(desktop.MessageBoxes()[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(FileExists(kRecords));
  EXPECT_TRUE(ViewerOpen());
  EXPECT_FALSE(app->form1.Visible());

  desktop.QueueAnswer(MessageAnswer::Yes);
  Click("Command4");
  EXPECT_FALSE(FileExists(kRecords));
  EXPECT_FALSE(ViewerOpen());
  EXPECT_FALSE(app->menu["MnuVwDat"].checked);
  EXPECT_EQ(app->recorder.DatViewOpen, 0);
  EXPECT_TRUE(app->form1.Visible());
  EXPECT_EQ(desktop.Beeps(), 1);
}

TEST_F(RecorderScenario, EditOpensTheRecordFileOfTheCurrentDirectory) {
  StartWatching();
  WriteRecords("08/12/26 08:00, 45 \r\n");
  Click("Command3");
  ASSERT_TRUE(ViewerOpen());
  Click("Command6");
  EXPECT_FALSE(ViewerOpen());
  EXPECT_FALSE(app->menu["MnuVwDat"].checked);
  EXPECT_EQ(app->recorder.DatViewOpen, 0);
  ASSERT_EQ(desktop.ShellExecutes().size(), 1u);
  const auto& call = desktop.ShellExecutes()[0];
  EXPECT_EQ(call.file, desktop.CurrentDirectoryPath().string() + "\\Calorix_Rec.txt");
  EXPECT_EQ(call.verb, "");
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.show, platform::ShowCommand::ShowNormal);
  EXPECT_EQ(call.owner, app->form1.Handle());
  EXPECT_TRUE(desktop.MessageBoxes().empty());
}

TEST_F(RecorderScenario, EditWithoutRecordsSaysSo) {
  StartWatching();
  WriteFile(desktop.ProgramFolderPath() / kRecords, "08/12/26 08:00, 45 \r\n");
  Click("Command6");
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  const auto& box = desktop.MessageBoxes()[0];
  EXPECT_TRUE(box.text.ends_with("There is no recorded data to edit!")) << box.text;
  EXPECT_EQ(box.icon, MessageIcon::Critical);
  EXPECT_TRUE(desktop.ShellExecutes().empty());
}

// ---- The reminder at start, and the interval kept between runs ---------------

TEST_F(RecorderScenario, ReminderAnsweredYesTurnsRecordingOffBeforeTheMonitorStarts) {
  Store("Record", "1");
  Store("RecDelay", "0.5");
  ReturningUser();
  std::optional<std::string> recordAtLaunch;
  desktop.OnLaunch("viahm.exe", [&](const sim::ShellExecuteCall&) {
    recordAtLaunch = Setting("Record");
    desktop.After(1'000, [&] { monitor.Start(); });
  });
  desktop.QueueAnswer(MessageAnswer::Yes);
  ASSERT_TRUE(Start());

  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  const auto& question = desktop.MessageBoxes()[0];
  EXPECT_EQ(question.text,
            "The Data recorder is on, Interval is set to 0.5\r\nWould you like to turn it off now?");
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.icon, MessageIcon::Information);
  EXPECT_EQ(recordAtLaunch, "0");
  EXPECT_EQ(app->form1["MnuRecord"].State(), 0);
  Advance(60'000);
  EXPECT_FALSE(FileExists(kRecords));
}

TEST_F(RecorderScenario, ReminderAnsweredNoKeepsRecording) {
  Store("Record", "1");
  Store("RecDelay", "2");
  StartWatching();
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(desktop.MessageBoxes()[0].text,
            "The Data recorder is on, Interval is set to 2\r\nWould you like to turn it off now?");
  EXPECT_EQ(app->form1["MnuRecord"].State(), 1);
  EXPECT_EQ(Setting("Record"), "1");
  Advance(3'000);
  EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(RecorderScenario, NoReminderWhenItIsOffOrRecordingIsOff) {
  StartRecording("0.5");
  EXPECT_TRUE(desktop.MessageBoxes().empty());
  Advance(3'000);
  EXPECT_EQ(Lines().size(), 1u);

  Store("Record", "0");
  Store("ChkDatRec", "1");
  Restart();
  EXPECT_TRUE(desktop.MessageBoxes().empty());
}

TEST_F(RecorderScenario, DecimalCommaIntervalSurvivesARestart) {
  desktop.SetDecimalSeparator(",");
  Store("Record", "1");
  Store("RecDelay", "0,5");
  StartWatching();
  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(desktop.MessageBoxes()[0].text,
            "The Data recorder is on, Interval is set to 0,5\r\nWould you like to turn it off now?");
  EXPECT_EQ(app->form1["Combo1"].Text(), ".5");
  Advance(60'000);  // ".5" is half a minute in every locale
  EXPECT_EQ(Lines().size(), 2u);

  EndByClosingTheMonitor();
  EXPECT_EQ(Setting("RecDelay"), "0,5");
  Restart();
  EXPECT_EQ(app->form1["Combo1"].Text(), ".5");
  EXPECT_EQ(desktop.MessageBoxes().size(), 2u);
  EXPECT_EQ(desktop.MessageBoxes()[1].text, desktop.MessageBoxes()[0].text);
}

struct ExitCase {
  const char* decimalSeparator;
  const char* box;
  const char* stored;
};

class RecorderExitScenario : public RecorderScenario, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(RecorderExitScenario, IntervalIsSavedAsANumberAtExit) {
  const ExitCase& param = GetParam();
  desktop.SetDecimalSeparator(param.decimalSeparator);
  StartWatching();
  app->form1["Combo1"].SetText(param.box);
  EndByClosingTheMonitor();
  EXPECT_EQ(Setting("RecDelay"), param.stored);
}

INSTANTIATE_TEST_SUITE_P(IntervalBox, RecorderExitScenario,
                         ::testing::Values(ExitCase{".", ".5", "0.5"}, ExitCase{",", ".5", "0,5"},
                                           ExitCase{".", "10", "10"}, ExitCase{".", "", "0"},
                                           ExitCase{".", ".1", "0.1"}, ExitCase{",", "2.5", "2,5"},
                                           ExitCase{".", "7 min", "7"}));

}  // namespace
}  // namespace calorix::testing
