#include "tests/support/app_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace calorix::testing {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool AppTest::Start() {
  app = std::make_unique<App>(desktop.Platform(), host);
  Do([&] { app->Start(); });
  return !ended;
}

void AppTest::Do(const std::function<void()>& action) {
  if (ended) return;
  try {
    action();
  } catch (const sim::ProgramEnded& end) {
    ended = true;
    exitCode = end.exitCode;
  }
}

void AppTest::Advance(std::uint64_t ms) { Do([&] { desktop.Advance(ms); }); }

std::string AppTest::FileText(const std::string& name) {
  std::ifstream file(desktop.CurrentDirectoryPath() / name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool AppTest::FileExists(const std::string& name) {
  return std::filesystem::exists(desktop.CurrentDirectoryPath() / name);
}

std::string AppTest::Tip() {
  const platform::TrayRecord* icon = TrayIcon();
  if (icon == nullptr) return {};
  return icon->szTip.substr(0, icon->szTip.find('\0'));
}

const platform::TrayRecord* AppTest::TrayIcon() {
  for (const auto& [id, record] : desktop.TrayIcons()) return &record;
  return nullptr;
}

int AppTest::MessageBoxesWithText(const std::string& text) {
  int count = 0;
  for (const auto& box : desktop.MessageBoxes()) count += box.text == text;
  return count;
}

}  // namespace calorix::testing
