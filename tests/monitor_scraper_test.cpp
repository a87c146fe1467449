#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "monitor/leading_number.h"
#include "monitor/monitor_text_table.h"
#include "monitor/text_scraper.h"
#include "platform/sim/sim_desktop.h"
#include "tests/support/sim_monitor.h"

namespace calorix::monitor {
namespace {

using platform::WindowHandle;

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText) {
  EXPECT_EQ(ParseLeadingNumber("45"), 45);
  EXPECT_EQ(ParseLeadingNumber(" 45a"), 45);
  EXPECT_EQ(ParseLeadingNumber(" 1.52 "), 1.52);
  EXPECT_EQ(ParseLeadingNumber("-3"), -3);
  EXPECT_EQ(ParseLeadingNumber("+12.5V"), 12.5);
  EXPECT_EQ(ParseLeadingNumber(".5"), 0.5);
  EXPECT_EQ(ParseLeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(ParseLeadingNumber("0,5"), 0);  // the comma ends the number, whatever the locale
  EXPECT_EQ(ParseLeadingNumber(""), 0);
  EXPECT_EQ(ParseLeadingNumber("a45"), 0);
  EXPECT_EQ(ParseLeadingNumber("-"), 0);
  EXPECT_EQ(ParseLeadingNumber("."), 0);
}

TEST(LeadingNumber, RoundsHalvesToEven) {
  EXPECT_EQ(ParseLeadingWholeNumber("44.5"), 44);
  EXPECT_EQ(ParseLeadingWholeNumber("45.5"), 46);
  EXPECT_EQ(ParseLeadingWholeNumber("45.51"), 46);
  EXPECT_EQ(ParseLeadingWholeNumber("-0.5"), 0);
  EXPECT_EQ(ParseLeadingWholeNumber("-1.5"), -2);
  EXPECT_EQ(ParseLeadingWholeNumber("99999999999"), std::numeric_limits<std::int32_t>::max());
}

TEST(MonitorTextTable, HandlesReadBackExactlyForEveryHandleValue) {
  MonitorTextTable table;
  const WindowHandle handles[] = {1,
                                  0x10010,
                                  -1,
                                  std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max(),
                                  0x7FFFFFFFFFFFFFFFLL,
                                  std::numeric_limits<std::int64_t>::min(),
                                  (1LL << 53) + 1};  // beyond what a double holds exactly
  for (const WindowHandle handle : handles) ASSERT_TRUE(table.AppendHandle(handle));
  for (int i = 0; i < static_cast<int>(std::size(handles)); ++i)
    EXPECT_EQ(table.HandleAt(i), handles[i]) << "slot " << i;
  EXPECT_EQ(table.HandleAt(100), 0);  // an empty slot is no window
}

TEST(MonitorTextTable, StopsAppendingWhenFullAndClearsCompletely) {
  MonitorTextTable table;
  for (int i = 0; i < MonitorTextTable::kSlotCount; ++i) ASSERT_TRUE(table.Append("x"));
  EXPECT_FALSE(table.Append("one too many"));
  EXPECT_EQ(table.Counter(), MonitorTextTable::kSlotCount);
  EXPECT_EQ(table.Slot(3072), "x");
  EXPECT_EQ(table.Slot(3073), "");
  EXPECT_EQ(table.Slot(-1), "");
  table.Clear();
  EXPECT_EQ(table.Counter(), 0);
  EXPECT_EQ(table.Slot(0), "");
  EXPECT_EQ(table.Slot(3072), "");
}

TEST(TrimAtNul, CutsAtTheFirstNulAndChangesItsArgument) {
  std::string text("12\0 34\0", 7);
  EXPECT_EQ(TrimAtNul(text), "12");
  EXPECT_EQ(text, "12");
  std::string plain = " 1.52 ";
  EXPECT_EQ(TrimAtNul(plain), " 1.52 ");
}

class ScraperTest : public ::testing::Test {
 protected:
  WindowHandle MonitorWith(int children) {
    const WindowHandle main = desktop_.CreateTopLevel("VIA HWM");
    for (int i = 0; i < children; ++i)
      desktop_.CreateWindow(main, "Static", "text " + std::to_string(i), {0, 0, 10, 10});
    return main;
  }

  sim::SimDesktop desktop_;
  MonitorTextTable table_;
};

TEST_F(ScraperTest, StoresTheFirst42TextsAndStopsAtThe43rdWindow) {
  const WindowHandle main = MonitorWith(50);
  const auto readsBefore = desktop_.WindowReads();
  ScrapeMonitorTexts(desktop_, table_, main);
  EXPECT_EQ(table_.Counter(), 42);
  EXPECT_EQ(table_.Slot(0), "text 0");
  EXPECT_EQ(table_.Slot(41), "text 41");
  EXPECT_EQ(table_.Slot(42), "");
  // 43 windows visited, each with one class-name and one text read.
  EXPECT_EQ(desktop_.WindowReads() - readsBefore, 2 * 43);
}

TEST_F(ScraperTest, FewerWindowsLeaveTheRestEmpty) {
  const WindowHandle main = MonitorWith(10);
  ScrapeMonitorTexts(desktop_, table_, main);
  EXPECT_EQ(table_.Counter(), 10);
  EXPECT_EQ(table_.Slot(9), "text 9");
  EXPECT_EQ(table_.Slot(slots::kCpuTemp), "");
  EXPECT_EQ(ParseLeadingWholeNumber(table_.Slot(slots::kCpuTemp)), 0);
}

TEST_F(ScraperTest, TextsAreCutAtNulAnd254CharactersAndKeepTheirBlanks) {
  const WindowHandle main = desktop_.CreateTopLevel("VIA HWM");
  desktop_.CreateWindow(main, "Static", std::string("45\0junk", 7), {0, 0, 1, 1});
  desktop_.CreateWindow(main, "Static", std::string(300, 'v'), {0, 0, 1, 1});
  desktop_.CreateWindow(main, "Static", " 1.52 ", {0, 0, 1, 1});
  ScrapeMonitorTexts(desktop_, table_, main);
  EXPECT_EQ(table_.Slot(0), "45");
  EXPECT_EQ(table_.Slot(1), std::string(254, 'v'));
  EXPECT_EQ(table_.Slot(2), " 1.52 ");
}

TEST_F(ScraperTest, ReadsTheMonitorsReadingsFromTheirSlotsInDepthFirstOrder) {
  testing::SimMonitor monitor(desktop_);
  const WindowHandle main = monitor.Start();
  monitor.SetReading(standin::Reading::CpuTemp, "47");
  monitor.SetReading(standin::Reading::SysFan, "3100");
  ScrapeMonitorTexts(desktop_, table_, main);
  EXPECT_EQ(table_.Slot(slots::kCpuTemp), "47");
  EXPECT_EQ(table_.Slot(slots::kSysTemp), "36");
  EXPECT_EQ(table_.Slot(slots::kVcore), " 1.52 ");
  EXPECT_EQ(table_.Slot(slots::kVolts33), " 3.31 ");
  EXPECT_EQ(table_.Slot(slots::kVolts5), " 5.02 ");
  EXPECT_EQ(table_.Slot(slots::kVolts12), " 12.16 ");
  EXPECT_EQ(table_.Slot(slots::kCpuFan), "4500");
  EXPECT_EQ(table_.Slot(slots::kSysFan), "3100");
  // The group boxes' children come right after their group box.
  EXPECT_EQ(table_.Slot(2), "Temperature");
  EXPECT_EQ(table_.Slot(3), "Sensor");
}

TEST_F(ScraperTest, AVanishedMonitorWindowGivesAnEmptyTable) {
  const WindowHandle main = MonitorWith(45);
  ScrapeMonitorTexts(desktop_, table_, main);
  ASSERT_EQ(table_.Counter(), 42);
  desktop_.DestroyWindow(main);
  ScrapeMonitorTexts(desktop_, table_, main);
  EXPECT_EQ(table_.Counter(), 0);
  EXPECT_EQ(table_.Slot(0), "");
}

}  // namespace
}  // namespace calorix::monitor
