#pragma once
// What the window's logic needs from a window toolkit. frmTop is written once
// against this interface; the Win32, FLTK and headless views implement it.
// Every position and size the view is handed is in twips; the view turns
// them into its own pixels with the screen's twips per pixel.

#include <cstdint>
#include <string>

class Form;

// Events of the window, as the view reports them.
class FormEvents {
public:
  virtual ~FormEvents() = default;
  // A click of the named control ("cmdDone").
  virtual void Click(const std::string& control) = 0;
  // The close box or the system menu's Close.
  virtual void CloseRequested() = 0;
};

enum class MessageButtons { OkOnly, YesNoCancel };
enum class MessageIcon { Plain, Information };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class FormView {
public:
  virtual ~FormView() = default;

  // The extra width and height, in pixels, that the window's frame (borders
  // and title bar) adds to its client area.
  virtual int FrameWidthPixels() = 0;
  virtual int FrameHeightPixels() = 0;

  // Makes the native window and its controls, hidden, from the form's
  // current state; later changes come through Update. Clicks and close
  // requests go to `events`.
  virtual void Create(Form& form, FormEvents& events) = 0;
  // The form changed: the window itself (control -1: caption, size, pointer)
  // or one control (geometry, caption, visibility, enabled state).
  virtual void Update(int control) = 0;
  // The list box `control` lost all its lines, or got `line` at its end.
  virtual void ListCleared(int control) = 0;
  virtual void ListAppended(int control, const std::string& line) = 0;
  // Redraws the list box at once.
  virtual void Repaint(int control) = 0;
  // Gives the control the keyboard focus (once the window shows, when it
  // does not yet).
  virtual void Focus(int control) = 0;

  virtual std::uintptr_t NativeHandle() = 0;
  // A modal box owned by the window; its answer (closing it counts as Cancel).
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                    MessageButtons buttons, MessageIcon icon) = 0;

  virtual void Show() = 0;
  // The event loop; returns the exit code if the window system ends it.
  virtual int Run() = 0;
  // Ends the program at once: no further event of the window is processed.
  [[noreturn]] virtual void EndProgram(int exitCode) = 0;
};
