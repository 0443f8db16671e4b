// Sums over ranges of a growing list of numbers at a cost that does not grow with the ranges: the exact sum of the
// numbers before each position is kept, and a range's sum is the difference of two of them, rounded once.
// Exact, because a difference of rounded running sums would lose a small range beside a large number before it
// (1e20, then 0.001: the sum of the last alone would come out as 0).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// A sum of doubles without rounding: a fixed-point number covering every double and the sum of 2^31 of them.
class ExactSum {
 public:
  void Add(double value) { Accumulate(value, false); }
  void Subtract(double value) { Accumulate(value, true); }
  void Add(const ExactSum& other);
  void Subtract(const ExactSum& other);
  // The sum rounded once to the nearest double (ties to even); NaN, infinities and overflow as a double sum has them.
  double Value() const;

 private:
  friend class RunningSums;
  static constexpr int kLimbs = 68;  // 2176 bits in units of 2^-1088: below the least and above the largest double
  void Accumulate(double value, bool negate);
  void AddLimbs(const std::array<std::uint32_t, kLimbs>& other, bool negate);
  bool Negative() const { return (limbs_[kLimbs - 1] & 0x80000000u) != 0; }

  std::array<std::uint32_t, kLimbs> limbs_{};  // two's complement, least significant first
  // Values that are not finite, counted apart: they do not cancel.
  std::int64_t nan_ = 0, plusInfinity_ = 0, minusInfinity_ = 0;
};

// The exact sums of the first 0, 1, 2, ... numbers of a list, kept compactly (mostly a few words each).
class RunningSums {
 public:
  // How many numbers have been appended.
  std::size_t Count() const { return packed_.size() - 1; }
  void Append(double value);
  // The exact sum of the numbers at positions first .. end - 1 (first <= end <= Count()).
  ExactSum Range(std::size_t first, std::size_t end) const;

 private:
  struct Packed {
    std::int32_t nan = 0, plusInfinity = 0, minusInfinity = 0;
    std::uint16_t low = 0;  // limbs below are 0
    bool negative = false;  // limbs from low + stored on are all ones, else all zeros
  };
  ExactSum Unpack(std::size_t index) const;

  ExactSum total_;
  std::vector<Packed> packed_{Packed{}};
  std::vector<std::size_t> offsets_{0, 0};  // the stored limbs of sum i are words_[offsets_[i] .. offsets_[i + 1])
  std::vector<std::uint32_t> words_;
};
