// The data viewer window and the "Edit" command.
#pragma once

#include "platform/forms.h"

namespace calorix {
class App;
}

namespace calorix::recorder {

inline constexpr int kViewerMinHeightTwips = 1500;  // outer height

class DataViewer {
 public:
  explicit DataViewer(App& app);

  // Shows the viewer modeless, in its normal state; with kKeepFocus it
  // comes up without taking the keyboard from the program the user is in.
  void ShowNormal(ui::Activation activation);
  void Edit();  // Command6

 private:
  void OnKeyPress(int& keyCode);
  void OnQueryUnload();
  void OnResize();
  void OnTextChange();

  App& app_;
};

}  // namespace calorix::recorder
