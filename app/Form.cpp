#include "app/Form.h"

#include <utility>

Control::Control(Form& owner, int index, ControlDesign design)
    : owner_(owner), index_(index), design_(std::move(design)) {}

void Control::Changed() {
  owner_.view_.Update(index_);
}

void Control::Left(float vData) {
  design_.Left = vData;
  Changed();
}
void Control::Top(float vData) {
  design_.Top = vData;
  Changed();
}
void Control::Width(float vData) {
  design_.Width = vData;
  Changed();
}
void Control::Height(float vData) {
  design_.Height = vData;
  Changed();
}
void Control::Caption(std::string vData) {
  design_.Caption = std::move(vData);
  Changed();
}
void Control::Visible(bool vData) {
  visible_ = vData;
  Changed();
}
void Control::Enabled(bool vData) {
  enabled_ = vData;
  Changed();
}

void Control::RequireList() const {
  if (design_.Kind != ControlKind::ListBox) throw NotSupported(design_.Name + ".List");
}

void Control::Clear() {
  RequireList();
  lines_.clear();
  owner_.view_.ListCleared(index_);
}

void Control::AddItem(std::string line) {
  RequireList();
  lines_.push_back(std::move(line));
  owner_.view_.ListAppended(index_, lines_.back());
}

void Control::Refresh() {
  owner_.view_.Repaint(index_);
}

void Control::SetFocus() {
  owner_.view_.Focus(index_);
}

float Control::GetNumber(const std::string& name) {
  if (name == "Left") return Left();
  if (name == "Top") return Top();
  if (name == "Width") return Width();
  if (name == "Height") return Height();
  if (name == "Visible") return Visible() ? 1.0f : 0.0f;
  if (name == "Enabled") return Enabled() ? 1.0f : 0.0f;
  if (name == "TabIndex" && TabIndex() >= 0) return static_cast<float>(TabIndex());
  throw NotSupported(name);
}

void Control::SetNumber(const std::string& name, float value) {
  if (name == "Left") return Left(value);
  if (name == "Top") return Top(value);
  if (name == "Width") return Width(value);
  if (name == "Height") return Height(value);
  if (name == "Visible") return Visible(value != 0);
  if (name == "Enabled") return Enabled(value != 0);
  if (name == "TabIndex" && TabIndex() >= 0) throw ReadOnly(name);
  throw NotSupported(name);
}

std::shared_ptr<PropertyObject> Control::GetObject(const std::string& name) {
  throw NotSupported(name);
}

std::shared_ptr<PropertyObject> Control::Item(int) {
  throw NotSupported("Item");
}

// The window's controls as an indexed collection.
class Form::Collection final : public PropertyObject {
public:
  explicit Collection(Form& form) : form_(form) {}
  float GetNumber(const std::string& name) override {
    if (name == "Count") return static_cast<float>(form_.ControlCount());
    throw NotSupported(name);
  }
  void SetNumber(const std::string& name, float) override {
    if (name == "Count") throw ReadOnly(name);
    throw NotSupported(name);
  }
  std::shared_ptr<PropertyObject> GetObject(const std::string& name) override {
    throw NotSupported(name);
  }
  std::shared_ptr<PropertyObject> Item(int index) override {
    if (index < 0 || index >= form_.ControlCount())
      throw RuntimeError(RuntimeError::SubscriptOutOfRange);
    return form_.controls_[static_cast<size_t>(index)];
  }

private:
  Form& form_;
};

Form::Form(const FormDesign& design, FormView& view) : view_(view), caption_(design.Caption) {
  width_ = design.ClientWidth + static_cast<float>(view.FrameWidthPixels()) * design.TwipsPerPixel;
  height_ =
      design.ClientHeight + static_cast<float>(view.FrameHeightPixels()) * design.TwipsPerPixel;
  int index = 0;
  for (const auto& control : design.Controls)
    controls_.push_back(std::make_shared<Control>(*this, index++, control));
}

void Form::Caption(std::string vData) {
  caption_ = std::move(vData);
  view_.Update(-1);
}
void Form::Width(float vData) {
  width_ = vData;
  view_.Update(-1);
}
void Form::Height(float vData) {
  height_ = vData;
  view_.Update(-1);
}
void Form::MousePointer(int vData) {
  mousePointer_ = vData;
  view_.Update(-1);
}

Control& Form::operator[](const std::string& name) {
  for (auto& control : controls_)
    if (control->Name() == name) return *control;
  throw RuntimeError(RuntimeError::ObjectNotSet);
}

float Form::GetNumber(const std::string& name) {
  if (name == "Width") return Width();
  if (name == "Height") return Height();
  if (name == "WindowState") return static_cast<float>(WindowState());
  if (name == "MousePointer") return static_cast<float>(MousePointer());
  throw NotSupported(name);
}

void Form::SetNumber(const std::string& name, float value) {
  if (name == "Width") return Width(value);
  if (name == "Height") return Height(value);
  if (name == "MousePointer") return MousePointer(static_cast<int>(value));
  if (name == "WindowState") throw ReadOnly(name);
  throw NotSupported(name);
}

std::shared_ptr<PropertyObject> Form::GetObject(const std::string& name) {
  if (name == "Controls") return std::make_shared<Collection>(*this);
  throw NotSupported(name);
}

std::shared_ptr<PropertyObject> Form::Item(int) {
  throw NotSupported("Item");
}
