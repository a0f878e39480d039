// `jobcontrol desktop enable|disable|status [--user]`: the switch that makes every GTK 3
// application load the Job Control module, for every user or for the calling user. Three
// places reach the applications: GNOME's settings daemon (its gtk-modules folder, or the
// user's enabled/disabled lists), the session environment (systemd's environment.d adds
// to GTK_MODULES) and GTK 3's own settings.ini (gtk-modules). Every file is read and
// checked before anything is written, so a refusal changes nothing.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/desktop_files.h"
#include "hosts/cli/desktop_gsettings.h"
#include "hosts/cli/input_file.h"
#include "hosts/common/messages.h"
#include "platform/io/temp_files.h"

namespace jc::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kModuleFile = "libjobcontrol-gtk3-module.so";
constexpr const char* kEnvironmentFile = "90jobcontrol-gtk3-module.conf";
constexpr const char* kMaskText =
    "# jobcontrol desktop disable --user: masks the system's entry of the same name\n";

// Where each switch lives. System paths take the prefix JOBCONTROL_DESKTOP_ROOT (tests);
// the user's follow XDG_CONFIG_HOME, else HOME.
struct Places {
  std::string root, gnomeFile, systemEnv, systemIni, userEnv, userIni;
};

Result<Places> places() {
  Places p;
  const char* root = std::getenv("JOBCONTROL_DESKTOP_ROOT");
  p.root = root ? root : "";
  p.gnomeFile =
      p.root + "/usr/lib/gnome-settings-daemon-3.0/gtk-modules/jobcontrol-gtk3-module.desktop";
  p.systemEnv = p.root + "/etc/environment.d/" + kEnvironmentFile;
  p.systemIni = p.root + "/etc/gtk-3.0/settings.ini";
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string user;
  if (config && *config == '/')
    user = config;
  else if (home && *home == '/')
    user = std::string(home) + "/.config";
  else
    return Refusal{tr("neither XDG_CONFIG_HOME nor HOME names the user's folder")};
  p.userEnv = user + "/environment.d/" + kEnvironmentFile;
  p.userIni = user + "/gtk-3.0/settings.ini";
  return p;
}

// Where GTK finds the module by name: its installed folder, or a folder of GTK_PATH.
std::optional<std::string> installedModule(const Places& p) {
  std::vector<std::string> folders = {p.root + JOBCONTROL_GTK3_MODULE_DIR};
  if (const char* path = std::getenv("GTK_PATH"))
    for (std::string_view rest = path; !rest.empty();) {
      std::string_view dir = rest.substr(0, rest.find(':'));
      rest.remove_prefix(std::min(rest.size(), dir.size() + 1));
      if (!dir.empty()) folders.push_back(std::string(dir) + "/modules");
    }
  std::error_code ec;
  for (const std::string& folder : folders)
    if (fs::exists(folder + "/" + kModuleFile, ec)) return folder + "/" + kModuleFile;
  return std::nullopt;
}

// A file's text, or nullopt when there is none.
Result<std::optional<std::string>> readText(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return std::optional<std::string>();
  Result<std::string> text = readInputFile(path);
  if (!text) return text.refusal();
  return std::optional<std::string>(std::move(*text));
}

// The gtk-modules value of a settings.ini text, refused with the file's name.
Result<std::optional<std::string>> modulesIn(const std::string& path,
                                             const std::optional<std::string>& text) {
  if (!text) return std::optional<std::string>();
  auto value = gtkModulesOf(*text);
  if (!value) return Refusal{path + ": " + value.message()};
  return value;
}

// One file to write (or, with nullopt or an empty settings.ini, to remove).
struct Change {
  std::string path;
  std::optional<std::string> text;
};

Result<> apply(const Change& change) {
  std::error_code ec;
  fs::path path = change.path;
  // A link (a user's settings kept elsewhere) is written through, not replaced.
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    path = fs::canonical(path, ec);
    if (ec) return Refusal{change.path + ": " + ec.message()};
  }
  if (!change.text || change.text->empty()) {
    if (!fs::remove(path, ec) && ec) return Refusal{path.string() + ": " + ec.message()};
    return accepted();
  }
  fs::create_directories(path.parent_path(), ec);
  if (ec) return Refusal{path.parent_path().string() + ": " + ec.message()};
  // Every user's applications read these files: a new one is readable by all; one that
  // is there keeps its permissions.
  auto status = fs::status(path, ec);
  unsigned mode = fs::exists(status) ? static_cast<unsigned>(status.permissions()) & 07777 : 0644;
  return writeFileAtomically(path.string(), *change.text, true, mode);
}

bool isOn(const std::optional<std::string>& modules) {
  return modules && listHas(*modules, kGtk3ModuleName);
}

// What enable or disable writes, decided from what the files hold now.
struct Plan {
  std::vector<Change> files;
  GnomeModuleLists gnomeBefore;           // the user's lists as they are
  std::optional<GnomeModuleLists> gnome;  // and as they become, when they change
  std::string gnomeNote;                  // why GNOME's lists were left alone
};

// A settings.ini change that gives gtk-modules `value`, or none when it already has it.
Result<> planIni(Plan& plan, const std::string& path, const std::optional<std::string>& text,
                 const std::optional<std::string>& now, const std::optional<std::string>& value) {
  if (now == value) return accepted();
  auto edited = withGtkModules(text.value_or(""), value);
  if (!edited) return Refusal{path + ": " + edited.message()};
  plan.files.push_back({path, *edited});
  return accepted();
}

Result<> planSystem(Plan& plan, const Places& p, bool on) {
  auto ini = readText(p.systemIni);
  if (!ini) return ini.refusal();
  auto now = modulesIn(p.systemIni, *ini);
  if (!now) return now.refusal();
  std::error_code ec;
  if (on != fs::exists(p.gnomeFile, ec))
    plan.files.push_back(
        {p.gnomeFile, on ? std::optional(gnomeModuleDesktopFile()) : std::nullopt});
  if (on != fs::exists(p.systemEnv, ec))
    plan.files.push_back({p.systemEnv, on ? std::optional(environmentEntry()) : std::nullopt});
  // A list the switch empties goes; others' modules stay.
  std::optional<std::string> value = *now;
  if (on) value = listWith(now->value_or(""), kGtk3ModuleName);
  if (!on && isOn(*now)) {
    std::string rest = listWithout(**now, kGtk3ModuleName);
    value = rest.empty() ? std::nullopt : std::optional(rest);
  }
  return planIni(plan, p.systemIni, *ini, *now, value);
}

// The user's GNOME lists: on adds the module to the enabled list; off takes it from there
// and, when the system's folder lists it, puts it on the disabled list.
void planGnome(Plan& plan, const Places& p, bool on) {
  auto lists = readGnomeModuleLists();
  if (!lists) {
    plan.gnomeNote = lists.message();
    return;
  }
  const std::string name(kGtk3ModuleName);
  auto without = [&](std::vector<std::string> list) {
    std::erase(list, name);
    return list;
  };
  GnomeModuleLists next{without(lists->enabled), without(lists->disabled)};
  std::error_code ec;
  if (on) next.enabled.push_back(name);
  if (!on && fs::exists(p.gnomeFile, ec)) next.disabled.push_back(name);
  plan.gnomeBefore = *lists;
  if (next.enabled != lists->enabled || next.disabled != lists->disabled) plan.gnome = next;
}

Result<> planUser(Plan& plan, const Places& p, bool on) {
  auto systemIni = readText(p.systemIni);
  if (!systemIni) return systemIni.refusal();
  auto systemNow = modulesIn(p.systemIni, *systemIni);
  if (!systemNow) return systemNow.refusal();
  auto userIni = readText(p.userIni);
  if (!userIni) return userIni.refusal();
  auto userNow = modulesIn(p.userIni, *userIni);
  if (!userNow) return userNow.refusal();
  auto systemEnv = readText(p.systemEnv);
  if (!systemEnv) return systemEnv.refusal();
  auto userEnv = readText(p.userEnv);
  if (!userEnv) return userEnv.refusal();

  const bool systemHas = isOn(*systemNow);
  // The user's key, when there is one, replaces the system's: a key written here starts
  // from the system's list so that no module of the system's is lost, and goes again
  // when what is left of it is the system's list.
  std::optional<std::string> value = *userNow;
  const bool userHas = *userNow ? isOn(*userNow) : systemHas;
  if (on && !userHas) value = listWith(userNow->value_or(systemNow->value_or("")), kGtk3ModuleName);
  if (!on && isOn(*userNow)) {
    std::string rest = listWithout(**userNow, kGtk3ModuleName);
    const bool sameAsSystem = *systemNow ? rest == **systemNow : rest.empty();
    value = sameAsSystem ? std::nullopt : std::optional(rest);
  }
  if (!on && !*userNow && systemHas) value = listWithout(**systemNow, kGtk3ModuleName);
  if (auto planned = planIni(plan, p.userIni, *userIni, *userNow, value); !planned) return planned;

  const bool systemEnvOn = *systemEnv && environmentEntryEnables(**systemEnv);
  std::optional<std::string> env;
  if (on) env = environmentEntry();
  if (!on && systemEnvOn) env = kMaskText;
  if (env != *userEnv) plan.files.push_back({p.userEnv, env});
  planGnome(plan, p, on);
  return accepted();
}

void printStatusLine(const char* place, const std::string& state, const std::string& where) {
  std::cout << "  " << subst(tr("%1: %2 (%3)"), {tr(place), state, where}) << "\n";
}

int status(const Places& p) {
  auto module = installedModule(p);
  std::cout << (module ? subst(tr("The module: %1"), {*module})
                       : subst(tr("The module: not installed in %1 (package jobcontrol-gtk3)"),
                               {p.root + JOBCONTROL_GTK3_MODULE_DIR}))
            << "\n";
  auto systemIni = readText(p.systemIni);
  auto userIni = readText(p.userIni);
  auto systemEnv = readText(p.systemEnv);
  auto userEnv = readText(p.userEnv);
  for (const auto* r : {&systemIni, &userIni, &systemEnv, &userEnv})
    if (!*r) {
      std::cerr << "jobcontrol: " << r->message() << "\n";
      return kExitFailure;
    }
  auto systemNow = modulesIn(p.systemIni, *systemIni);
  auto userNow = modulesIn(p.userIni, *userIni);
  for (const auto* r : {&systemNow, &userNow})
    if (!*r) {
      std::cerr << "jobcontrol: " << r->message() << "\n";
      return kExitFailure;
    }
  const std::string on = tr("on"), off = tr("off"), inherited = tr("as for every user");
  std::error_code ec;
  std::cout << tr("For every user:") << "\n";
  printStatusLine("GNOME", fs::exists(p.gnomeFile, ec) ? on : off, p.gnomeFile);
  printStatusLine("session environment",
                  *systemEnv && environmentEntryEnables(**systemEnv) ? on : off, p.systemEnv);
  printStatusLine("GTK 3 settings", isOn(*systemNow) ? on : off, p.systemIni);
  std::cout << tr("For this user:") << "\n";
  auto lists = readGnomeModuleLists();
  std::string gnome = inherited;
  const std::string name(kGtk3ModuleName);
  if (!lists) gnome = subst(tr("unknown: %1"), {lists.message()});
  if (lists &&
      std::find(lists->enabled.begin(), lists->enabled.end(), name) != lists->enabled.end())
    gnome = on;
  if (lists &&
      std::find(lists->disabled.begin(), lists->disabled.end(), name) != lists->disabled.end())
    gnome = off;
  printStatusLine("GNOME", gnome, std::string("gsettings ") + kGnomeXsettingsSchema);
  printStatusLine("session environment",
                  !*userEnv                            ? inherited
                  : environmentEntryEnables(**userEnv) ? on
                                                       : off,
                  p.userEnv);
  printStatusLine("GTK 3 settings", !*userNow ? inherited : isOn(*userNow) ? on : off, p.userIni);
  return kExitSuccess;
}

int change(const Options& options, const Places& p) {
  const bool on = options.desktopAction == DesktopAction::Enable;
  if (on && !installedModule(p)) {
    std::cerr << "jobcontrol: "
              << subst(tr("the module is not installed in %1 (package jobcontrol-gtk3): every "
                          "GTK 3 application would say it cannot load it; nothing was changed"),
                       {p.root + JOBCONTROL_GTK3_MODULE_DIR})
              << "\n";
    return kExitFailure;
  }
  Plan plan;
  Result<> planned = options.user ? planUser(plan, p, on) : planSystem(plan, p, on);
  if (!planned) {
    std::cerr << "jobcontrol: " << planned.message() << "; " << tr("nothing was changed") << "\n";
    return kExitFailure;
  }
  for (const Change& c : plan.files) {
    if (Result<> done = apply(c); !done) {
      std::cerr << "jobcontrol: " << done.message() << "\n";
      return kExitFailure;
    }
    std::cout << subst(c.text && !c.text->empty() ? tr("wrote %1") : tr("removed %1"), {c.path})
              << "\n";
  }
  if (plan.gnome) {
    if (Result<> done = writeGnomeModuleLists(plan.gnomeBefore, *plan.gnome); !done) {
      std::cerr << "jobcontrol: " << done.message() << "\n";
      return kExitFailure;
    }
    std::cout << subst(tr("changed %1"), {std::string("gsettings ") + kGnomeXsettingsSchema})
              << "\n";
  }
  if (!plan.gnomeNote.empty())
    std::cerr << "jobcontrol: " << subst(tr("GNOME left as it is: %1"), {plan.gnomeNote}) << "\n";
  if (plan.files.empty() && !plan.gnome)
    std::cout << (on ? tr("already on") : tr("already off")) << "\n";
  std::cout << (on ? tr("GTK 3 applications started from now on load the module; under GNOME, "
                        "running ones load it at once. The session environment changes at the "
                        "next login.")
                   : tr("Applications started from now on no longer load the module; running "
                        "ones keep it until they end."))
            << "\n";
  return kExitSuccess;
}

}  // namespace

int runDesktop(const Options& options) {
  Result<Places> p = places();
  if (!p) {
    std::cerr << "jobcontrol: " << p.message() << "\n";
    return kExitFailure;
  }
  if (options.desktopAction == DesktopAction::Status) return status(*p);
  if (!options.user && ::geteuid() != 0 && p->root.empty()) {
    std::cerr << "jobcontrol: "
              << tr("switching the module for every user needs root (sudo jobcontrol desktop "
                    "enable); --user switches it for you alone")
              << "\n";
    return kExitFailure;
  }
  return change(options, *p);
}

}  // namespace jc::cli
