// Loaded into the host by a test (LD_PRELOAD): the process stops itself once, so that the test can act at exactly
// that moment, before it first tries the lock of a file whose name ends in $KOLUMO_TEST_STOP_BEFORE_LOCK (a save
// about to compare the file standing there and to replace it), or before it renames a file onto a name ending in
// $KOLUMO_TEST_STOP_BEFORE_RENAME.
#include <dlfcn.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool EndsWith(const char* text, const char* suffix) {
  const std::size_t n = std::strlen(text), m = std::strlen(suffix);
  return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

// Stops the process the first time `name` ends in the suffix the variable gives.
void StopOnce(const char* variable, const char* name) {
  static bool stopped = false;
  const char* suffix = std::getenv(variable);
  if (stopped || !suffix || !*suffix || !name || !EndsWith(name, suffix)) return;
  stopped = true;
  ::raise(SIGSTOP);
}

}  // namespace

extern "C" int flock(int fd, int operation) {
  using Flock = int (*)(int, int);
  static const Flock real = reinterpret_cast<Flock>(dlsym(RTLD_NEXT, "flock"));
  if (operation & LOCK_EX) {
    char link[64];
    char target[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    if (::readlink(link, target, sizeof target - 1) > 0) StopOnce("KOLUMO_TEST_STOP_BEFORE_LOCK", target);
  }
  return real(fd, operation);
}

extern "C" int rename(const char* from, const char* to) {
  using Rename = int (*)(const char*, const char*);
  static const Rename real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
  StopOnce("KOLUMO_TEST_STOP_BEFORE_RENAME", to);
  return real(from, to);
}
