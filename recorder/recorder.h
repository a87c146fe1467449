// The data recorder: one line of readings appended to the record file at
// the chosen interval, and the commands of the "HWM Data" group.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "monitor/monitor_text_table.h"
#include "platform/forms.h"
#include "platform/platform.h"

namespace calorix {
class App;
}

namespace calorix::recorder {

inline constexpr std::string_view kRecordFileName = "Calorix_Rec.txt";
inline constexpr std::uint64_t kViewSizeLimit = 65'000;

// The interval box's text as minutes: the leading number, "." as the
// decimal point whatever the locale; 0 when there is none.
double IntervalValue(std::string_view text);

// "dd/mm/yy hh:nn" with the system's date and time separators.
std::string RecordTimestamp(const platform::LocalDateTime& when, std::string_view dateSeparator,
                            std::string_view timeSeparator);

// The nine fields joined by ", ", without the line end. Temperatures and
// fan speeds are padded to 3 and 4 characters but never cut.
std::string RecordLine(std::string_view timestamp, const monitor::MonitorTextTable& table);

class Recorder {
 public:
  explicit Recorder(App& app);

  // The last step of a reading cycle while the monitor window is hidden.
  void Step();
  // Command3 and "View Data" (the user asks: kActivate), and the refresh
  // after a record (kKeepFocus).
  void View(ui::Activation activation);
  void Clear();  // Command4
  // The recorder's share of startup: its state restored, the reminder asked.
  void RestoreAtStartup();

  std::int32_t RecCount = 0;
  float RecInterval = 0;
  std::int16_t DatViewOpen = 0;

 private:
  void RecordDataClick();
  void ViewDataMenuClick();
  void ViewFailed();

  App& app_;
};

}  // namespace calorix::recorder
