// Shared by the backend's sources: the system headers and small helpers.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// Before win32_platform.h, which removes the macros that clash with its names.
#include <mmsystem.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "platform/utf16.h"
#include "platform/win32/win32_platform.h"

namespace calorix::platform::win32 {

// The A functions want NUL-terminated text; a view need not be.
inline std::string Z(std::string_view text) { return std::string(text); }

// Paths go through the wide calls (see platform/utf16.h): the logic's
// UTF-8 to the system's UTF-16 and back. wchar_t is UTF-16 on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline std::wstring Wide(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}
inline std::string Utf8(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// NULL for an empty optional argument, as the shell expects.
inline const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}
inline const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace calorix::platform::win32
