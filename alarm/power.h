// Powering the PC off, and the alarm buzzer.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace calorix::alarm {

// The flags of the system's session-end call, as its headers name them.
inline constexpr std::uint32_t kEwxShutdown = 0x1;  // EWX_SHUTDOWN
inline constexpr std::uint32_t kEwxReboot = 0x2;    // EWX_REBOOT
inline constexpr std::uint32_t kEwxForce = 0x4;     // EWX_FORCE
inline constexpr std::uint32_t kEwxPowerOff = 0x8;  // EWX_POWEROFF

// The alarm's power-off passes reboot and power-off together, with force
// when asked; the older family's shutdown, with force when asked.
inline constexpr std::uint32_t kForcedPowerOffFlags = kEwxReboot + kEwxForce + kEwxPowerOff;
inline constexpr std::uint32_t kPlainPowerOffFlags = kEwxReboot + kEwxPowerOff;
inline constexpr std::uint32_t kOldFamilyForcedFlags = kEwxShutdown + kEwxForce;
inline constexpr std::uint32_t kOldFamilyPlainFlags = kEwxShutdown;
static_assert(kForcedPowerOffFlags == 14 && kPlainPowerOffFlags == 10 &&
              kOldFamilyForcedFlags == 5 && kOldFamilyPlainFlags == 1);

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
