#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/win32_internal.h"

#include <shlwapi.h>

namespace calorix::platform::win32 {

Win32SettingsBackend::Win32SettingsBackend(std::string root) : root_(std::move(root)) {}

std::string Win32SettingsBackend::SectionPath(std::string_view section) const {
  return root_ + "\\" + Z(section);
}

std::optional<std::string> Win32SettingsBackend::Read(std::string_view section,
                                                      std::string_view key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE,
                    &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  UniqueHKey owned(opened);
  const std::string name = Z(key);

  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG status = RegQueryValueExA(owned.get(), name.c_str(), nullptr, &type, nullptr, &size);
  // A value written by someone else may have grown between the calls.
  for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // One spare byte: the stored text need not end with a NUL.
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    DWORD got = size;
    status = RegQueryValueExA(owned.get(), name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (status == ERROR_MORE_DATA) {
      size = got;
      status = ERROR_SUCCESS;
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::string text(buffer.data(), std::min<std::size_t>(got, size));
    if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
  }
  return std::nullopt;
}

bool Win32SettingsBackend::Write(std::string_view section, std::string_view key,
                                 std::string_view value) {
  HKEY created = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  UniqueHKey owned(created);
  const std::string text = Z(value);  // with its terminating NUL
  const LONG status =
      RegSetValueExA(owned.get(), Z(key).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
  return status == ERROR_SUCCESS && owned.Close() == ERROR_SUCCESS;
}

bool Win32SettingsBackend::DeleteAll() {
  // An empty root would name all of HKEY_CURRENT_USER.
  if (root_.empty()) return false;
  // SHDeleteKey removes the key with all its subkeys and values on every
  // Windows from XP on (RegDeleteTree came only with Vista).
  const LONG status = SHDeleteKeyA(HKEY_CURRENT_USER, root_.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace calorix::platform::win32
