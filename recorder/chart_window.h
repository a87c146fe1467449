// The chart window: the record file drawn as lines over time, opened and
// closed from the tray menu's "View Chart".
#pragma once

namespace calorix {
class App;
}

namespace calorix::recorder {

class ChartWindow {
 public:
  explicit ChartWindow(App& app);

  // The menu's check mark is the record of whether the chart is open.
  bool IsOpen() const;
  void Open();
  void Close();

 private:
  void MenuClick();
  void OnLoad();
  void OnQueryUnload();

  App& app_;
};

}  // namespace calorix::recorder
