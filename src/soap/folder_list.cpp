// The folder-list reader over pugixml.
#include "soap/folder_list.h"

#include <cstring>
#include <optional>
#include <string>

#include "platform/unicode.h"
#include "platform/xml_encoding.h"

extern "C" pugi::xml_node_struct* MyGetChild(pugi::xml_node_struct* node) {
  return pugi::xml_node(node).last_child().internal_object();
}

namespace jc::soap {
namespace {

// The text of an element: its text and CDATA descendants in document order. Walked with
// the tree's own links rather than recursion, so deep nesting cannot exhaust the stack.
std::string textOf(pugi::xml_node element) {
  std::string text;
  pugi::xml_node node = element.first_child();
  while (node) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) text += node.value();
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

bool named(pugi::xml_node node, const char* name) {
  return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

}  // namespace

FolderListResult readFolderList(std::string_view xml, FolderList& list, std::size_t* leftOut) {
  if (leftOut) *leftOut = 0;
  // pugixml reads UTF-8, UTF-16, UTF-32 and Latin-1 only; a printer may answer in
  // Shift_JIS or EUC-JP, so the answer is brought to UTF-8 from what it declares first.
  std::string converted;
  std::optional<std::string_view> utf8 = xmlDocumentAsUTF8(xml, converted);
  if (!utf8) return FolderListResult::NotLoaded;
  pugi::xml_document document;
  // Default parsing: no DTD processing (so no entity expansion from the document), and
  // whitespace-only text and comments are not kept as nodes.
  pugi::xml_parse_result parsed =
      document.load_buffer(utf8->data(), utf8->size(), pugi::parse_default, pugi::encoding_utf8);
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
