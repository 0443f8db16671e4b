// Text encodings: the module keeps UTF-8 in memory; older files and some outputs use Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace win {

bool IsValidUtf8(std::string_view text);
// Every byte read as Windows-1252 (the five unassigned bytes as the C1 controls of the same value).
std::string Windows1252ToUtf8(std::string_view text);
// Valid UTF-8 as it is, anything else read as Windows-1252.
std::string AsUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);
// Decodes the code point at pos and advances. A byte that starts no valid sequence is returned as it is and
// reported through rawByte (callers take it as a Windows-1252 byte).
char32_t NextCodePoint(std::string_view text, std::size_t& pos, bool* rawByte = nullptr);
// The Windows-1252 byte of a code point, -1 when the code page has none.
int Windows1252Byte(char32_t codePoint);
// The code point of a Windows-1252 byte.
char32_t Windows1252Char(unsigned char byte);
// What a byte of the Symbol font shows: its letters are Greek (a alpha, e epsilon, f phi), some high bytes
// mathematical signs; 0 for a byte the font shows as it is.
char32_t SymbolFontChar(unsigned char byte);
// The Symbol-font byte that shows the code point; -1 when the font has none.
int SymbolFontByte(char32_t codePoint);
// The text as it may go to a terminal: a text from a file must not be able to drive it (set its title, its colours,
// move its cursor). Control characters, but tab and line ends ("\n", "\r\n"), and DEL show as "\x1B", the C1
// controls as "\u009B", a byte that is no UTF-8 as "\xE4"; a backslash before "x" or "u" is doubled, so that such
// a text reads back unambiguously. Letters of every script stay as they are.
std::string TerminalText(std::string_view text);
// A character as an RTF Unicode escape with '?' for readers that do not know it: "\\uN?" with N signed 16-bit,
// beyond the basic plane a surrogate pair of them.
std::string RtfUnicodeEscape(char32_t codePoint);

}  // namespace win
