// Temporaries of one run live in a folder of its own: its name carries the id of the process that made it, a file
// in it the program's mark, and the process holds a lock on it while it works. A run that was killed leaves the
// folder behind; a later run recognises it by all three and removes it, never one of a run still at work nor
// anything the user named alike.
#pragma once

#include <string>

namespace win {

// Holds an exclusive lock on the open file or folder for as long as the descriptor stays open (the system drops
// it when the process dies, however it dies). False when the lock cannot be taken.
bool LockForThisRun(int fd);

// A folder of one run's temporaries, "<prefix><pid>-XXXXXX" in a folder: it carries the program's mark (a file of
// fixed name and content, made before anything else in it), and the run holds its lock until the folder goes, with
// everything in it, when the object does. Files written in it are renamed to where they belong. No file a position
// or its report is written to is a folder, so none is taken for one of these.
class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder() { Remove(); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Makes the folder in `folder` (empty: the working folder), after removing those that killed runs left there
  // (RemoveLeftScratchFolders); false with the system's reason (its text).
  bool Make(const std::string& folder, const std::string& prefix, std::string& error);
  bool Made() const { return !path_.empty(); }
  // The path of `name` in the folder.
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Folder() const { return path_; }
  // Removes the folder with what is in it (at once rather than when the object goes).
  void Remove();

 private:
  std::string path_;
  int lock_ = -1;
};

// Removes the folders "<prefix><pid>-XXXXXX" of `folder` (empty: the working folder) that runs left behind: those
// that carry the mark, whose process is gone and whose lock can be taken, and such a folder left empty (a run killed
// before it marked it). A folder of that name without the mark and with something in it (a user's), one of a run at
// work (its lock held, even by a run whose process ids are counted apart) and everything else stays.
void RemoveLeftScratchFolders(const std::string& folder, const std::string& prefix);

// The process id in `text` when it is all digits (no sign, no blank) and fits a process id; else 0.
long ProcessIdIn(const std::string& text);

}  // namespace win
