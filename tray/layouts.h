// The tray's popup menu and the dashboard window, declared once.
#pragma once

#include "platform/forms.h"

namespace calorix::tray {

extern const ui::FormDecl kDashboardForm;  // Form3
extern const std::span<const ui::MenuItemDecl> kPopupMenu;

}  // namespace calorix::tray
