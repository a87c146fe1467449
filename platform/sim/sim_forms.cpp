#include "platform/sim/sim_forms.h"

#include "platform/sim/sim_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace calorix::sim {

using detail::Saturated;

namespace {

// Twips to whole pixels, rounded; a NaN position counts as 0. Values are
// kept within ±2^53, so that the sum of two of them stays exact.
std::int64_t Pixels(double twips, double twipsPerPixel) {
  constexpr double kLimit = 9007199254740992.0;  // 2^53
  const double pixels = twips / (twipsPerPixel > 0 ? twipsPerPixel : 1.0);
  if (std::isnan(pixels)) return 0;
  return static_cast<std::int64_t>(std::round(std::clamp(pixels, -kLimit, kLimit)));
}

class SimFormView final : public ui::FormView {
 public:
  SimFormView(SimFormHost& host, SimDesktop& desktop, ui::Form& form)
      : host_(host), desktop_(desktop), form_(form) {
    handle_ = desktop_.CreateTopLevel(form.Caption(), {0, 0, 10, 10}, SimDesktop::kCalorixProcess);
    desktop_.Find(handle_)->visible = false;
    // A close request from outside unloads the form, as closing the window does.
    desktop_.Find(handle_)->onClose = [&form] { form.Unload(); };
    form_.SetFrameSize(SimFormHost::kFrameWidthPixels * desktop_.TwipsPerPixelX(),
                       SimFormHost::kFrameHeightPixels * desktop_.TwipsPerPixelY());
    FormChanged();
  }
  ~SimFormView() override {
    host_.FormGone(form_);
    desktop_.DestroyWindow(handle_);
  }

  platform::WindowHandle Handle() override { return handle_; }

  void FormChanged() override {
    SimWindow* window = desktop_.Find(handle_);
    if (window == nullptr) return;
    window->title = form_.Caption();
    // Coming up (shown, or restored from minimised) activates the window
    // unless the program asked to leave the keyboard where it is.
    const bool minimized = form_.State() == ui::WindowState::kMinimized;
    const bool comesUp = form_.Visible() && !minimized && (!window->visible || window->minimized);
    if (comesUp && form_.ShowActivation() == ui::Activation::kActivate)
      desktop_.SetForegroundWindow(handle_);
    window->visible = form_.Visible();
    window->minimized = minimized;
    const double tx = desktop_.TwipsPerPixelX();
    const double ty = desktop_.TwipsPerPixelY();
    // A form may sit anywhere a stored position puts it, far off every
    // screen too: the edges are worked out wide and kept to what a
    // rectangle holds.
    const std::int64_t left = Pixels(form_.Left(), tx);
    const std::int64_t top = Pixels(form_.Top(), ty);
    window->rect = {Saturated(left), Saturated(top), Saturated(left + Pixels(form_.Width(), tx)),
                    Saturated(top + Pixels(form_.Height(), ty))};
  }

  void ControlChanged(const ui::Control& control) override {
    if (control.Decl().kind == ui::ControlKind::kCanvas) host_.CanvasChanged(control);
  }

 private:
  SimFormHost& host_;
  SimDesktop& desktop_;
  ui::Form& form_;
  platform::WindowHandle handle_ = 0;
};

}  // namespace

std::unique_ptr<ui::FormView> SimFormHost::CreateView(ui::Form& form) {
  return std::make_unique<SimFormView>(*this, desktop_, form);
}

const ui::Drawing& SimFormHost::CanvasShown(const ui::Control& canvas) const {
  static const ui::Drawing kNothing;
  const auto found = canvases_.find(&canvas);
  return found == canvases_.end() ? kNothing : found->second.shown;
}

int SimFormHost::CanvasPaints(const ui::Control& canvas) const {
  const auto found = canvases_.find(&canvas);
  return found == canvases_.end() ? 0 : found->second.paints;
}

void SimFormHost::PostMouse(ui::Control& canvas, Mouse action, int x, int y, int wheelDelta) {
  desktop_.Post([&canvas, action, x, y, wheelDelta] {
    switch (action) {
      case Mouse::kMove: canvas.MouseMove(x, y); break;
      case Mouse::kWheel: canvas.MouseWheel(wheelDelta, x, y); break;
      case Mouse::kLeftDown: canvas.MouseDown(x, y); break;
      case Mouse::kLeftUp: canvas.MouseUp(x, y); break;
      case Mouse::kLeave: canvas.MouseLeave(); break;
    }
  });
}

void SimFormHost::CanvasChanged(const ui::Control& canvas) {
  CanvasState& state = canvases_[&canvas];
  state.shown = canvas.Drawn();
  ++state.paints;
}

void SimFormHost::FormGone(ui::Form& form) {
  for (const auto& control : form.Controls()) canvases_.erase(control.get());
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
  menusShown_.Add(std::move(shown));
  if (menuChoices_.empty()) return std::nullopt;
  auto choice = std::move(menuChoices_.front());
  menuChoices_.pop_front();
  return choice;
}

platform::IconHandle SimFormHost::LoadIconResource(int id) { return 5000 + id; }

platform::IconHandle SimFormHost::LoadSmallIconResource(int id) { return 7000 + id; }

ui::ClipboardCopy SimFormHost::CopyToClipboard(platform::WindowHandle owner, const ui::Control& canvas,
                                               std::string_view text) {
  if (clipboardBusy_) return ui::ClipboardCopy::kInUse;
  clipboard_.picture = canvas.Drawn();
  clipboard_.pictureWidth = canvas.PixelWidth();
  clipboard_.pictureHeight = canvas.PixelHeight();
  clipboard_.text = std::string(text);
  clipboard_.owner = owner;
  ++clipboard_.copies;
  return ui::ClipboardCopy::kCopied;
}

double SimFormHost::TwipsPerPixelX() { return desktop_.TwipsPerPixelX(); }

double SimFormHost::TwipsPerPixelY() { return desktop_.TwipsPerPixelY(); }

}  // namespace calorix::sim
