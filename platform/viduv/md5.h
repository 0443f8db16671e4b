// MD5 digest (RFC 1321) for the library's fingerprints; no security rests on it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace viduv::detail {

class Md5 {
 public:
  Md5();
  void update(const void* data, std::size_t size);
  void update(std::string_view text) { update(text.data(), text.size()); }
  std::array<std::uint8_t, 16> finish();

 private:
  void transform(const std::uint8_t* block);

  std::array<std::uint32_t, 4> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::uint64_t byteCount_ = 0;
};

}  // namespace viduv::detail
