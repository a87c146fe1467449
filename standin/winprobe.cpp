// winprobe.exe: looks at and pokes other programs' windows from inside a
// Wine prefix, the way a scraping program would. Used by the smoke checks.
//
//   winprobe wait <title> <seconds>     exit 0 once a top-level window has that title
//   winprobe gone <title> <seconds>     exit 0 once no top-level window has it
//   winprobe tree <title>               print "index class [text]" depth first
//   winprobe state <title>              print "visible iconic x y width height"
//   winprobe close <title>              post WM_CLOSE
//   winprobe show <title> hide|show|minimize|restore
//   winprobe move <title> <x> <y> <width> <height>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool waitFor(const char* title, double seconds, bool present) {
  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;;) {
    if ((FindWindowA(nullptr, title) != nullptr) == present) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(100);
  }
}

BOOL CALLBACK printChild(HWND w, LPARAM counter) {
  char cls[128] = {};
  char text[512] = {};
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, text, sizeof text);
  int& n = *reinterpret_cast<int*>(counter);
  std::printf("%d %s [%s]\n", n++, cls, text);
  return TRUE;
}

int showCommand(const char* name) {
  if (!std::strcmp(name, "hide")) return SW_HIDE;
  if (!std::strcmp(name, "minimize")) return SW_MINIMIZE;
  if (!std::strcmp(name, "restore")) return SW_RESTORE;
  return SW_SHOW;
}

int usage() {
  std::fprintf(stderr, "usage: winprobe wait|gone|tree|state|close|show|move <title> ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  std::string cmd = argv[1];
  const char* title = argv[2];
  if (cmd == "wait" && argc == 4) return waitFor(title, std::atof(argv[3]), true) ? 0 : 1;
  if (cmd == "gone" && argc == 4) return waitFor(title, std::atof(argv[3]), false) ? 0 : 1;

  HWND w = FindWindowA(nullptr, title);
  if (!w) {
    std::fprintf(stderr, "winprobe: no window [%s]\n", title);
    return 1;
  }
  if (cmd == "tree") {
    int n = 0;
    EnumChildWindows(w, printChild, reinterpret_cast<LPARAM>(&n));
  } else if (cmd == "state") {
    RECT r{};
    GetWindowRect(w, &r);
    std::printf("%d %d %ld %ld %ld %ld\n", IsWindowVisible(w) ? 1 : 0, IsIconic(w) ? 1 : 0, r.left,
                r.top, r.right - r.left, r.bottom - r.top);
  } else if (cmd == "close") {
    PostMessageA(w, WM_CLOSE, 0, 0);
  } else if (cmd == "show" && argc == 4) {
    ShowWindow(w, showCommand(argv[3]));
  } else if (cmd == "move" && argc == 7) {
    MoveWindow(w, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]),
               TRUE);
  } else {
    return usage();
  }
  std::fflush(stdout);
  return 0;
}
