// Text encodings of the library: UTF-8 in memory and in written files, Windows-1252 accepted on reading;
// and the XML name rules.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace viduv::detail {

// The number of ASCII bytes the text starts with.
std::size_t asciiPrefix(std::string_view text);
bool isValidUtf8(std::string_view text);
std::string windows1252ToUtf8(std::string_view text);
// Valid UTF-8 as it is, anything else read as Windows-1252.
std::string asUtf8(std::string_view text);
// The UTF-8 text of a file's bytes: a byte-order mark is dropped; a declaration naming windows-1252 or
// iso-8859-1, or bytes that are not valid UTF-8, mean Windows-1252.
std::string fileBytesToUtf8(std::string_view bytes);

// The UTF-8 text with each character that XML 1.0 does not allow (the controls other than tab, line feed and carriage
// return; U+FFFE and U+FFFF) replaced by U+FFFD, the replacement character, so that the place stays visible; nullopt
// when the text has none.
std::optional<std::string> withXmlCharactersOnly(std::string_view utf8);

// True for a name that XML allows for elements and attributes (UTF-8).
bool isXmlName(std::string_view name);
// A legal name made from any UTF-8 text.
std::string makeXmlName(std::string_view text);

}  // namespace viduv::detail
