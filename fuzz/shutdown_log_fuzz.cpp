// The shutdown log's lines from any monitor texts: the header carries the
// date and the reason, the readings line every reading whole after its
// label, and neither line can be broken by what the monitor shows.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "alarm/shutdown.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/line_fields.h"
#include "monitor/monitor_text_table.h"

using calorix::fuzz::Piece;
using calorix::fuzz::Shown;
namespace slots = calorix::monitor::slots;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);

  static constexpr std::string_view kReasons[] = {
      "CPU Temp Alarm !", "System Temp Alarm !", "CPU Fan Alarm !",
      "System Fan Alarm !", "Voltage Alarm !", calorix::alarm::kTestReason};
  const std::string reason(kReasons[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kReasons) - 1)]);
  const std::string date = input.ConsumeRandomLengthString(40);
  const std::string header = calorix::alarm::ShutdownHeaderLine(date, reason);
  FUZZ_CHECK(header == "<" + date + "> Shuting down on " + reason, "header \"%s\"",
             Shown(header).c_str());

  calorix::monitor::MonitorTextTable table;
  const int count = input.ConsumeIntegralInRange(0, 42);
  for (int i = 0; i < count; ++i) table.Append(input.ConsumeRandomLengthString(300));

  const std::string line = calorix::alarm::ShutdownReadingsLine(table);
  const auto slot = [&table](int index) { return table.Slot(index); };
  const std::vector<Piece> pieces = {
      {Piece::kFixed, "CPU="},     {Piece::kAsRead, slot(slots::kCpuTemp)},
      {Piece::kFixed, " fan="},    {Piece::kAsRead, slot(slots::kCpuFan)},
      {Piece::kFixed, ", Sys="},   {Piece::kAsRead, slot(slots::kSysTemp)},
      {Piece::kFixed, " fan="},    {Piece::kAsRead, slot(slots::kSysFan)},
      {Piece::kFixed, ", Vcore="}, {Piece::kTrimmed, slot(slots::kVcore)},
      {Piece::kFixed, ", 3.3v="},  {Piece::kTrimmed, slot(slots::kVolts33)},
      {Piece::kFixed, ", 5v="},    {Piece::kTrimmed, slot(slots::kVolts5)},
      {Piece::kFixed, ", 12v="},   {Piece::kRest, slot(slots::kVolts12)},
  };
  FUZZ_CHECK(calorix::fuzz::CarriesEveryReading(line, pieces), "readings line \"%s\" from%s",
             Shown(line, 2000).c_str(), calorix::fuzz::Describe(pieces).c_str());
  FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos,
             "readings line \"%s\" breaks the line", Shown(line, 2000).c_str());
  return 0;
}
