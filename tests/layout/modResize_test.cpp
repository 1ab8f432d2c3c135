#include "layout/modResize.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "platform/Screen.h"
#include "tests/support/ScopedService.h"

namespace {

// A window or control with the number properties it is given; it logs every
// read and write, and refuses writes to the properties named read-only.
class FakeObject : public PropertyObject {
public:
  FakeObject(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}

  std::map<std::string, float> numbers;
  std::set<std::string> readOnly;
  std::vector<std::shared_ptr<FakeObject>> members; // a collection's items
  std::shared_ptr<FakeObject> controls;             // "Controls", when present

  float GetNumber(const std::string& name) override {
    log_.push_back(name_ + " get " + name);
    auto it = numbers.find(name);
    if (it == numbers.end()) throw NotSupported(name);
    return it->second;
  }
  void SetNumber(const std::string& name, float value) override {
    if (!numbers.count(name)) throw NotSupported(name);
    if (readOnly.count(name)) throw ReadOnly(name);
    log_.push_back(name_ + " set " + name);
    numbers[name] = value;
  }
  std::shared_ptr<PropertyObject> GetObject(const std::string& name) override {
    if (name == "Controls" && controls) return controls;
    throw NotSupported(name);
  }
  std::shared_ptr<PropertyObject> Item(int index) override {
    if (index < 0 || index >= static_cast<int>(members.size())) throw RuntimeError(9);
    return members[static_cast<size_t>(index)];
  }

private:
  std::vector<std::string>& log_;
  std::string name_;
};

class ResizeFormTest : public ::testing::Test {
protected:
  std::vector<std::string> log;
  std::shared_ptr<FakeObject> window = std::make_shared<FakeObject>(log, "form");

  void SetUp() override {
    window->numbers = {{"WindowState", 0}, {"Height", 4800}, {"Width", 6780}};
  }

  std::shared_ptr<FakeObject> AddControl(const std::string& name, float left, float top,
                                         float width, float height) {
    if (!window->controls) {
      window->controls = std::make_shared<FakeObject>(log, "Controls");
      window->controls->numbers["Count"] = 0;
    }
    auto control = std::make_shared<FakeObject>(log, name);
    control->numbers = {{"Left", left}, {"Top", top}, {"Width", width}, {"Height", height}};
    window->controls->members.push_back(control);
    window->controls->numbers["Count"] += 1;
    return control;
  }

  void Resize(float screenX, float screenY, float designX = 12, float designY = 12) {
    ScopedService<platform::Screen> screen(platform::Screen::Fixed(screenX, screenY));
    modResize::ResizeForm(*window, designX, designY);
  }

  size_t Writes() const {
    size_t n = 0;
    for (const auto& entry : log)
      n += entry.find(" set ") != std::string::npos;
    return n;
  }
};

TEST_F(ResizeFormTest, TheDesignResolutionChangesNothing) {
  auto done = AddControl("cmdDone", 4920, 4680, 1572, 492);
  Resize(12, 12);
  EXPECT_EQ(Writes(), 0u);
  EXPECT_EQ(done->numbers["Left"], 4920);
  EXPECT_EQ(window->numbers["Height"], 4800);
}

TEST_F(ResizeFormTest, At96PixelsPerInchEverythingGrowsByAQuarter) {
  auto done = AddControl("cmdDone", 4920, 4680, 1572, 492);
  Resize(15, 15);
  EXPECT_EQ(done->numbers["Left"], 6150);
  EXPECT_EQ(done->numbers["Top"], 5850);
  EXPECT_EQ(done->numbers["Width"], 1965);
  EXPECT_EQ(done->numbers["Height"], 615);
  EXPECT_EQ(window->numbers["Height"], 6000);
  EXPECT_EQ(window->numbers["Width"], 8475);
}

TEST_F(ResizeFormTest, ReadsAndWritesInTheirOrderWithCountReadOnce) {
  AddControl("a", 1, 2, 3, 4);
  AddControl("b", 5, 6, 7, 8);
  Resize(10, 10);
  std::vector<std::string> expected = {"form get WindowState", "form get Height",
                                       "form set Height",      "form get Width",
                                       "form set Width",       "Controls get Count"};
  for (std::string c : {"a", "b"})
    for (std::string p : {"Left", "Top", "Height", "Width"}) {
      expected.push_back(c + " get " + p);
      expected.push_back(c + " set " + p);
    }
  EXPECT_EQ(log, expected);
}

TEST_F(ResizeFormTest, ProductsAreSinglePrecisionAndUnrounded) {
  auto c = AddControl("c", 1001, 333, 7, 1);
  Resize(15, 10); // sx = 1.25, sy = 10/12 in single precision
  const float sy = 10.0f / 12.0f;
  EXPECT_EQ(c->numbers["Left"], 1251.25f);
  EXPECT_EQ(c->numbers["Top"], 333.0f * sy);
  EXPECT_EQ(c->numbers["Width"], 8.75f);
  EXPECT_EQ(c->numbers["Height"], sy);
}

TEST_F(ResizeFormTest, AFactorOfOneIsStillAppliedWhenTheOtherDiffers) {
  auto c = AddControl("c", 100, 100, 100, 100);
  Resize(15, 12);
  EXPECT_EQ(c->numbers["Left"], 125);
  EXPECT_EQ(c->numbers["Top"], 100);
  EXPECT_EQ(Writes(), 6u); // both of the window's, all four of the control's
}

TEST_F(ResizeFormTest, AMinimisedOrMaximisedWindowIsLeftAlone) {
  for (float state : {1.0f, 2.0f}) {
    log.clear();
    window->numbers["WindowState"] = state;
    auto c = AddControl("c", 100, 100, 100, 100);
    Resize(15, 15);
    EXPECT_EQ(log, std::vector<std::string>{"form get WindowState"}) << state;
    EXPECT_EQ(c->numbers["Left"], 100);
  }
}

TEST_F(ResizeFormTest, AMissingOrRefusingPropertySkipsThatStepOnly) {
  auto noLeft = AddControl("image", 100, 100, 100, 100);
  noLeft->numbers.erase("Left");
  auto fixedTop = AddControl("label", 200, 200, 200, 200);
  fixedTop->readOnly = {"Top"};
  auto next = AddControl("button", 300, 300, 300, 300);
  Resize(15, 15);
  EXPECT_EQ(noLeft->numbers.count("Left"), 0u);
  EXPECT_EQ(noLeft->numbers["Top"], 125);
  EXPECT_EQ(noLeft->numbers["Width"], 125);
  EXPECT_EQ(fixedTop->numbers["Left"], 250);
  EXPECT_EQ(fixedTop->numbers["Top"], 200);
  EXPECT_EQ(fixedTop->numbers["Height"], 250);
  EXPECT_EQ(next->numbers["Left"], 375);
  EXPECT_EQ(next->numbers["Width"], 375);
}

TEST_F(ResizeFormTest, AWindowWithoutControlsHasOnlyItsOwnSizeScaled) {
  Resize(15, 15);
  EXPECT_EQ(window->numbers["Height"], 6000);
  EXPECT_EQ(window->numbers["Width"], 8475);

  window->controls = std::make_shared<FakeObject>(log, "Controls");
  window->controls->numbers["Count"] = 0;
  Resize(15, 15);
  EXPECT_EQ(window->numbers["Height"], 7500);
}

TEST_F(ResizeFormTest, AWindowLackingSizeOrStateStillHasItsControlsScaled) {
  window->numbers.clear();
  auto c = AddControl("c", 100, 100, 100, 100);
  Resize(15, 15);
  EXPECT_EQ(c->numbers["Top"], 125);
}

TEST_F(ResizeFormTest, AControlThatCannotBeReachedIsSkipped) {
  auto first = AddControl("a", 100, 100, 100, 100);
  window->controls->numbers["Count"] = 3; // one more than the collection holds
  Resize(15, 15);
  EXPECT_EQ(first->numbers["Left"], 125);
}

} // namespace
