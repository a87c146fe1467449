// The version numbers and their VERSIONINFO statement.
#include "program_version.h"

#include <charconv>
#include <vector>

namespace calorix::resources {

std::optional<ProgramVersion> ParseVersion(const std::string& text) {
  std::vector<int> parts;
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  while (true) {
    int part = -1;
    const auto [next, error] = std::from_chars(at, end, part);
    if (error != std::errc() || next == at || part < 0 || part > 65535) return std::nullopt;
    parts.push_back(part);
    at = next;
    if (at == end) break;
    if (*at != '.') return std::nullopt;
    ++at;
  }
  if (parts.size() < 3 || parts.size() > 4) return std::nullopt;
  parts.resize(4, 0);
  return ProgramVersion{parts[0], parts[1], parts[2], parts[3]};
}

std::string DottedVersion(const ProgramVersion& v) {
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch) +
         "." + std::to_string(v.tweak);
}

std::string VersionInfoStatement(const ProgramVersion& v) {
  const std::string numbers = std::to_string(v.major) + "," + std::to_string(v.minor) + "," +
                              std::to_string(v.patch) + "," + std::to_string(v.tweak);
  const std::string dotted = DottedVersion(v);
  auto value = [](const char* name, const std::string& text) {
    return std::string("      VALUE \"") + name + "\", \"" + text + "\"\n";
  };
  std::string rc;
  rc += "1 VERSIONINFO\n";
  rc += "FILEVERSION " + numbers + "\n";
  rc += "PRODUCTVERSION " + numbers + "\n";
  rc += "FILEFLAGSMASK 0x3f\n";
  rc += "FILEFLAGS 0x0\n";
  rc += "FILEOS 0x40004     // VOS_NT_WINDOWS32\n";
  rc += "FILETYPE 0x1       // VFT_APP\n";
  rc += "FILESUBTYPE 0x0\n";
  rc += "BEGIN\n";
  rc += "  BLOCK \"StringFileInfo\"\n";
  rc += "  BEGIN\n";
  rc += "    BLOCK \"040904b0\"  // US English, Unicode\n";
  rc += "    BEGIN\n";
  rc += value("CompanyName", "the Calorix authors");
  rc += value("FileDescription", "Calorix, a tray companion for the hardware monitor");
  rc += value("FileVersion", dotted);
  rc += value("InternalName", "calorix");
  rc += value("LegalCopyright", "Copyright (c) the Calorix authors");
  rc += value("OriginalFilename", "calorix.exe");
  rc += value("ProductName", "Calorix");
  rc += value("ProductVersion", dotted);
  rc += "    END\n";
  rc += "  END\n";
  rc += "  BLOCK \"VarFileInfo\"\n";
  rc += "  BEGIN\n";
  rc += "    VALUE \"Translation\", 0x409, 1200\n";
  rc += "  END\n";
  rc += "END\n";
  return rc;
}

}  // namespace calorix::resources
