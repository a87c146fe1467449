// crowd.exe: fills the desktop with windows, for tests of programs that look
// windows up by title among very many.
//
//   crowd.exe [COUNT]
//
// Makes COUNT (default 10000) hidden top-level windows titled "Crowd 1",
// "Crowd 2", ..., and only then one more titled "Crowd Ready", so that a
// test can wait for that title. Ends when "Crowd Ready" is sent WM_CLOSE.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr char kClass[] = "CalorixCrowd";
constexpr char kReadyTitle[] = "Crowd Ready";
HWND g_ready = nullptr;

LRESULT CALLBACK CrowdProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_CLOSE && window == g_ready) {
    // Ending the process takes every window along; destroying ten thousand
    // of them one by one would only be slower.
    ExitProcess(0);
  }
  if (message == WM_CLOSE) return 0;  // the crowd itself stays
  return DefWindowProcA(window, message, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  long count = 10000;
  if (commandLine != nullptr && *commandLine != '\0') {
    char* end = nullptr;
    count = std::strtol(commandLine, &end, 10);
    if (end == commandLine || count < 0) return 2;
  }
  WNDCLASSA cls{};
  cls.lpfnWndProc = CrowdProc;
  cls.hInstance = instance;
  cls.lpszClassName = kClass;
  if (!RegisterClassA(&cls)) return 1;
  for (long n = 1; n <= count; ++n) {
    const std::string title = "Crowd " + std::to_string(n);
    if (!CreateWindowExA(0, kClass, title.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         instance, nullptr))
      return 1;
  }
  g_ready = CreateWindowExA(0, kClass, kReadyTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            instance, nullptr);
  if (g_ready == nullptr) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
