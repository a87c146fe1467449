// The version resource through GetFileVersionInfoA and VerQueryValueA.
#include "tests/wine/drivers/file_version.h"

#include <windows.h>
#include <winver.h>

#include <cstdio>
#include <vector>

namespace calorix::platform::win32 {

namespace {

std::vector<char> VersionBlock(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return {};
  return block;
}

std::string Dotted(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
         std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

}  // namespace

std::optional<FileVersion> ReadFileVersion(const std::string& path) {
  std::vector<char> block = VersionBlock(path);
  if (block.empty()) return std::nullopt;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
  FileVersion version;
  version.fileVersion = Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  version.productVersion = Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  version.fileType = fixed->dwFileType;
  if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
    const auto* pair = static_cast<const WORD*>(value);
    char name[9];
    std::snprintf(name, sizeof name, "%04x%04x", pair[0], pair[1]);
    version.translation = name;
  }
  return version;
}

std::optional<std::string> ReadVersionString(const std::string& path, const std::string& translation,
                                             const std::string& name) {
  std::vector<char> block = VersionBlock(path);
  if (block.empty()) return std::nullopt;
  const std::string query = "\\StringFileInfo\\" + translation + "\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), query.c_str(), &value, &length) || value == nullptr) {
    return std::nullopt;
  }
  // The length counts the terminating NUL where there is one.
  std::string text(static_cast<const char*>(value), length);
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace calorix::platform::win32
