// The tab's life in the print dialog: attaching, following the selected printer, showing,
// and the Print or Cancel response.
#include "hosts/gtk/print_tab.h"

#include <chrono>

#include "hosts/gtk/style.h"
#include "platform/bundle.h"
#include "platform/cups_host.h"
#include "platform/layout.h"

namespace jc::gtk {

namespace {

constexpr const char* kTabKey = "jobcontrol-tab";

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
  if (auto queue = openCupsQueue(name, nullptr)) {
    info.deviceURI = queue->deviceURI;
    info.ppd = std::move(queue->ppd);
  }
  return info;
}

Result<PrintTab*> PrintTab::attach(GtkPrintUnixDialog* dialog, const std::string& jobName,
                                   const std::string& bundlePath) {
  if (of(dialog)) return Refusal{"the dialog has a Job Control tab already"};
  std::string why;
  auto plugIn = loadPlugIn(bundlePath, &why);
  if (!plugIn) return Refusal{why};
  std::shared_ptr<PrintTab> tab(new PrintTab(dialog, std::move(*plugIn), jobName));
  installPanelStyle();

  tab->page_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_widget_set_margin_start(tab->page_, 6);
  gtk_widget_set_margin_top(tab->page_, 6);
  tab->label_ = gtk_label_new(tab->plugIn_.bundle->localizedString("Job Control").c_str());
  g_object_add_weak_pointer(G_OBJECT(tab->page_), reinterpret_cast<gpointer*>(&tab->page_));
  g_object_add_weak_pointer(G_OBJECT(tab->label_), reinterpret_cast<gpointer*>(&tab->label_));
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
  self->connections_.emplace_back(
      dialog, g_signal_connect(dialog, "response",
                               G_CALLBACK(+[](GtkDialog*, int response, PrintTab* self) {
                                 self->respond(response);
                               }),
                               self));
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
  if (page_) g_object_remove_weak_pointer(G_OBJECT(page_), reinterpret_cast<gpointer*>(&page_));
  if (label_) g_object_remove_weak_pointer(G_OBJECT(label_), reinterpret_cast<gpointer*>(&label_));
}

void PrintTab::followSelectedPrinter() {
  GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(dialog_);
  if (!printer) {
    if (panel_) showPrinter(std::nullopt);
    return;
  }
  std::string name = gtk_printer_get_name(printer);
  if (panel_ && name == printerId_) return;
  showPrinter(printerNamed(name));
}

void PrintTab::showPrinter(std::optional<PrinterInfo> printer) {
  auto started = std::chrono::steady_clock::now();
  // The panel's values go into the tab's print settings, and the next panel starts from
  // them, so what the person typed survives a change of printer.
  if (panel_) panel_->saveValuesAndReturnError(nullptr);
  if (page_)
    while (GtkWidget* child = gtk_widget_get_first_child(page_))
      gtk_box_remove(GTK_BOX(page_), child);
  // A panel whose action is still running (its alert is up) stays alive in that action's
  // hands until it returns; the tab lets go of it now.
  binding_.reset();
  panel_.reset();
  printerId_.clear();
  if (!printer) return;

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
    if (page_) gtk_box_append(GTK_BOX(page_), binding_->widget());
  } else if (page_) {
    std::string why = "The Job Control panel could not be shown: " + lastLayoutError();
    GtkWidget* label = gtk_label_new(why.c_str());
    gtk_label_set_wrap(GTK_LABEL(label), TRUE);
    gtk_box_append(GTK_BOX(page_), label);
  }
  panel_->restoreValuesAndReturnError(nullptr);
  if (page_ && gtk_widget_get_mapped(page_)) panel_->willShow();
  lastBuildMs_ =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

void PrintTab::respond(int response) {
  // Cancel, closing, preview: nothing is saved and nothing remembered.
  if (response != GTK_RESPONSE_OK || !panel_) return;
  auto keep = shared_from_this();
  panel_->saveValuesAndReturnError(nullptr);
  panel_->shouldPrint();
  options_.assign(settings_->entries().begin(), settings_->entries().end());
}

}  // namespace jc::gtk
