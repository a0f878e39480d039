// The folder-list reader over pugixml.
#include "soap/folder_list.h"

#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "platform/text/unicode.h"
#include "platform/text/xml_encoding.h"

extern "C" pugi::xml_node_struct* MyGetChild(pugi::xml_node_struct* node) {
  return pugi::xml_node(node).last_child().internal_object();
}

namespace jc::soap {
namespace {

// The text of an element: its text and CDATA descendants in document order. An element's
// leading text is kept as its own value (kParse), so each element's value comes before its
// children. Walked with the tree's own links rather than recursion, so deep nesting cannot
// exhaust the stack.
std::string textOf(pugi::xml_node element) {
  std::string text = element.value();
  pugi::xml_node node = element.first_child();
  while (node) {
    // An element's leading text, or a text or CDATA node's text.
    if (node.type() == pugi::node_element || node.type() == pugi::node_pcdata ||
        node.type() == pugi::node_cdata)
      text += node.value();
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node && node != element && !node.next_sibling()) node = node.parent();
    if (!node || node == element) break;
    node = node.next_sibling();
  }
  return text;
}

// Default parsing (no DTD processing, so no entity expansion from the document; neither
// whitespace-only text nor comments kept as nodes), with the text that opens an element
// kept in the element itself rather than in a node of its own: a folder entry then takes
// four nodes instead of seven, which for a long list is most of the memory the tree takes.
constexpr unsigned kParse = pugi::parse_default | pugi::parse_embed_pcdata;

bool named(pugi::xml_node node, const char* name) {
  return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

}  // namespace

FolderListResult readFolderList(std::string xml, FolderList& list, std::size_t* leftOut) {
  if (leftOut) *leftOut = 0;
  // pugixml reads UTF-8, UTF-16, UTF-32 and Latin-1 only; a printer may answer in
  // Shift_JIS or EUC-JP, so the answer is brought to UTF-8 from what it declares first.
  std::string converted;
  std::optional<std::string_view> utf8 = xmlDocumentAsUTF8(xml, converted);
  if (!utf8) return FolderListResult::NotLoaded;
  // The UTF-8 text lies in one of the two strings, both ours: it is parsed where it lies.
  std::string& owner = std::less_equal<const char*>()(xml.data(), utf8->data()) &&
                               std::less_equal<const char*>()(utf8->data(), xml.data() + xml.size())
                           ? xml
                           : converted;
  char* text = owner.data() + (utf8->data() - owner.data());
  pugi::xml_document document;
  pugi::xml_parse_result parsed =
      document.load_buffer_inplace(text, utf8->size(), kParse, pugi::encoding_utf8);
  if (!parsed) return FolderListResult::NotLoaded;
  pugi::xml_node root = document.document_element();
  if (!root) return FolderListResult::NotLoaded;

  pugi::xml_node response(MyGetChild(MyGetChild(root.internal_object())));
  list.clear();
  if (!response.first_child()) return FolderListResult::Rejected;

  int result = 0;
  pugi::xml_node files;
  for (pugi::xml_node child : response.children()) {
    if (named(child, "result-code"))
      result = textOf(child) == "ok" ? 1 : 99;
    else if (named(child, "files"))
      files = child;
  }
  if (!files || result == 99) return FolderListResult::Rejected;

  std::size_t nameBytes = 0;
  for (pugi::xml_node entry : files.children()) {
    if (entry.type() != pugi::node_element) continue;
    if (list.size() == kMaxFolders || nameBytes > kMaxFolderNameBytes) {
      if (leftOut) ++*leftOut;
      continue;
    }
    FolderEntry folder;
    for (pugi::xml_node field : entry.children()) {
      if (named(field, "name"))
        folder.name = xmlSafeText(textOf(field));
      else if (named(field, "password") && textOf(field) == "true")
        folder.password = true;
      else if (named(field, "dir") && textOf(field) == "true")
        folder.dir = true;
    }
    nameBytes += folder.name.size();
    if (nameBytes > kMaxFolderNameBytes) {
      if (leftOut) ++*leftOut;
      continue;
    }
    list.push_back(std::move(folder));
  }
  return FolderListResult::Accepted;
}

}  // namespace jc::soap
