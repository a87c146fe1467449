// The chart window: the record file drawn as lines over time, opened and
// closed from the tray menu's "View Chart", kept up to date while the
// recorder appends to the file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recorder/chart_drawing.h"
#include "recorder/chart_file.h"
#include "recorder/chart_layout.h"
#include "recorder/chart_navigation.h"
#include "recorder/chart_reduction.h"

namespace calorix {
class App;
}

namespace calorix::recorder {

// The least outer size of the chart window, twips.
inline constexpr int kChartMinWidthTwips = 6000;
inline constexpr int kChartMinHeightTwips = 4500;

// The setting's text: a "1" or "0" for each reading; nullopt for any other text.
std::optional<ShownSeries> ParseShownSeries(std::string_view text);
std::string ShownSeriesText(const ShownSeries& shown);

// The status line: the records read and, when there are any, the lines that
// could not be.
std::string ChartStatus(const ChartStore& store);
// The status line while the file is read: `share` of it so far, 0 to 1.
std::string LoadingStatus(double share);

class ChartWindow {
 public:
  explicit ChartWindow(App& app);

  // The menu's check mark is the record of whether the chart is open.
  bool IsOpen() const;
  void Open();
  void Close();
  // The record file changed (a record appended, the file cleared): an open
  // chart reads what is new and draws it.
  void Refresh();

  const ShownSeries& Shown() const { return shown_; }
  const ChartStore& Store() const { return file_.Store(); }
  // The time the chart shows: the chosen range up to the latest record, or
  // where the user zoomed or panned to.
  ChartTimeWindow InView() const;

 private:
  void MenuClick();
  void OnLoad();
  void OnQueryUnload();
  void OnResize();
  void RestorePlace();
  void LegendClick(int series);
  void RangeClick(ChartRange range);
  // The wheel zooms around the pointer; a drag with the left button pans;
  // elsewhere the pointer shows a cross-hair and the nearest record.
  void OnWheel(int delta, int x, int y);
  void OnMouseDown(int x, int y);
  void OnMouseMove(int x, int y);
  void OnMouseUp(int x, int y);
  void OnMouseLeave();
  std::vector<ChartPanel> Panels() const;
  double Scale() const;
  // Draws the records again, then shows them.
  void CopyClick();
  void Redraw();
  // Shows what was drawn with the cross-hair over it, and the status line.
  void Show();
  bool SyncFile();
  // The status line alone, while the file is read.
  void ShowStatus();

  App& app_;
  ChartFile file_;
  ui::FormTimer progressTimer_;  // shows how far a load has got
  ChartView scratch_;  // the reduction's memory, reused by every redraw
  ShownSeries shown_{};
  ChartRange range_ = ChartRange::kAll;
  std::optional<ChartTimeWindow> chosen_;  // zoomed or panned to; a range button forgets it
  struct Drag {
    int x = 0;  // where the button went down
    ChartTimeWindow window;
  };
  std::optional<Drag> drag_;
  std::optional<ui::PixelPoint> pointer_;  // over the canvas, when not dragging
  ui::Drawing drawn_;                      // the records, without the cross-hair
  bool restoring_ = false;  // the legend is being set from the setting
};

}  // namespace calorix::recorder
