// Powering the PC off, and the alarm buzzer.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace calorix::alarm {

inline constexpr std::uint32_t kForcedPowerOffFlags = 14;  // reboot + force + power-off
inline constexpr std::uint32_t kPlainPowerOffFlags = 10;   // reboot + power-off
inline constexpr std::uint32_t kOldFamilyForcedFlags = 5;  // shutdown + force
inline constexpr std::uint32_t kOldFamilyPlainFlags = 1;   // shutdown

class Power {
 public:
  explicit Power(platform::System& system) : system_(system) {}

  void EnableShutdownPrivilege() { system_.EnableShutdownPrivilege(); }
  void ForcedPowerOff() {
    EnableShutdownPrivilege();
    system_.ExitSession(kForcedPowerOffFlags);  // the result is not checked: the program ends anyway
  }
  void PlainPowerOff() {
    EnableShutdownPrivilege();
    system_.ExitSession(kPlainPowerOffFlags);
  }
  // Plays the buzzer once and waits for its end; silent when it cannot play.
  void PlayAlarmSound() { system_.PlayAlarmSound(); }

 private:
  platform::System& system_;
};

}  // namespace calorix::alarm
