// Files marked read-only: a run never writes over a position or a report (or one of its pictures) whose mode has no
// write permission, as root too, whom the mode does not stop.
#include <sys/stat.h>

#include <algorithm>

#include "tests/host/host_run.h"

namespace {

using namespace host_test;

std::string Example() { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }

void MarkReadOnly(const fs::path& file) {
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

bool StillReadOnly(const fs::path& file) {
  struct stat status {};
  return ::stat(file.c_str(), &status) == 0 && (status.st_mode & 0777) == 0444;
}

// calc and roundtrip of a position, and the report of one whose report or report picture stands there read-only:
// refused with status 1 and the reason, the read-only file as it was.
TEST_F(HostTest, AFileMarkedReadOnlyIsNeverWrittenOver) {
  const std::string example = Example();
  // a report written before, whose files the report runs below meet
  std::ofstream(Path("Stuetze.tqx"), std::ios::binary) << example;
  ASSERT_EQ(Host({"report", Path("Stuetze.tqx")}).status, 0);
  std::vector<fs::path> pictures;
  for (const auto& entry : fs::directory_iterator(folder_))
    if (entry.path().extension() == ".png" || entry.path().extension() == ".bmp") pictures.push_back(entry.path());
  ASSERT_FALSE(pictures.empty()) << "the report wrote no picture beside it";
  std::sort(pictures.begin(), pictures.end());
  std::ofstream(Path("out.tqx"), std::ios::binary) << "mine";

  const struct {
    const char* name;
    std::vector<std::string> args;
    fs::path readOnly;
    std::string reason;  // a piece of stderr
  } cases[] = {
      {"calc", {"calc", Path("Stuetze.tqx")}, Path("Stuetze.tqx"), "the file is marked read-only; it is kept as it is"},
      {"roundtrip",
       {"roundtrip", Path("Stuetze.tqx"), Path("out.tqx")},
       Path("out.tqx"),
       "the file is marked read-only; it is kept as it is"},
      {"report", {"report", Path("Stuetze.tqx")}, Path("Stuetze.rtf"), "schreibgeschützt"},
      {"a report picture", {"report", Path("Stuetze.tqx")}, pictures.front(), "schreibgeschützt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = Slurp(c.readOnly);
    const std::string report = Slurp(Path("Stuetze.rtf"));
    MarkReadOnly(c.readOnly);
    const HostRun run = Host(c.args);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(c.readOnly.string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_EQ(Slurp(c.readOnly), before);
    EXPECT_TRUE(StillReadOnly(c.readOnly));
    // a report refused for one of its files writes none of them
    EXPECT_EQ(Slurp(Path("Stuetze.rtf")), report);
    fs::permissions(c.readOnly, fs::perms::owner_write, fs::perm_options::add);
  }
  // writable again, each is written
  EXPECT_EQ(Host({"calc", Path("Stuetze.tqx")}).status, 0);
  EXPECT_EQ(Host({"roundtrip", Path("Stuetze.tqx"), Path("out.tqx")}).status, 0);
  EXPECT_NE(Slurp(Path("out.tqx")), "mine");
}

}  // namespace
