// Seeded mutation of test inputs: bytes flipped, words of the input's own language put in, pieces cut, doubled or
// swapped, the text cut short. Case n of a run uses seed n, so a failure names the one case to run again.
// KOLUMO_FUZZ_CASES bounds the number of cases and KOLUMO_FUZZ_SECONDS the time of one loop: a few hundred cases in
// the default run, many in the slow one. The environment's KOLUMO_FUZZ_SEED moves the seeds of a run (a slow run
// given another one tries other cases).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#ifndef KOLUMO_FUZZ_CASES
#define KOLUMO_FUZZ_CASES 300
#endif
#ifndef KOLUMO_FUZZ_SECONDS
#define KOLUMO_FUZZ_SECONDS 6
#endif

namespace fuzz {

class Mutator {
 public:
  explicit Mutator(unsigned seed) : random_(seed) {}

  std::size_t Pick(std::size_t n) { return n == 0 ? 0 : std::size_t(random_() % n); }
  bool Chance(std::size_t oneIn) { return Pick(oneIn) == 0; }
  template <typename T, std::size_t N>
  const T& From(const T (&items)[N]) {
    return items[Pick(N)];
  }
  std::mt19937& Engine() { return random_; }

  // One to `most` changes of the text, words taken from the dictionary.
  std::string Mutate(std::string text, const std::vector<std::string>& words, int most = 6) {
    const int changes = 1 + int(Pick(std::size_t(most)));
    for (int k = 0; k < changes; ++k) {
      const std::size_t at = Pick(text.size() + 1);
      switch (Pick(8)) {
        case 0:
          if (!text.empty()) text[Pick(text.size())] ^= char(1u << Pick(8));
          break;
        case 1:
          if (!text.empty()) text[Pick(text.size())] = char(Pick(256));
          break;
        case 2:
        case 3:
          if (!words.empty()) text.insert(at, words[Pick(words.size())]);
          break;
        case 4: text.erase(at, 1 + Pick(Chance(4) ? 4096 : 16)); break;
        case 5: {  // a piece doubled
          const std::size_t from = Pick(text.size() + 1), n = Pick(Chance(4) ? 8192 : 64);
          text.insert(at, text.substr(from, n));
          break;
        }
        case 6: {  // two pieces swapped
          if (text.size() < 4) break;
          std::size_t a = Pick(text.size()), b = Pick(text.size());
          if (a > b) std::swap(a, b);
          const std::size_t n = std::min(Pick(256), b - a);
          const std::string first = text.substr(a, n), second = text.substr(b, n);
          text.replace(b, second.size(), first);
          text.replace(a, n, second);
          break;
        }
        default:
          if (Chance(3)) text.resize(at);  // cut short
          break;
      }
    }
    return text;
  }

 private:
  std::mt19937 random_;
};

// Runs body(seed) for the cases of the run, stopping early when the time is up or at the first failure (the
// failing seed is reported); the number run.
template <typename Body>
int RunCases(unsigned firstSeed, Body body, int cases = KOLUMO_FUZZ_CASES, int seconds = KOLUMO_FUZZ_SECONDS) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  if (const char* moved = std::getenv("KOLUMO_FUZZ_SEED")) firstSeed += unsigned(std::strtoul(moved, nullptr, 10));
  int n = 0;
  for (; n < cases && std::chrono::steady_clock::now() < end; ++n) {
    body(firstSeed + unsigned(n));
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "fuzz case with seed " << firstSeed + unsigned(n) << " failed";
      return n + 1;
    }
  }
  std::printf("%d fuzz cases\n", n);
  return n;
}

}  // namespace fuzz
