#include "platform/win/base/leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace win {

bool LockForThisRun(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    if (errno != EINTR) return false;
  return true;
}

bool LeftBehind(const std::string& path, long pid) {
  if (pid <= 0) return false;
  // A process that is there (EPERM: another user's) may still be writing: its leftovers are not ours to judge.
  if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat status {};
  bool gone =
      ::fstat(fd, &status) == 0 && status.st_uid == ::geteuid() && (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode));
  // The lock outlives the id where ids are counted apart (another container sharing the folder).
  gone = gone && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return gone;
}

void RemoveLeftBehind(const std::string& folder, const std::function<long(const std::string& name)>& ProcessOf) {
  DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!directory) return;
  while (const dirent* entry = ::readdir(directory)) {
    const long pid = ProcessOf(entry->d_name);
    const std::string path = (folder.empty() ? std::string(".") : folder) + "/" + entry->d_name;
    struct stat status {};
    if (pid > 0 && ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && LeftBehind(path, pid))
      ::unlink(path.c_str());
  }
  ::closedir(directory);
}

long ProcessIdIn(const std::string& text) {
  if (text.empty() || text.size() > 9) return 0;
  long pid = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

}  // namespace win
