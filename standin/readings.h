// Sensor readings of the stand-in monitor: their displayed texts, the slow
// drift that makes them look alive, and the limits that raise alarms.
// No Windows dependency, so it is unit-tested natively.
#pragma once

#include <array>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "monitor_layout.h"

namespace standin {

enum class Alarm { CpuTemp, Voltage, CpuFan, SysTemp, SysFan };
inline constexpr int kAlarmCount = 5;
inline constexpr std::array<Alarm, kAlarmCount> kAllAlarms = {
    Alarm::CpuTemp, Alarm::Voltage, Alarm::CpuFan, Alarm::SysTemp, Alarm::SysFan};

// Caption of the window shown while the alarm is raised.
const char* alarmCaption(Alarm a);

inline constexpr int kReadingCount = 8;  // every Reading except None
inline constexpr std::array<Reading, kReadingCount> kAllReadings = {
    Reading::CpuTemp, Reading::SysTemp, Reading::Vcore,  Reading::V33,
    Reading::V5,      Reading::V12,     Reading::CpuFan, Reading::SysFan};

// "cpu", "sys", "vcore", "v33", "v5", "v12", "fan1", "fan2".
std::optional<Reading> readingFromName(std::string_view name);

// The number a monitor text starts with, after leading blanks ("  1.52 " -> 1.52).
std::optional<double> leadingNumber(std::string_view text);

struct VoltageRange {
  double low;
  double high;
};

struct Limits {
  double cpuTempMax = 70;
  double sysTempMax = 55;
  double cpuFanMin = 1500;
  double sysFanMin = 1000;
  VoltageRange vcore{1.35, 1.65};
  VoltageRange v33{2.97, 3.63};
  VoltageRange v5{4.50, 5.50};
  VoltageRange v12{10.80, 13.20};
};

// True while the reading texts put the alarm past its limit. A text that is
// not a number never raises an alarm.
bool alarmRaised(Alarm a, const Limits& limits,
                 const std::array<std::string, kReadingCount>& texts);

class Readings {
 public:
  explicit Readings(unsigned seed);

  const std::string& text(Reading r) const { return texts_[slot(r)]; }
  const std::array<std::string, kReadingCount>& texts() const { return texts_; }

  // Shows `text` verbatim and pins the reading: drift leaves it alone until
  // drift is switched on again.
  void set(Reading r, std::string text);

  // Switching drift on also releases every pinned reading.
  void setDrift(bool on);
  bool drift() const { return drift_; }

  // One tick (about a second) of drift.
  void step();

  Limits& limits() { return limits_; }
  const Limits& limits() const { return limits_; }
  bool raised(Alarm a) const { return alarmRaised(a, limits_, texts_); }

  static int slot(Reading r);

 private:
  struct Channel {
    double value;
    double base;  // where the value is pulled to; wanders slowly
    double baseLow, baseHigh;
    double safeLow, safeHigh;  // normal drift never leaves this band
    double baseWalk;           // largest base change per tick
    double noise;              // standard deviation of the per-tick jitter
    double pull;               // fraction of the distance to base closed per tick
    int dipTicks = 0;          // fans: ticks left in a short slowdown
    bool pinned = false;
  };

  void stepChannel(Reading r, Channel& c);
  void stepFanDip(Reading r, Channel& c);
  std::string format(Reading r, double value) const;

  std::array<Channel, kReadingCount> channels_;
  std::array<std::string, kReadingCount> texts_;
  Limits limits_;
  bool drift_ = true;
  std::mt19937 rng_;
};

}  // namespace standin
