// What the program relies on of the platform, checked the same way on every
// backend. When a case passes on Windows (or Wine) and fails on the
// simulated desktop, the simulation is what needs fixing.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/contract/contract_desktop.h"

namespace calorix::contract {
namespace {

using platform::WindowHandle;

constexpr int kBuffer = 255;

class PlatformContract : public ::testing::Test {
 protected:
  void SetUp() override { desktop_ = MakeContractDesktop(); }
  void TearDown() override {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) desktop_->Destroy(*it);
    desktop_->RemoveRegistryKey(kRegistryPath);
    platform().settings.DeleteAll();
  }
  platform::Platform& platform() { return desktop_->Platform(); }
  platform::WindowManager& windows() { return platform().windows; }
  WindowHandle TopLevel(const std::string& title) {
    created_.push_back(desktop_->CreateTopLevel(title));
    return created_.back();
  }
  WindowHandle Child(WindowHandle parent, const char* className, const std::string& text) {
    return desktop_->CreateChild(parent, className, text);
  }

  static constexpr char kRegistryPath[] = "Software\\CalorixContractTest\\Registry";
  std::unique_ptr<ContractDesktop> desktop_;
  std::vector<WindowHandle> created_;
};

TEST_F(PlatformContract, FindsATopLevelWindowByItsExactTitle) {
  const WindowHandle window = TopLevel("Calorix Contract Probe");
  EXPECT_NE(window, 0);
  EXPECT_EQ(windows().FindTopLevelWindow("Calorix Contract Probe"), window);
  EXPECT_EQ(windows().FindTopLevelWindow("CALORIX contract probe"), window);  // case is ignored
  EXPECT_EQ(windows().FindTopLevelWindow("Calorix Contract"), 0);
  EXPECT_EQ(windows().FindTopLevelWindow("Calorix  Contract Probe"), 0);    // blanks are not
  windows().ShowWindow(window, platform::ShowCommand::Hide);
  EXPECT_EQ(windows().FindTopLevelWindow("Calorix Contract Probe"), window);  // hidden still found
}

TEST_F(PlatformContract, EnumeratesNestedDescendantsDepthFirst) {
  const WindowHandle top = TopLevel("Calorix Contract Tree");
  const WindowHandle a = Child(top, "Static", "a");
  const WindowHandle group = Child(top, "Button", "group");
  const WindowHandle g1 = Child(group, "Static", "g1");
  const WindowHandle g2 = Child(group, "Static", "g2");
  const WindowHandle b = Child(top, "Static", "b");

  std::vector<std::string> order;
  windows().EnumerateDescendants(top, [&](WindowHandle window) {
    order.push_back(windows().WindowText(window, kBuffer));
    return true;
  });
  EXPECT_EQ(order, (std::vector<std::string>{"a", "group", "g1", "g2", "b"}));

  int visited = 0;
  windows().EnumerateDescendants(top, [&](WindowHandle) { return ++visited < 2; });
  EXPECT_EQ(visited, 2);  // false stops the walk

  EXPECT_EQ(windows().FirstChild(top), a);
  EXPECT_EQ(windows().NextSibling(a), group);
  EXPECT_EQ(windows().FirstChild(group), g1);
  EXPECT_EQ(windows().NextSibling(g2), 0);
  EXPECT_EQ(windows().NextSibling(group), b);
  EXPECT_TRUE(windows().IsChild(top, g2));
  EXPECT_TRUE(windows().IsChild(group, g1));
  EXPECT_FALSE(windows().IsChild(group, b));
  EXPECT_FALSE(windows().IsChild(g1, top));
  EXPECT_EQ(windows().ClassName(g1, kBuffer), "Static");
}

TEST_F(PlatformContract, TextsAreCutAt254CharactersAndAtANul) {
  const WindowHandle top = TopLevel("Calorix Contract Texts");
  const WindowHandle longText = Child(top, "Static", std::string(300, 'x'));
  const WindowHandle withNul = Child(top, "Static", std::string("12\0junk", 7));
  const WindowHandle blanks = Child(top, "Static", " 1.52 ");
  EXPECT_EQ(windows().WindowText(longText, kBuffer), std::string(254, 'x'));
  EXPECT_EQ(windows().WindowText(withNul, kBuffer), "12");
  EXPECT_EQ(windows().WindowText(blanks, kBuffer), " 1.52 ");
  EXPECT_EQ(windows().WindowText(top, kBuffer), "Calorix Contract Texts");
}

TEST_F(PlatformContract, AGoneWindowReadsEmptyAndIsNoLongerFound) {
  const WindowHandle top = desktop_->CreateTopLevel("Calorix Contract Gone");
  const WindowHandle child = Child(top, "Static", "x");
  desktop_->Destroy(top);
  EXPECT_FALSE(windows().IsWindow(top));
  EXPECT_EQ(windows().WindowText(child, kBuffer), "");
  EXPECT_EQ(windows().FindTopLevelWindow("Calorix Contract Gone"), 0);
  EXPECT_FALSE(windows().IsChild(top, child));
  EXPECT_EQ(windows().GetWindowRect(top), std::nullopt);
}

TEST_F(PlatformContract, MovesShowsAndMinimisesWindows) {
  const WindowHandle top = TopLevel("Calorix Contract Move");
  const WindowHandle child = Child(top, "Static", "x");
  ASSERT_TRUE(windows().MoveWindow(top, 50, 60, 300, 200, true));
  EXPECT_EQ(windows().GetWindowRect(top), (platform::Rect{50, 60, 350, 260}));
  ASSERT_TRUE(windows().MoveWindow(child, 10, 20, 30, 40, true));
  const auto childRect = windows().GetWindowRect(child);
  ASSERT_TRUE(childRect);
  EXPECT_EQ(childRect->Width(), 30);
  EXPECT_EQ(childRect->Height(), 40);
  EXPECT_GE(childRect->left, 50 + 10);  // relative to the parent's client area
  EXPECT_GE(childRect->top, 60 + 20);

  windows().ShowWindow(top, platform::ShowCommand::Hide);
  EXPECT_FALSE(windows().IsVisible(top));
  windows().ShowWindow(top, platform::ShowCommand::ShowMinimized);
  EXPECT_TRUE(windows().IsIconic(top));
  windows().ShowWindow(top, platform::ShowCommand::ShowNormal);
  EXPECT_FALSE(windows().IsIconic(top));
  EXPECT_TRUE(windows().IsVisible(top));
}

// The per-window DPI calls exist on the systems we run on (Windows 10 1607
// and later, Wine 8): geometry inside a window's own awareness is what the
// window was given, and the thread's awareness comes back afterwards.
TEST_F(PlatformContract, AWindowsDpiAwarenessIsAdoptedAndGivenBack) {
  const WindowHandle top = desktop_->CreateTopLevel("Calorix Contract Dpi");
  const platform::DpiAwarenessToken previous = windows().AdoptWindowDpiAwareness(top);
  EXPECT_NE(previous, 0);
  ASSERT_TRUE(windows().MoveWindow(top, 40, 30, 200, 100, true));
  EXPECT_EQ(windows().GetWindowRect(top), (platform::Rect{40, 30, 240, 130}));
  windows().RestoreThreadDpiAwareness(previous);
  EXPECT_EQ(windows().GetWindowRect(top), (platform::Rect{40, 30, 240, 130}));

  desktop_->Destroy(top);
  EXPECT_EQ(windows().AdoptWindowDpiAwareness(top), 0);  // a gone window changes nothing
}

TEST_F(PlatformContract, SystemMenuItemsCanBeRemoved) {
  const WindowHandle top = TopLevel("Calorix Contract Menu");
  const auto before = windows().SystemMenuItemCount(top);
  ASSERT_TRUE(before);
  ASSERT_GE(*before, 3);
  EXPECT_TRUE(windows().RemoveSystemMenuItem(top, *before - 1));
  EXPECT_TRUE(windows().DrawMenuBar(top));
  EXPECT_EQ(windows().SystemMenuItemCount(top), *before - 1);
  const WindowHandle child = Child(top, "Static", "x");
  EXPECT_EQ(windows().SystemMenuItemCount(child), std::nullopt);
}

TEST_F(PlatformContract, APostedCloseRequestClosesAnOrdinaryWindow) {
  const WindowHandle top = desktop_->CreateTopLevel("Calorix Contract Close");
  EXPECT_TRUE(windows().PostCloseRequest(top));
  for (int round = 0; round < 20 && windows().IsWindow(top); ++round)
    platform().process.WaitForEvents(10);
  EXPECT_FALSE(windows().IsWindow(top));
  EXPECT_FALSE(windows().PostCloseRequest(top));
}

TEST_F(PlatformContract, SettingsAreWrittenReadAndDeletedTogether) {
  auto& settings = platform().settings;
  EXPECT_EQ(settings.Read("Startup", "Version"), std::nullopt);
  EXPECT_TRUE(settings.Write("Startup", "Version", "44"));
  EXPECT_TRUE(settings.Write("VIA HWM", "HWMLeft", "-100"));
  EXPECT_TRUE(settings.Write("Startup", "Alarm", ""));
  EXPECT_TRUE(settings.Write("Startup", "Version", "45"));
  EXPECT_EQ(settings.Read("Startup", "Version"), "45");
  EXPECT_EQ(settings.Read("VIA HWM", "HWMLeft"), "-100");
  EXPECT_EQ(settings.Read("Startup", "Alarm"), "");
  EXPECT_EQ(settings.Read("VIA HWM", "Version"), std::nullopt);
  EXPECT_TRUE(settings.DeleteAll());
  EXPECT_EQ(settings.Read("Startup", "Version"), std::nullopt);
  EXPECT_EQ(settings.Read("VIA HWM", "HWMLeft"), std::nullopt);
  EXPECT_TRUE(settings.DeleteAll());  // nothing left to delete is no failure
}

TEST_F(PlatformContract, RegistryValuesAreReadInTwoSteps) {
  desktop_->PutRegistryValue(kRegistryPath, "Present", std::string("hello\0", 6));
  desktop_->PutRegistryValue(kRegistryPath, "Unterminated", "abc");
  auto& registry = platform().registry;
  EXPECT_EQ(registry.OpenKey(platform::RegistryRoot::CurrentUser, "Software\\CalorixContractTest\\None"),
            std::nullopt);
  const auto key = registry.OpenKey(platform::RegistryRoot::CurrentUser, kRegistryPath);
  ASSERT_TRUE(key);

  const auto size = registry.QueryValue(*key, "Present", 0);
  EXPECT_EQ(size.status, platform::kRegOk);
  EXPECT_EQ(size.type, platform::kRegSz);
  EXPECT_EQ(size.size, 6u);
  const auto value = registry.QueryValue(*key, "Present", size.size);
  EXPECT_EQ(value.status, platform::kRegOk);
  EXPECT_EQ(value.data.substr(0, 5), "hello");
  EXPECT_EQ(registry.QueryValue(*key, "Present", 2).status, platform::kRegMoreData);

  // A text stored without its NUL reads back whole; the system may add one.
  const auto unterminatedSize = registry.QueryValue(*key, "Unterminated", 0);
  ASSERT_GE(unterminatedSize.size, 3u);
  const auto unterminated = registry.QueryValue(*key, "Unterminated", unterminatedSize.size);
  EXPECT_EQ(unterminated.data.substr(0, 3), "abc");
  EXPECT_EQ(unterminated.data.find_first_not_of('\0', 3), std::string::npos);

  EXPECT_EQ(registry.QueryValue(*key, "Missing", 0).status, platform::kRegFileNotFound);
  EXPECT_TRUE(registry.CloseKey(*key));
  EXPECT_FALSE(registry.ErrorDescription(platform::kRegAccessDenied).empty());
}

// Paths are UTF-8 at the seam, whatever the ANSI code page: a working folder
// and a registry path named outside it come and go unchanged ("Ж" is in no
// Western code page, the last letter is outside the 16-bit range).
TEST_F(PlatformContract, PathsOutsideTheAnsiCodePageComeAndGoUnchanged) {
  const std::string name = "acc-uni \xD0\x96\xC3\xA9 \xF0\x9F\x8C\xA1";
  desktop_->WorkInNewFolder(name);
  auto& files = platform().files;
  const std::string folder = files.CurrentDirectory();
  ASSERT_TRUE(folder.ends_with(name)) << folder;
  EXPECT_TRUE(files.Exists(folder));
  EXPECT_TRUE(files.Append("contract.txt", "1\r\n"));
  EXPECT_EQ(files.ReadAll(folder + "\\contract.txt"), "1\r\n");
  EXPECT_EQ(files.Size(folder + "\\contract.txt"), 3u);
  EXPECT_TRUE(files.Append("contract.txt", "23\r\n"));
  EXPECT_EQ(files.ReadRange("contract.txt", 3, 2), "23");
  EXPECT_EQ(files.ReadRange("contract.txt", 4, 100), "3\r\n");
  EXPECT_EQ(files.ReadRange("contract.txt", 7, 10), "");
  EXPECT_EQ(files.ReadRange("contract.txt", 1000, 10), "");
  EXPECT_EQ(files.ReadRange("missing.txt", 0, 10), std::nullopt);
  EXPECT_TRUE(files.Delete("contract.txt"));
  EXPECT_FALSE(files.Exists(folder + "\\contract.txt"));

  desktop_->PutRegistryValue(kRegistryPath, "Folder", folder + std::string(1, '\0'));
  auto& registry = platform().registry;
  const auto key = registry.OpenKey(platform::RegistryRoot::CurrentUser, kRegistryPath);
  ASSERT_TRUE(key);
  const auto size = registry.QueryValue(*key, "Folder", 0);
  const auto value = registry.QueryValue(*key, "Folder", size.size);
  EXPECT_EQ(value.data, folder + std::string(1, '\0'));
  EXPECT_TRUE(registry.CloseKey(*key));
}

TEST_F(PlatformContract, BackgroundWorkRunsOnAnotherThreadAndItsDoneOnThisOneFromTheLoop) {
  auto& process = platform().process;
  const auto main = std::this_thread::get_id();
  std::thread::id worker;
  std::atomic<bool> worked = false;
  bool workedBeforeDone = false;
  int done = 0;
  process.RunInBackground(
      [&] {
        worker = std::this_thread::get_id();
        worked = true;
      },
      [&] {
        EXPECT_EQ(std::this_thread::get_id(), main);
        workedBeforeDone = worked;
        ++done;
      });
  EXPECT_EQ(done, 0);  // never from inside the call
  for (int round = 0; round < 600 && done == 0; ++round) process.WaitForEvents(50);
  EXPECT_EQ(done, 1);
  EXPECT_TRUE(workedBeforeDone);
  EXPECT_NE(worker, main);
  process.ProcessPendingEvents();
  EXPECT_EQ(done, 1);
}

TEST_F(PlatformContract, TheClockMovesOnAndTimersFire) {
  auto& process = platform().process;
  auto& clock = platform().clock;
  const std::uint64_t start = clock.MonotonicMs();
  int ticks = 0;
  const platform::TimerId timer = process.CreateTimer([&] { ++ticks; });
  process.SetTimer(timer, 20, true);
  while (ticks < 2 && clock.MonotonicMs() - start < 3000) process.WaitForEvents(50);
  EXPECT_GE(ticks, 2);
  EXPECT_GE(clock.MonotonicMs() - start, 20u);
  process.SetTimer(timer, 20, false);
  const int stopped = ticks;
  const std::uint64_t pause = clock.MonotonicMs();
  while (clock.MonotonicMs() - pause < 100) process.WaitForEvents(20);
  EXPECT_EQ(ticks, stopped);
  process.DestroyTimer(timer);

  const auto now = clock.Now();
  EXPECT_GE(now.year, 2000);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_FALSE(platform().locale.DecimalSeparator().empty());
}

}  // namespace
}  // namespace calorix::contract
