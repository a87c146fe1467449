// The data viewer window and the "Edit" command.
#pragma once

namespace calorix {
class App;
}

namespace calorix::recorder {

inline constexpr int kViewerWidthTwips = 8010;
inline constexpr int kViewerMinHeightTwips = 1500;

class DataViewer {
 public:
  explicit DataViewer(App& app);

  // Shows the viewer modeless, in its normal state.
  void ShowNormal();
  void Edit();  // Command6

 private:
  void OnKeyPress(int& keyCode);
  void OnQueryUnload();
  void OnResize();
  void OnTextChange();

  App& app_;
};

}  // namespace calorix::recorder
