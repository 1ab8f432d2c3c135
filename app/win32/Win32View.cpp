#include "app/win32/Win32View.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "app/Form.h"
#include "platform/Events.h"
#include "platform/Screen.h"
#include "resource.h"

namespace {

const char* const WindowClass = "TALMIREXRemoveMain";
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int FirstControlId = 100;

SIZE FrameSize() {
  RECT r = {0, 0, 0, 0};
  AdjustWindowRectEx(&r, WindowStyle, FALSE, 0);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

int ToPixels(float twips, float twipsPerPixel) {
  return static_cast<int>(std::lround(twips / twipsPerPixel));
}

// The controls keep the pixel sizes of the screen the layout was drawn on
// (120 pixels per inch), whatever the screen's own resolution. So does their
// text: the system's dialog font (8 points) at the pixel height that screen
// gave it, 13 pixels. Taken at this screen's resolution the font would grow
// with it while the controls do not, and clip at 144 pixels per inch.
constexpr int DesignPixelsPerInch = 120;
constexpr int DialogFontPoints = 8;

HFONT CreateDesignFont() {
  LOGFONTA font = {};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  font.lfHeight = -MulDiv(DialogFontPoints, DesignPixelsPerInch, 72);
  font.lfWidth = 0;
  return CreateFontIndirectA(&font);
}

} // namespace

Win32View::Win32View(HINSTANCE instance, int showCommand)
    : instance_(instance), showCommand_(showCommand), font_(CreateDesignFont()) {
  // The common controls are loaded here, once the program has limited where
  // DLLs come from (WinMain), and not as the program starts: what they load
  // in turn (uxtheme.dll) would then be looked for beside the program first.
  INITCOMMONCONTROLSEX init = {sizeof init, ICC_STANDARD_CLASSES};
  using InitCall = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (HMODULE controls = LoadLibraryW(L"comctl32.dll"))
    if (auto initialise = reinterpret_cast<InitCall>(
            reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx"))))
      initialise(&init);
  icon_ = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_TALMIREX), IMAGE_ICON, 32, 32, 0));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_TALMIREX), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  banner_ = static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));

  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = icon_;
  wc.hIconSm = smallIcon_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = WindowClass;
  RegisterClassExA(&wc);

  platform::SetPendingEventsHandler(PumpPendingMessages);
}

Win32View::~Win32View() {
  platform::SetPendingEventsHandler(nullptr);
  if (window_) DestroyWindow(window_);
  if (banner_) DeleteObject(banner_);
  if (icon_) DestroyIcon(icon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  if (font_) DeleteObject(font_);
}

int Win32View::FrameWidthPixels() {
  return FrameSize().cx;
}
int Win32View::FrameHeightPixels() {
  return FrameSize().cy;
}

RECT Win32View::PixelsOf(float left, float top, float width, float height) const {
  auto& screen = platform::screen();
  const float tx = screen.TwipsPerPixelX(), ty = screen.TwipsPerPixelY();
  RECT r;
  r.left = ToPixels(left, tx);
  r.top = ToPixels(top, ty);
  r.right = r.left + ToPixels(width, tx);
  r.bottom = r.top + ToPixels(height, ty);
  return r;
}

void Win32View::Create(Form& form, FormEvents& events) {
  form_ = &form;
  events_ = &events;
  RECT outer = PixelsOf(0, 0, form.Width(), form.Height());
  window_ =
      CreateWindowExA(0, WindowClass, form.Caption().c_str(), WindowStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, outer.right, outer.bottom, nullptr, nullptr, instance_, this);

  // Controls are made in tab order, so that the tab key and the z-order
  // follow it; pictures, which take no focus, come last.
  std::vector<int> order(static_cast<size_t>(form.ControlCount()));
  std::iota(order.begin(), order.end(), 0);
  auto rank = [&](int i) {
    int tab = form.ControlAt(i).TabIndex();
    return tab < 0 ? 1000 + i : tab;
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });

  controls_.assign(order.size(), nullptr);
  for (int i : order) {
    const Control& c = form.ControlAt(i);
    const char* cls = "STATIC";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    switch (c.Kind()) {
    case ControlKind::Picture:
      style |= SS_OWNERDRAW;
      break;
    case ControlKind::Label:
      style |= SS_LEFT | SS_NOPREFIX;
      exStyle = WS_EX_TRANSPARENT;
      break;
    case ControlKind::ListBox:
      cls = "LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::CommandButton:
      cls = "BUTTON";
      // BS_NOTIFY: the window hears when a button gets or loses the focus.
      style |= WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY;
      break;
    }
    RECT r = PixelsOf(c.Left(), c.Top(), c.Width(), c.Height());
    HWND hwnd = CreateWindowExA(exStyle, cls, c.Caption().c_str(), style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstControlId + i)),
                                instance_, nullptr);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    controls_[static_cast<size_t>(i)] = hwnd;
    Update(i);
  }
}

void Win32View::Update(int control) {
  if (!window_) return;
  if (control < 0) {
    RECT outer = PixelsOf(0, 0, form_->Width(), form_->Height());
    SetWindowPos(window_, nullptr, 0, 0, outer.right, outer.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextA(window_, form_->Caption().c_str());
    SetCursor(LoadCursor(nullptr, form_->MousePointer() == 11 ? IDC_WAIT : IDC_ARROW));
    return;
  }
  HWND hwnd = controls_.at(static_cast<size_t>(control));
  if (!hwnd) return;
  const Control& c = form_->ControlAt(control);
  RECT r = PixelsOf(c.Left(), c.Top(), c.Width(), c.Height());
  SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (c.Kind() == ControlKind::Label || c.Kind() == ControlKind::CommandButton) {
    SetWindowTextA(hwnd, c.Caption().c_str());
    // A label draws no background: the window repaints what lies under it.
    if (c.Kind() == ControlKind::Label) {
      RECT under;
      GetWindowRect(hwnd, &under);
      MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&under), 2);
      InvalidateRect(window_, &under, TRUE);
    }
  }
  EnableWindow(hwnd, c.Enabled());
  ShowWindow(hwnd, c.Visible() ? SW_SHOWNA : SW_HIDE);
}

void Win32View::ListCleared(int control) {
  SendMessageA(controls_.at(static_cast<size_t>(control)), LB_RESETCONTENT, 0, 0);
}

void Win32View::ListAppended(int control, const std::string& line) {
  HWND list = controls_.at(static_cast<size_t>(control));
  LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0); // the newest line in sight
  // Wide enough to scroll to the end of the longest line.
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, font_);
  SIZE size;
  GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  LRESULT extent = SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
  if (size.cx + 8 > extent) SendMessageA(list, LB_SETHORIZONTALEXTENT, size.cx + 8, 0);
}

void Win32View::Repaint(int control) {
  RedrawWindow(controls_.at(static_cast<size_t>(control)), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void Win32View::Focus(int control) {
  focus_ = controls_.at(static_cast<size_t>(control));
  if (IsWindowVisible(window_)) SetFocus(focus_);
}

int Win32View::FocusedButton() const {
  HWND focus = GetFocus();
  for (size_t i = 0; i < controls_.size(); ++i)
    if (focus && controls_[i] == focus &&
        form_->ControlAt(static_cast<int>(i)).Kind() == ControlKind::CommandButton &&
        IsWindowEnabled(focus))
      return static_cast<int>(i);
  return -1;
}

std::uintptr_t Win32View::NativeHandle() {
  return reinterpret_cast<std::uintptr_t>(window_);
}

MessageAnswer Win32View::ShowMessage(const std::string& text, const std::string& title,
                                     MessageButtons buttons, MessageIcon icon) {
  UINT type = buttons == MessageButtons::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
  if (icon == MessageIcon::Information) type |= MB_ICONINFORMATION;
  switch (MessageBoxA(window_, text.c_str(), title.c_str(), type)) {
  case IDYES:
    return MessageAnswer::Yes;
  case IDNO:
    return MessageAnswer::No;
  case IDOK:
    return MessageAnswer::Ok;
  default:
    return MessageAnswer::Cancel;
  }
}

void Win32View::Show() {
  // Centred on the work area.
  RECT work, box;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window_, &box);
  const int w = box.right - box.left, h = box.bottom - box.top;
  SetWindowPos(window_, nullptr, work.left + std::max(0L, (work.right - work.left - w) / 2),
               work.top + std::max(0L, (work.bottom - work.top - h) / 2), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(window_, showCommand_);
  // The focus is always shown, not only once the keyboard was used.
  SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  if (focus_) SetFocus(focus_);
  UpdateWindow(window_);
}

int Win32View::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Win32View::EndProgram(int exitCode) {
  ExitProcess(static_cast<UINT>(exitCode));
}

void Win32View::PumpPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Win32View::DrawPicture(const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.CtlID) - FirstControlId;
  if (index < 0 || index >= form_->ControlCount()) return;
  const RECT& r = item.rcItem;
  const int w = r.right - r.left, h = r.bottom - r.top;
  switch (form_->ControlAt(index).Art()) {
  case PictureArt::Banner:
    if (banner_) {
      BITMAP bm;
      GetObject(banner_, sizeof bm, &bm);
      HDC source = CreateCompatibleDC(item.hDC);
      HGDIOBJ old = SelectObject(source, banner_);
      SetStretchBltMode(item.hDC, HALFTONE);
      StretchBlt(item.hDC, r.left, r.top, w, h, source, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    }
    break;
  case PictureArt::Icon:
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (icon_) DrawIconEx(item.hDC, r.left, r.top, icon_, w, h, 0, nullptr, DI_NORMAL);
    break;
  case PictureArt::Blank:
    break;
  }
}

LRESULT CALLBACK Win32View::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<Win32View*>(create->lpCreateParams)->window_ = hwnd;
  }
  auto* view = reinterpret_cast<Win32View*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!view || !view->form_) return DefWindowProcA(hwnd, message, wParam, lParam);
  return view->Handle(message, wParam, lParam);
}

LRESULT Win32View::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    if (HIWORD(wParam) == BN_SETFOCUS || HIWORD(wParam) == BN_KILLFOCUS) {
      // As in a dialog, the focused push button is the default one: it
      // wears the dark frame, and Enter presses it.
      SendMessageA(reinterpret_cast<HWND>(lParam), BM_SETSTYLE,
                   HIWORD(wParam) == BN_SETFOCUS ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
      return 0;
    }
    if (HIWORD(wParam) == BN_CLICKED) {
      const int index = LOWORD(wParam) - FirstControlId;
      if (index >= 0 && index < form_->ControlCount() &&
          form_->ControlAt(index).Kind() == ControlKind::CommandButton)
        events_->Click(form_->ControlAt(index).Name());
      return 0;
    }
    break;
  case WM_DRAWITEM:
    DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  case WM_CTLCOLORSTATIC: {
    // Label rows overlap a little: each draws its text on the window's own
    // background, so none hides the text of its neighbour.
    const int index = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - FirstControlId;
    if (index >= 0 && index < form_->ControlCount() &&
        form_->ControlAt(index).Kind() == ControlKind::Label) {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    break;
  }
  case WM_SETCURSOR:
    if (form_->MousePointer() == 11) {
      SetCursor(LoadCursor(nullptr, IDC_WAIT));
      return TRUE;
    }
    break;
  case DM_GETDEFID: {
    // Enter (through IsDialogMessage) presses the focused button, if any.
    const int button = FocusedButton();
    return button < 0 ? 0 : MAKELRESULT(FirstControlId + button, DC_HASDEFID);
  }
  case WM_ACTIVATE:
    // The focus stays with its control while another window is active (a
    // message box), and comes back to it, as in a dialog.
    if (LOWORD(wParam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus && IsChild(window_, focus)) focus_ = focus;
    } else if (focus_ && IsWindowEnabled(focus_) && IsWindowVisible(focus_)) {
      SetFocus(focus_);
      return 0;
    }
    break;
  case WM_CLOSE:
    events_->CloseRequested();
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}
