// The Win32 window in the test process itself, at the display's own pixels
// per inch (window_test.sh runs it at several): every text fits its control
// in the control's own font, and the version line dates the program's file.

#include "app/win32/Win32View.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frmTop.h"
#include "platform/Screen.h"
#include "tests/support/ScopedService.h"

namespace {

struct Child {
  HWND hwnd;
  std::string cls, text;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM data) {
  char cls[64] = "", text[256] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  GetWindowTextA(hwnd, text, sizeof text);
  reinterpret_cast<std::vector<Child>*>(data)->push_back({hwnd, cls, text});
  return TRUE;
}

// The size of `text` in the control's font, on one line.
SIZE TextSize(HWND control, const std::string& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

class Win32ViewTest : public ::testing::Test {
protected:
  // As TALMIREXRemove.exe, whose manifest declares it DPI-aware.
  static void SetUpTestSuite() { SetProcessDPIAware(); }

  void SetUp() override {
    view.Create(form.Window(), form);
    form.Form_Load();
    EnumChildWindows(reinterpret_cast<HWND>(view.NativeHandle()), Collect,
                     reinterpret_cast<LPARAM>(&children));
    HDC dc = GetDC(nullptr);
    dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
  }

  ScopedService<platform::Screen> screen{platform::Screen::Native()};
  Win32View view{GetModuleHandleA(nullptr)};
  frmTop form{view};
  std::vector<Child> children;
  int dpi = 0;
};

TEST_F(Win32ViewTest, EveryTextFitsItsControl) {
  std::printf("at %d pixels per inch\n", dpi);
  int measured = 0;
  for (const auto& c : children) {
    const bool button = _stricmp(c.cls.c_str(), "Button") == 0;
    const bool label = _stricmp(c.cls.c_str(), "Static") == 0 && !c.text.empty();
    if (!button && !label) continue;
    SCOPED_TRACE(c.text + " at " + std::to_string(dpi) + " pixels per inch");
    RECT r;
    GetClientRect(c.hwnd, &r);
    const SIZE text = TextSize(c.hwnd, c.text);
    // A button's frame and focus rectangle take a few pixels on each side.
    const int room = button ? r.right - 2 * 6 : r.right;
    EXPECT_LE(text.cx, room) << "in " << r.right << " pixels";
    EXPECT_LE(text.cy, r.bottom);
    ++measured;
  }
  EXPECT_EQ(measured, 6); // three labels, three buttons (Test hidden)

  // The longest lines the program logs fit the list without a horizontal
  // scroll bar.
  HWND list = nullptr;
  for (const auto& c : children)
    if (_stricmp(c.cls.c_str(), "ListBox") == 0) list = c.hwnd;
  ASSERT_NE(list, nullptr);
  RECT inner;
  GetClientRect(list, &inner);
  const int room = inner.right - GetSystemMetrics(SM_CXVSCROLL);
  for (const char* line : {"Removal Incomplete...Some Driver Files were not Deleted",
                           "Ask User if Device Drivers removed from Device Manager",
                           "... File: C:\\windows\\inf\\oem12.pnf"})
    EXPECT_LE(TextSize(list, line).cx + 8, room) << line;
}

TEST_F(Win32ViewTest, TheVersionLineCarriesTheDateOfTheProgramsFile) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(path, GetFileExInfoStandard, &data));
  FILETIME local;
  SYSTEMTIME t;
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToSystemTime(&local, &t);
  const std::string expected =
      "Version 1.2.0 - " + frmTop::FormatVersionDate(t.wYear, t.wMonth, t.wDay, t.wDayOfWeek);
  bool found = false;
  for (const auto& c : children)
    found = found || c.text == expected;
  EXPECT_TRUE(found) << expected;
}

// The window is first shown as WinMain was asked (nCmdShow): a shortcut set
// to "Minimised" or "Maximised" starts it so.
TEST(Win32ViewShow, TheWindowIsShownAsTheProgramWasAsked) {
  ScopedService<platform::Screen> screen{platform::Screen::Native()};
  struct Case {
    int showCommand;
    bool iconic, zoomed;
  };
  for (const Case c : {Case{SW_SHOWNORMAL, false, false}, Case{SW_SHOWMINNOACTIVE, true, false},
                       Case{SW_SHOWMAXIMIZED, false, true}}) {
    SCOPED_TRACE(c.showCommand);
    Win32View view{GetModuleHandleA(nullptr), c.showCommand};
    frmTop form{view};
    view.Create(form.Window(), form);
    view.Show();
    HWND window = reinterpret_cast<HWND>(view.NativeHandle());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(IsIconic(window) != FALSE, c.iconic);
    EXPECT_EQ(IsZoomed(window) != FALSE, c.zoomed);
  }
}

} // namespace
