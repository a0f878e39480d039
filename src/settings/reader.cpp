// The reader: the job's print settings back into the panel's controls.
#include "plugin/panel.h"
#include "plugin/trace.h"

void VoreliaPrintPdeTz630eJC::getNonPPDSettingsFromPrintSettings() {
  _PDEProlog(this, "--getNonPPDSettingsFromPrintSettings:");
  // The keys are read here once the value encodings and cipher are in place.
  _PDEEpilog(this, "--getNonPPDSettingsFromPrintSettings:");
}
