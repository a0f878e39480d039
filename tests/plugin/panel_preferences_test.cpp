// The preference store as the panel uses it: first runs, model changes, the hold mask,
// stored credential forms and the folder list.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "platform/io/user_defaults.h"
#include "plugin/panel_held_entries.h"
#include "plugin/settings_fixture.h"
#include "support/independent.h"
#include "support/scratch.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

const PropertyDictionary kIdentity{{"Model Name", "Vorelia MFP Demo 630e"},
                                   {"Release Number", "2.00"}};

class Preferences : public test::PanelTest {
 protected:
  PropertyDictionary jobControl() {
    auto domain = UserDefaults(config_ / "jobcontrol").persistentDomain("vorelia.mfp.P1");
    if (!domain || !*domain || !(**domain)["Job Control"].dictionary()) return {};
    return *(**domain)["Job Control"].dictionary();
  }
  // Stores `entries` after this model's identity (which they may override).
  void writeJobControl(PropertyDictionary entries) {
    for (const auto& [key, value] : kIdentity) entries.emplace(key, value);
    ASSERT_TRUE(UserDefaults(config_ / "jobcontrol")
                    .setPersistentDomain("vorelia.mfp.P1",
                                         {{"Job Control", std::move(entries)}, {"Other", "kept"}}));
  }
};

TEST_F(Preferences, AFirstRunCreatesTheDomainWithItsIdentityOnly) {
  EXPECT_EQ(jobControl(), kIdentity);
  EXPECT_EQ(panel_->prefHoldButtonFlag, 0u);
  EXPECT_FALSE(panel_->prefAuthenticationBooleanRef);
  EXPECT_TRUE(panel_->folderList.empty());
}

TEST_F(Preferences, AnotherModelOrReleaseDropsEverythingRemembered) {
  for (const auto& [model, release] :
       {std::pair{"Other Model", "2.00"}, std::pair{"Vorelia MFP Demo 630e", "1.00"}}) {
    SCOPED_TRACE(release);
    writeJobControl({{"Model Name", model},
                     {"Release Number", release},
                     {"hold button", 1},
                     {"pass code", "ABCD"},
                     {"address", "192.0.2.9"}});
    panel_ = makePanel();
    EXPECT_EQ(jobControl(), kIdentity);
    EXPECT_FALSE(panel_->prefSuspendKeyStringRef);
    auto domain = UserDefaults(config_ / "jobcontrol").persistentDomain("vorelia.mfp.P1");
    EXPECT_EQ((**domain)["Other"], PropertyValue("kept"));
  }
}

TEST_F(Preferences, OnlyTheEntriesOfTheMaskAreLoadedPlusAuthentication) {
  writeJobControl({{"hold button", 0x180},
                   {"authentication", false},
                   {"pass code", "P"},
                   {"user name", "U"},
                   {"account number", "A"},
                   {"folder name", "F"}});
  panel_ = makePanel();
  EXPECT_EQ(panel_->prefHoldButtonFlag, 0x180u);
  EXPECT_EQ(panel_->prefAccountNumberStringRef, "A");
  EXPECT_EQ(panel_->prefFolderNameStringRef, "F");
  EXPECT_FALSE(panel_->prefSuspendKeyStringRef);
  EXPECT_FALSE(panel_->prefUserNameStringRef);
  EXPECT_EQ(panel_->prefAuthenticationBooleanRef, false);

  writeJobControl({{"hold button", "not a number"}, {"account number", "A"}});
  panel_ = makePanel();
  EXPECT_EQ(panel_->prefHoldButtonFlag, 0u);
  EXPECT_FALSE(panel_->prefAccountNumberStringRef);
}

TEST_F(Preferences, SavedCredentialsHaveTheirStoredForms) {
  auto hex = [](const char* text) { return test::opensslStoredCipherHex(text); };
  // clang-format off
  const std::tuple<TextField*, std::string, const char*, std::string> fields[] = {
      {&*panel_->userNumberEditText, "1234567890123456", "user number", hex("1234567890123456")},
      {&*panel_->accountNumberEditText, "1", "account number", hex("1")},
      {&*panel_->passwordEditText, "p", "user password", hex("p") + std::string(32, '0')},
      {&*panel_->folderPasswordEditText, "42", "folder pass code", hex("42")},
      {&*panel_->suspendKeyEditText, "", "pass code", ""},
      {&*panel_->userNameEditText, "Zo\u00EB", "user name", "Zo\u00EB"},
  };
  // clang-format on
  for (const auto& [field, text, key, stored] : fields) field->setStringValue(text);
  panel_->loginNameEditText->setStringValue("seventeen-bytes-x");
  panel_->suspendKeyButton->setState(1);
  EXPECT_TRUE(panel_->SaveUserPreference());
  PropertyDictionary saved = jobControl();
  for (const auto& [field, text, key, stored] : fields)
    EXPECT_EQ(saved[key], PropertyValue(stored)) << key;
  EXPECT_EQ(saved["user login name"].string()->size(), 44u);
  EXPECT_EQ(saved["user login name"].string()->find('='), 43u);
  EXPECT_EQ(saved["hold button"], PropertyValue(1));
  EXPECT_EQ(saved["authentication"], PropertyValue(true));

  panel_->GetUserPreference();
  EXPECT_EQ(panel_->prefHoldButtonFlag, 1u);
  EXPECT_EQ(panel_->prefSuspendKeyStringRef, "");
}

TEST_F(Preferences, AHeldLoginNameWithoutTheNameKeepsTheEarlierValue) {
  panel_->loginNameEditText->setStringValue("first");
  ASSERT_TRUE(panel_->SaveUserPreference());
  std::string earlier = *jobControl()["user login name"].string();
  panel_->loginNameButton->setState(1);
  panel_->loginNameStringRef.reset();
  ASSERT_TRUE(panel_->SaveUserPreference());
  EXPECT_EQ(jobControl()["user login name"], PropertyValue(earlier));
  EXPECT_EQ(jobControl()["hold button"], PropertyValue(2));
}

TEST_F(Preferences, TheFolderListAndAddressSurviveAReopen) {
  panel_->folderList = {{"Scans", true, false, false}, {"Public", false, true, false}};
  panel_->printersAddressEditText->setStringValue("127.0.0.1:8631");
  ASSERT_TRUE(panel_->SaveFolderPreference());
  panel_ = makePanel();
  EXPECT_EQ(panel_->folderList,
            (FolderList{{"Scans", true, false, false}, {"Public", false, true, false}}));
  EXPECT_EQ(panel_->addressStringRef, "127.0.0.1:8631");
}

TEST_F(Preferences, HeldEntriesComeBackForPPDsInAnyDeclaredEncoding) {
  struct Case {
    const char* encoding;  // the file's LanguageEncoding
    std::string model, expected;
  };
  for (const Case& c :
       {Case{"ISOLatin1", "Vorelia \xC9l\xE9gante", "Vorelia \u00C9l\u00E9gante"},
        Case{"JIS83-RKSJ", "Vorelia \x95\xA1\x8D\x87\x8B\x40", "Vorelia \u8907\u5408\u6A5F"},
        Case{"WindowsANSI", "Vorelia \x80", "Vorelia \u20AC"},
        Case{"UTF-8", "Vorelia \xC3\xA9", "Vorelia \u00E9"}}) {
    std::string ppd = "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n";
    ppd += std::string("*LanguageEncoding: ") + c.encoding + "\n";
    ppd += "*PCFileName: \"MODEL.PPD\"\n*Manufacturer: \"Vorelia\"\n*ModelName: \"" + c.model +
           "\"\n*NickName: \"Vorelia\"\n";
    Result<PPDHandle> parsed = openPPDText(ppd);
    ASSERT_TRUE(parsed) << parsed.message();
    callback_->setPPD(std::move(*parsed));
    panel_ = makePanel();
    EXPECT_EQ(panel_->modelStringRef, c.expected) << c.encoding;
    panel_->userNameEditText->setStringValue("Tanaka");
    panel_->userNameButton->setState(1);
    ASSERT_TRUE(panel_->SaveUserPreference());
    panel_ = makePanel();  // the same model name again: the held entry stays remembered
    EXPECT_EQ(panel_->prefUserNameStringRef, "Tanaka") << c.encoding;
  }
}

TEST_F(Preferences, TheFileStaysReadableXmlWhateverTheTexts) {
  // Names as a printer or a person may give them: control characters, stray bytes.
  panel_->folderList = {{"a\001b"}, {"\xFF\xFE"}, {"tab\tand\nline"}};
  panel_->userNameEditText->setStringValue("x\x1B]0;title\x07");
  panel_->userNameButton->setState(1);
  ASSERT_TRUE(panel_->SaveFolderPreference());
  ASSERT_TRUE(panel_->SaveUserPreference());
  panel_ = makePanel();
  EXPECT_EQ(panel_->folderList, (FolderList{{"a\uFFFDb"}, {"\uFFFD\uFFFD"}, {"tab\tand\nline"}}));
  EXPECT_EQ(panel_->prefUserNameStringRef, "x\uFFFD]0;title\uFFFD");
  if (std::system("command -v xmllint >/dev/null") != 0) GTEST_SKIP() << "no xmllint";
  std::string file = (config_ / "jobcontrol" / "vorelia.mfp.P1.plist").string();
  EXPECT_EQ(std::system(("xmllint --noout --nonet '" + file + "'").c_str()), 0);
}

TEST_F(Preferences, AnAbsentAuthenticationRadioButtonIsRememberedAsOff) {
  writeJobControl({{"authentication", true}});
  panel_ = makePanel();
  panel_->authenticationRadioButton.reset();
  ASSERT_TRUE(panel_->SaveUserPreference());
  EXPECT_EQ(jobControl()["authentication"], PropertyValue(false));
}

TEST_F(Preferences, AStoreThatIsNotTheUsersOwnIsReportedAndLeftUnused) {
  // A planted user name beside files not the user's own: not read, not saved, told to the host.
  const fs::path folder = config_ / "jobcontrol";
  const std::string lock = UserDefaults(folder).fileForDomain("vorelia.mfp.P1").string() + ".lock";
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"can be written by other users", [&] { fs::permissions(folder, fs::perms(0777)); }},
      {"is not a regular file", [&] { ::mkfifo(lock.c_str(), 0600); }},
      {"is a symbolic link", [&] { fs::create_symlink(config_ / "none", lock); }},
  };
  for (const auto& [reason, plant] : cases) {
    SCOPED_TRACE(reason);
    fs::remove_all(folder);
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_all);
    writeJobControl({{"hold button", 8}, {"user name", "planted"}});
    fs::remove(lock);
    plant();
    callback_->preferenceProblems.clear();
    panel_ = makePanel();
    EXPECT_FALSE(panel_->prefUserNameStringRef);
    EXPECT_FALSE(panel_->SaveUserPreference());
    EXPECT_FALSE(panel_->SaveFolderPreference());
    const auto& told = callback_->preferenceProblems;
    ASSERT_FALSE(told.empty());
    for (const char* what : {"the preferences are not used: ", reason})
      EXPECT_NE(told.front().find(what), std::string::npos) << told.front();
    std::string saves;
    for (const std::string& message : told) saves += message + "\n";
    for (const char* what : {"the held entries were not remembered: ",
                             "the folder list and printer address were not remembered: "})
      EXPECT_NE(saves.find(what), std::string::npos) << saves;
  }
}

// Opening a dialog or saving what is stored keeps the file's inode and modification time.
TEST_F(Preferences, NothingIsWrittenWhenNothingChanged) {
  panel_->suspendKeyEditText->setStringValue("1234");
  panel_->suspendKeyButton->setState(1);
  panel_->folderList = {{"Scans", true, false, false}};
  ASSERT_TRUE(panel_->SaveUserPreference());
  ASSERT_TRUE(panel_->SaveFolderPreference());
  const auto file = UserDefaults(config_ / "jobcontrol").fileForDomain("vorelia.mfp.P1");
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"save the same entries", [&] { panel_->SaveUserPreference(); }},
      {"save the same folders", [&] { panel_->SaveFolderPreference(); }},
      {"reopen", [&] { panel_ = makePanel(); }},
  };
  for (const auto& [what, step] : steps) {
    auto before = test::fileIdentity(file);
    step();
    EXPECT_EQ(test::fileIdentity(file), before) << what;
  }
  EXPECT_EQ(panel_->prefHoldButtonFlag, 1u);
  EXPECT_EQ(panel_->folderList.size(), 1u);
}

// Two dialogs open on one printer: each save writes only what its own dialog changed, so
// an entry held by the other in the meantime survives, and a dialog that changed nothing
// writes nothing at all.
TEST_F(Preferences, ASaveKeepsWhatAnotherDialogStoredMeanwhile) {
  auto other = makePanel();
  other->suspendKeyEditText->setStringValue("1234");
  other->suspendKeyButton->setState(1);
  ASSERT_TRUE(other->SaveUserPreference());
  const PropertyDictionary afterOther = jobControl();

  ASSERT_TRUE(panel_->SaveUserPreference());  // this dialog changed nothing
  EXPECT_EQ(jobControl(), afterOther);

  panel_->userNameEditText->setStringValue("carol");
  panel_->userNameButton->setState(1);
  ASSERT_TRUE(panel_->SaveUserPreference());
  auto reopened = makePanel();
  EXPECT_EQ(reopened->prefHoldButtonFlag,
            holdBit(HeldEntry::PassCode) | holdBit(HeldEntry::UserName));
  EXPECT_EQ(reopened->prefUserNameStringRef, "carol");
  ASSERT_NE(afterOther.at("pass code").string(), nullptr);
  EXPECT_EQ(reopened->prefSuspendKeyStringRef, *afterOther.at("pass code").string());

  // Releasing a padlock is a change too: the other dialog's pass code is let go.
  other->suspendKeyButton->setState(0);
  ASSERT_TRUE(other->SaveUserPreference());
  EXPECT_EQ(makePanel()->prefHoldButtonFlag, holdBit(HeldEntry::UserName));
}

TEST_F(Preferences, WithoutAStoreNothingIsReadOrWritten) {
  std::ofstream(config_ / "blocker") << "x";
  ::setenv("XDG_CONFIG_HOME", (config_ / "blocker").c_str(), 1);
  panel_ = makePanel();
  EXPECT_FALSE(panel_->SaveUserPreference());
  EXPECT_FALSE(panel_->SaveFolderPreference());
  EXPECT_EQ(panel_->prefHoldButtonFlag, 0u);
}

}  // namespace
}  // namespace jc
