// `kolumo roundtrip` and `kolumo calc` under caps of the address space: running out of memory anywhere ends the job
// with status 1 and "Zu wenig Speicher" and leaves the position as it was, byte for byte; a job that ends with status
// 0 wrote what it writes without a cap. Never a signal, never a cut position called done. A run without a display
// never calls on the system's font configuration (as root, one rebuilt short of memory was kept, empty, for every
// program of the machine): the runs get one of their own whose cache must stay unmade.
#include <string>

#include "tests/host/host_run.h"

namespace {

using namespace host_test;

#if defined(KOLUMO_SLOW_TESTS)
// every position of the regression data, caps 64 KiB apart
constexpr long kStepKiB = 64;
const char* const kPositions[] = {"Stuetze", "cantilever_own_weight",  "ec2_design", "ec2_na_gb", "ring",
                                  "sia262",  "two_fields_offset_stage"};
#else
constexpr long kStepKiB = 128;
const char* const kPositions[] = {"Stuetze"};
#endif

enum class Ending { kDone, kShortage, kNotStarted };

class MemoryCapTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    std::ofstream(Path("fonts.conf")) << "<?xml version=\"1.0\"?>\n<fontconfig><dir>/usr/share/fonts</dir><cachedir>"
                                      << Path("fc-cache") << "</cachedir></fontconfig>\n";
  }

  // The command on a fresh copy of `original` as p.tqx; without a cap when kib is 0.
  HostRun Run(const std::string& command, const std::string& original, long kib) {
    std::ofstream(Path("p.tqx"), std::ios::binary) << original;
    prefix_ = "env FONTCONFIG_FILE=" + Quote(Path("fonts.conf")) + " XDG_CACHE_HOME=" + Quote(Path("xdg")) + " ";
    if (kib > 0) prefix_ += "prlimit --as=" + std::to_string(kib * 1024) + " ";
    const std::string p = Path("p.tqx");
    return Host(command == "roundtrip" ? std::vector<std::string>{"roundtrip", p, p}
                                       : std::vector<std::string>{command, p});
  }

  // One capped run judged: done with the file an uncapped run writes, or the shortage said with the file unchanged.
  Ending Judge(const std::string& command, const std::string& original, const std::string& written, long kib) {
    // a calculation whose verification is not fulfilled is done with status 3
    const HostRun run = Run(command, original, kib);
    const std::string at = command + " under " + std::to_string(kib) + " KiB";
    // below what the system's loader needs for the program itself: nothing of it ran
    if (run.status == 127 && run.err.find("error while loading shared libraries") != std::string::npos)
      return Ending::kNotStarted;
    EXPECT_TRUE(run.status == doneStatus_ || run.status == 1) << at << ": status " << run.status << "\n" << run.err;
    EXPECT_FALSE(fs::remove_all(Path("fc-cache"))) << at << ": the font configuration was called on\n" << run.err;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name.rfind(".kolumo", 0) != 0 && name.find(".part") == std::string::npos) << at << " left " << name;
    }
    const std::string now = Slurp(Path("p.tqx"));
    if (run.status == doneStatus_) {
      EXPECT_TRUE(now == written) << at << ": done, but the position is not what is written without a cap ("
                                  << now.size() << " bytes, not " << written.size() << ")";
      return Ending::kDone;
    }
    EXPECT_NE(run.err.find("Zu wenig Speicher"), std::string::npos) << at << ": another reason\n" << run.err;
    EXPECT_TRUE(now == original) << at << ": the position was changed (" << now.size() << " bytes)";
    if (run.err.find("cannot be loaded") != std::string::npos) return Ending::kNotStarted;
    return Ending::kShortage;
  }

  // Every cap from 1 MiB above the least that the job is done in (found by halving) down to where the module can no
  // longer be loaded, kStepKiB apart.
  void Sweep(const std::string& command, const std::string& name) {
    SCOPED_TRACE(command + " " + name);
    const std::string original = Slurp(fs::path(KOLUMO_TEST_DATA) / (name + ".tqx"));
    const HostRun free = Run(command, original, 0);
    ASSERT_TRUE(free.status == 0 || free.status == 3) << free.err;
    const std::string written = Slurp(Path("p.tqx"));
    EXPECT_FALSE(fs::remove_all(Path("fc-cache"))) << "the font configuration was called on without a cap";
    doneStatus_ = free.status;
    long failed = 1024, done = 1024 * 1024;
    ASSERT_EQ(Judge(command, original, written, done), Ending::kDone);
    while (done - failed > kStepKiB) {
      const long kib = (failed + done) / 2;
      (Judge(command, original, written, kib) == Ending::kDone ? done : failed) = kib;
    }
    int shortages = 0;
    for (long kib = done + 1024; kib > 0; kib -= kStepKiB) {
      const Ending ending = Judge(command, original, written, kib);
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

}  // namespace
