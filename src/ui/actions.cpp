// Control actions: what each control does when the user operates it.
#include "plugin/panel.h"

// Actions that never do anything: typing into a field changes nothing else, and the tab
// view and the printer-address entry have no behaviour of their own.
void VoreliaPrintPdeTz630eJC::tabProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::printersAddressButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::suspendKeyETextProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::folderPasswordETextProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::loginNameETextProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::passwordETextProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::userNumberETextProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::userNameETextProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::jobNameETextProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::accountNumberETextProc(jc::Control&) {}

// Actions whose behaviour comes with the user-interface work; until then they leave the
// controls as the user set them.
void VoreliaPrintPdeTz630eJC::retentionCBoxProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::suspendKeyMatrixProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::suspendKeyButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::folderSelectionPopUpButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::folderPasswordButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::folderNameButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::folderSelectionMatrixProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::authenticationMatrixProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::loginNameButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::passwordButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::userNumberButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::userNameButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::jobNameButtonProc(jc::Control&) {}
void VoreliaPrintPdeTz630eJC::accountNumberButtonProc(jc::Control&) {}

// The folder pop-up keeps the layout's items until its menu is built from the folder list.
void VoreliaPrintPdeTz630eJC::makeFolderPopup() {}
