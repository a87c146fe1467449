// The per-user settings store: every value is text, every read has a
// default, and a stored text that does not convert to its key's form reads
// as the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings_keys.h"
#include "platform/platform.h"

namespace calorix {

class SettingsStore {
 public:
  SettingsStore(platform::SettingsBackend& backend, platform::Locale& locale)
      : backend_(backend), locale_(locale) {}

  // The stored text, or the key's default text when the key is absent.
  std::string ReadText(const settings::Key& key);

  // Typed reads. Each falls back to the key's default when the key is absent
  // or its text does not convert.
  std::int16_t ReadState(const settings::Key& key);
  bool ReadYesNo(const settings::Key& key);
  std::int32_t ReadInteger(const settings::Key& key);
  // For keys whose default the caller computes, pass it as `fallback`.
  double ReadNumber(const settings::Key& key, double fallback = 0);

  // Writes replace any earlier value; false when the store refused.
  bool Write(const settings::Key& key, std::string_view text);
  bool WriteState(const settings::Key& key, std::int16_t state);
  bool WriteYesNo(const settings::Key& key, bool value);
  bool WriteInteger(const settings::Key& key, std::int32_t value);
  bool WriteNumber(const settings::Key& key, double value);

  bool DeleteAll() { return backend_.DeleteAll(); }

 private:
  platform::SettingsBackend& backend_;
  platform::Locale& locale_;
};

// Conversions of the value forms, exposed for the places that convert texts
// the same way (the interval box, for instance).
std::optional<std::int16_t> ParseStateText(std::string_view text);
std::optional<bool> ParseYesNoText(std::string_view text, std::string_view decimalSeparator);
std::optional<std::int32_t> ParseIntegerText(std::string_view text,
                                             std::string_view decimalSeparator);

// The states of the four tray-icon option buttons.
struct TrayIconOptions {
  bool swapCpuSys = false;  // "System Temp"
  bool cpuSysTemp = false;  // "CPU && System Temp"
  bool noIcon = false;      // "VIA Logo"
  bool cpuOnly = true;      // "CPU Temp"
};

// Writes the four option buttons' states in their fixed order; a failed
// write ends it and the keys after it are not written.
bool SavOptions(SettingsStore& store, const TrayIconOptions& options);

}  // namespace calorix
