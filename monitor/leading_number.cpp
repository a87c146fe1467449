#include "monitor/leading_number.h"

#include <charconv>
#include <cmath>
#include <string>

#include "core/numbers.h"

namespace calorix::monitor {

namespace {

std::string_view SkipLeadingBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

}  // namespace

double ParseLeadingNumber(std::string_view text) {
  text = SkipLeadingBlanks(text);
  std::string number;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    if (text.front() == '-') number.push_back('-');
    text.remove_prefix(1);
  }
  bool digits = false;
  bool point = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      number.push_back(c);
      digits = true;
    } else if (c == '.' && !point) {
      number.push_back(c);
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0;
  double value = 0;
  const char* first = number.data();
  const auto result = std::from_chars(first, first + number.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

std::int32_t ParseLeadingWholeNumber(std::string_view text) {
  return RoundHalfEven(ParseLeadingNumber(text));
}

std::int64_t ParseLeadingInteger(std::string_view text) {
  text = SkipLeadingBlanks(text);
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return 0;  // "+-5" is no number
  }
  std::int64_t value = 0;
  const auto result = std::from_chars(first, last, value);
  return result.ec == std::errc() ? value : 0;
}

}  // namespace calorix::monitor
