// The FLTK window on the display that scripts/test provides: its texts fit
// their controls at every resolution, the log shows whole lines, and the
// version line dates the program's own binary.

#include <gtest/gtest.h>

#include "app/fltk/FltkView.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_draw.H>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <string>
#include <vector>

#include "app/frmTop.h"
#include "platform/Screen.h"
#include "tests/support/ScopedService.h"
#include "tests/support/posix/OwnBinary.h"

namespace {

// The window loaded as at start-up, on a screen of `dpi` pixels per inch.
struct Loaded {
  explicit Loaded(int dpi) {
    platform::Service<platform::Screen>::Replace(platform::Screen::Fixed(
        1440.0f / static_cast<float>(dpi), 1440.0f / static_cast<float>(dpi)));
    view.Create(form.Window(), form);
    form.Form_Load();
  }
  Fl_Widget* Widget(const std::string& name) { return view.Widget(form[name].Index()); }
  FltkView view;
  frmTop form{view};
};

// The longest lines the program writes into its log.
const char* const LogLines[] = {
    "Removal Incomplete...Some Driver Files were not Deleted",
    "Ask User if Device Drivers removed from Device Manager",
    "... File: C:\\windows\\inf\\oem12.pnf",
};

TEST(FltkView, EveryTextFitsItsControlAtEveryResolution) {
  ScopedService<platform::Screen> keep{platform::Service<platform::Screen>::Current()};
  for (int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(std::to_string(dpi) + " pixels per inch");
    Loaded window(dpi);
    for (const char* name : {"lblTitle", "lblCopyright", "lblVersion", "cmdRemove", "cmdDone"}) {
      SCOPED_TRACE(name);
      Fl_Widget* w = window.Widget(name);
      ASSERT_NE(w->label(), nullptr);
      fl_font(w->labelfont(), w->labelsize());
      const int width = static_cast<int>(fl_width(w->label()) + 0.999);
      const bool button = name[0] == 'c';
      // A button keeps a margin of a few pixels on each side of its text.
      const int room = button ? w->w() - 2 * Fl::box_dx(w->box()) - 2 * 6 : w->w();
      EXPECT_LE(width, room) << '"' << w->label() << "\" in " << w->w() << " pixels";
      EXPECT_LE(fl_height(), w->h());
    }
    auto* list = static_cast<Fl_Browser*>(window.Widget("lstFiles"));
    fl_font(list->textfont(), list->textsize());
    const int inner = list->w() - 2 * Fl::box_dx(list->box()) - Fl::scrollbar_size();
    for (const char* line : LogLines)
      EXPECT_LE(fl_width(line) + 4, inner) << line;
  }
}

TEST(FltkView, TheLogShowsWholeLinesFromItsTop) {
  ScopedService<platform::Screen> keep{platform::Service<platform::Screen>::Current()};
  Loaded window(96);
  auto* list = static_cast<Fl_Browser*>(window.Widget("lstFiles"));
  // The height of a line in the list's font: a small list of the same text
  // scrolled by one line.
  Fl_Browser probe(0, 0, 100, 20);
  probe.textfont(list->textfont());
  probe.textsize(list->textsize());
  for (const char* line : {"a", "b", "c", "d"})
    probe.add(line);
  probe.topline(2);
  const int lineHeight = probe.position();
  ASSERT_GT(lineHeight, 0);
  for (int i = 1; i <= 40; ++i) {
    SCOPED_TRACE(i);
    window.form.AppendLog("line " + std::to_string(i));
    // The newest line in sight, the top line whole.
    const int inner = list->h() - Fl::box_dh(list->box());
    EXPECT_GE(list->position() + inner, i * lineHeight);
    EXPECT_EQ(list->position() % lineHeight, 0) << list->position();
  }
  EXPECT_GT(list->position(), 0);
  // Dragging the scroll bar anywhere stops at the start of a line.
  for (int pixel : {1, lineHeight / 2 - 1, lineHeight + 5, 5 * lineHeight - 3, 40 * lineHeight - 7,
                    list->position() - 1}) {
    SCOPED_TRACE(pixel);
    list->scrollbar.value(pixel);
    list->scrollbar.do_callback();
    EXPECT_EQ(list->position() % lineHeight, 0) << list->position();
  }
}

// Keys pressed, one at a time, in the modal box once it is open (0 takes
// the focus away from its buttons); a box that the keys left open is closed
// a second later.
struct Typist {
  std::vector<int> keys;
  size_t next = 0;
  bool leftOpen = false;

  static void Close(void* data) {
    if (Fl_Window* box = Fl::modal()) {
      static_cast<Typist*>(data)->leftOpen = true;
      box->hide();
    }
  }

  static void Press(void* data) {
    auto* typist = static_cast<Typist*>(data);
    Fl_Window* box = Fl::modal();
    if (box && typist->next < typist->keys.size()) {
      const int key = typist->keys[typist->next++];
      if (key == 0) {
        Fl::focus(nullptr);
        Fl::repeat_timeout(0.05, Press, data);
        return;
      }
      static char text[2];
      text[0] = key < 128 ? static_cast<char>(key) : '\0';
      Fl::e_keysym = key;
      Fl::e_state = 0;
      Fl::e_text = text;
      Fl::e_length = text[0] ? 1 : 0;
      Fl::handle(FL_KEYBOARD, box);
    }
    if (typist->next < typist->keys.size())
      Fl::repeat_timeout(0.05, Press, data);
    else
      Fl::add_timeout(1.0, Close, data);
  }
};

// A message box answers the keys as Windows' boxes do: Enter presses the
// focused button, which is Yes at first, and Yes when no button has the
// focus; Tab moves on; Y and N answer; Esc cancels, and is OK in a box with
// only OK.
TEST(FltkView, MessageBoxesAnswerKeysAsOnWindows) {
  ScopedService<platform::Screen> keep{platform::Service<platform::Screen>::Current()};
  Loaded window(96);
  window.view.Show();
  using B = MessageButtons;
  using A = MessageAnswer;
  struct Case {
    B buttons;
    std::vector<int> keys;
    A answer;
  } cases[] = {
      {B::YesNoCancel, {FL_Enter}, A::Yes},
      {B::YesNoCancel, {FL_Tab, FL_Enter}, A::No},
      {B::YesNoCancel, {FL_Tab, FL_Tab, FL_KP_Enter}, A::Cancel},
      {B::YesNoCancel, {FL_Tab, 0, FL_Enter}, A::Yes},
      {B::YesNoCancel, {FL_Tab, ' '}, A::No},
      {B::YesNoCancel, {FL_Tab, FL_Tab, 'y'}, A::Yes},
      {B::YesNoCancel, {'n'}, A::No},
      {B::YesNoCancel, {FL_Tab, FL_Escape}, A::Cancel},
      {B::OkOnly, {FL_Enter}, A::Ok},
      {B::OkOnly, {FL_Escape}, A::Ok},
  };
  for (const Case& c : cases) {
    Typist typist{c.keys};
    Fl::add_timeout(0.1, Typist::Press, &typist);
    const A answer =
        window.view.ShowMessage("Question", "Keys", c.buttons, MessageIcon::Information);
    Fl::remove_timeout(Typist::Press, &typist);
    Fl::remove_timeout(Typist::Close, &typist);
    EXPECT_FALSE(typist.leftOpen) << "the box stayed open";
    EXPECT_EQ(answer, c.answer) << "after " << typist.next << " of " << c.keys.size() << " keys, "
                                << (c.buttons == B::OkOnly ? "OK box" : "question");
  }
}

TEST(FltkView, TheVersionLineCarriesTheDateOfTheBinary) {
  ScopedService<platform::Screen> keep{platform::Service<platform::Screen>::Current()};
  Loaded window(96);
  const std::tm tm = testhost::OwnBinaryModified();
  EXPECT_EQ(window.form["lblVersion"].Caption(),
            "Version 1.2.0 - " + frmTop::FormatVersionDate(tm.tm_year + 1900, tm.tm_mon + 1,
                                                           tm.tm_mday, tm.tm_wday));
}

} // namespace
