#include "tray/dashboard.h"

#include "core/text.h"
#include "core/app.h"

namespace calorix::tray {

namespace slots = monitor::slots;

Dashboard::Dashboard(App& app) : app_(app) {
  app_.menu["MnuViewDashBrd"].onClick = [this] { MenuClick(); };
  app_.form1["DashState"].onClick = [this] {
    app_.settings.WriteState(settings::keys::kDashOn,
                             static_cast<std::int16_t>(app_.form1["DashState"].State()));
  };
  app_.form3.onLoad = [this] { OnLoad(); };
  app_.form3.onQueryUnload = [this] { OnQueryUnload(); };
}

bool Dashboard::IsOpen() const { return app_.menu["MnuViewDashBrd"].checked; }

void Dashboard::MenuClick() {
  if (IsOpen()) Close();
  else Open();
}

void Dashboard::Open() {
  app_.form3.Load();
  app_.form3.SetWindowState(ui::WindowState::kNormal);
  app_.form3.Show();
  app_.platform.process.ProcessPendingEvents();
  app_.menu["MnuViewDashBrd"].checked = true;
}

void Dashboard::Close() {
  app_.form3.Unload();
  app_.menu["MnuViewDashBrd"].checked = false;
  app_.platform.process.ProcessPendingEvents();
}

void Dashboard::OnLoad() {
  app_.platform.process.ProcessPendingEvents();
  auto& windows = app_.platform.windows;
  const float screenWidth = static_cast<float>(windows.ScreenWidthPixels() * windows.TwipsPerPixelX());
  const float screenHeight = static_cast<float>(windows.ScreenHeightPixels() * windows.TwipsPerPixelY());
  const float defaultLeft = (screenWidth - static_cast<float>(app_.form3.Width())) / 2;
  const float defaultTop = (screenHeight - static_cast<float>(app_.form3.Height())) / 2;
  app_.form3.Move(app_.settings.ReadNumber(settings::keys::kDBLeft, defaultLeft),
                  app_.settings.ReadNumber(settings::keys::kDBTop, defaultTop));
  app_.platform.process.ProcessPendingEvents();
  windows.SetTopmost(app_.form3.Handle(), platform::ZOrder::Topmost);
}

void Dashboard::OnQueryUnload() {
  app_.settings.WriteNumber(settings::keys::kDBLeft, app_.form3.Left());
  app_.settings.WriteNumber(settings::keys::kDBTop, app_.form3.Top());
  app_.menu["MnuViewDashBrd"].checked = false;
  app_.platform.windows.SetTopmost(app_.form3.Handle(), platform::ZOrder::NoTopmost);
  app_.platform.process.ProcessPendingEvents();
}

void Dashboard::ShowReadings(const monitor::MonitorTextTable& table) {
  auto label = [this](int index) -> ui::Control& { return app_.form3.Get("Label1", index); };
  label(0).SetCaption(table.Slot(slots::kCpuFan));
  label(1).SetCaption(table.Slot(slots::kCpuTemp) + kDegreeSign);
  label(2).SetCaption(table.Slot(slots::kSysFan));
  label(3).SetCaption(table.Slot(slots::kSysTemp) + kDegreeSign);
  label(4).SetCaption(TrimBlanks(table.Slot(slots::kVolts12)));
  label(5).SetCaption(TrimBlanks(table.Slot(slots::kVolts5)));
  label(6).SetCaption(TrimBlanks(table.Slot(slots::kVolts33)));
  label(7).SetCaption(TrimBlanks(table.Slot(slots::kVcore)));
}

}  // namespace calorix::tray
