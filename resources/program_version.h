// The program's version as the build names it (CMake's project version),
// and the VERSIONINFO statement that carries it into calorix.exe.
#pragma once

#include <optional>
#include <string>

namespace calorix::resources {

// Windows shows four numbers; a three-part version gets 0 as the fourth.
struct ProgramVersion {
  int major = 0;
  int minor = 0;
  int patch = 0;
  int tweak = 0;
};

// "1.2.3" or "1.2.3.4", each part 0..65535 (a version resource holds each
// in 16 bits); nothing for any other text.
std::optional<ProgramVersion> ParseVersion(const std::string& text);

// "1.2.3.4": the form of the version strings.
std::string DottedVersion(const ProgramVersion& version);

// The resource script's VERSIONINFO statement: the numbers, and the strings
// Explorer's file properties show, in US English.
std::string VersionInfoStatement(const ProgramVersion& version);

}  // namespace calorix::resources
