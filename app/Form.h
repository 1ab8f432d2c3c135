#pragma once
// A window and its controls as the program sees them: positions and sizes in
// twips, captions in the ANSI code page, the list box's lines. Every change
// is handed to the view. Window and controls are PropertyObjects, so
// modResize can scale them by property name.

#include <memory>
#include <string>
#include <vector>

#include "app/FormView.h"
#include "layout/PropertyObject.h"

enum class ControlKind { Picture, Label, ListBox, CommandButton };
// Which of the program's pictures a picture control shows.
enum class PictureArt { Blank, Banner, Icon };

struct ControlDesign {
  std::string Name;
  ControlKind Kind;
  std::string Caption;
  float Left, Top, Width, Height;
  int TabIndex; // -1: not a tab stop
  PictureArt Art = PictureArt::Blank;
};

struct FormDesign {
  std::string Caption;
  float ClientWidth, ClientHeight; // twips
  float TwipsPerPixel;             // of the screen the layout was drawn on
  std::vector<ControlDesign> Controls;
};

class Form;

class Control final : public PropertyObject {
public:
  Control(Form& owner, int index, ControlDesign design);

  const std::string& Name() const { return design_.Name; }
  ControlKind Kind() const { return design_.Kind; }
  PictureArt Art() const { return design_.Art; }
  int TabIndex() const { return design_.TabIndex; }
  int Index() const { return index_; }

  float Left() const { return design_.Left; }
  void Left(float vData);
  float Top() const { return design_.Top; }
  void Top(float vData);
  float Width() const { return design_.Width; }
  void Width(float vData);
  float Height() const { return design_.Height; }
  void Height(float vData);

  const std::string& Caption() const { return design_.Caption; }
  void Caption(std::string vData);
  bool Visible() const { return visible_; }
  void Visible(bool vData);
  bool Enabled() const { return enabled_; }
  void Enabled(bool vData);

  // A list box's lines.
  const std::vector<std::string>& Lines() const { return lines_; }
  void Clear();
  void AddItem(std::string line);
  void Refresh();
  // Gives this control the keyboard focus.
  void SetFocus();

  float GetNumber(const std::string& name) override;
  void SetNumber(const std::string& name, float value) override;
  std::shared_ptr<PropertyObject> GetObject(const std::string& name) override;
  std::shared_ptr<PropertyObject> Item(int index) override;

private:
  void Changed();
  void RequireList() const;

  Form& owner_;
  int index_;
  ControlDesign design_;
  bool visible_ = true;
  bool enabled_ = true;
  std::vector<std::string> lines_;
};

class Form final : public PropertyObject {
public:
  // Sizes the window from the design's client area and the view's frame.
  Form(const FormDesign& design, FormView& view);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  FormView& View() { return view_; }

  const std::string& Caption() const { return caption_; }
  void Caption(std::string vData);
  // Outer size, frame included.
  float Width() const { return width_; }
  void Width(float vData);
  float Height() const { return height_; }
  void Height(float vData);
  // 0 normal, 1 minimised, 2 maximised.
  int WindowState() const { return windowState_; }
  // 0 default, 11 hourglass.
  int MousePointer() const { return mousePointer_; }
  void MousePointer(int vData);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  Control& ControlAt(int index) { return *controls_.at(static_cast<size_t>(index)); }
  const Control& ControlAt(int index) const { return *controls_.at(static_cast<size_t>(index)); }
  // The named control; 91 (object not set) when there is none.
  Control& operator[](const std::string& name);

  float GetNumber(const std::string& name) override;
  void SetNumber(const std::string& name, float value) override;
  std::shared_ptr<PropertyObject> GetObject(const std::string& name) override;
  std::shared_ptr<PropertyObject> Item(int index) override;

private:
  friend class Control;
  class Collection;

  FormView& view_;
  std::string caption_;
  float width_ = 0, height_ = 0;
  int windowState_ = 0;
  int mousePointer_ = 0;
  std::vector<std::shared_ptr<Control>> controls_;
};
