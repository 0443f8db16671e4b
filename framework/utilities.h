// Small services of the framework: the start-up log, folders, processes, fingerprints, file lists and file
// operations, string and number helpers, and showing or printing an output file.
//
// Paths may be given with "\" or "/"; folders are returned as file-system paths without a trailing separator.
#pragma once

#include <chrono>
#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/afx.h"

// --- Start-up log ---

class CLogFile {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  explicit CLogFile(const char* path) : m_path(path) {}

  // Appends "[dd.mm.yyyy / hh:mm:ss:mmmm] text" (UTC). A file that cannot be opened loses the line silently. A
  // log grown beyond kMaxBytes keeps its latest lines, at most kKeptBytes of them.
  void WriteLine(const char* text);

  static constexpr std::size_t kMaxBytes = 128 * 1024;
  static constexpr std::size_t kKeptBytes = 64 * 1024;

  // The clock of the time stamps; nullptr restores the system clock.
  static void SetClock(Clock clock);

 private:
  static void TrimLog(int fd);
  CString m_path;
};

// --- Folders ---

CString GetExeDir();
CString GetInstallRoot();
// The current folder; "/" when it cannot be read.
CString GetCurrentDir();
// The all-users data folder: $KOLUMO_COMMON_DATA, else $XDG_DATA_HOME, else ~/.local/share; empty without one.
CString GetCommonAppDataDir();
// The common data folder's "ormi" folder when it exists, else the installation root.
CString GetUserDataDir();
// The default-input template of a program: <user data>/Vorlagen/TQ-<program>[_<variant>] Vorbelegung.tqx.
CString GetVorbelegungFile(const char* program, const char* variant);
// The template a new position of the program starts from: the user's (above) when it is there, else the one the
// installation ships under the same name in its "Vorlagen" folder; empty when there is neither.
CString FindVorbelegungFile(const char* program, const char* variant);

// Sets the current folder back to the one it was at construction.
class CCurDirSaver {
 public:
  CCurDirSaver();
  ~CCurDirSaver();
  CCurDirSaver(const CCurDirSaver&) = delete;
  CCurDirSaver& operator=(const CCurDirSaver&) = delete;

 private:
  CString m_dir;
};

// --- Processes ---

// The arguments of a command line by the Windows rules: the program name up to a blank or within quotes; then
// arguments split at blanks and tabs, quotes grouping, backslashes escaping only quotes.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// Starts the command line's program directly (no shell), waits for its end and returns its exit code (128 + the
// signal's number when a signal ended it). A failed start shows the system's error text in a box captioned "Error"
// and returns 0xFFFFFFFF.
DWORD RunProcessAndWait(const char* commandLine, int showCommand);
// The same for an argument list, each entry reaching the program as it stands (see StartProgram).
DWORD RunProcessAndWait(std::vector<std::string> args, int showCommand);
// The same without a message: 0 with the exit code set as above, or the errno value of the failed start.
int RunProgram(std::vector<std::string> args, DWORD& exitCode);
// The same without waiting; whether the program started.
bool RunProcess(const char* commandLine, int showCommand);
// Starts the command line's program without waiting and without a message: 0, or the errno value of the failed
// start for the caller's own message.
int StartProcess(const char* commandLine);
// The same for an argument list: the program args[0] (a name without '/' is looked for on the search path) gets
// the other entries as its arguments, each as it stands.
int StartProgram(std::vector<std::string> args);

// A program run to its end with its output kept (the first 64 KiB of each stream).
struct CapturedRun {
  int startError = 0;     // errno value of a failed start; then nothing else holds
  int exitCode = -1;      // 128 + the signal's number when a signal ended it
  bool timedOut = false;  // killed after the time allowed
  std::string out, err;
};
// Runs the program of the argument list (found on the search path) with "NAME=value" environment entries over the
// own; killed after timeoutMs.
CapturedRun RunCaptured(const std::vector<std::string>& args, int timeoutMs,
                        const std::vector<std::string>& environment = {});

// --- Fingerprints ---

class CFingerPrint {
 public:
  CFingerPrint() = default;
  virtual ~CFingerPrint() = default;
  CFingerPrint(const CFingerPrint&) = default;
  CFingerPrint& operator=(const CFingerPrint&) = default;

  // Digest of an XML element with its subtree / of a file's bytes; false (all zero) on failure.
  bool FromElement(int element);
  bool FromFile(const char* path);
  void Clear();

  BYTE* GetData() { return m_data; }
  const BYTE* GetData() const { return m_data; }
  static constexpr int Size = 16;

  bool operator==(const CFingerPrint& other) const;
  bool operator!=(const CFingerPrint& other) const { return !(*this == other); }

 private:
  BYTE m_data[Size] = {};
};

// --- Directory listing and files ---

enum : DWORD {
  FILE_ATTRIBUTE_READONLY = 0x01,
  FILE_ATTRIBUTE_HIDDEN = 0x02,
  FILE_ATTRIBUTE_DIRECTORY = 0x10,
  FILE_ATTRIBUTE_ARCHIVE = 0x20
};

class CDirList {
 public:
  // Every entry that the pattern's last part matches ('*' any run, '?' one character; "*.*" everything; case is
  // ignored), each as the pattern's folder part followed by the name, without "." and "..". A non-zero mask keeps
  // only entries with one of its attributes. A new list owned by the caller; nullptr when nothing matches.
  CStringList* GetFileList(const char* pattern, DWORD attributeMask = 0);

  static bool FileExists(const char* path);
  static bool GetFileModTime(const char* path, std::time_t& modified);
  // Up to and including the last "\" or "/"; empty without one.
  static CString GetFolderPart(const char* path);
  // The lower-cased text after the last '.'; empty without a dot, when the dot comes first or nothing follows.
  static CString GetExtension(const char* path);
  static bool CanOpenFile(const char* path);
  // Ascending; with caseSensitive 0 without regard to case.
  static void SortStringList(CStringList* list, int caseSensitive);
  // Copies source to destination (replacing it whole) and gives the copy the source's times and permissions.
  static bool CopyFileKeepStatus(const char* destination, const char* source);

  // Whether a name matches a pattern of '*' and '?' (case ignored).
  static bool MatchesPattern(const char* name, const char* pattern);

  static constexpr int NameBufferSize = 1024;
};

// --- Strings and numbers ---

// The pieces between separators, each trimmed at both ends; empty text gives no piece.
void SplitString(const char* text, const char* separator, CStringArray& pieces);
// The value in the radix (2 to 36, digits then lower-case letters); negative values in radix 10 with '-', in other
// radices as their 32-bit pattern. Empty for another radix.
CString IntToStr(int value, int radix);
double IntAtan2(int y, int x);
double IntPow(int base, int exponent);

bool IsClassName(const CObject* object, const char* className);

// --- Output files ---

// The viewer program for output files: the settings' viewer when it is installed (its path as set, with '/' for
// '\\'), else the desktop's opener "xdg-open".
CString GetViewerProgram();
// Opens a file or address with the desktop's opener (win::shell::Open: $KOLUMO_OPENER, else xdg-open) without
// waiting; false when it cannot be started. A failure is said in a box whose first line is failure (by default one
// naming the file), with the opener's reason.
bool ShellOpen(const char* path, const char* failure = nullptr);
// Opens the file in the viewer without waiting; a file that cannot be read gives a message, and so does a viewer
// that is missing or cannot be started (naming the file, which stays, and the program). Without a screen the call
// is written to stderr instead.
void OpenWithViewer(const char* path);
// The file's name with ".pdf" in place of its extension.
CString PdfBesideFile(const char* path);
// Whether there is a printer: the printing program "lp" on the search path with a default destination (LPDEST,
// PRINTER, or the one "lpstat -d" names). Without one, why not (a German clause naming the program).
bool HasDefaultPrinter(std::string* whyNot = nullptr);
// Prints a report (an RTF file) into a PDF and, with a printer, hands that PDF to "lp" and reports its failure
// with lp's exit status and message; without a printer the PDF is written beside the report (PdfBesideFile) and a
// message names it. A file that cannot be read or is no report gives a message.
void PrintFile(const char* path);
