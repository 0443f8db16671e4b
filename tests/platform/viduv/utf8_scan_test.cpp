// The UTF-8 check that skips ASCII a word at a time judges every text as the byte-by-byte rules do, wherever a
// sequence falls against the eight-byte words.
#include <gtest/gtest.h>

#include <string>

#include "platform/viduv/text_encoding.h"
#include "platform/win/base/codepage.h"

namespace {

using viduv::detail::asciiPrefix;
using viduv::detail::isValidUtf8;

// ASCII before the bytes under test: 0 to 9 bytes put them at every place of the first word and into the next.
std::string Pad(int n) { return std::string(std::size_t(n), 'a'); }

TEST(Utf8Scan, HandPickedSequences) {
  const struct {
    const char* name;
    std::string bytes;
    bool valid;
  } cases[] = {
      {"empty", "", true},
      {"umlaut", "\xC3\xBC", true},
      {"euro, three bytes", "\xE2\x82\xAC", true},
      {"four bytes", "\xF0\x9F\x98\x80", true},
      {"lone continuation", "\x80", false},
      {"overlong slash", "\xC0\xAF", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"lead F5", "\xF5\x80\x80\x80", false},
      {"truncated at the end", "\xE2\x82", false},
      {"lead then ASCII",
       "\xC3"
       "a",
       false},
      {"Windows-1252 umlaut", "St\xFCtze", false},
  };
  for (const auto& c : cases)
    for (int pad = 0; pad <= 9; ++pad) {
      for (const std::string& text : {Pad(pad) + c.bytes, Pad(pad) + c.bytes + Pad(9)})
        EXPECT_EQ(isValidUtf8(text), c.valid) << c.name << ", " << pad << " ASCII bytes before";
    }
}

// Every pair of bytes, and every three bytes after a lead of three or four, at each place against the words.
TEST(Utf8Scan, AgreesWithTheByteByByteRulesOnEveryShortSequence) {
  int checked = 0;
  for (int pad = 0; pad <= 9; ++pad) {
    const std::string before = Pad(pad);
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) {
        const std::string two = before + char(a) + char(b);
        ASSERT_EQ(isValidUtf8(two), win::IsValidUtf8(two)) << pad << " " << a << " " << b;
        ++checked;
        if (a < 0xE0 || (b & 0xC0) != 0x80) continue;
        for (int c = 0; c < 256; ++c) {
          const std::string three = two + char(c) + "z";
          ASSERT_EQ(isValidUtf8(three), win::IsValidUtf8(three)) << pad << " " << a << " " << b << " " << c;
          ++checked;
        }
      }
  }
  EXPECT_GT(checked, 10 * 65536);
}

TEST(Utf8Scan, AsciiPrefixStopsAtTheFirstHighByte) {
  EXPECT_EQ(asciiPrefix(""), 0u);
  EXPECT_EQ(asciiPrefix("abcdefghijk"), 11u);
  for (int pad = 0; pad <= 17; ++pad) EXPECT_EQ(asciiPrefix(Pad(pad) + "\xC3\xBC" + Pad(8)), std::size_t(pad)) << pad;
}

}  // namespace
