// Leftovers of runs: only a marked folder that a dead process made and nobody holds counts as left behind.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win/base/leftovers.h"
#include "tests/support/dead_pid.h"

namespace {

namespace fs = std::filesystem;

using test_support::DeadPid;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class LeftoversTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "leftovers-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(LeftoversTest, TheLockOfARunIsReleasedWhenItsDescriptorCloses) {
  const std::string path = (folder_ / "file").string();
  std::ofstream(path) << "x";
  const int run = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_TRUE(win::LockForThisRun(run));
  // a second run cannot take what the first one holds
  const int other = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_FALSE(win::LockForThisRun(other));
  ::close(run);
  EXPECT_TRUE(win::LockForThisRun(other));
  ::close(other);
}

// A folder of one run's temporaries carries the mark and the run's lock while it lives, and goes with what it holds.
TEST_F(LeftoversTest, AScratchFolderIsMarkedHeldAndRemovedWhole) {
  std::string error;
  fs::path path;
  {
    win::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Make(folder_.string(), "run-", error)) << error;
    path = scratch.Folder();
    EXPECT_EQ(path.parent_path(), folder_);
    EXPECT_EQ(path.filename().string().rfind("run-" + std::to_string(::getpid()) + "-", 0), 0u) << path;
    std::ofstream(scratch.Path("picture.png")) << "x";
    // another run cannot take its lock
    const int other = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_FALSE(win::LockForThisRun(other));
    ::close(other);
  }
  EXPECT_FALSE(fs::exists(path));
  // a folder that cannot be made says why
  win::ScratchFolder none;
  EXPECT_FALSE(none.Make((folder_ / "missing").string(), "run-", error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(none.Made());
}

// The sweep takes only folders of the pattern that carry the mark, whose process is gone and whose lock it can take;
// a user's folder of the same name (no mark) and its files stay, and so does a file of that name.
TEST_F(LeftoversTest, OnlyMarkedScratchFoldersOfDeadRunsAreRemoved) {
  const std::string dead = std::to_string(DeadPid()), alive = std::to_string(::getpid());
  auto marked = [&](const std::string& name) { ASSERT_TRUE(test_support::LeaveScratchFolder(folder_, name)) << name; };
  const struct {
    std::string name;
    bool mark;
    bool removed;
  } cases[] = {
      {"run-" + dead + "-a1B2c3", true, true},
      {"run-" + dead + "-h0ld3n", true, false},   // held by a run whose ids are counted apart
      {"run-" + alive + "-a1B2c3", true, false},  // a run at work
      {"run-" + dead + "-u5er00", false, false},  // a user's folder named like ours
      {"run-a1B2c3", true, false},
      {"run-" + dead + "-a1B2", true, false},
      {"other-" + dead + "-a1B2c3", true, false},
  };
  for (const auto& c : cases) {
    if (c.mark) {
      marked(c.name);
    } else {
      fs::create_directory(folder_ / c.name);
      std::ofstream(folder_ / c.name / "Bericht.rtf") << "the user's";
    }
  }
  // a marked folder inside one of ours goes with it; a user's folder inside it stays, and so does ours
  marked("run-" + dead + "-n3st3d");
  marked("inner-" + dead + "-a1B2c3");
  fs::rename(folder_ / ("inner-" + dead + "-a1B2c3"), folder_ / ("run-" + dead + "-n3st3d") / "inner");
  marked("run-" + dead + "-us3rin");
  fs::create_directory(folder_ / ("run-" + dead + "-us3rin") / "photos");
  // a run killed before it marked its folder: nothing in it
  fs::create_directory(folder_ / ("run-" + dead + "-3mpty0"));
  // a file, and a link to a marked folder, of the pattern
  std::ofstream(folder_ / ("run-" + dead + "-f1l3ab")) << "x";
  marked("target");
  fs::create_directory_symlink(folder_ / "target", folder_ / ("run-" + dead + "-l1nk00"));

  const int holder = ::open((folder_ / ("run-" + dead + "-h0ld3n")).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_TRUE(win::LockForThisRun(holder));
  win::RemoveLeftScratchFolders(folder_.string(), "run-");
  ::close(holder);
  for (const auto& c : cases) EXPECT_EQ(fs::exists(folder_ / c.name), !c.removed) << c.name;
  EXPECT_FALSE(fs::exists(folder_ / ("run-" + dead + "-n3st3d")));
  EXPECT_FALSE(fs::exists(folder_ / ("run-" + dead + "-3mpty0")));
  EXPECT_TRUE(fs::exists(folder_ / ("run-" + dead + "-us3rin") / "photos"));
  EXPECT_FALSE(fs::exists(folder_ / ("run-" + dead + "-us3rin") / "Bericht.rtf"));
  EXPECT_TRUE(fs::exists(folder_ / ("run-" + dead + "-f1l3ab")));
  EXPECT_TRUE(fs::exists(folder_ / "target" / "Bericht.rtf"));
  EXPECT_EQ(Slurp(folder_ / ("run-" + dead + "-u5er00") / "Bericht.rtf"), "the user's");
}

TEST(ProcessIdIn, TakesPlainDigitsOnly) {
  const struct {
    const char* text;
    long pid;
  } cases[] = {{"4711", 4711}, {"1", 1}, {"", 0}, {"12a", 0}, {"-5", 0}, {"+5", 0}, {" 5", 0}, {"1234567890", 0}};
  for (const auto& c : cases) EXPECT_EQ(win::ProcessIdIn(c.text), c.pid) << c.text;
}

}  // namespace
