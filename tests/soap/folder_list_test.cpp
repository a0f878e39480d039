// Reading the printer's answer into the folder list: the envelope's levels, result codes,
// entries and their flags, answers that are not folder lists, and files that are not ours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/host/memory_host.h"
#include "platform/text/unicode.h"
#include "plugin/panel.h"
#include "soap/folder_list.h"
#include "soap_test_support.h"

namespace jc::test {
namespace {

const FolderList kEarlier = {{"Earlier", true, false, false}};

std::string envelope(const std::string& response) {
  return "<S:Envelope xmlns:S=\"urn:s\"><S:Header/><S:Body>" + response + "</S:Body></S:Envelope>";
}

struct Case {
  const char* what;
  std::string document;
  bool accepted;
  std::optional<FolderList> list;  // nullopt: the earlier list stays
};

class ParseXMLTest : public ExchangeFixture {
 protected:
  void expectRead(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      panel.folderList = kEarlier;
      write(responseFile(), c.document);
      EXPECT_EQ(panel.parseXML(responseFile()), c.accepted);
      EXPECT_EQ(panel.folderList, c.list.value_or(kEarlier));
    }
  }
  std::shared_ptr<MemoryPluginCallback> callback = std::make_shared<MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC panel{callback, nullptr};
};

TEST_F(ParseXMLTest, ReadsTheAnswerAsTheLevelsAndNamesSay) {
  const std::string ok = "<result-code>ok</result-code>";
  const std::string listA = "<files><f><name>A</name></f></files>";
  const FolderList none;
  auto inR = [](const std::string& inside) { return envelope("<r>" + inside + "</r>"); };
  // clang-format off
  const std::vector<Case> cases = {
      {"three entries in order, duplicates kept",
       inR(ok + "<files><f><name>A</name><password>true</password></f>"
           "<f><name>B</name><dir>true</dir></f><f><name>A</name></f></files>"),
       true, FolderList{{"A", true, false, false}, {"B", false, true, false}, {"A"}}},
      {"empty files", inR(ok + "<files/>"), true, none},
      {"unsupported operation, though files follow",
       inR("<result-code>unsupported-operation</result-code>" + listA), false, none},
      {"no result code is accepted", inR(listA), true, FolderList{{"A"}}},
      {"a later result code overrides",
       inR("<result-code>no</result-code>" + ok + "<files/>"), true, none},
      {"...both ways", inR(ok + "<result-code>busy</result-code><files/>"), false, none},
      {"the last files element wins",
       inR(listA + "<files><f><name>B</name></f></files>"), true, FolderList{{"B"}}},
      {"flags only for exactly true",
       inR("<files><f><name>A</name><password>TRUE</password><dir> true</dir></f>"
           "<f><name>B</name><password>yes</password><dir>1</dir></f></files>"),
       true, FolderList{{"A"}, {"B"}}},
      {"text is the concatenation of text descendants",
       inR("<files><f><name>Sa<b>l</b><![CDATA[es & <co>]]></name>"
           "<password>tr<i>ue</i></password></f></files>"),
       true, FolderList{{"Sales & <co>", true, false, false}}},
      {"prefixed names do not match",
       inR("<m:result-code xmlns:m=\"urn:m\">busy</m:result-code><m:files xmlns:m=\"urn:m\"/>"),
       false, none},
      {"names are case-sensitive", inR("<Files><f><name>A</name></f></Files>"), false, none},
      {"an entry without a name gets an empty one",
       inR("<files><f><name>A</name></f><f/><f><password>true</password></f></files>"),
       true, FolderList{{"A"}, {""}, {"", true, false, false}}},
      {"comments and whitespace among the children are skipped",
       inR("\n  <!-- c --><files>\n <!-- x --> <f> <name>A</name> </f>\n</files>\n"),
       true, FolderList{{"A"}}},
      {"entity references are decoded", inR("<files><f><name>R&amp;D &#x263A;</name></f></files>"),
       true, FolderList{{"R&D \xE2\x98\xBA"}}},
      {"the body must be the envelope's last child",
       "<S:Envelope><S:Body><r><files/></r></S:Body><S:Trailer/></S:Envelope>", false, none},
      {"too few levels", "<Envelope><Body/></Envelope>", false, none},
      {"a response element with only text", inR("files"), false, none},
      {"no files element", inR(ok), false, none},
      {"not XML", "this is not XML", false, std::nullopt},
      {"cut off halfway", envelope("<r>" + ok + "<files><f><name>A</na"), false, std::nullopt},
      {"empty file", "", false, std::nullopt},
  };
  // clang-format on
  expectRead(cases);
}

TEST_F(ParseXMLTest, AnswersAreReadInTheEncodingTheyDeclareAndNamesKeptXmlSafe) {
  auto answer = [](const std::string& declaration, const std::string& name) {
    return declaration + envelope("<r><result-code>ok</result-code><files><f><name>" + name +
                                  "</name></f></files></r>");
  };
  auto utf16 = [](const std::string& utf8, bool mark, bool bigEndian) {
    std::string bytes = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char16_t unit : utf8ToUtf16(utf8)) {
      char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
      bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
  };
  auto declared = [](const char* encoding) {
    return std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>";
  };
  const std::string sales = "\u55B6\u696D\u90E8";
  const std::vector<Case> cases = {
      {"Shift_JIS", answer(declared("Shift_JIS"), "\x89\x63\x8B\xC6\x95\x94"), true,
       FolderList{{sales}}},
      {"EUC-JP", answer("<?xml version='1.0' encoding='euc-jp' ?>", "\xB1\xC4\xB6\xC8\xC9\xF4"),
       true, FolderList{{sales}}},
      {"ISO-8859-1", answer(declared("ISO-8859-1"), "Caf\xE9"), true, FolderList{{"Caf\u00E9"}}},
      {"UTF-16, little-endian mark", utf16(answer(declared("UTF-16"), sales), true, false), true,
       FolderList{{sales}}},
      {"UTF-16, big-endian, no mark", utf16(answer(declared("UTF-16"), sales), false, true), true,
       FolderList{{sales}}},
      {"UTF-8 labelled UTF-16", answer(declared("UTF-16"), sales), true, FolderList{{sales}}},
      {"an encoding iconv does not know", answer(declared("x-no-such"), "A"), false, std::nullopt},
      {"an iconv option is no encoding", answer(declared("UTF-8//IGNORE"), "A"), false,
       std::nullopt},
      {"bytes that are not Shift_JIS", answer(declared("Shift_JIS"), "\x81\x20"), false,
       std::nullopt},
      {"stray bytes and characters XML forbids", answer("", "a\001b\377c&#x1B;d\te\xEF\xBF\xBF"),
       true, FolderList{{"a\uFFFDb\uFFFDc\uFFFDd\te\uFFFD"}}},
  };
  expectRead(cases);
}

TEST_F(ParseXMLTest, FilesThatAreNotOursAreNotRead) {
  const std::string good = envelope("<r><files><f><name>Planted</name></f></files></r>");
  panel.folderList = kEarlier;
  EXPECT_FALSE(panel.parseXML(responseFile()));            // no file at all
  std::string target = (dir_ / "elsewhere.xml").string();  // a planted link, to a good answer
  write(target, good);
  std::filesystem::create_symlink(target, responseFile());
  EXPECT_FALSE(panel.parseXML(responseFile()));
  std::filesystem::remove(responseFile());
  std::filesystem::create_directory(responseFile());
  EXPECT_FALSE(panel.parseXML(responseFile()));
  std::filesystem::remove(responseFile());
  // Larger than any answer the client would have kept.
  write(responseFile(), good + std::string(soap::kMaxResponseFileBytes, ' '));
  EXPECT_FALSE(panel.parseXML(responseFile()));
  EXPECT_EQ(panel.folderList, kEarlier);

  if (::geteuid() != 0) GTEST_SKIP() << "making another user's file needs root";
  write(responseFile(), good);
  ASSERT_EQ(::chown(responseFile().c_str(), 65534, 65534), 0);
  EXPECT_FALSE(panel.parseXML(responseFile()));
  EXPECT_EQ(panel.folderList, kEarlier);
}

TEST(MyGetChildTest, AnswersTheLastChildOfAnyKindOrNone) {
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string("<a><b/><c>text</c>tail</a>"));
  pugi::xml_node last(MyGetChild(doc.document_element().internal_object()));
  EXPECT_STREQ(last.value(), "tail");
  EXPECT_EQ(MyGetChild(last.internal_object()), nullptr);
  EXPECT_EQ(MyGetChild(nullptr), nullptr);
}

}  // namespace
}  // namespace jc::test
