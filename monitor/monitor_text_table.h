// The table the monitor's window texts are read into, and which the window
// walk reuses as a list of window handles.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace calorix::monitor {

// Where each reading sits among the monitor window's descendants, counted in
// enumeration order from 0.
namespace slots {
inline constexpr int kCpuTemp = 12;
inline constexpr int kSysTemp = 18;
inline constexpr int kVcore = 23;
inline constexpr int kVolts33 = 27;
inline constexpr int kVolts5 = 29;
inline constexpr int kVolts12 = 31;
inline constexpr int kCpuFan = 39;
inline constexpr int kSysFan = 41;
}  // namespace slots

class MonitorTextTable {
 public:
  static constexpr int kSlotCount = 3073;
  // A scrape fills slots 0 to 41 and never more.
  static constexpr int kReadingSlots = 42;

  MonitorTextTable() = default;
  MonitorTextTable(const MonitorTextTable&) = delete;
  MonitorTextTable& operator=(const MonitorTextTable&) = delete;

  // Every slot empty, the counter at 0.
  void Clear();
  // Writes at the counter and advances it; false when every slot is taken.
  bool Append(std::string text);
  // Slot i, or the empty text outside 0..3072.
  const std::string& Slot(int index) const;
  std::int16_t Counter() const { return counter_; }
  bool Full() const { return counter_ >= kSlotCount; }

  // Handle lists: a handle is stored as its decimal text and read back
  // exactly; an empty slot gives 0.
  bool AppendHandle(platform::WindowHandle handle);
  platform::WindowHandle HandleAt(int index) const;

 private:
  std::array<std::string, kSlotCount> slots_{};
  std::int16_t counter_ = 0;
};

}  // namespace calorix::monitor
