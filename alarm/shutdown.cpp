#include "alarm/shutdown.h"

#include "core/app.h"
#include "core/message_boxes.h"
#include "core/text.h"
#include "monitor/text_scraper.h"

namespace calorix::alarm {

namespace slots = monitor::slots;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string ShutdownHeaderLine(std::string_view generalDate, std::string_view reason) {
  std::string line("<");
  line.append(generalDate).append("> Shuting down on ").append(reason);
  return line;
}

std::string ShutdownReadingsLine(const monitor::MonitorTextTable& table) {
  // Control characters inside a reading become blanks: the line stays one line.
  const auto reading = [&table](int slot) { return BlankControlCharacters(table.Slot(slot)); };
  return "CPU=" + reading(slots::kCpuTemp) + " fan=" + reading(slots::kCpuFan) +
         ", Sys=" + reading(slots::kSysTemp) + " fan=" + reading(slots::kSysFan) +
         ", Vcore=" + TrimBlanks(reading(slots::kVcore)) +
         ", 3.3v=" + TrimBlanks(reading(slots::kVolts33)) +
         ", 5v=" + TrimBlanks(reading(slots::kVolts5)) + ", 12v=" + reading(slots::kVolts12);
}

Shutdown::Shutdown(App& app) : app_(app) {
  app_.form1["Command1"].onClick = [this] { ViewLog(); };
  app_.form1["Command2"].onClick = [this] { ClearLog(); };
  app_.form1["Command5"].onClick = [this] { ShutDown(std::string(kTestReason)); };
}

void Shutdown::ShutDown(const std::string& reason) {
  auto& platform = app_.platform;
  app_.pollTimer.Stop();
  platform.process.ProcessPendingEvents();
  platform.system.Beep();

  // The log is user data, written in one piece per entry. A log that cannot
  // be written must not stop the shutdown: the alarm still needs it.
  std::string entry(kLineEnd);
  entry += ShutdownHeaderLine(platform.locale.FormatGeneralDate(platform.clock.Now()), reason);
  entry += kLineEnd;
  monitor::ScrapeMonitorTexts(platform.windows, app_.table, app_.state.MonitorWindow);
  entry += ShutdownReadingsLine(app_.table);
  entry += kLineEnd;
  platform.files.Append(kShutdownLogName, entry);

  platform.windows.SetTopmost(app_.form1.Handle(), platform::ZOrder::NoTopmost);
  platform.windows.PostCloseRequest(app_.state.MonitorWindow);
  platform.process.ProcessPendingEvents();
  app_.state.pendingShutdownReason = reason;
  app_.countdown.Show();
}

void Shutdown::ViewLog() {
  auto& platform = app_.platform;
  if (const auto editor = platform.windows.FindTopLevelWindow(kLogEditorTitle)) {
    platform.windows.ShowWindow(editor, platform::ShowCommand::ShowMinimized);
    platform.windows.ShowWindow(editor, platform::ShowCommand::ShowNormal);
    return;
  }
  if (platform.files.CanOpenForReading(kShutdownLogName)) {
    // The editor by its full path: a "notepad.exe" planted in the current
    // directory must not be the one that starts.
    std::string commandLine("\"");
    commandLine.append(platform.shell.SystemProgramPath("notepad.exe"))
        .append("\" ")
        .append(kShutdownLogName);
    platform.shell.StartCommandLine(commandLine);
    return;
  }
  platform.system.Beep();
  app_.form1.Show();
}

void Shutdown::ClearLog() {
  auto& platform = app_.platform;
  if (!platform.files.Exists(kShutdownLogName)) {
    platform.system.Beep();
    return;
  }
  const auto answer = platform.dialogs.ShowMessage(ProgramBox(
      "Delete the Shut Down Log?", platform::MessageIcon::Question, platform::MessageButtons::YesNo));
  if (answer != platform::MessageAnswer::Yes) return;
  // From here every step is tried whatever the one before did.
  platform.files.Delete(kShutdownLogName);
  platform.windows.PostCloseRequest(platform.windows.FindTopLevelWindow(kLogEditorTitle));
  app_.form1.Show();
  platform.process.ProcessPendingEvents();
}

}  // namespace calorix::alarm
