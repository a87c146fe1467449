#include "recorder/chart_window.h"

#include <algorithm>

#include "core/app.h"

namespace calorix::recorder {

namespace keys = settings::keys;

namespace {

constexpr std::string_view kMenuItem = "MnuViewChart";

}  // namespace

std::optional<ShownSeries> ParseShownSeries(std::string_view text) {
  if (text.size() != kChartSeriesCount) return std::nullopt;
  ShownSeries shown{};
  for (int i = 0; i < kChartSeriesCount; ++i) {
    if (text[i] != '0' && text[i] != '1') return std::nullopt;
    shown[i] = text[i] == '1';
  }
  return shown;
}

std::string ShownSeriesText(const ShownSeries& shown) {
  std::string text;
  for (const bool on : shown) text += on ? '1' : '0';
  return text;
}

ChartWindow::ChartWindow(App& app) : app_(app) {
  app_.menu[kMenuItem].onClick = [this] { MenuClick(); };
  app_.chartForm.onLoad = [this] { OnLoad(); };
  app_.chartForm.onQueryUnload = [this] { OnQueryUnload(); };
  app_.chartForm.onResize = [this] { OnResize(); };
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

void ChartWindow::OnLoad() {
  shown_ = ParseShownSeries(app_.settings.ReadText(keys::kChartSeries))
               .value_or(*ParseShownSeries(keys::kChartSeries.defaultText));
  RestorePlace();
}

// As the dashboard's: a stored place that does not read comes back centred;
// the size is kept between the window's least size and the screen's.
void ChartWindow::RestorePlace() {
  ui::Form& form = app_.chartForm;
  auto& windows = app_.platform.windows;
  const double screenWidth = windows.ScreenWidthPixels() * windows.TwipsPerPixelX();
  const double screenHeight = windows.ScreenHeightPixels() * windows.TwipsPerPixelY();
  // By default the designed client area with the frame around it.
  const double designWidth = form.Decl().clientWidth + form.Width() - form.ClientWidth();
  const double designHeight = form.Decl().clientHeight + form.Height() - form.ClientHeight();
  const double width = std::clamp(app_.settings.ReadNumber(keys::kChartWidth, designWidth),
                                  double{kChartMinWidthTwips}, std::max(screenWidth, double{kChartMinWidthTwips}));
  const double height = std::clamp(app_.settings.ReadNumber(keys::kChartHeight, designHeight),
                                   double{kChartMinHeightTwips}, std::max(screenHeight, double{kChartMinHeightTwips}));
  form.Resize(width, height);
  form.Move(app_.settings.ReadNumber(keys::kChartLeft, (screenWidth - width) / 2),
            app_.settings.ReadNumber(keys::kChartTop, (screenHeight - height) / 2));
}

void ChartWindow::OnQueryUnload() {
  ui::Form& form = app_.chartForm;
  app_.settings.WriteNumber(keys::kChartLeft, form.Left());
  app_.settings.WriteNumber(keys::kChartTop, form.Top());
  app_.settings.WriteNumber(keys::kChartWidth, form.Width());
  app_.settings.WriteNumber(keys::kChartHeight, form.Height());
  app_.menu[kMenuItem].checked = false;
}

void ChartWindow::OnResize() {
  ui::Form& form = app_.chartForm;
  if (form.State() != ui::WindowState::kNormal) return;
  const double width = std::max(form.Width(), double{kChartMinWidthTwips});
  const double height = std::max(form.Height(), double{kChartMinHeightTwips});
  if (width != form.Width() || height != form.Height()) {
    form.Resize(width, height);  // runs this handler again with the corrected size
    return;
  }
}

}  // namespace calorix::recorder
