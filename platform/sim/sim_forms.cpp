#include "platform/sim/sim_forms.h"

#include <cmath>

namespace calorix::sim {

namespace {

class SimFormView final : public ui::FormView {
 public:
  SimFormView(SimDesktop& desktop, ui::Form& form) : desktop_(desktop), form_(form) {
    handle_ = desktop_.CreateTopLevel(form.Caption(), {0, 0, 10, 10}, SimDesktop::kCalorixProcess);
    desktop_.Find(handle_)->visible = false;
    // A close request from outside unloads the form, as closing the window does.
    desktop_.Find(handle_)->onClose = [&form] { form.Unload(); };
    form_.SetFrameSize(SimFormHost::kFrameWidthTwips, SimFormHost::kFrameHeightTwips);
    FormChanged();
  }
  ~SimFormView() override { desktop_.DestroyWindow(handle_); }

  platform::WindowHandle Handle() override { return handle_; }

  void FormChanged() override {
    SimWindow* window = desktop_.Find(handle_);
    if (window == nullptr) return;
    window->title = form_.Caption();
    window->visible = form_.Visible();
    window->minimized = form_.State() == ui::WindowState::kMinimized;
    const int tx = desktop_.TwipsPerPixelX();
    const int ty = desktop_.TwipsPerPixelY();
    const int left = static_cast<int>(std::lround(form_.Left() / tx));
    const int top = static_cast<int>(std::lround(form_.Top() / ty));
    window->rect = {left, top, left + static_cast<int>(std::lround(form_.Width() / tx)),
                    top + static_cast<int>(std::lround(form_.Height() / ty))};
  }

  void ControlChanged(const ui::Control&) override {}

 private:
  SimDesktop& desktop_;
  ui::Form& form_;
  platform::WindowHandle handle_ = 0;
};

}  // namespace

std::unique_ptr<ui::FormView> SimFormHost::CreateView(ui::Form& form) {
  return std::make_unique<SimFormView>(desktop_, form);
}

std::optional<std::string> SimFormHost::TrackPopupMenu(const ui::PopupMenu& menu,
                                                       platform::WindowHandle /*owner*/) {
  std::vector<std::string> shown;
  for (const auto& item : menu.Items()) {
    std::string caption(item.decl->caption);
    if (item.checked) caption = "[x] " + caption;
    if (!item.enabled) caption = "(" + caption + ")";
    shown.push_back(caption);
  }
  menusShown_.push_back(std::move(shown));
  if (menuChoices_.empty()) return std::nullopt;
  auto choice = std::move(menuChoices_.front());
  menuChoices_.pop_front();
  return choice;
}

platform::IconHandle SimFormHost::LoadIconResource(int id) { return 5000 + id; }

}  // namespace calorix::sim
