// Reading the printer's answer into the folder list: the envelope's levels, result codes,
// entries and their flags, answers that are not folder lists, and files that are not ours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_host.h"
#include "platform/unicode.h"
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
  const std::vector<Case> cases = {
      {"three entries in order, duplicates kept",
       envelope("<r>" + ok +
                "<files><f><name>A</name><password>true</password></f>"
                "<f><name>B</name><dir>true</dir></f><f><name>A</name></f></files></r>"),
       true,
       FolderList{
           {"A", true, false, false}, {"B", false, true, false}, {"A", false, false, false}}},
      {"empty files", envelope("<r>" + ok + "<files/></r>"), true, FolderList{}},
      {"unsupported operation, though files follow",
       envelope("<r><result-code>unsupported-operation</result-code><files><f><name>A</name></f></"
                "files></r>"),
       false, FolderList{}},
      {"no result code is accepted", envelope("<r><files><f><name>A</name></f></files></r>"), true,
       FolderList{{"A"}}},
      {"a later result code overrides",
       envelope("<r><result-code>no</result-code>" + ok + "<files/></r>"), true, FolderList{}},
      {"...both ways", envelope("<r>" + ok + "<result-code>busy</result-code><files/></r>"), false,
       FolderList{}},
      {"the last files element wins",
       envelope("<r><files><f><name>A</name></f></files><files><f><name>B</name></f></files></r>"),
       true, FolderList{{"B"}}},
      {"flags only for exactly true",
       envelope("<r><files><f><name>A</name><password>TRUE</password><dir> true</dir></f>"
                "<f><name>B</name><password>yes</password><dir>1</dir></f></files></r>"),
       true, FolderList{{"A"}, {"B"}}},
      {"text is the concatenation of text descendants",
       envelope("<r><files><f><name>Sa<b>l</b><![CDATA[es & "
                "<co>]]></name><password>tr<i>ue</i></password></f>"
                "</files></r>"),
       true, FolderList{{"Sales & <co>", true, false, false}}},
      {"prefixed names do not match",
       envelope("<r><m:result-code xmlns:m=\"urn:m\">busy</m:result-code><m:files "
                "xmlns:m=\"urn:m\"/></r>"),
       false, FolderList{}},
      {"names are case-sensitive", envelope("<r><Files><f><name>A</name></f></Files></r>"), false,
       FolderList{}},
      {"an entry without a name gets an empty one",
       envelope("<r><files><f><name>A</name></f><f/><f><password>true</password></f></files></r>"),
       true, FolderList{{"A"}, {""}, {"", true, false, false}}},
      {"comments and whitespace among the children are skipped",
       envelope("<r>\n  <!-- c --><files>\n <!-- x --> <f> <name>A</name> </f>\n</files>\n</r>"),
       true, FolderList{{"A"}}},
      {"entity references are decoded",
       envelope("<r><files><f><name>R&amp;D &#x263A;</name></f></files></r>"), true,
       FolderList{{"R&D \xE2\x98\xBA"}}},
      {"the body must be the envelope's last child",
       "<S:Envelope><S:Body><r><files/></r></S:Body><S:Trailer/></S:Envelope>", false,
       FolderList{}},
      {"too few levels", "<Envelope><Body/></Envelope>", false, FolderList{}},
      {"a response element with only text", envelope("<r>files</r>"), false, FolderList{}},
      {"no files element", envelope("<r>" + ok + "</r>"), false, FolderList{}},
      {"not XML", "this is not XML", false, std::nullopt},
      {"cut off halfway", envelope("<r>" + ok + "<files><f><name>A</na"), false, std::nullopt},
      {"empty file", "", false, std::nullopt},
  };
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
      {"an encoding iconv does not know", answer(declared("x-no-such"), "A"), false, std::nullopt},
      {"an iconv option is no encoding", answer(declared("UTF-8//IGNORE"), "A"), false,
       std::nullopt},
      {"bytes that are not Shift_JIS", answer(declared("Shift_JIS"), "\x81\x20"), false,
       std::nullopt},
      {"stray bytes and characters XML forbids",
       answer("",
              "a\x01"
              "b\xFF"
              "c&#x1B;d\te\xEF\xBF\xBF"),
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
