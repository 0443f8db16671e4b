// Loaded into the host by a test (LD_PRELOAD): the process stops itself right after it has renamed a file onto a
// name ending in $KOLUMO_TEST_STOP_AFTER_RENAME, once, so that the test can act at exactly that moment.
#include <dlfcn.h>
#include <signal.h>

#include <cstdlib>
#include <cstring>

extern "C" int rename(const char* from, const char* to) {
  using Rename = int (*)(const char*, const char*);
  static const Rename real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
  static bool stopped = false;
  const int result = real(from, to);
  const char* suffix = std::getenv("KOLUMO_TEST_STOP_AFTER_RENAME");
  if (result == 0 && !stopped && suffix && *suffix && to) {
    const std::size_t n = std::strlen(to), m = std::strlen(suffix);
    if (n >= m && std::strcmp(to + n - m, suffix) == 0) {
      stopped = true;
      ::raise(SIGSTOP);
    }
  }
  return result;
}
