// The typed readings of a stored setting: a state is 0 or 1, a yes/no is
// "True", "False" or a number, an integer fits 32 bits and is the number
// rounded halves to even; and what the program writes reads back.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "core/numbers.h"
#include "core/settings_store.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/separators.h"

using calorix::fuzz::Shown;

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    const auto lx = x >= 'A' && x <= 'Z' ? x + 32 : x, ly = y >= 'A' && y <= 'Z' ? y + 32 : y;
    if (lx != ly) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view separator = calorix::fuzz::DecimalSeparatorFor(data[0]);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::optional<double> number = calorix::ParseNumberText(text, separator);

  // Integer text.
  const std::optional<std::int32_t> integer = calorix::ParseIntegerText(text, separator);
  if (!number) {
    FUZZ_CHECK(!integer, "\"%s\" is no number but gave the integer %d", Shown(text).c_str(), *integer);
  } else {
    const double rounded = std::nearbyint(*number);
    const bool fits = rounded >= -2147483648.0 && rounded <= 2147483647.0;
    FUZZ_CHECK(integer.has_value() == fits, "\"%s\" (%.17g) %s an integer", Shown(text).c_str(),
               *number, integer ? "gave" : "did not give");
    if (integer)
      FUZZ_CHECK(*integer == calorix::RoundHalfEven(*number), "\"%s\" gave %d", Shown(text).c_str(),
                 *integer);
  }

  // State text: only 0 and 1, read with "." whatever the locale.
  const std::optional<std::int16_t> state = calorix::ParseStateText(text);
  if (state) FUZZ_CHECK(*state == 0 || *state == 1, "state \"%s\" gave %d", Shown(text).c_str(), *state);
  const std::optional<std::int32_t> pointInteger = calorix::ParseIntegerText(text, ".");
  FUZZ_CHECK(state.has_value() == (pointInteger && (*pointInteger == 0 || *pointInteger == 1)),
             "state \"%s\" read wrongly", Shown(text).c_str());

  // Yes/no text.
  const std::optional<bool> yesNo = calorix::ParseYesNoText(text, separator);
  const std::string_view trimmed = calorix::fuzz::TrimBlanksView(text);
  if (SameIgnoringCase(trimmed, "True")) {
    FUZZ_CHECK(yesNo && *yesNo, "\"%s\" is not yes", Shown(text).c_str());
  } else if (SameIgnoringCase(trimmed, "False")) {
    FUZZ_CHECK(yesNo && !*yesNo, "\"%s\" is not no", Shown(text).c_str());
  } else if (number) {
    FUZZ_CHECK(yesNo && *yesNo == (*number != 0), "yes/no \"%s\" read wrongly", Shown(text).c_str());
  } else {
    FUZZ_CHECK(!yesNo, "\"%s\" is neither yes nor no but read as one", Shown(text).c_str());
  }

  // What the program writes reads back.
  if (size >= 1 + sizeof(std::int32_t)) {
    std::int32_t value;
    std::memcpy(&value, data + 1, sizeof value);
    const auto back = calorix::ParseIntegerText(std::to_string(value), separator);
    FUZZ_CHECK(back && *back == value, "integer %d does not read back", value);
  }
  FUZZ_CHECK(calorix::ParseStateText("0") == std::optional<std::int16_t>(0) &&
                 calorix::ParseStateText("1") == std::optional<std::int16_t>(1),
             "the states do not read back");
  FUZZ_CHECK(calorix::ParseYesNoText("True", separator) == std::optional<bool>(true) &&
                 calorix::ParseYesNoText("False", separator) == std::optional<bool>(false),
             "yes/no does not read back");
  return 0;
}
