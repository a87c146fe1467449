#include "tests/support/app_fixture.h"

#include <fstream>
#include <sstream>

namespace calorix::testing {

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
