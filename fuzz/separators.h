// Decimal separators a user's number format may have. None of them is a
// digit, a sign or a blank, which the number texts need for themselves.
#pragma once

#include <cstdint>
#include <string_view>

namespace calorix::fuzz {

inline constexpr std::string_view kDecimalSeparators[] = {".", ",", "\xB7", "'", "::", "/", "\xC2\xB7"};

inline std::string_view DecimalSeparatorFor(std::uint8_t choice) {
  return kDecimalSeparators[choice % (sizeof kDecimalSeparators / sizeof kDecimalSeparators[0])];
}

}  // namespace calorix::fuzz
