// The Calorix setup in a fresh prefix, step by step as a user lives with it:
// a silent install, Calorix started from its Start-menu shortcut, a silent
// install over it while it runs, one that cannot replace the program as it
// is in use, and a silent uninstall while Calorix runs. Each step builds on
// the one before, so the tests run in the order written and a step after a
// failed one is skipped.
//
// The environment variable CALORIX_SETUP names the setup program (a Windows
// path); the build defines CALORIX_VERSION, the version it installs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/wine/drivers/desktop_driver.h"
#include "tests/wine/drivers/file_version.h"
#include "tests/wine/drivers/shell_links.h"
#include "platform/win32/win32_internal.h"

namespace calorix {
namespace {

namespace drive = platform::win32::driver;
namespace win32 = platform::win32;
using platform::WindowHandle;
using win32::KnownFolder;
using win32::KnownFolderPath;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Calorix";
constexpr char kFormClass[] = "CalorixForm";
constexpr int kLong = 20'000;
// A setup or an uninstall, from its start to its end.
constexpr int kSetupTime = 120'000;

std::string InstallFolder() { return KnownFolderPath(KnownFolder::kLocalAppData) + "\\Programs\\Calorix"; }
std::string InstalledProgram() { return InstallFolder() + "\\calorix.exe"; }
std::string DataFolder() { return KnownFolderPath(KnownFolder::kDocuments) + "\\Calorix"; }
std::string RecordFile() { return DataFolder() + "\\Calorix_Rec.txt"; }
std::string MenuShortcut() { return KnownFolderPath(KnownFolder::kPrograms) + "\\Calorix.lnk"; }
std::string StartupShortcut() { return KnownFolderPath(KnownFolder::kStartup) + "\\Calorix.lnk"; }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Windows paths name the same file whatever their letters' case.
::testing::AssertionResult SamePath(const std::string& actual, const std::string& expected) {
  if (Lower(actual) == Lower(expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "[" << actual << "] is not [" << expected << "]";
}

bool FileExists(const std::string& path) { return static_cast<bool>(std::ifstream(path)); }

int RecordLines(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  const std::string records = text.str();
  return static_cast<int>(std::count(records.begin(), records.end(), '\n'));
}

// The uninstall entry's values, as Windows' list of programs reads them.
class UninstallEntry {
 public:
  bool Exists() {
    const auto key = registry_.OpenKey(platform::RegistryRoot::CurrentUser, kUninstallKey);
    if (key) registry_.CloseKey(*key);
    return key.has_value();
  }
  std::optional<std::string> Text(const char* name) {
    const auto value = Query(name);
    if (!value || value->type != platform::kRegSz) return std::nullopt;
    return value->data.substr(0, value->data.find('\0'));
  }
  std::optional<std::uint32_t> Number(const char* name) {
    const auto value = Query(name);
    if (!value || value->type != platform::kRegDword || value->data.size() != 4) return std::nullopt;
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(value->data[i]);
    return number;
  }

 private:
  std::optional<platform::RegistryQuery> Query(const char* name) {
    const auto key = registry_.OpenKey(platform::RegistryRoot::CurrentUser, kUninstallKey);
    if (!key) return std::nullopt;
    auto value = registry_.QueryValue(*key, name, 4096);
    registry_.CloseKey(*key);
    if (value.status != platform::kRegOk) return std::nullopt;
    value.data.resize(std::min<std::size_t>(value.size, value.data.size()));
    return value;
  }
  win32::Win32Registry registry_;
};

class Installer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { earlierStepFailed_ = false; }
  void SetUp() override {
    if (earlierStepFailed_) GTEST_SKIP() << "an earlier step failed";
    const char* setup = std::getenv("CALORIX_SETUP");
    ASSERT_NE(setup, nullptr) << "CALORIX_SETUP is not set";
    setup_ = setup;
  }
  void TearDown() override {
    if (HasFailure()) earlierStepFailed_ = true;
  }

  // Runs the setup silently and waits for its end.
  void InstallSilently() {
    const auto exitCode = drive::RunToEnd("\"" + setup_ + "\" /S", "", kSetupTime);
    ASSERT_TRUE(exitCode) << "the setup did not end";
    EXPECT_EQ(*exitCode, 0u);
  }

  // Starts Calorix as its Start-menu shortcut does and waits until it has
  // taken the monitor over; its main window.
  WindowHandle StartFromShortcut() {
    const auto link = win32::ReadShellLink(MenuShortcut());
    EXPECT_TRUE(link) << MenuShortcut();
    if (!link) return 0;
    EXPECT_TRUE(drive::Start("\"" + link->target + "\"", link->workingFolder));
    const WindowHandle form1 = drive::WaitForWindow("Calorix", kLong, kFormClass);
    EXPECT_NE(form1, 0) << "Calorix did not start";
    const WindowHandle monitor = drive::WaitForWindow("VIA HWM", kLong);
    EXPECT_NE(monitor, 0) << "no monitor";
    EXPECT_TRUE(drive::WaitForTakeOver(monitor, kLong)) << "the monitor was not taken over";
    return form1;
  }

  // Only Calorix's exit sequence writes this setting back from its interval
  // box, which holds what the setting said at the start (".1", written back
  // as the program writes numbers).
  void MarkForTheExitSequence() { settings_.Write("Startup", "RecDelay", "99"); }
  void ExpectAnOrderlyEnd() {
    EXPECT_TRUE(drive::WaitUntil([] { return drive::FindTopLevel("Calorix", kFormClass) == 0; }, kLong))
        << "Calorix did not end";
    EXPECT_TRUE(drive::WaitForWindowGone("VIA HWM", kLong)) << "the monitor was not closed";
    const auto interval = settings_.Read("Startup", "RecDelay");
    EXPECT_TRUE(interval && *interval != "99")
        << "the exit sequence did not write the interval back: " << interval.value_or("<none>");
  }

  static bool earlierStepFailed_;
  std::string setup_;
  win32::Win32SettingsBackend settings_;
  UninstallEntry entry_;
};

bool Installer::earlierStepFailed_ = false;

// What Explorer's file properties show of the setup program.
TEST_F(Installer, TheSetupCarriesTheVersionAndItsAuthors) {
  const auto version = win32::ReadFileVersion(setup_);
  ASSERT_TRUE(version) << "no version resource in " << setup_;
  EXPECT_EQ(version->productVersion.rfind(CALORIX_VERSION ".", 0), 0u) << version->productVersion;
  auto text = [&](const char* name) {
    return win32::ReadVersionString(setup_, version->translation, name).value_or("<missing>");
  };
  EXPECT_EQ(text("ProductName"), "Calorix");
  EXPECT_EQ(text("ProductVersion"), CALORIX_VERSION);
  EXPECT_EQ(text("CompanyName"), "the Calorix authors");
}

// Wine reports the Windows version named in this setting to the programs
// started while it is set.
class ScopedWineVersion {
 public:
  explicit ScopedWineVersion(const char* version) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "Version", REG_SZ, version,
                    static_cast<DWORD>(std::strlen(version) + 1));
  }
  ~ScopedWineVersion() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "Version"); }

 private:
  static constexpr char kKey[] = "Software\\Wine";
};

// On 64-bit Windows XP (5.2), older than the 64-bit program's Vista, the
// setup says so and installs nothing.
TEST_F(Installer, AWindowsOlderThanTheProgramsIsRefused) {
  std::uint32_t setup = 0;
  {
    const ScopedWineVersion xp64("winxp64");
    setup = drive::StartProcess("\"" + setup_ + "\"", "");
    ASSERT_NE(setup, 0u);
    const char* title = "Calorix " CALORIX_VERSION " Setup";
    const auto text = drive::MessageBoxText(title, kLong);
    ASSERT_TRUE(text) << "the setup did not refuse";
    EXPECT_EQ(*text, "Calorix needs Windows Vista or later on 64-bit Windows.");
    ASSERT_TRUE(drive::AnswerMessageBox(title, IDOK, kLong));
  }
  EXPECT_TRUE(drive::WaitUntil([setup] { return !drive::Running(setup); }, kLong));
  EXPECT_FALSE(entry_.Exists());
}

TEST_F(Installer, SilentInstallPutsTheProgramShortcutsAndUninstallEntryInPlace) {
  ASSERT_FALSE(entry_.Exists()) << "the prefix is not fresh";
  InstallSilently();

  const std::string folder = InstallFolder();
  EXPECT_EQ(win32::ProgramMachine(InstalledProgram()), win32::kMachineAmd64)
      << "not the 64-bit calorix.exe on 64-bit Windows";
  EXPECT_TRUE(FileExists(folder + "\\LICENSE"));
  EXPECT_TRUE(FileExists(folder + "\\uninstall.exe"));
  EXPECT_TRUE(win32::FolderExists(DataFolder()));
  for (const std::string& shortcut : {MenuShortcut(), StartupShortcut()}) {
    SCOPED_TRACE(shortcut);
    const auto link = win32::ReadShellLink(shortcut);
    ASSERT_TRUE(link) << "no shortcut";
    EXPECT_TRUE(SamePath(link->target, InstalledProgram()));
    EXPECT_TRUE(SamePath(link->workingFolder, DataFolder()));
  }

  ASSERT_TRUE(entry_.Exists());
  const std::string uninstaller = "\"" + folder + "\\uninstall.exe\"";
  EXPECT_EQ(entry_.Text("DisplayName"), "Calorix");
  EXPECT_EQ(entry_.Text("DisplayVersion"), CALORIX_VERSION);
  EXPECT_EQ(entry_.Text("Publisher"), "the Calorix authors");
  EXPECT_TRUE(SamePath(entry_.Text("DisplayIcon").value_or(""), InstalledProgram() + ",0"));
  EXPECT_TRUE(SamePath(entry_.Text("InstallLocation").value_or(""), folder));
  EXPECT_TRUE(SamePath(entry_.Text("UninstallString").value_or(""), uninstaller));
  EXPECT_TRUE(SamePath(entry_.Text("QuietUninstallString").value_or(""), uninstaller + " /S"));
  EXPECT_EQ(entry_.Number("NoModify"), 1u);
  EXPECT_EQ(entry_.Number("NoRepair"), 1u);
  // In KB: at least the installed calorix.exe, the whole far less than ten
  // megabytes.
  const auto size = entry_.Number("EstimatedSize");
  ASSERT_TRUE(size) << "no EstimatedSize as a number";
  std::ifstream program(InstalledProgram(), std::ios::binary | std::ios::ate);
  ASSERT_TRUE(program) << "calorix.exe cannot be read";
  EXPECT_GE(*size, static_cast<std::uint64_t>(program.tellg()) / 1024);
  EXPECT_LT(*size, 10'000u);
}

TEST_F(Installer, CalorixStartedFromTheShortcutRecordsIntoTheDataFolder) {
  // A returning user who records every tenth of a minute.
  drive::SetReturningUser(settings_);
  settings_.Write("Startup", "Record", "1");
  settings_.Write("Startup", "RecDelay", ".1");
  ASSERT_NE(StartFromShortcut(), 0);
  EXPECT_TRUE(drive::WaitUntil([] { return RecordLines(RecordFile()) >= 2; }, 30'000))
      << "no records in " << RecordFile();
}

TEST_F(Installer, InstallingOverARunningCalorixEndsItAndKeepsSettingsAndRecords) {
  ASSERT_NE(drive::FindTopLevel("Calorix", kFormClass), 0) << "Calorix is not running";
  settings_.Write("Installer", "Kept", "yes");
  MarkForTheExitSequence();
  const int records = RecordLines(RecordFile());
  const auto written = win32::LastWriteTime(InstalledProgram());
  ASSERT_TRUE(written);

  InstallSilently();
  ExpectAnOrderlyEnd();
  EXPECT_EQ(settings_.Read("Installer", "Kept"), "yes");
  EXPECT_EQ(settings_.Read("Startup", "Version"), "44");
  EXPECT_GE(RecordLines(RecordFile()), records) << "the records were not kept";
  // The setup stores no file times: a program it writes is as new as the write.
  EXPECT_GT(win32::LastWriteTime(InstalledProgram()).value_or(0), *written) << "not replaced";
  EXPECT_EQ(win32::ProgramMachine(InstalledProgram()), win32::kMachineAmd64);
  EXPECT_TRUE(FileExists(StartupShortcut())) << "starting at log-on was chosen before";
  EXPECT_TRUE(SamePath(entry_.Text("InstallLocation").value_or(""), InstallFolder()));

  // The new program starts as the old one did.
  EXPECT_NE(StartFromShortcut(), 0);
}

// A second copy of Calorix that stays on its "already loaded" message box
// has no main window to close: its program file stays in use, and a silent
// setup gives up without changing a file.
TEST_F(Installer, ASetupThatCannotReplaceTheProgramChangesNothing) {
  const auto link = win32::ReadShellLink(MenuShortcut());
  ASSERT_TRUE(link);
  ASSERT_NE(drive::StartProcess("\"" + link->target + "\"", link->workingFolder), 0u);
  ASSERT_TRUE(drive::MessageBoxText("Calorix", kLong)) << "the second copy did not say so";
  const auto written = win32::LastWriteTime(InstalledProgram());
  ASSERT_TRUE(written);

  const auto exitCode = drive::RunToEnd("\"" + setup_ + "\" /S", "", kSetupTime);
  ASSERT_TRUE(exitCode) << "the setup did not end";
  EXPECT_EQ(*exitCode, 2u) << "the setup did not give up";
  EXPECT_EQ(win32::LastWriteTime(InstalledProgram()), written) << "calorix.exe was written";
  EXPECT_TRUE(entry_.Exists());

  ASSERT_TRUE(drive::AnswerMessageBox("Calorix", 1, kLong));
  EXPECT_TRUE(drive::WaitUntil([] { return !drive::MessageBoxText("Calorix", 0); }, kLong));
  EXPECT_NE(StartFromShortcut(), 0);
}

TEST_F(Installer, UninstallingWhileCalorixRunsEndsItAndKeepsRecordsAndSettings) {
  ASSERT_NE(drive::FindTopLevel("Calorix", kFormClass), 0) << "Calorix is not running";
  MarkForTheExitSequence();
  const auto uninstall = entry_.Text("QuietUninstallString");
  ASSERT_TRUE(uninstall);
  // The uninstaller runs on from a copy of itself and the program started
  // here ends at once: what counts is what is left when it is done.
  ASSERT_TRUE(drive::Start(*uninstall, ""));
  EXPECT_TRUE(drive::WaitUntil(
      [this] { return !entry_.Exists() && !win32::FolderExists(InstallFolder()); }, kSetupTime))
      << "the uninstall did not finish";

  ExpectAnOrderlyEnd();
  EXPECT_FALSE(FileExists(InstalledProgram()));
  EXPECT_FALSE(FileExists(MenuShortcut()));
  EXPECT_FALSE(FileExists(StartupShortcut()));
  EXPECT_GE(RecordLines(RecordFile()), 2) << "the records were not kept";
  EXPECT_EQ(settings_.Read("Startup", "Version"), "44") << "the settings were not kept";
  EXPECT_EQ(settings_.Read("Installer", "Kept"), "yes");
}

}  // namespace
}  // namespace calorix
