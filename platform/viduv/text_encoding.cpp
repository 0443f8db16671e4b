#include "platform/viduv/text_encoding.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace viduv::detail {
namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252. The five bytes that the code page leaves unassigned
// map to the C1 control of the same value, as the system's own conversion does.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
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

// Decodes one code point of valid UTF-8 at `pos` and advances; the caller has checked validity.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return std::uint8_t(text[i]); };
  const std::uint8_t lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (byte(pos + k) & 0x3F);
  pos += extra + 1;
  return cp;
}

bool isNameStart(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
  return isNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The encoding named in an XML declaration at the start of the text, lower-cased; "" when there is none.
std::string declaredEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml") return {};
  const std::size_t end = text.find("?>");
  const std::string_view declaration = text.substr(0, end);
  const std::size_t key = declaration.find("encoding");
  if (key == std::string_view::npos) return {};
  std::size_t pos = declaration.find_first_of("\"'", key);
  if (pos == std::string_view::npos) return {};
  const char quote = declaration[pos];
  const std::size_t close = declaration.find(quote, pos + 1);
  if (close == std::string_view::npos) return {};
  std::string name(declaration.substr(pos + 1, close - pos - 1));
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return name;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::uint8_t lead = std::uint8_t(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    int extra;
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
      return false;
    }
    if (i + extra >= text.size()) return false;
    char32_t cp = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const std::uint8_t next = std::uint8_t(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

std::string windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    const std::uint8_t byte = std::uint8_t(c);
    if (byte < 0x80) {
      out += c;
    } else if (byte < 0xA0) {
      appendUtf8(out, kWindows1252High[byte - 0x80]);
    } else {
      appendUtf8(out, byte);
    }
  }
  return out;
}

std::string asUtf8(std::string_view text) {
  return isValidUtf8(text) ? std::string(text) : windows1252ToUtf8(text);
}

std::string fileBytesToUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::string encoding = declaredEncoding(bytes);
  const bool declaredSingleByte = encoding == "windows-1252" || encoding == "cp1252" ||
                                  encoding == "iso-8859-1" || encoding == "iso8859-1" || encoding == "latin1";
  if (declaredSingleByte || !isValidUtf8(bytes)) return windows1252ToUtf8(bytes);
  return std::string(bytes);
}

bool isXmlName(std::string_view name) {
  if (name.empty() || !isValidUtf8(name)) return false;
  std::size_t pos = 0;
  if (!isNameStart(nextCodePoint(name, pos))) return false;
  while (pos < name.size()) {
    if (!isNameChar(nextCodePoint(name, pos))) return false;
  }
  return true;
}

std::string makeXmlName(std::string_view text) {
  const std::string utf8 = asUtf8(text);
  std::string name;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    const char32_t cp = nextCodePoint(utf8, pos);
    // A colon would make the name a namespace prefix.
    if (cp != ':' && isNameChar(cp)) {
      name.append(utf8, start, pos - start);
    } else {
      name += '_';
    }
  }
  std::size_t first = 0;
  if (name.empty() || !isNameStart(nextCodePoint(name, first))) name.insert(0, 1, '_');
  return name;
}

}  // namespace viduv::detail
