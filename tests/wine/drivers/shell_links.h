// What an installer leaves for the shell, read back as the shell reads it:
// shortcuts (.lnk), the user's known folders, and the machine a program is
// built for. For tests that check an install from outside.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace calorix::platform::win32 {

struct ShellLink {
  std::string target;         // the program the shortcut starts
  std::string workingFolder;  // the folder it starts it in
};

// Nothing when there is no such shortcut or it cannot be read.
std::optional<ShellLink> ReadShellLink(const std::string& path);

enum class KnownFolder {
  kLocalAppData,  // %LOCALAPPDATA%
  kDocuments,     // the user's Documents
  kPrograms,      // the user's Start menu programs
  kStartup,       // the user's Start menu programs started at log-on
};

// The folder's path, or "" when the system does not know it.
std::string KnownFolderPath(KnownFolder folder);

// The machine field of a program's PE header (IMAGE_FILE_MACHINE_*), or
// nothing when the file is not a PE program.
std::optional<std::uint16_t> ProgramMachine(const std::string& path);
inline constexpr std::uint16_t kMachineI386 = 0x014c;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;

// Whether a folder (not a file) of this name exists.
bool FolderExists(const std::string& path);

// When a file was last written, in the system's 100 ns steps since 1601;
// nothing when there is no such file.
std::optional<std::uint64_t> LastWriteTime(const std::string& path);

}  // namespace calorix::platform::win32
