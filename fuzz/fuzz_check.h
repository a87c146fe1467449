// What every fuzz target shares: a check that stops the run with a message
// (libFuzzer then keeps the input as a crash), and small text helpers.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition, ...)                                                      \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: property broken: %s\n  ", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, __VA_ARGS__);                                                \
      std::fprintf(stderr, "\n");                                                       \
      std::abort();                                                                     \
    }                                                                                   \
  } while (false)

namespace calorix::fuzz {

// Nearest whole number, halves to even, saturated to 32 bits; worked out
// from floor so that it does not lean on the rounding mode.
inline std::int32_t ReferenceRound(double value) {
  if (std::isnan(value)) return 0;
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  if (whole >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (whole <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(whole);
}

// A text as C-escaped printable ASCII, for the messages above.
inline std::string Shown(std::string_view text, std::size_t limit = 200) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7f) {
      out.push_back(static_cast<char>(c));
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
      out += buffer;
    }
  }
  if (text.size() > limit) out += "...";
  return out;
}

inline bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

// True when `written` is `reading` as a line of a text file may carry it:
// the same length, every character the same except that a control
// character may have become a blank.
inline bool SameReading(std::string_view written, std::string_view reading) {
  if (written.size() != reading.size()) return false;
  for (std::size_t i = 0; i < written.size(); ++i)
    if (written[i] != reading[i] && !(IsControl(reading[i]) && written[i] == ' ')) return false;
  return true;
}

inline std::string_view TrimBlanksView(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

inline std::string WithControlsBlanked(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (IsControl(c)) c = ' ';
  return out;
}

}  // namespace calorix::fuzz
