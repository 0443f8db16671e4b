// Starting other programs: one way for every caller, so that each started program gets the same clean start.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace win {

// Where a started program's standard streams go: a descriptor of the caller's, or -1 for the caller's own stream.
struct ChildStreams {
  int in = -1, out = -1, err = -1;
};

// Starts the program of the argument list (args[0] with '\' read as '/'; a name without '/' is looked for on the
// search path) with the caller's environment, "NAME=value" entries of environment over it. The program inherits no
// descriptor but its three standard streams and starts with no signal blocked. 0, or the errno value of the failed
// start.
int SpawnProgram(std::vector<std::string> args, pid_t& pid, const ChildStreams& streams = {},
                 const std::vector<std::string>& environment = {});

}  // namespace win
