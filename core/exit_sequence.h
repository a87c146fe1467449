// The exit sequence: the main window's query-unload and unload handlers.
#pragma once

namespace calorix {

class App;

class ExitSequence {
 public:
  explicit ExitSequence(App& app);

 private:
  void OnQueryUnload();
  void OnUnload();

  App& app_;
};

}  // namespace calorix
