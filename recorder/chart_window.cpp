#include "recorder/chart_window.h"

#include <algorithm>
#include <cmath>

#include "core/app.h"
#include "recorder/chart_copy.h"
#include "recorder/recorder.h"

namespace calorix::recorder {

namespace keys = settings::keys;

namespace {

constexpr std::string_view kMenuItem = "MnuViewChart";
constexpr double kTwipsPerPixelAt96Dpi = 15;
constexpr int kStatusMarginTwips = 60;
constexpr int kProgressIntervalMs = 250;

// Minutes shown by each range button but "All".
constexpr double kRangeMinutes[] = {60, 24 * 60, 7 * 24 * 60, 30 * 24 * 60};

std::string Counted(std::uint64_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

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

std::string ChartStatus(const ChartStore& store) {
  std::string status = Counted(store.Count(), "record", "records");
  if (store.UnreadLines() > 0)
    status += ", " + Counted(store.UnreadLines(), "line", "lines") + " could not be read";
  return status;
}

std::string LoadingStatus(double share) {
  const int percent = std::clamp(static_cast<int>(share * 100), 0, 100);
  return "Reading the records: " + std::to_string(percent) + " %";
}

ChartWindow::ChartWindow(App& app)
    : app_(app),
      file_(app.platform.files, app.platform.process),
      progressTimer_(app.platform.process, kProgressIntervalMs, false) {
  ui::Form& form = app_.chartForm;
  file_.onLoaded = [this] {
    progressTimer_.SetEnabled(file_.Loading());  // a change meanwhile reads the file again
    Redraw();
  };
  progressTimer_.onTick = [this] { ShowStatus(); };
  app_.menu[kMenuItem].onClick = [this] { MenuClick(); };
  form.onLoad = [this] { OnLoad(); };
  form.onQueryUnload = [this] { OnQueryUnload(); };
  form.onResize = [this] { OnResize(); };
  form["Chart"].onResize = [this] { Redraw(); };
  for (int i = 0; i < kChartRangeCount; ++i)
    form.Get("Range", i).onClick = [this, i] { RangeClick(static_cast<ChartRange>(i)); };
  ui::Control& canvas = form["Chart"];
  canvas.onMouseWheel = [this](int delta, int x, int y) { OnWheel(delta, x, y); };
  canvas.onMouseDown = [this](int x, int y) { OnMouseDown(x, y); };
  canvas.onMouseMove = [this](int x, int y) { OnMouseMove(x, y); };
  canvas.onMouseUp = [this](int x, int y) { OnMouseUp(x, y); };
  canvas.onMouseLeave = [this] { OnMouseLeave(); };
  for (int i = 0; i < kChartSeriesCount; ++i) form.Get("Legend", i).onClick = [this, i] { LegendClick(i); };
  form["Copy"].onClick = [this] { CopyClick(); };
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

void ChartWindow::Refresh() {
  if (!app_.chartForm.Loaded()) return;
  if (SyncFile()) Redraw();
}

// While the file is read the chart stays usable and empty, and the status
// line shows how far the reading has got.
bool ChartWindow::SyncFile() {
  const bool changed = file_.Sync() != ChartFile::Change::kNone;
  progressTimer_.SetEnabled(file_.Loading());
  return changed;
}

void ChartWindow::ShowStatus() {
  const auto progress = file_.LoadProgress();
  if (progress) app_.chartForm["Status"].SetCaption(LoadingStatus(*progress));
  else Show();
}

void ChartWindow::OnLoad() {
  shown_ = ParseShownSeries(app_.settings.ReadText(keys::kChartSeries))
               .value_or(*ParseShownSeries(keys::kChartSeries.defaultText));
  restoring_ = true;
  for (int i = 0; i < kChartSeriesCount; ++i) app_.chartForm.Get("Legend", i).SetState(shown_[i] ? 1 : 0);
  restoring_ = false;
  range_ = ChartRange::kAll;
  chosen_.reset();
  drag_.reset();
  pointer_.reset();
  SyncFile();
  RestorePlace();
  Redraw();
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
  file_.Forget();
  progressTimer_.SetEnabled(false);
}

// The canvas fills the client area between the controls above and the
// status line below.
void ChartWindow::OnResize() {
  ui::Form& form = app_.chartForm;
  if (form.State() != ui::WindowState::kNormal) return;
  const double width = std::max(form.Width(), double{kChartMinWidthTwips});
  const double height = std::max(form.Height(), double{kChartMinHeightTwips});
  if (width != form.Width() || height != form.Height()) {
    form.Resize(width, height);  // runs this handler again with the corrected size
    return;
  }
  const int clientWidth = static_cast<int>(std::lround(form.ClientWidth()));
  const int clientHeight = static_cast<int>(std::lround(form.ClientHeight()));
  const int statusTop = clientHeight - kStatusHeightTwips;
  ui::Control& status = form["Status"];
  status.Move(kStatusMarginTwips, statusTop + (kStatusHeightTwips - status.Height()) / 2,
              clientWidth - 2 * kStatusMarginTwips, status.Height());
  form["Chart"].Move(0, kChartTopTwips, clientWidth, statusTop - kChartTopTwips);
}

void ChartWindow::LegendClick(int series) {
  shown_[series] = app_.chartForm.Get("Legend", series).State() == 1;
  if (restoring_) return;
  app_.settings.Write(keys::kChartSeries, ShownSeriesText(shown_));
  Redraw();
}

void ChartWindow::RangeClick(ChartRange range) {
  range_ = range;
  chosen_.reset();
  Redraw();
}

// The chart as it is shown and the lines of the records in view, both on
// the clipboard at once; the status line says what came of it.
void ChartWindow::CopyClick() {
  ui::Form& form = app_.chartForm;
  const ChartTimeWindow window = InView();
  const CopiedRecords records =
      CopyRecordsInView(app_.platform.files, kRecordFileName, file_.Store(), window.from, window.to);
  const ui::ClipboardCopy copy = app_.host.CopyToClipboard(form.Handle(), form["Chart"], records.text);
  form["Status"].SetCaption(CopyStatus(records, copy));
}

ChartTimeWindow ChartWindow::InView() const {
  if (chosen_) return *chosen_;
  const auto span = file_.Store().Span();
  if (!span) return {0, 60};
  // A minute past the latest record, so that it is in view.
  const double to = span->latest + 1;
  if (range_ == ChartRange::kAll) return {span->earliest, to};
  return {to - kRangeMinutes[static_cast<int>(range_)], to};
}

double ChartWindow::Scale() const { return kTwipsPerPixelAt96Dpi / app_.host.TwipsPerPixelY(); }

std::vector<ChartPanel> ChartWindow::Panels() const {
  const ui::Control& canvas = app_.chartForm["Chart"];
  return LayOutChart(canvas.PixelWidth(), canvas.PixelHeight(), Scale(), shown_);
}

void ChartWindow::OnWheel(int delta, int x, int y) {
  const auto span = file_.Store().Span();
  if (!span || drag_) return;
  const std::vector<ChartPanel> panels = Panels();
  const ui::PixelRect& plot = panels.front().plot;
  if (x < plot.left || x >= plot.right || y < plot.top || y >= panels.back().plot.bottom) return;
  const ChartTimeWindow window = InView();
  // Out to twice all of the records at most, and never narrower than an hour's worth of room.
  const double widest = std::max(2 * (span->latest + 1 - span->earliest), kRangeMinutes[0]);
  chosen_ = ZoomedAround(window, TimeAtColumn(window, plot, x), delta / 120.0, widest);
  Redraw();
}

void ChartWindow::OnMouseDown(int x, int /*y*/) {
  if (file_.Store().Empty()) return;
  drag_ = Drag{x, InView()};
  pointer_.reset();
  Show();
}

void ChartWindow::OnMouseMove(int x, int y) {
  if (drag_) {
    const auto span = file_.Store().Span();
    const ui::PixelRect plot = Panels().front().plot;
    if (!span || plot.Width() <= 0) return;
    const double minutes = -(x - drag_->x) * drag_->window.Span() / plot.Width();
    chosen_ = Panned(drag_->window, minutes, span->earliest, span->latest + 1);
    Redraw();
    return;
  }
  pointer_ = ui::PixelPoint{x, y};
  Show();
}

void ChartWindow::OnMouseUp(int x, int y) {
  if (!drag_) return;
  drag_.reset();
  OnMouseMove(x, y);
}

void ChartWindow::OnMouseLeave() {
  if (drag_) return;  // the drag goes on outside; the button's release ends it
  pointer_.reset();
  Show();
}

void ChartWindow::Redraw() {
  ui::Form& form = app_.chartForm;
  if (!form.Loaded()) return;
  const ui::Control& canvas = form["Chart"];
  const ChartTimeWindow window = InView();
  const std::string dateSeparator = app_.platform.locale.DateSeparator();
  const std::string timeSeparator = app_.platform.locale.TimeSeparator();
  ChartFrame frame;
  frame.width = canvas.PixelWidth();
  frame.height = canvas.PixelHeight();
  frame.scale = Scale();
  frame.from = window.from;
  frame.to = window.to;
  frame.shown = shown_;
  frame.dateSeparator = dateSeparator;
  frame.timeSeparator = timeSeparator;
  drawn_ = DrawChart(file_.Store(), frame, scratch_);
  Show();
}

void ChartWindow::Show() {
  ui::Form& form = app_.chartForm;
  if (!form.Loaded()) return;
  ui::Drawing drawing = drawn_;
  const auto progress = file_.LoadProgress();
  std::string status = progress ? LoadingStatus(*progress) : ChartStatus(file_.Store());
  if (pointer_) {
    const std::vector<ChartPanel> panels = Panels();
    const ui::PixelRect& plot = panels.front().plot;
    const bool inPlot = std::any_of(panels.begin(), panels.end(),
                                    [this](const ChartPanel& panel) { return panel.plot.Contains(*pointer_); });
    if (inPlot) {
      DrawCrossHair(drawing, panels, *pointer_);
      const auto nearest = file_.Store().NearestRecord(TimeAtColumn(InView(), plot, pointer_->x));
      if (nearest) {
        if (auto line = RecordedLine(app_.platform.files, kRecordFileName, file_.Store(), *nearest))
          status = std::move(*line);
      }
    }
  }
  form["Chart"].Draw(std::move(drawing));
  form["Status"].SetCaption(std::move(status));
}

}  // namespace calorix::recorder
