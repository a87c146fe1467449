#include "core/exit_sequence.h"

#include <exception>

#include "core/app.h"
#include "core/text.h"
#include "monitor/leading_number.h"

namespace calorix {

ExitSequence::ExitSequence(App& app) : app_(app) {
  app_.form1.onQueryUnload = [this] { OnQueryUnload(); };
  app_.form1.onUnload = [this] { OnUnload(); };
}

void ExitSequence::OnQueryUnload() {
  app_.timer1.SetEnabled(false);
  // From here on a failing step is skipped and the next one runs.
  IgnoringFailure([&] {
    const double interval = monitor::ParseLeadingNumber(app_.form1["Combo1"].Text());
    app_.settings.WriteNumber(settings::keys::kRecDelay, interval);
  });
  IgnoringFailure([&] { app_.platform.windows.SetTopmost(app_.form1.Handle(), platform::ZOrder::NoTopmost); });
  IgnoringFailure([&] { app_.platform.windows.PostCloseRequest(app_.state.MonitorWindow); });
}

void ExitSequence::OnUnload() {
  app_.dataForm.Unload();
  app_.chartForm.Unload();
  app_.form3.Unload();
  app_.trayIcon.Remove();
  app_.platform.process.ProcessPendingEvents();
}

}  // namespace calorix
