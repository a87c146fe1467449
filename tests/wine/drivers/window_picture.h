// A window's picture as it is on screen, saved as a BMP file: for the
// screenshots of the demo run.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace calorix::platform::win32::driver {

// Copies the screen inside the window's rectangle (frame and caption
// included) into a 24-bit BMP file. The window should be on top: what
// covers it is copied too. False when the window or the file fails.
bool SaveWindowPicture(WindowHandle window, std::string_view bmpPath);

}  // namespace calorix::platform::win32::driver
