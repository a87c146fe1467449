// What a loaded icon shows, pixel by pixel, and the system's small-icon
// size: for tests that compare the icons the program hands out with the
// pictures it draws.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace calorix::platform::win32 {

struct IconPixels {
  int width = 0, height = 0;
  std::vector<std::uint8_t> transparent;  // 1 where the screen shows through
  std::vector<std::uint32_t> colour;      // 0x00RRGGBB, top row first
};

// Nothing when the handle is no icon.
std::optional<IconPixels> ReadIconPixels(IconHandle icon);

// GetSystemMetrics(SM_CXSMICON) and (SM_CYSMICON).
int SmallIconWidth();
int SmallIconHeight();

}  // namespace calorix::platform::win32
