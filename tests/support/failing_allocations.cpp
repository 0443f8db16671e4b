#include "tests/support/failing_allocations.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace failing_allocations {
namespace {

std::atomic<long> g_allowed{-1};
std::atomic<bool> g_failed{false};

}  // namespace

void Allow(long allowed) {
  g_failed = false;
  g_allowed = allowed;
}

bool FailNow() {
  long allowed = g_allowed.load();
  while (allowed >= 0 && !g_allowed.compare_exchange_weak(allowed, allowed - 1)) {}
  if (allowed != 0) return false;
  g_failed = true;
  return true;
}

int EveryAllocationFails(const std::function<void()>& prepare, const std::function<void()>& call,
                         const std::function<void(Outcome, long)>& check) {
  int threw = 0;
  for (long n = 0;; ++n) {
    prepare();
    Allow(n);
    Outcome outcome = Outcome::kDone;
    try {
      call();
    } catch (const std::bad_alloc&) {
      outcome = Outcome::kThrew;
    }
    g_allowed = -1;
    const bool failed = g_failed;
    if (outcome == Outcome::kThrew) {
      EXPECT_TRUE(failed) << "allocation " << n << ": threw while memory was there";
      ++threw;
    }
    check(outcome, n);
    if (!failed) break;
    if (n > 100000) {
      ADD_FAILURE() << "no end";
      break;
    }
  }
  return threw;
}

}  // namespace failing_allocations

// The replaced pair allocates by malloc and frees by free, which the compiler takes for a mismatch where it inlines
// them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  if (failing_allocations::FailNow()) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
