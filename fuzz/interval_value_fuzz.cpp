// The interval box's text as minutes: whatever is typed gives a finite
// number, the leading number of the text; and every interval the program
// writes into the box reads back as the same single-precision value.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/numbers.h"
#include "fuzz/fuzz_check.h"
#include "monitor/leading_number.h"
#include "recorder/recorder.h"

using calorix::fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const double minutes = calorix::recorder::IntervalValue(text);
  FUZZ_CHECK(std::isfinite(minutes), "interval \"%s\" gave %g", Shown(text).c_str(), minutes);
  FUZZ_CHECK(minutes == calorix::monitor::ParseLeadingNumber(text),
             "interval \"%s\" is not its leading number", Shown(text).c_str());

  // A decimal comma ends the number: "0,5" is 0 minutes.
  if (text.find_first_not_of(' ') != std::string::npos) {
    const auto start = text.find_first_not_of(' ');
    if (text.compare(start, 2, "0,") == 0)
      FUZZ_CHECK(minutes == 0, "\"%s\" read past the comma", Shown(text).c_str());
  }

  if (size >= sizeof(float)) {
    float value;
    std::memcpy(&value, data, sizeof value);
    if (std::isfinite(value)) {
      const std::string shown = calorix::FormatIntervalText(value);
      FUZZ_CHECK(!shown.starts_with("0.") && !shown.starts_with("-0.") &&
                     shown.find_first_not_of("-.0123456789") == std::string::npos,
                 "%.9g shown as \"%s\"", value, Shown(shown).c_str());
      const float back = static_cast<float>(calorix::recorder::IntervalValue(shown));
      FUZZ_CHECK(back == value, "%.9g shown as \"%s\" reads back as %.9g", value,
                 Shown(shown).c_str(), back);
    }
  }
  return 0;
}
