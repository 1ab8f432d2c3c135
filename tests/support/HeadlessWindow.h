#pragma once
// A view of frmTop without a window system, for tests: it records every log
// line, pointer change and message box, answers message boxes from a
// script, and lets a test click buttons and close the window. Ending the
// program unwinds to the click that caused it and records the exit code.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Form.h"
#include "app/FormView.h"
#include "app/frmTop.h"

class HeadlessWindow final : public FormView {
public:
  struct Message {
    std::string text, title;
    MessageButtons buttons;
    MessageIcon icon;
  };

  // Installs itself as the pending-events hook (see OnPendingEvents).
  HeadlessWindow();
  ~HeadlessWindow() override;
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  // What the window system would add around the client area, in pixels.
  int frameWidth = 0, frameHeight = 0;
  // Answers for the next message boxes, in order; when none is left a box
  // is answered Cancel (OK for an OK-only box).
  std::deque<MessageAnswer> answers;
  // Runs at each DoEvents() of long work (once per searched file).
  std::function<void()> onPendingEvents;

  // Recorded.
  std::vector<std::string> appended; // every line appended to a list box
  int listClears = 0, repaints = 0;
  std::vector<int> pointers; // each new mouse pointer style
  std::vector<Message> messages;
  // Everything above in the order it happened: "clear", "line:<text>",
  // "repaint", "pointer:<style>", "box:<title>", "focus:<control>".
  std::vector<std::string> journal;
  std::string focused; // the control that has the focus
  bool shown = false;
  std::optional<int> exitCode; // set once the program ended

  // Creates, loads and shows `form` as frmTop::Run does, without an event
  // loop. False when the load ended the program.
  bool Start(frmTop& form);
  // A click of the named control, or the close box; false once the program
  // has ended (then nothing more is run).
  bool Click(const std::string& control);
  bool Close();
  // Runs `event` as the window runs an event handler (a command in progress).
  bool RunEvent(const std::function<void()>& event);

  // FormView
  int FrameWidthPixels() override { return frameWidth; }
  int FrameHeightPixels() override { return frameHeight; }
  void Create(Form& form, FormEvents& events) override;
  void Update(int control) override;
  void ListCleared(int control) override;
  void ListAppended(int control, const std::string& line) override;
  void Repaint(int control) override;
  void Focus(int control) override;
  std::uintptr_t NativeHandle() override { return 0x1234; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                            MessageButtons buttons, MessageIcon icon) override;
  void Show() override { shown = true; }
  int Run() override { return 0; }
  [[noreturn]] void EndProgram(int exitCode) override;

private:
  struct Ended {
    int code;
  };
  bool Deliver(const std::function<void()>& event);

  Form* form_ = nullptr;
  FormEvents* events_ = nullptr;
  int pointer_ = 0;
  int depth_ = 0; // events running, one inside the other
};
