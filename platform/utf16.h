// Paths between the program's logic and Windows' wide (UTF-16) calls.
//
// The logic keeps every path (the working folder, the program's folder,
// the monitor's folder, the files it launches) as UTF-8, so a folder named
// in any script, "Documents\acc-uni Жé" on an English Windows for one,
// reaches the system as it is; the ANSI calls would turn "Ж" into "?".
// Texts (window texts, records, the log, settings) stay in the ANSI code
// page: only paths are converted.
//
// Windows allows any 16-bit units in a name, unpaired surrogates too. Those
// are carried through as the three bytes UTF-8 would give a lone surrogate
// (the "WTF-8" form), so that every name the system gives comes back to it
// unchanged. Bytes that are not UTF-8 become U+FFFD.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace calorix::platform {

inline std::u16string Utf8ToUtf16(std::string_view utf8) {
  constexpr char16_t kReplacement = 0xFFFD;
  std::u16string wide;
  wide.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      wide.push_back(lead);
      ++i;
      continue;
    }
    // The sequence's length and the smallest value it may carry (shorter
    // forms of the same value are not UTF-8).
    int length = 0;
    char32_t value = 0, smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, value = lead & 0x1F, smallest = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, value = lead & 0x0F, smallest = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, value = lead & 0x07, smallest = 0x10000;
    int taken = 1;
    while (length > 0 && taken < length && i + taken < utf8.size()) {
      const auto next = static_cast<unsigned char>(utf8[i + taken]);
      if ((next & 0xC0) != 0x80) break;
      value = (value << 6) | (next & 0x3F);
      ++taken;
    }
    if (length == 0 || taken < length || value < smallest || value > 0x10FFFF) {
      wide.push_back(kReplacement);
      i += std::max(taken, 1);
      continue;
    }
    i += length;
    if (value >= 0x10000) {
      value -= 0x10000;
      wide.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
    } else {
      wide.push_back(static_cast<char16_t>(value));  // a lone surrogate too
    }
  }
  return wide;
}

inline std::string Utf16ToUtf8(std::u16string_view wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t value = wide[i];
    const bool pairs = value >= 0xD800 && value <= 0xDBFF && i + 1 < wide.size() &&
                       wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
    if (pairs) {
      value = 0x10000 + ((value - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    if (value < 0x80) {
      utf8.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | (value >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
      utf8.push_back(static_cast<char>(0xE0 | (value >> 12)));
      utf8.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xF0 | (value >> 18)));
      utf8.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
  }
  return utf8;
}

}  // namespace calorix::platform
