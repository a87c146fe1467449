// One form's window on the desktop: its controls, how it mirrors the model
// and how the user's actions go back into it. Private to the backend's form
// sources.
#pragma once

#include "platform/win32/win32_form_resources.h"

#include <cstddef>
#include <exception>
#include <string>
#include <vector>

namespace calorix::platform::win32 {

// IsDialogMessage sends IDOK (1) and IDCANCEL (2) for Enter and Escape;
// control ids start well above them so those never look like a click.
inline constexpr int kFirstControlId = 100;

std::string WindowTextOf(HWND window);

// Runs a model call from a window procedure. An exception must not unwind
// through the system's window code: the message loop rethrows it once
// DispatchMessage has returned.
template <typename Call>
void Guarded(Win32Process& process, Call&& call) {
  try {
    call();
  } catch (...) {
    process.DeferException(std::current_exception());
  }
}

// Paints a canvas's drawing into `area` of `dc`, in the canvas's font: on
// the screen and into the clipboard's picture alike.
void DrawOperations(HDC dc, const RECT& area, const ui::Drawing& drawing, HFONT font,
                    Win32FormHost::Resources& shared);

// The window procedure of every form: it hands the messages to the view.
LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window procedure of a canvas: it hands the messages to its form's view.
LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Win32FormView final : public ui::FormView {
 public:
  Win32FormView(Win32FormHost::Resources& shared, ui::Form& form);
  ~Win32FormView() override;
  Win32FormView(const Win32FormView&) = delete;
  Win32FormView& operator=(const Win32FormView&) = delete;

  WindowHandle Handle() override { return ToWindowHandle(window_.get()); }
  void FormChanged() override;
  void ControlChanged(const ui::Control& control) override;

  HWND Window() const { return window_.get(); }
  Win32Process& Process() const { return shared_.process; }
  // Escape goes to the form, except while a combo box's list is open: the
  // key closes the list then.
  bool TakesEscape(HWND target) const;
  // May unload the form, and so destroy this view.
  void KeyPress(HWND target, int keyCode);
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCanvasMessage(HWND canvas, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Item {
    ui::Control* model = nullptr;
    HWND window = nullptr;   // none for an image
    std::size_t listShown = 0;
    std::string textShown;   // the text box's text, to skip resending it
    // The place the program last gave the control (twips); the view may
    // have widened it since to fit a caption.
    int placedLeft = 0, placedTop = 0, placedWidth = 0;
  };

  // Changes the view makes itself are not the user's: window messages they
  // cause are not sent back to the model.
  class Applying {
   public:
    explicit Applying(Win32FormView& view) : view_(view) { ++view_.applying_; }
    ~Applying() { --view_.applying_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

   private:
    Win32FormView& view_;
  };

  void CreateControls();
  void CreateControl(std::size_t index, bool startsGroup);
  void CreateTooltips();
  static bool Fits(const ui::ControlDecl& decl);
  void FitCaption(const Item& item);
  int RoomToTheRight(const ui::ControlDecl& decl) const;
  int RoomToTheLeft(const ui::ControlDecl& decl) const;
  void ApplyPlace();
  void ApplyVisibility();
  Item* ItemOf(HWND window);
  Item* ItemOf(const ui::Control& control);
  ui::Control* ControlAt(HWND window);
  HWND FirstTabStop() const;
  HBRUSH Colours(HDC dc, HWND child);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  void OnUserSize(WPARAM kind);
  void OnUserMove();
  void ApplyControlPlace(Item& item);
  void PaintCanvas(HWND canvas, const ui::Control& control);

  Win32FormHost::Resources& shared_;
  ui::Form& form_;
  std::vector<Item> items_;         // one per model control, same order
  std::vector<std::size_t> tabOrder_;
  int applying_ = 0;
  HWND lastFocus_ = nullptr;
  HICON shownIcon_ = nullptr;
  OwnedWindow window_;
  OwnedWindow tooltip_;  // destroyed before the window that owns it
};

}  // namespace calorix::platform::win32
