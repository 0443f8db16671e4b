#include "platform/win/base/leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace win {

bool LockForThisRun(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    if (errno != EINTR) return false;
  return true;
}

namespace {

constexpr const char* kMarkName = ".kolumo-scratch";
constexpr const char kMarkText[] = "kolumo: temporaries of one run\n";

// Whether the folder open at `fd` carries the mark: a run killed while it wrote the mark leaves the start of it.
bool Marked(int fd) {
  const int mark = ::openat(fd, kMarkName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (mark < 0) return false;
  struct stat status {};
  char text[sizeof kMarkText + 1] = {};
  const bool regular = ::fstat(mark, &status) == 0 && S_ISREG(status.st_mode);
  const ssize_t got = regular ? ::read(mark, text, sizeof text) : -1;
  ::close(mark);
  return got >= 0 && got < ssize_t(sizeof kMarkText) && std::string(kMarkText).compare(0, std::size_t(got), text) == 0;
}

// Removes the marked folder `name` of the folder open at `parent` (its descriptor `fd`, its lock held): its files,
// the marked folders in it, then its mark and itself. A user's folder put into it stays, and so does the folder.
void RemoveMarked(int parent, const std::string& name, int fd) {
  if (DIR* directory = ::fdopendir(::dup(fd))) {
    while (const dirent* entry = ::readdir(directory)) {
      const std::string child = entry->d_name;
      if (child == "." || child == ".." || child == kMarkName) continue;
      struct stat status {};
      if (::fstatat(fd, child.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (!S_ISDIR(status.st_mode)) {
        ::unlinkat(fd, child.c_str(), 0);
        continue;
      }
      const int sub = ::openat(fd, child.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub < 0) continue;
      if (Marked(sub)) RemoveMarked(fd, child, sub);
      ::close(sub);
    }
    ::closedir(directory);
  }
  ::unlinkat(fd, kMarkName, 0);
  ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

std::string Parent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool ScratchFolder::Make(const std::string& folder, const std::string& prefix, std::string& error) {
  Remove();
  RemoveLeftScratchFolders(folder, prefix);
  std::string path =
      (folder.empty() ? std::string(".") : folder) + "/" + prefix + std::to_string(::getpid()) + "-XXXXXX";
  if (!::mkdtemp(path.data())) {
    error = std::strerror(errno);
    return false;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  // Nobody else can hold a folder just made: a lock refused means a file system without locks, where no sweep can
  // take a lock either and so never removes the folder. The work goes on there.
  if (fd >= 0) LockForThisRun(fd);
  const int mark = fd >= 0 ? ::openat(fd, kMarkName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600) : -1;
  bool made = mark >= 0;
  made = made && ::write(mark, kMarkText, sizeof kMarkText - 1) == ssize_t(sizeof kMarkText - 1);
  const int why = errno;
  if (mark >= 0) made = ::close(mark) == 0 && made;
  if (!made) {
    error = std::strerror(why);
    if (fd >= 0) ::close(fd);
    ::unlink((path + "/" + kMarkName).c_str());
    ::rmdir(path.c_str());
    return false;
  }
  path_ = path;
  lock_ = fd;
  return true;
}

void ScratchFolder::Remove() {
  if (path_.empty()) return;
  const std::string parent = Parent(path_);
  const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd >= 0) {
    RemoveMarked(parentFd, path_.substr(path_.rfind('/') + 1), lock_);
    ::close(parentFd);
  }
  ::close(lock_);
  lock_ = -1;
  path_.clear();
}

void RemoveLeftScratchFolders(const std::string& folder, const std::string& prefix) {
  const std::string where = folder.empty() ? "." : folder;
  const int parent = ::open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) return;
  DIR* directory = ::fdopendir(::dup(parent));
  while (directory) {
    const dirent* entry = ::readdir(directory);
    if (!entry) break;
    const std::string name = entry->d_name;
    // "<prefix><pid>-XXXXXX"
    if (name.size() < prefix.size() + 8 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::size_t dash = name.size() - 7;
    if (name[dash] != '-') continue;
    const long pid = ProcessIdIn(name.substr(prefix.size(), dash - prefix.size()));
    // A process that is there (EPERM: another user's) may still be writing.
    if (pid <= 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat status {};
    // The lock outlives the id where ids are counted apart (another container sharing the folder).
    if (::fstat(fd, &status) == 0 && status.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (Marked(fd))
        RemoveMarked(parent, name, fd);
      else  // a run killed before it marked its folder leaves it empty: nothing in it is lost
        ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
    }
    ::close(fd);
  }
  if (directory) ::closedir(directory);
  ::close(parent);
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
