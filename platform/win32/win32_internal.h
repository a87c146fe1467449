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

#include "platform/win32/win32_platform.h"

namespace calorix::platform::win32 {

// The A functions want NUL-terminated text; a view need not be.
inline std::string Z(std::string_view text) { return std::string(text); }

// NULL for an empty optional argument, as the shell expects.
inline const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace calorix::platform::win32
