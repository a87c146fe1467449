// The leading-number parses that read the monitor's window texts (and the
// window handles kept as text): always finite, as the grammar says, and the
// whole number rounded halves to even.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/numbers.h"
#include "fuzz/fuzz_check.h"
#include "monitor/leading_number.h"

using calorix::fuzz::ReferenceRound;
using calorix::fuzz::Shown;

namespace {

// The number at the start of `text` by the grammar: blanks, a sign, digits
// with at most one "."; nothing else counts.
struct Leading {
  std::string number;  // sign, digits and point, ready for strtod
  bool digits = false;
};

Leading ScanLeading(std::string_view text) {
  Leading out;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') out.number.push_back('-');
    ++i;
  }
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      out.number.push_back(c);
      out.digits = true;
    } else if (c == '.' && !point) {
      out.number.push_back(c);
      point = true;
    } else {
      break;
    }
  }
  return out;
}

// The exact leading whole number for a handle text: blanks, a sign, digits;
// 0 without digits or beyond 64 bits.
std::int64_t ReferenceInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  __int128 value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    digits = true;
    value = value * 10 + (text[i] - '0');
    if (value > (static_cast<__int128>(1) << 64)) return 0;
  }
  if (!digits) return 0;
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int64_t>::max() ||
      value < std::numeric_limits<std::int64_t>::min())
    return 0;
  return static_cast<std::int64_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const double value = calorix::monitor::ParseLeadingNumber(text);
  FUZZ_CHECK(std::isfinite(value), "text \"%s\" gave %g", Shown(text).c_str(), value);

  const Leading leading = ScanLeading(text);
  if (!leading.digits) {
    FUZZ_CHECK(value == 0, "text \"%s\" has no number but gave %.17g", Shown(text).c_str(), value);
  } else {
    const double expected = std::strtod(leading.number.c_str(), nullptr);
    if (std::isfinite(expected))
      FUZZ_CHECK(value == expected, "text \"%s\" gave %.17g, not %.17g", Shown(text).c_str(),
                 value, expected);
  }
  FUZZ_CHECK(calorix::monitor::ParseLeadingNumber(" " + text) == value,
             "a leading blank changed the number of \"%s\"", Shown(text).c_str());

  const std::int32_t whole = calorix::monitor::ParseLeadingWholeNumber(text);
  FUZZ_CHECK(whole == ReferenceRound(value), "text \"%s\" (%.17g) rounded to %d, not %d",
             Shown(text).c_str(), value, whole, ReferenceRound(value));
  FUZZ_CHECK(whole == calorix::RoundHalfEven(value), "two roundings of \"%s\" differ",
             Shown(text).c_str());

  // Handle texts: the exact 64-bit number, 0 when there is none or it is
  // too big. (A sign after a "+" is not a number.)
  const std::int64_t integer = calorix::monitor::ParseLeadingInteger(text);
  std::size_t start = text.find_first_not_of(' ');
  const bool doubleSign = start != std::string::npos && text.compare(start, 2, "+-") == 0;
  if (!doubleSign)
    FUZZ_CHECK(integer == ReferenceInteger(text), "handle text \"%s\" gave %lld, not %lld",
               Shown(text).c_str(), static_cast<long long>(integer),
               static_cast<long long>(ReferenceInteger(text)));

  // Any 64-bit value written in decimal reads back exactly, whatever follows
  // it after a character that is not a digit.
  if (size >= 8) {
    std::int64_t handle = 0;
    for (int i = 0; i < 8; ++i) handle = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(handle) << 8) | data[i]);
    std::string written = std::to_string(handle);
    const std::string rest(reinterpret_cast<const char*>(data + 8), size - 8);
    if (rest.empty() || rest[0] < '0' || rest[0] > '9') written += rest;
    FUZZ_CHECK(calorix::monitor::ParseLeadingInteger(written) == handle,
               "handle %lld written as \"%s\" did not read back", static_cast<long long>(handle),
               Shown(written).c_str());
  }
  return 0;
}
