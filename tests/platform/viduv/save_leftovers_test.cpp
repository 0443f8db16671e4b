// A save that was interrupted (its process killed) leaves its hidden temporary file beside the document; the next
// save of that document removes it, and nothing else: not the file of a save still at work, not another
// document's, not a file of another pattern.
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

TEST_F(ViduvSaveLeftovers, TheNextSaveRemovesTheTemporaryFilesOfInterruptedSavesOfThatDocument) {
  const std::string dead = DeadPid();
  const std::string alive = std::to_string(::getpid());
  const struct {
    std::string name;
    bool removed;
  } files[] = {
      {".Pos.tqx." + dead + "-a1B2c3", true},      // an interrupted save of Pos.tqx
      {".Pos.tqx." + dead + "-zzzzzz", true},      // another one
      {".Pos.tqx." + alive + "-a1B2c3", false},    // a save of Pos.tqx at work in a live process
      {".Pos.tqx." + dead + "-h0ld3n", false},     // its process id is gone, but a run holds its lock
      {".Andere.tqx." + dead + "-a1B2c3", false},  // another document's
      {".Pos.tqx.a1B2c3", false},                  // no process id in the name
      {".Pos.tqx." + dead + "-a1B2c", false},      // not the pattern: five letters
      {".Pos.tqx.x" + dead + "-a1B2c3", false},    // not the pattern: no plain number
      {"Pos.tqx." + dead + "-a1B2c3", false},      // not hidden
  };
  for (const auto& f : files) writeFile(path(f.name), "<halb");
  const int holder = ::open(path(".Pos.tqx." + dead + "-h0ld3n").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_TRUE(win::LockForThisRun(holder));

  Doc doc(VIDUV_CreateDoc("saved"));
  ASSERT_EQ(VIDUV_SaveDocAs(doc.get(), path("Pos.tqx").c_str()), 1) << VIDUV_GetLastError();
  ::close(holder);

  std::set<std::string> expected = {"Pos.tqx"};
  for (const auto& f : files)
    if (!f.removed) expected.insert(f.name);
  EXPECT_EQ(Entries(folder()), expected);
  EXPECT_NE(readFile(path("Pos.tqx")).find("<saved"), std::string::npos);
}

}  // namespace
