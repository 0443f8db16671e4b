#include "platform/viduv/file_io.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/base/leftovers.h"

namespace viduv::detail {
namespace {

std::string systemError(int code) { return std::strerror(code); }

// Closes the descriptor when the scope ends, whichever way it ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { close(); }
  int get() const { return fd_; }
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

bool isAbsolute(std::string_view path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// The file a symbolic link names (through every link of a chain), so that a save replaces that file and the
// link stays; any other path as it is.
std::string linkTarget(std::string path) {
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

// The folder of a save's temporary beside the file saved.
constexpr const char* kSaveScratch = ".kolumo-sichern-";

}  // namespace

std::string fileSystemPath(std::string_view path) {
  std::string mapped(path);
  for (char& c : mapped) {
    if (c == '\\') c = '/';
  }
  return mapped;
}

std::string absolutePath(std::string_view path) {
  if (path.empty() || isAbsolute(path)) return std::string(path);
  std::vector<char> folder(4096);
  if (::getcwd(folder.data(), folder.size()) == nullptr) return std::string(path);
  std::string result(folder.data());
  if (result.empty() || result.back() != '/') result += '/';
  result += path;
  return result;
}

bool readWholeFile(std::string_view path, std::string& bytes, std::string& error) {
  const std::string fsPath = fileSystemPath(path);
  // Without O_NONBLOCK a FIFO would hold the open until some writer comes; it is refused below instead.
  FileDescriptor file(::open(fsPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    error = "Cannot open '" + std::string(path) + "': " + systemError(errno);
    return false;
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    error = "Cannot read '" + std::string(path) + "': not a regular file";
    return false;
  }
  bytes.clear();
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      error = "Cannot read '" + std::string(path) + "': " + systemError(errno);
      return false;
    }
    bytes.append(chunk, std::size_t(got));
  }
  return true;
}

bool writeFileAtomically(std::string_view path, std::string_view bytes, std::string& error) {
  const std::string target = linkTarget(fileSystemPath(path));
  if (target.empty() || target.back() == '/') {
    error = "Cannot write '" + std::string(path) + "': not a file name";
    return false;
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  // Making it removes the folders that interrupted saves left (the process killed, the machine stopped); saves at
  // work keep theirs. The temporary's folder is held until the temporary has become the target.
  win::ScratchFolder scratch;
  std::string reason;
  if (!scratch.Make(folder, kSaveScratch, reason)) {
    error = "Cannot write '" + std::string(path) + "': " + reason;
    return false;
  }
  const std::string temporary = scratch.Path(base);
  FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (file.get() < 0) {
    error = "Cannot write '" + std::string(path) + "': " + systemError(errno);
    return false;
  }
  const auto fail = [&](int code) {
    error = "Cannot write '" + std::string(path) + "': " + systemError(code);
    file.close();
    return false;
  };

  // A replaced file keeps its permissions; a new one gets the usual ones.
  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  if (::fchmod(file.get(), mode) != 0) return fail(errno);

  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t put = ::write(file.get(), bytes.data() + written, bytes.size() - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    written += std::size_t(put);
  }
  if (::fsync(file.get()) != 0) return fail(errno);
  // Renamed while still open, so that the lock covers the temporary file until it has become the target.
  if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  // the bytes are on the disk (fsync): closing cannot lose them any more
  file.close();
  // The rename itself must reach the disk too.
  FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
  return true;
}

}  // namespace viduv::detail
