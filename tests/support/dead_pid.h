// The id of a process that has ended: made and waited for here, so that no process holds it (until the system
// hands it out again, long after a test).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/base/leftovers.h"

namespace test_support {

inline long DeadPid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return long(child);
}

// What a run killed at work leaves: its marked scratch folder in `folder`, holding a file "Bericht.rtf", renamed to
// `name` (a dead process's id in it, or another name a case needs). False when it could not be made.
inline bool LeaveScratchFolder(const std::filesystem::path& folder, const std::string& name) {
  const pid_t run = ::fork();
  if (run == 0) {
    std::string error;
    win::ScratchFolder scratch;
    const bool made = scratch.Make(folder.string(), "tmp-", error);
    std::ofstream(scratch.Path("Bericht.rtf")) << "x";
    std::error_code moved;
    std::filesystem::rename(scratch.Folder(), folder / name, moved);
    ::_exit(made && !moved ? 0 : 1);  // no destructor: the folder stays as a killed run leaves it
  }
  int status = 0;
  return ::waitpid(run, &status, 0) == run && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace test_support
