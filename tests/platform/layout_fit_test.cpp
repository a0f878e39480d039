// Fitting frames to captions: who grows, who moves along, and that the shipped layouts stay
// free of overlaps however long their captions get.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "platform/widgets/controls.h"
#include "platform/widgets/layout.h"
#include "platform/widgets/layout_fit.h"
#include "platform/widgets/layout_geometry.h"
#include "support/test_paths.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

// Takes every outlet and every action, so any layout loads.
class AnyOwner : public LayoutOwner {
 public:
  bool connectOutlet(std::string_view name, const std::shared_ptr<Control>& control) override {
    if (control) named[std::string(name)] = control.get();
    return true;
  }
  Control::Action actionNamed(std::string_view) override {
    return [](Control&) {};
  }
  std::map<std::string, Control*> named;
};

std::string captionOf(const Control& c) {
  switch (c.kind()) {
    case Control::Kind::Button:
      return static_cast<const Button&>(c).title();
    case Control::Kind::ButtonCell:
      return static_cast<const ButtonCell&>(c).title();
    case Control::Kind::Box:
      return static_cast<const Box&>(c).title();
    case Control::Kind::TextField:
      return c.tag() == 0 ? static_cast<const TextField&>(c).stringValue() : "";
    default:
      return "";
  }
}

void forEach(Control& c, const std::function<void(Control&)>& visit) {
  visit(c);
  for (const auto& child : c.children()) forEach(*child, visit);
}

TEST(LayoutFit, WidenedCaptionsMoveTheirRowsAndColumnsAndGrowTheirHolders) {
  fs::path file = fs::temp_directory_path() / "jc-layout-fit-test.layout";
  std::ofstream(file) << R"(<layout version="2" width="300" height="220">
    <label outlet="a" text="A" x="10" y="10" width="50" height="20"/>
    <field outlet="aField" tag="1" x="64" y="10" width="100" height="20"/>
    <holdbutton outlet="aHold" x="170" y="10" width="20" height="20"/>
    <label outlet="b" text="B" x="10" y="40" width="50" height="20"/>
    <field outlet="bField" tag="2" x="64" y="40" width="60" height="20"/>
    <box outlet="box" title="Box" x="10" y="70" width="200" height="50">
      <button outlet="long" title="Long" x="150" y="4" width="40" height="20"/>
    </box>
    <matrix outlet="rows" x="10" y="130" width="100" rowheight="20" spacing="20">
      <cell outlet="r0" title="x"/><cell outlet="r1" title="y"/>
    </matrix>
    <label outlet="inGap" text="gap" x="20" y="150" width="40" height="20"/>
    <field outlet="besideRow" tag="3" x="120" y="170" width="60" height="20"/>
  </layout>)";
  AnyOwner owner;
  auto view = loadLayoutFile(file, owner);
  fs::remove(file);
  ASSERT_TRUE(view) << lastLayoutError();
  std::map<std::string, int> natural{{"a", 80}, {"long", 80}, {"r0", 140}};
  ASSERT_TRUE(fitToNaturalWidths(**view, [&](const Control& c) {
    auto it = natural.find(c.identifier());
    return it == natural.end() ? 0 : it->second;
  }));
  struct Want {
    const char* outlet;
    int x, width;
  };
  for (const Want& want : std::initializer_list<Want>{
           {"a", 10, 80},           // its caption's width
           {"aField", 94, 100},     // keeps its 4-point gap
           {"aHold", 200, 20},      // moved along the row
           {"b", 10, 50},           // another row: unchanged
           {"bField", 94, 60},      // moves with its column
           {"long", 150, 80},       // widened inside its box
           {"box", 10, 240},        // grows around it, keeping its 10-point edge
           {"rows", 10, 140},       // the matrix takes its widest cell
           {"r1", 0, 140},          // and so does every row
           {"inGap", 20, 40},       // between the rows: nothing pushes it
           {"besideRow", 160, 60},  // beside the second row: pushed
           {"panelView", 0, 300},   // room enough already
       }) {
    Control::Frame f = owner.named[want.outlet]->frame();
    EXPECT_EQ(f.x, want.x) << want.outlet;
    EXPECT_EQ(f.width, want.width) << want.outlet;
  }
}

// However long the captions of a shipped layout get, each control gets its width, nothing
// shrinks, nothing overlaps, and a second fit changes nothing.
TEST(LayoutFit, ShippedLayoutsStayFreeOfOverlapsWithLongCaptions) {
  for (const char* name : {"JobControl", "JobControl2"}) {
    for (int perCharacter : {7, 11, 16}) {
      AnyOwner owner;
      auto view = loadLayoutFile(
          fs::path(test::kSourceDir) / "bundle" / (std::string(name) + ".layout"), owner);
      ASSERT_TRUE(view) << lastLayoutError();
      std::map<const Control*, Control::Frame> before;
      forEach(**view, [&](Control& c) { before[&c] = c.frame(); });
      auto natural = [&](const Control& c) { return int(captionOf(c).size()) * perCharacter; };
      fitToNaturalWidths(**view, natural);
      std::string where = std::string(name) + " at " + std::to_string(perCharacter);
      forEach(**view, [&](Control& c) {
        EXPECT_GE(c.frame().width, natural(c)) << c.identifier() << " in " << where;
        EXPECT_GE(c.frame().width, before[&c].width) << c.identifier() << " in " << where;
        EXPECT_GE(c.frame().x, before[&c].x) << c.identifier() << " in " << where;
      });
      EXPECT_TRUE(findOverlaps(**view).empty()) << where;
      EXPECT_FALSE(fitToNaturalWidths(**view, natural)) << where;
    }
  }
}

}  // namespace
}  // namespace jc
