// `jobcontrol show`: the panel as a user sees it, section by section, and its summary.
#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/json.h"
#include "hosts/cli/panel_driver.h"
#include "hosts/cli/terminal_text.h"
#include "platform/unicode.h"

namespace jc::cli {

namespace {

// One line of the listing: a control as the user sees it.
struct Row {
  std::string section;
  std::string entry;  // what `set` calls it
  std::string control;
  std::string caption;
  std::string value;
  std::vector<std::string> choices;
  bool enabled = true;
  std::optional<bool> held;  // only for entries with a hold button in the layout
};

std::string onOff(int state) {
  return state == 1 ? "on" : "off";
}

std::vector<Row> rowsOf(const PanelDriver& driver) {
  std::vector<Row> rows;
  for (const Entry& entry : entryTable()) {
    if (entry.kind == EntryKind::Hold) continue;
    Control* control = driver.find(entry.control);
    if (!control) continue;
    Row row;
    row.section = driver.section(*control);
    row.entry = entry.name;
    row.control = entry.control;
    row.caption = driver.caption(entry);
    row.enabled = control->isEnabled();
    if (auto* field = dynamic_cast<TextField*>(control)) {
      row.enabled = row.enabled && field->isEditable();
      row.value = field->stringValue();
      // A password field shows dots, not the password.
      if (entry.name == "password") {
        row.value.clear();
        for (std::size_t i = utf8ToUtf32(field->stringValue()).size(); i > 0; --i)
          row.value += "\u2022";
      }
    } else if (auto* popup = dynamic_cast<PopUpButton*>(control)) {
      row.value = popup->titleOfSelectedItem();
      for (const MenuItem& item : popup->items())
        if (!item.separator) row.choices.push_back(item.title);
    } else if (auto* matrix = dynamic_cast<Matrix*>(control)) {
      if (ButtonCell* cell = matrix->selectedCell()) row.value = cell->title();
      for (const auto& child : matrix->children())
        row.choices.push_back(static_cast<ButtonCell&>(*child).title());
    } else if (auto* button = dynamic_cast<Button*>(control)) {
      row.value = button->buttonType() == Button::Type::Push ? "" : onOff(button->state());
    }
    if (!entry.holdButton.empty())
      if (auto* hold = driver.find<Button>(entry.holdButton)) row.held = hold->state() == 1;
    rows.push_back(row);

    // The hold mode belongs to the retention entry, on a matrix of its own.
    if (entry.kind == EntryKind::Retention) {
      if (auto* modes = driver.find<Matrix>("suspendMatrix")) {
        static const Entry kHoldMode{
            "retention", EntryKind::Matrix, "suspendMatrix", "suspendBox", "", {}};
        Row mode;
        mode.section = driver.section(*modes);
        mode.entry = entry.name;
        mode.control = "suspendMatrix";
        mode.caption = driver.caption(kHoldMode);
        mode.enabled = modes->isEnabled();
        if (ButtonCell* cell = modes->selectedCell()) mode.value = cell->title();
        for (const auto& child : modes->children())
          mode.choices.push_back(static_cast<ButtonCell&>(*child).title());
        rows.push_back(mode);
      }
    }
  }
  return rows;
}

// Columns a terminal gives a text: East Asian wide and full-width characters take two,
// so captions in Japanese or Korean still line up.
std::size_t width(const std::string& text) {
  std::size_t columns = 0;
  for (char32_t c : utf8ToUtf32(text)) {
    bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
                (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
    columns += wide ? 2 : 1;
  }
  return columns;
}
std::string padded(const std::string& text, std::size_t to) {
  std::size_t w = width(text);
  return text + std::string(w < to ? to - w : 1, ' ');
}

}  // namespace

int runShow(const Options& options) {
  auto session = openSessionOrReport(options, "Untitled");
  if (!session) return kExitFailure;
  PanelDriver driver(session->view);
  std::vector<Row> rows = rowsOf(driver);
  SummaryInfo summary = session->panel->summaryInfo();
  const std::string name = session->panel->panelName();

  if (options.json) {
    std::cout << "{\"panel\":" << jsonString(name)
              << ",\"printer\":{\"id\":" << jsonString(session->printerId) << ",\"deviceURI\":"
              << (session->deviceURI ? jsonString(*session->deviceURI) : "null")
              << "},\n \"sections\":[";
    JsonSeparator sectionComma;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (i == 0 || rows[i].section != rows[i - 1].section) {
        if (i > 0) std::cout << "]}";
        std::cout << sectionComma() << "\n  {\"title\":" << jsonString(rows[i].section)
                  << ",\"controls\":[";
      } else {
        std::cout << ",";
      }
      const Row& r = rows[i];
      std::cout << "\n   {\"entry\":" << jsonString(r.entry)
                << ",\"control\":" << jsonString(r.control)
                << ",\"caption\":" << jsonString(r.caption) << ",\"value\":" << jsonString(r.value)
                << ",\"enabled\":" << (r.enabled ? "true" : "false");
      if (r.held) std::cout << ",\"held\":" << (*r.held ? "true" : "false");
      if (!r.choices.empty()) {
        std::cout << ",\"choices\":[";
        JsonSeparator comma;
        for (const auto& c : r.choices) std::cout << comma() << jsonString(c);
        std::cout << "]";
      }
      std::cout << "}";
    }
    if (!rows.empty()) std::cout << "]}";
    std::cout << "],\n \"summary\":[";
    JsonSeparator comma;
    for (const auto& [label, value] : summary)
      std::cout << comma() << "\n  {\"label\":" << jsonString(label)
                << ",\"value\":" << jsonString(value) << "}";
    std::cout << "]}\n";
    return std::cout.good() ? kExitSuccess : kExitFailure;
  }

  // Values hold what the printer, the print settings or the preferences gave: every text
  // is shown escaped, so none can reach the terminal as a control sequence.
  const auto shown = [](const std::string& text) { return terminalText(text); };
  std::cout << shown(name) << " — " << shown(session->printerId);
  if (session->deviceURI) std::cout << " (" << shown(*session->deviceURI) << ")";
  std::cout << "\n";
  std::size_t captionWidth = 0;
  for (const Row& r : rows) captionWidth = std::max(captionWidth, width(shown(r.caption)));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    if (i == 0 || r.section != rows[i - 1].section) std::cout << "\n" << shown(r.section) << "\n";
    std::string flags;
    if (!r.enabled) flags += " [dimmed]";
    if (r.held) flags += *r.held ? " [held]" : " [free]";
    std::cout << "  " << padded(shown(r.caption) + ":", captionWidth + 2)
              << padded(r.value.empty() ? "—" : shown(r.value), 24) << padded(flags, 18)
              << (r.entry == "folders" ? "jobcontrol folders" : r.entry + "=") << "\n";
  }
  std::cout << "\nSummary\n";
  for (const auto& [label, value] : summary)
    std::cout << "  " << shown(label) << ": " << shown(value) << "\n";
  return std::cout.good() ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
