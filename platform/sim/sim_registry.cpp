// The simulated desktop's registry (read-only to the program) and its
// per-user settings store.
#include <algorithm>
#include <utility>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_helpers.h"

namespace calorix::sim {

using detail::EqualsIgnoringCase;

void SimDesktop::PutRegistryValue(platform::RegistryRoot root, std::string path, std::string name,
                                  std::int32_t type, std::string bytes) {
  registry_[{root, std::move(path)}][std::move(name)] = {type, std::move(bytes)};
}

void SimDesktop::RemoveRegistryKey(platform::RegistryRoot root, const std::string& path) {
  registry_.erase({root, path});
}

std::optional<platform::Registry::Key> SimDesktop::OpenKey(platform::RegistryRoot root,
                                                           std::string_view path) {
  for (const auto& [keyPath, values] : registry_) {
    if (keyPath.first == root && EqualsIgnoringCase(keyPath.second, path)) {
      const Key key = nextKey_++;
      openKeys_[key] = keyPath;
      return key;
    }
  }
  return std::nullopt;
}

platform::RegistryQuery SimDesktop::QueryValue(Key key, std::string_view valueName,
                                               std::uint32_t bufferSize) {
  platform::RegistryQuery query;
  if (failNextQuery_) {
    query.status = *failNextQuery_;
    failNextQuery_.reset();
    return query;
  }
  const auto open = openKeys_.find(key);
  if (open == openKeys_.end()) {
    query.status = 6;  // ERROR_INVALID_HANDLE
    return query;
  }
  const auto& values = registry_[open->second];
  const auto value = std::find_if(values.begin(), values.end(), [&](const auto& entry) {
    return EqualsIgnoringCase(entry.first, valueName);
  });
  if (value == values.end()) {
    query.status = platform::kRegFileNotFound;
    return query;
  }
  query.type = value->second.type;
  query.size = static_cast<std::uint32_t>(value->second.bytes.size());
  if (bufferSize == 0) {  // asking for the size only
    if (auto action = std::exchange(afterSizeQuery_, nullptr)) action();
    return query;
  }
  if (bufferSize < query.size) {
    query.status = platform::kRegMoreData;
    return query;
  }
  query.data = value->second.bytes;
  return query;
}

bool SimDesktop::CloseKey(Key key) {
  const bool known = openKeys_.erase(key) > 0;
  return known && !failClose_;
}

std::string SimDesktop::ErrorDescription(std::int32_t status) {
  switch (status) {
    case platform::kRegFileNotFound: return "The system cannot find the file specified.";
    case platform::kRegAccessDenied: return "Access is denied.";
    case platform::kRegMoreData: return "More data is available.";
    default: return "Unknown error " + std::to_string(status) + ".";
  }
}

// ---- Settings store ---------------------------------------------------------------------

std::optional<std::string> SimDesktop::Setting(const std::string& section,
                                               const std::string& key) const {
  const auto foundSection = settings_.find(section);
  if (foundSection == settings_.end()) return std::nullopt;
  const auto found = foundSection->second.find(key);
  if (found == foundSection->second.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> SimDesktop::Read(std::string_view section, std::string_view key) {
  return Setting(std::string(section), std::string(key));
}

bool SimDesktop::Write(std::string_view section, std::string_view key, std::string_view value) {
  if (failSettingsWrites_) return false;
  ++settingsWrites_;
  settings_[std::string(section)][std::string(key)] = std::string(value);
  return true;
}

bool SimDesktop::DeleteAll() {
  if (failSettingsWrites_) return false;
  settings_.clear();
  return true;
}

}  // namespace calorix::sim
