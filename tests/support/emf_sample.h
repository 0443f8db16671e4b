// A small enhanced metafile as a drawing program writes one: the header record, one rectangle, the end record
// (88 + 24 + 20 = 132 bytes). Its frame is 50 x 25 mm (5000 x 2500 hundredths of a millimetre).
#pragma once

#include <cstdint>
#include <vector>

namespace test_support {

inline std::vector<unsigned char> SmallEmf() {
  std::vector<unsigned char> b;
  auto put = [&b](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  // header: type 1, size 88, bounds in device pixels (50 mm are 160 of 1024 pixels over 320 mm), frame in 0.01 mm, " EMF", version, bytes, records,
  // handles, no description, no palette, the device's pixels and millimetres
  for (std::uint32_t v : {1u,       88u,  0u, 0u, 159u, 79u, 0u, 0u,    5000u, 2500u, 0x464D4520u,
                          0x10000u, 132u, 3u, 1u, 0u,   0u,  0u, 1024u, 768u,  320u,  240u})
    put(v);
  // rectangle: type 43, size 24, its box in logical units
  for (std::uint32_t v : {43u, 24u, 10u, 10u, 150u, 70u}) put(v);
  // end: type 14, size 20, no palette entries, their offset, the size again
  for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) put(v);
  return b;
}

}  // namespace test_support
