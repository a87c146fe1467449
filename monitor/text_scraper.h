// Reads the texts of the monitor window's descendants into the table.
#pragma once

#include <cstdint>
#include <string>

#include "monitor/monitor_text_table.h"
#include "platform/platform.h"

namespace calorix::monitor {

// Window texts and class names are read into buffers of this many
// characters, so at most 254 characters arrive.
inline constexpr int kTextBufferChars = 255;

// Returns `text` up to its first NUL, and leaves that in `text` as well.
std::string TrimAtNul(std::string& text);

// The enumeration callback: stores the window's text at the table's counter
// while slots 0 to 41 are free; false (stop) once they are all taken.
bool wndenum_proc(platform::WindowManager& windows, MonitorTextTable& table,
                  platform::WindowHandle window, std::int64_t extra);

// Clears the table and fills slots 0 to 41 with the first 42 descendant
// texts of `monitorWindow` in enumeration order. A window that is gone
// leaves the table empty.
void ScrapeMonitorTexts(platform::WindowManager& windows, MonitorTextTable& table,
                        platform::WindowHandle monitorWindow);

}  // namespace calorix::monitor
