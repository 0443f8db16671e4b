// Scratch files and folders of one run: each carries the id of the process that made it in its name, and that
// process holds a lock on it while it works. A run that was killed leaves them behind; a later run recognises
// them by both marks and removes them, never those of a run still at work.
#pragma once

#include <functional>
#include <string>

namespace win {

// Holds an exclusive lock on the open file or folder for as long as the descriptor stays open (the system drops
// it when the process dies, however it dies). False when the lock cannot be taken.
bool LockForThisRun(int fd);

// True when `path`, named for the process `pid`, was left behind: no process of that id is alive, nobody holds
// its lock, it is no symbolic link and it belongs to this user. A path that cannot be examined is never called
// left behind.
bool LeftBehind(const std::string& path, long pid);

// Removes the regular files of `folder` that were left behind (LeftBehind) by the process that `ProcessOf` reads
// from each name: 0 for a name of another pattern, which stays.
void RemoveLeftBehind(const std::string& folder, const std::function<long(const std::string& name)>& ProcessOf);

// The process id in `text` when it is all digits (no sign, no blank) and fits a process id; else 0.
long ProcessIdIn(const std::string& text);

}  // namespace win
