// The chart's core on a large record file: 1,000,000 records made in memory
// (a record every 6 seconds for about ten weeks: warm afternoons, a CPU fan
// slowly losing speed, the PC off on Sunday nights). Prints how long the
// streaming read takes, the first reduction of the whole file, reductions
// after zooming to a day and to an hour and after widening the chart, a
// live append, and the bytes the store keeps per record. Then the same
// records as a file, loaded as the chart window loads it: read in pieces on
// a worker thread into a store handed over when done.
// live append, the copy of the records in view as text (the whole file and
// a day, read back from the file in memory), and the bytes the store keeps
// per record.
// An optional argument sets the number of records.
// Figures only; nothing fails.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/sim/sim_desktop.h"
#include "recorder/chart_file.h"
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "recorder/chart_copy.h"
#include "recorder/chart_reduction.h"
#include "recorder/chart_store.h"
#include "recorder/chart_ticks.h"
#include "recorder/chart_time.h"
#include "recorder/recorder.h"

namespace {

using Clock = std::chrono::steady_clock;
using calorix::recorder::ChartStore;
using calorix::recorder::ChartView;
using calorix::recorder::ReduceChart;

constexpr std::size_t kReadChunk = 64 * 1024;  // as a file is read

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Noise from a fixed seed, in [-1, 1).
struct Noise {
  std::uint32_t state = 12345;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 8388608.0 - 1;
  }
};

// Record lines as the recorder writes them, one every 6 seconds.
class RecordMaker {
 public:
  std::string NextLine() {
    for (;; ++tick_) {
      const double minutes = tick_ / 10.0;
      const double day = minutes / 1440;
      const double hourOfDay = std::fmod(minutes / 60, 24);
      const bool sundayNight = static_cast<int>(day) % 7 == 6 && hourOfDay >= 20;
      if (!sundayNight) return Line(minutes, day, hourOfDay);
    }
  }

 private:
  std::string Line(double minutes, double day, double hourOfDay) {
    ++tick_;
    const double afternoon = std::exp(-std::pow((hourOfDay - 15) / 3.5, 2));
    const double cpu = 38 + 17 * afternoon + 2 * noise_.Next();
    const double fan = 3400 - 6 * day + 500 * afternoon + 40 * noise_.Next();
    const auto when = calorix::recorder::CalendarOf(start_ + static_cast<std::uint32_t>(minutes));
    char line[160];
    const int length = std::snprintf(
        line, sizeof line, "%02d/%02d/%02d %02d:%02d, %-3.0f, %-4.0f, %-3.0f, %-4.0f, %.2f, %.2f, %.2f, +%.2f\r\n",
        when.day, when.month, when.year % 100, when.hour, when.minute, cpu, fan,
        cpu - 6 + noise_.Next(), 2700 + 20 * noise_.Next(), 1.52 + 0.02 * noise_.Next(),
        3.31 + 0.01 * noise_.Next(), 5.02 + 0.02 * noise_.Next(), 12.16 + 0.05 * noise_.Next());
    return std::string(line, static_cast<std::size_t>(length));
  }

  const std::uint32_t start_ = *calorix::recorder::MinuteOf(2026, 10, 5, 0, 0);  // a Monday
  std::uint64_t tick_ = 0;
  Noise noise_;
};

// The file written where the simulated desktop keeps its files, then loaded
// through the chart's loader: the read and the parse on the worker, the
// hand-over at the next event pump.
void TimeLoad(const std::string& file) {
  calorix::sim::SimDesktop desktop;
  std::ofstream(desktop.CurrentDirectoryPath() / calorix::recorder::kRecordFileName, std::ios::binary) << file;
  calorix::recorder::ChartFile chartFile(desktop, desktop);
  const auto started = Clock::now();
  chartFile.Sync();
  desktop.ProcessPendingEvents();
  const double ms = MillisecondsSince(started);
  const ChartStore& store = chartFile.Store();
  std::printf("load through the loader, %zu KiB pieces on a worker thread: %.0f ms (%.0f MB/s), %zu records, "
              "%.2f bytes per record held\n",
              calorix::recorder::kChartChunkBytes / 1024, ms, file.size() / 1e3 / ms, store.Count(),
              static_cast<double>(store.BytesHeld()) / static_cast<double>(store.Count()));
}

// The record file held in memory, for the copy to read back; the reads are counted.
class FileInMemory final : public calorix::platform::Files {
 public:
  explicit FileInMemory(const std::string& bytes) : bytes_(bytes) {}
  int reads = 0;

  std::optional<std::string> ReadRange(std::string_view, std::uint64_t offset, std::size_t maxBytes) override {
    ++reads;
    if (offset >= bytes_.size()) return std::string();
    return bytes_.substr(static_cast<std::size_t>(offset), maxBytes);
  }
  std::optional<std::string> ReadAll(std::string_view) override { return bytes_; }
  std::optional<std::uint64_t> Size(std::string_view) override { return bytes_.size(); }
  bool Append(std::string_view, std::string_view) override { return false; }
  bool CanOpenForReading(std::string_view) override { return true; }
  bool Exists(std::string_view) override { return true; }
  bool Delete(std::string_view) override { return false; }
  std::string CurrentDirectory() override { return "."; }
  std::string ProgramFolder() override { return "."; }

 private:
  const std::string& bytes_;
};

void TimeCopy(const char* what, const ChartStore& store, const std::string& file, double from, double to) {
  FileInMemory files(file);
  const auto started = Clock::now();
  const auto copy = calorix::recorder::CopyRecordsInView(files, "Calorix_Rec.txt", store, from, to);
  std::printf("copy as text, %-10s %8zu of %8zu records, %5.1f MB in %d reads: %7.1f ms\n", what, copy.copied,
              copy.inView, copy.text.size() / 1e6, files.reads, MillisecondsSince(started));
}

// Mean and worst of repeated reductions of one view.
void TimeReduction(const char* what, const ChartStore& store, double from, double to, int width,
                   ChartView& view) {
  constexpr int kRounds = 20;
  double total = 0, worst = 0;
  for (int round = 0; round < kRounds; ++round) {
    const auto started = Clock::now();
    ReduceChart(store, from, to, width, view);
    const double ms = MillisecondsSince(started);
    total += ms;
    worst = std::max(worst, ms);
  }
  std::printf("reduction, %-24s %5d px, %8zu records in view: %7.3f ms mean, %7.3f ms worst\n", what,
              width, view.records, total / kRounds, worst);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t records = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
  RecordMaker maker;
  std::string file;
  file.reserve(records * 72);
  for (std::size_t i = 0; i < records; ++i) file += maker.NextLine();
  std::printf("record file: %zu records, %.1f MB in memory\n", records, file.size() / 1e6);

  const auto opened = Clock::now();
  ChartStore store;
  store.Reserve(file.size() / 60);  // as from the file's size: no record line is shorter
  for (std::size_t at = 0; at < file.size(); at += kReadChunk)
    store.Feed(std::string_view(file).substr(at, kReadChunk));
  const double parseMs = MillisecondsSince(opened);
  const auto span = *store.Span();
  ChartView view;
  const auto reduced = Clock::now();
  ReduceChart(store, span.earliest, span.latest + 1, 1000, view);
  const double firstReductionMs = MillisecondsSince(reduced);
  std::printf("streaming read in %zu KiB chunks: %.0f ms (%.0f MB/s), %zu records, %llu unread\n",
              kReadChunk / 1024, parseMs, file.size() / 1e3 / parseMs, store.Count(),
              static_cast<unsigned long long>(store.UnreadLines()));
  std::printf("first reduction, whole file at 1000 px: %.1f ms; open and first reduction: %.0f ms\n",
              firstReductionMs, parseMs + firstReductionMs);

  std::size_t breaks = 0;
  for (std::size_t i = 1; i < store.Count(); ++i) breaks += store.BreaksBefore(i);
  std::printf("line breaks: %zu, stretches: %zu\n", breaks, store.StretchCount());

  const double middle = std::floor((span.earliest + span.latest) / 2);
  TimeReduction("whole file", store, span.earliest, span.latest + 1, 1000, view);
  TimeReduction("whole file, widened", store, span.earliest, span.latest + 1, 2000, view);
  TimeReduction("a day", store, middle, middle + 1440, 1000, view);
  TimeReduction("an hour", store, middle, middle + 60, 1000, view);
  TimeReduction("an hour, widened", store, middle, middle + 60, 2000, view);

  TimeCopy("whole file", store, file, span.earliest, span.latest + 1);
  TimeCopy("a day", store, file, middle, middle + 1440);

  const auto ticked = Clock::now();
  const auto timeTicks = calorix::recorder::ChooseTimeTicks(span.earliest, span.latest + 1, 1000, 80, "/", ":");
  const auto valueTicks = calorix::recorder::ChooseValueTicks(30, 60, 400, 30, 1);
  std::printf("ticks: %zu times (first \"%s\"), %zu values, in %.3f ms\n", timeTicks.ticks.size(),
              timeTicks.ticks.empty() ? "" : timeTicks.ticks.front().label.c_str(), valueTicks.values.size(),
              MillisecondsSince(ticked));

  const auto appended = Clock::now();
  for (int i = 0; i < 10; ++i) store.Feed(maker.NextLine());  // ten records as the recorder appends them
  ReduceChart(store, span.earliest, store.Span()->latest + 1, 1000, view);
  std::printf("live append of ten records and a reduction: %.2f ms (%zu records now, %llu unread)\n",
              MillisecondsSince(appended), store.Count(),
              static_cast<unsigned long long>(store.UnreadLines()));

  std::printf("store: %zu bytes per record as laid out; %.2f bytes per record held, spare room included\n",
              ChartStore::kBytesPerRecord, static_cast<double>(store.BytesHeld()) / store.Count());
  TimeLoad(file);
  return 0;
}
