// Writes the program's icons, alarm sound, manifest and resource script into
// the folder named on the command line, ready for windres. The version
// ("1.2.3", from the build) goes into the manifest and the version resource.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "resource_images.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: generate_resources <output folder> <version>\n");
    return 2;
  }
  const auto version = calorix::resources::ParseVersion(argv[2]);
  if (!version) {
    std::fprintf(stderr, "generate_resources: not a version: %s\n", argv[2]);
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "generate_resources: cannot create %s: %s\n", folder.string().c_str(),
                 error.message().c_str());
    return 1;
  }
  for (const auto& file : calorix::resources::AllFiles(*version)) {
    const std::filesystem::path path = folder / file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.contents.data()),
              static_cast<std::streamsize>(file.contents.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "generate_resources: cannot write %s\n", path.string().c_str());
      return 1;
    }
  }
  return 0;
}
