// calorix.exe carries the build's version and the strings Explorer's file
// properties show, read back as Windows reads them. The program's Windows
// path comes in CALORIX_EXE; CALORIX_FILE_VERSION is the build's version in
// its four-part form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/wine/drivers/file_version.h"

namespace {

using calorix::platform::win32::ReadFileVersion;
using calorix::platform::win32::ReadVersionString;

std::string ProgramPath() {
  const char* path = std::getenv("CALORIX_EXE");
  return path ? path : "";
}

TEST(VersionInfo, NumbersAreTheBuildsVersion) {
  const std::string exe = ProgramPath();
  ASSERT_FALSE(exe.empty()) << "CALORIX_EXE names the program";
  const auto version = ReadFileVersion(exe);
  ASSERT_TRUE(version) << "no version resource in " << exe;
  EXPECT_EQ(version->fileVersion, CALORIX_FILE_VERSION);
  EXPECT_EQ(version->productVersion, CALORIX_FILE_VERSION);
  EXPECT_EQ(version->fileType, 1u) << "VFT_APP";
  EXPECT_EQ(version->translation, "040904b0") << "US English, Unicode";
}

TEST(VersionInfo, StringsNameTheProgramAndItsAuthors) {
  const std::string exe = ProgramPath();
  ASSERT_FALSE(exe.empty()) << "CALORIX_EXE names the program";
  auto text = [&](const char* name) {
    return ReadVersionString(exe, "040904b0", name).value_or("<missing>");
  };
  EXPECT_EQ(text("FileVersion"), CALORIX_FILE_VERSION);
  EXPECT_EQ(text("ProductVersion"), CALORIX_FILE_VERSION);
  EXPECT_EQ(text("ProductName"), "Calorix");
  EXPECT_EQ(text("OriginalFilename"), "calorix.exe");
  EXPECT_EQ(text("FileDescription"), "Calorix, a tray companion for the hardware monitor");
  EXPECT_EQ(text("LegalCopyright"), "Copyright (c) the Calorix authors");
  EXPECT_EQ(text("CompanyName"), "the Calorix authors");
}

}  // namespace
