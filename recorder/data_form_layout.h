// The data viewer window, declared once.
#pragma once

#include "platform/forms.h"

namespace calorix::recorder {

extern const ui::FormDecl kDataForm;

}  // namespace calorix::recorder
