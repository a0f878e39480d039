// The folder-names button: asks the printer for its folders, reads the answer into the
// folder list, stores it and rebuilds the folder pop-up; and the failure alert.
#include "platform/io/temp_files.h"
#include "platform/widgets/alert.h"
#include "plugin/panel.h"
#include "soap/folder_list.h"
#include "soap/soap_client.h"

void VoreliaPrintPdeTz630eJC::getFolderNameButtonProc(jc::Control&) {
  if (!getFolderNameButton) return;
  // The wait serves the host's events, so the button can be pressed again meanwhile; one
  // exchange at a time keeps the indicator and the response file to one owner.
  if (exchangeRunning_) return;
  BusyScope busy(*this);
  const int previousIndex = folderSelectionPopup->indexOfSelectedItem();
  const std::string previousTitle = folderSelectionPopup->titleOfSelectedItem();
  std::string address = printersAddressEditText->stringValue();
  const jc::Result<std::string> responseFile = jc::soap::responseFilePath();
  // The answer of a completed exchange, when the response file now holds exactly it.
  std::optional<std::string> answer;
  if (!address.empty() && !responseFile) {
    // No answer could be kept (another user holds the folder meant for ours): asking the
    // printer would only show the old list as if it were new.
    showAlert("Could not retrieve Folder Names.", " (" + responseFile.message() + ")");
  } else if (!address.empty()) {
    exchangeRunning_ = true;
    chasingArrow->startAnimation();
    chasingArrow->setHidden(false);
    // The address goes in as typed: a host, a host and port, or an address literal.
    std::string serviceURL = "http://" + address + "/vorelia-mfp-srv";
    if (auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(serviceURL, this,
                                                                            &hostRunLoop())) {
      client->sendMessage(requestData.value_or(std::string()));
      answer = client->takeAnswer();
    }
    chasingArrow->stopAnimation();
    chasingArrow->setHidden(true);
    exchangeRunning_ = false;
  }
  // Whatever happened, the list shown is what the response file holds: this answer, or
  // the last one that completed. This answer is read from memory, not read back from the
  // file that was just given the same bytes.
  foldersLeftOut = 0;
  if (answer && answer->size() <= jc::soap::kMaxResponseFileBytes)
    parseAnswer(std::move(*answer));
  else if (responseFile)
    parseXML(*responseFile);
  if (foldersLeftOut > 0 && !releasedByHost()) {
    // The list is usable, only shorter than the answer: say so once, with the counts.
    showAlert("The printer listed more folders than can be kept; the rest are left out.",
              " (" + std::to_string(folderList.size()) + " kept, " +
                  std::to_string(foldersLeftOut) + " left out)");
  }
  SaveFolderPreference();
  makeFolderPopup();
  reselectFolder(previousIndex, previousTitle);
}

void VoreliaPrintPdeTz630eJC::reselectFolder(int previousIndex, const std::string& previousTitle) {
  if (!folderSelectionPopup) return;
  constexpr int kMainFolder = 1;
  constexpr int kFirstFolder = 3;
  int index = kMainFolder;
  if (previousIndex == 0 || previousIndex == kMainFolder)
    index = previousIndex;  // the fixed items survive every rebuild
  else if (previousIndex >= kFirstFolder)
    index = static_cast<int>(SearchSameFolderName(previousTitle));
  folderSelectionPopup->selectItemAtIndex(index);
  // The rules of a folder choice; no action is sent, since the choice is not the user's.
  folderChoiceEnabled();
}

bool VoreliaPrintPdeTz630eJC::parseXML(const std::string& path) {
  // The file may sit in a folder every local user can write to: a link, a file someone
  // else made, or one larger than any answer we keep is not ours and is not read.
  foldersLeftOut = 0;
  std::optional<std::string> document = jc::readOwnFile(path, jc::soap::kMaxResponseFileBytes);
  if (!document) return false;
  return parseAnswer(std::move(*document));
}

bool VoreliaPrintPdeTz630eJC::parseAnswer(std::string document) {
  foldersLeftOut = 0;
  return jc::soap::readFolderList(std::move(document), folderList, &foldersLeftOut) ==
         jc::soap::FolderListResult::Accepted;
}

void VoreliaPrintPdeTz630eJC::recieveEndCallback() {
  chasingArrow->stopAnimation();
  chasingArrow->setHidden(true);
  // A host without a blocking alert runs its loop until the alert is dismissed: it may
  // re-enter the panel or let go of it meanwhile.
  BusyScope busy(*this);
  if (releasedByHost()) return;  // the panel is gone from the dialog: tell nobody
  showAlert("Could not retrieve Folder Names.");
}

void VoreliaPrintPdeTz630eJC::showAlert(const std::string& message, const std::string& detail) {
  std::string text = message;
  std::string button = "OK";
  if (pdeBundle) {
    text = pdeBundle->localizedString(text);
    button = pdeBundle->localizedString(button);
  }
  jc::AlertPresenter* presenter =
      pdePluginCallbackObject ? pdePluginCallbackObject->alertPresenter() : nullptr;
  (presenter ? *presenter : jc::standardErrorAlertPresenter())
      .runInformationalAlert("", text + detail, button);
}
