// The writer: the panel's settings into the job's print settings.
#include "plugin/panel.h"
#include "plugin/trace.h"

void VoreliaPrintPdeTz630eJC::writeNonPPDSettingsToPrintSettings() {
  _PDEProlog(this, "--writeNonPPDSettingsToPrintSettings:");
  // The keys are written here once the value encodings and cipher are in place.
  _PDEEpilog(this, "--writeNonPPDSettingsToPrintSettings:");
}
