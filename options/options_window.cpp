#include "options/options_window.h"

#include "core/app.h"

namespace calorix::options {

namespace {

constexpr int kEscape = 27;

// The check boxes whose click only saves their state.
struct SavedBox {
  std::string_view control;
  const settings::Key& key;
};

const SavedBox kSavedBoxes[] = {
    {"MenuShtDwnFan", settings::keys::kFan},   {"MenuShtDwnTemp", settings::keys::kTemp},
    {"ShtDwnSysFan", settings::keys::kSysFan}, {"MenuShtDwnSys", settings::keys::kSys},
    {"MenuShtDwnVolts", settings::keys::kVolts}, {"MnuForceSD", settings::keys::kForceSD},
    {"MnuFastSD", settings::keys::kFastSD},    {"SDmsgs", settings::keys::kSDmsgs},
    {"AlrmBuz", settings::keys::kAlrmBuzz},    {"CtoF", settings::keys::kTipAsF},
    {"MnuHideStart", settings::keys::kSView},
};

}  // namespace

OptionsWindow::OptionsWindow(App& app) : app_(app) {
  ui::Form& form = app_.form1;
  for (const SavedBox& box : kSavedBoxes) {
    ui::Control& control = form[box.control];
    control.onClick = [this, &control, &key = box.key] {
      app_.settings.WriteState(key, static_cast<std::int16_t>(control.State()));
    };
  }
  form["CpuOnly"].onClick = [this] { TrayOptionClick(true); };
  form["SwapCpuSysO"].onClick = [this] { TrayOptionClick(true); };
  form["CPUSysTempO"].onClick = [this] { TrayOptionClick(true); };
  form["NoIconO"].onClick = [this] { TrayOptionClick(false); };
  form.onKeyPress = [this](int& key) { OnKeyPress(key); };
  form.onResize = [this] { OnResize(); };
  app_.menu["MnuOptions"].onClick = [this] { MenuOptionsClick(); };
}

void OptionsWindow::TrayOptionClick(bool updateIcons) {
  app_.trayIcon.ResetTray();
  if (updateIcons) app_.trayIcon.UpdateIcons();
  ui::Form& form = app_.form1;
  SavOptions(app_.settings, {.swapCpuSys = form["SwapCpuSysO"].Value(),
                             .cpuSysTemp = form["CPUSysTempO"].Value(),
                             .noIcon = form["NoIconO"].Value(),
                             .cpuOnly = form["CpuOnly"].Value()});
}

void OptionsWindow::MenuOptionsClick() {
  if (app_.form1.Visible()) {
    app_.menu["MnuOptions"].checked = false;
    app_.form1.Hide();
  } else {
    app_.form1.Show();
    app_.menu["MnuOptions"].checked = true;
  }
}

void OptionsWindow::OnKeyPress(int& keyCode) {
  if (keyCode != kEscape) return;
  keyCode = 0;
  app_.form1.SetWindowState(ui::WindowState::kMinimized);
}

void OptionsWindow::OnResize() {
  if (app_.form1.State() != ui::WindowState::kMinimized) return;
  app_.menu["MnuOptions"].checked = false;
  app_.form1.Hide();
  app_.platform.process.ProcessPendingEvents();
  app_.form1.SetWindowState(ui::WindowState::kNormal);
}

}  // namespace calorix::options
