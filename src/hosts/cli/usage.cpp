// The usage texts of `jobcontrol`, one per command, in the user's language.
#include "hosts/cli/options.h"
#include "hosts/common/messages.h"

namespace jc::cli {

namespace {

const char* printerHelp() {
  return tr(
      "Printer (every command but printers and decode), the first that applies:\n"
      "  --printer QUEUE, -d QUEUE, -P QUEUE   a CUPS queue: its PPD, device URI and name\n"
      "  --ppd FILE --printer-id ID [--device-uri URI]   a PPD file and a printer ID\n"
      "  $LPDEST, $PRINTER, the lpoptions default, the CUPS default destination\n"
      "  --demo, or none of these: the built-in demo printer \"demo\"\n"
      "  (`jobcontrol printers` lists the queues.)\n"
      "  --settings FILE   restore from key=value lines of an earlier save first\n"
      "  --job-name NAME   the job's own name (default \"Untitled\"; print: the first file)\n"
      "  --bundle PATH     the plug-in bundle (default: the installed JobControl.plugin)\n");
}

const char* entriesHelp() {
  return tr(
      "Entries, applied in the order given as a person would (a refused character, a\n"
      "dimmed control or an unknown entry is an error that says what to do):\n"
      "  retention=off|hold-only|hold-after|sample   keep the job on the printer\n"
      "  filing=quick|main|FOLDER       the Stored To pop-up (FOLDER from `folders`)\n"
      "  filing-kind=quick|main|custom  the filing radio buttons\n"
      "  auth=login|number              login name and password, or user number\n"
      "  pass-code=  folder-name=  folder-pass-code=  login-name=  password=\n"
      "  user-number=  account-number=  user-name=  job-name=  address=\n"
      "                                 replace the field's text, typed key by key\n"
      "  lock=ENTRY  unlock=ENTRY       a padlock button: the entry is kept for the\n"
      "                                 printer's next jobs and cannot be changed until\n"
      "                                 unlocked (hold= and unhold= are the same)\n"
      "Secrets: password=-, pass-code=- and folder-pass-code=- ask on the terminal\n"
      "without echo (or read a line of standard input), or take the value from\n"
      "--secrets-file FILE (ENTRY=VALUE lines, readable by its owner only). A secret\n"
      "typed on the command line shows in `ps` and in the shell's history.\n"
      "retention= keeps the job on the printer until released there; it is not the\n"
      "CUPS job hold (lp -H hold), which keeps a job in the queue on this computer.\n");
}

const char* exitHelp() {
  return tr(
      "Exit status: 0 success; 1 the panel, printer, a file, CUPS or the printer's folder\n"
      "service failed; 2 bad usage or a refused entry (nothing saved or remembered);\n"
      "3 decode found a check that failed.\n");
}

// `queue`'s text, which says what an administrator changes.
std::string queueUsage() {
  return tr(
      "Usage: jobcontrol queue enable|refresh|disable QUEUE [--private] [--address HOST[:PORT]]\n"
      "                                               [--filter PROGRAM]\n"
      "\n"
      "For administrators. enable rewrites the queue's PPD so that every print dialog and\n"
      "lp offer a \"Job Control\" group (retention, pass codes, filing with the printer's\n"
      "folders, authentication, account number), and puts jobcontrol-filter in front of\n"
      "the queue's own filter: it turns the choices into the panel's keys. refresh asks\n"
      "the printer for its folders again; disable gives back the original PPD byte for\n"
      "byte. enable says whether CUPS keeps the choices from other users.\n"
      "  --private          add the options to cupsd.conf's JobPrivateValues (restarts CUPS)\n"
      "  --address HOST[:PORT]   the printer's address for its folders\n"
      "  --filter PROGRAM   the wrapper to run (default: jobcontrol-filter in CUPS's\n"
      "                     filter folder)\n\n");
}

}  // namespace

std::string usageText(Command command) {
  std::string text;
  switch (command) {
    case Command::None:
    case Command::Help:
      text =
          tr("Usage: jobcontrol COMMAND [OPTIONS] [ENTRY=VALUE ...] [FILE ...]\n"
             "\n"
             "Opens the Job Control panel for a printer the way a print dialog does and drives\n"
             "it with the user's entries: typing passes the input filters, clicks run the\n"
             "control actions.\n"
             "\n"
             "Commands:\n"
             "  show       the panel as a user sees it, and its summary\n"
             "  set        apply entries, save, and print the print settings\n"
             "  folders    ask the printer for its filing folders\n"
             "  print      apply entries and submit files to a CUPS queue, as lp does\n"
             "  printers   the CUPS queues, and which of them this panel serves\n"
             "  decode     the printer side's view of a job's options\n"
             "  desktop    the Job Control tab in every GTK 3 application: on, off, status\n"
             "  queue      make a CUPS queue offer Job Control to every dialog and lp\n"
             "  help [COMMAND]   this text, or one command's\n"
             "\n"
             "  --version  the version of jobcontrol\n\n");
      text += printerHelp();
      break;
    case Command::Show:
      text =
          tr("Usage: jobcontrol show [PRINTER] [--json]\n"
             "\n"
             "Opens and restores the panel, then lists it by section: each control's caption,\n"
             "its value, whether it is enabled or dimmed, whether the entries with a padlock\n"
             "are locked, and the entry name `set` takes for it; then the summary a print\n"
             "dialog's summary view shows. Nothing is saved or remembered.\n\n");
      text += printerHelp();
      break;
    case Command::Set:
      text =
          tr("Usage: jobcontrol set [PRINTER] [ENTRY=VALUE ...] [--secrets-file FILE]\n"
             "                      [--out FILE] [--lp | --json]\n"
             "\n"
             "Applies the entries, then saves and confirms printing (locked entries are\n"
             "remembered for the printer), and writes the print settings as key=value lines\n"
             "(--lp: `-o key=value` words for lp; --json: an object) to standard output or to\n"
             "--out FILE.\n\n");
      text += entriesHelp();
      text += "\n";
      text += printerHelp();
      break;
    case Command::Print:
      text =
          tr("Usage: jobcontrol print [-d QUEUE] [-o NAME=VALUE ...] [-n COPIES] [-t TITLE] [-q]\n"
             "                        [ENTRY=VALUE ...] [--secrets-file FILE] [--out FILE]\n"
             "                        FILE... | -\n"
             "\n"
             "As set, then submits the files (\"-\": standard input) to a CUPS queue as one job\n"
             "with the print settings as job options, and prints \"request id is QUEUE-ID\n"
             "(N file(s))\" as lp does. The queue follows the printer rule below; the demo\n"
             "printer cannot print.\n"
             "  -o NAME=VALUE  a CUPS job option, passed on as given (-o ENTRY=VALUE is an entry)\n"
             "  -n COPIES      the number of copies\n"
             "  -t TITLE       the job's title (as --job-name)\n"
             "  -q             print no request id\n"
             "  --out FILE     also keep the print settings as key=value lines\n\n");
      text +=
          tr("  --ipp-attributes auto|always|never\n"
             "                 also send the pass code, account number and login name or user\n"
             "                 number as standard IPP job attributes (job-password,\n"
             "                 job-account-id, job-accounting-user-id); auto (the default) does\n"
             "                 so on a driverless queue for what its printer advertises, and\n"
             "                 refuses a held job (exit 2) when the printer gives no usable\n"
             "                 answer; never sends none of them, and so prints such a job\n"
             "                 without holding it\n\n");
      text += entriesHelp();
      text += "\n";
      text += printerHelp();
      break;
    case Command::Folders:
      text =
          tr("Usage: jobcontrol folders [PRINTER] [--address HOST[:PORT]] [--json]\n"
             "\n"
             "Presses the panel's Get Folder Names button, with the printer address typed in\n"
             "first when given, and prints the printer's folders (a protected one is marked).\n"
             "The list is remembered for the printer, so `set filing=FOLDER` can choose it.\n"
             "When the printer cannot be asked or its answer cannot be read, says why, lists\n"
             "the folders the panel still shows from earlier, and exits with status 1.\n\n");
      text += printerHelp();
      break;
    case Command::Printers:
      text =
          tr("Usage: jobcontrol printers [--json]\n"
             "\n"
             "Lists the CUPS queues: name, device URI, model, and whether this panel serves\n"
             "the printer. The default destination is marked.\n\n");
      break;
    case Command::Decode:
      text =
          tr("Usage: jobcontrol decode [--pass-code N] [--folder-pass-code N] [--json] [FILE|-]\n"
             "\n"
             "Reads a job's options as a printer driver's filter receives them (its argv[5]\n"
             "form), or key=value lines as `set` writes them, from FILE or standard input, and\n"
             "reports what the printer side can read: clear values, what the stored key and\n"
             "the run-time key (from the spool time) decipher, and whether the digests match\n"
             "the pass codes given (one to five digits). Values that must agree are checked\n"
             "against each other.\n"
             "  --bundle PATH     the plug-in bundle whose codecs are used\n\n");
      break;
    case Command::Desktop:
      text =
          tr("Usage: jobcontrol desktop enable|disable|status [--user]\n"
             "\n"
             "Switches the GTK 3 module that adds the Job Control tab to the print dialog of\n"
             "every GTK 3 application (package jobcontrol-gtk3), for every user (as root) or,\n"
             "with --user, for you alone. It is switched in three places: GNOME's settings\n"
             "daemon (its gtk-modules folder; for one user, the enabled-gtk-modules and\n"
             "disabled-gtk-modules lists), the session environment (GTK_MODULES, from\n"
             "systemd's environment.d) and GTK 3's settings.ini (gtk-modules). Other modules\n"
             "named there stay. status says what is on where.\n"
             "Applications started afterwards follow the switch; under GNOME, running ones\n"
             "load the module at once; the session environment changes at the next login.\n"
             "GTK 4 and Qt applications do not load GTK 3 modules.\n\n");
      break;
    case Command::Queue:
      text = queueUsage();
      break;
  }
  text += exitHelp();
  return text;
}

}  // namespace jc::cli
