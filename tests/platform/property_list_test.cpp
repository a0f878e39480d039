// The XML property-list form: what other writers' files read as, what damaged files read
// as (absent, never half), the skipped path, and the exact text we write.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/io/property_list.h"

namespace jc {
namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";

std::string repeated(const std::string& text, int times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

std::string document(const std::string& body) {
  return kHead + body + "\n</plist>\n";
}

TEST(PropertyListTest, ReadsWhatOtherWritersWrite) {
  struct Case {
    const char* what;
    std::string text;
    std::optional<PropertyDictionary> expected;
  };
  const Case cases[] = {
      {"entities, character references, CDATA and a comment in text",
       document("<dict><key>a&amp;b</key><string>&lt;&#65;&#x42;&gt; <![CDATA[<&>]]><!-- x "
                "--></string></dict>"),
       PropertyDictionary{{"a&b", "<AB> <&>"}}},
      {"empty elements and unkept kinds (data, date) left out",
       document(
           "<dict><key>s</key><string/><key>d</key><dict/><key>a</key><array/>"
           "<key>bin</key><data>AAAA</data><key>t</key><date>2020-01-01T00:00:00Z</date>"
           "<key>x</key><array><true/><date>2020-01-01T00:00:00Z</date><false/></array></dict>"),
       PropertyDictionary{{"s", ""},
                          {"d", PropertyDictionary{}},
                          {"a", PropertyArray{}},
                          {"x", PropertyArray{true, false}}}},
      {"numbers: signed, unsigned kept by its bits, real",
       document("<dict><key>n</key><integer>-5</integer><key>u</key>"
                "<integer>18446744073709551615</integer><key>r</key><real>0.5</real></dict>"),
       PropertyDictionary{{"n", -5}, {"u", -1}, {"r", 0.5}}},
      {"a byte-order mark before the declaration", "\xEF\xBB\xBF" + document("<dict/>"),
       PropertyDictionary{}},
      {"truncated", document("<dict><key>a</key><string>x</string>").substr(0, 150), std::nullopt},
      {"text between elements", document("<dict>x<key>a</key><true/></dict>"), std::nullopt},
      {"an unknown element", document("<dict><key>a</key><thing/></dict>"), std::nullopt},
      {"an unknown entity", document("<dict><key>a</key><string>&nbsp;</string></dict>"),
       std::nullopt},
      {"a value without its key", document("<dict><string>x</string></dict>"), std::nullopt},
      {"an integer that is not one", document("<dict><key>n</key><integer>1x</integer></dict>"),
       std::nullopt},
      {"mismatched closing tag", document("<dict><key>a</key><string>x</key></dict>"),
       std::nullopt},
      {"another root kind", document("<array/>"), std::nullopt},
      {"something after the end", document("<dict/>") + "<dict/>", std::nullopt},
      {"nesting without end", document("<dict><key>k</key>" + repeated("<array>", 100)),
       std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parsePropertyList(c.text), c.expected) << c.what;
}

TEST(PropertyListTest, ASkippedPathIsLeftOutWithoutBeingRead) {
  const std::string text = document(
      "<dict><key>Job Control</key><dict><key>address</key><string>h</string>"
      "<key>files</key><array><dict><key>name</key><string>a</string></dict><![CDATA[</array>]]>"
      "<!-- </array> --><weird "
      "attr=\"1\"/></array></dict><key>files</key><string>top</string></dict>");
  EXPECT_EQ(parsePropertyList(text, {"Job Control", "files"}),
            (PropertyDictionary{{"Job Control", PropertyDictionary{{"address", "h"}}},
                                {"files", "top"}}));
  // Read in full, the same text is damaged: only the skipped part is passed over unchecked.
  EXPECT_EQ(parsePropertyList(text), std::nullopt);
}

// The text is the one earlier versions wrote through libplist, so files they left are
// recognised as unchanged and not rewritten.
TEST(PropertyListTest, WritesTheFormEarlierVersionsWrote) {
  PropertyDictionary domain{
      {"Job Control", PropertyDictionary{{"a<&>", "x<&>\"'"},
                                         {"n", -5},
                                         {"r", 0.1},
                                         {"e", PropertyArray{}},
                                         {"files", PropertyArray{PropertyDictionary{}, true}}}},
      {"empty", ""}};
  EXPECT_EQ(propertyListXML(domain), std::string(kHead) +
                                         "<dict>\n"
                                         "\t<key>Job Control</key>\n"
                                         "\t<dict>\n"
                                         "\t\t<key>a&lt;&amp;&gt;</key>\n"
                                         "\t\t<string>x&lt;&amp;&gt;\"'</string>\n"
                                         "\t\t<key>e</key>\n"
                                         "\t\t<array/>\n"
                                         "\t\t<key>files</key>\n"
                                         "\t\t<array>\n"
                                         "\t\t\t<dict/>\n"
                                         "\t\t\t<true/>\n"
                                         "\t\t</array>\n"
                                         "\t\t<key>n</key>\n"
                                         "\t\t<integer>-5</integer>\n"
                                         "\t\t<key>r</key>\n"
                                         "\t\t<real>0.10000000000000001</real>\n"
                                         "\t</dict>\n"
                                         "\t<key>empty</key>\n"
                                         "\t<string></string>\n"
                                         "</dict>\n"
                                         "</plist>\n");
  EXPECT_EQ(parsePropertyList(propertyListXML(domain)), domain);
}

// Keys and strings go out as XML-safe UTF-8 with their markup characters as entities,
// whichever of the quick and careful paths a text takes.
TEST(PropertyListTest, WritesEveryTextAsXmlSafeUtf8) {
  const std::pair<std::string, std::string> cases[] = {{"plain", "plain"},
                                                       {"a<b>&", "a&lt;b&gt;&amp;"},
                                                       {"tab\tline\r\n", "tab\tline\r\n"},
                                                       {"caf\xC3\xA9 & co", "caf\xC3\xA9 &amp; co"},
                                                       {"bell\x07<", "bell\xEF\xBF\xBD&lt;"},
                                                       {"cut\xC3", "cut\xEF\xBF\xBD"}};
  for (const auto& [text, written] : cases) {
    const std::string xml = propertyListXML({{text, text}});
    EXPECT_NE(xml.find("<key>" + written + "</key>\n\t<string>" + written + "</string>\n"),
              std::string::npos)
        << xml;
  }
}

}  // namespace
}  // namespace jc
