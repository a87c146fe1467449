#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "monitor/monitor_locator.h"
#include "monitor/registry_text.h"
#include "platform/sim/sim_desktop.h"
#include "tests/support/sim_monitor.h"

namespace calorix::monitor {
namespace {

using platform::MessageIcon;
using platform::RegistryRoot;

constexpr char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VIAhm";

class RegistryTextTest : public ::testing::Test {
 protected:
  std::string Read(std::string_view root = "HKEY_LOCAL_MACHINE") {
    return ReadRegistryText(desktop_, desktop_, root, kKey, "UninstallString", type_);
  }
  void Put(std::string bytes) {
    desktop_.PutRegistryValue(RegistryRoot::LocalMachine, kKey, "UninstallString", platform::kRegSz,
                              std::move(bytes));
  }

  sim::SimDesktop desktop_;
  std::int32_t type_ = 0;
};

TEST_F(RegistryTextTest, ReadsAValueWithOrWithoutItsTerminatingNul) {
  Put(std::string("C:\\x\0", 5));
  EXPECT_EQ(Read(), "C:\\x");
  EXPECT_EQ(type_, platform::kRegSz);
  Put("C:\\unterminated");
  EXPECT_EQ(Read(), "C:\\unterminated");
  EXPECT_TRUE(desktop_.MessageBoxes().empty());
  EXPECT_EQ(desktop_.OpenRegistryKeys(), 0);
}

TEST_F(RegistryTextTest, AValueThatGrowsBetweenTheTwoQueriesIsReadWhole) {
  Put(std::string("C:\\x\0", 5));
  desktop_.AfterNextSizeQuery([this] { Put(std::string("C:\\longer\\folder\0", 17)); });
  EXPECT_EQ(Read(), "C:\\longer\\folder");
  EXPECT_TRUE(desktop_.MessageBoxes().empty());
  EXPECT_EQ(desktop_.OpenRegistryKeys(), 0);
}

TEST_F(RegistryTextTest, AMissingKeyValueOrEmptyValueReadsEmptyWithoutAMessage) {
  EXPECT_EQ(Read(), "");  // no key
  desktop_.PutRegistryValue(RegistryRoot::LocalMachine, kKey, "DisplayName", platform::kRegSz, "x");
  EXPECT_EQ(Read(), "");  // key without the value
  Put("");
  EXPECT_EQ(Read(), "");  // empty value
  EXPECT_NE(type_, -1);
  EXPECT_TRUE(desktop_.MessageBoxes().empty());
  EXPECT_EQ(desktop_.OpenRegistryKeys(), 0);
}

TEST_F(RegistryTextTest, AnyOtherRootNameSelectsNoRoot) {
  Put("value");
  EXPECT_EQ(Read("HKEY_CURRENT_USER"), "");
  EXPECT_EQ(Read("hkey_local_machine"), "");
}

TEST_F(RegistryTextTest, AnUnexpectedErrorIsReportedAndReadsEmpty) {
  Put("value");
  desktop_.FailNextRegistryQuery(platform::kRegAccessDenied);
  EXPECT_EQ(Read(), "");
  EXPECT_EQ(type_, -1);
  ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
  const auto& box = desktop_.MessageBoxes()[0];
  EXPECT_EQ(box.text, "5>  Access is denied.");
  EXPECT_EQ(box.title, "Registry Read Error");
  EXPECT_EQ(box.icon, MessageIcon::Critical);
  EXPECT_EQ(desktop_.OpenRegistryKeys(), 0);
}

TEST_F(RegistryTextTest, AFailedCloseMarksTheTypeButKeepsTheText) {
  Put("value");
  desktop_.FailRegistryClose(true);
  EXPECT_EQ(Read(), "value");
  EXPECT_EQ(type_, -1);
}

TEST(InstallFolder, IsCutOutOfTheUninstallString) {
  EXPECT_EQ(InstallFolderFromUninstallString(testing::kUninstallString), testing::kMonitorFolder);
  EXPECT_EQ(InstallFolderFromUninstallString("C:\\Un.exe -f \"D:\\HWM\\Uninst.isu\" "), "D:\\HWM\\");
  // Without "-f" only the first character goes.
  EXPECT_EQ(InstallFolderFromUninstallString("XD:\\HWM\\Uninst.isu"), "D:\\HWM\\");
  // The log name is removed only in its exact spelling.
  EXPECT_EQ(InstallFolderFromUninstallString("u.exe -f\"D:\\HWM\\uninst.isu\""), "D:\\HWM\\uninst.isu");
  EXPECT_EQ(InstallFolderFromUninstallString(""), "");
  EXPECT_EQ(InstallFolderFromUninstallString("x"), "");
  EXPECT_EQ(InstallFolderFromUninstallString("u.exe -f\"Uninst.isu\""), "");
}

class LocatorTest : public ::testing::Test {
 protected:
  sim::SimDesktop desktop_;
  testing::SimMonitor monitor_{desktop_};
};

TEST_F(LocatorTest, GetPathFindsTheInstallFolder) {
  testing::InstallMonitorEntry(desktop_);
  EXPECT_EQ(GetPath(desktop_.Platform()), testing::kMonitorFolder);
  EXPECT_TRUE(desktop_.MessageBoxes().empty());
}

TEST_F(LocatorTest, GetPathWithoutAnEntryShowsOneNotFoundMessage) {
  EXPECT_EQ(GetPath(desktop_.Platform()), "");
  ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
  const auto& box = desktop_.MessageBoxes()[0];
  EXPECT_EQ(box.text, "VIA HWM not found!");
  EXPECT_EQ(box.title, "VIA HWM Folder Check");
  EXPECT_EQ(box.icon, MessageIcon::Information);
  EXPECT_TRUE(box.systemModal);
  EXPECT_TRUE(box.setForeground);
}

TEST_F(LocatorTest, FindsTheMonitorByItsExactTitle) {
  desktop_.CreateTopLevel("VIA HWM 2");
  desktop_.CreateTopLevel("VIA  HWM");
  EXPECT_EQ(FindMonitorWindow(desktop_), 0);
  const auto main = monitor_.Start();
  EXPECT_EQ(FindMonitorWindow(desktop_), main);
}

TEST_F(LocatorTest, LaunchStartsTheMonitorInItsFolderAndWaitsForItsWindow) {
  testing::OnMonitorLaunch(desktop_, monitor_, 59'000);
  const auto outcome = LaunchAndWait(desktop_.Platform(), 77, testing::kMonitorFolder);
  EXPECT_EQ(outcome.result, LaunchOutcome::Result::kFound);
  EXPECT_EQ(outcome.window, monitor_.MainWindow());
  ASSERT_EQ(desktop_.ShellExecutes().size(), 1u);
  const auto& call = desktop_.ShellExecutes()[0];
  EXPECT_EQ(call.owner, 77);
  EXPECT_EQ(call.verb, "");
  EXPECT_EQ(call.file, "viahm.exe");
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.directory, testing::kMonitorFolder);
  EXPECT_EQ(call.show, platform::ShowCommand::ShowNormal);
  // Taken once its controls have stood still for half a second.
  EXPECT_LT(desktop_.MonotonicMs(), 59'600u);
}

TEST_F(LocatorTest, LaunchGivesUpAfterSixtySecondsWithoutSpinning) {
  testing::OnMonitorLaunch(desktop_, monitor_, -1);
  desktop_.SetLocalTime({2026, 12, 31, 23, 59, 40});  // the wait crosses midnight
  const auto outcome = LaunchAndWait(desktop_.Platform(), 0, "");
  EXPECT_EQ(outcome.result, LaunchOutcome::Result::kNotFound);
  EXPECT_EQ(desktop_.MonotonicMs(), 60'000u);
  // About one round per 50 ms, not a busy loop.
  EXPECT_LE(desktop_.EventPumps(), 60'000 / 50 + 5);
  EXPECT_TRUE(desktop_.MessageBoxes().empty());
}

TEST_F(LocatorTest, AWindowAppearingJustTooLateIsNotWaitedFor) {
  testing::OnMonitorLaunch(desktop_, monitor_, 60'001);
  EXPECT_EQ(LaunchAndWait(desktop_.Platform(), 0, "").result, LaunchOutcome::Result::kNotFound);
}

TEST_F(LocatorTest, EventsAreHandledWhileWaiting) {
  testing::OnMonitorLaunch(desktop_, monitor_, 5'000);
  int clicks = 0;
  desktop_.At(1'000, [&] { desktop_.Post([&] { ++clicks; }); });
  LaunchAndWait(desktop_.Platform(), 0, "");
  EXPECT_EQ(clicks, 1);
}

TEST_F(LocatorTest, FailuresOfTheLaunchCallAndOfTheWaitAreTold) {
  desktop_.OnLaunch("viahm.exe", [](const sim::ShellExecuteCall&) {
    throw std::runtime_error("launch broke");
  });
  EXPECT_EQ(LaunchAndWait(desktop_.Platform(), 0, "").result, LaunchOutcome::Result::kNotFound);

  desktop_.OnLaunch("viahm.exe", [this](const sim::ShellExecuteCall&) {
    desktop_.After(100, [] { throw std::runtime_error("Out of memory"); });
  });
  const auto outcome = LaunchAndWait(desktop_.Platform(), 0, "");
  EXPECT_EQ(outcome.result, LaunchOutcome::Result::kWaitFailed);
  EXPECT_EQ(outcome.failure, "Out of memory");
  ShowWaitFailure(desktop_, outcome.failure);
  ShowMonitorNotFound(desktop_);
  ASSERT_EQ(desktop_.MessageBoxes().size(), 2u);
  EXPECT_EQ(desktop_.MessageBoxes()[0].text, "ERROR: Out of memory");
  EXPECT_EQ(desktop_.MessageBoxes()[0].icon, MessageIcon::Critical);
  EXPECT_EQ(desktop_.MessageBoxes()[1].text, "Error: 'viahm.exe' not found!");
  EXPECT_EQ(desktop_.MessageBoxes()[1].title, "Calorix");
  EXPECT_EQ(desktop_.MessageBoxes()[1].icon, MessageIcon::Warning);
}

}  // namespace
}  // namespace calorix::monitor
