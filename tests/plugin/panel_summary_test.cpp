// The summary the panel gives the host's summary view, on the real layout.
#include <gtest/gtest.h>

#include "platform/host/memory_host.h"
#include "plugin/panel.h"
#include "support/test_paths.h"

namespace {

using Entries = jc::SummaryInfo;

struct Shown {
  Shown() {
    panel.panelView();
    panel.userNameEditText->setStringValue("Hana");
    panel.jobNameEditText->setStringValue("Report");
  }
  std::shared_ptr<jc::Bundle> bundle = jc::Bundle::open(jc::test::kBundleDir).value_or(nullptr);
  VoreliaPrintPdeTz630eJC panel{std::make_shared<jc::MemoryPluginCallback>(), bundle};
  std::string on = bundle->localizedString("On"), off = bundle->localizedString("Off");
};

TEST(SummaryInfo, EntriesFollowTheRetentionState) {
  VoreliaPrintPdeTz630eJC unbuilt(std::make_shared<jc::MemoryPluginCallback>(), nullptr);
  EXPECT_TRUE(unbuilt.summaryInfo().empty());

  Shown s;
  EXPECT_EQ(s.panel.summaryInfo(),
            (Entries{{"Retention", s.off}, {"User Name", "Hana"}, {"Job Name", "Report"}}));
  s.panel.retentionCheckBox->setState(1);
  s.panel.folderSelectionPopup->selectItemAtIndex(1);
  s.panel.suspendMatrix->selectCellAtRow(2);
  EXPECT_EQ(s.panel.summaryInfo(), (Entries{{"Retention", s.on},
                                            {"Stored To", "Main Folder"},
                                            {"Hold Mode", "Sample Print"},
                                            {"User Name", "Hana"},
                                            {"Job Name", "Report"}}));
}

TEST(SummaryInfo, LabelsAreCleanedAndMissingPartsMakeNoEntry) {
  Shown s;
  s.panel.retentionCheckBox->setState(1);
  s.panel.userNameStaticText->setStringValue("::User: Name ::");
  s.panel.userNameEditText->setStringValue("");
  s.panel.folderSelectionPopup->selectItemAtIndex(-1);
  s.panel.suspendMatrix->selectCellAtRow(-1);
  s.panel.jobNameStaticText->setStringValue("::");
  EXPECT_EQ(s.panel.summaryInfo(), (Entries{{"Retention", s.on}, {"User: Name ", ""}}));

  s.panel.folderSelectionPopup->selectItemAtIndex(0);
  s.panel.suspendBox->setTitle("");
  s.panel.retentionCheckBox->setTitle("");
  s.panel.jobNameStaticText->setStringValue("User: Name :");  // same label: later value wins
  EXPECT_EQ(s.panel.summaryInfo(),
            (Entries{{"Stored To", "Quick File"}, {"User: Name ", "Report"}}));

  s.panel.folderSelectionPopup.reset();  // a layout without the folder pop-up
  s.panel.retentionCheckBox->setTitle("Retention");
  EXPECT_EQ(s.panel.summaryInfo(), (Entries{{"Retention", s.on}, {"User: Name ", "Report"}}));
}

}  // namespace
