// The program against a monitor that is slow or odd, and against stored
// numbers and reading texts that do not fit: the take-over waits for the
// controls, conversions never overflow, a record is always one whole line.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "alarm/shutdown.h"
#include "core/numbers.h"
#include "core/settings_store.h"
#include "monitor/leading_number.h"
#include "monitor/monitor_locator.h"
#include "platform/utf16.h"
#include "recorder/recorder.h"
#include "tests/support/app_fixture.h"
#include "tray/reading_cycle.h"

namespace calorix::testing {
namespace {

namespace keys = settings::keys;

// A monitor whose window carries its title before its controls exist: the
// controls appear one by one over `buildMs` after the window. Returns the
// handles in creation (enumeration) order, filled in as they appear.
struct SlowMonitor {
  platform::WindowHandle main = 0;
  std::vector<platform::WindowHandle> controls;

  void Start(sim::SimDesktop& desktop, std::uint64_t buildMs, int controlCount = standin::kControlCount) {
    main = desktop.CreateTopLevel(standin::kMainTitle,
                                  {200, 150, 200 + standin::kMainWidth, 150 + standin::kMainHeight},
                                  kMonitorProcess);
    for (int i = 0; i < controlCount; ++i) {
      desktop.After(buildMs * static_cast<std::uint64_t>(i + 1) / controlCount, [this, &desktop, i] {
        const standin::ControlSpec& spec = standin::kControls[i];
        const platform::WindowHandle parent = spec.parent < 0 ? main : controls.at(spec.parent);
        controls.push_back(desktop.CreateWindow(parent, spec.className, spec.text,
                                                {spec.x, spec.y, spec.x + spec.width, spec.y + spec.height},
                                                kMonitorProcess));
      });
    }
  }
};

// Makes starting "viahm.exe" open `slow` after `afterMs`, building over `buildMs`.
void LaunchesSlowly(sim::SimDesktop& desktop, SlowMonitor& slow, std::uint64_t afterMs,
                    std::uint64_t buildMs, int controlCount = standin::kControlCount) {
  desktop.OnLaunch("viahm.exe", [=, &desktop, &slow](const sim::ShellExecuteCall&) {
    desktop.After(afterMs, [=, &desktop, &slow] { slow.Start(desktop, buildMs, controlCount); });
  });
}

constexpr int kCloseButton = 47;  // "&Close" in the monitor's layout
const std::string kRecords{recorder::kRecordFileName};

// ---- Taking over a monitor that is still building its window ---------------

TEST(LaunchWait, AWindowIsTakenOnlyOnceItsControlsStopComing) {
  sim::SimDesktop desktop;
  SlowMonitor slow;
  LaunchesSlowly(desktop, slow, 1'000, 2'000);
  const auto outcome = monitor::LaunchAndWait(desktop.Platform(), 0, kMonitorFolder);
  ASSERT_EQ(outcome.result, monitor::LaunchOutcome::Result::kFound);
  EXPECT_EQ(outcome.window, slow.main);
  // Every control, the buttons behind the readings included, and soon after
  // the last: the wait looks every 50 ms.
  EXPECT_EQ(static_cast<int>(slow.controls.size()), standin::kControlCount);
  EXPECT_GE(desktop.MonotonicMs(), 3'000u + monitor::kControlsSettleMs);
  EXPECT_LT(desktop.MonotonicMs(), 3'000u + monitor::kControlsSettleMs + 100);
}

TEST(LaunchWait, AWindowWithFewerControlsIsTakenOnceTheirCountHoldsForHalfASecond) {
  sim::SimDesktop desktop;
  SlowMonitor slow;
  LaunchesSlowly(desktop, slow, 1'000, 1'000, 20);
  const auto outcome = monitor::LaunchAndWait(desktop.Platform(), 0, "");
  ASSERT_EQ(outcome.result, monitor::LaunchOutcome::Result::kFound);
  EXPECT_EQ(slow.controls.size(), 20u);
  EXPECT_GE(desktop.MonotonicMs(), 2'000u + monitor::kControlsSettleMs);
  EXPECT_LT(desktop.MonotonicMs(), 2'000u + monitor::kControlsSettleMs + 100);
}

TEST(LaunchWait, AWindowStillBuildingWhenTheMinuteEndsIsTakenAsItIs) {
  sim::SimDesktop desktop;
  SlowMonitor slow;
  LaunchesSlowly(desktop, slow, 59'000, 40'000);
  const auto outcome = monitor::LaunchAndWait(desktop.Platform(), 0, "");
  EXPECT_EQ(outcome.result, monitor::LaunchOutcome::Result::kFound);
  EXPECT_GE(desktop.MonotonicMs(), 60'000u);
  EXPECT_LT(desktop.MonotonicMs(), 60'100u);
}

TEST(LaunchWait, TheSettleWatchStartsAnewForANewWindowOrANewCount) {
  monitor::ControlsSettled settled;
  EXPECT_FALSE(settled.Check(5, 3, 1'000));
  EXPECT_FALSE(settled.Check(5, 3, 1'499));
  EXPECT_FALSE(settled.Check(5, 4, 1'500));  // grew: the half second starts again
  EXPECT_FALSE(settled.Check(6, 4, 1'900));  // another window
  EXPECT_TRUE(settled.Check(6, 4, 2'400));
  EXPECT_FALSE(settled.Check(8, 0, 2'500));  // no controls yet: never complete
  EXPECT_FALSE(settled.Check(8, 0, 9'000));
  EXPECT_TRUE(settled.Check(7, monitor::MonitorTextTable::kSlotCount, 9'001));  // complete at once
}

TEST_F(AppTest, ALaunchedMonitorThatBuildsSlowlyIsTakenOverWholeAndRecordsNoBlankLine) {
  SlowMonitor slow;
  LaunchesSlowly(desktop, slow, 500, 2'000);
  ReturningUser();
  Store("Record", "1");
  Store("ChkDatRec", "0");
  Store("RecDelay", ".1");
  ASSERT_TRUE(Start());
  ASSERT_EQ(app->state.MonitorWindow, slow.main);
  Advance(2'000);  // the rest of the controls
  ASSERT_EQ(static_cast<int>(slow.controls.size()), standin::kControlCount);
  EXPECT_FALSE(desktop.IsVisible(slow.controls[kCloseButton]));
  EXPECT_EQ(desktop.GetWindowRect(slow.main)->Height(), standin::kMainHeight - 60);

  Advance(12'000);
  const auto lines = SplitLines(FileText(kRecords));
  ASSERT_GE(lines.size(), 2u);
  for (const std::string& line : lines) EXPECT_NE(line.find("45 , 4500"), std::string::npos) << line;
}

TEST_F(AppTest, AMonitorAlreadyRunningIsTakenOverAtOnceEvenWithoutControls) {
  SlowMonitor slow;
  slow.Start(desktop, 10'000);
  ReturningUser();
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->state.MonitorWindow, slow.main);
  EXPECT_TRUE(desktop.ShellExecutes().empty());
  EXPECT_LT(desktop.MonotonicMs(), 100u);
}

// ---- The recorder and a scrape that found nothing ---------------------------

TEST_F(AppTest, ARecordDueWhileTheScrapeFindsNoTextWaitsForTheNextCycleWithReadings) {
  monitor.Start();
  ReturningUser();
  Store("Record", "1");
  Store("ChkDatRec", "0");
  Store("RecDelay", "5");
  ASSERT_TRUE(Start());
  ASSERT_EQ(app->recorder.RecCount, 1);

  app->table.Clear();  // as a scrape of a vanished window leaves it
  app->recorder.Step();
  EXPECT_FALSE(FileExists(kRecords));
  EXPECT_EQ(app->recorder.RecCount, 1);  // still due

  app->table.Append("first");
  app->recorder.Step();
  const auto lines = SplitLines(FileText(kRecords));
  ASSERT_EQ(lines.size(), 1u);
  // Fewer controls than slots: the missing readings are empty fields.
  EXPECT_EQ(lines[0].substr(14), ",    ,     ,    ,     , , , , ");
  EXPECT_EQ(app->recorder.RecCount, 4);
}

TEST_F(AppTest, AMonitorWhoseControlsAreGoneRecordsNothing) {
  monitor.Start();
  ReturningUser();
  Store("Record", "1");
  Store("ChkDatRec", "0");
  Store("RecDelay", ".1");
  ASSERT_TRUE(Start());
  for (int i = standin::kControlCount - 1; i >= 0; --i)
    if (standin::kControls[i].parent < 0) desktop.DestroyWindow(monitor.Control(i));
  Advance(30'000);
  EXPECT_FALSE(FileExists(kRecords));
  EXPECT_FALSE(ended);
}

// ---- Reading texts that would break a line ---------------------------------

class ReadingTexts : public ::testing::Test {
 protected:
  monitor::MonitorTextTable table_;
};

TEST_F(ReadingTexts, ControlCharactersBecomeBlanksSoARecordAndALogEntryStayOneLine) {
  const std::string texts[] = {"4\r\n5", "\t45\t", std::string("4\0" "5", 3), "1.5\n", "\r", "\n12\r"};
  const int readingSlots[] = {monitor::slots::kCpuTemp, monitor::slots::kSysTemp,
                              monitor::slots::kVcore,   monitor::slots::kVolts33,
                              monitor::slots::kVolts5,  monitor::slots::kVolts12};
  int next = 0;
  for (int slot = 0; slot < monitor::MonitorTextTable::kReadingSlots; ++slot) {
    const bool reading = next < 6 && readingSlots[next] == slot;
    table_.Append(reading ? texts[next++] : (slot == monitor::slots::kCpuFan ? "45\r\n00" : ""));
  }
  const std::string record = recorder::RecordLine("07/12/26 14:05", table_);
  EXPECT_EQ(record.find_first_of(std::string("\r\n\t\0", 4)), std::string::npos) << record;
  EXPECT_EQ(record, "07/12/26 14:05, 4  5, 45  00,  45 ,     , 4 5, 1.5, ,  12 ");

  const std::string log = alarm::ShutdownReadingsLine(table_);
  EXPECT_EQ(log.find_first_of(std::string("\r\n\t\0", 4)), std::string::npos) << log;
  EXPECT_EQ(log, "CPU=4  5 fan=45  00, Sys= 45  fan=, Vcore=4 5, 3.3v=1.5, 5v=, 12v= 12 ");
}

// ---- Conversions that must not overflow ------------------------------------

TEST(Fahrenheit, HugeOrTinyReadingsAreConvertedWideAndClamped) {
  const auto convert = [](std::string text) { return tray::CtoF_Deg(text); };
  EXPECT_EQ(convert("1193046454"), "2147483647");
  EXPECT_EQ(convert(std::string(300, '9')), "2147483647");
  EXPECT_EQ(convert("-1193046490"), "-2147483648");
  EXPECT_EQ(convert("-" + std::string(300, '9')), "-2147483648");
  EXPECT_EQ(convert("1193046435"), "2147483615");  // still fits: exact
  EXPECT_EQ(convert("45"), "113");
}

class StoredNumbers : public ::testing::Test {
 protected:
  void Store(const settings::Key& key, std::string text) {
    desktop_.SettingsData()[std::string(key.section)][std::string(key.name)] = std::move(text);
  }
  sim::SimDesktop desktop_;
  SettingsStore store_{desktop_, desktop_};
};

TEST_F(StoredNumbers, AnIntervalBeyondASingleFloatReadsAsTheDefault) {
  const std::string beyond[] = {"1" + std::string(300, '0'), "340282357000000000000000000000000000000",
                                "-" + std::string(60, '9'), "1e300"};
  for (const std::string& text : beyond) {
    Store(keys::kRecDelay, text);
    EXPECT_EQ(store_.ReadNumber(keys::kRecDelay), 5) << text;
  }
  Store(keys::kRecDelay, "340282346000000000000000000000000000000");  // the largest float
  EXPECT_GT(store_.ReadNumber(keys::kRecDelay), 3.4e38);
  Store(keys::kRecDelay, "-2");  // what the interval box accepts stays as it is
  EXPECT_EQ(store_.ReadNumber(keys::kRecDelay), -2);
}

TEST_F(StoredNumbers, APositionOutsideThirtyTwoBitsReadsAsTheDefault) {
  for (const std::string text : {"2147483648", "-2147483649", "99999999999999999999"}) {
    Store(keys::kDBLeft, text);
    Store(keys::kHWMLeft, text);
    Store(keys::kLeft, text);
    EXPECT_EQ(store_.ReadNumber(keys::kDBLeft, 1234), 1234) << text;
    EXPECT_EQ(store_.ReadInteger(keys::kHWMLeft), -100) << text;
    EXPECT_EQ(store_.ReadInteger(keys::kLeft), -1) << text;
  }
  Store(keys::kDBLeft, "2147483647");
  EXPECT_EQ(store_.ReadNumber(keys::kDBLeft, 1234), 2147483647.0);
}

TEST_F(AppTest, AHugeStoredIntervalStartsAtFiveMinutesAndAHugeDashboardPositionIsCentred) {
  monitor.Start();
  ReturningUser();
  Store("RecDelay", "1" + std::string(300, '0'));
  Store("DBLeft", "99999999999");
  Store("DBTop", "-99999999999");
  Store("DashOn", "1");
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->form1["Combo1"].Text(), "5");
  EXPECT_EQ(app->recorder.RecInterval, 5.0f);
  ASSERT_TRUE(app->form3.Visible());
  EXPECT_EQ(app->form3.Left(), std::round((1024 * 15 - app->form3.Width()) / 2 / 15) * 15);
  EXPECT_EQ(app->form3.Top(), std::round((768 * 15 - app->form3.Height()) / 2 / 15) * 15);

  ChooseMenu("MnuViewDashBrd");  // closing it saves the place it really has
  const double savedLeft = std::stod(*Setting("DBLeft"));
  EXPECT_GT(savedLeft, 0);
  EXPECT_LT(savedLeft, 1024 * 15);
}

}  // namespace
}  // namespace calorix::testing

namespace calorix::testing {
namespace {

// ---- Edges the fuzz targets found ------------------------------------------

TEST(SingleConversion, AValueBeyondAFloatBecomesInfinityOfItsSign) {
  EXPECT_EQ(ToSingle(1e300), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToSingle(-1e300), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToSingle(3e38), 3e38f);
  EXPECT_EQ(FormatNumberText(1e300, "."), "inf");  // and "inf" reads as the default
}

TEST_F(AppTest, AHugeTypedIntervalNeverComesDueAndIsReadAsFiveMinutesNextTime) {
  monitor.Start();
  ReturningUser();
  Store("Record", "1");
  Store("ChkDatRec", "0");
  ASSERT_TRUE(Start());
  Advance(3'000);  // the first record
  app->form1["Combo1"].SetText(std::string(50, '9'));
  Advance(60'000);
  EXPECT_EQ(app->recorder.RecInterval, std::numeric_limits<float>::infinity());
  EXPECT_EQ(SplitLines(FileText(kRecords)).size(), 1u);

  ChooseMenu("MenuClose");
  ASSERT_TRUE(ended);
  EXPECT_EQ(Setting("RecDelay"), "inf");
  app.reset();
  ended = false;
  if (!monitor.Running()) monitor.Start();
  ASSERT_TRUE(Start());
  EXPECT_EQ(app->form1["Combo1"].Text(), "5");
}

// Every name Windows gives comes back to it unchanged, unpaired surrogates
// too; bytes that are not UTF-8 become U+FFFD, never a crash or a lost
// letter after them.
TEST(PathConversion, WindowsNamesRoundTripAndBadBytesAreReplaced) {
  using platform::Utf16ToUtf8;
  using platform::Utf8ToUtf16;
  for (const std::u16string& name :
       {std::u16string(u"C:\\Users\\\u0141ukasz\\acc-uni \u0416\u00e9\\\U0001F321"),
        std::u16string{u'a', 0xD800, u'b', 0xDC00}, std::u16string{0xDC00, 0xD800}}) {
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(name)), name);
  }
  EXPECT_EQ(Utf16ToUtf8(u"\u0416\U0001F321"), "\xD0\x96\xF0\x9F\x8C\xA1");
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFD" "b");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF" "c"), u"\uFFFD\uFFFD" "c");  // overlong
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD");                // cut off
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD");        // beyond U+10FFFF
}

TEST(HandleText, ASignIsTakenOnlyOnce) {
  EXPECT_EQ(monitor::ParseLeadingInteger("+-5"), 0);
  EXPECT_EQ(monitor::ParseLeadingInteger("+5"), 5);
  EXPECT_EQ(monitor::ParseLeadingInteger("-5"), -5);
}

TEST(SimHandles, ASetHandleInUseIsSkippedAndTheLastHandleIsNotPassed) {
  sim::SimDesktop desktop;
  const platform::WindowHandle first = desktop.CreateTopLevel("first");
  desktop.SetNextHandle(first);
  const platform::WindowHandle second = desktop.CreateTopLevel("second");
  EXPECT_NE(second, first);
  EXPECT_EQ(desktop.WindowText(first, 255), "first");

  desktop.SetNextHandle(std::numeric_limits<platform::WindowHandle>::max());
  EXPECT_EQ(desktop.CreateTopLevel("last"), std::numeric_limits<platform::WindowHandle>::max());
  EXPECT_THROW(desktop.CreateTopLevel("one too many"), std::length_error);
}

}  // namespace
}  // namespace calorix::testing
