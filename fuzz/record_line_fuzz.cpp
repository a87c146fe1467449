// The record file's line from any monitor texts and any date: nine fields
// joined by ", ", each reading whole (padded to its column but never cut),
// and always a single line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/line_fields.h"
#include "monitor/monitor_text_table.h"
#include "platform/platform.h"
#include "recorder/recorder.h"

using calorix::fuzz::Piece;
using calorix::fuzz::Shown;
namespace slots = calorix::monitor::slots;

namespace {

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);

  // The date and time: any values, any separators.
  calorix::platform::LocalDateTime when;
  const bool plausible = input.ConsumeBool();
  if (plausible) {
    when.year = input.ConsumeIntegralInRange(1601, 30827);
    when.month = input.ConsumeIntegralInRange(1, 12);
    when.day = input.ConsumeIntegralInRange(1, 31);
    when.hour = input.ConsumeIntegralInRange(0, 23);
    when.minute = input.ConsumeIntegralInRange(0, 59);
  } else {
    when.year = input.ConsumeIntegral<int>();
    when.month = input.ConsumeIntegral<int>();
    when.day = input.ConsumeIntegral<int>();
    when.hour = input.ConsumeIntegral<int>();
    when.minute = input.ConsumeIntegral<int>();
  }
  const std::string dateSeparator = input.ConsumeRandomLengthString(4);
  const std::string timeSeparator = input.ConsumeRandomLengthString(4);
  const std::string timestamp =
      calorix::recorder::RecordTimestamp(when, dateSeparator, timeSeparator);
  if (plausible) {
    const std::string expected = TwoDigits(when.day) + dateSeparator + TwoDigits(when.month) +
                                 dateSeparator + TwoDigits(when.year % 100) + " " +
                                 TwoDigits(when.hour) + timeSeparator + TwoDigits(when.minute);
    FUZZ_CHECK(timestamp == expected, "timestamp \"%s\", not \"%s\"", Shown(timestamp).c_str(),
               Shown(expected).c_str());
  }

  // The monitor's texts: any number of them, any bytes.
  calorix::monitor::MonitorTextTable table;
  const int count = input.ConsumeIntegralInRange(0, 42);
  for (int i = 0; i < count; ++i) table.Append(input.ConsumeRandomLengthString(300));

  const std::string line = calorix::recorder::RecordLine(timestamp, table);
  const auto slot = [&table](int index) { return table.Slot(index); };
  const std::vector<Piece> pieces = {
      {Piece::kFixed, timestamp + ", "},
      {Piece::kPadded, slot(slots::kCpuTemp), 3}, {Piece::kFixed, ", "},
      {Piece::kPadded, slot(slots::kCpuFan), 4},  {Piece::kFixed, ", "},
      {Piece::kPadded, slot(slots::kSysTemp), 3}, {Piece::kFixed, ", "},
      {Piece::kPadded, slot(slots::kSysFan), 4},  {Piece::kFixed, ", "},
      {Piece::kTrimmed, slot(slots::kVcore)},     {Piece::kFixed, ", "},
      {Piece::kTrimmed, slot(slots::kVolts33)},   {Piece::kFixed, ", "},
      {Piece::kTrimmed, slot(slots::kVolts5)},    {Piece::kFixed, ", "},
      {Piece::kRest, slot(slots::kVolts12)},
  };
  FUZZ_CHECK(calorix::fuzz::CarriesEveryReading(line, pieces), "line \"%s\" from%s",
             Shown(line, 2000).c_str(), calorix::fuzz::Describe(pieces).c_str());

  // One record, one line: the readings cannot end it or hide a NUL in it.
  // (The date separators are the system's own and are not readings.)
  const std::string readings = line.substr(timestamp.size());
  FUZZ_CHECK(readings.find_first_of(std::string("\r\n\0", 3)) == std::string::npos,
             "record line \"%s\" breaks the line", Shown(line, 2000).c_str());
  return 0;
}
