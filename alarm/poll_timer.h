// The poll timer's tick: the monitor still there, re-hidden when minimised,
// its alarm windows recognised by their captions, else a reading cycle.
#pragma once

#include <span>
#include <string_view>

namespace calorix {
class App;
}

namespace calorix::alarm {

struct AlarmRow {
  std::string_view captions[2];  // the second is empty for a row of one caption
  std::string_view checkBox;     // the option that enables a shutdown
  std::string_view reason;
};

// In the order the tick checks them; blanks in the captions are exact.
extern const std::span<const AlarmRow> kAlarmRows;

class PollTimer {
 public:
  explicit PollTimer(App& app);

  void Tick();
  // Interval 0, then disabled: nothing restarts it.
  void Stop();

 private:
  bool RowPresent(const AlarmRow& row);

  App& app_;
};

}  // namespace calorix::alarm
