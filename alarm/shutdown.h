// The shutdown step and its log, and the log's "View" and "Clear" buttons.
#pragma once

#include <string>
#include <string_view>

#include "monitor/monitor_text_table.h"
#include "platform/platform.h"

namespace calorix {
class App;
}

namespace calorix::alarm {

inline constexpr std::string_view kShutdownLogName = "Calorix_ShutDown.txt";
inline constexpr std::string_view kLogEditorTitle = "Calorix_ShutDown.txt - NotePad";
inline constexpr std::string_view kAbortLine = "PC Shutdown aborted by user.";
inline constexpr std::string_view kTestReason = "User PC Shut Down Test!";

// "<date time> Shuting down on <reason>"
std::string ShutdownHeaderLine(std::string_view generalDate, std::string_view reason);
// "CPU=45 fan=4500, Sys=36 fan=3200, Vcore=1.52, 3.3v=3.31, 5v=5.02, 12v= 12.16 "
std::string ShutdownReadingsLine(const monitor::MonitorTextTable& table);

class Shutdown {
 public:
  explicit Shutdown(App& app);

  // Stops polling, logs the readings, asks the monitor to close and opens
  // the countdown. Goes on even when the log cannot be written.
  void ShutDown(const std::string& reason);
  void ViewLog();   // Command1
  void ClearLog();  // Command2

 private:
  App& app_;
};

}  // namespace calorix::alarm
