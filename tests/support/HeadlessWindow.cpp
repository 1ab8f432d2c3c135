#include "tests/support/HeadlessWindow.h"

#include "platform/Events.h"

HeadlessWindow::HeadlessWindow() {
  platform::SetPendingEventsHandler([this] {
    if (onPendingEvents) onPendingEvents();
  });
}

HeadlessWindow::~HeadlessWindow() {
  platform::SetPendingEventsHandler(nullptr);
}

// An event delivered while another runs (a click during a search) ends the
// program from inside it: the end unwinds to the outermost event.
bool HeadlessWindow::Deliver(const std::function<void()>& event) {
  if (exitCode) return false;
  if (depth_ > 0) {
    event();
    return true;
  }
  ++depth_;
  try {
    event();
  } catch (const Ended& ended) {
    exitCode = ended.code;
  }
  --depth_;
  return !exitCode;
}

bool HeadlessWindow::RunEvent(const std::function<void()>& event) {
  return Deliver(event);
}

bool HeadlessWindow::Start(frmTop& form) {
  Create(form.Window(), form);
  if (!Deliver([&] { form.RunTrapped([&] { form.Form_Load(); }); })) return false;
  Show();
  return true;
}

bool HeadlessWindow::Click(const std::string& control) {
  return Deliver([&] { events_->Click(control); });
}

bool HeadlessWindow::Close() {
  return Deliver([&] { events_->CloseRequested(); });
}

void HeadlessWindow::Create(Form& form, FormEvents& events) {
  form_ = &form;
  events_ = &events;
}

void HeadlessWindow::Update(int control) {
  if (control < 0 && form_ && form_->MousePointer() != pointer_) {
    pointer_ = form_->MousePointer();
    pointers.push_back(pointer_);
    journal.push_back("pointer:" + std::to_string(pointer_));
  }
}

void HeadlessWindow::ListCleared(int) {
  ++listClears;
  journal.push_back("clear");
}
void HeadlessWindow::ListAppended(int, const std::string& line) {
  appended.push_back(line);
  journal.push_back("line:" + line);
}
void HeadlessWindow::Repaint(int) {
  ++repaints;
  journal.push_back("repaint");
}

void HeadlessWindow::Focus(int control) {
  focused = form_->ControlAt(control).Name();
  journal.push_back("focus:" + focused);
}

MessageAnswer HeadlessWindow::ShowMessage(const std::string& text, const std::string& title,
                                          MessageButtons buttons, MessageIcon icon) {
  messages.push_back({text, title, buttons, icon});
  journal.push_back("box:" + title);
  if (!answers.empty()) {
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::OkOnly ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void HeadlessWindow::EndProgram(int code) {
  throw Ended{code};
}
