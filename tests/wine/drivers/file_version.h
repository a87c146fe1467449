// An executable's version resource as Windows reads it (version.dll), for
// tests that check what Explorer's file properties would show.
#pragma once

#include <optional>
#include <string>

namespace calorix::platform::win32 {

struct FileVersion {
  std::string fileVersion;     // the numbers of FILEVERSION, "1.2.3.4"
  std::string productVersion;  // the numbers of PRODUCTVERSION
  unsigned long fileType = 0;  // 1 for an application (VFT_APP)
  std::string translation;     // the first language and code page, "040904b0"
};

// Nothing when the file has no version resource.
std::optional<FileVersion> ReadFileVersion(const std::string& path);

// A string of the version resource in the given translation, such as
// "ProductName"; nothing when the file has no such string.
std::optional<std::string> ReadVersionString(const std::string& path, const std::string& translation,
                                             const std::string& name);

}  // namespace calorix::platform::win32
