#pragma once

namespace calorix {

// The program's texts are in the system's ANSI code page (Windows-1252 for
// the program's own texts): the degree sign is one byte.
inline constexpr char kDegreeSign[] = "\xB0";

}  // namespace calorix
