// The options window: the program's main window, declared once.
#pragma once

#include "platform/forms.h"

namespace calorix::options {

extern const ui::FormDecl kForm1;

}  // namespace calorix::options
