// The chart's core: record lines read back, the store fed in any chunks,
// the time axis with its gaps, the reduction to pixel columns and the ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "recorder/chart_reduction.h"
#include "recorder/chart_records.h"
#include "recorder/chart_store.h"
#include "recorder/chart_ticks.h"
#include "recorder/chart_time.h"

namespace calorix::recorder {
namespace {

constexpr char kReadings[] = "45 , 3125, 38 , 2700, 1.52, 3.31, 5.02, +12.16";

std::string Line(const std::string& stamp, const std::string& readings = kReadings) {
  return stamp + ", " + readings + "\r\n";
}

// One record a minute from 08/12/26 09:00, the CPU temperature at 40 + minute % 7.
std::string MinuteRecords(int count) {
  std::string file;
  for (int minute = 0; minute < count; ++minute) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "08/12/26 %02d:%02d", 9 + minute / 60, minute % 60);
    file += Line(stamp, std::to_string(40 + minute % 7) + " , 3125, 38 , 2700, 1.52, 3.31, 5.02, +12.16");
  }
  return file;
}

ChartStore Fed(const std::string& bytes) {
  ChartStore store;
  store.Feed(bytes);
  return store;
}

static_assert(ChartStore::kBytesPerRecord == 24);

// ---- Lines -----------------------------------------------------------------

TEST(ChartRecords, ReadsEachReadingInItsUnitsWhateverTheSeparators) {
  for (const std::string stamp : {"08/12/26 09:05", "08.12.26 09.05", "08-12-26 09:05"}) {
    const auto record = ParseChartRecord(stamp + ", 45 , 3125, 38 , 2700, 1.52, 3.31, -5.02, +12.16 ");
    ASSERT_TRUE(record) << stamp;
    EXPECT_EQ(record->minute, *MinuteOf(2026, 12, 8, 9, 5));
    const std::array<std::int16_t, kChartSeriesCount> expected = {450, 3125, 380, 2700, 152, 331, -502, 1216};
    EXPECT_EQ(record->readings, expected);
  }
}

TEST(ChartRecords, ABlankFieldIsAMissingReadingOfThatSeriesOnly) {
  const auto record = ParseChartRecord("08/12/26 09:05,    , 3125, 38 ,     , , 3.31, N/A,  ");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->readings[0], kNoReading);
  EXPECT_EQ(record->readings[1], 3125);
  EXPECT_EQ(record->readings[3], kNoReading);
  EXPECT_EQ(record->readings[4], kNoReading);
  EXPECT_EQ(record->readings[6], kNoReading);
  EXPECT_EQ(record->readings[7], kNoReading);
}

TEST(ChartRecords, LinesThatAreNoRecordsAreRefused) {
  for (const std::string line : {
           "13/13/26 09:05", "31/04/26 09:05", "29/02/27 09:05", "08/12/26 25:61", "08/12/26 24:00",
           "08/12-26 09:05", "8/12/26 09:05", "08/12/26 09:05, 45 , 3125",  // cut short
           "08/12/26 09:05, 45 , 3125, 38 , 2700, 1.52, 3.31, 5.02, +1208/12/26 09:06, 45 , 3125, "
           "38 , 2700, 1.52, 3.31, 5.02, +12.16",  // run into the next line
           "Temperatures of the office PC", ""})
    EXPECT_FALSE(ParseChartRecord(line.size() < 20 ? line + ", " + kReadings : line)) << line;
  EXPECT_TRUE(ParseChartRecord("29/02/28 09:05, " + std::string(kReadings)));
}

// ---- The store -------------------------------------------------------------

TEST(ChartStore, AnyChunksGiveTheSameRecordsOffsetsAndCounts) {
  const std::string file = Line("08/12/26 09:00") + "hand-written note\r\n" + Line("08/12/26 09:01") +
                           "\r\n" + Line("08/12/26 09:0") + Line("08/12/26 09:02");
  const ChartStore whole = Fed(file);
  ASSERT_EQ(whole.Count(), 3u);
  EXPECT_EQ(whole.UnreadLines(), 2u);  // the note and the cut-off stamp; blank lines are not counted
  EXPECT_EQ(whole.LineOffset(1), file.find("08/12/26 09:01"));
  for (std::size_t chunk = 1; chunk <= 9; ++chunk) {
    ChartStore store;
    for (std::size_t at = 0; at < file.size(); at += chunk) store.Feed(file.substr(at, chunk));
    ASSERT_EQ(store.Count(), whole.Count()) << chunk;
    EXPECT_EQ(store.UnreadLines(), whole.UnreadLines());
    for (std::size_t i = 0; i < store.Count(); ++i) {
      EXPECT_EQ(store.LineOffset(i), whole.LineOffset(i));
      EXPECT_EQ(store.Time(i), whole.Time(i));
      EXPECT_EQ(store.Reading(i, ChartSeries::kVolts12), 1216);
    }
  }
}

TEST(ChartStore, ALineWithoutItsEndWaitsForTheRestAndClearStartsAfresh) {
  ChartStore store;
  const std::string line = Line("08/12/26 09:00");
  store.Feed(line.substr(0, 30));
  EXPECT_EQ(store.Count(), 0u);
  EXPECT_EQ(store.UnfinishedLineBytes(), 30u);
  store.Feed(line.substr(30, line.size() - 31));  // all but the LF
  EXPECT_EQ(store.Count(), 0u);
  store.Feed("\n");
  EXPECT_EQ(store.Count(), 1u);
  EXPECT_EQ(store.UnreadLines(), 0u);
  store.Clear();
  EXPECT_EQ(store.Count(), 0u);
  EXPECT_EQ(store.BytesFed(), 0u);
}

TEST(ChartStore, MidnightAndTheNewYearAreOneMinuteOnAJoinedLine) {
  const ChartStore store = Fed(Line("31/12/26 23:58") + Line("31/12/26 23:59") + Line("01/01/27 00:00"));
  ASSERT_EQ(store.Count(), 3u);
  EXPECT_EQ(store.Time(2) - store.Time(1), 1.0);
  EXPECT_FALSE(store.BreaksBefore(2));
}

TEST(ChartStore, RecordsOfOneMinuteAreSpreadEvenlyAndRespreadAsMoreArrive) {
  ChartStore store = Fed(Line("08/12/26 09:00") + Line("08/12/26 09:00") + Line("08/12/26 09:00"));
  const double minute = *MinuteOf(2026, 12, 8, 9, 0);
  EXPECT_DOUBLE_EQ(store.Time(1), minute + 1.0 / 3);
  EXPECT_DOUBLE_EQ(store.Time(2), minute + 2.0 / 3);
  store.Feed(Line("08/12/26 09:00"));
  EXPECT_DOUBLE_EQ(store.Time(2), minute + 2.0 / 4);
  EXPECT_EQ(store.FirstAtOrAfter(minute + 0.3, 0, 4), 2u);
  EXPECT_EQ(*store.NearestRecord(minute + 0.7), 3u);
}

TEST(ChartStore, TheLineBreaksOverLongGapsAndWhereTimeGoesBack) {
  std::string file = MinuteRecords(10);  // 09:00-09:09, one a minute
  file += Line("08/12/26 09:11") + Line("08/12/26 09:15") + Line("08/12/26 09:26") +
          Line("08/12/26 09:20") + Line("08/12/26 09:21");
  const ChartStore store = Fed(file);
  EXPECT_FALSE(store.BreaksBefore(10));  // 2 minutes: under three usual spacings
  EXPECT_TRUE(store.BreaksBefore(11));   // 4 minutes: over
  EXPECT_TRUE(store.BreaksBefore(12));   // 11 minutes
  EXPECT_TRUE(store.BreaksBefore(13));   // back in time: a new stretch
  EXPECT_FALSE(store.BreaksBefore(14));
  EXPECT_EQ(store.StretchCount(), 2u);

  // Ten-minute records keep their line.
  const ChartStore sparse = Fed(Line("08/12/26 09:00") + Line("08/12/26 09:10") + Line("08/12/26 09:20"));
  EXPECT_FALSE(sparse.BreaksBefore(1));
  EXPECT_FALSE(sparse.BreaksBefore(2));
}

// ---- Reduction -------------------------------------------------------------

TEST(ChartReduction, ColumnsHoldTheLowestAndHighestReadingsInThem) {
  const ChartStore store = Fed(MinuteRecords(600) + Line("08/12/26 09:30", "99 , , , , , , , "));
  const auto span = *store.Span();
  ChartView view;
  for (const int width : {1, 7, 100, 1000}) {
    for (const double from : {span.earliest - 5, span.earliest + 123.4}) {
      const double to = span.latest + 1;
      ReduceChart(store, from, to, width, view);
      ChartView expected;
      expected.series[0].columns.assign(width, ChartColumn{});
      std::size_t inView = 0;
      for (std::size_t i = 0; i < store.Count(); ++i) {
        const double x = (store.Time(i) - from) / (to - from) * width;
        if (x < 0 || x >= width) continue;
        ++inView;
        ChartColumn& column = expected.series[0].columns[static_cast<int>(x)];
        const std::int16_t reading = store.Reading(i, ChartSeries::kCpuTemp);
        column.low = column.Empty() ? reading : std::min(column.low, reading);
        column.high = column.Empty() ? reading : std::max(column.high, reading);
      }
      EXPECT_EQ(view.records, inView);
      for (int c = 0; c < width; ++c) {
        EXPECT_EQ(view.series[0].columns[c].low, expected.series[0].columns[c].low) << width << " " << c;
        EXPECT_EQ(view.series[0].columns[c].high, expected.series[0].columns[c].high) << width << " " << c;
      }
    }
  }
}

TEST(ChartReduction, LinesJoinAcrossColumnsAndTheEdgesButNotOverGaps) {
  // 09:00-09:09 one a minute, then nothing until 09:30, the fan blank at 09:05.
  std::string file = MinuteRecords(5) + Line("08/12/26 09:05", "45 ,     , 38 , 2700, 1.52, 3.31, 5.02, +12.16") +
                     MinuteRecords(10).substr(6 * Line("08/12/26 09:00").size());
  file += Line("08/12/26 09:30");
  const ChartStore store = Fed(file);
  const double nine = *MinuteOf(2026, 12, 8, 9, 0);
  ChartView view;
  ReduceChart(store, nine + 2, nine + 8, 6, view);  // one column a minute, 09:02-09:07
  const auto& temp = view.series[0];
  const auto& fan = view.series[1];
  EXPECT_TRUE(temp.columns[0].joinsPrevious);
  ASSERT_TRUE(temp.enters && temp.leaves);
  EXPECT_DOUBLE_EQ(temp.enters->x, -1);
  EXPECT_DOUBLE_EQ(temp.leaves->x, 6);
  EXPECT_TRUE(fan.columns[3].Empty());
  EXPECT_FALSE(fan.columns[4].joinsPrevious);

  ReduceChart(store, nine + 12, nine + 20, 8, view);  // inside the gap: no line crosses it
  EXPECT_EQ(view.records, 0u);
  EXPECT_FALSE(view.series[0].enters || view.series[0].leaves);
}

// ---- Ticks -----------------------------------------------------------------

TEST(ChartTicks, ValuesStepByOneTwoFiveAndTimesByRoundSteps) {
  const ValueTicks degrees = ChooseValueTicks(31, 74, 200, 40, 1);
  EXPECT_EQ(degrees.step, 10);
  EXPECT_EQ(degrees.values, (std::vector<double>{40, 50, 60, 70}));
  const ValueTicks volts = ChooseValueTicks(3.2, 3.4, 100, 20, 0.01);
  EXPECT_DOUBLE_EQ(volts.step, 0.05);
  EXPECT_EQ(ValueTickLabel(volts.values.front(), volts.step), "3.20");
  EXPECT_EQ(ChooseValueTicks(40, 41, 1000, 10, 1).step, 1);  // never below a whole degree

  const double day = *MinuteOf(2026, 12, 8, 0, 0);
  const TimeTicks hours = ChooseTimeTicks(day - 60, day + 1440, 1000, 60, "/", ":");
  EXPECT_EQ(hours.step.unit, TimeUnit::kHour);
  EXPECT_EQ(hours.step.count, 3);
  EXPECT_EQ(hours.ticks[0].label, "08/12");
  EXPECT_EQ(hours.ticks[1].label, "03:00");
  const TimeTicks months = ChooseTimeTicks(day, day + 365 * 1440, 600, 40, "/", ":");
  EXPECT_EQ(months.step.unit, TimeUnit::kMonth);
  EXPECT_EQ(months.ticks[0].label, "Jan 2027");
  EXPECT_TRUE(ChooseTimeTicks(day, day, 600, 40, "/", ":").ticks.empty());
}

}  // namespace
}  // namespace calorix::recorder
