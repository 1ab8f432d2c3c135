#pragma once
// The window with native Win32 controls: the system dialog font at the
// design screen's pixel size, positions from twips with the screen's pixels
// per inch, MessageBoxA for the boxes.

#include <windows.h>

#include <vector>

#include "app/FormView.h"

class Win32View final : public FormView {
public:
  // showCommand: how the window is first shown, as WinMain was asked
  // (nCmdShow: normal, minimised, maximised, ...).
  explicit Win32View(HINSTANCE instance, int showCommand = SW_SHOWNORMAL);
  ~Win32View() override;
  Win32View(const Win32View&) = delete;
  Win32View& operator=(const Win32View&) = delete;

  int FrameWidthPixels() override;
  int FrameHeightPixels() override;
  void Create(Form& form, FormEvents& events) override;
  void Update(int control) override;
  void ListCleared(int control) override;
  void ListAppended(int control, const std::string& line) override;
  void Repaint(int control) override;
  void Focus(int control) override;
  std::uintptr_t NativeHandle() override;
  MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                            MessageButtons buttons, MessageIcon icon) override;
  void Show() override;
  int Run() override;
  [[noreturn]] void EndProgram(int exitCode) override;

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void DrawPicture(const DRAWITEMSTRUCT& item);
  RECT PixelsOf(float left, float top, float width, float height) const;
  static void PumpPendingMessages();

  HINSTANCE instance_;
  int showCommand_;
  HWND window_ = nullptr;
  HFONT font_;
  HBITMAP banner_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  Form* form_ = nullptr;
  FormEvents* events_ = nullptr;
  std::vector<HWND> controls_; // by the form's control index
  HWND focus_ = nullptr;       // the control that has, or is to get, the focus
  // The command button of this window that has the focus, if any.
  int FocusedButton() const;
};
