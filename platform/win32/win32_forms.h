// The toolkit's views on the real desktop: each loaded form becomes a
// top-level window with standard controls that mirror the model, and the
// user's clicks, keys, moves and sizes go back into the model's calls.
//
// Free of <windows.h>, like win32_platform.h; the Win32 details live in
// the win32_form_*.cpp sources.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/forms.h"
#include "platform/win32/win32_platform.h"

namespace calorix::platform::win32 {

class Win32FormView;

class Win32FormHost final : public ui::FormHost {
 public:
  // Installs a filter in the process's message loops for the keys the forms
  // handle themselves (Escape, Tab between controls).
  explicit Win32FormHost(Win32Process& process);
  ~Win32FormHost() override;
  Win32FormHost(const Win32FormHost&) = delete;
  Win32FormHost& operator=(const Win32FormHost&) = delete;

  std::unique_ptr<ui::FormView> CreateView(ui::Form& form) override;
  std::optional<std::string> TrackPopupMenu(const ui::PopupMenu& menu,
                                            WindowHandle owner) override;
  IconHandle LoadIconResource(int id) override;
  IconHandle LoadSmallIconResource(int id) override;
  ui::ClipboardCopy CopyToClipboard(WindowHandle owner, const ui::Control& canvas,
                                    std::string_view text) override;
  double TwipsPerPixelX() override;
  double TwipsPerPixelY() override;

  // The shell's taskbar came back (explorer restarted): tray icons must be
  // added again.
  std::function<void()> onTaskbarCreated;

  // For the views.
  struct Resources;
  Resources& Shared() { return *shared_; }

 private:
  std::unique_ptr<Resources> shared_;
};

}  // namespace calorix::platform::win32
