#include "platform/win32/win32_internal.h"

namespace calorix::platform::win32 {

MessageAnswer Win32Dialogs::ShowMessage(const MessageBoxRequest& request) {
  UINT flags = request.buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  switch (request.icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: flags |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: flags |= MB_ICONEXCLAMATION; break;
    case MessageIcon::Critical: flags |= MB_ICONHAND; break;
    case MessageIcon::Question: flags |= MB_ICONQUESTION; break;
  }
  flags |= request.systemModal ? MB_SYSTEMMODAL : MB_TASKMODAL;
  if (request.setForeground) flags |= MB_SETFOREGROUND;

  switch (MessageBoxA(nullptr, request.text.c_str(), request.title.c_str(), flags)) {
    case IDOK: return MessageAnswer::Ok;
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    default:
      // IDCANCEL, or 0 when no box could be shown: the user did not agree.
      return MessageAnswer::Cancel;
  }
}

}  // namespace calorix::platform::win32
