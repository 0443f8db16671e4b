#include "platform/win/base/codepage.h"

#include <cstdint>
#include <cstdio>

namespace win {
namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252. The five bytes that the code page leaves unassigned
// map to the C1 control of the same value, as the system's own conversion does.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the valid sequence at pos, 0 when none starts there.
std::size_t SequenceLength(std::string_view text, std::size_t pos, char32_t& cp) {
  const std::uint8_t lead = std::uint8_t(text[pos]);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  std::size_t extra;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (pos + extra >= text.size()) return 0;
  char32_t v = lead & (0x3F >> extra);
  for (std::size_t k = 1; k <= extra; ++k) {
    const std::uint8_t next = std::uint8_t(text[pos + k]);
    if ((next & 0xC0) != 0x80) return 0;
    v = (v << 6) | (next & 0x3F);
  }
  if (v < minimum || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  cp = v;
  return extra + 1;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  char32_t cp;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = SequenceLength(text, i, cp);
    if (!n) return false;
    i += n;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    const std::uint8_t byte = std::uint8_t(c);
    if (byte < 0x80)
      out += c;
    else
      AppendUtf8(out, Windows1252Char(byte));
  }
  return out;
}

std::string AsUtf8(std::string_view text) { return IsValidUtf8(text) ? std::string(text) : Windows1252ToUtf8(text); }

char32_t NextCodePoint(std::string_view text, std::size_t& pos, bool* rawByte) {
  char32_t cp = 0;
  std::size_t n = SequenceLength(text, pos, cp);
  if (rawByte) *rawByte = n == 0;
  if (!n) return std::uint8_t(text[pos++]);
  pos += n;
  return cp;
}

char32_t Windows1252Char(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte; }

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto escaped = [&out](const char* form, unsigned value) {
    char code[8];
    std::snprintf(code, sizeof code, form, value);
    out += code;
  };
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    bool raw = false;
    const char32_t c = NextCodePoint(text, pos, &raw);
    const bool lineEnd = c == '\n' || (c == '\r' && pos < text.size() && text[pos] == '\n');
    if (raw || (c < 0x20 && c != '\t' && !lineEnd) || c == 0x7F)
      escaped("\\x%02X", unsigned(std::uint8_t(text[start])));
    else if (c >= 0x80 && c <= 0x9F)
      escaped("\\u%04X", unsigned(c));
    else if (c == '\\' && pos < text.size() && (text[pos] == 'x' || text[pos] == 'u'))
      out += "\\\\";
    else
      out.append(text, start, pos - start);
  }
  return out;
}

int Windows1252Byte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

namespace {
// The Symbol font's letters in Latin order: A..Z, then a..z (J, V, j and v are variant letters).
constexpr char32_t kSymbolLetters[52] = {0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399, 0x3D1, 0x39A,
                                         0x39B, 0x39C, 0x39D, 0x39F, 0x3A0, 0x398, 0x3A1, 0x3A3, 0x3A4, 0x3A5, 0x3C2,
                                         0x3A9, 0x39E, 0x3A8, 0x396, 0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3,
                                         0x3B7, 0x3B9, 0x3D5, 0x3BA, 0x3BB, 0x3BC, 0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1,
                                         0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};
struct SymbolSign {
  unsigned char byte;
  char32_t sign;
};
constexpr SymbolSign kSymbolSigns[] = {{0xA3, 0x2264}, {0xA5, 0x221E}, {0xB0, 0xB0},   {0xB1, 0xB1},   {0xB3, 0x2265},
                                       {0xB4, 0xD7},   {0xB6, 0x2202}, {0xB8, 0xF7},   {0xB9, 0x2260}, {0xBB, 0x2248},
                                       {0xC6, 0x2205}, {0xD6, 0x221A}, {0xE5, 0x2211}, {0xF2, 0x222B}};
}  // namespace

char32_t SymbolFontChar(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return kSymbolLetters[byte - 'A'];
  if (byte >= 'a' && byte <= 'z') return kSymbolLetters[26 + byte - 'a'];
  for (const SymbolSign& s : kSymbolSigns)
    if (s.byte == byte) return s.sign;
  return 0;
}

int SymbolFontByte(char32_t cp) {
  for (int i = 0; i < 52; ++i)
    if (kSymbolLetters[i] == cp) return i < 26 ? 'A' + i : 'a' + i - 26;
  for (const SymbolSign& s : kSymbolSigns)
    if (s.sign == cp) return s.byte;
  return -1;
}

std::string RtfUnicodeEscape(char32_t cp) {
  auto one = [](char32_t unit) { return "\\u" + std::to_string(int(std::int16_t(std::uint16_t(unit)))) + "?"; };
  if (cp <= 0xFFFF) return one(cp);
  const char32_t v = cp - 0x10000;
  return one(0xD800 + (v >> 10)) + one(0xDC00 + (v & 0x3FF));
}

}  // namespace win
