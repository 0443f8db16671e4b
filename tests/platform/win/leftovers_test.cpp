// Leftovers of runs: only what a dead process made and nobody holds counts as left behind.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/base/leftovers.h"
#include "tests/support/dead_pid.h"

namespace {

namespace fs = std::filesystem;

using test_support::DeadPid;

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

TEST_F(LeftoversTest, OnlyWhatADeadProcessLeftAndNobodyHoldsIsLeftBehind) {
  const long dead = DeadPid();
  const long alive = long(::getpid());
  std::ofstream(folder_ / "file") << "x";
  fs::create_directory(folder_ / "folder");
  fs::create_symlink(folder_ / "file", folder_ / "link");
  const struct {
    const char* name;
    long pid;
    bool held;  // a run at work holds the lock
    bool left;
  } cases[] = {
      {"file", dead, false, true},     {"folder", dead, false, true}, {"file", dead, true, false},
      {"folder", dead, true, false},   {"file", alive, false, false}, {"link", dead, false, false},
      {"missing", dead, false, false}, {"file", 0, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.held ? " held" : "") + (c.pid == alive ? " alive" : ""));
    const std::string path = (folder_ / c.name).string();
    // another open description of the same file conflicts with the check's lock, as another process's would
    const int holder = c.held ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (c.held) {
      ASSERT_GE(holder, 0);
      ASSERT_TRUE(win::LockForThisRun(holder));
    }
    EXPECT_EQ(win::LeftBehind(path, c.pid), c.left);
    if (holder >= 0) ::close(holder);
  }
}

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

TEST(ProcessIdIn, TakesPlainDigitsOnly) {
  const struct {
    const char* text;
    long pid;
  } cases[] = {{"4711", 4711}, {"1", 1}, {"", 0}, {"12a", 0}, {"-5", 0}, {"+5", 0}, {" 5", 0}, {"1234567890", 0}};
  for (const auto& c : cases) EXPECT_EQ(win::ProcessIdIn(c.text), c.pid) << c.text;
}

}  // namespace
