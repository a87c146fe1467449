#include "recorder/chart_window.h"

#include "core/app.h"

namespace calorix::recorder {

namespace {

constexpr std::string_view kMenuItem = "MnuViewChart";

}  // namespace

ChartWindow::ChartWindow(App& app) : app_(app) {
  app_.menu[kMenuItem].onClick = [this] { MenuClick(); };
  app_.chartForm.onLoad = [this] { OnLoad(); };
  app_.chartForm.onQueryUnload = [this] { OnQueryUnload(); };
}

bool ChartWindow::IsOpen() const { return app_.menu[kMenuItem].checked; }

void ChartWindow::MenuClick() {
  if (IsOpen()) Close();
  else Open();
}

void ChartWindow::Open() {
  app_.chartForm.Load();
  app_.chartForm.SetWindowState(ui::WindowState::kNormal);
  app_.chartForm.Show();
  app_.menu[kMenuItem].checked = true;
}

void ChartWindow::Close() {
  app_.chartForm.Unload();
  app_.menu[kMenuItem].checked = false;
}

void ChartWindow::OnLoad() {}

void ChartWindow::OnQueryUnload() { app_.menu[kMenuItem].checked = false; }

}  // namespace calorix::recorder
