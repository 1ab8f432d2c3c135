#include "app/frmTop.h"

#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "app/DriverRemoval.h"
#include "app/ProgramVersion.h"
#include "ini/cINI.h"
#include "layout/modResize.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Program.h"
#include "platform/RuntimeError.h"
#include "search/clsSearchForText.h"
#include "sys/SystemRoutines.h"
#include "winver/clsWindowsVersion.h"

namespace {

constexpr float DesignTwipsPerPixel = 12;
const char* const FailureTitle = "TALMIREXRemove";

std::string VersionNumbers() {
  return std::to_string(ProgramVersion::Major) + "." + std::to_string(ProgramVersion::Minor) + "." +
         std::to_string(ProgramVersion::Revision);
}

template <class T> std::shared_ptr<T> Make(const std::function<std::shared_ptr<T>()>& factory) {
  return factory ? factory() : std::make_shared<T>();
}

} // namespace

FormDesign frmTop::Design() {
  using K = ControlKind;
  FormDesign d;
  d.Caption = "TALMIREX Device Driver Remover";
  d.ClientWidth = 6708;
  d.ClientHeight = 5424;
  d.TwipsPerPixel = DesignTwipsPerPixel;
  d.Controls = {
      {"Image2", K::Picture, "", 0, 0, 6780, 1716, -1, PictureArt::Banner},
      {"Image1", K::Picture, "", 120, 1812, 384, 384, -1, PictureArt::Icon},
      {"lblTitle", K::Label, "TALMIREX Device Driver Remover", 732, 1800, 3888, 240, 1},
      {"lblCopyright", K::Label, "Copyright (c) 2009 Talmirex Devices Ltd.", 726, 2057, 3883, 242,
       2},
      {"lblVersion", K::Label, "Version 0.1 - August 5, 2008 (Alpha)", 732, 2280, 3960, 228, 0},
      {"lstFiles", K::ListBox, "", 240, 2640, 6252, 1776, 3},
      {"cmdRemove", K::CommandButton, "Remove Drivers", 3120, 4680, 1572, 492, 4},
      {"cmdTest", K::CommandButton, "Test", 240, 4680, 1332, 492, 5},
      {"cmdDone", K::CommandButton, "Done", 4920, 4680, 1572, 492, 6},
  };
  return d;
}

frmTop::frmTop(FormView& view, Factories factories)
    : view_(view), factories_(std::move(factories)), form_(Design(), view) {}

frmTop::~frmTop() = default;

int frmTop::Run(FormView& view, Factories factories) {
  frmTop form(view, std::move(factories));
  view.Create(form.Window(), form);
  form.RunTrapped([&] { form.Form_Load(); });
  view.Show();
  return view.Run();
}

void frmTop::Form_Load() {
  // 1. The owned objects, in this order.
  oSearch_ = Make(factories_.NewSearch);
  oINI_ = Make(factories_.NewINI);
  oWinVersion_ = Make(factories_.NewWinVersion);

  // 2. From the design screen's resolution to this one.
  modResize::ResizeForm(form_, DesignTwipsPerPixel, DesignTwipsPerPixel);

  // 3. The version line, with the date of the program's own file.
  auto& program = platform::program();
  std::string folder = program.Folder();
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  const std::string exe = folder + program.ExeName() + ".exe";
  if (SystemRoutines::FileExists(exe)) {
    const platform::LocalTime t = platform::fileSystem().LastModified(exe);
    form_["lblVersion"].Caption("Version " + VersionNumbers() + " - " +
                                FormatVersionDate(t.year, t.month, t.day, t.dayOfWeek));
  }

  // 4. The window as wide as the banner, frame included.
  Control& banner = form_["Image2"];
  form_.Width(banner.Width());

  // 5, 6. The title, copyright and version rows below the banner.
  const float v = banner.Height() + 100.0f;
  form_["Image1"].Top(v);
  form_["lblTitle"].Top(v);
  form_["lblCopyright"].Top(v + 200.0f);
  form_["lblVersion"].Top(v + 400.0f);

  // 7. The title with the version.
  form_.Caption(form_.Caption() + " Ver: " + VersionNumbers());

  // 8. The Test command stays out of reach.
  form_["cmdTest"].Visible(false);

  // The keyboard starts on the window's command.
  form_["cmdRemove"].SetFocus();
}

void frmTop::cmdDone_Click() {
  bool cancel = false;
  Form_Unload(cancel);
}

void frmTop::Form_Unload(bool& /*Cancel*/) {
  oSearch_.reset();
  oINI_.reset();
  oWinVersion_.reset();
  view_.EndProgram(0);
}

const std::map<std::string, frmTop::Handler>& frmTop::ClickHandlers() {
  static const std::map<std::string, Handler> handlers = {
      {"cmdRemove", &frmTop::cmdRemove_Click},
      {"cmdTest", &frmTop::cmdTest_Click},
      {"cmdDone", &frmTop::cmdDone_Click},
  };
  return handlers;
}

void frmTop::Click(const std::string& control) {
  const auto& handlers = ClickHandlers();
  auto it = handlers.find(control);
  if (it == handlers.end()) return;
  RunTrapped([&] { (this->*(it->second))(); });
}

void frmTop::CloseRequested() {
  RunTrapped([&] {
    bool cancel = false;
    Form_Unload(cancel);
  });
}

void frmTop::RunTrapped(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const RuntimeError& e) {
    ReportAndEnd(e.Number(), e.Description());
  } catch (const std::bad_alloc&) {
    ReportAndEnd(7, "Out of memory");
  } catch (const std::exception& e) {
    ReportAndEnd(51, std::string("Internal error: ") + e.what());
  }
}

void frmTop::ReportAndEnd(int number, const std::string& description) {
  // The error's number and text, then what the platform knows about it (on
  // Linux: which Wine prefix a missing drive C: was looked for in).
  std::string text = "Run-time error '" + std::to_string(number) + "':\n\n" + description;
  const std::string about = platform::program().AboutError(number);
  if (!about.empty()) text += "\n\n" + about;
  view_.ShowMessage(text, FailureTitle, MessageButtons::OkOnly, MessageIcon::Plain);
  view_.EndProgram(1);
  std::abort(); // EndProgram does not come back
}

void frmTop::ClearLog() {
  form_["lstFiles"].Clear();
}
void frmTop::AppendLog(const std::string& line) {
  form_["lstFiles"].AddItem(line);
}
void frmTop::RepaintLog() {
  form_["lstFiles"].Refresh();
}
void frmTop::MousePointer(int style) {
  form_.MousePointer(style);
}
std::uintptr_t frmTop::hWnd() {
  return view_.NativeHandle();
}
void frmTop::EnableButton(const std::string& name, bool enabled) {
  form_[name].Enabled(enabled);
}

MessageAnswer frmTop::MsgBox(const std::string& prompt, MessageButtons buttons, MessageIcon icon,
                             const std::string& title) {
  return view_.ShowMessage(prompt, title, buttons, icon);
}

std::string frmTop::FormatVersionDate(int year, int month, int day, int dayOfWeek) {
  auto& locale = platform::locale();
  return locale.DayName(dayOfWeek) + " " + locale.AbbreviatedMonthName(month) + " " +
         std::to_string(day) + ", " + std::to_string(year);
}
