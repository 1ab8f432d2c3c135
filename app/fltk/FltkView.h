#pragma once
// The window with FLTK widgets on Linux: the layout in pixels from the
// display's pixels per inch, modal boxes with the information icon, the wait
// cursor, Fl::check() for pending events.

#include <memory>
#include <vector>

#include "app/FormView.h"

class Fl_Double_Window;
class Fl_Widget;
class Fl_RGB_Image;
class Fl_Image;

class FltkView final : public FormView {
public:
  // Opens the display and installs its twips per pixel as the screen's.
  FltkView();
  ~FltkView() override;
  FltkView(const FltkView&) = delete;
  FltkView& operator=(const FltkView&) = delete;

  int FrameWidthPixels() override { return 0; }
  int FrameHeightPixels() override { return 0; }
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

  // For tests: the window and the widget of each control, by control index.
  Fl_Double_Window* Window() const { return window_; }
  Fl_Widget* Widget(int control) const { return widgets_.at(static_cast<size_t>(control)); }

private:
  struct Clicked;
  static void OnClick(Fl_Widget* widget, void* data);
  static void OnClose(Fl_Widget* widget, void* data);
  void PlaceWidget(int control);

  Form* form_ = nullptr;
  FormEvents* events_ = nullptr;
  Fl_Double_Window* window_ = nullptr;
  std::vector<Fl_Widget*> widgets_;
  std::vector<std::unique_ptr<Clicked>> clicks_;
  std::unique_ptr<Fl_RGB_Image> banner_, icon_;
  std::vector<std::unique_ptr<Fl_Image>> scaled_;
  int focus_ = -1; // the control that has, or is to get, the focus
};
