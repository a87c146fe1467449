// The toolkit's views on the simulated desktop: each loaded form is a
// top-level window of the Calorix process that mirrors the form's state, so
// tests see the program's windows as another program would.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms.h"
#include "platform/sim/recent_log.h"
#include "platform/sim/sim_desktop.h"

namespace calorix::sim {

class SimFormHost final : public ui::FormHost {
 public:
  explicit SimFormHost(SimDesktop& desktop) : desktop_(desktop) {}

  // The item the next popup menu returns ("" or none: dismissed).
  void QueueMenuChoice(std::optional<std::string> item) { menuChoices_.push_back(std::move(item)); }
  // The menus shown so far, as captions with their state: "Show HWM" is
  // written "[x] Show HWM" when checked and "(Show HWM)" when disabled.
  // The most recent menus (RecentLog::kKept of them).
  const RecentLog<std::vector<std::string>>& MenusShown() const { return menusShown_; }

  // What a canvas's view shows: the drawing it was last given while its
  // form was loaded (empty before that), and how often the canvas changed
  // (a new drawing, place or size).
  const ui::Drawing& CanvasShown(const ui::Control& canvas) const;
  int CanvasPaints(const ui::Control& canvas) const;
  // The user's mouse over a canvas, handled at the next event pump.
  enum class Mouse { kMove, kWheel, kLeftDown, kLeftUp, kLeave };
  void PostMouse(ui::Control& canvas, Mouse action, int x, int y, int wheelDelta = 0);

  // The clipboard: what the latest copy put there. While it is held by
  // another program (busy), a copy fails and leaves it as it was.
  struct Clipboard {
    ui::Drawing picture;
    int pictureWidth = 0, pictureHeight = 0;  // pixels
    std::string text;
    platform::WindowHandle owner = 0;
    int copies = 0;  // successful copies so far
  };
  const Clipboard& ClipboardHeld() const { return clipboard_; }
  void SetClipboardBusy(bool busy) { clipboardBusy_ = busy; }

  std::unique_ptr<ui::FormView> CreateView(ui::Form& form) override;
  std::optional<std::string> TrackPopupMenu(const ui::PopupMenu& menu,
                                            platform::WindowHandle owner) override;
  // Icon handles are the resource number plus a base, one base per size,
  // so a test tells the small picture from the large one.
  platform::IconHandle LoadIconResource(int id) override;
  platform::IconHandle LoadSmallIconResource(int id) override;
  ui::ClipboardCopy CopyToClipboard(platform::WindowHandle owner, const ui::Control& canvas,
                                    std::string_view text) override;
  double TwipsPerPixelX() override;
  double TwipsPerPixelY() override;

  // The frame of every window (borders and caption), in pixels as the
  // system measures it.
  static constexpr int kFrameWidthPixels = 8;
  static constexpr int kFrameHeightPixels = 30;

  // For the views.
  void CanvasChanged(const ui::Control& canvas);
  void FormGone(ui::Form& form);

 private:
  struct CanvasState {
    ui::Drawing shown;
    int paints = 0;
  };

  SimDesktop& desktop_;
  std::deque<std::optional<std::string>> menuChoices_;
  RecentLog<std::vector<std::string>> menusShown_;
  std::map<const ui::Control*, CanvasState> canvases_;
  Clipboard clipboard_;
  bool clipboardBusy_ = false;
};

}  // namespace calorix::sim
