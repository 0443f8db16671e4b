#include "platform/win/base/replace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/win/base/leftovers.h"

namespace win {
namespace {

// Closes the descriptor when the scope ends, whichever way it ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { close(); }
  int get() const { return fd_; }
  void reset(int fd) {
    close();
    fd_ = fd;
  }
  // Closes now; false when closing reported an error (a write may have been lost).
  bool close() {
    if (fd_ < 0) return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// The file a symbolic link names (through every link of a chain), so that a replacement replaces that file and the
// link stays; any other path as it is.
std::string LinkTarget(std::string path) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || std::size_t(length) >= buffer.size()) return path;
    std::string next(buffer.data(), std::size_t(length));
    const std::size_t slash = path.rfind('/');
    if (next[0] != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
    path = next;
  }
  return path;
}

bool ReadAll(int fd, std::string& bytes) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(chunk, std::size_t(got));
  }
}

// The file standing at `target`, read under its lock, which `held` keeps. The lock is taken on the file the name
// leads to when it is taken: a replacement that renamed another one in meanwhile leaves it on the old file, and it
// is taken anew. A file system without locks is read all the same. False with the system's reason, or with `busy`
// when another one held the lock for longer than a save waits.
bool ReadStanding(const std::string& target, FileDescriptor& held, StandingFile& standing, std::string& reason,
                  bool& busy) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    const int opened = errno;
    held.reset(fd);
    if (fd < 0) {
      if (opened != ENOENT) {
        reason = std::strerror(opened);
        return false;
      }
      standing = {};
      return true;
    }
    if (!LockWithin(fd, kLockWait) && errno == EWOULDBLOCK) {
      busy = true;
      return false;
    }
    struct stat locked {
    }, named{};
    if (::fstat(fd, &locked) != 0 || (::stat(target.c_str(), &named) != 0 && errno != ENOENT)) {
      reason = std::strerror(errno);
      return false;
    }
    if (named.st_dev != locked.st_dev || named.st_ino != locked.st_ino) continue;
    if (!S_ISREG(locked.st_mode)) {
      reason = "what stands there is no regular file";
      return false;
    }
    standing.exists = true;
    standing.content.clear();
    if (ReadAll(fd, standing.content)) return true;
    reason = std::strerror(errno);
    return false;
  }
  reason = "it is replaced again and again";
  return false;
}

}  // namespace

bool LockWithin(int fd, std::chrono::milliseconds bound) {
  const auto end = std::chrono::steady_clock::now() + bound;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, end - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
    errno = EWOULDBLOCK;
  }
}

namespace {

constexpr std::string_view kCannotWrite = "Cannot write '";
constexpr std::string_view kBusy = "another program is saving it (it has held the file's lock for more than ";
constexpr std::string_view kNotAName = "not a file name";
constexpr std::string_view kUnreadable = "the file standing there cannot be read to compare (";
constexpr std::string_view kReadOnly = "the file is marked read-only; it is kept as it is";

}  // namespace

std::string ReplaceErrorInGerman(const std::string& error) {
  const std::size_t end = error.rfind("': ");
  if (error.rfind(kCannotWrite, 0) != 0 || end == std::string::npos || end < kCannotWrite.size()) return error;
  const std::string path = error.substr(kCannotWrite.size(), end - kCannotWrite.size());
  std::string reason = error.substr(end + 3);
  if (reason.rfind(kBusy, 0) == 0) {
    const std::string seconds = reason.substr(kBusy.size(), reason.find(' ', kBusy.size()) - kBusy.size());
    reason = "ein anderes Programm speichert sie gerade (es hält ihre Sperre seit mehr als " + seconds +
             " s); sie bleibt, wie sie ist";
  } else if (reason == kNotAName) {
    reason = "das ist kein Dateiname";
  } else if (reason == kReadOnly) {
    reason = "sie ist schreibgeschützt; sie bleibt, wie sie ist";
  } else if (reason.rfind(kUnreadable, 0) == 0) {
    reason = "die Datei, die dort steht, kann zum Vergleich nicht gelesen werden (" + reason.substr(kUnreadable.size());
  }
  return "Die Datei \"" + path + "\" kann nicht geschrieben werden: " + reason;
}

bool MarkedReadOnly(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  return (status.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

bool ReplaceFile(std::string_view path, std::string_view bytes, const ReplaceOptions& options, std::string& error) {
  const std::string target = LinkTarget(std::string(path));
  const auto fail = [&](const std::string& reason) {
    error = std::string(kCannotWrite) + std::string(path) + "': " + reason;
    return false;
  };
  if (target.empty() || target.back() == '/') return fail(std::string(kNotAName));
  // The rename would take its place whatever its mode says.
  if (MarkedReadOnly(target)) return fail(std::string(kReadOnly));
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  // Making it removes the folders that interrupted replacements left (the process killed, the machine stopped);
  // those at work keep theirs. The temporary's folder is held until the temporary has become the target.
  ScratchFolder scratch;
  std::string reason;
  if (!scratch.Make(folder, options.scratchPrefix, reason)) return fail(reason);
  const std::string temporary = scratch.Path(base);
  FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (file.get() < 0) return fail(std::strerror(errno));
  const auto failWith = [&](int code) {
    file.close();
    return fail(std::strerror(code));
  };

  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : options.newFileMode;
  if (::fchmod(file.get(), mode) != 0) return failWith(errno);

  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t put = ::write(file.get(), bytes.data() + written, bytes.size() - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      return failWith(errno);
    }
    written += std::size_t(put);
  }
  if (::fsync(file.get()) != 0) return failWith(errno);

  // The question and the rename under one lock: no other replacement that asks can come between them.
  FileDescriptor standingLock;
  if (options.accept) {
    StandingFile standing;
    bool busy = false;
    if (!ReadStanding(target, standingLock, standing, reason, busy))
      return fail(busy ? std::string(kBusy) + std::to_string(kLockWait.count() / 1000) + " s); it is kept as it is"
                       : std::string(kUnreadable) + reason + ")");
    if (!options.accept(standing, reason)) return fail(reason);
  }
  // Renamed while still open, so that the scratch folder's lock covers the temporary until it has become the target.
  if (::rename(temporary.c_str(), target.c_str()) != 0) return failWith(errno);
  standingLock.close();
  // the bytes are on the disk (fsync): closing cannot lose them any more
  file.close();
  // The rename itself must reach the disk too.
  FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
  return true;
}

}  // namespace win
