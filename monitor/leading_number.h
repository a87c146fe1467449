// The number at the start of a text, as the readings are written: leading
// blanks skipped, an optional sign, digits with at most one "." (whatever the
// user's locale), up to the first other character. No number gives 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace calorix::monitor {

double ParseLeadingNumber(std::string_view text);

// The leading number rounded to a whole number, halves to even.
std::int32_t ParseLeadingWholeNumber(std::string_view text);

// The leading whole number read exactly, for window handles stored as
// decimal text (a double would lose the low bits of a 64-bit handle).
// Stops at the first non-digit; 0 when there is none or it overflows.
std::int64_t ParseLeadingInteger(std::string_view text);

}  // namespace calorix::monitor
