// The chart window: the record file drawn as lines over time, opened and
// closed from the tray menu's "View Chart".
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "recorder/chart_records.h"

namespace calorix {
class App;
}

namespace calorix::recorder {

// The least outer size of the chart window, twips.
inline constexpr int kChartMinWidthTwips = 6000;
inline constexpr int kChartMinHeightTwips = 4500;

// Which of the eight readings are drawn, in the record line's order.
using ShownSeries = std::array<bool, kChartSeriesCount>;

// The setting's text: a "1" or "0" for each reading; nullopt for any other text.
std::optional<ShownSeries> ParseShownSeries(std::string_view text);
std::string ShownSeriesText(const ShownSeries& shown);

class ChartWindow {
 public:
  explicit ChartWindow(App& app);

  // The menu's check mark is the record of whether the chart is open.
  bool IsOpen() const;
  void Open();
  void Close();

  const ShownSeries& Shown() const { return shown_; }

 private:
  void MenuClick();
  void OnLoad();
  void OnQueryUnload();
  void OnResize();
  void RestorePlace();

  App& app_;
  ShownSeries shown_{};
};

}  // namespace calorix::recorder
