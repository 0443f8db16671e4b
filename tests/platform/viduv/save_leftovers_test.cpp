// A save that was interrupted (its process killed) leaves the marked folder of its temporary beside the document;
// the next save into that folder removes it, and nothing else: not the folder of a save still at work, not a user's
// folder or file named like one, nor the files named as the temporaries were before they had a folder of their own.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "platform/win/base/leftovers.h"
#include "tests/platform/viduv/viduv_test_support.h"
#include "tests/support/dead_pid.h"

namespace {

using viduv_test::Doc;
using viduv_test::ScratchFolder;
using ViduvSaveLeftovers = ScratchFolder;

std::string DeadPid() { return std::to_string(test_support::DeadPid()); }

std::set<std::string> Entries(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

TEST_F(ViduvSaveLeftovers, TheNextSaveRemovesTheTemporariesOfInterruptedSaves) {
  const std::string dead = DeadPid();
  const std::string alive = std::to_string(::getpid());
  enum Art { kOurs, kUsersFolder, kUsersFile };
  const struct {
    std::string name;
    Art art;
    bool removed;
  } entries[] = {
      {".kolumo-sichern-" + dead + "-a1B2c3", kOurs, true},    // an interrupted save
      {".kolumo-sichern-" + dead + "-zzzzzz", kOurs, true},    // another one
      {".kolumo-sichern-" + alive + "-a1B2c3", kOurs, false},  // a save at work in a live process
      {".kolumo-sichern-" + dead + "-h0ld3n", kOurs, false},   // its process id is gone, but a run holds its lock
      {".kolumo-sichern-" + dead + "-u5er00", kUsersFolder, false},
      {".Pos.tqx." + dead + "-a1B2c3", kUsersFile, false},  // the name a save's temporary had
  };
  for (const auto& e : entries) {
    if (e.art == kOurs) {
      ASSERT_TRUE(test_support::LeaveScratchFolder(folder(), e.name));
    } else if (e.art == kUsersFolder) {
      std::filesystem::create_directory(path(e.name));
      writeFile(path(e.name + "/Pos.tqx"), "<halb");
    } else {
      writeFile(path(e.name), "<halb");
    }
  }
  const int holder = ::open(path(".kolumo-sichern-" + dead + "-h0ld3n").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_TRUE(win::LockForThisRun(holder));

  Doc doc(VIDUV_CreateDoc("saved"));
  ASSERT_EQ(VIDUV_SaveDocAs(doc.get(), path("Pos.tqx").c_str()), 1) << VIDUV_GetLastError();
  ::close(holder);

  std::set<std::string> expected = {"Pos.tqx"};
  for (const auto& e : entries)
    if (!e.removed) expected.insert(e.name);
  EXPECT_EQ(Entries(folder()), expected);
  EXPECT_NE(readFile(path("Pos.tqx")).find("<saved"), std::string::npos);
  EXPECT_EQ(readFile(path(".kolumo-sichern-" + dead + "-u5er00/Pos.tqx")), "<halb");
}

}  // namespace
