// Layout files: building controls, connecting by name, and refusing bad files whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/controls.h"
#include "platform/layout.h"

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
  int clicks = 0;
};

class LayoutTest : public ::testing::Test {
 protected:
  fs::path write(const std::string& text) {
    fs::path file =
        fs::temp_directory_path() /
        ("jc-layout-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".layout");
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

TEST_F(LayoutTest, BadFilesAreErrorsNamingFileAndLineAndConnectNothing) {
  struct Case {
    const char* text;
    const char* reason;
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
  };
  for (const Case& c : cases) {
    Owner fresh;
    auto file = write(c.text);
    LayoutResult result = loadLayoutFile(file, fresh);
    EXPECT_FALSE(result) << c.text;
    EXPECT_NE(result.message().find(file.string() + ":"), std::string::npos) << result.message();
    EXPECT_NE(result.message().find(c.reason), std::string::npos) << result.message();
    EXPECT_FALSE(fresh.view) << c.text;
    EXPECT_FALSE(fresh.field) << c.text;
    EXPECT_EQ(lastLayoutError(), result.message());
  }
  LayoutResult missing = loadLayoutFile("/nonexistent/x.layout", owner);
  EXPECT_NE(missing.message().find("/nonexistent/x.layout"), std::string::npos);
}

}  // namespace
}  // namespace jc
