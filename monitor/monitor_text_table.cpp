#include "monitor/monitor_text_table.h"

#include "monitor/leading_number.h"

namespace calorix::monitor {

void MonitorTextTable::Clear() {
  for (std::string& slot : slots_) slot.clear();
  counter_ = 0;
}

bool MonitorTextTable::Append(std::string text) {
  if (Full()) return false;
  slots_[counter_] = std::move(text);
  ++counter_;
  return true;
}

const std::string& MonitorTextTable::Slot(int index) const {
  static const std::string kEmpty;
  if (index < 0 || index >= kSlotCount) return kEmpty;
  return slots_[index];
}

bool MonitorTextTable::AppendHandle(platform::WindowHandle handle) {
  return Append(std::to_string(handle));
}

platform::WindowHandle MonitorTextTable::HandleAt(int index) const {
  return ParseLeadingInteger(Slot(index));
}

}  // namespace calorix::monitor
