#include "framework/utilities.h"

#include "framework/regsettings.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/richedit/richeditctrl.h"
#include "platform/viduv/viduv.h"
#include "platform/win/base/codepage.h"
#include "platform/win/base/leftovers.h"
#include "platform/win/base/process.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/screen/screen.h"

namespace {

// --- Start-up log ---

std::mutex g_clockMutex;
CLogFile::Clock g_clock;

std::chrono::system_clock::time_point LogNow() {
  std::lock_guard lock(g_clockMutex);
  return g_clock ? g_clock() : std::chrono::system_clock::now();
}

std::string FsPath(const char* path) { return win::ToFsPath(path ? path : ""); }

std::string StripTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// --- Processes ---

// The error text of the system for an errno value.
CString SystemErrorText(int error) { return CString(std::generic_category().message(error)); }

// One argument quoted by the Windows rules, so that SplitCommandLine gives it back unchanged.
std::string QuoteArgument(const std::string& arg) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

// Starts the program of the argument list; 0 or the errno value of the failed start. With output given, the
// child's standard output and error go into those pipe ends; environment entries "NAME=value" override the own.
int SpawnArgs(std::vector<std::string> args, pid_t& pid, const int* output = nullptr,
              const std::vector<std::string>& environment = {}) {
  const win::ChildStreams streams = output ? win::ChildStreams{-1, output[0], output[1]} : win::ChildStreams{};
  return win::SpawnProgram(std::move(args), pid, streams, environment);
}

void ReportStartFailure(int error) { MessageBox(nullptr, SystemErrorText(error), "Error", MB_OK); }

// Whether a program can be found on the search path.
bool ProgramOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs = path;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = win::JoinPath(dir.empty() ? "." : dir, program);
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
      return true;
    start = end + 1;
  }
  return false;
}

// --- Names ---

unsigned char FoldAscii(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? u + 32 : u;
}

// Length of the UTF-8 character starting at text (1 for a stray byte).
std::size_t CharLength(const char* text) {
  std::size_t n = 1;
  if (static_cast<unsigned char>(text[0]) >= 0xC0)
    while (text[n] && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return n;
}

DWORD AttributesOf(const std::string& name, const struct stat& st) {
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!name.empty() && name[0] == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= std::size_t(n);
  }
  return true;
}

}  // namespace

// --- Start-up log ---

void CLogFile::SetClock(Clock clock) {
  std::lock_guard lock(g_clockMutex);
  g_clock = std::move(clock);
}

void CLogFile::WriteLine(const char* text) {
  using namespace std::chrono;
  auto now = LogNow();
  auto sinceEpoch = duration_cast<milliseconds>(now.time_since_epoch());
  std::time_t seconds = std::time_t(floor<std::chrono::seconds>(sinceEpoch).count());
  int millisecond = int(sinceEpoch.count() - std::int64_t(seconds) * 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "[%02d.%02d.%04d / %02d:%02d:%02d:%04d]", utc.tm_mday, utc.tm_mon + 1,
                utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec, millisecond);

  std::string line = std::string(stamp) + " " + (text ? text : "") + "\n";

  std::string path = FsPath(m_path);
  int fd = -1;
  for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
    fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) std::this_thread::sleep_for(milliseconds(20));
  }
  if (fd < 0) return;
  // Runs started at once write and trim the log in turn; one that keeps it locked is waited for a while only.
  bool locked = false;
  for (int attempt = 0; attempt < 50 && !locked; ++attempt) {
    locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!locked) std::this_thread::sleep_for(milliseconds(20));
  }
  if (::write(fd, line.data(), line.size()) == ssize_t(line.size()) && locked) TrimLog(fd);
  ::close(fd);
}

void CLogFile::TrimLog(int fd) {
  // Every run adds its lines: beyond the limit only the latest lines stay, cut at a line's start.
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || std::size_t(status.st_size) <= kMaxBytes) return;
  std::string tail(kKeptBytes, '\0');
  const ssize_t got = ::pread(fd, tail.data(), tail.size(), off_t(status.st_size) - off_t(kKeptBytes));
  if (got != ssize_t(tail.size())) return;
  const std::size_t start = tail.find('\n');
  tail.erase(0, start == std::string::npos ? tail.size() : start + 1);
  if (::ftruncate(fd, 0) != 0) return;
  // appended: the descriptor writes at the end, which is now the start; a failure loses log lines only
  [[maybe_unused]] const ssize_t written = ::write(fd, tail.data(), tail.size());
}

// --- Folders ---

CString GetExeDir() { return CString(win::ExeDir()); }

CString GetInstallRoot() { return CString(win::InstallRoot()); }

CString GetCurrentDir() {
  std::vector<char> buffer(4096);
  if (!::getcwd(buffer.data(), buffer.size())) return "/";
  return CString(StripTrailingSeparators(buffer.data()));
}

CString GetCommonAppDataDir() {
  if (const char* dir = std::getenv("KOLUMO_COMMON_DATA"); dir && *dir)
    return CString(StripTrailingSeparators(win::ToFsPath(dir)));
  if (const char* dir = std::getenv("XDG_DATA_HOME"); dir && *dir) return CString(StripTrailingSeparators(dir));
  if (const char* home = std::getenv("HOME"); home && *home)
    return CString(win::JoinPath(StripTrailingSeparators(home), ".local/share"));
  return "";
}

CString GetUserDataDir() {
  std::string dir = GetCommonAppDataDir().str();
  if (dir.size() > 4) dir = win::JoinPath(dir, "ormi");
  struct stat st {};
  if (dir.empty() || ::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return GetInstallRoot();
  return CString(dir);
}

CString GetVorbelegungFile(const char* program, const char* variant) {
  std::string name = std::string("TQ-") + (program ? program : "");
  if (variant && *variant) name += std::string("_") + variant;
  name += " Vorbelegung.tqx";
  return CString(win::JoinPath(win::JoinPath(GetUserDataDir().str(), "Vorlagen"), name));
}

CString FindVorbelegungFile(const char* program, const char* variant) {
  const CString user = GetVorbelegungFile(program, variant);
  if (CDirList::FileExists(user)) return user;
  const std::string path = user.str();
  const std::string name = path.substr(path.find_last_of('/') + 1);
  const std::string shipped = win::JoinPath(win::JoinPath(GetInstallRoot().str(), "Vorlagen"), name);
  if (CDirList::FileExists(shipped.c_str())) return CString(shipped);
  return "";
}

CCurDirSaver::CCurDirSaver() {
  std::vector<char> buffer(4096);
  if (::getcwd(buffer.data(), buffer.size())) m_dir = buffer.data();
}

CCurDirSaver::~CCurDirSaver() {
  if (!m_dir.IsEmpty() && ::chdir(m_dir) != 0) {
    // The folder is gone; nothing better to return to.
  }
}

// --- Processes ---

std::vector<std::string> SplitCommandLine(const char* commandLine) {
  std::vector<std::string> args;
  const char* p = commandLine ? commandLine : "";
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (blank(*p)) ++p;
  if (!*p) return args;

  // The program name: quotes group, backslashes are plain characters.
  std::string program;
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) program += *p;
    if (*p) ++p;
  } else {
    for (; *p && !blank(*p); ++p) program += *p;
  }
  args.push_back(program);

  for (;;) {
    while (blank(*p)) ++p;
    if (!*p) break;
    std::string arg;
    bool quoted = false;
    while (*p && (quoted || !blank(*p))) {
      std::size_t backslashes = 0;
      while (*p == '\\') {
        ++backslashes;
        ++p;
      }
      if (*p == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2) {
          arg += '"';
        } else if (quoted && p[1] == '"') {
          arg += '"';  // "" inside quotes is a quote
          ++p;
        } else {
          quoted = !quoted;
        }
        ++p;
      } else {
        arg.append(backslashes, '\\');
        if (*p && (quoted || !blank(*p))) arg += *p++;
      }
    }
    args.push_back(arg);
  }
  return args;
}

DWORD RunProcessAndWait(const char* commandLine, int showCommand) {
  return RunProcessAndWait(SplitCommandLine(commandLine), showCommand);
}

DWORD RunProcessAndWait(std::vector<std::string> args, int /*showCommand*/) {
  DWORD exitCode = 0xFFFFFFFFu;
  if (int error = RunProgram(std::move(args), exitCode)) ReportStartFailure(error);
  return exitCode;
}

int RunProgram(std::vector<std::string> args, DWORD& exitCode) {
  exitCode = 0xFFFFFFFFu;
  pid_t pid = 0;
  if (int error = SpawnArgs(std::move(args), pid)) return error;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return 0;
  }
  if (WIFEXITED(status)) exitCode = DWORD(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) exitCode = DWORD(128 + WTERMSIG(status));
  return 0;
}

bool RunProcess(const char* commandLine, int /*showCommand*/) {
  if (int error = StartProcess(commandLine)) {
    ReportStartFailure(error);
    return false;
  }
  return true;
}

int StartProcess(const char* commandLine) { return StartProgram(SplitCommandLine(commandLine)); }

int StartProgram(std::vector<std::string> args) {
  pid_t pid = 0;
  if (int error = SpawnArgs(std::move(args), pid)) return error;
  // Nobody waits for the program; reap it when it ends so that it leaves no zombie behind.
  try {
    std::thread([pid] {
      int status = 0;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
  } catch (const std::system_error&) {}
  return 0;
}

CapturedRun RunCaptured(const std::vector<std::string>& args, int timeoutMs,
                        const std::vector<std::string>& environment) {
  CapturedRun run;
  int outPipe[2], errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) {
    run.startError = errno;
    return run;
  }
  if (::pipe2(errPipe, O_CLOEXEC) != 0) {
    run.startError = errno;
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return run;
  }
  const int output[2] = {outPipe[1], errPipe[1]};
  pid_t pid = 0;
  run.startError = SpawnArgs(args, pid, output, environment);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  if (run.startError) {
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    return run;
  }
  // Both streams are read as they come (a full pipe would stop the program); what is past the limit is dropped.
  constexpr std::size_t kKept = 64 * 1024;
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* texts[2] = {&run.out, &run.err};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int open = 2;
  while (open > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      run.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    const int ready = ::poll(fds, 2, int(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else if (texts[i]->size() < kKept) {
        texts[i]->append(buffer, std::min<std::size_t>(std::size_t(n), kKept - texts[i]->size()));
      }
    }
  }
  for (pollfd& f : fds)
    if (f.fd >= 0) ::close(f.fd);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.exitCode = 128 + WTERMSIG(status);
  return run;
}

// --- Fingerprints ---

bool CFingerPrint::FromElement(int element) { return VIDUV_GetFingerPrint(element, m_data) == 1; }

bool CFingerPrint::FromFile(const char* path) { return VIDUV_GetFingerPrintOfFile(path, m_data) == 1; }

void CFingerPrint::Clear() { std::memset(m_data, 0, sizeof m_data); }

bool CFingerPrint::operator==(const CFingerPrint& other) const {
  return std::memcmp(m_data, other.m_data, sizeof m_data) == 0;
}

// --- Directory listing and files ---

bool CDirList::MatchesPattern(const char* name, const char* pattern) {
  const char* n = name ? name : "";
  const char* p = pattern ? pattern : "";
  const char* starP = nullptr;  // last '*' seen, and where its run in the name ends so far
  const char* starN = nullptr;
  while (*n) {
    if (*p == '*') {
      starP = ++p;
      starN = n;
    } else if (*p == '?') {
      ++p;
      n += CharLength(n);
    } else if (*p && FoldAscii(*p) == FoldAscii(*n)) {
      ++p;
      ++n;
    } else if (starP) {
      p = starP;
      starN += CharLength(starN);
      n = starN;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return !*p;
}

CStringList* CDirList::GetFileList(const char* pattern, DWORD attributeMask) {
  if (!pattern) return nullptr;
  CString folder = GetFolderPart(pattern);
  CString namePattern = CString(pattern).Mid(folder.GetLength());
  if (namePattern.IsEmpty()) return nullptr;
  if (namePattern == "*.*") namePattern = "*";  // everything, names without a dot included

  std::string dirPath = folder.IsEmpty() ? "." : win::ToFsPath(folder.str());
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(dirPath.c_str()), ::closedir);
  if (!dir) return nullptr;
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchesPattern(name.c_str(), namePattern)) continue;
    if (attributeMask) {
      struct stat st {};
      if (::fstatat(::dirfd(dir.get()), name.c_str(), &st, 0) != 0) continue;
      if (!(AttributesOf(name, st) & attributeMask)) continue;
    }
    names.push_back(std::move(name));
  }
  if (names.empty()) return nullptr;
  std::sort(names.begin(), names.end());
  auto list = std::make_unique<CStringList>();
  for (const auto& name : names) list->AddTail(folder + name.c_str());
  return list.release();
}

bool CDirList::FileExists(const char* path) {
  struct stat st {};
  return path && ::stat(FsPath(path).c_str(), &st) == 0;
}

bool CDirList::GetFileModTime(const char* path, std::time_t& modified) {
  struct stat st {};
  if (!path || ::stat(FsPath(path).c_str(), &st) != 0) return false;
  modified = st.st_mtime;
  return true;
}

CString CDirList::GetFolderPart(const char* path) {
  CString p(path);
  int at = std::max(p.ReverseFind('\\'), p.ReverseFind('/'));
  return at < 0 ? CString() : p.Left(at + 1);
}

CString CDirList::GetExtension(const char* path) {
  CString p(path);
  int dot = p.ReverseFind('.');
  if (dot <= 0 || dot == p.GetLength() - 1) return CString();
  CString extension = p.Mid(dot + 1);
  extension.MakeLower();
  return extension;
}

bool CDirList::CanOpenFile(const char* path) {
  if (!path) return false;
  std::FILE* file = std::fopen(FsPath(path).c_str(), "r");
  if (!file) return false;
  // A folder opens for reading here, but it is no file.
  struct stat st {};
  bool isFile = ::fstat(::fileno(file), &st) == 0 && !S_ISDIR(st.st_mode);
  std::fclose(file);
  return isFile;
}

void CDirList::SortStringList(CStringList* list, int caseSensitive) {
  if (!list) return;
  std::vector<CString> items;
  for (POSITION pos = list->GetHeadPosition(); pos;) items.push_back(list->GetNext(pos));
  std::stable_sort(items.begin(), items.end(), [&](const CString& a, const CString& b) {
    return (caseSensitive ? a.Compare(b) : a.CompareNoCase(b)) < 0;
  });
  std::size_t i = 0;
  for (POSITION pos = list->GetHeadPosition(); pos;) list->GetNext(pos) = items[i++];
}

bool CDirList::CopyFileKeepStatus(const char* destination, const char* source) {
  if (!destination || !source) return false;
  std::string from = FsPath(source), to = FsPath(destination);
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st {};
  if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(in);
    return false;
  }
  // The copy is made beside the destination and replaces it only when complete.
  std::string temp = to + "." + std::to_string(::getpid()) + ".copy";
  int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (out < 0) {
    ::close(in);
    return false;
  }
  std::vector<char> block(64 * 1024);
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(in, block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!WriteAll(out, block.data(), std::size_t(n))) {
      ok = false;
      break;
    }
  }
  ::close(in);
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ok = ok && ::fchmod(out, st.st_mode & 07777) == 0 && ::futimens(out, times) == 0;
  ok = ::close(out) == 0 && ok;
  if (ok && ::rename(temp.c_str(), to.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

// --- Strings and numbers ---

void SplitString(const char* text, const char* separator, CStringArray& pieces) {
  pieces.RemoveAll();
  std::string_view rest = text ? text : "";
  if (rest.empty()) return;
  std::string_view sep = separator ? separator : "";
  for (;;) {
    std::size_t at = sep.empty() ? std::string_view::npos : rest.find(sep);
    CString piece(rest.substr(0, at));
    pieces.Add(piece.Trim());
    if (at == std::string_view::npos) break;
    rest.remove_prefix(at + sep.size());
  }
}

CString IntToStr(int value, int radix) {
  if (radix < 2 || radix > 36) return CString();
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  bool negative = radix == 10 && value < 0;
  std::uint32_t rest = negative ? std::uint32_t(-std::int64_t(value)) : std::uint32_t(value);
  std::string out;
  do {
    out += digits[rest % std::uint32_t(radix)];
    rest /= std::uint32_t(radix);
  } while (rest);
  if (negative) out += '-';
  std::reverse(out.begin(), out.end());
  return CString(out);
}

double IntAtan2(int y, int x) { return std::atan2(double(y), double(x)); }

double IntPow(int base, int exponent) { return std::pow(double(base), double(exponent)); }

bool IsClassName(const CObject* object, const char* className) {
  return object && className && std::strcmp(object->GetRuntimeClass()->m_lpszClassName, className) == 0;
}

// --- Output files ---

namespace {

// The settings' viewer as its path is set, when it is installed; else empty.
std::string InstalledViewer() {
  const std::string viewer = FsPath(GetRegSettings().annexoPath);
  return !viewer.empty() && ::access(viewer.c_str(), X_OK) == 0 ? viewer : std::string();
}

}  // namespace

CString GetViewerProgram() {
  const std::string own = InstalledViewer();
  return own.empty() ? CString("xdg-open") : CString(own);
}

bool ShellOpen(const char* path, const char* failure) {
  const std::string file = FsPath(path);
  const std::string said = failure ? failure : "Die Datei '" + file + "' kann nicht geöffnet werden.";
  return win::shell::Open(file, said);
}

void OpenWithViewer(const char* path) {
  if (!CDirList::CanOpenFile(path)) {
    AfxMessageBox(CString("Fehler beim Öffnen der Datei ") + (path ? path : ""), MB_OK);
    return;
  }
  const std::string file = FsPath(path);
  const std::string installed = InstalledViewer();
  const bool opener = installed.empty();
  const std::string program = opener ? "xdg-open" : installed;
  // Without a screen there is nobody to look at a viewer's window: the call is only told.
  if (!win::CurrentScreen()) {
    std::fprintf(stderr, "Betrachter: %s %s\n", win::TerminalText(QuoteArgument(program)).c_str(),
                 win::TerminalText(QuoteArgument(file)).c_str());
    return;
  }
  CString text;
  if (opener && !ProgramOnPath("xdg-open")) {
    // The settings' own viewer is named only when one was set: the default one is not made for this platform.
    if (GetRegSettings().annexoPath != CRegSettings::DefaultViewerPath())
      text.Format(
          "Die Datei '%s' ist geschrieben, kann aber nicht angezeigt werden: es ist kein Anzeigeprogramm "
          "vorhanden. Der Betrachter der Einstellungen, '%s', fehlt, und das Programm \"xdg-open\" des Desktops "
          "ist nicht im Suchpfad (PATH).",
          file.c_str(), FsPath(GetRegSettings().annexoPath).c_str());
    else
      text.Format(
          "Die Datei '%s' ist geschrieben, kann aber nicht angezeigt werden: das Programm \"xdg-open\", das sie "
          "mit dem Anzeigeprogramm des Desktops öffnet, ist nicht im Suchpfad (PATH).",
          file.c_str());
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // The settings' viewer is started as its path stands, whatever it holds: never looked for on the search path,
  // never split at blanks or quotes.
  const std::string started = opener || program.find('/') != std::string::npos ? program : "./" + program;
  if (const int error = StartProgram({started, file})) {
    text.Format(
        "Die Datei '%s' ist geschrieben, kann aber nicht angezeigt werden: das Anzeigeprogramm '%s' "
        "konnte nicht gestartet werden (%s).",
        file.c_str(), program.c_str(), SystemErrorText(error).GetString());
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
  }
}

CString PdfBesideFile(const char* path) {
  CString pdf = path;
  const int dot = pdf.ReverseFind('.');
  const int slash = std::max(pdf.ReverseFind('/'), pdf.ReverseFind('\\'));
  if (dot > slash) pdf = pdf.Left(dot);
  return pdf + ".pdf";
}

bool HasDefaultPrinter(std::string* whyNot) {
  if (!ProgramOnPath("lp")) {
    if (whyNot) *whyNot = "das Druckprogramm \"lp\" wurde nicht gefunden";
    return false;
  }
  for (const char* name : {"LPDEST", "PRINTER"})
    if (const char* value = std::getenv(name); value && *value) return true;
  if (ProgramOnPath("lpstat")) {
    // Its answer in the untranslated words that are looked for.
    const CapturedRun run = RunCaptured({"lpstat", "-d"}, 10000, {"LC_ALL=C", "LANG=C", "LANGUAGE="});
    const std::string marker = "system default destination:";
    const std::size_t at = run.out.find(marker);
    if (run.exitCode == 0 && at != std::string::npos) {
      const std::size_t name = run.out.find_first_not_of(" \t", at + marker.size());
      if (name != std::string::npos && run.out[name] != '\n') return true;
    }
  }
  if (whyNot) *whyNot = "für das Druckprogramm \"lp\" ist kein Standarddrucker eingerichtet";
  return false;
}

namespace {

// The folder of the file for the spooler, in the temporary folder.
constexpr const char* kPrintScratch = "kolumo-druck-";

}  // namespace

void PrintFile(const char* path) {
  CString text;
  if (!CDirList::CanOpenFile(path)) {
    text.Format("Datei '%s' nicht gefunden!", path ? path : "");
    AfxMessageBox(text, MB_OK);
    return;
  }
  const std::string fsPath = FsPath(path);
  std::string rtf;
  if (std::FILE* file = std::fopen(fsPath.c_str(), "rb")) {
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0) rtf.append(buffer, count);
    std::fclose(file);
  }
  richdoc::Document document;
  bool isReport = rtf.rfind("{\\rtf", 0) == 0;
  if (isReport) {
    try {
      document.ReadRtf(rtf);
    } catch (const richdoc::RtfError&) {
      isReport = false;
    }
  }
  if (!isReport) {
    text.Format("Die Datei '%s' kann nicht gedruckt werden: sie ist keine RTF-Ausgabe.", fsPath.c_str());
    AfxMessageBox(text, MB_OK);
    return;
  }
  std::string whyNot, reason;
  if (!HasDefaultPrinter(&whyNot)) {
    // No printer set up: the report is printed into a PDF beside it, and the message names that file.
    const CString pdf = PdfBesideFile(path);
    if (!richedit::PrintToPdf(document, FsPath(pdf), fsPath, &reason)) {
      text.Format("Die Datei '%s' konnte nicht geschrieben werden: %s", FsPath(pdf).c_str(), reason.c_str());
      AfxMessageBox(text, MB_OK);
      return;
    }
    text.Format("Kein Drucker eingerichtet (%s): die Datei '%s' wurde als PDF in die Datei '%s' gedruckt.",
                whyNot.c_str(), fsPath.c_str(), FsPath(pdf).c_str());
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The spooler gets the pages as the program prints them, never the RTF; it takes its own copy of the file.
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = tmp && *tmp ? tmp : "/tmp";
  win::ScratchFolder scratch;
  if (!scratch.Make(folder, kPrintScratch, reason)) {
    text.Format("Die Datei '%s' kann nicht gedruckt werden: im Ordner '%s' kann keine Druckdatei angelegt werden (%s).",
                fsPath.c_str(), folder.c_str(), reason.c_str());
    AfxMessageBox(text, MB_OK);
    return;
  }
  const std::string pdf = scratch.Path("Druck.pdf");
  if (!richedit::PrintToPdf(document, pdf, fsPath, &reason)) {
    text.Format("Die Datei '%s' kann nicht gedruckt werden: %s", fsPath.c_str(), reason.c_str());
    AfxMessageBox(text, MB_OK);
    return;
  }
  const std::string title = fsPath.substr(fsPath.find_last_of('/') + 1);
  const CapturedRun run = RunCaptured({"lp", "-t", title, pdf}, 60000);
  scratch.Remove();
  if (run.startError) {
    text.Format("Die Datei '%s' wurde nicht gedruckt: das Druckprogramm \"lp\" konnte nicht gestartet werden (%s).",
                fsPath.c_str(), SystemErrorText(run.startError).GetString());
  } else if (run.timedOut) {
    text.Format(
        "Die Datei '%s' wurde nicht gedruckt: das Druckprogramm \"lp\" hat nach einer Minute nicht "
        "geantwortet.",
        fsPath.c_str());
  } else if (run.exitCode != 0) {
    std::string message = run.err.empty() ? run.out : run.err;
    while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back()))) message.pop_back();
    text.Format("Die Datei '%s' wurde nicht gedruckt: das Druckprogramm \"lp\" endete mit dem Status %d%s%s",
                fsPath.c_str(), run.exitCode, message.empty() ? "." : ":\n", message.c_str());
  } else {
    return;
  }
  AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}
