// The id of a process that has ended: made and waited for here, so that no process holds it (until the system
// hands it out again, long after a test).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

inline long DeadPid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return long(child);
}

}  // namespace test_support
