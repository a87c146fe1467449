// Popup menus: the tray icon's menu, shown at the mouse.
#include "platform/win32/win32_form_resources.h"

namespace calorix::platform::win32 {

std::optional<std::string> Win32FormHost::TrackPopupMenu(const ui::PopupMenu& menu,
                                                         WindowHandle owner) {
  OwnedMenu popup(CreatePopupMenu());
  if (!popup) ThrowLastError("CreatePopupMenu");
  const auto& items = menu.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& item = items[i];
    BOOL added = FALSE;
    if (item.Separator()) {
      added = AppendMenuA(popup.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      const UINT flags = MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) |
                         (item.enabled ? MF_ENABLED : MF_GRAYED);
      const std::string caption(item.decl->caption);
      added = AppendMenuA(popup.get(), flags, i + 1, caption.c_str());
    }
    if (!added) ThrowLastError("AppendMenu");
  }
  HWND window = ToHwnd(owner);
  POINT at{};
  // Without a cursor position (no interactive desktop) the menu opens at
  // the corner; it can still be dismissed.
  GetCursorPos(&at);
  // The menu only closes on a click elsewhere when its owner is in the
  // foreground; the system may refuse, and the menu still works.
  SetForegroundWindow(window);
  const int chosen = static_cast<int>(::TrackPopupMenu(
      popup.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
  // Lets the menu close properly the next time (a known shell quirk); at
  // worst the next menu needs a second click to close.
  PostMessageA(window, WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return std::nullopt;
  return std::string(items[static_cast<std::size_t>(chosen) - 1].decl->name);
}

}  // namespace calorix::platform::win32
