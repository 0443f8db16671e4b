// The allocator of a test program made to run short: its operator new throws std::bad_alloc at the allocation
// chosen, so that every allocation of a call can be made to fail in turn. It replaces the allocator of the whole
// program: a program of its own links it.
#pragma once

#include <functional>

namespace failing_allocations {

// The next `allowed` allocations succeed and the one after them fails; negative: none fails.
void Allow(long allowed);
// Counts an allocation that another allocator makes (a library's own hooks): true when it is the one to fail.
bool FailNow();

enum class Outcome { kDone, kThrew };

// Runs `call` with its n-th allocation failing, for n = 0, 1, ... until a run needs fewer; `prepare` runs before
// each call and `check` judges each run, both with every allocation allowed. A call that throws std::bad_alloc
// without a failed allocation fails the test. Returns the number of runs in which the call threw.
int EveryAllocationFails(const std::function<void()>& prepare, const std::function<void()>& call,
                         const std::function<void(Outcome, long)>& check);

}  // namespace failing_allocations
