// The folder-names button: fetches the printer's folder list.
#include "plugin/panel.h"

void VoreliaPrintPdeTz630eJC::getFolderNameButtonProc(jc::Control&) {}
