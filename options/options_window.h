// The options window's handlers: each option saved the moment it is
// clicked, the tray-icon choice, and showing and hiding the window.
#pragma once

namespace calorix {
class App;
}

namespace calorix::options {

class OptionsWindow {
 public:
  explicit OptionsWindow(App& app);

  // "Options" in the popup menu: decided by the window's visibility.
  void MenuOptionsClick();

 private:
  void OnKeyPress(int& keyCode);
  void OnResize();
  void TrayOptionClick(bool updateIcons);

  App& app_;
};

}  // namespace calorix::options
