// Small text helpers shared by the program's texts.
#pragma once

#include <string>
#include <exception>
#include <string_view>

namespace calorix {

// The program's texts are in the system's ANSI code page (Windows-1252 for
// the program's own texts): the degree sign is one byte.
inline constexpr char kDegreeSign[] = "\xB0";

// The text without blanks at either end.
inline std::string_view TrimmedView(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
inline std::string TrimBlanks(std::string_view text) { return std::string(TrimmedView(text)); }

// The text with every control character (CR, LF, TAB, NUL and the rest below
// a blank) turned into a blank, so a reading written into a line of a text
// file can never break that line.
inline std::string BlankControlCharacters(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return line;
}

// Runs one step of a stretch whose failures are to be ignored: a failing
// step is skipped and the caller goes on with the next one.
template <typename Step>
void IgnoringFailure(Step step) {
  try {
    step();
  } catch (const std::exception&) {
    // ignored by design: see the caller
  }
}

}  // namespace calorix
