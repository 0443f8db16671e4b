#include "document/runningsums.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {
constexpr int kFractionBits = 52;
constexpr int kUnitExponent = -1088;  // the fixed point's least bit is 2^-1088, a multiple of 32 below 2^-1074
}  // namespace

void ExactSum::Accumulate(double value, bool negate) {
  const int step = negate ? -1 : 1;
  if (std::isnan(value)) {
    nan_ += step;
    return;
  }
  if (std::isinf(value)) {
    (value > 0 ? plusInfinity_ : minusInfinity_) += step;
    return;
  }
  if (value == 0.0) return;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  const int field = int((bits >> kFractionBits) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t(1) << kFractionBits) - 1);
  // value = mantissa * 2^exponent, exactly; a subnormal has no hidden bit and the least exponent
  const std::uint64_t mantissa = field == 0 ? fraction : fraction | (std::uint64_t(1) << kFractionBits);
  const int exponent = (field == 0 ? 1 : field) - 1075;
  const int offset = exponent - kUnitExponent;
  const int shift = offset % 32;
  // The mantissa shifted into place spans at most three limbs.
  const unsigned __int128 placed = static_cast<unsigned __int128>(mantissa) << shift;
  std::uint32_t parts[3] = {std::uint32_t(placed), std::uint32_t(placed >> 32), std::uint32_t(placed >> 64)};
  const bool subtract = (value < 0) != negate;
  std::uint64_t carry = subtract ? 1 : 0;  // two's complement: add the inverted parts and one
  for (int i = offset / 32, k = 0; i < kLimbs; ++i, ++k) {
    std::uint32_t part = k < 3 ? parts[k] : 0;
    if (subtract) part = ~part;
    // Past the parts only a carry (adding) or the run of ones that a borrow makes (subtracting) goes on.
    if (k >= 3 && ((!subtract && carry == 0) || (subtract && carry == 1))) break;
    const std::uint64_t sum = std::uint64_t(limbs_[std::size_t(i)]) + part + carry;
    limbs_[std::size_t(i)] = std::uint32_t(sum);
    carry = sum >> 32;
  }
}

void ExactSum::AddLimbs(const std::array<std::uint32_t, kLimbs>& other, bool negate) {
  std::uint64_t carry = negate ? 1 : 0;
  for (std::size_t i = 0; i < std::size_t(kLimbs); ++i) {
    const std::uint64_t sum = std::uint64_t(limbs_[i]) + (negate ? ~other[i] : other[i]) + carry;
    limbs_[i] = std::uint32_t(sum);
    carry = sum >> 32;
  }
}

void ExactSum::Add(const ExactSum& other) {
  AddLimbs(other.limbs_, false);
  nan_ += other.nan_;
  plusInfinity_ += other.plusInfinity_;
  minusInfinity_ += other.minusInfinity_;
}

void ExactSum::Subtract(const ExactSum& other) {
  AddLimbs(other.limbs_, true);
  nan_ -= other.nan_;
  plusInfinity_ -= other.plusInfinity_;
  minusInfinity_ -= other.minusInfinity_;
}

double ExactSum::Value() const {
  if (nan_ > 0 || (plusInfinity_ > 0 && minusInfinity_ > 0)) return std::numeric_limits<double>::quiet_NaN();
  if (plusInfinity_ > 0) return std::numeric_limits<double>::infinity();
  if (minusInfinity_ > 0) return -std::numeric_limits<double>::infinity();
  const bool negative = Negative();
  std::array<std::uint32_t, kLimbs> magnitude = limbs_;
  if (negative) {
    std::uint64_t carry = 1;
    for (std::uint32_t& limb : magnitude) {
      const std::uint64_t sum = std::uint64_t(~limb) + carry;
      limb = std::uint32_t(sum);
      carry = sum >> 32;
    }
  }
  int top = kLimbs - 1;
  while (top >= 0 && magnitude[std::size_t(top)] == 0) --top;
  if (top < 0) return 0.0;
  auto bit = [&magnitude](int at) { return (magnitude[std::size_t(at / 32)] >> (at % 32)) & 1u; };
  const int highest = top * 32 + 31 - std::countl_zero(magnitude[std::size_t(top)]);
  // The 53 bits from the highest down, and whether what lies below them is more, less or just half of a unit of
  // the last of them.
  const int low = std::max(0, highest - kFractionBits);
  std::uint64_t mantissa = 0;
  for (int at = highest; at >= low; --at) mantissa = (mantissa << 1) | bit(at);
  if (low > 0 && bit(low - 1)) {
    bool sticky = false;
    const int below = low - 1;
    for (int i = 0; i < below / 32 && !sticky; ++i) sticky = magnitude[std::size_t(i)] != 0;
    if (!sticky && below % 32 != 0) sticky = (magnitude[std::size_t(below / 32)] & ((1u << (below % 32)) - 1)) != 0;
    if (sticky || (mantissa & 1)) ++mantissa;  // a carry out of 53 bits still makes an exact double
  }
  const double value = std::ldexp(double(mantissa), low + kUnitExponent);
  return negative ? -value : value;
}

void RunningSums::Append(double value) {
  total_.Add(value);
  const auto& limbs = total_.limbs_;
  const bool negative = total_.Negative();
  const std::uint32_t fill = negative ? 0xFFFFFFFFu : 0u;
  int low = 0;
  while (low < ExactSum::kLimbs && limbs[std::size_t(low)] == 0) ++low;
  int high = ExactSum::kLimbs;
  while (high > 0 && limbs[std::size_t(high - 1)] == fill) --high;
  if (low >= ExactSum::kLimbs) low = 0;
  high = std::max(high, low);
  Packed packed;
  packed.nan = std::int32_t(total_.nan_);
  packed.plusInfinity = std::int32_t(total_.plusInfinity_);
  packed.minusInfinity = std::int32_t(total_.minusInfinity_);
  packed.low = std::uint16_t(low);
  packed.negative = negative;
  words_.insert(words_.end(), limbs.begin() + low, limbs.begin() + high);
  packed_.push_back(packed);
  offsets_.push_back(words_.size());
}

ExactSum RunningSums::Unpack(std::size_t index) const {
  const Packed& packed = packed_[index];
  ExactSum sum;
  sum.nan_ = packed.nan;
  sum.plusInfinity_ = packed.plusInfinity;
  sum.minusInfinity_ = packed.minusInfinity;
  const std::size_t from = offsets_[index], to = offsets_[index + 1];
  std::copy(words_.begin() + std::ptrdiff_t(from), words_.begin() + std::ptrdiff_t(to),
            sum.limbs_.begin() + packed.low);
  std::fill(sum.limbs_.begin() + std::ptrdiff_t(packed.low + (to - from)), sum.limbs_.end(),
            packed.negative ? 0xFFFFFFFFu : 0u);
  return sum;
}

ExactSum RunningSums::Range(std::size_t first, std::size_t end) const {
  ExactSum sum = Unpack(end);
  sum.Subtract(Unpack(first));
  return sum;
}
