// The host program run as a process in a scratch folder with an installation root of its own.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/column/column_test_support.h"

namespace host_test {

namespace fs = std::filesystem;

struct HostRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class HostTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "host-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    root_ = column_test::MakeInstallRoot(folder_, KOLUMO_DATA_DIR);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the host with the arguments and an installation root over the repository's data folder (none when
  // root_ is emptied), in the folder cwd_ when one is set.
  HostRun Host(const std::vector<std::string>& args, const std::string& program = KOLUMO_HOST) const {
    // a host that hangs fails the test (status 124) instead of holding the test run
    std::string command =
        (cwd_.empty() ? "" : "cd " + Quote(cwd_.string()) + " && ") +
        // without DISPLAY: a calculation would show its progress dialog on a screen
        (root_.empty() ? "env -u DISPLAY -u KOLUMO_ROOT" : "env -u DISPLAY KOLUMO_ROOT=" + Quote(root_.string())) +
        " timeout 120 " + prefix_ + Quote(program);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " >" + Quote((folder_ / "stdout").string()) + " 2>" + Quote((folder_ / "stderr").string());
    HostRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = Slurp(folder_ / "stdout");
    run.err = Slurp(folder_ / "stderr");
    return run;
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  fs::path root_;
  fs::path cwd_;
  std::string prefix_;  // put before the host program, e.g. to run it with fewer privileges
};

}  // namespace host_test
