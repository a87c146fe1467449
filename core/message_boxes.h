// The program's message boxes: modal, system-modal and brought to the
// foreground, titled with the program's name unless they have a title of
// their own.
#pragma once

#include <string>

#include "core/program_name.h"
#include "platform/platform.h"

namespace calorix {

inline platform::MessageBoxRequest ProgramBox(std::string text, platform::MessageIcon icon,
                                              platform::MessageButtons buttons = platform::MessageButtons::Ok,
                                              std::string title = std::string(kProgramName)) {
  platform::MessageBoxRequest box;
  box.text = std::move(text);
  box.title = std::move(title);
  box.icon = icon;
  box.buttons = buttons;
  box.systemModal = true;
  box.setForeground = true;
  return box;
}

}  // namespace calorix
