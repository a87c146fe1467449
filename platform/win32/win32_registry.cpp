#include <algorithm>
#include <cstring>
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

namespace {

struct WholeValue {
  LONG status = ERROR_SUCCESS;
  DWORD type = REG_NONE;
  std::string bytes;  // strings in UTF-8
};

// Reads the whole value through the wide call; a value that grows between
// the calls is asked for again. Strings (the monitor's folder is one) come
// back in UTF-8, whatever the ANSI code page.
WholeValue ReadWholeValue(HKEY key, const std::wstring& name) {
  WholeValue value;
  DWORD size = 0;
  value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
  std::vector<BYTE> buffer;
  for (int attempt = 0; attempt < 4 && value.status == ERROR_SUCCESS; ++attempt) {
    buffer.assign(size, 0);
    DWORD got = size;
    value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type,
                                    buffer.empty() ? nullptr : buffer.data(), &got);
    if (value.status == ERROR_MORE_DATA) {
      size = got;
      value.status = ERROR_SUCCESS;
      continue;
    }
    if (value.status != ERROR_SUCCESS) break;
    buffer.resize(std::min<DWORD>(got, size));
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ) {
      std::wstring text(buffer.size() / sizeof(wchar_t), L'\0');
      std::memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
      value.bytes = Utf8(text);
    } else {
      value.bytes.assign(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    }
    return value;
  }
  if (value.status == ERROR_SUCCESS) value.status = ERROR_MORE_DATA;
  return value;
}

}  // namespace

RegistryQuery Win32Registry::QueryValue(Key key, std::string_view valueName,
                                        std::uint32_t bufferSize) {
  RegistryQuery query;
  const auto found = keys_.find(key);
  if (found == keys_.end()) {
    query.status = ERROR_INVALID_HANDLE;
    return query;
  }
  // The value is read whole and handed out as RegQueryValueEx would hand
  // out its bytes: the size first, then the bytes into a buffer that holds
  // them, ERROR_MORE_DATA into one that does not.
  const WholeValue value = ReadWholeValue(found->second.get(), Wide(valueName));
  query.status = static_cast<std::int32_t>(value.status);
  if (value.status != ERROR_SUCCESS) return query;
  query.type = static_cast<std::int32_t>(value.type);
  query.size = static_cast<std::uint32_t>(value.bytes.size());
  if (bufferSize == 0) return query;
  if (bufferSize < value.bytes.size()) {
    query.status = ERROR_MORE_DATA;
    return query;
  }
  query.data = value.bytes;
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
