#include "core/settings_store.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "core/text.h"

namespace calorix {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}


bool FitsRange(double value, settings::Range range) {
  switch (range) {
    case settings::Range::kAny:
      return true;
    case settings::Range::kSingle:
      return std::fabs(value) <= std::numeric_limits<float>::max();
    case settings::Range::kInt32:
      return value >= std::numeric_limits<std::int32_t>::min() &&
             value <= std::numeric_limits<std::int32_t>::max();
    case settings::Range::kExtent:
      return value > 0 && value <= std::numeric_limits<std::int32_t>::max();
  }
  return false;
}

}  // namespace

std::optional<std::int32_t> ParseIntegerText(std::string_view text,
                                             std::string_view decimalSeparator) {
  const auto number = ParseNumberText(text, decimalSeparator);
  if (!number) return std::nullopt;
  const double rounded = std::nearbyint(*number);
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return RoundHalfEven(*number);
}

std::optional<std::int16_t> ParseStateText(std::string_view text) {
  // Only the two states a check box can have; anything else is not a state.
  const auto value = ParseIntegerText(text, ".");
  if (!value || (*value != 0 && *value != 1)) return std::nullopt;
  return static_cast<std::int16_t>(*value);
}

std::optional<bool> ParseYesNoText(std::string_view text, std::string_view decimalSeparator) {
  const std::string_view trimmed = TrimmedView(text);
  if (EqualsIgnoringCase(trimmed, "True")) return true;
  if (EqualsIgnoringCase(trimmed, "False")) return false;
  if (const auto number = ParseNumberText(trimmed, decimalSeparator)) return *number != 0;
  return std::nullopt;
}

std::string SettingsStore::ReadText(const settings::Key& key) {
  if (auto stored = backend_.Read(key.section, key.name)) return *stored;
  return std::string(key.defaultText);
}

std::int16_t SettingsStore::ReadState(const settings::Key& key) {
  if (auto stored = backend_.Read(key.section, key.name))
    if (const auto state = ParseStateText(*stored)) return *state;
  return ParseStateText(key.defaultText).value_or(0);
}

bool SettingsStore::ReadYesNo(const settings::Key& key) {
  const std::string separator = locale_.DecimalSeparator();
  if (auto stored = backend_.Read(key.section, key.name))
    if (const auto value = ParseYesNoText(*stored, separator)) return *value;
  return ParseYesNoText(key.defaultText, ".").value_or(false);
}

std::int32_t SettingsStore::ReadInteger(const settings::Key& key) {
  const std::string separator = locale_.DecimalSeparator();
  if (auto stored = backend_.Read(key.section, key.name))
    if (const auto value = ParseIntegerText(*stored, separator)) return *value;
  return ParseIntegerText(key.defaultText, ".").value_or(0);
}

double SettingsStore::ReadNumber(const settings::Key& key, double fallback) {
  const std::string separator = locale_.DecimalSeparator();
  if (auto stored = backend_.Read(key.section, key.name))
    if (const auto value = ParseNumberText(*stored, separator); value && FitsRange(*value, key.range))
      return *value;
  return ParseNumberText(key.defaultText, ".").value_or(fallback);
}

bool SettingsStore::Write(const settings::Key& key, std::string_view text) {
  return backend_.Write(key.section, key.name, text);
}

bool SettingsStore::WriteState(const settings::Key& key, std::int16_t state) {
  return Write(key, std::to_string(state));
}

bool SettingsStore::WriteYesNo(const settings::Key& key, bool value) {
  return Write(key, value ? "True" : "False");
}

bool SettingsStore::WriteInteger(const settings::Key& key, std::int32_t value) {
  return Write(key, std::to_string(value));
}

bool SettingsStore::WriteNumber(const settings::Key& key, double value) {
  return Write(key, FormatNumberText(value, locale_.DecimalSeparator()));
}

bool SavOptions(SettingsStore& store, const TrayIconOptions& options) {
  return store.WriteYesNo(settings::keys::kSwapCpuSys, options.swapCpuSys) &&
         store.WriteYesNo(settings::keys::kCPUSysTemp, options.cpuSysTemp) &&
         store.WriteYesNo(settings::keys::kNoIcon, options.noIcon) &&
         store.WriteYesNo(settings::keys::kCpuOnly, options.cpuOnly);
}

}  // namespace calorix
