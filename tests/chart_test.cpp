// The chart's core: record lines read back, the store fed in any chunks,
// the time axis with its gaps.
#include <gtest/gtest.h>

#include <string>

#include "recorder/chart_records.h"
#include "recorder/chart_store.h"
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

}  // namespace
}  // namespace calorix::recorder
