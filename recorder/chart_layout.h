// The chart window, declared once.
#pragma once

#include "platform/forms.h"

namespace calorix::recorder {

extern const ui::FormDecl kChartForm;

}  // namespace calorix::recorder
