#pragma once

#include <string_view>

namespace calorix {

// The program's name: its window caption, settings application name and the
// title of every message box that has none of its own.
inline constexpr std::string_view kProgramName = "Calorix";

}  // namespace calorix
