#include <algorithm>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

std::optional<Registry::Key> Win32Registry::OpenKey(RegistryRoot root, std::string_view path) {
  HKEY base = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(base, Z(path).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    // A 32-bit installer writes machine-wide keys into the 32-bit view,
    // which a 64-bit program does not see by default.
    if (root != RegistryRoot::LocalMachine ||
        RegOpenKeyExA(base, Z(path).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS)
      return std::nullopt;
  }
  const Key id = nextKey_++;
  keys_.emplace(id, UniqueHKey(opened));
  return id;
}

RegistryQuery Win32Registry::QueryValue(Key key, std::string_view valueName,
                                        std::uint32_t bufferSize) {
  RegistryQuery query;
  const auto found = keys_.find(key);
  if (found == keys_.end()) {
    query.status = ERROR_INVALID_HANDLE;
    return query;
  }
  std::vector<BYTE> buffer(bufferSize);
  DWORD type = REG_NONE;
  DWORD size = bufferSize;
  const LONG status = RegQueryValueExA(found->second.get(), Z(valueName).c_str(), nullptr, &type,
                                       bufferSize == 0 ? nullptr : buffer.data(), &size);
  query.status = static_cast<std::int32_t>(status);
  query.type = static_cast<std::int32_t>(type);
  query.size = size;
  // Only a successful read fills the buffer; after ERROR_MORE_DATA its
  // contents are undefined.
  if (status == ERROR_SUCCESS && bufferSize > 0) {
    const std::size_t got = std::min<std::size_t>(size, bufferSize);
    query.data.assign(reinterpret_cast<const char*>(buffer.data()), got);
  }
  return query;
}

bool Win32Registry::CloseKey(Key key) {
  const auto found = keys_.find(key);
  if (found == keys_.end()) return false;
  const long status = found->second.Close();
  keys_.erase(found);
  return status == ERROR_SUCCESS;
}

std::string Win32Registry::ErrorDescription(std::int32_t status) {
  char buffer[1024] = {};
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(status), 0, buffer, sizeof buffer, nullptr);
  if (length == 0) return "Unknown error " + std::to_string(status);
  std::string text(buffer, length);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace calorix::platform::win32
