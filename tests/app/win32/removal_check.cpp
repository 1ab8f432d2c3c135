// Drives the real program through Remove Drivers as a user would, through
// the Windows API:
//   removal_check PROGRAM.exe yes|no|cancel|keys [--hold PATH] [--patience N]
// Starts PROGRAM.exe (in its own folder), clicks Remove Drivers, checks the
// question box and answers it, presses OK on every box that follows and
// prints it, then prints the log and the state of the Remove Drivers button
// and clicks Done. With "keys" it uses the keyboard alone: Enter on Remove
// Drivers (where the focus starts), Tab to No and Enter in the question,
// Enter on Done (where the focus goes), checking the focus at each step.
// With --hold, PATH is held open without sharing for the whole run, as
// another program could hold it. With --patience, every wait is N times as
// long (for a program that runs emulated).
// Output lines: "ok ..."/"FAIL ..." for the checks made here, "box: TITLE",
// "box text: ...", "box buttons: ...", "log: LINE", "remove button: enabled
// or disabled", "exit code: N". Exit code 0 when every check here passed;
// the calling script judges the rest.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const Title = "TALMIREX Device Driver Remover Ver: 1.2.0";
const char* const QuestionTitle = "TALMIREX Low Level Device Driver Removal";
const char* const Question =
    "Have you already removed the Device Drivers from Windows Device Manager";
const char* const FirstLine = "Ask User if Device Drivers removed from Device Manager";

int failures = 0;
void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

std::string Text(HWND hwnd) {
  char text[1024] = "";
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// A box's text on one output line: its line breaks written as "\n".
std::string OneLine(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    out += s[i] == '\n' ? std::string("\\n") : std::string(1, s[i]);
  }
  return out;
}

std::string ClassOf(HWND hwnd) {
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

BOOL CALLBACK AddChild(HWND hwnd, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct WindowQuery {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK AddWindowOfProcess(HWND hwnd, LPARAM data) {
  auto* q = reinterpret_cast<WindowQuery*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == q->pid && IsWindowVisible(hwnd)) q->found.push_back(hwnd);
  return TRUE;
}

// The visible top-level windows of process `pid`.
std::vector<HWND> WindowsOf(DWORD pid) {
  WindowQuery query{pid, {}};
  EnumWindows(AddWindowOfProcess, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

HWND ChildWithText(HWND parent, const char* cls, const std::string& text) {
  for (HWND c : Children(parent))
    if (_stricmp(ClassOf(c).c_str(), cls) == 0 && Text(c) == text) return c;
  return nullptr;
}

std::string WithoutAccelerator(std::string s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

struct Box {
  HWND hwnd;
  std::string title, text;
  std::vector<std::pair<int, std::string>> buttons; // control id, caption
};

Box Read(HWND dialog) {
  Box box{dialog, Text(dialog), {}, {}};
  for (HWND c : Children(dialog)) {
    const std::string cls = ClassOf(c);
    if (_stricmp(cls.c_str(), "Button") == 0 && IsWindowVisible(c))
      box.buttons.push_back({GetDlgCtrlID(c), WithoutAccelerator(Text(c))});
    else if (_stricmp(cls.c_str(), "Static") == 0 && !Text(c).empty()) {
      if (!box.text.empty()) box.text += ' ';
      box.text += Text(c);
    }
  }
  return box;
}

void Print(const Box& box) {
  std::printf("box: %s\nbox text: %s\nbox buttons:", box.title.c_str(), OneLine(box.text).c_str());
  for (const auto& b : box.buttons)
    std::printf(" %s", b.second.c_str());
  std::printf("\n");
  std::fflush(stdout);
}

void Press(const Box& box, int id) {
  for (const auto& b : box.buttons)
    if (b.first == id) {
      PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, id)));
      return;
    }
  Check(false, "box \"" + box.title + "\" has the button to press (id " + std::to_string(id) + ")");
}

// Read through the wide-character messages: Wine answers a cross-process
// LB_GETTEXT sent with SendMessageA in UTF-16 all the same.
std::vector<std::string> LogLines(HWND list) {
  std::vector<std::string> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0) break;
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                     reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(got < 0 ? 0 : static_cast<size_t>(got));
    std::string line(wide.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      line.data(), static_cast<int>(line.size()), nullptr, nullptr);
    line.resize(n < 0 ? 0 : static_cast<size_t>(n));
    lines.push_back(line);
  }
  return lines;
}

// The window that has the keyboard focus in `window`'s thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// A key pressed and released in `window`'s thread, as the keyboard gives it:
// to the window that has the focus, through the thread's message loop; then
// a moment (`patience` times as long) for the thread to take it.
void Key(HWND window, WORD key, int patience) {
  HWND to = FocusOf(window);
  if (!to) to = window;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(to, WM_KEYDOWN, key, 1 | scan);
  PostMessageA(to, WM_KEYUP, key, 1 | scan | static_cast<LPARAM>(0xC0000000u));
  Sleep(300 * static_cast<DWORD>(patience));
}

std::string Named(HWND hwnd) {
  return hwnd ? ClassOf(hwnd) + " \"" + WithoutAccelerator(Text(hwnd)) + "\"" : "nothing";
}

bool Exited(HANDLE process) {
  return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: removal_check PROGRAM.exe yes|no|cancel [--hold PATH] [--patience N]\n");
    return 2;
  }
  const std::string program = argv[1], answer = argv[2];
  const int answerId = answer == "yes" ? IDYES : answer == "no" ? IDNO : IDCANCEL;
  const bool keys = answer == "keys";
  HANDLE held = INVALID_HANDLE_VALUE;
  int patience = 1;
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--hold") {
      held = CreateFileA(argv[i + 1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
      Check(held != INVALID_HANDLE_VALUE,
            std::string("holding ") + argv[i + 1] + " without sharing");
      if (held == INVALID_HANDLE_VALUE) return 1;
    } else if (option == "--patience") {
      patience = std::max(1, std::atoi(argv[i + 1]));
    }
  }

  std::string folder = program.substr(0, program.find_last_of('\\'));
  std::string commandLine = "\"" + program + "\"";
  // The program lives in a job that ends it when the checker ends, however
  // the checker ends.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &pi)) {
    Check(false, "starting " + program + ": error " + std::to_string(GetLastError()));
    return 1;
  }
  if (job) AssignProcessToJobObject(job, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  auto end = [&](int code) {
    if (!Exited(pi.hProcess)) {
      std::printf("the program still runs: ended by the checker\n");
      TerminateProcess(pi.hProcess, 99);
      WaitForSingleObject(pi.hProcess, 10000);
    }
    CloseHandle(pi.hProcess);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    return code;
  };

  // The main window.
  HWND window = nullptr;
  for (int i = 0; i < 600 * patience && !window && !Exited(pi.hProcess); ++i) {
    for (HWND w : WindowsOf(pi.dwProcessId))
      if (Text(w) == Title) window = w;
    if (!window) Sleep(100);
  }
  Check(window != nullptr, std::string("a window titled \"") + Title + "\"");
  if (!window) return end(1);
  HWND remove = ChildWithText(window, "Button", "Remove Drivers");
  HWND done = ChildWithText(window, "Button", "Done");
  HWND list = nullptr;
  for (HWND c : Children(window))
    if (_stricmp(ClassOf(c).c_str(), "ListBox") == 0) list = c;
  Check(remove && done && list, "Remove Drivers, Done and the log found");
  if (!remove || !done || !list) return end(1);
  Check(IsWindowEnabled(remove) != 0, "Remove Drivers enabled at start-up");

  if (keys) {
    Sleep(300 * static_cast<DWORD>(patience));
    Check(FocusOf(window) == remove,
          "the focus starts on Remove Drivers: " + Named(FocusOf(window)));
    Check(!(SendMessageA(remove, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS),
          "its focus rectangle is shown");
    Key(window, VK_RETURN, patience);
  } else {
    // Remove Drivers: posted, since the click handler stays in the question box.
    PostMessageA(remove, BM_CLICK, 0, 0);
  }
  HWND question = nullptr;
  for (int i = 0; i < 300 * patience && !question && !Exited(pi.hProcess); ++i) {
    for (HWND w : WindowsOf(pi.dwProcessId))
      if (w != window && Text(w) == QuestionTitle) question = w;
    if (!question) Sleep(100);
  }
  Check(question != nullptr, std::string("a question box titled \"") + QuestionTitle + "\"");
  if (!question) return end(1);
  Sleep(200 * patience);
  const Box asked = Read(question);
  Print(asked);
  Check(asked.text == Question, "the question reads \"" + std::string(Question) + "\"");
  std::vector<std::string> expected{"Yes", "No", "Cancel"};
  std::vector<std::string> captions;
  for (const auto& b : asked.buttons)
    captions.push_back(b.second);
  Check(captions == expected, "the question's buttons are Yes, No and Cancel");
  const std::vector<std::string> before = LogLines(list);
  Check(before == std::vector<std::string>{FirstLine},
        std::string("while the question is open the log holds only \"") + FirstLine + "\"");
  if (keys) {
    Check(FocusOf(question) == GetDlgItem(question, IDYES),
          "the question's focus starts on Yes: " + Named(FocusOf(question)));
    Key(question, VK_TAB, patience);
    Check(FocusOf(question) == GetDlgItem(question, IDNO),
          "Tab moves the focus to No: " + Named(FocusOf(question)));
    Key(question, VK_RETURN, patience);
  } else {
    Press(asked, answerId);
  }

  // Until the command has ended (Remove Drivers disabled, no box open) or
  // the program has ended: every box that shows is printed and answered OK.
  std::set<HWND> seen{question};
  bool finished = false;
  for (int i = 0; i < 1200 * patience && !finished && !Exited(pi.hProcess); ++i) {
    bool boxOpen = false;
    for (HWND w : WindowsOf(pi.dwProcessId)) {
      if (w == window) continue;
      boxOpen = true;
      if (!seen.insert(w).second) continue;
      Sleep(200 * patience);
      const Box box = Read(w);
      Print(box);
      Press(box, IDOK);
    }
    finished = !boxOpen && !IsWindowEnabled(remove);
    if (!finished) Sleep(100);
  }
  if (!Exited(pi.hProcess)) {
    Check(finished, "the command ended with Remove Drivers disabled");
    for (const std::string& line : LogLines(list))
      std::printf("log: %s\n", line.c_str());
    std::printf("remove button: %s\n", IsWindowEnabled(remove) ? "enabled" : "disabled");
    std::fflush(stdout);
    Check(FocusOf(window) == done, "the focus moved on to Done: " + Named(FocusOf(window)));
    if (keys) {
      Key(window, VK_RETURN, patience);
    } else {
      PostMessageA(done, BM_CLICK, 0, 0);
    }
  }
  const bool ended = WaitForSingleObject(pi.hProcess, 30000 * patience) == WAIT_OBJECT_0;
  Check(ended, "the program ended");
  DWORD code = 0;
  if (ended && GetExitCodeProcess(pi.hProcess, &code)) std::printf("exit code: %lu\n", code);
  return end(failures == 0 ? 0 : 1);
}
