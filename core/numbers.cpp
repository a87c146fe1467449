#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/text.h"

namespace calorix {

std::int32_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::nearbyint(value);  // the default rounding mode is half-even
  if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(rounded);
}

float ToSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::optional<double> ParseNumberText(std::string_view text, std::string_view decimalSeparator) {
  text = TrimmedView(text);
  std::string plain;  // the text rewritten with "." so from_chars can read it
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  bool digits = false;
  bool point = false;
  while (!text.empty()) {
    if (text.front() >= '0' && text.front() <= '9') {
      plain.push_back(text.front());
      digits = true;
      text.remove_prefix(1);
    } else if (!point && !decimalSeparator.empty() && text.starts_with(decimalSeparator)) {
      plain.push_back('.');
      point = true;
      text.remove_prefix(decimalSeparator.size());
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  double value = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::string FormatNumberText(double value, std::string_view decimalSeparator) {
  char buffer[64];
  const float single = ToSingle(value);
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, single, std::chars_format::fixed);
  std::string text(buffer, result.ptr);
  if (text == "-0") text = "0";
  if (const auto dot = text.find('.'); dot != std::string::npos)
    text.replace(dot, 1, decimalSeparator);
  return text;
}

std::string FormatIntervalText(double value) {
  std::string text = FormatNumberText(value, ".");
  if (text.starts_with("0.")) text.erase(0, 1);
  else if (text.starts_with("-0.")) text.erase(1, 1);
  return text;
}

}  // namespace calorix
