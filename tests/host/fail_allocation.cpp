// Loaded into the host by a test (LD_PRELOAD): every form of operator new counts its calls from the start of main,
// and the one numbered $KOLUMO_TEST_FAIL_ALLOCATION (from 0) fails as a shortage of memory does: the throwing forms
// throw std::bad_alloc, the nothrow forms give nullptr. Only that one fails; the static tables built before main are
// never made to fail. When $KOLUMO_TEST_ALLOCATIONS names a file, the count of the calls is written there at exit.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_calls{0};
long g_fail = -1;

// Whether this call is the one to fail.
bool FailNow() {
  if (!g_counting.load(std::memory_order_relaxed)) return false;
  return g_calls.fetch_add(1, std::memory_order_relaxed) == g_fail;
}

void* Allocate(std::size_t size, std::size_t alignment) {
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  void* block = nullptr;
  return ::posix_memalign(&block, alignment, size) == 0 ? block : nullptr;
}

void* Throwing(std::size_t size, std::size_t alignment = 0) {
  if (FailNow()) throw std::bad_alloc();
  if (void* block = Allocate(size, alignment)) return block;
  throw std::bad_alloc();
}

void* Nothrow(std::size_t size, std::size_t alignment = 0) noexcept {
  return FailNow() ? nullptr : Allocate(size, alignment);
}

using Main = int (*)(int, char**, char**);
Main g_main = nullptr;

int CountingMain(int argc, char** argv, char** env) {
  if (const char* n = std::getenv("KOLUMO_TEST_FAIL_ALLOCATION"); n && *n) g_fail = std::strtol(n, nullptr, 10);
  g_counting = true;
  return g_main(argc, argv, env);
}

__attribute__((destructor)) void WriteCount() {
  const char* file = std::getenv("KOLUMO_TEST_ALLOCATIONS");
  if (!file || !*file || !g_counting) return;
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%ld\n", g_calls.load());
  const int fd = ::open(file, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  [[maybe_unused]] const auto written = ::write(fd, text, std::size_t(length));
  ::close(fd);
}

}  // namespace

// The program's main is started through this, so that counting begins with it.
extern "C" int __libc_start_main(Main main, int argc, char** argv, void (*init)(), void (*fini)(), void (*rtldFini)(),
                                 void* stackEnd) {
  using Start = int (*)(Main, int, char**, void (*)(), void (*)(), void (*)(), void*);
  const auto real = reinterpret_cast<Start>(dlsym(RTLD_NEXT, "__libc_start_main"));
  g_main = main;
  return real(CountingMain, argc, argv, init, fini, rtldFini, stackEnd);
}

// The replaced forms allocate by malloc and free by free, which the compiler takes for a mismatch where it inlines
// them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) { return Throwing(size); }
void* operator new[](std::size_t size) { return Throwing(size); }
void* operator new(std::size_t size, std::align_val_t a) { return Throwing(size, std::size_t(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return Throwing(size, std::size_t(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Nothrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Nothrow(size); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Nothrow(size, std::size_t(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Nothrow(size, std::size_t(a));
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
