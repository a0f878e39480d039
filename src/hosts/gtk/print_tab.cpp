// The tab's life in the print dialog: attaching, following the selected printer, showing,
// and the Print or Cancel response (with the standard IPP job attributes, when they apply).
#include "hosts/gtk/print_tab.h"

#include <chrono>
#include <iterator>

#include "hosts/common/printer_family.h"
#include "hosts/gtk/style.h"
#include "hosts/gtk/text_domain.h"
#include "platform/host/cups_host.h"
#include "platform/io/bundle.h"
#include "platform/widgets/layout.h"

namespace jc::gtk {

namespace {

constexpr const char* kTabKey = "jobcontrol-tab";

// The drop-down's rows, in order.
[[maybe_unused]] constexpr StandardAttributesMode kModes[] = {
    StandardAttributesMode::Auto, StandardAttributesMode::Always, StandardAttributesMode::Never};

// A format from the library's catalogs, filled in.
template <class... Args>
std::string printed(const char* format, Args... args) {
  gchar* text = g_strdup_printf(format, args...);
  std::string result(text);
  g_free(text);
  return result;
}

void watch(GtkWidget** slot) {
  g_object_add_weak_pointer(G_OBJECT(*slot), reinterpret_cast<gpointer*>(slot));
}

void unwatch(GtkWidget** slot) {
  if (*slot) g_object_remove_weak_pointer(G_OBJECT(*slot), reinterpret_cast<gpointer*>(slot));
}

// What the worker thread needs, and what the answer goes back to.
struct Question {
  PrintTab::SupportQuery query;
  std::optional<std::string> deviceURI;
};
struct Asker {
  std::weak_ptr<PrintTab> tab;
  unsigned question;
};

// The host's callback object: the panel's printer and print settings in memory, alerts as
// GTK dialogs, and waits served on GLib's main context.
class TabCallback : public MemoryPluginCallback {
 public:
  TabCallback(std::shared_ptr<GlibRunLoop> loop, std::shared_ptr<GtkAlertPresenter> alerts)
      : loop_(std::move(loop)), alerts_(std::move(alerts)) {}
  AlertPresenter* alertPresenter() override { return alerts_.get(); }
  RunLoop* runLoop() override { return loop_.get(); }

 private:
  // Shared: a panel whose alert is up when the dialog goes still needs both afterwards.
  std::shared_ptr<GlibRunLoop> loop_;
  std::shared_ptr<GtkAlertPresenter> alerts_;
};

}  // namespace

PrinterInfo printerNamed(const std::string& name) {
  PrinterInfo info;
  info.id = name;
  if (Result<CupsQueue> queue = openCupsQueue(name)) {
    info.deviceURI = queue->deviceURI;
    info.ppd = std::move(queue->ppd);
  }
  return info;
}

Result<PrintTab*> PrintTab::attach(GtkPrintUnixDialog* dialog, const std::string& jobName,
                                   const std::string& bundlePath, bool servedPrintersOnly) {
  if (of(dialog)) return Refusal{"the dialog has a Job Control tab already"};
  Result<LoadedPlugIn> plugIn = loadPlugIn(bundlePath);
  if (!plugIn) return plugIn.refusal();
  std::shared_ptr<PrintTab> tab(new PrintTab(dialog, std::move(*plugIn), jobName));
  tab->servedOnly_ = servedPrintersOnly;
  installPanelStyle();

  tab->page_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_widget_set_margin_start(tab->page_, 6);
  gtk_widget_set_margin_top(tab->page_, 6);
  tab->label_ = gtk_label_new(tab->plugIn_.bundle->localizedString("Job Control").c_str());
  tab->panelBox_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_append(GTK_BOX(tab->page_), tab->panelBox_);
  watch(&tab->page_);
  watch(&tab->label_);
  watch(&tab->panelBox_);
  tab->addAdvancedChoice();
  // The page owns the tab: Escape destroys the dialog's widgets first, and the panel goes
  // with them. The dialog only finds the tab through a weak reference.
  g_object_set_data_full(G_OBJECT(tab->page_), kTabKey, new std::shared_ptr<PrintTab>(tab),
                         [](gpointer p) { delete static_cast<std::shared_ptr<PrintTab>*>(p); });
  g_object_set_data_full(G_OBJECT(dialog), kTabKey, new std::weak_ptr<PrintTab>(tab),
                         [](gpointer p) { delete static_cast<std::weak_ptr<PrintTab>*>(p); });
  g_signal_connect(tab->page_, "map", G_CALLBACK(+[](GtkWidget*, PrintTab* self) {
                     if (self->panel_) self->panel_->willShow();
                   }),
                   tab.get());

  PrintTab* self = tab.get();
  self->connections_.emplace_back(
      dialog, g_signal_connect(dialog, "notify::selected-printer",
                               G_CALLBACK(+[](GObject*, GParamSpec*, PrintTab* self) {
                                 self->followSelectedPrinter();
                               }),
                               self));
#if !JC_GTK3
  self->connections_.emplace_back(
      dialog, g_signal_connect(dialog, "response",
                               G_CALLBACK(+[](GtkDialog*, int response, PrintTab* self) {
                                 self->respond(response);
                               }),
                               self));
#else
  // GTK 3's module hears the response through an emission hook instead: an application may
  // destroy the dialog in a handler of its own that runs before any handler connected here.
  gtk_widget_show_all(self->page_);
#endif
  gtk_print_unix_dialog_add_custom_tab(dialog, self->page_, self->label_);
  self->followSelectedPrinter();
  return self;
}

PrintTab* PrintTab::of(GtkPrintUnixDialog* dialog) {
  auto* weak = static_cast<std::weak_ptr<PrintTab>*>(g_object_get_data(G_OBJECT(dialog), kTabKey));
  return weak ? weak->lock().get() : nullptr;
}

PrintTab::PrintTab(GtkPrintUnixDialog* dialog, LoadedPlugIn plugIn, const std::string& jobName)
    : dialog_(dialog),
      plugIn_(std::move(plugIn)),
      settings_(std::make_shared<MemoryPrintSettings>(jobName)) {}

PrintTab::~PrintTab() {
  connections_.clear();
  unwatch(&page_);
  unwatch(&label_);
  unwatch(&panelBox_);
  unwatch(&modeChoice_);
  unwatch(&advanced_);
}

// A choice of the host about how the job travels, not of the panel: below the panel, folded
// away under "Advanced".
void PrintTab::addAdvancedChoice() {
#if JC_GTK3
  // GTK 3's module keeps the job as the application sends it: it has no Print to hold back
  // while the printer is asked, so the standard attributes are not offered there.
  return;
#else
  const char* names[] = {tr("Automatic"), tr("Always"), tr("Never"), nullptr};
  modeChoice_ = gtk_drop_down_new_from_strings(names);
  gtk_widget_set_name(modeChoice_, "standardAttributesChoice");
  gtk_widget_set_tooltip_text(
      modeChoice_,
      tr("Whether the pass code, account number and user go with the job as standard IPP job "
         "attributes, for printers without the vendor driver. Automatic: when the queue has no "
         "vendor filter and the printer says it takes them."));
  watch(&modeChoice_);
  GtkWidget* label = gtk_label_new_with_mnemonic(tr("Standard _IPP job attributes:"));
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), modeChoice_);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_box_append(GTK_BOX(row), label);
  gtk_box_append(GTK_BOX(row), modeChoice_);
  advanced_ = gtk_expander_new_with_mnemonic(tr("_Advanced"));
  watch(&advanced_);
  gtk_expander_set_child(GTK_EXPANDER(advanced_), row);
  gtk_widget_set_margin_top(advanced_, 12);
  gtk_box_append(GTK_BOX(page_), advanced_);
#endif
}

StandardAttributesMode PrintTab::standardAttributesMode() const {
#if JC_GTK3
  return StandardAttributesMode::Never;
#else
  guint row = modeChoice_ ? gtk_drop_down_get_selected(GTK_DROP_DOWN(modeChoice_)) : 0;
  return row < std::size(kModes) ? kModes[row] : StandardAttributesMode::Auto;
#endif
}

void PrintTab::followSelectedPrinter() {
  GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(dialog_);
  if (!printer) {
    if (panel_) showPrinter(std::nullopt);
    return;
  }
  std::string name = gtk_printer_get_name(printer);
  // The dialog says the same printer again and again; CUPS is asked only about a new one.
  if (panel_ && name == printerId_) return;
  if (servedOnly_ && !servedByThePanel(queueMakeAndModel(name))) {
    showPrinter(std::nullopt);
    showPage(false);
    return;
  }
  showPrinter(printerNamed(name));
  showPage(panel_ != nullptr);
}

// The notebook shows a page's tab only while the page is visible.
void PrintTab::showPage(bool shown) {
  if (page_ && servedOnly_) gtk_widget_set_visible(page_, shown);
}

void PrintTab::showPrinter(std::optional<PrinterInfo> printer) {
  auto started = std::chrono::steady_clock::now();
  // The panel's values go into the tab's print settings, and the next panel starts from
  // them, so what the person typed survives a change of printer.
  if (panel_) panel_->saveValuesAndReturnError(nullptr);
  if (panelBox_)
    while (GtkWidget* child = gtk_widget_get_first_child(panelBox_))
      gtk_box_remove(GTK_BOX(panelBox_), child);
  // An answer about the last printer is no answer about the next one.
  stopAsking();
  deviceURI_.reset();
  vendorFilter_ = false;
  // A panel whose action is still running (its alert is up) stays alive in that action's
  // hands until it returns; the tab lets go of it now.
  binding_.reset();
  panel_.reset();
  printerId_.clear();
  if (!printer) return;

  deviceURI_ = printer->deviceURI;
  vendorFilter_ = hasVendorFilter(printer->ppd.get());
  auto callback = std::make_shared<TabCallback>(loop_, alerts_);
  callback->setPPD(std::move(printer->ppd));
  callback->setPrinter(Printer(printer->id, printer->deviceURI));
  callback->setPrintSettings(settings_);
  auto panels = plugIn_.plugIn->PDEPanelsForType(kPrintDialogType, callback);
  if (!panels || panels->empty()) return;
  panel_ = panels->front();
  printerId_ = printer->id;
  if (label_) gtk_label_set_text(GTK_LABEL(label_), panel_->panelName().c_str());
  std::shared_ptr<View> view = panel_->panelView();
  if (view) {
    binding_ = PanelBinding::create(view, panel_);
    alerts_->setAnchor(binding_->widget());
    if (panelBox_) gtk_box_append(GTK_BOX(panelBox_), binding_->widget());
#if JC_GTK3
    gtk_widget_show(binding_->widget());
#endif
  } else if (panelBox_) {
    std::string why =
        printed(tr("The Job Control panel could not be shown: %s"), lastLayoutError().c_str());
    GtkWidget* label = gtk_label_new(why.c_str());
    gtk_label_set_wrap(GTK_LABEL(label), TRUE);
    gtk_box_append(GTK_BOX(panelBox_), label);
    gtk_widget_set_visible(label, TRUE);
  }
  panel_->restoreValuesAndReturnError(nullptr);
  if (page_ && gtk_widget_get_mapped(page_)) panel_->willShow();
  lastBuildMs_ =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

void PrintTab::respond(int response) {
  // The Print the tab gives again itself: the options are complete.
  if (released_) return;
  if (asking_) {
    // Print again while the printer is asked: the answer is on its way. Anything else
    // ends the wait, and the job goes nowhere.
    if (response == GTK_RESPONSE_OK) {
      g_signal_stop_emission_by_name(dialog_, "response");
      return;
    }
    stopAsking();
    options_.clear();
  }
  // Cancel, closing, preview: nothing is saved and nothing remembered.
  if (response != GTK_RESPONSE_OK || !panel_) return;
  auto keep = shared_from_this();
  panel_->saveValuesAndReturnError(nullptr);
  panel_->shouldPrint();
  options_.assign(settings_->entries().begin(), settings_->entries().end());
  // "Print to File" and the like have no printer to ask and nothing to send it. In
  // Automatic, a device CUPS reaches other than by IPP (socket, USB, a file) carries no IPP
  // job attributes: a message after every Print to say so would only be in the way.
  StandardAttributesMode mode = standardAttributesMode();
  if (!deviceURI_ || !standardAttributesApply(mode, vendorFilter_)) return;
  if (mode == StandardAttributesMode::Auto && !isIppAddress(*deviceURI_)) return;
  // The application hears Print only once the printer has answered (up to the CUPS
  // time-outs): the dialog stays responsive meanwhile.
  g_signal_stop_emission_by_name(dialog_, "response");
  askPrinter();
}

void PrintTab::askPrinter() {
  asking_ = true;
  gtk_widget_set_cursor_from_name(GTK_WIDGET(dialog_), "wait");
  GTask* task = g_task_new(
      nullptr, nullptr,
      +[](GObject*, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Asker> asker(static_cast<Asker*>(data));
        std::unique_ptr<PrinterAnswer> answer(
            static_cast<PrinterAnswer*>(g_task_propagate_pointer(G_TASK(result), nullptr)));
        auto tab = asker->tab.lock();
        if (tab && answer && tab->asking_ && tab->question_ == asker->question)
          tab->answered(*answer);
      },
      new Asker{weak_from_this(), ++question_});
  g_task_set_task_data(
      task, new Question{query_, deviceURI_},
      +[](gpointer q) { delete static_cast<Question*>(q); });
  g_task_run_in_thread(
      task, +[](GTask* task, gpointer, gpointer data, GCancellable*) {
        auto* question = static_cast<Question*>(data);
        g_task_return_pointer(
            task, new PrinterAnswer(question->query(question->deviceURI)),
            +[](gpointer a) { delete static_cast<PrinterAnswer*>(a); });
      });
  g_object_unref(task);
}

void PrintTab::stopAsking() {
  if (!asking_) return;
  asking_ = false;
  ++question_;
  if (dialog_) gtk_widget_set_cursor(GTK_WIDGET(dialog_), nullptr);
}

void PrintTab::answered(const PrinterAnswer& answer) {
  stopAsking();
  auto keep = shared_from_this();
  StandardAttributes mapped;
  if (Result<PlugInCodecs> codecs = loadPlugInCodecs(plugIn_.bundle->path()))
    mapped = standardAttributesForJob(settings_->entries(), *codecs, answer, vendorFilter_,
                                      standardAttributesMode());
  else
    mapped.refusal = codecs.message();
  std::string title = plugIn_.bundle->localizedString("Job Control");
  std::string ok = plugIn_.bundle->localizedString("OK");
  if (mapped.refusal) {
    // The dialog stays: the person can change the pass code, or choose Never.
    options_.clear();
    const char* format =
        mapped.wouldPrintUnheld
            ? tr("%s: the job asks to be held with a pass code, but the printer gave no usable "
                 "answer (%s), so it would print at once; the job was not sent. To print it "
                 "without holding it, choose Never under Advanced, Standard IPP job attributes.")
            : tr("%s: %s; the job was not sent.");
    alerts_->runInformationalAlert(
        title, printed(format, printerId_.c_str(), mapped.refusal->c_str()), ok);
    return;
  }
  options_.insert(options_.end(), mapped.options.begin(), mapped.options.end());
  if (!mapped.notes.empty()) {
    // The fixed notes are in the catalogs; the ones naming the printer's own answers stay
    // as they are.
    std::string text = printed(tr("Standard IPP job attributes for %s:"), printerId_.c_str());
    for (const std::string& note : mapped.notes) text += std::string("\n• ") + tr(note.c_str());
    alerts_->runInformationalAlert(title, text, ok);
    if (!page_) return;  // the dialog went while the note was up
  }
  released_ = true;
  gtk_dialog_response(GTK_DIALOG(dialog_), GTK_RESPONSE_OK);
  released_ = false;
}

}  // namespace jc::gtk
