// The host and the module may call the library from different threads at once.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/viduv/viduv_test_support.h"

namespace viduv_test {
namespace {

TEST(ViduvThreads, ParallelCallersSeeTheirOwnDocumentsAndTexts) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &mismatches] {
      for (int round = 0; round < kRounds; ++round) {
        const std::string text = "thread " + std::to_string(t) + " round " + std::to_string(round);
        const int doc = VIDUV_CreateDoc("root");
        const int child = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "item");
        VIDUV_SetString(child, "text", text.c_str());
        VIDUV_SetInt(child, "n", round);
        if (std::string(VIDUV_GetString(child, "text")) != text || VIDUV_GetInt(child, "n") != round) ++mismatches;
        VIDUV_CloseDoc(doc);
        if (VIDUV_GetInt(child, "n") != 0) ++mismatches;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace viduv_test
