#include "monitor/text_scraper.h"

namespace calorix::monitor {

std::string TrimAtNul(std::string& text) {
  if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return text;
}

bool wndenum_proc(platform::WindowManager& windows, MonitorTextTable& table,
                  platform::WindowHandle window, std::int64_t /*extra*/) {
  // The class name is read as the monitor's controls have always been read,
  // but nothing depends on it.
  std::string className = windows.ClassName(window, kTextBufferChars);
  TrimAtNul(className);
  std::string text = windows.WindowText(window, kTextBufferChars);
  TrimAtNul(text);
  if (table.Counter() < MonitorTextTable::kReadingSlots) {
    table.Append(std::move(text));
    return true;
  }
  return false;
}

void ScrapeMonitorTexts(platform::WindowManager& windows, MonitorTextTable& table,
                        platform::WindowHandle monitorWindow) {
  table.Clear();
  windows.EnumerateDescendants(monitorWindow, [&](platform::WindowHandle child) {
    return wndenum_proc(windows, table, child, 0);
  });
}

}  // namespace calorix::monitor
