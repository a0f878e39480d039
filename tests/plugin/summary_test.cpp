// The summary the panel gives the host's summary view, on the real layout, and the
// command-line host's `show` that prints it.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/memory_host.h"
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
  std::shared_ptr<jc::Bundle> bundle = jc::Bundle::open(jc::test::kBundleDir, nullptr);
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

TEST(CommandLineShow, EndsWithThePanelsSummaryAsLabelValueLines) {
  const std::string ppd = std::string(jc::test::kSourceDir) + "/tools/ppd/vorelia-demo.ppd";
  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  callback->setPPD(jc::openPPDFile(ppd, nullptr));
  callback->setPrinter(jc::Printer("demo", std::nullopt));
  callback->setPrintSettings(std::make_shared<jc::MemoryPrintSettings>("Untitled"));
  VoreliaPrintPdeTz630eJC panel(callback, jc::Bundle::open(jc::test::kBundleDir, nullptr));
  panel.restoreValuesAndReturnError(nullptr);
  std::string expected;
  for (const auto& [label, value] : panel.summaryInfo())
    expected += "  " + label + ": " + value + "\n";

  std::string command = std::string(jc::test::kCliPath) + " --bundle " + jc::test::kBundleDir +
                        " --ppd " + ppd + " --printer-id demo show";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_TRUE(pipe);
  std::string output;
  char buffer[256];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  auto summary = output.find("\nSummary\n");
  ASSERT_NE(summary, std::string::npos) << output;
  EXPECT_EQ(output.substr(summary + 9), expected);
  EXPECT_NE(expected.find("Job Name: "), std::string::npos);
}

}  // namespace
