// Finds the running program's window by its title, checks its visible child
// controls against the layout and their sizes against the screen's pixels
// per inch and its version line, then clicks Done. Exit code 0 when
// everything matched.
//   window_check [--design-version]   (the program runs under another
//                                       extension than .exe)
//   window_check --remove-drivers     clicks Remove Drivers, answers Yes and
//                                     OK, waits for the log's last line and
//                                     leaves the window open (for pictures)

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const Title = "TALMIREX Device Driver Remover Ver: 1.2.0";

struct Child {
  std::string cls, text;
  RECT rect; // in the window's client coordinates
  bool visible;
  HWND hwnd;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM data) {
  auto* children = reinterpret_cast<std::vector<Child>*>(data);
  char cls[64] = "", text[256] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  GetWindowTextA(hwnd, text, sizeof text);
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  children->push_back({cls, text, r, IsWindowVisible(hwnd) != 0, hwnd});
  return TRUE;
}

// The version line the program shows when its own file is found: the date
// of the window's program file, "dddd mmm d, yyyy" in the user's language.
std::string DatedVersionLine(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  if (!handle || !QueryFullProcessImageNameA(handle, 0, path, &size)) return "?";
  CloseHandle(handle);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return "?";
  FILETIME local;
  SYSTEMTIME t;
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToSystemTime(&local, &t);
  auto text = [](LCTYPE type) {
    char buffer[128] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return std::string(buffer);
  };
  return "Version 1.2.0 - " + text(LOCALE_SDAYNAME1 + (t.wDayOfWeek + 6) % 7) + " " +
         text(LOCALE_SABBREVMONTHNAME1 + t.wMonth - 1) + " " + std::to_string(t.wDay) + ", " +
         std::to_string(t.wYear);
}

// The first visible top-level window titled `title`, waited for.
HWND WaitForWindow(const char* title, int tenths) {
  for (int i = 0; i < tenths; ++i) {
    HWND w = FindWindowA(nullptr, title);
    if (w && IsWindowVisible(w)) return w;
    Sleep(100);
  }
  return nullptr;
}

// Remove Drivers as a user runs it: the question answered Yes, every other
// box answered OK; true once the log ends with how the removal ended.
bool RemoveDrivers(HWND window) {
  HWND remove = FindWindowExA(window, nullptr, "Button", "Remove Drivers");
  HWND list = FindWindowExA(window, nullptr, "ListBox", nullptr);
  if (!remove || !list) return false;
  PostMessageA(remove, BM_CLICK, 0, 0);
  HWND question = WaitForWindow("TALMIREX Low Level Device Driver Removal", 200);
  if (!question) return false;
  PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));
  for (int i = 0; i < 600; ++i) {
    Sleep(100);
    // Wide-character messages: Wine answers a cross-process LB_GETTEXT in
    // UTF-16 whichever way it was sent.
    const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
    wchar_t last[512] = L"";
    if (n > 0 && SendMessageW(list, LB_GETTEXTLEN, n - 1, 0) < 511)
      SendMessageW(list, LB_GETTEXT, n - 1, reinterpret_cast<LPARAM>(last));
    const std::wstring line = last;
    if (line.find(L"Removal Complete") == 0 || line.find(L"Backup Failed") == 0 ||
        line.find(L"Removal Incomplete") == 0)
      return true;
    // A box in between (the administrator's message): OK.
    HWND box = FindWindowA("#32770", nullptr);
    if (box && IsWindowVisible(box))
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  }
  return false;
}

int failures = 0;
void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++failures;
}

} // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool designVersion = mode == "--design-version";
  if (mode == "--remove-drivers") {
    HWND window = WaitForWindow(Title, 600);
    Check(window != nullptr, std::string("a window titled \"") + Title + "\"");
    Check(window && RemoveDrivers(window), "Remove Drivers ran to its last line");
    return failures == 0 ? 0 : 1;
  }
  HWND window = nullptr;
  for (int i = 0; i < 600 && !window; ++i) {
    window = FindWindowA(nullptr, Title);
    if (!window) Sleep(100);
  }
  Check(window != nullptr, std::string("a window titled \"") + Title + "\"");
  if (!window) return 1;
  Sleep(300);

  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  std::printf("at %d pixels per inch\n", ppi);
  const double tpp = 1440.0 / ppi;
  // Design twips at 12 twips per pixel, rescaled to this screen, in pixels.
  auto px = [&](double twips) { return static_cast<long>(std::lround(twips * (tpp / 12) / tpp)); };

  RECT outer;
  GetWindowRect(window, &outer);
  Check(outer.right - outer.left == px(6780),
        "outer width is Image2's width: " + std::to_string(outer.right - outer.left));

  std::vector<Child> children;
  EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&children));
  struct Expected {
    const char* cls;
    const char* text;
    double left, top, width, height;
    bool visible;
  };
  const double v = 1716 + 100.0 / (tpp / 12); // rows below the banner, in design units
  const std::string version =
      designVersion ? "Version 0.1 - August 5, 2008 (Alpha)" : DatedVersionLine(window);
  const Expected expected[] = {
      {"Static", "TALMIREX Device Driver Remover", 732, v, 3888, 240, true},
      {"Static", "Copyright (c) 2009 Talmirex Devices Ltd.", 726, v + 200 / (tpp / 12), 3883, 242,
       true},
      {"Static", version.c_str(), 732, v + 400 / (tpp / 12), 3960, 228, true},
      {"ListBox", "", 240, 2640, 6252, 1776, true},
      {"Button", "Remove Drivers", 3120, 4680, 1572, 492, true},
      {"Button", "Test", 240, 4680, 1332, 492, false},
      {"Button", "Done", 4920, 4680, 1572, 492, true},
  };
  HWND done = nullptr;
  for (const auto& e : expected) {
    bool found = false;
    for (const auto& c : children) {
      if (_stricmp(c.cls.c_str(), e.cls) != 0 || c.text != e.text) continue;
      found = true;
      const bool placed = std::labs(c.rect.left - px(e.left)) <= 1 &&
                          std::labs(c.rect.top - px(e.top)) <= 1 &&
                          std::labs(c.rect.right - c.rect.left - px(e.width)) <= 1 &&
                          std::labs(c.rect.bottom - c.rect.top - px(e.height)) <= 1;
      Check(placed, std::string(e.cls) + " \"" + c.text + "\" at " + std::to_string(c.rect.left) +
                        "," + std::to_string(c.rect.top) + " " +
                        std::to_string(c.rect.right - c.rect.left) + "x" +
                        std::to_string(c.rect.bottom - c.rect.top));
      Check(c.visible == e.visible,
            std::string(e.cls) + " \"" + c.text + "\"" + (e.visible ? " visible" : " hidden"));
      if (c.text == "Done") done = c.hwnd;
    }
    Check(found, std::string("a ") + e.cls + " \"" + e.text + "\"");
  }
  int pictures = 0;
  for (const auto& c : children)
    if (_stricmp(c.cls.c_str(), "Static") == 0 && c.text.empty() && c.visible) ++pictures;
  Check(pictures == 2, "two pictures (banner and icon)");
  int visible = 0;
  for (const auto& c : children)
    visible += c.visible;
  Check(visible == 8, "eight visible controls: " + std::to_string(visible));

  if (done) PostMessageA(done, BM_CLICK, 0, 0);
  Check(done != nullptr, "Done clicked");
  return failures == 0 ? 0 : 1;
}
