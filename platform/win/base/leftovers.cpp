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
#include <utility>

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
  return got >= 0 && got < ssize_t(sizeof kMarkText) && std::memcmp(kMarkText, text, std::size_t(got)) == 0;
}

// A descriptor and a directory stream closed on every way out, memory running short included.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};
struct Stream {
  DIR* directory;
  ~Stream() {
    if (directory) ::closedir(directory);
  }
};

// Removes the marked folder `name` of the folder open at `parent` (its descriptor `fd`, its lock held): its files,
// the marked folders in it, then its mark and itself. A user's folder put into it stays, and so does the folder.
// Allocates nothing, so that it can run where memory ran short.
void RemoveMarked(int parent, const char* name, int fd) {
  if (Stream stream{::fdopendir(::dup(fd))}; stream.directory) {
    while (const dirent* entry = ::readdir(stream.directory)) {
      const char* child = entry->d_name;
      if (std::strcmp(child, ".") == 0 || std::strcmp(child, "..") == 0 || std::strcmp(child, kMarkName) == 0) continue;
      struct stat status {};
      if (::fstatat(fd, child, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (!S_ISDIR(status.st_mode)) {
        ::unlinkat(fd, child, 0);
        continue;
      }
      const Descriptor sub{::openat(fd, child, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
      if (sub.fd < 0) continue;
      if (Marked(sub.fd)) RemoveMarked(fd, child, sub.fd);
    }
  }
  ::unlinkat(fd, kMarkName, 0);
  ::unlinkat(parent, name, AT_REMOVEDIR);
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
    if (fd >= 0) {
      ::unlinkat(fd, kMarkName, 0);
      ::close(fd);
    }
    ::rmdir(path.c_str());
    error = std::strerror(why);
    return false;
  }
  path_ = std::move(path);
  lock_ = fd;
  return true;
}

void ScratchFolder::Remove() {
  if (path_.empty()) return;
  // the parent's path ends where the folder's name begins (Make keeps it so), and nothing here allocates
  const std::size_t slash = path_.rfind('/');
  path_[slash] = '\0';
  const Descriptor parent{::open(slash == 0 ? "/" : path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (parent.fd >= 0) RemoveMarked(parent.fd, path_.c_str() + slash + 1, lock_);
  ::close(lock_);
  lock_ = -1;
  path_.clear();
}

void RemoveLeftScratchFolders(const std::string& folder, const std::string& prefix) {
  const std::string where = folder.empty() ? "." : folder;
  const Descriptor opened{::open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  const int parent = opened.fd;
  if (parent < 0) return;
  const Stream stream{::fdopendir(::dup(parent))};
  while (stream.directory) {
    const dirent* entry = ::readdir(stream.directory);
    if (!entry) break;
    const std::string name = entry->d_name;
    // "<prefix><pid>-XXXXXX"
    if (name.size() < prefix.size() + 8 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::size_t dash = name.size() - 7;
    if (name[dash] != '-') continue;
    const long pid = ProcessIdIn(name.substr(prefix.size(), dash - prefix.size()));
    // A process that is there (EPERM: another user's) may still be writing.
    if (pid <= 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
    const Descriptor held{::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
    const int fd = held.fd;
    if (fd < 0) continue;
    struct stat status {};
    // The lock outlives the id where ids are counted apart (another container sharing the folder).
    if (::fstat(fd, &status) == 0 && status.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (Marked(fd))
        RemoveMarked(parent, name.c_str(), fd);
      else  // a run killed before it marked its folder leaves it empty: nothing in it is lost
        ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
    }
  }
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
