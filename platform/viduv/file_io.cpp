#include "platform/viduv/file_io.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/base/replace.h"

namespace viduv::detail {
namespace {

std::string systemError(int code) { return std::strerror(code); }

// Closes the descriptor when the scope ends, whichever way it ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

bool isAbsolute(std::string_view path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
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

bool writeFileAtomically(std::string_view path, std::string_view bytes, std::string& error,
                         const std::function<bool(const win::StandingFile&, std::string&)>& accept) {
  win::ReplaceOptions options;
  options.scratchPrefix = kSaveScratch;
  options.accept = accept;
  return win::ReplaceFile(fileSystemPath(path), bytes, options, error);
}

}  // namespace viduv::detail
