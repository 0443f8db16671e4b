// A file replaced whole or not at all: the new content is written into a marked, locked folder of its own beside the
// file (a ScratchFolder), made durable and renamed over the file. A run killed meanwhile leaves only that folder,
// which the next replacement with the same prefix there removes; never a half-written file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace win {

// What stands where a file is about to be replaced.
struct StandingFile {
  bool exists = false;
  std::string content;
};

struct ReplaceOptions {
  // The temporary's folder "<prefix><pid>-XXXXXX" beside the file.
  std::string scratchPrefix;
  // The mode of a file that was not there; a replaced file keeps its own.
  mode_t newFileMode = 0644;
  // Asked just before the rename with what stands there, while a lock on it keeps every other replacement of it
  // that asks too (in any process) waiting: false keeps the standing file and fails with the `error` it gives.
  // A replacement that finds that lock held longer than kLockWait fails: another program is saving the file.
  std::function<bool(const StandingFile& standing, std::string& error)> accept;
};

// How long a save waits for the lock another one holds: a save holds it for the moment of a read and a rename, so a
// lock held longer belongs to a run stopped there (Ctrl+Z, a debugger) or hung, which may never let it go.
inline constexpr std::chrono::milliseconds kLockWait{3000};

// Takes the exclusive lock (flock) of the open file `fd`, waiting at most `bound` while another holds it. False
// with errno EWOULDBLOCK when it is still held then, with another errno when the file cannot be locked at all.
bool LockWithin(int fd, std::chrono::milliseconds bound);

// The regular file `path` names (through symbolic links) is marked read-only: it has no write permission at all, or none
// for this process. Its mode bits are read, not only the permission: root, whom a mode does not stop, keeps such a
// file too.
bool MarkedReadOnly(const std::string& path);

// Replaces the file `path` names (through symbolic links: the file they lead to) with `bytes`. False with a message
// "Cannot write '<path>': <reason>" when it fails; the file is then as it was and no temporary is left. A file marked
// read-only is never replaced.
bool ReplaceFile(std::string_view path, std::string_view bytes, const ReplaceOptions& options, std::string& error);

// ReplaceFile's message as a German sentence, for a box among German ones: "Die Datei \"<path>\" kann nicht
// geschrieben werden: <Grund>"; the reasons ReplaceFile gives itself in German, a system's reason as the system
// words it. A message of another form is returned as it is.
std::string ReplaceErrorInGerman(const std::string& error);

}  // namespace win
