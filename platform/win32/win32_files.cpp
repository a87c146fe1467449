#include <algorithm>
#include <limits>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

namespace {

UniqueHandle OpenForReading(std::string_view name) {
  return UniqueHandle(CreateFileW(Wide(name).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

bool Win32Files::Append(std::string_view name, std::string_view text) {
  UniqueHandle file(CreateFileW(Wide(name).c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  while (!text.empty()) {
    const DWORD chunk = static_cast<DWORD>(
        std::min<std::size_t>(text.size(), std::numeric_limits<DWORD>::max() / 2));
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), chunk, &written, nullptr) || written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
  return file.Close();
}

std::optional<std::string> Win32Files::ReadAll(std::string_view name) {
  UniqueHandle file = OpenForReading(name);
  if (!file) return std::nullopt;
  std::string content;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
    content.reserve(static_cast<std::size_t>(size.QuadPart));
  }
  // Read to the end rather than to the size: another program may still be
  // appending.
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return std::nullopt;
    }
    if (got == 0) break;
    content.append(buffer.data(), got);
  }
  return content;
}

std::optional<std::string> Win32Files::ReadRange(std::string_view name, std::uint64_t offset,
                                                 std::size_t maxBytes) {
  UniqueHandle file = OpenForReading(name);
  if (!file) return std::nullopt;
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(std::min<std::uint64_t>(offset, std::numeric_limits<LONGLONG>::max()));
  if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return std::nullopt;
  std::string content;
  while (content.size() < maxBytes) {
    const std::size_t want = std::min<std::size_t>(maxBytes - content.size(), 1 << 20);
    const std::size_t had = content.size();
    content.resize(had + want);
    DWORD got = 0;
    if (!ReadFile(file.get(), content.data() + had, static_cast<DWORD>(want), &got, nullptr)) {
      return std::nullopt;
    }
    content.resize(had + got);
    if (got == 0) break;
  }
  return content;
}

bool Win32Files::CanOpenForReading(std::string_view name) {
  UniqueHandle file = OpenForReading(name);
  return file.valid() && file.Close();
}

std::optional<std::uint64_t> Win32Files::Size(std::string_view name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(name).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32Files::Exists(std::string_view name) {
  return GetFileAttributesW(Wide(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::Delete(std::string_view name) {
  return DeleteFileW(Wide(name).c_str()) != FALSE;
}

std::string Win32Files::CurrentDirectory() {
  // Asked with no buffer, the answer is the size needed with the NUL.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) break;
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    if (length == 0) break;
    if (length < needed) {
      folder.resize(length);
      return Utf8(folder);
    }
    // It changed in between; ask again.
  }
  return {};
}

std::string Win32Files::ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A full buffer means the name was cut: try a larger one.
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};
    path.assign(path.size() * 2, L'\0');
  }
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  path.resize(slash);
  // "C:" alone would mean that drive's current folder, not its root.
  if (path.size() == 2 && path[1] == L':') path += L'\\';
  return Utf8(path);
}

}  // namespace calorix::platform::win32
