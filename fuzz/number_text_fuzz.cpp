// Number texts of the settings store in the user's number format: parsing
// gives a finite number exactly when the text is one, formatting reads back
// as the same single-precision value, and whole numbers round halves to even.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "core/numbers.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/separators.h"

using calorix::fuzz::ReferenceRound;
using calorix::fuzz::Shown;

namespace {

// The grammar: blanks, a sign, digits with at most one separator, blanks;
// at least one digit. Gives the text rewritten with "." for strtod.
std::optional<std::string> Grammar(std::string_view text, std::string_view separator) {
  text = calorix::fuzz::TrimBlanksView(text);
  std::string plain;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    if (text.front() == '-') plain.push_back('-');
    text.remove_prefix(1);
  }
  bool digits = false, point = false;
  while (!text.empty()) {
    if (text.front() >= '0' && text.front() <= '9') {
      plain.push_back(text.front());
      digits = true;
      text.remove_prefix(1);
    } else if (!point && text.starts_with(separator)) {
      plain.push_back('.');
      point = true;
      text.remove_prefix(separator.size());
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view separator = calorix::fuzz::DecimalSeparatorFor(data[0]);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  // Parsing any text.
  const std::optional<double> parsed = calorix::ParseNumberText(text, separator);
  const std::optional<std::string> plain = Grammar(text, separator);
  if (parsed) FUZZ_CHECK(std::isfinite(*parsed), "\"%s\" gave %g", Shown(text).c_str(), *parsed);
  if (!plain) {
    FUZZ_CHECK(!parsed, "\"%s\" (separator \"%s\") is no number but gave %.17g",
               Shown(text).c_str(), Shown(separator).c_str(), *parsed);
  } else {
    const double expected = std::strtod(plain->c_str(), nullptr);
    if (std::isfinite(expected)) {
      FUZZ_CHECK(parsed && *parsed == expected, "\"%s\" (separator \"%s\") should give %.17g",
                 Shown(text).c_str(), Shown(separator).c_str(), expected);
    } else {
      FUZZ_CHECK(!parsed, "\"%s\" is beyond a double but gave a number", Shown(text).c_str());
    }
  }

  // Formatting a number the input spells out bit for bit.
  if (size >= 1 + sizeof(double)) {
    double value;
    std::memcpy(&value, data + 1, sizeof value);

    const std::int32_t rounded = calorix::RoundHalfEven(value);
    FUZZ_CHECK(rounded == ReferenceRound(value), "%.17g rounded to %d, not %d", value, rounded,
               ReferenceRound(value));

    const std::string written = calorix::FormatNumberText(value, separator);
    const std::optional<double> back = calorix::ParseNumberText(written, separator);
    if (back) FUZZ_CHECK(std::isfinite(*back), "\"%s\" read as %g", Shown(written).c_str(), *back);
    const bool fitsSingle = std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
    if (fitsSingle) {
      const float single = static_cast<float>(value);
      FUZZ_CHECK(back && static_cast<float>(*back) == single,
                 "%.17g written as \"%s\" (separator \"%s\") does not read back as %.9g", value,
                 Shown(written).c_str(), Shown(separator).c_str(), single);
      FUZZ_CHECK(written.find(' ') == std::string::npos && written.find('e') == std::string::npos,
                 "%.17g written as \"%s\"", value, Shown(written).c_str());

      const std::string interval = calorix::FormatIntervalText(value);
      FUZZ_CHECK(!interval.starts_with("0.") && !interval.starts_with("-0."),
                 "interval %.9g written with a leading zero: \"%s\"", single, interval.c_str());
      const std::optional<double> intervalBack = calorix::ParseNumberText(interval, ".");
      FUZZ_CHECK(intervalBack && static_cast<float>(*intervalBack) == single,
                 "interval %.9g written as \"%s\" does not read back", single, interval.c_str());
    }
  }
  return 0;
}
