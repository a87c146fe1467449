#include "recorder/recorder.h"

#include <cstdio>

#include "core/app.h"
#include "core/numbers.h"
#include "core/message_boxes.h"
#include "core/text.h"
#include "monitor/leading_number.h"

namespace calorix::recorder {

namespace slots = monitor::slots;

namespace {

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

std::string PadTo(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

platform::MessageBoxRequest YesNoQuestion(std::string text, platform::MessageIcon icon) {
  return ProgramBox(std::move(text), icon, platform::MessageButtons::YesNo);
}

}  // namespace

double IntervalValue(std::string_view text) { return monitor::ParseLeadingNumber(text); }

std::string RecordTimestamp(const platform::LocalDateTime& when, std::string_view dateSeparator,
                            std::string_view timeSeparator) {
  const std::string date(dateSeparator);
  return TwoDigits(when.day) + date + TwoDigits(when.month) + date + TwoDigits(when.year % 100) +
         " " + TwoDigits(when.hour) + std::string(timeSeparator) + TwoDigits(when.minute);
}

std::string RecordLine(std::string_view timestamp, const monitor::MonitorTextTable& table) {
  // A reading is written as read, except that a control character inside it
  // becomes a blank: one record is always one line.
  const auto reading = [&table](int slot) { return BlankControlCharacters(table.Slot(slot)); };
  return std::string(timestamp) + ", " + PadTo(reading(slots::kCpuTemp), 3) + ", " +
         PadTo(reading(slots::kCpuFan), 4) + ", " + PadTo(reading(slots::kSysTemp), 3) + ", " +
         PadTo(reading(slots::kSysFan), 4) + ", " + TrimBlanks(reading(slots::kVcore)) + ", " +
         TrimBlanks(reading(slots::kVolts33)) + ", " + TrimBlanks(reading(slots::kVolts5)) + ", " +
         reading(slots::kVolts12);
}

Recorder::Recorder(App& app) : app_(app) {
  app_.form1["MnuRecord"].onClick = [this] { RecordDataClick(); };
  app_.form1["MnuChkDatRec"].onClick = [this] {
    app_.settings.WriteState(settings::keys::kChkDatRec,
                             static_cast<std::int16_t>(app_.form1["MnuChkDatRec"].State()));
  };
  app_.form1["Command3"].onClick = [this] { View(ui::Activation::kActivate); };
  app_.form1["Command4"].onClick = [this] { Clear(); };
  app_.menu["MnuVwDat"].onClick = [this] { ViewDataMenuClick(); };
}

void Recorder::Step() {
  auto& platform = app_.platform;
  const bool due = app_.form1["MnuRecord"].State() == 1 && RecCount == 1;
  if (due && app_.table.Counter() == 0) {
    // The scrape found no text at all: the monitor window was gone or had no
    // controls yet. A record of empty fields would be noise, so the record
    // stays due and the next cycle with readings writes it.
    RecInterval = ToSingle(IntervalValue(app_.form1["Combo1"].Text()));
    return;
  }
  if (due) {
    const std::string line =
        RecordLine(RecordTimestamp(platform.clock.Now(), platform.locale.DateSeparator(),
                                   platform.locale.TimeSeparator()),
                   app_.table);
    // A file that cannot be written (read-only folder, locked) loses this
    // record only; the count goes on and the next due step tries again.
    // The refresh brings the viewer back without taking the keyboard from
    // the program the user is typing in.
    if (platform.files.Append(kRecordFileName, line + "\r\n")) {
      if (DatViewOpen == 1) View(ui::Activation::kKeepFocus);
      app_.chartWindow.Refresh();
    }
  }
  RecInterval = ToSingle(IntervalValue(app_.form1["Combo1"].Text()));
  RecCount += 3;
  if (!(static_cast<double>(RecInterval) * 60 > RecCount)) RecCount = 1;
}

void Recorder::View(ui::Activation activation) {
  auto& platform = app_.platform;
  if (DatViewOpen == 1) {
    DatViewOpen = 0;
    app_.dataForm["Text1"].SetText("");
  }
  // The same file the recorder writes: the one in the current directory.
  const auto size = platform.files.Size(kRecordFileName);
  if (!size) return ViewFailed();
  if (*size > kViewSizeLimit) {
    platform::MessageBoxRequest box;
    box.text = "The log is too large to open with Calorix";
    box.title = std::string(kProgramName);
    platform.dialogs.ShowMessage(box);
    return;
  }
  if (!platform.files.CanOpenForReading(kRecordFileName)) return ViewFailed();
  DatViewOpen = 1;
  app_.dataViewer.ShowNormal(activation);
  const auto content = platform.files.ReadAll(kRecordFileName);
  if (!content) return ViewFailed();
  app_.dataForm["Text1"].SetText(*content);
  app_.menu["MnuVwDat"].checked = true;
}

void Recorder::ViewFailed() {
  app_.platform.system.Beep();
  app_.menu["MnuVwDat"].checked = false;
}

void Recorder::Clear() {
  auto& platform = app_.platform;
  if (!platform.files.Exists(kRecordFileName)) {
    platform.system.Beep();
    return;
  }
  const auto answer = platform.dialogs.ShowMessage(
      YesNoQuestion("Delete all recorded HWM data?", platform::MessageIcon::Question));
  if (answer != platform::MessageAnswer::Yes) return;
  platform.files.Delete(kRecordFileName);  // a failure is ignored, as are the next two
  app_.chartWindow.Refresh();
  app_.dataForm.Unload();
  app_.form1.Show();
}

void Recorder::RecordDataClick() {
  const int state = app_.form1["MnuRecord"].State();
  RecCount = state == 1 ? 1 : 0;
  app_.settings.WriteState(settings::keys::kRecord, static_cast<std::int16_t>(state));
}

void Recorder::ViewDataMenuClick() {
  if (app_.menu["MnuVwDat"].checked) {
    app_.menu["MnuVwDat"].checked = false;
    app_.dataForm.Unload();
  } else {
    View(ui::Activation::kActivate);
  }
}

void Recorder::RestoreAtStartup() {
  auto& settings = app_.settings;
  RecCount = 0;
  app_.form1["MnuRecord"].SetState(settings.ReadState(settings::keys::kRecord));
  RecInterval = ToSingle(settings.ReadNumber(settings::keys::kRecDelay));
  app_.form1["Combo1"].SetText(FormatIntervalText(RecInterval));
  if (app_.form1["MnuRecord"].State() == 1) RecCount = 1;
  app_.form1["MnuChkDatRec"].SetState(settings.ReadState(settings::keys::kChkDatRec));
  if (app_.form1["MnuChkDatRec"].State() == 1 && RecCount == 1) {
    const std::string question = "The Data recorder is on, Interval is set to " +
                                 FormatNumberText(RecInterval, app_.platform.locale.DecimalSeparator()) +
                                 "\r\nWould you like to turn it off now?";
    const auto answer =
        app_.platform.dialogs.ShowMessage(YesNoQuestion(question, platform::MessageIcon::Information));
    if (answer == platform::MessageAnswer::Yes) {
      app_.form1["MnuRecord"].SetState(0);
      RecCount = 0;
      settings.WriteState(settings::keys::kRecord, 0);
    }
  }
}

}  // namespace calorix::recorder
