// The simulated desktop's files: real files in a private temporary folder,
// named as the program names them.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/sim/sim_desktop.h"

namespace calorix::sim {

std::filesystem::path SimDesktop::Resolve(std::string_view name) const {
  // The program joins folders with "\"; the simulated files live on Linux.
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  std::filesystem::path resolved(path);
  return (resolved.is_absolute() ? resolved : cwd_ / resolved).lexically_normal();
}

void SimDesktop::LockFile(const std::string& name, bool locked) {
  const std::lock_guard guard(lockedFilesMutex_);
  if (locked) lockedFiles_.insert(Resolve(name));
  else lockedFiles_.erase(Resolve(name));
}

bool SimDesktop::IsLocked(const std::filesystem::path& path) const {
  const std::lock_guard guard(lockedFilesMutex_);
  return lockedFiles_.contains(path);
}

bool SimDesktop::Append(std::string_view name, std::string_view text) {
  const auto path = Resolve(name);
  if (IsLocked(path)) return false;
  std::ofstream file(path, std::ios::binary | std::ios::app);
  if (!file) return false;
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(file);
}

std::optional<std::string> SimDesktop::ReadAll(std::string_view name) {
  const auto path = Resolve(name);
  if (IsLocked(path) || !std::filesystem::is_regular_file(path)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream content;
  content << file.rdbuf();
  bytesRead_ += content.str().size();
  return content.str();
}

std::optional<std::string> SimDesktop::ReadRange(std::string_view name, std::uint64_t offset,
                                                 std::size_t maxBytes) {
  const auto path = Resolve(name);
  if (IsLocked(path) || !std::filesystem::is_regular_file(path)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string content;
  const auto size = std::filesystem::file_size(path);
  if (offset >= size) return content;
  file.seekg(static_cast<std::streamoff>(offset));
  content.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, size - offset)));
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(file.gcount()));
  bytesRead_ += content.size();
  return content;
}

bool SimDesktop::CanOpenForReading(std::string_view name) { return ReadAll(name).has_value(); }

std::optional<std::uint64_t> SimDesktop::Size(std::string_view name) {
  std::error_code error;
  const auto size = std::filesystem::file_size(Resolve(name), error);
  if (error) return std::nullopt;
  return size;
}

bool SimDesktop::Exists(std::string_view name) {
  std::error_code error;
  return std::filesystem::exists(Resolve(name), error);
}

bool SimDesktop::Delete(std::string_view name) {
  const auto path = Resolve(name);
  if (IsLocked(path) || !std::filesystem::is_regular_file(path)) return false;
  std::error_code error;
  return std::filesystem::remove(path, error);
}

}  // namespace calorix::sim
