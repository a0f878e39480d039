// Loading the plug-in bundle by path, as a host does, and refusing what is not a bundle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/host/loader.h"
#include "platform/host/memory_host.h"
#include "platform/io/bundle.h"
#include "support/test_paths.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

TEST(Loader, LoadsTheBundleAndMakesAPanelForThePrintDialogOnly) {
  Result<LoadedPlugIn> loaded = loadPlugIn(test::kBundleDir);
  ASSERT_TRUE(loaded) << loaded.message();
  auto callback = std::make_shared<MemoryPluginCallback>();
  auto panels = loaded->plugIn->PDEPanelsForType(kPrintDialogType, callback);
  ASSERT_TRUE(panels);
  ASSERT_EQ(panels->size(), 1u);
  EXPECT_EQ((*panels)[0]->panelKind(), "vorelia.print.pde.tz630e.JobControlKind");
  // The panel found its own bundle: its layout loads.
  EXPECT_NE((*panels)[0]->panelView(), nullptr);
  auto none = loaded->plugIn->PDEPanelsForType("bdb091f4-e57f-11d3-b5cc-0050e4603277", callback);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

TEST(Loader, RefusesPathsThatAreNotBundlesWithAMessageNamingThem) {
  EXPECT_NE(loadPlugIn("/nonexistent/Thing.plugin").message().find("/nonexistent/Thing.plugin"),
            std::string::npos);

  fs::path fake = fs::temp_directory_path() / "jc-loader-test" / "Fake.plugin";
  fs::create_directories(fake / "Resources");
  std::string error = loadPlugIn(fake).message();
  EXPECT_NE(error.find("Fake.so"), std::string::npos) << error;
  // A file that is not a shared object.
  std::ofstream(fake / "Fake.so") << "not an ELF file";
  error = loadPlugIn(fake).message();
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
  fs::remove_all(fake.parent_path());
}

TEST(Bundle, AnswersResourcesByNameAndTypeAndUntranslatedKeys) {
  Result<std::shared_ptr<Bundle>> opened = Bundle::open(test::kBundleDir);
  ASSERT_TRUE(opened) << opened.message();
  const std::shared_ptr<Bundle>& bundle = *opened;
  EXPECT_TRUE(bundle->pathForResource("JobControl", "layout"));
  EXPECT_TRUE(bundle->resourceData("listfiles", "xml"));
  EXPECT_FALSE(bundle->resourceData("nosuch", "xml"));
  EXPECT_FALSE(bundle->pathForResource("../Resources/space", "png"));
  EXPECT_EQ(bundle->localizedString("No Such Caption"), "No Such Caption");
}

}  // namespace
}  // namespace jc
