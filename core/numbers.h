// Number conversions shared by the settings store and the readings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calorix {

// Rounds to the nearest whole number, halves to the even neighbour
// (44.5 gives 44, 45.5 gives 46). Values beyond the 32-bit range saturate.
std::int32_t RoundHalfEven(double value);

// The value as a single-precision float; beyond its range it becomes the
// infinity of that sign rather than an out-of-range conversion.
float ToSingle(double value);

// A number written by the program in the user's number format: an optional
// sign, digits and at most one `decimalSeparator`, surrounding blanks allowed.
// nullopt for anything else (letters, exponents, empty text, infinity).
std::optional<double> ParseNumberText(std::string_view text, std::string_view decimalSeparator);

// Shortest text that reads back as the same single-precision value, with
// `decimalSeparator` as the decimal point and a leading zero ("0,5", "5").
std::string FormatNumberText(double value, std::string_view decimalSeparator);

// The same number as the interval box shows it: "." as the decimal point and
// no digit before it below 1 (".5", "5", "12.5").
std::string FormatIntervalText(double value);

}  // namespace calorix
