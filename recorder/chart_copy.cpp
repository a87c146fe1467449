#include "recorder/chart_copy.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "recorder/chart_records.h"

namespace calorix::recorder {

namespace {

// Bytes read at once: large enough that reads cost little next to the
// copying, small enough not to hold much more than the lines themselves.
constexpr std::size_t kPieceBytes = std::size_t{4} << 20;
// A record's line with its line end.
constexpr std::size_t kLongestRecordLine = ChartStore::kLongestLine + 2;

// Copies the lines of records [first, end), consecutive in the store, into
// `copy`. False once the file has ended or cannot be read: the records
// after these are further on in it and cannot be read either.
bool CopyRun(platform::Files& files, std::string_view fileName, const ChartStore& store, std::size_t first,
             std::size_t end, CopiedRecords& copy) {
  std::size_t next = first;
  while (next < end) {
    const std::uint32_t start = store.LineOffset(next);
    if (start == ChartStore::kOffsetUnknown) return false;
    // Up to the end of the run's last line, or a piece.
    std::size_t want = kPieceBytes;
    if (const std::uint32_t last = store.LineOffset(end - 1); last != ChartStore::kOffsetUnknown)
      want = std::min<std::size_t>(want, std::size_t{last - start} + kLongestRecordLine);
    const std::optional<std::string> piece = files.ReadRange(fileName, start, want);
    if (!piece) return false;
    const std::size_t before = next;
    for (; next < end; ++next) {
      const std::uint32_t offset = store.LineOffset(next);
      if (offset == ChartStore::kOffsetUnknown || offset - start >= piece->size()) break;
      const std::size_t at = offset - start;
      const std::size_t lineEnd = piece->find('\n', at);
      if (lineEnd == std::string::npos) break;
      std::string_view line(piece->data() + at, lineEnd - at);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!IsLineOfRecord(store, next, line)) continue;
      copy.text.append(line);
      copy.text.append("\r\n");
      ++copy.copied;
    }
    if (next == before) {
      // Not even this record's line is in what was read: the file ended
      // before it, or it has something else there now.
      if (piece->size() < want) return false;
      ++next;
    }
  }
  return true;
}

}  // namespace

bool IsLineOfRecord(const ChartStore& store, std::size_t index, std::string_view line) {
  const std::optional<ChartRecord> record = ParseChartRecord(line);
  if (!record || record->minute != store.Minute(index)) return false;
  for (int series = 0; series < kChartSeriesCount; ++series)
    if (record->readings[series] != store.Reading(index, static_cast<ChartSeries>(series))) return false;
  return true;
}

std::optional<std::string> RecordedLine(platform::Files& files, std::string_view fileName, const ChartStore& store,
                                        std::size_t index) {
  const std::uint32_t offset = store.LineOffset(index);
  if (offset == ChartStore::kOffsetUnknown) return std::nullopt;
  auto line = files.ReadRange(fileName, offset, ChartStore::kLongestLine);
  if (!line) return std::nullopt;
  line->resize(std::min(line->find_first_of("\r\n"), line->size()));
  if (!IsLineOfRecord(store, index, *line)) return std::nullopt;
  return line;
}

CopiedRecords CopyRecordsInView(platform::Files& files, std::string_view fileName, const ChartStore& store,
                                double from, double to) {
  CopiedRecords copy;
  // Stretches follow each other in the file, so their runs come in file order.
  std::vector<ChartStore::Stretch> runs;
  for (std::size_t stretch = 0; stretch < store.StretchCount(); ++stretch) {
    const ChartStore::Stretch part = store.StretchAt(stretch);
    const std::size_t first = store.FirstAtOrAfter(from, part.first, part.end);
    const std::size_t end = store.FirstAtOrAfter(to, first, part.end);
    if (first == end) continue;
    runs.push_back({first, end});
    copy.inView += end - first;
  }
  // Room for the lines: about the bytes from each run's first line to its last.
  std::size_t room = 0;
  for (const ChartStore::Stretch& run : runs) {
    const std::uint32_t first = store.LineOffset(run.first), last = store.LineOffset(run.end - 1);
    if (last != ChartStore::kOffsetUnknown) room += std::size_t{last - first} + kLongestRecordLine;
  }
  copy.text.reserve(std::min(room, copy.inView * kLongestRecordLine));
  for (const ChartStore::Stretch& run : runs)
    if (!CopyRun(files, fileName, store, run.first, run.end, copy)) break;
  return copy;
}

std::string CopyStatus(const CopiedRecords& records, ui::ClipboardCopy copy) {
  switch (copy) {
    case ui::ClipboardCopy::kInUse:
      return "The clipboard is in use by another program; nothing was copied.";
    case ui::ClipboardCopy::kFailed:
      return "The chart could not be copied to the clipboard.";
    case ui::ClipboardCopy::kCopied:
      break;
  }
  const auto counted = [](std::size_t count) {
    return std::to_string(count) + (count == 1 ? " record" : " records");
  };
  if (records.copied == records.inView) return "Copied the chart and " + counted(records.inView) + ".";
  if (records.copied == 0)
    return "Copied the chart only; its records could not be read back from the record file.";
  return "Copied the chart and " + std::to_string(records.copied) + " of " + counted(records.inView) +
         "; the others could not be read back from the record file.";
}

}  // namespace calorix::recorder
