// Panel construction: makes the loaded controls ready, once per panel.
#include "plugin/panel.h"
#include "plugin/trace.h"

void VoreliaPrintPdeTz630eJC::initializeUI() {
  _PDEProlog(this, "--initializeUI:");
  if (!hasInited) {
    // Captions, filters, padlocks and the folder pop-up are prepared here (to come with
    // the user-interface work); the controls keep their layout state until then.
    hasInited = true;
  }
  _PDEEpilog(this, "--initializeUI:=void");
}
