// Running `gsettings` for the user's GNOME module lists: no shell, arguments as given, its
// output and its complaint read back.
#include "hosts/cli/desktop_gsettings.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <tuple>

#include "hosts/cli/desktop_files.h"

extern char** environ;

namespace jc::cli {

namespace {

struct Ran {
  int status;
  std::string out, err;
};

// Reads `fd` to its end and closes it.
std::string drain(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return text;
}

// Runs gsettings with `args`; its output is small, so reading one pipe after the other
// cannot block it. Status 127 when the program cannot be started.
Result<Ran> gsettings(std::vector<std::string> args) {
  args.insert(args.begin(), "gsettings");
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return Refusal{std::string("pipe: ") + std::strerror(errno)};
  if (::pipe2(err, O_CLOEXEC) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return Refusal{std::string("pipe: ") + std::strerror(errno)};
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  pid_t pid = 0;
  int spawned = ::posix_spawnp(&pid, "gsettings", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  if (spawned != 0) {
    ::close(out[0]);
    ::close(err[0]);
    return Ran{127, "", std::string("gsettings: ") + std::strerror(spawned)};
  }
  Ran ran{0, drain(out[0]), drain(err[0])};
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  return ran;
}

std::string firstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

// Settings kept only in memory would be lost at once: that is a refusal, not a success.
bool keptOnlyInMemory(const Ran& ran) {
  return ran.err.find("'memory' GSettings backend") != std::string::npos;
}

Result<std::vector<std::string>> readList(const char* key) {
  Result<Ran> ran = gsettings({"get", kGnomeXsettingsSchema, key});
  if (!ran) return ran.refusal();
  if (ran->status != 0) return Refusal{firstLine(ran->err)};
  if (keptOnlyInMemory(*ran)) return Refusal{"GSettings keeps nothing here (no dconf)"};
  return parseStringList(ran->out);
}

}  // namespace

Result<GnomeModuleLists> readGnomeModuleLists() {
  GnomeModuleLists lists;
  Result<std::vector<std::string>> enabled = readList("enabled-gtk-modules");
  if (!enabled) return enabled.refusal();
  Result<std::vector<std::string>> disabled = readList("disabled-gtk-modules");
  if (!disabled) return disabled.refusal();
  return GnomeModuleLists{std::move(*enabled), std::move(*disabled)};
}

Result<> writeGnomeModuleLists(const GnomeModuleLists& before, const GnomeModuleLists& after) {
  for (const auto& [key, was, now] :
       {std::tuple{"enabled-gtk-modules", &before.enabled, &after.enabled},
        std::tuple{"disabled-gtk-modules", &before.disabled, &after.disabled}}) {
    if (*was == *now) continue;
    Result<Ran> ran = now->empty()
                          ? gsettings({"reset", kGnomeXsettingsSchema, key})
                          : gsettings({"set", kGnomeXsettingsSchema, key, formatStringList(*now)});
    if (!ran) return ran.refusal();
    if (ran->status != 0 || keptOnlyInMemory(*ran))
      return Refusal{std::string(kGnomeXsettingsSchema) + " " + key + ": " + firstLine(ran->err)};
  }
  return accepted();
}

}  // namespace jc::cli
