#include "platform/win/base/process.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/win/base/paths.h"

extern char** environ;

namespace win {

int SpawnProgram(std::vector<std::string> args, pid_t& pid, const ChildStreams& streams,
                 const std::vector<std::string>& environment) {
  if (args.empty() || args[0].empty()) return ENOENT;
  args[0] = ToFsPath(args[0]);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> entries;
  for (char** e = environ; e && *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('=') + 1);
    if (std::none_of(environment.begin(), environment.end(),
                     [&](const std::string& o) { return o.compare(0, name.size(), name) == 0; }))
      entries.push_back(entry);
  }
  entries.insert(entries.end(), environment.begin(), environment.end());
  std::vector<char*> envp;
  for (auto& e : entries) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  const int targets[3] = {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO};
  const int given[3] = {streams.in, streams.out, streams.err};
  for (int i = 0; i < 3; ++i)
    if (given[i] >= 0) posix_spawn_file_actions_adddup2(&actions, given[i], targets[i]);
  // The child inherits no handles but the standard streams, and starts with no signal blocked.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  const int rc = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

}  // namespace win
