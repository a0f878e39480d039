// The "JobControl" layout connects every control outlet of the panel and wires each control
// to its action.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <pugixml.hpp>

#include "panel_fixture.h"
#include "platform/widgets/layout_geometry.h"
#include "plugin/panel_held_entries.h"

namespace jc {
namespace {

// Which action each control sends; every other control sends none.
// clang-format off
const std::map<std::string, std::string> kWiring = {
    {"tabView", "tabProc"}, {"retentionCheckBox", "retentionCBoxProc"},
    {"suspendMatrix", "suspendKeyMatrixProc"}, {"suspendKeyEditText", "suspendKeyETextProc"},
    {"suspendKeyButton", "suspendKeyButtonProc"},
    {"folderSelectionPopup", "folderSelectionPopUpButtonProc"},
    {"folderPasswordEditText", "folderPasswordETextProc"},
    {"folderPasswordButton", "folderPasswordButtonProc"},
    {"folderNameButton", "folderNameButtonProc"},
    {"folderSelectionMatrix", "folderSelectionMatrixProc"},
    {"authenticationMatrix", "authenticationMatrixProc"},
    {"loginNameEditText", "loginNameETextProc"}, {"loginNameButton", "loginNameButtonProc"},
    {"passwordEditText", "passwordETextProc"}, {"passwordButton", "passwordButtonProc"},
    {"userNumberEditText", "userNumberETextProc"}, {"userNumberButton", "userNumberButtonProc"},
    {"userNameEditText", "userNameETextProc"}, {"userNameButton", "userNameButtonProc"},
    {"jobNameEditText", "jobNameETextProc"}, {"jobNameButton", "jobNameButtonProc"},
    {"accountNumberEditText", "accountNumberETextProc"},
    {"accountNumberButton", "accountNumberButtonProc"},
    {"getFolderNameButton", "getFolderNameButtonProc"},
    {"printersAddressEditText", "printersAddressButtonProc"},
};
// clang-format on

// Collects every control of a tree by its outlet name.
void collect(Control& control, std::map<std::string, Control*>& byName) {
  if (!control.identifier().empty()) byName[control.identifier()] = &control;
  for (auto& child : control.children()) collect(*child, byName);
}

TEST(LayoutWiring, ConnectsAll47OutletsWithTheirKindsAndTags) {
  VoreliaPrintPdeTz630eJC panel(test::demoCallback(), test::builtBundle());
  auto view = panel.panelView();
  ASSERT_NE(view, nullptr);
  std::map<std::string, Control*> byName;
  collect(*view, byName);
  EXPECT_EQ(byName.size(), 47u);
  for (auto& [name, control] : byName) {
    // Every named control is the very object behind the panel's outlet of that name.
    EXPECT_TRUE(panel.connectOutlet(name, nullptr)) << name;
    EXPECT_TRUE(panel.connectOutlet(name, std::shared_ptr<Control>(view, control))) << name;
    // Inputs carry a tag, labels none.
    if (name.ends_with("EditText") || name.ends_with("StaticText")) {
      EXPECT_EQ(control->tag() != 0, name.ends_with("EditText")) << name;
    }
  }
  EXPECT_EQ(panel.suspendMatrix->numberOfRows(), 3);
  EXPECT_EQ(panel.suspendMatrix->cellAtRow(2), panel.samplePrintRadioButton.get().get());
  EXPECT_EQ(panel.folderSelectionMatrix->cellAtRow(0), panel.quickFileRadioButton.get().get());
  EXPECT_EQ(panel.authenticationMatrix->numberOfRows(), 2);
  EXPECT_EQ(panel.authenticationMatrix->cellAtRow(1), panel.userNumberRadioButton.get().get());
  EXPECT_EQ(panel.folderSelectionPopup->numberOfItems(), 2);
  EXPECT_GE(panel.tabView->numberOfTabViewItems(), 1);
  // Each held entry's names are the layout's names of the very controls its members hold,
  // and its hold button toggles and sends the entry's action.
  for (const HeldEntryRow& row : kHeldEntries) {
    const std::string field(row.fieldOutlet), hold(row.holdButtonOutlet);
    EXPECT_EQ(byName[field], (panel.*row.field).get().get()) << row.name;
    EXPECT_EQ(byName[hold], (panel.*row.holdButton).get().get()) << row.name;
    EXPECT_TRUE(byName.contains(std::string(row.captionOutlet))) << row.name;
    EXPECT_EQ(kWiring.at(hold), row.action) << row.name;
    EXPECT_EQ((panel.*row.holdButton)->buttonType(), Button::Type::Toggle) << row.name;
  }
}

TEST(LayoutWiring, EachControlSendsItsOwnActionAndNoOther) {
  std::string path = std::string(test::kBundleDir) + "/Resources/JobControl.layout";
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(path.c_str()));
  std::map<std::string, std::string> found;
  for (pugi::xpath_node node : doc.select_nodes("//*[@action]"))
    found[node.node().attribute("outlet").value()] = node.node().attribute("action").value();
  EXPECT_EQ(found, kWiring);  // (the loader refuses an action the panel does not know)
}

TEST(LayoutWiring, NoTwoControlsOfOneTabOverlapInAnyShippedLayoutAndCaptionsNameTheirFields) {
  std::vector<std::string> layouts;
  for (const auto& file :
       std::filesystem::directory_iterator(std::string(test::kBundleDir) + "/Resources"))
    if (file.path().extension() == ".layout") layouts.push_back(file.path().stem());
  EXPECT_EQ(layouts.size(), 2u);
  for (const std::string& layout : layouts) {
    SCOPED_TRACE(layout);
    VoreliaPrintPdeTz630eJC panel(test::demoCallback(), test::builtBundle());
    Result<> loaded = panel.loadPanelLayout(layout);
    ASSERT_TRUE(loaded) << loaded.message();
    // Each tab is a page of its own; what lies outside every tab is one more.
    std::vector<std::pair<std::string, const Control*>> pages{
        {"outside the tabs", panel.panelView_.get()}};
    for (int i = 0; i < panel.tabView->numberOfTabViewItems(); ++i)
      pages.push_back(
          {panel.tabView->tabViewItemAtIndex(i)->label(), panel.tabView->tabViewItemAtIndex(i)});
    for (const auto& [name, page] : pages)
      for (const Overlap& o : findOverlaps(*page))
        ADD_FAILURE() << name << ": " << o.first->identifier() << " overlaps "
                      << o.second->identifier();
    // Every caption names the field beside it; the password is never shown.
    std::map<std::string, Control*> byName;
    collect(*panel.panelView_, byName);
    for (auto& [outlet, control] : byName) {
      if (!outlet.ends_with("StaticText")) continue;
      Control* target = static_cast<TextField*>(control)->labelFor();
      ASSERT_NE(target, nullptr) << outlet;
      EXPECT_EQ(outlet.substr(0, outlet.find("StaticText")),
                target->identifier().substr(0, outlet.find("StaticText")))
          << outlet;
    }
    EXPECT_TRUE(panel.passwordEditText->isSecret());
  }
}

}  // namespace
}  // namespace jc
