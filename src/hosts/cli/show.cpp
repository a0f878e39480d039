// `jobcontrol show`: the panel as a user sees it, section by section, and its summary.
#include <iostream>

#include "hosts/cli/columns.h"
#include "hosts/cli/commands.h"
#include "hosts/cli/json.h"
#include "hosts/common/messages.h"
#include "hosts/common/panel_driver.h"
#include "hosts/common/terminal_text.h"
#include "platform/text/unicode.h"

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

std::string padded(const std::string& text, std::size_t to) {
  std::size_t w = columnsOf(text);
  return text + std::string(w < to ? to - w : 1, ' ');
}

// The panel as one JSON object: its name, the printer, its sections and its summary.
void printJson(const Session& session, const std::string& name, const std::vector<Row>& rows,
               const SummaryInfo& summary) {
  std::cout << "{\"panel\":" << jsonString(name)
            << ",\"printer\":{\"id\":" << jsonString(session.printerId)
            << ",\"deviceURI\":" << (session.deviceURI ? jsonString(*session.deviceURI) : "null")
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
}

// The panel as aligned text, section by section, then its summary.
void printListing(const Session& session, const std::string& name, const std::vector<Row>& rows,
                  const SummaryInfo& summary) {
  // Values hold what the printer, the print settings or the preferences gave: every text
  // is shown escaped, so none can reach the terminal as a control sequence.
  const auto shown = [](const std::string& text) { return terminalText(text); };
  std::cout << shown(name) << " — " << shown(session.printerId);
  if (session.deviceURI) std::cout << " (" << shown(*session.deviceURI) << ")";
  std::cout << "\n";
  // Every column as wide as its widest cell (values up to a point), so long German
  // captions and wide Japanese ones keep the columns straight.
  auto flagsOf = [](const Row& r) {
    std::string flags;
    if (!r.enabled) flags += tr(" [dimmed]");
    if (r.held) flags += *r.held ? tr(" [locked]") : tr(" [unlocked]");
    return flags;
  };
  std::size_t captionWidth = 0, valueWidth = 0, flagsWidth = 0;
  for (const Row& r : rows) {
    captionWidth = std::max(captionWidth, columnsOf(shown(r.caption)));
    valueWidth = std::min<std::size_t>(24, std::max(valueWidth, columnsOf(shown(r.value))));
    flagsWidth = std::max(flagsWidth, columnsOf(flagsOf(r)));
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    if (i == 0 || r.section != rows[i - 1].section) std::cout << "\n" << shown(r.section) << "\n";
    std::cout << "  " << padded(shown(r.caption) + ":", captionWidth + 2)
              << padded(r.value.empty() ? "—" : shown(r.value), valueWidth + 1)
              << padded(flagsOf(r), flagsWidth + 1)
              << (r.entry == "folders" ? "jobcontrol folders" : r.entry + "=") << "\n";
  }
  std::cout << "\n" << tr("Summary") << "\n";
  for (const auto& [label, value] : summary)
    std::cout << "  " << shown(label) << ": " << shown(value) << "\n";
  std::cout << "\n"
            << tr("Retention keeps the job on the printer until it is released there (with the\n"
                  "pass code); it is not the CUPS job hold (lp -H hold), which keeps a job in the\n"
                  "queue on this computer. A locked entry is kept for this printer's next jobs.\n");
}

}  // namespace

int runShow(const Options& options) {
  auto session = openSessionOrReport(options, "Untitled");
  if (!session) return kExitFailure;
  PanelDriver driver(session->view);
  std::vector<Row> rows = rowsOf(driver);
  SummaryInfo summary = session->panel->summaryInfo();
  const std::string name = session->panel->panelName();
  if (options.json)
    printJson(*session, name, rows, summary);
  else
    printListing(*session, name, rows, summary);
  return std::cout.good() ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
