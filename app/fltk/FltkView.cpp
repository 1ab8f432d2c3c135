#include "app/fltk/FltkView.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/Form.h"
#include "app/fltk/Artwork.h"
#include "platform/CodePages.h"
#include "platform/Events.h"
#include "platform/Screen.h"

namespace {

// The text keeps its size in pixels at every resolution, as the controls do
// (they keep the pixel sizes of the screen the layout was drawn on): FLTK's
// sans-serif font at 12 pixels, whose texts fit those controls.
constexpr int FontSize = 12;

// The log: a list that, as a Windows list box, shows whole lines from its top
// on; scrolling moves by lines, and the newest line is kept in sight.
class LogList final : public Fl_Hold_Browser {
public:
  LogList() : Fl_Hold_Browser(0, 0, 1, 1) {
    scrollbar.callback(Scrolled, this);
    format_char(0); // lines are shown as they are
    textsize(FontSize);
  }

  int LineHeight() const {
    void* first = item_first();
    return first ? item_height(first) : 0;
  }

  // The newest line in sight: at the bottom of the view, or just above it
  // so that the view starts with a whole line.
  void ShowLast() { ScrollTo(full_height()); }

  // The lines' height, rounded up so that the view can scroll to its end by
  // whole lines: the last position puts the last line at the bottom or just
  // above it, and the view always starts with a whole line.
  int full_height() const override {
    const int full = Fl_Hold_Browser::full_height();
    const int lineHeight = LineHeight();
    int x, y, w, h;
    bbox(x, y, w, h);
    if (lineHeight <= 0 || full <= h) return full;
    return h + (full - h + lineHeight - 1) / lineHeight * lineHeight;
  }

  // Keys and clicks may scroll to show a line: then the view starts with the
  // next whole line.
  int handle(int event) override {
    const int used = Fl_Hold_Browser::handle(event);
    const int lineHeight = LineHeight();
    if (lineHeight > 0 && position() % lineHeight != 0)
      ScrollTo((position() / lineHeight + 1) * lineHeight);
    return used;
  }

private:
  // The scroll bar's new position, rounded to the start of a line.
  static void Scrolled(Fl_Widget* bar, void* data) {
    auto* list = static_cast<LogList*>(data);
    const int lineHeight = std::max(1, list->LineHeight());
    const int value = static_cast<Fl_Scrollbar*>(bar)->value();
    list->ScrollTo((value + lineHeight / 2) / lineHeight * lineHeight);
  }

  // A position within the lines (the last one ends a whole number of lines
  // down, see full_height).
  void ScrollTo(int pixel) {
    int x, y, w, h;
    bbox(x, y, w, h);
    position(std::clamp(pixel, 0, std::max(0, full_height() - h)));
  }
};

bool EnterKey() {
  return (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) &&
         !(Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META));
}

// A push button as Windows has it: Space and Enter press it while it has
// the focus, and the focused one wears the default button's dark frame
// (Enter presses it).
class PushButton final : public Fl_Button {
public:
  PushButton(int x, int y, int w, int h, const char* label = nullptr)
      : Fl_Button(x, y, w, h, label) {}

  int handle(int event) override {
    if (event == FL_KEYBOARD && Fl::focus() == this && active_r() && EnterKey()) {
      do_callback();
      return 1;
    }
    return Fl_Button::handle(event);
  }

protected:
  void draw() override {
    Fl_Button::draw();
    if (Fl::focus() != this) return;
    fl_color(active_r() ? FL_FOREGROUND_COLOR : FL_INACTIVE_COLOR);
    fl_rect(x(), y(), w(), h());
  }
};

// A message box's window. The keys that Windows gives a message box: Enter
// presses the focused button, or the default one when no button has the
// focus; a button's access key (Y for Yes, N for No) presses it; Esc and the
// close box run the window's callback.
class MessageWindow final : public Fl_Double_Window {
public:
  MessageWindow(int w, int h) : Fl_Double_Window(w, h) {}

  Fl_Button* defaultButton = nullptr;
  std::vector<std::pair<int, Fl_Button*>> accessKeys;

  int handle(int event) override {
    if (event == FL_SHORTCUT && !(Fl::event_state() & (FL_CTRL | FL_META))) {
      for (auto& [key, button] : accessKeys)
        if (Fl::event_key() == key) {
          button->do_callback();
          return 1;
        }
      if (defaultButton && EnterKey()) {
        defaultButton->do_callback();
        return 1;
      }
    }
    return Fl_Double_Window::handle(event);
  }
};

int ToPixels(float twips, float twipsPerPixel) {
  return static_cast<int>(std::lround(twips / twipsPerPixel));
}

std::string Utf8(const std::string& ansi) {
  return platform::AnsiTextToUtf8(ansi);
}

std::unique_ptr<Fl_RGB_Image> LoadPng(const char* name, artwork::Bytes bytes) {
  return std::make_unique<Fl_PNG_Image>(name, bytes.data, static_cast<int>(bytes.size));
}

// Tells the window manager that a message box is a dialog that can only be
// moved and closed: no minimise or maximise button, no resizing frame.
void MarkAsDialog(Fl_Window& dialog) {
  Window xid = fl_xid(&dialog);
  if (!xid) return;
  Atom type = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE", False);
  Atom dialogType = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(fl_display, xid, type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&dialogType), 1);
  // Motif hints: functions move and close; decorations border, title and
  // window menu.
  enum : long { Functions = 1, Decorations = 2, Move = 4, Close = 32 };
  enum : long { Border = 2, Title = 8, Menu = 16 };
  long hints[5] = {Functions | Decorations, Move | Close, Border | Title | Menu, 0, 0};
  Atom motif = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(fl_display, xid, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
  XFlush(fl_display);
}

} // namespace

struct FltkView::Clicked {
  FltkView* view;
  int control;
};

FltkView::FltkView() {
  // The program's own class and name for the window manager, which task
  // bars label and group windows by; every window of the program has it.
  Fl_Window::default_xclass("TALMIREXRemove");
  fl_open_display();
  float h = 0, v = 0;
  Fl::screen_dpi(h, v);
  if (!(h > 0)) h = 96;
  if (!(v > 0)) v = h;
  platform::Service<platform::Screen>::Replace(platform::Screen::Fixed(1440.0f / h, 1440.0f / v));
  Fl::visual(FL_DOUBLE | FL_INDEX);
  banner_ = LoadPng("banner.png", artwork::Banner());
  icon_ = LoadPng("icon32.png", artwork::Icon());
  platform::SetPendingEventsHandler([] { Fl::check(); });
}

FltkView::~FltkView() {
  platform::SetPendingEventsHandler(nullptr);
  delete window_;
}

void FltkView::Create(Form& form, FormEvents& events) {
  form_ = &form;
  events_ = &events;
  auto& screen = platform::screen();
  window_ = new Fl_Double_Window(ToPixels(form.Width(), screen.TwipsPerPixelX()),
                                 ToPixels(form.Height(), screen.TwipsPerPixelY()));
  window_->copy_label(Utf8(form.Caption()).c_str());
  window_->callback(OnClose, this);
  if (icon_) window_->icon(icon_.get());

  // Widgets in tab order (FLTK moves the focus in child order); pictures,
  // which take no focus, first so that they lie underneath.
  std::vector<int> order(static_cast<size_t>(form.ControlCount()));
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<int>(i);
  auto rank = [&](int i) { return form.ControlAt(i).TabIndex(); };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });

  widgets_.assign(order.size(), nullptr);
  for (int i : order) {
    const Control& c = form.ControlAt(i);
    Fl_Widget* w = nullptr;
    switch (c.Kind()) {
    case ControlKind::Picture: {
      auto* box = new Fl_Box(0, 0, 1, 1);
      box->box(FL_NO_BOX);
      box->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER);
      w = box;
      break;
    }
    case ControlKind::Label: {
      auto* box = new Fl_Box(0, 0, 1, 1);
      box->box(FL_NO_BOX);
      box->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP);
      box->labelsize(FontSize);
      w = box;
      break;
    }
    case ControlKind::ListBox:
      w = new LogList();
      break;
    case ControlKind::CommandButton: {
      auto* button = new PushButton(0, 0, 1, 1);
      button->labelsize(FontSize);
      clicks_.push_back(std::make_unique<Clicked>(Clicked{this, i}));
      button->callback(OnClick, clicks_.back().get());
      w = button;
      break;
    }
    }
    widgets_[static_cast<size_t>(i)] = w;
    PlaceWidget(i);
  }
  window_->end();
}

void FltkView::PlaceWidget(int control) {
  const Control& c = form_->ControlAt(control);
  Fl_Widget* w = widgets_.at(static_cast<size_t>(control));
  auto& screen = platform::screen();
  const float tx = screen.TwipsPerPixelX(), ty = screen.TwipsPerPixelY();
  const int x = ToPixels(c.Left(), tx), y = ToPixels(c.Top(), ty);
  const int width = std::max(1, ToPixels(c.Width(), tx));
  const int height = std::max(1, ToPixels(c.Height(), ty));
  const bool resized = w->w() != width || w->h() != height;
  w->resize(x, y, width, height);
  if (c.Kind() == ControlKind::Picture && (resized || !w->image())) {
    Fl_RGB_Image* art = c.Art() == PictureArt::Banner ? banner_.get() : icon_.get();
    if (art && c.Art() != PictureArt::Blank) {
      scaled_.emplace_back(art->copy(width, height)); // the picture stretched to the control
      w->image(scaled_.back().get());
    }
  }
  if (c.Kind() == ControlKind::Label || c.Kind() == ControlKind::CommandButton)
    w->copy_label(Utf8(c.Caption()).c_str());
  if (c.Enabled())
    w->activate();
  else
    w->deactivate();
  if (c.Visible())
    w->show();
  else
    w->hide();
  if (window_) window_->redraw();
}

void FltkView::Update(int control) {
  if (!window_) return;
  if (control >= 0) return PlaceWidget(control);
  auto& screen = platform::screen();
  window_->size(ToPixels(form_->Width(), screen.TwipsPerPixelX()),
                ToPixels(form_->Height(), screen.TwipsPerPixelY()));
  window_->copy_label(Utf8(form_->Caption()).c_str());
  window_->cursor(form_->MousePointer() == 11 ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
}

void FltkView::ListCleared(int control) {
  static_cast<LogList*>(widgets_.at(static_cast<size_t>(control)))->clear();
}

void FltkView::ListAppended(int control, const std::string& line) {
  auto* list = static_cast<LogList*>(widgets_.at(static_cast<size_t>(control)));
  list->add(Utf8(line).c_str());
  list->ShowLast(); // the newest line in sight
}

void FltkView::Repaint(int control) {
  widgets_.at(static_cast<size_t>(control))->redraw();
  Fl::flush();
}

void FltkView::Focus(int control) {
  focus_ = control;
  if (window_ && window_->shown()) widgets_.at(static_cast<size_t>(control))->take_focus();
}

std::uintptr_t FltkView::NativeHandle() {
  return window_ ? static_cast<std::uintptr_t>(fl_xid(window_)) : 0;
}

MessageAnswer FltkView::ShowMessage(const std::string& text, const std::string& title,
                                    MessageButtons buttons, MessageIcon icon) {
  const std::string message = Utf8(text);
  fl_font(FL_HELVETICA, FontSize);
  int textW = 340, textH = 0;
  fl_measure(message.c_str(), textW, textH, 0);
  const bool withIcon = icon == MessageIcon::Information;
  const int left = withIcon ? 66 : 16;
  const int width = std::max(left + textW + 16, 300);
  const int textBottom = 16 + std::max(textH, withIcon ? 40 : 0);
  const int height = textBottom + 52;

  MessageWindow dialog(width, height);
  dialog.copy_label(Utf8(title).c_str());
  if (withIcon) {
    auto* sign = new Fl_Box(16, 16, 40, 40, "i");
    sign->box(FL_ROUND_UP_BOX);
    sign->color(FL_WHITE);
    sign->labelfont(FL_TIMES_BOLD);
    sign->labelsize(30);
    sign->labelcolor(FL_BLUE);
  }
  auto* label = new Fl_Box(left, 16, width - left - 16, textBottom - 16);
  label->copy_label(message.c_str());
  label->labelsize(FontSize);
  label->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);

  const MessageAnswer closed =
      buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
  MessageAnswer answer = closed;
  struct Choice {
    MessageAnswer* answer;
    MessageAnswer value;
    Fl_Window* dialog;
  };
  struct Button {
    const char* caption;
    MessageAnswer answer;
    int accessKey; // 0: none
  };
  std::vector<Button> choices;
  if (buttons == MessageButtons::YesNoCancel)
    choices = {{"&Yes", MessageAnswer::Yes, 'y'},
               {"&No", MessageAnswer::No, 'n'},
               {"Cancel", MessageAnswer::Cancel, 0}};
  else
    choices = {{"OK", MessageAnswer::Ok, 0}};
  std::vector<Choice> data;
  data.reserve(choices.size());
  const int buttonW = 84, gap = 8;
  int x = width - 16 - static_cast<int>(choices.size()) * (buttonW + gap) + gap;
  for (size_t i = 0; i < choices.size(); ++i) {
    data.push_back({&answer, choices[i].answer, &dialog});
    auto* b = new PushButton(x, height - 40, buttonW, 26, choices[i].caption);
    b->labelsize(FontSize);
    // The first button is the default one.
    if (i == 0) dialog.defaultButton = b;
    if (choices[i].accessKey) dialog.accessKeys.push_back({choices[i].accessKey, b});
    b->callback(
        [](Fl_Widget*, void* p) {
          auto* choice = static_cast<Choice*>(p);
          *choice->answer = choice->value;
          choice->dialog->hide();
        },
        &data.back());
    x += buttonW + gap;
  }
  dialog.end();
  dialog.set_modal();
  dialog.size_range(width, height, width, height);
  dialog.callback([](Fl_Widget* w, void*) { w->hide(); });
  // Centred on the main window, as Windows places a box on its owner, and
  // kept on the screen.
  if (window_ && window_->shown()) {
    int sx, sy, sw, sh;
    Fl::screen_work_area(sx, sy, sw, sh, window_->x() + window_->w() / 2,
                         window_->y() + window_->h() / 2);
    const int left = window_->x() + (window_->w() - width) / 2;
    const int top = window_->y() + (window_->h() - height) / 2;
    dialog.position(std::clamp(left, sx, std::max(sx, sx + sw - width)),
                    std::clamp(top, sy, std::max(sy, sy + sh - height)));
  }
  dialog.show();
  MarkAsDialog(dialog);
  // The keyboard starts on the default button, and goes back where it was
  // when the box closes.
  Fl_Widget* before = Fl::focus();
  if (dialog.defaultButton) Fl::focus(dialog.defaultButton);
  while (dialog.shown())
    Fl::wait();
  if (before && before->window() && before->window()->shown()) before->take_focus();
  return answer;
}

void FltkView::Show() {
  const int x = Fl::x() + std::max(0, (Fl::w() - window_->w()) / 2);
  const int y = Fl::y() + std::max(0, (Fl::h() - window_->h()) / 2);
  window_->position(x, y);
  window_->show();
  if (focus_ >= 0) widgets_.at(static_cast<size_t>(focus_))->take_focus();
  Fl::check();
}

int FltkView::Run() {
  return Fl::run();
}

void FltkView::EndProgram(int exitCode) {
  if (window_) window_->hide();
  Fl::flush();
  std::exit(exitCode);
}

void FltkView::OnClick(Fl_Widget*, void* data) {
  auto* clicked = static_cast<Clicked*>(data);
  clicked->view->events_->Click(clicked->view->form_->ControlAt(clicked->control).Name());
}

void FltkView::OnClose(Fl_Widget*, void* data) {
  // Escape closes an FLTK window by default; only the close box does here.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  static_cast<FltkView*>(data)->events_->CloseRequested();
}
