// Layout files: building controls, connecting by name, and refusing bad files whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/widgets/controls.h"
#include "platform/widgets/layout.h"
#include "platform/widgets/layout_geometry.h"
#include "support/scratch.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

// An owner with a few outlets of fixed kinds and one action.
class Owner : public LayoutOwner {
 public:
  bool connectOutlet(std::string_view name, const std::shared_ptr<Control>& control) override {
    if (name == "panelView") return view.connect(control);
    if (name == "check") return check.connect(control);
    if (name == "field") return field.connect(control);
    if (name == "kinds") return kinds.connect(control);
    if (name == "caption") return caption.connect(control);
    return false;
  }
  Control::Action actionNamed(std::string_view name) override {
    if (name == "clicked") return [this](Control&) { ++clicks; };
    return {};
  }
  Outlet<View> view;
  Outlet<Button> check;
  Outlet<TextField> field;
  Outlet<Matrix> kinds;
  Outlet<TextField> caption;
  int clicks = 0;
};

class LayoutTest : public ::testing::Test {
 protected:
  fs::path write(const std::string& text) {
    fs::path file = test::scratchPath("jc-layout-").string() + ".layout";
    std::ofstream(file) << text;
    files_.push_back(file);
    return file;
  }
  void TearDown() override {
    for (auto& f : files_) fs::remove(f);
  }
  std::vector<fs::path> files_;
  Owner owner;
};

TEST_F(LayoutTest, BuildsTheTreeAndConnectsOutletsAndActionsByName) {
  auto file = write(R"(<layout>
    <box title="Frame">
      <checkbox outlet="check" title="Retention" action="clicked" x="1" y="2" width="3" height="4"/>
      <field outlet="field" tag="7" text="abc"/>
      <matrix outlet="kinds" selected="1"><cell title="A"/><cell title="B"/></matrix>
    </box>
  </layout>)");
  LayoutResult result = loadLayoutFile(file, owner);
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(owner.view.get(), *result);
  ASSERT_TRUE(owner.check);
  EXPECT_EQ(owner.check->title(), "Retention");
  EXPECT_EQ(owner.check->buttonType(), Button::Type::Switch);
  EXPECT_EQ(owner.check->frame().height, 4);
  EXPECT_TRUE(owner.check->performClick());
  EXPECT_EQ(owner.clicks, 1);
  EXPECT_EQ(owner.field->tag(), 7);
  EXPECT_TRUE(owner.field->isEditable());
  EXPECT_EQ(owner.kinds->selectedRow(), 1);
  EXPECT_EQ(owner.kinds->cellAtRow(1)->title(), "B");
  EXPECT_EQ(owner.check->parent()->kind(), Control::Kind::Box);
}

TEST_F(LayoutTest, VersionTwoPlacesContentCellsCaptionsSecretsAndImages) {
  auto file = write(R"(<layout version="2">
    <tabview x="10" y="10" width="300" height="200">
      <tab label="One">
        <box title="Frame" x="5" y="6" width="200" height="120">
          <matrix outlet="kinds" x="2" y="0" width="100" rowheight="20" spacing="30">
            <cell title="A"/><cell title="B"/>
          </matrix>
          <label outlet="caption" text="Name:" for="field" x="10" y="22" width="40" height="20"/>
          <field outlet="field" tag="1" secret="yes" x="52" y="22" width="40" height="20"/>
          <holdbutton outlet="check" for="caption" x="95" y="22" width="20" height="20"/>
        </box>
      </tab>
      <tab label="Two"><image kind="icon" name="changes-prevent-symbolic" x="5" y="6" width="18" height="18"/></tab>
    </tabview>
  </layout>)");
  Owner& o = owner;  // with a caption for the field
  LayoutResult result = loadLayoutFile(file, o);
  ASSERT_TRUE(result) << result.message();
  // The matrix is as high as its rows; each cell is its row; the field between the rows is
  // no overlap. Frames count from the box's content (18 below its top) and the tab's (28).
  EXPECT_EQ(o.kinds->frame(), (Control::Frame{2, 0, 100, 70}));
  EXPECT_EQ(o.kinds->cellAtRow(1)->frame(), (Control::Frame{0, 50, 100, 20}));
  EXPECT_EQ(frameIn(*o.kinds->cellAtRow(1)),
            (Control::Frame{10 + 5 + 2, 10 + 28 + 6 + 18 + 50, 100, 20}));
  EXPECT_EQ(frameIn(*o.field, o.field->parent()->parent()), (Control::Frame{57, 46, 40, 20}));
  EXPECT_EQ(o.caption->labelFor(), o.field.get().get());
  EXPECT_EQ(o.check->namedBy(), o.caption.get().get());
  EXPECT_TRUE(o.field->isSecret());
  auto* image =
      dynamic_cast<ImageView*>((*result)->children()[0]->children()[1]->children()[0].get());
  ASSERT_TRUE(image && image->image());
  EXPECT_EQ(image->image()->source, Image::Source::ThemeIcon);
  EXPECT_EQ(image->image()->name, "changes-prevent-symbolic");
  EXPECT_TRUE(findOverlaps(**result).empty());

  // Version 1 files still load: no content origins, rows share the height, and overlaps
  // are the file's own business.
  auto old = write(R"(<layout><box title="T" x="0" y="0" width="100" height="100">
    <matrix outlet="kinds" width="80" height="40"><cell/><cell/></matrix>
    <field outlet="field" tag="1" x="10" y="10" width="50" height="20"/></box></layout>)");
  Owner v1;
  result = loadLayoutFile(old, v1);
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(v1.kinds->cellAtRow(1)->frame(), (Control::Frame{0, 20, 80, 20}));
  EXPECT_EQ(frameIn(*v1.field), (Control::Frame{10, 10, 50, 20}));
  std::vector<Overlap> overlaps = findOverlaps(**result);
  ASSERT_EQ(overlaps.size(), 2u);  // the field lies across both rows
  EXPECT_EQ(overlaps[0].first, v1.kinds->cellAtRow(0));
  EXPECT_EQ(overlaps[1].second, v1.field.get().get());
}

TEST_F(LayoutTest, BadFilesAreErrorsNamingFileAndLineAndConnectNothing) {
  struct Case {
    const char* text;
    const char* reason;
    int line = 0;  // checked when given
  };
  const Case cases[] = {
      {"<layout>\n<field outlet=\"field\" tag=\"1\"/>\n<checkbox outlet=\"field\"/></layout>",
       "appears twice"},
      {"<layout>\n<field outlet=\"field\" tag=\"1\"/>\n<label outlet=\"check\"/></layout>",
       "of another kind"},
      {"<layout>\n<field outlet=\"field\" tag=\"1\"/>\n<checkbox outlet=\"nosuch\"/></layout>",
       "unknown to the owner"},
      {"<layout>\n<checkbox action=\"nosuch\"/></layout>", "action \"nosuch\""},
      {"<layout>\n<widget/></layout>", "unknown element <widget>"},
      {"<layout>\n<field/></layout>", "non-zero tag"},
      {"<layout>\n<checkbox tag=\"x1\"/></layout>", "not a number"},
      {"<layout>\n<matrix/></layout>", "at least one <cell>"},
      {"<layout>\n<checkbox", "does not parse"},
      {"<panel/>", "root element"},
      {"<layout version=\"2\">\n<field tag=\"1\" x=\"0\" y=\"0\" width=\"50\" height=\"20\"/>\n"
       "<label text=\"Pass\" x=\"40\" y=\"10\" width=\"50\" height=\"20\"/></layout>",
       "<label> \"Pass\" (40,10 50x20) overlaps <field> (0,0 50x20)", 3},
      {"<layout version=\"2\">\n<matrix rowheight=\"20\" spacing=\"4\" height=\"30\">\n"
       "<cell/><cell/></matrix></layout>",
       "rows need 44 points", 2},
      {"<layout version=\"2\">\n<image kind=\"bitmap\" name=\"x\"/></layout>",
       "unknown image kind \"bitmap\"", 2},
      {"<layout version=\"2\">\n\n<image name=\"x.png\"/></layout>", "needs kind=", 3},
      {"<layout>\n<image kind=\"file\" name=\"../nosuch.png\"/></layout>",
       "not among the bundle's resources", 2},
      {"<layout version=\"2\">\n<label for=\"nosuch\"/></layout>",
       "for=\"nosuch\" names no control", 2},
      {"<layout version=\"2\">\n<checkbox for=\"x\"/></layout>", "only a <label> or <holdbutton>",
       2},
      {"<layout version=\"3\"/>", "unknown layout version 3", 1},
  };
  for (const Case& c : cases) {
    Owner fresh;
    auto file = write(c.text);
    LayoutResult result = loadLayoutFile(file, fresh);
    EXPECT_FALSE(result) << c.text;
    std::string where = file.string() + ":" + (c.line ? std::to_string(c.line) + ":" : "");
    EXPECT_NE(result.message().find(where), std::string::npos) << result.message();
    EXPECT_NE(result.message().find(c.reason), std::string::npos) << result.message();
    EXPECT_FALSE(fresh.view || fresh.field) << c.text;
    EXPECT_EQ(lastLayoutError(), result.message());
  }
  LayoutResult missing = loadLayoutFile("/nonexistent/x.layout", owner);
  EXPECT_NE(missing.message().find("/nonexistent/x.layout"), std::string::npos);
}

}  // namespace
}  // namespace jc
