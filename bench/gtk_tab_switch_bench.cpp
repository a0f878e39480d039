// Building the Job Control tab for a printer switch in a real GtkPrintUnixDialog: saving the
// old panel, making the new one from the plug-in, its widgets and its restore, alternating
// between two printers of the demo PPD. Needs a display (run under xvfb-run -a).
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include <string>

#include "hosts/gtk/jobcontrol-gtk.h"
#include "hosts/gtk/print_tab.h"

namespace {

jc::gtk::PrinterInfo demoPrinter(const char* id) {
  jc::gtk::PrinterInfo info;
  info.id = id;
  info.deviceURI = "ipp://192.0.2.7/ipp/print";
  info.ppd = std::move(jc::openPPDFile(JC_SOURCE_DIR "/tools/ppd/vorelia-demo.ppd").value());
  return info;
}

void BM_TabForPrinterSwitch(benchmark::State& state) {
  auto* dialog = GTK_PRINT_UNIX_DIALOG(gtk_print_unix_dialog_new("Print", nullptr));
  if (!jobcontrol_gtk_add_tab(dialog, "report.pdf", JC_BUNDLE_DIR, nullptr)) {
    state.SkipWithError("the tab could not be added");
    return;
  }
  gtk_window_present(GTK_WINDOW(dialog));
  jc::gtk::PrintTab* tab = jc::gtk::PrintTab::of(dialog);
  bool second = false;
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto printer = demoPrinter(second ? "P2" : "P1");  // the PPD comes from CUPS in real use
    second = !second;
    state.ResumeTiming();
    tab->showPrinter(std::move(printer));
    total += tab->lastBuildMilliseconds();
    state.PauseTiming();
    while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
    state.ResumeTiming();
  }
  state.counters["build_ms"] = total / double(state.iterations());
  gtk_window_destroy(GTK_WINDOW(dialog));
}
BENCHMARK(BM_TabForPrinterSwitch)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  setenv("XDG_CONFIG_HOME", "/tmp/jc-bench-gtk-config", 1);
  setenv("GSK_RENDERER", "cairo", 0);
  setenv("GSETTINGS_BACKEND", "memory", 0);
  if (!gtk_init_check()) return 77;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
