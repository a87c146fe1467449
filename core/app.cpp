#include "core/app.h"

#include "alarm/countdown_layout.h"
#include "options/form1_layout.h"
#include "recorder/chart_layout.h"
#include "recorder/data_form_layout.h"
#include "tray/layouts.h"

namespace calorix {

App::App(platform::Platform& platformServices, ui::FormHost& formHost)
    : platform(platformServices),
      host(formHost),
      settings(platformServices.settings, platformServices.locale),
      form1(options::kForm1, formHost),
      form2(alarm::kCountdownForm, formHost),
      form3(tray::kDashboardForm, formHost),
      dataForm(recorder::kDataForm, formHost),
      chartForm(recorder::kChartForm, formHost),
      menu(tray::kPopupMenu),
      timer1(platformServices.process, 1000, false),
      countdownTimer(platformServices.process, 1000, false),
      windowControl(*this),
      trayIcon(*this),
      readingCycle(*this),
      dashboard(*this),
      power(platformServices.system),
      pollTimer(*this),
      shutdown(*this),
      countdown(*this),
      recorder(*this),
      dataViewer(*this),
      chartWindow(*this),
      options(*this),
      startup(*this),
      exitSequence(*this) {}

void App::Quit() {
  form1.Unload();
  platform.process.EndProgram(0);
}

}  // namespace calorix
