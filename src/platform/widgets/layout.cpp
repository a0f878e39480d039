// The layout file reader (XML, see bundle/LAYOUT.md) and the outlet and action connection.
#include "platform/widgets/layout.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <vector>

#include "platform/io/bundle.h"
#include "platform/io/file_bytes.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/layout_geometry.h"

namespace jc {

namespace {

struct LayoutError {
  std::ptrdiff_t offset;
  std::string message;
};

class Builder {
 public:
  Builder(LayoutOwner& owner, std::filesystem::path resources)
      : owner_(owner), resources_(std::move(resources)) {}

  std::shared_ptr<View> build(const pugi::xml_node& root) {
    if (std::string_view(root.name()) != "layout")
      fail(root, "the root element must be <layout>, not <" + std::string(root.name()) + ">");
    version_ = number(root, "version", 1);
    if (version_ != 1 && version_ != 2)
      fail(root,
           "unknown layout version " + std::to_string(version_) + " (this reader knows 1 and 2)");
    auto view = std::make_shared<View>();
    common(root, *view);
    pending_.push_back({"panelView", view, root});
    children(root, *view);
    linkCaptions();
    if (version_ >= 2) refuseOverlaps(*view);
    return view;
  }

  // Connects every outlet, undoing all of them when one is refused.
  void connect() {
    std::vector<std::string> done;
    for (auto& [name, control, node] : pending_) {
      if (!owner_.connectOutlet(name, control)) {
        for (auto& undo : done) owner_.connectOutlet(undo, nullptr);
        fail(node, "outlet \"" + name + "\" is unknown to the owner or of another kind");
      }
      done.push_back(name);
    }
  }

 private:
  [[noreturn]] void fail(const pugi::xml_node& node, std::string message) {
    throw LayoutError{node.offset_debug(), std::move(message)};
  }

  // Every control remembers its element, for messages that name a line.
  void remember(const Control* control, const pugi::xml_node& node) { nodes_[control] = node; }

  static std::string describe(const Control& control, const pugi::xml_node& node) {
    if (!control.identifier().empty()) return "\"" + control.identifier() + "\"";
    for (const char* caption : {"title", "text", "label"})
      if (const char* text = node.attribute(caption).value(); *text)
        return "<" + std::string(node.name()) + "> \"" + text + "\"";
    return "<" + std::string(node.name()) + ">";
  }

  // A caption's or hold button's `for=` names a control of the same file; resolved once all are
  // made.
  void linkCaptions() {
    for (auto& [link, name, node] : captions_) {
      auto it = byOutlet_.find(name);
      if (it == byOutlet_.end()) fail(node, "for=\"" + name + "\" names no control of this layout");
      link(it->second.get());
    }
  }

  // Two controls of one page must not cover each other at the sizes they declare, or a
  // toolkit draws one over the other.
  void refuseOverlaps(const View& root) {
    std::vector<Overlap> overlaps = findOverlaps(root);
    if (overlaps.empty()) return;
    const Overlap& o = overlaps.front();
    const pugi::xml_node& second = nodes_[o.second];
    Control::Frame a = frameIn(*o.first), b = frameIn(*o.second);
    auto place = [](const Control::Frame& f) {
      return "(" + std::to_string(f.x) + "," + std::to_string(f.y) + " " + std::to_string(f.width) +
             "x" + std::to_string(f.height) + ")";
    };
    fail(second, describe(*o.second, second) + " " + place(b) + " overlaps " +
                     describe(*o.first, nodes_[o.first]) + " " + place(a));
  }

  // An image names a theme icon or a file of the bundle's resources, and says which.
  ImageRef image(const pugi::xml_node& node, const Control::Frame& frame) {
    pugi::xml_attribute kind = node.attribute("kind");
    std::string name = node.attribute("name").value();
    if (!kind) {
      if (version_ >= 2 && !name.empty())
        fail(node, "an <image> with a name needs kind=\"icon\" or kind=\"file\"");
      return nullptr;
    }
    std::string_view k = kind.value();
    if (k != "icon" && k != "file")
      fail(node, "unknown image kind \"" + std::string(k) + "\" (icon or file)");
    if (name.empty()) fail(node, "an <image> of kind " + std::string(k) + " needs a name");
    if (k == "icon")
      return std::make_shared<const Image>(
          Image{name, double(frame.width), double(frame.height), Image::Source::ThemeIcon});
    std::filesystem::path path = resources_ / name;
    if (name.find("..") != std::string::npos || std::filesystem::path(name).is_absolute() ||
        !std::filesystem::is_regular_file(path))
      fail(node, "image file \"" + name + "\" is not among the bundle's resources");
    if (ImageRef png = loadPngImage(path.string())) return png;
    return std::make_shared<const Image>(
        Image{path.string(), double(frame.width), double(frame.height), Image::Source::File});
  }

  long number(const pugi::xml_node& node, const char* attribute, long fallback) {
    pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return fallback;
    std::string_view text = a.value();
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
      fail(node, std::string("attribute ") + attribute + " is not a number: \"" +
                     std::string(text) + "\"");
    return value;
  }

  bool flag(const pugi::xml_node& node, const char* attribute, bool fallback) {
    pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return fallback;
    std::string_view v = a.value();
    if (v == "yes" || v == "true" || v == "1") return true;
    if (v == "no" || v == "false" || v == "0") return false;
    fail(node, std::string("attribute ") + attribute + " must be yes or no");
  }

  // Attributes every control may carry: outlet, action, tag, frame, hidden, enabled.
  void common(const pugi::xml_node& node, Control& control) {
    control.setFrame({int(number(node, "x", 0)), int(number(node, "y", 0)),
                      int(number(node, "width", 0)), int(number(node, "height", 0))});
    control.setTag(number(node, "tag", 0));
    control.setHidden(flag(node, "hidden", false));
    control.setEnabled(flag(node, "enabled", true));
    if (pugi::xml_attribute action = node.attribute("action")) {
      Control::Action method = owner_.actionNamed(action.value());
      if (!method)
        fail(node, "action \"" + std::string(action.value()) + "\" is unknown to the owner");
      control.setAction(std::move(method));
    }
  }

  void outlet(const pugi::xml_node& node, const std::shared_ptr<Control>& control) {
    pugi::xml_attribute name = node.attribute("outlet");
    if (!name) return;
    std::string outlet = name.value();
    if (outlet.empty()) fail(node, "empty outlet name");
    if (!outlets_.insert(outlet).second) fail(node, "outlet \"" + outlet + "\" appears twice");
    control->setIdentifier(outlet);
    byOutlet_[outlet] = control;
    pending_.push_back({outlet, control, node});
  }

  void children(const pugi::xml_node& parent, Control& into) {
    for (pugi::xml_node node : parent.children()) {
      if (node.type() != pugi::node_element) continue;
      into.addChild(element(node));
    }
  }

  // One control of the layout, with its children, its outlet and its element remembered.
  std::shared_ptr<Control> element(const pugi::xml_node& node);

  using Make = std::shared_ptr<Control> (Builder::*)(const pugi::xml_node&, std::string_view);
  struct ElementMaker {
    std::string_view kind;
    Make make;
  };
  static const ElementMaker kMakers[];

  std::shared_ptr<Control> makeView(const pugi::xml_node& node, std::string_view) {
    auto view = std::make_shared<View>();
    common(node, *view);
    children(node, *view);
    return view;
  }

  std::shared_ptr<Control> makeBox(const pugi::xml_node& node, std::string_view) {
    auto box = std::make_shared<Box>();
    box->setTitle(node.attribute("title").value());
    common(node, *box);
    if (version_ >= 2 && !box->title().empty()) box->setContentOrigin({0, kBoxTitleHeight});
    children(node, *box);
    return box;
  }

  // "checkbox", "holdbutton" or "button".
  std::shared_ptr<Control> makeButton(const pugi::xml_node& node, std::string_view kind) {
    auto type = kind == "checkbox"     ? Button::Type::Switch
                : kind == "holdbutton" ? Button::Type::Toggle
                                       : Button::Type::Push;
    auto button = std::make_shared<Button>(type);
    button->setTitle(node.attribute("title").value());
    button->setState(int(number(node, "state", 0)));
    common(node, *button);
    if (pugi::xml_attribute target = node.attribute("for")) {
      if (type != Button::Type::Toggle)
        fail(node, "only a <label> or <holdbutton> names another control (for=)");
      captions_.push_back({[button](Control* c) { button->setNamedBy(c); }, target.value(), node});
    }
    return button;
  }

  std::shared_ptr<Control> makeMatrix(const pugi::xml_node& node, std::string_view) {
    auto matrix = std::make_shared<Matrix>();
    common(node, *matrix);
    for (pugi::xml_node cellNode : node.children()) {
      if (cellNode.type() != pugi::node_element) continue;
      if (std::string_view(cellNode.name()) != "cell")
        fail(cellNode, "a <matrix> holds only <cell> elements");
      auto cell = std::make_shared<ButtonCell>();
      cell->setTitle(cellNode.attribute("title").value());
      cell->setTag(number(cellNode, "tag", 0));
      cell->setEnabled(flag(cellNode, "enabled", true));
      matrix->addCell(cell);
      outlet(cellNode, cell);
      remember(cell.get(), cellNode);
    }
    if (matrix->numberOfRows() == 0) fail(node, "a <matrix> needs at least one <cell>");
    rows(node, *matrix);
    matrix->selectCellAtRow(int(number(node, "selected", 0)));
    return matrix;
  }

  // "label" (a caption, tag 0) or "field" (an input, non-zero tag).
  std::shared_ptr<Control> makeTextField(const pugi::xml_node& node, std::string_view kind) {
    auto field = std::make_shared<TextField>();
    field->setStringValue(node.attribute("text").value());
    bool input = kind == "field";
    field->setEditable(flag(node, "editable", input));
    field->setSelectable(flag(node, "selectable", input));
    field->setBezeled(input);
    if (input) field->setSecret(flag(node, "secret", false));
    common(node, *field);
    if (pugi::xml_attribute target = node.attribute("for")) {
      if (input) fail(node, "only a <label> or <holdbutton> names another control (for=)");
      captions_.push_back({[field](Control* c) { field->setLabelFor(c); }, target.value(), node});
    }
    if (input && field->tag() == 0) fail(node, "an input <field> needs a non-zero tag");
    if (!input && field->tag() != 0) fail(node, "a <label> carries tag 0");
    return field;
  }

  std::shared_ptr<Control> makePopUp(const pugi::xml_node& node, std::string_view) {
    auto popup = std::make_shared<PopUpButton>();
    common(node, *popup);
    for (pugi::xml_node item : node.children()) {
      if (item.type() != pugi::node_element) continue;
      if (std::string_view(item.name()) == "item")
        popup->addItemWithTitle(item.attribute("title").value());
      else if (std::string_view(item.name()) == "separator")
        popup->addSeparatorItem();
      else
        fail(item, "a <popup> holds only <item> and <separator> elements");
    }
    return popup;
  }

  std::shared_ptr<Control> makeTabView(const pugi::xml_node& node, std::string_view) {
    auto tabs = std::make_shared<TabView>();
    common(node, *tabs);
    if (version_ >= 2) tabs->setContentOrigin({0, kTabStripHeight});
    for (pugi::xml_node tabNode : node.children()) {
      if (tabNode.type() != pugi::node_element) continue;
      if (std::string_view(tabNode.name()) != "tab")
        fail(tabNode, "a <tabview> holds only <tab> elements");
      auto tab = std::make_shared<TabViewItem>();
      tab->setLabel(tabNode.attribute("label").value());
      children(tabNode, *tab);
      tabs->addTabViewItem(tab);
      outlet(tabNode, tab);
    }
    tabs->selectFirstTabViewItem();
    return tabs;
  }

  std::shared_ptr<Control> makeProgress(const pugi::xml_node& node, std::string_view) {
    auto progress = std::make_shared<ProgressIndicator>();
    common(node, *progress);
    return progress;
  }

  std::shared_ptr<Control> makeImage(const pugi::xml_node& node, std::string_view) {
    auto image = std::make_shared<ImageView>();
    common(node, *image);
    if (ImageRef picture = this->image(node, image->frame())) image->setImage(picture);
    return image;
  }

  // The rows of a matrix: a row height and the gap between rows, the matrix as high as its
  // rows when no height is declared; each cell takes its row's frame.
  void rows(const pugi::xml_node& node, Matrix& matrix) {
    const int rowHeight = int(number(node, "rowheight", 0));
    const int spacing = int(number(node, "spacing", 0));
    if (rowHeight < 0 || spacing < 0) fail(node, "rowheight and spacing cannot be negative");
    if (rowHeight == 0 && node.attribute("spacing")) fail(node, "spacing needs a rowheight");
    matrix.setRowGeometry(rowHeight, spacing);
    if (rowHeight > 0) {
      const int n = matrix.numberOfRows();
      const int needed = n * rowHeight + (n - 1) * spacing;
      Control::Frame frame = matrix.frame();
      if (!node.attribute("height"))
        frame.height = needed;
      else if (frame.height < needed)
        fail(node, "the matrix's " + std::to_string(n) + " rows need " + std::to_string(needed) +
                       " points, its height is " + std::to_string(frame.height));
      matrix.setFrame(frame);
    }
    for (int row = 0; row < matrix.numberOfRows(); ++row)
      matrix.cellAtRow(row)->setFrame(matrix.frameOfCellAtRow(row));
  }

  struct Pending {
    std::string name;
    std::shared_ptr<Control> control;
    pugi::xml_node node;
  };
  // A `for=` of a caption or hold button, and what to tell the control it names.
  struct Caption {
    std::function<void(Control*)> link;
    std::string target;
    pugi::xml_node node;
  };
  LayoutOwner& owner_;
  std::filesystem::path resources_;
  long version_ = 1;
  std::vector<Pending> pending_;
  std::set<std::string> outlets_;
  std::map<std::string, std::shared_ptr<Control>> byOutlet_;
  std::map<const Control*, pugi::xml_node> nodes_;
  std::vector<Caption> captions_;
};

// Each element a layout may hold, and the member that makes its control.
const Builder::ElementMaker Builder::kMakers[] = {
    {"view", &Builder::makeView},         {"box", &Builder::makeBox},
    {"checkbox", &Builder::makeButton},   {"holdbutton", &Builder::makeButton},
    {"button", &Builder::makeButton},     {"matrix", &Builder::makeMatrix},
    {"label", &Builder::makeTextField},   {"field", &Builder::makeTextField},
    {"popup", &Builder::makePopUp},       {"tabview", &Builder::makeTabView},
    {"progress", &Builder::makeProgress}, {"image", &Builder::makeImage},
};

std::shared_ptr<Control> Builder::element(const pugi::xml_node& node) {
  std::string_view kind = node.name();
  const auto* maker = std::find_if(std::begin(kMakers), std::end(kMakers),
                                   [&](const ElementMaker& m) { return m.kind == kind; });
  if (maker == std::end(kMakers)) fail(node, "unknown element <" + std::string(kind) + ">");
  std::shared_ptr<Control> made = (this->*maker->make)(node, kind);
  outlet(node, made);
  remember(made.get(), node);
  return made;
}

// 1-based line of a byte offset, for messages a person can act on.
long lineOf(const std::string& text, std::ptrdiff_t offset) {
  if (offset < 0) return 0;
  long line = 1;
  for (std::ptrdiff_t i = 0; i < offset && i < static_cast<std::ptrdiff_t>(text.size()); ++i)
    if (text[static_cast<std::size_t>(i)] == '\n') ++line;
  return line;
}

}  // namespace

namespace {
std::string& lastError() {
  thread_local std::string error;
  return error;
}
LayoutResult remember(std::string message) {
  lastError() = message;
  return Refusal{std::move(message)};
}
}  // namespace

const std::string& lastLayoutError() {
  return lastError();
}

LayoutResult loadLayoutFile(const std::filesystem::path& file, LayoutOwner& owner) {
  std::optional<std::string> read = readFileBytes(file);
  if (!read) return remember(file.string() + ": cannot read the layout file");
  const std::string& text = *read;

  pugi::xml_document doc;
  pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
  if (!parsed)
    return remember(file.string() + ":" + std::to_string(lineOf(text, parsed.offset)) +
                    ": the layout does not parse: " + parsed.description());
  try {
    Builder builder(owner, file.parent_path());
    auto view = builder.build(doc.document_element());
    builder.connect();
    return view;
  } catch (const LayoutError& e) {
    return remember(file.string() + ":" + std::to_string(lineOf(text, e.offset)) + ": " +
                    e.message);
  }
}

LayoutResult loadLayout(const Bundle& bundle, const std::string& name, LayoutOwner& owner) {
  auto file = bundle.pathForResource(name, "layout");
  if (!file)
    return remember((bundle.resourcesPath() / (name + ".layout")).string() +
                    ": no such layout in the bundle");
  return loadLayoutFile(*file, owner);
}

}  // namespace jc
