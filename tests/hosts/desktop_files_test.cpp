// The desktop switch's text editing: module lists, settings.ini kept line for line, the
// gsettings list form and the environment.d entry.
#include "hosts/cli/desktop_files.h"

#include <gtest/gtest.h>

#include <tuple>

namespace jc::cli {
namespace {

constexpr std::string_view kOurs = kGtk3ModuleName;

TEST(DesktopFiles, ModuleListsChangeOnlyOurName) {
  // list, with ours added, with ours removed
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"", "jobcontrol-gtk3-module", ""},
      {"gail:atk-bridge", "gail:atk-bridge:jobcontrol-gtk3-module", "gail:atk-bridge"},
      {"a:jobcontrol-gtk3-module:b", "a:jobcontrol-gtk3-module:b", "a:b"},
      // A list that has it already is left as it is (but for empty items).
      {"jobcontrol-gtk3-module:jobcontrol-gtk3-module",
       "jobcontrol-gtk3-module:jobcontrol-gtk3-module", ""},
      {"a::b:", "a:b:jobcontrol-gtk3-module", "a:b"},
      // A longer name that contains ours is another module.
      {"jobcontrol-gtk3-module-old", "jobcontrol-gtk3-module-old:jobcontrol-gtk3-module",
       "jobcontrol-gtk3-module-old"},
  };
  for (const auto& [list, with, without] : cases) {
    SCOPED_TRACE(list);
    EXPECT_EQ(listWith(list, kOurs), with);
    EXPECT_EQ(listWithout(list, kOurs), without);
    EXPECT_TRUE(listHas(with, kOurs));
    EXPECT_FALSE(listHas(without, kOurs));
  }
}

TEST(DesktopFiles, SettingsIniKeepsEveryOtherLine) {
  // before, the value set (nullopt: removed), after
  const std::tuple<std::string, std::optional<std::string>, std::string> cases[] = {
      {"", "m", "[Settings]\ngtk-modules=m\n"},
      {"[Settings]\ngtk-theme-name = Adwaita\n# mine\n\n[Other]\nx=1\n", "m",
       "[Settings]\ngtk-theme-name = Adwaita\n# mine\ngtk-modules=m\n\n[Other]\nx=1\n"},
      {"[Other]\nx=1", "m", "[Other]\nx=1\n\n[Settings]\ngtk-modules=m\n"},
      // Changed where it stands; an earlier duplicate goes (GTK reads the last one).
      {"[Settings]\ngtk-modules=a\na=1\n  gtk-modules = b\nz=2\n", "b:m",
       "[Settings]\na=1\ngtk-modules=b:m\nz=2\n"},
      // The same key in another group is not GTK's.
      {"[Other]\ngtk-modules=x\n[Settings]\ngtk-modules=m\nk=v\n", std::nullopt,
       "[Other]\ngtk-modules=x\n[Settings]\nk=v\n"},
      // What the switch made and took back leaves nothing.
      {"[Settings]\ngtk-modules=m\n", std::nullopt, ""},
  };
  for (const auto& [before, value, after] : cases) {
    SCOPED_TRACE(before);
    Result<std::string> edited = withGtkModules(before, value);
    ASSERT_TRUE(edited) << edited.message();
    EXPECT_EQ(*edited, after);
    EXPECT_EQ(*gtkModulesOf(after), value);
  }
  EXPECT_EQ(*gtkModulesOf("[Settings]\ngtk-modules=a\ngtk-modules = b \n"), "b");
  EXPECT_EQ(*gtkModulesOf("# nothing\n"), std::nullopt);
  // Text GTK would not read is refused, naming the line, and never rewritten.
  for (const std::string bad :
       {"[Settings]\ngtk-modules\n", "gtk-modules=m\n", "[Settings\n", "[Settings]\n=value\n"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(gtkModulesOf(bad));
    Result<std::string> edited = withGtkModules(bad, "m");
    ASSERT_FALSE(edited);
    EXPECT_NE(edited.message().find("line "), std::string::npos) << edited.message();
  }
}

TEST(DesktopFiles, GSettingsListsReadBackAsWritten) {
  const std::tuple<std::string, std::vector<std::string>> cases[] = {
      {"@as []\n", {}},
      {"['gail:atk-bridge', 'jobcontrol-gtk3-module']\n",
       {"gail:atk-bridge", "jobcontrol-gtk3-module"}},
      {"[\"it's\", 'back\\\\slash']", {"it's", "back\\slash"}},
  };
  for (const auto& [text, items] : cases) {
    SCOPED_TRACE(text);
    Result<std::vector<std::string>> parsed = parseStringList(text);
    ASSERT_TRUE(parsed) << parsed.message();
    EXPECT_EQ(*parsed, items);
    EXPECT_EQ(*parseStringList(formatStringList(items)), items);
  }
  for (const std::string bad : {"", "['a'", "['a' 'b']", "[a]", "['unterminated]"})
    EXPECT_FALSE(parseStringList(bad)) << bad;
}

TEST(DesktopFiles, TheEnvironmentEntryAddsToTheListBeforeIt) {
  EXPECT_TRUE(environmentEntryEnables(environmentEntry()));
  EXPECT_NE(environmentEntry().find("${GTK_MODULES:+$GTK_MODULES:}"), std::string::npos);
  EXPECT_TRUE(environmentEntryEnables("GTK_MODULES=a:jobcontrol-gtk3-module\n"));
  for (const char* off : {"", "# GTK_MODULES=jobcontrol-gtk3-module\n",
                          "GTK_MODULES=${GTK_MODULES:+$GTK_MODULES:}gail:atk-bridge\n",
                          "OTHER=jobcontrol-gtk3-module\n"})
    EXPECT_FALSE(environmentEntryEnables(off)) << off;
  EXPECT_NE(gnomeModuleDesktopFile().find("[GTK Module]\n"), std::string::npos);
  EXPECT_NE(gnomeModuleDesktopFile().find("\nX-GTK-Module-Name=jobcontrol-gtk3-module\n"),
            std::string::npos);
}

}  // namespace
}  // namespace jc::cli
