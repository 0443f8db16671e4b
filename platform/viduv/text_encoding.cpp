#include "platform/viduv/text_encoding.h"

#include "platform/win/codepage.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

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

bool isValidUtf8(std::string_view text) { return win::IsValidUtf8(text); }

std::string windows1252ToUtf8(std::string_view text) { return win::Windows1252ToUtf8(text); }

std::string asUtf8(std::string_view text) { return win::AsUtf8(text); }

std::string fileBytesToUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::string encoding = declaredEncoding(bytes);
  const bool declaredSingleByte = encoding == "windows-1252" || encoding == "cp1252" || encoding == "iso-8859-1" ||
                                  encoding == "iso8859-1" || encoding == "latin1";
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
