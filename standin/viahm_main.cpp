// viahm.exe: a small hardware-monitor look-alike whose readings other
// programs scrape from its window texts. The readings, the drift and the
// scripting live in windows-free files; this file is the Win32 shell.

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "monitor_layout.h"
#include "readings.h"
#include "script.h"

namespace {

using namespace standin;

constexpr UINT_PTR kTickTimer = 1;    // readings drift, once a second
constexpr UINT_PTR kScriptTimer = 2;  // scenario, control file, delayed show
constexpr UINT_PTR kBuildTimer = 3;   // the controls of a slowly built main window
constexpr UINT kScriptPeriodMs = 100;
constexpr int kControlPollEvery = 2;  // script ticks between control-file polls
constexpr double kNeverShowLifetime = 600;
constexpr int kControlIdBase = 100;

constexpr char kMainClass[] = "ViaHmMainWindow";
constexpr char kAlarmClass[] = "ViaHmAlarmWindow";
constexpr char kHostClass[] = "ViaHmTimerHost";

struct App {
  HINSTANCE instance = nullptr;
  HWND host = nullptr;  // message-only window; owns the timers before/without a main window
  HWND main = nullptr;
  bool mainCreated = false;
  std::array<HWND, kControlCount> controls{};
  int controlsBuilt = 0;     // controls[0 .. controlsBuilt) exist
  ULONGLONG buildStart = 0;  // when a slow build began
  // What each control shows, or will show once it exists.
  std::array<std::string, kControlCount> shownText = [] {
    std::array<std::string, kControlCount> texts;
    for (int i = 0; i < kControlCount; ++i) texts[i] = kControls[i].text;
    return texts;
  }();
  Readings readings{GetTickCount()};
  Options options;
  std::optional<ScenarioPlayer> scenario;
  std::optional<ControlFileReader> control;
  ULONGLONG startTick = GetTickCount64();
  int scriptTicks = 0;
  std::array<HWND, kAlarmCount> autoAlarms{};
  std::array<bool, kAlarmCount> dismissed{};  // closed by the user while still raised
  std::vector<HWND> manualAlarms;
  int alarmsOpened = 0;
  bool quitting = false;
};

App* g_app = nullptr;

double elapsedSeconds() { return (GetTickCount64() - g_app->startTick) / 1000.0; }

int indexOfText(const char* text) {
  for (int i = 0; i < kControlCount; ++i) {
    if (std::string_view(kControls[i].text) == text) return i;
  }
  return -1;
}

// Only touches the control when its text really changes, so scrapers and
// the screen see no needless updates.
void setControlText(int index, const std::string& text) {
  if (g_app->shownText[index] == text) return;
  g_app->shownText[index] = text;
  if (g_app->controls[index]) SetWindowTextA(g_app->controls[index], text.c_str());
}

std::string formatLimit(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", value);
  return buf;
}

void refreshTexts() {
  for (Reading r : kAllReadings) setControlText(readingIndex(r), g_app->readings.text(r));
  const Limits& l = g_app->readings.limits();
  setControlText(kCpuLimitIndex, formatLimit(l.cpuTempMax));
  setControlText(kSysLimitIndex, formatLimit(l.sysTempMax));
  setControlText(kCpuFanLimitIndex, formatLimit(l.cpuFanMin));
  setControlText(kSysFanLimitIndex, formatLimit(l.sysFanMin));
}

DWORD controlStyle(const ControlSpec& control) {
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (control.style) {
    case kStyleGroupBox: return style | BS_GROUPBOX | WS_CLIPCHILDREN;
    case kStylePushButton: return style | WS_TABSTOP | BS_PUSHBUTTON;
    case kStyleCheckBox: return style | WS_TABSTOP | BS_AUTOCHECKBOX;
    case kStyleRight: return style | SS_RIGHT | SS_NOPREFIX;
    case kStyleFolder: return WS_CHILD | SS_LEFT | SS_NOPREFIX;
    default: return style | SS_LEFT | SS_NOPREFIX;
  }
}

WNDPROC g_buttonProc = nullptr;

// Group boxes draw only their frame; as parents of the sensor rows they must
// also paint their inside and give their statics the dialog background.
LRESULT CALLBACK groupBoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(w, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return CallWindowProcA(g_buttonProc, w, msg, wp, lp);
}

UINT g_systemMenuMessage = 0;
UINT g_slowBuildMessage = 0;
int g_systemMenuItemsAtStart = 0;

int systemMenuItems(HWND w) {
  HMENU menu = GetSystemMenu(w, FALSE);
  return menu ? std::clamp(GetMenuItemCount(menu), 0, 255) : 0;
}

// The answer to kSystemMenuMessage.
LRESULT describeSystemMenu(HWND w) {
  LRESULT answer = systemMenuItems(w) | (g_systemMenuItemsAtStart << 8);
  HMENU menu = GetSystemMenu(w, FALSE);
  if (menu && GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1))
    answer |= kSystemMenuHasClose;
  return answer;
}

// Creates the next control of the layout. Creation order is the layout
// order, which keeps the enumeration indices; a group box comes before its
// children, so their parent always exists.
void createNextControl() {
  const int i = g_app->controlsBuilt;
  const ControlSpec& control = kControls[i];
  if (control.style == kStyleFolder) {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    g_app->shownText[i] = folder;
  }
  HWND parent = control.parent < 0 ? g_app->main : g_app->controls[control.parent];
  HWND h = CreateWindowExA(0, control.className, g_app->shownText[i].c_str(),
                           controlStyle(control), control.x, control.y, control.width,
                           control.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlIdBase + i)),
                           g_app->instance, nullptr);
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (control.style == kStyleGroupBox) {
    auto old = SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(groupBoxProc));
    g_buttonProc = reinterpret_cast<WNDPROC>(old);
  }
  // The per-sensor beep boxes start ticked, as after a fresh install.
  if (control.parent >= 0 && control.style == kStyleCheckBox) {
    SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
  }
  g_app->controls[i] = h;
  ++g_app->controlsBuilt;
}

// Like a dialog: the window is made untitled, gets all its controls and is
// shown, and only then gets its title, so a program that finds it by title
// never sees it half built. With a slow build the titled window comes first
// and its controls follow over the next seconds, to try such programs.
void createMainWindow() {
  if (g_app->mainCreated) return;
  g_app->mainCreated = true;
  refreshTexts();  // the controls are made with the current readings
  const bool slow = g_app->options.slowBuild > 0;
  g_app->main = CreateWindowExA(0, kMainClass, slow ? kMainTitle : "",
                                (WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX) | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth, kMainHeight, nullptr,
                                nullptr, g_app->instance, nullptr);
  g_systemMenuItemsAtStart = systemMenuItems(g_app->main);
  if (slow) {
    ShowWindow(g_app->main, SW_SHOW);
    UpdateWindow(g_app->main);
    g_app->buildStart = GetTickCount64();
    const double perControlMs = g_app->options.slowBuild * 1000 / kControlCount;
    SetTimer(g_app->host, kBuildTimer, static_cast<UINT>(std::max(10.0, perControlMs / 2)),
             nullptr);
    return;
  }
  while (g_app->controlsBuilt < kControlCount) createNextControl();
  ShowWindow(g_app->main, SW_SHOW);
  UpdateWindow(g_app->main);
  // Last, so that the window is also on screen once it can be found.
  SetWindowTextA(g_app->main, kMainTitle);
}

// One step of a slow build: the controls whose share of the build time has
// passed.
void onBuildTimer() {
  if (!g_app->main) {
    KillTimer(g_app->host, kBuildTimer);
    return;
  }
  const double elapsed = (GetTickCount64() - g_app->buildStart) / 1000.0;
  const double share = std::min(1.0, elapsed / g_app->options.slowBuild);
  const int due = std::min(kControlCount, static_cast<int>(share * kControlCount) + 1);
  while (g_app->controlsBuilt < due) createNextControl();
  if (g_app->controlsBuilt == kControlCount) KillTimer(g_app->host, kBuildTimer);
}

void showMainWindow() {
  if (!g_app->main) {
    createMainWindow();
    return;
  }
  ShowWindow(g_app->main, IsIconic(g_app->main) ? SW_RESTORE : SW_SHOW);
}

HWND openAlarmWindow(const std::string& caption) {
  int shift = 24 * (g_app->alarmsOpened++ % 8);
  HWND w = CreateWindowExA(WS_EX_TOPMOST, kAlarmClass, caption.c_str(),
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 140 + shift, 120 + shift, 280,
                           120, nullptr, nullptr, g_app->instance, nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND text =
      CreateWindowExA(0, "Static", caption.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX,
                      10, 14, 254, 18, w, nullptr, g_app->instance, nullptr);
  HWND ok = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 97, 44, 80,
                            24, w, reinterpret_cast<HMENU>(IDOK), g_app->instance, nullptr);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  return w;
}

std::string windowText(HWND w) {
  char buf[512] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

// Opens or closes the automatic alarm windows to match the readings.
void syncAlarms() {
  for (int i = 0; i < kAlarmCount; ++i) {
    HWND& window = g_app->autoAlarms[i];
    if (g_app->readings.raised(kAllAlarms[i])) {
      if (!window && !g_app->dismissed[i]) window = openAlarmWindow(alarmCaption(kAllAlarms[i]));
    } else {
      g_app->dismissed[i] = false;
      if (HWND w = window) {
        window = nullptr;  // before DestroyWindow, so it is not taken as dismissed
        DestroyWindow(w);
      }
    }
  }
}

// Closes every alarm window of ours with this caption, automatic ones included.
void closeAlarmsCaptioned(const std::string& caption) {
  std::vector<HWND> doomed;
  for (HWND w : g_app->manualAlarms) {
    if (windowText(w) == caption) doomed.push_back(w);
  }
  for (HWND w : g_app->autoAlarms) {
    if (w && windowText(w) == caption) doomed.push_back(w);
  }
  for (HWND w : doomed) DestroyWindow(w);
}

void openManualAlarm(const std::string& caption) {
  for (HWND w : g_app->manualAlarms) {
    if (windowText(w) == caption) return;
  }
  g_app->manualAlarms.push_back(openAlarmWindow(caption));
}

void forgetAlarmWindow(HWND w) {
  for (int i = 0; i < kAlarmCount; ++i) {
    if (g_app->autoAlarms[i] == w) {
      g_app->autoAlarms[i] = nullptr;
      g_app->dismissed[i] = true;
    }
  }
  std::erase(g_app->manualAlarms, w);
}

void quit() {
  g_app->quitting = true;
  std::vector<HWND> alarms = g_app->manualAlarms;
  for (HWND w : g_app->autoAlarms) {
    if (w) alarms.push_back(w);
  }
  for (HWND w : alarms) DestroyWindow(w);
  if (g_app->main) DestroyWindow(g_app->main);
  PostQuitMessage(0);
}

void setLimit(Reading r, double value) {
  Limits& l = g_app->readings.limits();
  if (r == Reading::CpuTemp) l.cpuTempMax = value;
  if (r == Reading::SysTemp) l.sysTempMax = value;
  if (r == Reading::CpuFan) l.cpuFanMin = value;
  if (r == Reading::SysFan) l.sysFanMin = value;
}

void execute(const Command& c) {
  if (g_app->quitting) return;
  switch (c.kind) {
    case CommandKind::Set: g_app->readings.set(c.reading, c.text); break;
    case CommandKind::Limit: setLimit(c.reading, c.number); break;
    case CommandKind::AlarmOpen: openManualAlarm(c.text); break;
    case CommandKind::AlarmClose: closeAlarmsCaptioned(c.text); break;
    case CommandKind::DriftOn: g_app->readings.setDrift(true); break;
    case CommandKind::DriftOff: g_app->readings.setDrift(false); break;
    case CommandKind::Show: showMainWindow(); break;
    case CommandKind::Hide:
      if (g_app->main) ShowWindow(g_app->main, SW_HIDE);
      break;
    case CommandKind::Exit: quit(); return;
  }
  refreshTexts();
  syncAlarms();
}

void pollControlFile() {
  for (const std::string& line : g_app->control->poll()) {
    ParsedLine parsed = parseCommand(line);
    if (parsed.command) {
      execute(*parsed.command);
    } else if (!parsed.error.empty()) {
      std::fprintf(stderr, "viahm: control file: %s\n", parsed.error.c_str());
    }
  }
}

void onScriptTimer() {
  double now = elapsedSeconds();
  if (!g_app->mainCreated && !g_app->options.neverShow && now >= g_app->options.showAfter) {
    createMainWindow();
  }
  if (g_app->scenario) {
    for (const Command& c : g_app->scenario->due(now)) execute(c);
  }
  if (g_app->control && ++g_app->scriptTicks % kControlPollEvery == 0) pollControlFile();
  if (g_app->options.neverShow && now >= kNeverShowLifetime) quit();
}

void onTickTimer() {
  g_app->readings.step();
  refreshTexts();
  syncAlarms();
}

LRESULT CALLBACK hostProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    if (wp == kTickTimer) onTickTimer();
    if (wp == kScriptTimer) onScriptTimer();
    if (wp == kBuildTimer) onBuildTimer();
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK mainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == g_systemMenuMessage && msg != 0) return describeSystemMenu(w);
  if (msg == g_slowBuildMessage && msg != 0) {
    return static_cast<LRESULT>(g_app->options.slowBuild * 1000 + 0.5);
  }
  switch (msg) {
    case WM_COMMAND: {
      int index = LOWORD(wp) - kControlIdBase;
      if (index == indexOfText("&Close")) PostMessageA(w, WM_CLOSE, 0, 0);
      if (index == indexOfText("&Minimize")) ShowWindow(w, SW_MINIMIZE);
      return 0;
    }
    case WM_DESTROY:
      g_app->main = nullptr;
      g_app->controls.fill(nullptr);
      g_app->controlsBuilt = 0;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK alarmProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) DestroyWindow(w);
      return 0;
    case WM_DESTROY: forgetAlarmWindow(w); return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

void registerClass(const char* name, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = g_app->instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

std::vector<std::string> commandLineArgs() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; argv && i < argc; ++i) {
    int n = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, argv[i], -1, s.data(), n, nullptr, nullptr);
    args.push_back(std::move(s));
  }
  LocalFree(argv);
  return args;
}

bool loadScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "viahm: cannot read scenario %s\n", path.c_str());
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  ParsedScenario parsed = parseScenario(text.str());
  for (const std::string& e : parsed.errors)
    std::fprintf(stderr, "viahm: %s: %s\n", path.c_str(), e.c_str());
  if (!parsed.errors.empty()) return false;
  g_app->scenario.emplace(std::move(parsed.commands));
  return true;
}

// Reads the command line into g_app; false when the program should not run.
bool configure() {
  char slowBuild[64] = "";
  if (GetEnvironmentVariableA(kSlowBuildVariable, slowBuild, sizeof slowBuild) >= sizeof slowBuild)
    slowBuild[0] = '\0';
  ParsedOptions parsed = parseOptions(commandLineArgs(), slowBuild);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "viahm: %s\n", parsed.error.c_str());
    return false;
  }
  g_app->options = parsed.options;
  if (!g_app->options.scenarioFile.empty() && !loadScenario(g_app->options.scenarioFile))
    return false;
  if (!g_app->options.controlFile.empty()) g_app->control.emplace(g_app->options.controlFile);
  if (g_app->options.noDrift) g_app->readings.setDrift(false);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  App app;
  g_app = &app;
  app.instance = instance;
  if (!configure()) return 2;

  g_systemMenuMessage = RegisterWindowMessageA(kSystemMenuMessage);
  g_slowBuildMessage = RegisterWindowMessageA(kSlowBuildMessage);
  registerClass(kMainClass, mainProc);
  registerClass(kAlarmClass, alarmProc);
  registerClass(kHostClass, hostProc);
  app.host =
      CreateWindowExA(0, kHostClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  SetTimer(app.host, kTickTimer, 1000, nullptr);
  SetTimer(app.host, kScriptTimer, kScriptPeriodMs, nullptr);
  onScriptTimer();  // commands at time 0 and an immediate show need no wait

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!app.main || !IsDialogMessageA(app.main, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  DestroyWindow(app.host);
  return static_cast<int>(msg.wParam);
}
