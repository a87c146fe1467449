// The countdown dialog, declared once.
#pragma once

#include "platform/forms.h"

namespace calorix::alarm {

extern const ui::FormDecl kCountdownForm;  // Form2
inline constexpr int kHazardIconId = 12;

}  // namespace calorix::alarm
