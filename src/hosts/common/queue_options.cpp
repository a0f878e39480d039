// The table of the "Job Control" options a queue's PPD offers.
#include "hosts/common/queue_options.h"

namespace jc {

namespace {

const std::vector<QueueOption>& table() {
  using enum QueueValue;
  static const std::vector<QueueOption> options = {
      {"JCRetention",
       "Retention",
       "Aufbewahrung",
       "retention",
       Choice,
       {{"None", "Off", "Aus", ""},
        {"HoldOnly", "Hold Only", "Nur anhalten", "hold-only"},
        {"HoldAfter", "Hold After Printing", "Nach dem Druck anhalten", "hold-after"},
        {"SamplePrint", "Sample Print", "Probedruck", "sample"}}},
      {"JCPassCode", "Retention Pass Code", "Aufbewahrungs-PIN", "pass-code", Digits, {}, 5},
      {"JCFiling",
       "Filing",
       "Ablage",
       "filing",
       Choice,
       {{"None", "Default", "Standard", ""},
        {"QuickFile", "Quick File", "Schnellablage", "quick"},
        {"MainFolder", "Main Folder", "Hauptordner", "main"}}},
      {"JCFolderPassCode", "Folder Pass Code", "Ordner-PIN", "folder-pass-code", Digits, {}, 5},
      {"JCAuthentication",
       "Authentication",
       "Authentifizierung",
       "auth",
       Choice,
       {{"None", "Default", "Standard", ""},
        {"Login", "Login Name and Password", "Anmeldename und Kennwort", "login"},
        {"UserNumber", "User Number", "Benutzernummer", "number"}}},
      {"JCLoginName", "Login Name", "Anmeldename", "login-name", Text, {}, 255},
      {"JCPassword", "Password", "Kennwort", "password", Secret, {}, 31},
      {"JCUserNumber", "User Number", "Benutzernummer", "user-number", Digits, {}, 8},
      {"JCAccountNumber", "Account Number", "Kontonummer", "account-number", Digits, {}, 5},
  };
  return options;
}

}  // namespace

std::span<const QueueOption> queueOptions() {
  return table();
}

const QueueOption* findQueueOption(std::string_view keyword) {
  for (const QueueOption& option : table())
    if (option.keyword == keyword) return &option;
  return nullptr;
}

}  // namespace jc
