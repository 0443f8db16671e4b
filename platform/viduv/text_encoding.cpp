#include "platform/viduv/text_encoding.h"

#include "platform/win/base/codepage.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace viduv::detail {
namespace {

// Decodes one code point of valid UTF-8 at `pos` and advances; the caller has checked validity.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) { return win::NextCodePoint(text, pos); }

bool isNameStart(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
  return isNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
         (c >= 0x203F && c <= 0x2040);
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

std::size_t asciiPrefix(std::string_view text) {
  // eight bytes at a time: files and names are mostly ASCII
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  while (i < text.size() && std::uint8_t(text[i]) < 0x80) ++i;
  return i;
}

bool isValidUtf8(std::string_view text) {
  // Validity holds sequence by sequence: ASCII runs are skipped, and each other sequence, as long as its lead
  // byte says, is judged alone by the full rules.
  for (std::size_t i = asciiPrefix(text); i < text.size(); i += asciiPrefix(text.substr(i))) {
    const std::uint8_t lead = std::uint8_t(text[i]);
    const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (!win::IsValidUtf8(text.substr(i, n))) return false;
    i += n;
  }
  return true;
}

std::string windows1252ToUtf8(std::string_view text) { return win::Windows1252ToUtf8(text); }

std::string asUtf8(std::string_view text) {
  return isValidUtf8(text) ? std::string(text) : win::Windows1252ToUtf8(text);
}

std::string fileBytesToUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::string encoding = declaredEncoding(bytes);
  const bool declaredSingleByte = encoding == "windows-1252" || encoding == "cp1252" || encoding == "iso-8859-1" ||
                                  encoding == "iso8859-1" || encoding == "latin1";
  if (declaredSingleByte || !isValidUtf8(bytes)) return windows1252ToUtf8(bytes);
  return std::string(bytes);
}

std::optional<std::string> withXmlCharactersOnly(std::string_view utf8) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  // Bytes below 0x20 are never part of a longer sequence; 0xEF is always a lead byte.
  const auto forbiddenAt = [&](std::size_t i) -> std::size_t {
    const std::uint8_t byte = std::uint8_t(utf8[i]);
    if (byte < 0x20) return byte == '\t' || byte == '\n' || byte == '\r' ? 0 : 1;
    if (byte == 0xEF && i + 2 < utf8.size() && std::uint8_t(utf8[i + 1]) == 0xBF &&
        (std::uint8_t(utf8[i + 2]) & 0xFE) == 0xBE)
      return 3;
    return 0;
  };
  std::size_t i = 0;
  while (i < utf8.size() && forbiddenAt(i) == 0) ++i;
  if (i == utf8.size()) return std::nullopt;
  std::string allowed(utf8.substr(0, i));
  while (i < utf8.size()) {
    if (const std::size_t length = forbiddenAt(i); length > 0) {
      allowed += kReplacement;
      i += length;
    } else {
      allowed += utf8[i++];
    }
  }
  return allowed;
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
