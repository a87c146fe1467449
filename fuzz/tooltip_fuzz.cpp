// The tray tooltip and the Fahrenheit conversion from any monitor texts:
// the tooltip is its pieces in order with the fan pieces only for speeds
// above 0, a converted temperature is always a whole number in decimal,
// and the tray's tip field takes the tooltip's first 64 characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/numbers.h"
#include "core/text.h"
#include "fuzz/fuzz_check.h"
#include "monitor/leading_number.h"
#include "monitor/monitor_text_table.h"
#include "tray/reading_cycle.h"
#include "tray/tray_icon.h"

using calorix::fuzz::Shown;
namespace slots = calorix::monitor::slots;

namespace {

bool IsWholeNumberText(const std::string& text) {
  std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  if (start == text.size()) return false;
  for (std::size_t i = start; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

void CheckFahrenheit(const std::string& original) {
  std::string text = original;
  const std::string result = calorix::tray::CtoF_Deg(text);
  FUZZ_CHECK(result == text, "CtoF_Deg(\"%s\") returned \"%s\" but left \"%s\"",
             Shown(original).c_str(), Shown(result).c_str(), Shown(text).c_str());
  FUZZ_CHECK(IsWholeNumberText(result) && result.size() <= 11, "\"%s\" converted to \"%s\"",
             Shown(original).c_str(), Shown(result).c_str());
  const long long fahrenheit = std::strtoll(result.c_str(), nullptr, 10);
  FUZZ_CHECK(fahrenheit >= INT32_MIN && fahrenheit <= INT32_MAX, "\"%s\" converted to %s",
             Shown(original).c_str(), result.c_str());

  // Temperatures a sensor can show convert exactly; 68 and above may be
  // left in Celsius.
  const std::int32_t celsius = calorix::monitor::ParseLeadingWholeNumber(original);
  if (celsius > -100'000'000 && celsius < 100'000'000) {
    const long long converted = calorix::RoundHalfEven(celsius * 9.0 / 5.0) + 32LL;
    FUZZ_CHECK(fahrenheit == converted || (celsius >= 68 && fahrenheit == celsius),
               "%d degrees Celsius (\"%s\") converted to %lld", celsius, Shown(original).c_str(),
               fahrenheit);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool fahrenheit = input.ConsumeBool();
  calorix::monitor::MonitorTextTable table;
  const int count = input.ConsumeIntegralInRange(0, 42);
  for (int i = 0; i < count; ++i) table.Append(input.ConsumeRandomLengthString(300));

  const std::string cpuText = table.Slot(slots::kCpuTemp), sysText = table.Slot(slots::kSysTemp);
  CheckFahrenheit(cpuText);
  CheckFahrenheit(sysText);

  std::string cpu = cpuText, sys = sysText;
  std::string unit = std::string(calorix::kDegreeSign) + (fahrenheit ? "F  " : "C  ");
  if (fahrenheit) {
    calorix::tray::CtoF_Deg(cpu);
    calorix::tray::CtoF_Deg(sys);
  }
  std::string expected = "CPU:" + cpu + unit + "Sys:" + sys + unit;
  if (calorix::monitor::ParseLeadingNumber(table.Slot(slots::kCpuFan)) > 0)
    expected += "Fan1:" + table.Slot(slots::kCpuFan) + "  ";
  if (calorix::monitor::ParseLeadingNumber(table.Slot(slots::kSysFan)) > 0)
    expected += "Fan2:" + table.Slot(slots::kSysFan) + " ";

  const std::string tip = calorix::tray::BuildTooltip(table, fahrenheit);
  FUZZ_CHECK(tip == expected, "tooltip \"%s\", not \"%s\"", Shown(tip).c_str(),
             Shown(expected).c_str());

  // The tray record's tip field: exactly 64 characters, the tooltip (and
  // its closing NUL) as far as it goes, blanks after it.
  const std::string field = calorix::tray::PadTip(tip + '\0');
  const std::string shown = (tip + '\0').substr(0, calorix::platform::TrayRecord::kTipChars);
  FUZZ_CHECK(field.size() == calorix::platform::TrayRecord::kTipChars && field.starts_with(shown) &&
                 field.find_first_not_of(' ', shown.size()) == std::string::npos,
             "tip field \"%s\" for \"%s\"", Shown(field).c_str(), Shown(tip).c_str());
  return 0;
}
