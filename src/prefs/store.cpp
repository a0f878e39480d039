// The per-printer preference store as the panel uses it.
#include "plugin/panel.h"

// The store's reads and writes arrive with the preference work; until then nothing is
// remembered between dialogs and nothing is loaded.
void VoreliaPrintPdeTz630eJC::CheckPreference() {}
void VoreliaPrintPdeTz630eJC::GetUserPreference() {}
void VoreliaPrintPdeTz630eJC::GetFolderPreference() {}
void VoreliaPrintPdeTz630eJC::SaveUserPreference() {}
void VoreliaPrintPdeTz630eJC::SaveFolderPreference() {}
