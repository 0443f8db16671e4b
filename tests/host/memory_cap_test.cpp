// `kolumo roundtrip`, `kolumo calc` and `kolumo report` under caps of the address space: running out of memory
// anywhere ends the job with status 1 and "Zu wenig Speicher" and leaves every file of the position's folder as it
// was, byte for byte (a previous report and its pictures too); a job that ends with status 0 wrote what it writes
// without a cap. Never a signal, never a cut position, a report without its pictures or a cut picture called done. A
// run without a display never calls on the system's font configuration (as root, one rebuilt short of memory was
// kept, empty, for every program of the machine): the runs get one of their own whose cache must stay unmade.
#include <string>

#include "tests/host/folder_files.h"

namespace {

using namespace host_test;

#if defined(KOLUMO_SLOW_TESTS)
// every position of the regression data, caps 64 KiB apart
constexpr long kStepKiB = 64;
const char* const kPositions[] = {"Stuetze", "cantilever_own_weight",  "ec2_design", "ec2_na_gb", "ring",
                                  "sia262",  "two_fields_offset_stage"};
const auto& kReportPositions = kPositions;
#else
constexpr long kStepKiB = 128;
const char* const kPositions[] = {"Stuetze"};
// a report without system pictures: memory runs out while its section sketch is painted, among other places
const char* const kReportPositions[] = {"cantilever_own_weight"};
#endif

enum class Ending { kDone, kShortage, kNotStarted };

class MemoryCapTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    std::ofstream(Path("fonts.conf")) << "<?xml version=\"1.0\"?>\n<fontconfig><dir>/usr/share/fonts</dir><cachedir>"
                                      << Path("fc-cache") << "</cachedir></fontconfig>\n";
  }

  // The command on the files `before` (the position p.tqx, and what stands beside it) in the folder "work"; without
  // a cap when kib is 0.
  HostRun Run(const std::string& command, const Files& before, long kib) {
    PutFiles(Work(), before);
    prefix_ = "env FONTCONFIG_FILE=" + Quote(Path("fonts.conf")) + " XDG_CACHE_HOME=" + Quote(Path("xdg")) + " ";
    if (kib > 0) prefix_ += "prlimit --as=" + std::to_string(kib * 1024) + " ";
    const std::string p = (Work() / "p.tqx").string();
    return Host(command == "roundtrip" ? std::vector<std::string>{"roundtrip", p, p}
                                       : std::vector<std::string>{command, p});
  }
  fs::path Work() const { return folder_ / "work"; }

  // One capped run judged: done with the files an uncapped run writes, or the shortage said with the files unchanged.
  Ending Judge(const std::string& command, const Files& before, const Files& written, long kib) {
    // a calculation whose verification is not fulfilled is done with status 3
    const HostRun run = Run(command, before, kib);
    const std::string at = command + " under " + std::to_string(kib) + " KiB";
    // below what the system's loader needs for the program itself: nothing of it ran
    if (run.status == 127 && run.err.find("error while loading shared libraries") != std::string::npos)
      return Ending::kNotStarted;
    EXPECT_TRUE(run.status == doneStatus_ || run.status == 1) << at << ": status " << run.status << "\n" << run.err;
    EXPECT_FALSE(fs::remove_all(Path("fc-cache"))) << at << ": the font configuration was called on\n" << run.err;
    const Files now = FilesIn(Work());
    if (run.status == doneStatus_) {
      EXPECT_TRUE(now == written) << at
                                  << ": done, but not the files written without a cap:" << Difference(written, now);
      return Ending::kDone;
    }
    EXPECT_NE(run.err.find("Zu wenig Speicher"), std::string::npos) << at << ": another reason\n" << run.err;
    EXPECT_TRUE(now == before) << at << ": the files were changed:" << Difference(before, now);
    if (run.err.find("cannot be loaded") != std::string::npos) return Ending::kNotStarted;
    return Ending::kShortage;
  }

  // Every cap from 1 MiB above the least that the job is done in (found by halving) down to where the module can no
  // longer be loaded, kStepKiB apart.
  void Sweep(const std::string& command, const std::string& name) {
    SCOPED_TRACE(command + " " + name);
    Files before{{"p.tqx", Slurp(fs::path(KOLUMO_TEST_DATA) / (name + ".tqx"))}};
    HostRun free = Run(command, before, 0);
    ASSERT_TRUE(free.status == 0 || free.status == 3) << free.err;
    if (command == "report") {
      before = WithPreviousReport(before, FilesIn(Work()));
      free = Run(command, before, 0);
      ASSERT_EQ(free.status, 0) << free.err;
    }
    const Files written = FilesIn(Work());
    EXPECT_FALSE(fs::remove_all(Path("fc-cache"))) << "the font configuration was called on without a cap";
    doneStatus_ = free.status;
    long failed = 1024, done = 1024 * 1024;
    ASSERT_EQ(Judge(command, before, written, done), Ending::kDone);
    while (done - failed > kStepKiB) {
      const long kib = (failed + done) / 2;
      (Judge(command, before, written, kib) == Ending::kDone ? done : failed) = kib;
    }
    int shortages = 0;
    for (long kib = done + 1024; kib > 0; kib -= kStepKiB) {
      const Ending ending = Judge(command, before, written, kib);
      if (ending == Ending::kNotStarted) break;
      if (ending == Ending::kShortage) ++shortages;
    }
    EXPECT_GT(shortages, 0) << "no cap ran the job itself out of memory";
  }

  int doneStatus_ = 0;
};

TEST_F(MemoryCapTest, ARoundtripShortOfMemoryWritesNothingAndSaysSo) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space cap";
#endif
  for (const char* name : kPositions) Sweep("roundtrip", name);
}

TEST_F(MemoryCapTest, ACalculationShortOfMemoryWritesNothingAndSaysSo) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space cap";
#endif
  for (const char* name : kPositions) Sweep("calc", name);
}

TEST_F(MemoryCapTest, AReportShortOfMemoryKeepsThePreviousOneAndSaysSo) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space cap";
#endif
  for (const char* name : kReportPositions) Sweep("report", name);
}

}  // namespace
