// What the system's screensaver dialog does to a screensaver, for the tests under wine (which has no such
// dialog): a window "Preview host" with a preview pane of W × H client pixels (152 × 112 unless given), and
// the screensaver started with the pane's handle or the window's.
//   preview_host.exe /p|/c:|/c|/s SCR [W H]
// /p starts "SCR /p <pane>", /c: starts "SCR /c:<window>" (the dialog's Settings button); another switch is
// passed as it stands. Handles are decimal. It prints "window <handle> pane <handle>" at start and "ended
// <exit code>" when the screensaver ends (also after the window has gone, within ten seconds).
// Commands, as keys on its window or as lines on its standard input: "r" makes the pane 300 × 225, "W H"
// (input only) W × H; "s" prints "pane W H" and "child <handle> W H" for each window in the pane (wine shows
// nothing that another process draws in it: this is how a test sees the screensaver's window there); "q"
// destroys the window (the pane and any window inside it with it) and ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT kResize = WM_APP;  // wParam × lParam: the pane's new size
constexpr UINT kState = WM_APP + 1;

HWND pane = nullptr;

void printSize(const char* what, HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  if (window == pane) std::printf("%s %ld %ld", what, client.right, client.bottom);
  else std::printf(" %s %llu %ld %ld", what, reinterpret_cast<unsigned long long>(window), client.right, client.bottom);
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kResize) {
    SetWindowPos(pane, nullptr, 0, 0, static_cast<int>(wParam), static_cast<int>(lParam), SWP_NOMOVE | SWP_NOZORDER);
  } else if (message == kState) {
    printSize("pane", pane);
    for (HWND child = GetWindow(pane, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      printSize("child", child);
    }
    std::printf("\n");
    std::fflush(stdout);
  } else if (message == WM_DESTROY) {
    PostQuitMessage(0);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// One command, from a key or a line of input: false if it is none.
bool command(HWND window, const char* text) {
  int w = 0, h = 0;
  if (text[0] == 'q') PostMessageW(window, WM_CLOSE, 0, 0);
  else if (text[0] == 'r') PostMessageW(window, kResize, 300, 225);
  else if (text[0] == 's') PostMessageW(window, kState, 0, 0);
  else if (std::sscanf(text, "%d %d", &w, &h) == 2) PostMessageW(window, kResize, w, h);
  else return false;
  return true;
}

DWORD WINAPI readCommands(void* window) {
  char line[64];
  while (std::fgets(line, sizeof line, stdin)) command(static_cast<HWND>(window), line);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 5) {
    std::fputs("usage: preview_host.exe /p|/c:|/c|/s SCR [W H]\n", stderr);
    return 2;
  }
  const std::wstring mode = argv[1];
  const bool sized = argc == 5;
  const int w = sized ? std::wcstol(argv[3], nullptr, 10) : 152, h = sized ? std::wcstol(argv[4], nullptr, 10) : 112;
  SetProcessDPIAware();
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const WNDCLASSW hostClass{0, hostProc, 0, 0, instance, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, L"PreviewHost"};
  const WNDCLASSW paneClass{0, DefWindowProcW, 0, 0, instance, nullptr, nullptr,
                            static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr, L"PreviewPane"};
  RegisterClassW(&hostClass);
  RegisterClassW(&paneClass);
  const HWND window = CreateWindowW(L"PreviewHost", L"Preview host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                    40, 40, 480, 360, nullptr, nullptr, instance, nullptr);
  pane = CreateWindowW(L"PreviewPane", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, w, h, window, nullptr,
                       instance, nullptr);
  if (!window || !pane) return 1;
  std::printf("window %llu pane %llu\n", reinterpret_cast<unsigned long long>(window),
              reinterpret_cast<unsigned long long>(pane));
  std::fflush(stdout);

  std::wstring line = L"\"" + std::wstring(argv[2]) + L"\" ";
  if (mode == L"/p") line += L"/p " + std::to_wstring(reinterpret_cast<ULONG_PTR>(pane));
  else if (mode == L"/c:") line += L"/c:" + std::to_wstring(reinterpret_cast<ULONG_PTR>(window));
  else line += mode;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", line.c_str(), GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);
  CreateThread(nullptr, 0, readCommands, window, 0, nullptr);

  bool ended = false;
  const auto reportEnd = [&] {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("ended %lu\n", code);
    std::fflush(stdout);
    ended = true;
  };
  for (bool running = true; running;) {
    // Index 0 is the screensaver's end while it runs, the window's messages after.
    if (MsgWaitForMultipleObjects(ended ? 0 : 1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 &&
        !ended) {
      reportEnd();
      continue;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      const char key[2] = {static_cast<char>(message.wParam), 0};
      if (message.message == WM_QUIT) {
        running = false;
        break;
      }
      // The keys, whichever of the host's windows has the focus.
      if (message.message == WM_CHAR && message.wParam < 128 && command(window, key)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (!ended && WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) reportEnd();
  CloseHandle(process.hProcess);
  return 0;
}
