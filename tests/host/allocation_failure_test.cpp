// `kolumo calc`, `roundtrip` and `report` with one allocation failing at a time (the shim fail_allocation, preloaded):
// each run ends with status 1, "Zu wenig Speicher" said and every file of its folder as it was, byte for byte, or
// with the status and exactly the files of a run in which nothing failed. Never a signal, never done with less.
#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/folder_files.h"

namespace {

using namespace host_test;

#if defined(KOLUMO_SLOW_TESTS)
// every allocation, three runs at a time
constexpr long kStep = 1;
constexpr int kWorkers = 3;

// The example; $KOLUMO_ALLOCATION_POSITIONS names others ("all": every stored position), for runs of hours.
std::vector<std::string> Positions() {
  const char* named = std::getenv("KOLUMO_ALLOCATION_POSITIONS");
  if (!named || !*named) return {"Stuetze"};
  if (std::string(named) == "all")
    return {"Stuetze", "cantilever_own_weight", "ec2_design", "ec2_na_gb", "ring", "sia262", "two_fields_offset_stage"};
  std::vector<std::string> names;
  std::istringstream list(named);
  for (std::string name; list >> name;) names.push_back(name);
  return names;
}
#else
// a sample of the example's runs, a few hundred allocations apart
constexpr long kStep = 199;
constexpr int kWorkers = 1;

std::vector<std::string> Positions() { return {"Stuetze"}; }
#endif

class AllocationFailureTest : public HostTest {
 protected:
  struct Run {
    int status = -1;  // -1: ended by a signal
    std::string err;
    long allocations = -1;
  };

  // The command on the files `before` in the worker's folder, with allocation n failing (none when n < 0).
  Run Start(int worker, const Files& before, long n) {
    const fs::path work = Work(worker);
    PutFiles(work, before);
    const std::string p = (work / "p.tqx").string();
    const std::string count = Path("count" + std::to_string(worker));
    const std::string err = Path("err" + std::to_string(worker));
    std::string command = "timeout 120 env -u DISPLAY KOLUMO_ROOT=" + Quote(root_.string()) +
                          " LD_PRELOAD=" + Quote(KOLUMO_FAIL_ALLOCATION) + " KOLUMO_TEST_ALLOCATIONS=" + Quote(count) +
                          " KOLUMO_TEST_FAIL_ALLOCATION=" + std::to_string(n) + " " + Quote(KOLUMO_HOST) + " " +
                          command_ + " " + Quote(p) + (command_ == "roundtrip" ? " " + Quote(p) : "") +
                          " >/dev/null 2>" + Quote(err);
    fs::remove(count);
    const int raw = std::system(command.c_str());
    Run run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = Slurp(err);
    const std::string counted = Slurp(count);
    if (!counted.empty()) run.allocations = std::stol(counted);
    return run;
  }
  fs::path Work(int worker) const { return folder_ / ("work" + std::to_string(worker)); }

  // Why run n breaks the rule; empty when it keeps it.
  std::string Judge(int worker, const Run& run, long n) {
    const std::string at = command_ + " with allocation " + std::to_string(n) + " failing: ";
    const Files now = FilesIn(Work(worker));
    if (run.status == done_) {
      if (now == written_) return {};
      return at + "status " + std::to_string(run.status) +
             ", but not the files of a whole run:" + Difference(written_, now);
    }
    if (run.status != 1) return at + "status " + std::to_string(run.status) + "\n" + run.err;
    if (run.err.find("Zu wenig Speicher") == std::string::npos) return at + "status 1 for another reason\n" + run.err;
    if (now != before_) return at + "status 1, but the files were changed:" + Difference(before_, now);
    return {};
  }

  // Runs the command with allocation n failing for n = 0, kStep, 2 kStep, ... to the end of the run; each run keeps
  // the rule. Some of them must have run short.
  void EveryAllocation(const std::string& command, const std::string& name) {
    SCOPED_TRACE(command + " " + name);
    command_ = command;
    before_ = {{"p.tqx", Slurp(fs::path(KOLUMO_TEST_DATA) / (name + ".tqx"))}};
    Run free = Start(0, before_, -1);
    ASSERT_TRUE(free.status == 0 || free.status == 3) << free.err;
    ASSERT_GT(free.allocations, 0) << "the shim counted nothing";
    if (command == "report") {
      before_ = WithPreviousReport(before_, FilesIn(Work(0)));
      free = Start(0, before_, -1);
      ASSERT_EQ(free.status, 0) << free.err;
    }
    done_ = free.status;
    written_ = FilesIn(Work(0));
    const long total = free.allocations;

    std::atomic<long> next{0};
    std::atomic<int> shortages{0};
    std::mutex mutex;
    std::vector<std::string> broken;
    auto work = [&](int worker) {
      for (long i = next++; i * kStep < total; i = next++) {
        const long n = i * kStep;
        const Run run = Start(worker, before_, n);
        const std::string why = Judge(worker, run, n);
        if (run.status == 1) ++shortages;
        if (why.empty()) continue;
        std::lock_guard lock(mutex);
        broken.push_back(why);
      }
    };
    std::vector<std::thread> workers;
    for (int w = 1; w <= kWorkers; ++w) workers.emplace_back(work, w);
    for (std::thread& t : workers) t.join();
    for (std::size_t i = 0; i < broken.size() && i < 8; ++i) ADD_FAILURE() << broken[i];
    EXPECT_TRUE(broken.empty()) << broken.size() << " of " << (total + kStep - 1) / kStep << " runs broke the rule";
    EXPECT_GT(shortages, 0) << "no run ran short: the shim failed nothing";
  }

  void SetUp() override {
    HostTest::SetUp();
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's own allocator stands where the shim replaces operator new";
#endif
  }

  std::string command_;
  Files before_, written_;
  int done_ = 0;
};

TEST_F(AllocationFailureTest, ACalculationShortOfMemoryWritesNothingAndSaysSo) {
  for (const std::string& name : Positions()) EveryAllocation("calc", name);
}

TEST_F(AllocationFailureTest, ARoundtripShortOfMemoryWritesNothingAndSaysSo) {
  for (const std::string& name : Positions()) EveryAllocation("roundtrip", name);
}

TEST_F(AllocationFailureTest, AReportShortOfMemoryKeepsThePreviousOneAndSaysSo) {
  for (const std::string& name : Positions()) EveryAllocation("report", name);
}

}  // namespace
