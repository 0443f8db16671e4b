#include "platform/richedit/richdoc.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/win/base/codepage.h"
#include "platform/win/base/numbers.h"

namespace richdoc {

namespace {

bool IsRowWord(std::string_view w) {
  return w.starts_with("tr") || w.starts_with("cl") || w.starts_with("brdr") || w == "cellx";
}

// Words the body understands; any other word met before the body is kept as raw prologue.
bool IsBodyWord(const std::string& w) {
  static const char* const words[] = {"pard", "plain", "par",        "b",    "i",    "ul",  "ulnone", "ulwave",
                                      "sub",  "super", "nosupersub", "v",    "f",    "fs",  "cf",     "ql",
                                      "qc",   "qr",    "qj",         "li",   "fi",   "ri",  "sl",     "slmult",
                                      "s",    "tab",   "line",       "page", "cell", "row", "intbl",  "lang",
                                      "sb",   "sa",    "keepn",      "tx",   "tqr",  "tqc", "tqdec"};
  for (const char* word : words)
    if (w == word) return true;
  return IsRowWord(w);
}

// What a byte is to the reader, looked up rather than compared: a letter of a word's name (what std::isalpha says
// in the "C" locale), a digit, or a byte that opens, closes or escapes. The scans over a report's megabytes of
// words and picture data ask it for every byte.
enum : unsigned char { kLetterByte = 1, kDigitByte = 2, kGroupByte = 4 };
constexpr std::array<unsigned char, 256> kByteKinds = [] {
  std::array<unsigned char, 256> kinds{};
  for (int c = 'a'; c <= 'z'; ++c) kinds[std::size_t(c)] = kLetterByte;
  for (int c = 'A'; c <= 'Z'; ++c) kinds[std::size_t(c)] = kLetterByte;
  for (int c = '0'; c <= '9'; ++c) kinds[std::size_t(c)] = kDigitByte;
  kinds[std::size_t('\\')] = kinds[std::size_t('{')] = kinds[std::size_t('}')] = kGroupByte;
  return kinds;
}();
bool ByteIs(char c, unsigned char kind) { return (kByteKinds[static_cast<unsigned char>(c)] & kind) != 0; }
bool IsAsciiLetter(char c) { return ByteIs(c, kLetterByte); }
bool IsDigit(char c) { return ByteIs(c, kDigitByte); }

}  // namespace

std::size_t GroupEnd(const std::string& text, std::size_t at) {
  int depth = 0;
  const char* p = text.data();
  for (std::size_t i = at, n = text.size(); i < n; ++i) {
    if (!ByteIs(p[i], kGroupByte)) continue;
    const char c = p[i];
    if (c == '\\') {
      ++i;
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}' && --depth == 0) return i + 1;
  }
  throw RtfError("the RTF text ends inside a group (a closing brace is missing)");
}

namespace {

// A control word or symbol as ReadWord reads it, its name a view into the text: the body reads its many words
// without copying their names.
struct RawWord {
  std::string_view name;
  char symbol = 0;
  bool hasParam = false;
  long param = 0;
  std::size_t end = 0;
};

RawWord ReadRawWord(const std::string& text, std::size_t at) {
  RawWord w;
  std::size_t i = at + 1;
  if (i >= text.size()) throw RtfError("the RTF text ends with a lone backslash");
  if (!IsAsciiLetter(text[i])) {
    w.symbol = text[i];
    w.end = i + 1;
    if (w.symbol == '\'') {
      if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
          !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
        throw RtfError("a hexadecimal character escape (\\'hh) is incomplete");
      auto hex = [](char c) { return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; };
      w.param = hex(text[i + 1]) * 16 + hex(text[i + 2]);
      w.end = i + 3;
    }
    return w;
  }
  // The text's terminating zero ends every scan below: it is no letter, digit, minus or blank.
  const char* p = text.c_str();
  const std::size_t nameStart = i;
  while (IsAsciiLetter(p[i])) ++i;
  w.name = std::string_view(p + nameStart, i - nameStart);
  const bool negative = p[i] == '-';
  const std::size_t firstDigit = negative ? i + 1 : i;
  std::size_t k = firstDigit;
  // the number as strtol reads it, clamped to an int (a number beyond a long reads as the long's limit)
  constexpr long kBeyond = long(INT_MAX) + 1;
  long value = 0;
  for (; IsDigit(p[k]); ++k) value = std::min(value * 10 + (p[k] - '0'), kBeyond);
  if (k > firstDigit) {
    w.hasParam = true;
    w.param = std::clamp(negative ? -value : value, long(INT_MIN), long(INT_MAX));
    i = k;
  }
  if (p[i] == ' ') ++i;
  w.end = i;
  return w;
}

}  // namespace

Word ReadWord(const std::string& text, std::size_t at) {
  const RawWord raw = ReadRawWord(text, at);
  Word w;
  w.name.assign(raw.name);
  w.symbol = raw.symbol;
  w.hasParam = raw.hasParam;
  w.param = raw.param;
  w.end = raw.end;
  return w;
}

namespace {

// The first control word of the group at text[at] and whether it is marked "\*".
std::string GroupWord(const std::string& text, std::size_t at, bool& starred) {
  starred = false;
  std::size_t i = at + 1;
  while (i < text.size() && (text[i] == '\r' || text[i] == '\n')) ++i;
  if (text.compare(i, 2, "\\*") == 0) {
    starred = true;
    i += 2;
  }
  if (i < text.size() && text[i] == '\\') return ReadWord(text, i).name;
  return {};
}

// The word's number within [lo, hi].
template <class AnyWord>
int Param(const AnyWord& w, long lo, long hi) {
  return int(std::clamp(w.param, lo, hi));
}

// Calls f(word, at) for every control word at the outermost level of the text (not inside a group) and
// g(at, end) for every group there.
template <class OnWord, class OnGroup>
void EachTopLevel(const std::string& rtf, OnWord onWord, OnGroup onGroup) {
  for (std::size_t p = 0; p < rtf.size();) {
    if (rtf[p] == '{') {
      std::size_t end = rtf.size();
      try {
        end = GroupEnd(rtf, p);
      } catch (const RtfError&) {
        return;
      }
      onGroup(p, end);
      p = end;
    } else if (rtf[p] == '\\' && p + 1 < rtf.size()) {
      const Word w = ReadWord(rtf, p);
      onWord(w);
      p = std::max(w.end, p + 1);
    } else {
      ++p;
    }
  }
}

bool IsOpaqueGroup(const std::string& word) {
  return word == "pict" || word == "object" || word == "shppict" || word == "nonshppict" || word == "shp";
}

bool IsPageGroupWord(const std::string& word) { return word.rfind("header", 0) == 0 || word.rfind("footer", 0) == 0; }

// Groups that describe the document (its tables, its information, its page's header) and hold none of its text,
// also where a writer leaves out the "\*" before them.
bool IsPrologueGroup(const std::string& word) {
  static const std::string words =
      " fonttbl colortbl stylesheet info filetbl listtable listoverridetable revtbl rsidtbl generator pgdsctbl upr"
      " ftnsep ftnsepc ftncn aftnsep aftnsepc aftncn pnseclvl xmlnstbl latentstyles themedata colorschememapping"
      " datastore mmathPr defchp defpap ";
  return (!word.empty() && words.find(" " + word + " ") != std::string::npos) || IsPageGroupWord(word);
}

// Whether the group from at to end shows anything: characters, marks of the text or pictures, outside the
// destinations within it.
bool HoldsText(const std::string& rtf, std::size_t at, std::size_t end) {
  static const char* const marks[] = {"par", "sect", "line", "page", "tab", "cell", "row", "u"};
  for (std::size_t p = at + 1; p + 1 < end;) {
    const char c = rtf[p];
    if (c == '{') {
      bool starred = false;
      const std::string word = GroupWord(rtf, p, starred);
      if (IsOpaqueGroup(word)) return true;
      p = starred || IsPrologueGroup(word) ? GroupEnd(rtf, p) : p + 1;
      continue;
    }
    if (c == '}' || c == '\r' || c == '\n') {
      ++p;
      continue;
    }
    if (c != '\\') return true;
    const Word w = ReadWord(rtf, p);
    if (w.name.empty() && w.symbol != '*') return true;
    for (const char* mark : marks)
      if (w.name == mark) return true;
    p = w.end;
  }
  return false;
}

std::string Roman(int n, bool upper) {
  static const std::pair<int, const char*> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                                                      {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                                                      {5, "v"},    {4, "iv"},   {1, "i"}};
  std::string out;
  for (const auto& [value, letters] : parts)
    while (n >= value) {
      out += letters;
      n -= value;
    }
  if (upper)
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string NumberLabel(int kind, int n) {
  switch (kind) {
    case 1: return "\xb7";
    case 2: return std::to_string(n) + ".";
    case 3: return std::string(1, char('a' + (n - 1) % 26)) + ".";
    case 4: return std::string(1, char('A' + (n - 1) % 26)) + ".";
    case 5: return Roman(n, false) + ".";
    case 6: return Roman(n, true) + ".";
    default: return {};
  }
}

Document::Document() {
  fonts.push_back({"\\fswiss\\fcharset0 Arial;", "Arial"});
  colours.push_back({});
  charFormats.push_back({});
  paraFormats.push_back({});
  text = std::string(1, kPara);
  charFormat = {0};
  paraFormat = {0};
  extra = {-1};
}

int Document::InternChar(const CharFormat& f) {
  const auto it = std::find(charFormats.begin(), charFormats.end(), f);
  if (it != charFormats.end()) return int(it - charFormats.begin());
  charFormats.push_back(f);
  return int(charFormats.size()) - 1;
}

int Document::InternPara(const ParaFormat& f) {
  const auto it = std::find(paraFormats.begin(), paraFormats.end(), f);
  if (it != paraFormats.end()) return int(it - paraFormats.begin());
  paraFormats.push_back(f);
  return int(paraFormats.size()) - 1;
}

int Document::InternBlob(std::string bytes) {
  blobs.push_back(std::move(bytes));
  return int(blobs.size()) - 1;
}

std::string_view Document::WideAt(int i) const {
  if (i < 0 || i >= Length() || text[std::size_t(i)] != kWide) return {};
  const int blob = extra[std::size_t(i)];
  return blob >= 0 && std::size_t(blob) < blobs.size() ? std::string_view(blobs[std::size_t(blob)]) : "?";
}

void Document::SetWide(int i, char32_t c) {
  std::string utf8;
  win::AppendUtf8(utf8, c);
  text[std::size_t(i)] = kWide;
  extra[std::size_t(i)] = InternBlob(utf8);
}

namespace {
std::atomic<std::uint64_t> g_visited{0};
}  // namespace

std::uint64_t VisitedCharacters() { return g_visited.load(std::memory_order_relaxed); }
void CountVisited(std::uint64_t characters) { g_visited.fetch_add(characters, std::memory_order_relaxed); }

int Document::ParagraphEnd(int i) const {
  const int n = Length();
  i = std::clamp(i, 0, n - 1);
  const int from = i;
  while (i < n - 1 && text[std::size_t(i)] != kPara && text[std::size_t(i)] != kCell && text[std::size_t(i)] != kRow)
    ++i;
  CountVisited(std::uint64_t(i - from + 1));
  return i;
}

int Document::ParagraphStart(int i) const {
  i = std::clamp(i, 0, Length() - 1);
  const int from = i;
  while (i > 0) {
    const char c = text[std::size_t(i - 1)];
    if (c == kPara || c == kCell || c == kRow) break;
    --i;
  }
  CountVisited(std::uint64_t(from - i + 1));
  return i;
}

int Document::RowMarkOf(int mark, int* stop) const {
  const int n = Length();
  int r = std::clamp(mark, 0, n - 1);
  const int from = r;
  while (r < n - 1 && text[std::size_t(r)] != kRow &&
         !(text[std::size_t(r)] == kPara && !paraFormats[std::size_t(paraFormat[std::size_t(r)])].inTable))
    ++r;
  CountVisited(std::uint64_t(r - from + 1));
  if (text[std::size_t(r)] == kRow) return r;
  if (stop) *stop = r;
  return -1;
}

const ParaFormat& Document::ParaAt(int i) const {
  return paraFormats[std::size_t(paraFormat[std::size_t(ParagraphEnd(i))])];
}

int Document::FindFont(const std::string& name) {
  for (std::size_t i = 0; i < fonts.size(); ++i)
    if (fonts[i].name == name) return int(i);
  const bool symbol = name == "Symbol";
  fonts.push_back({std::string(symbol ? "\\ftech\\fcharset2 " : "\\fswiss\\fcharset0 ") + name + ";", name});
  return int(fonts.size()) - 1;
}

int Document::FindColour(int r, int g, int b) {
  for (std::size_t i = 0; i < colours.size(); ++i)
    if (!colours[i].automatic && colours[i].r == r && colours[i].g == g && colours[i].b == b) return int(i);
  colours.push_back({false, r, g, b});
  return int(colours.size()) - 1;
}

void Document::Replace(int start, int end, const std::string& insert, const CharFormat& f) {
  start = std::clamp(start, 0, Length() - 1);
  end = std::clamp(end, start, Length() - 1);
  const int para = paraFormat[std::size_t(ParagraphEnd(start))];
  const int fmt = InternChar(f);
  text.replace(std::size_t(start), std::size_t(end - start), insert);
  charFormat.erase(charFormat.begin() + start, charFormat.begin() + end);
  paraFormat.erase(paraFormat.begin() + start, paraFormat.begin() + end);
  extra.erase(extra.begin() + start, extra.begin() + end);
  charFormat.insert(charFormat.begin() + start, insert.size(), fmt);
  paraFormat.insert(paraFormat.begin() + start, insert.size(), para);
  extra.insert(extra.begin() + start, insert.size(), -1);
}

Document Document::Slice(int start, int end) const {
  start = std::clamp(start, 0, Length() - 1);
  end = std::clamp(end, start, Length() - 1);
  Document out = *this;
  const int mark = paraFormat[std::size_t(ParagraphEnd(end > start ? end - 1 : start))];
  out.text = text.substr(std::size_t(start), std::size_t(end - start)) + kPara;
  out.charFormat.assign(charFormat.begin() + start, charFormat.begin() + end);
  out.charFormat.push_back(charFormat[std::size_t(end)]);
  out.paraFormat.assign(paraFormat.begin() + start, paraFormat.begin() + end);
  out.paraFormat.push_back(mark);
  out.extra.assign(extra.begin() + start, extra.begin() + end);
  out.extra.push_back(-1);
  return out;
}

int Document::ReplaceWith(int start, int end, const Document& other) {
  start = std::clamp(start, 0, Length() - 1);
  end = std::clamp(end, start, Length() - 1);
  Replace(start, end, "", CharAt(start));
  const int n = other.Length() - 1;  // its final mark stays behind
  // A table begins a paragraph: the text before the caret stays a paragraph of its own above the table, where it
  // would otherwise be taken into the table's first cell.
  int split = 0;
  if (n > 0 && start > 0 && !IsMark(text[std::size_t(start - 1)]) && !ParaAt(start).inTable &&
      other.ParaAt(0).inTable) {
    Replace(start, start, std::string(1, kPara), CharAt(start - 1));
    ++start;
    split = 1;
  }
  std::vector<int> cf(static_cast<std::size_t>(n)), pf(static_cast<std::size_t>(n)),
      ex(static_cast<std::size_t>(n), -1);
  std::vector<int> taken(other.blobs.size(), -1);
  for (int i = 0; i < n; ++i) {
    CharFormat f = other.CharAt(i);
    f.font = FindFont(other.fonts[std::size_t(f.font) < other.fonts.size() ? std::size_t(f.font) : 0].name);
    if (std::size_t(f.colour) < other.colours.size() && !other.colours[std::size_t(f.colour)].automatic) {
      const Colour& c = other.colours[std::size_t(f.colour)];
      f.colour = FindColour(c.r, c.g, c.b);
    } else {
      f.colour = 0;
    }
    cf[std::size_t(i)] = InternChar(f);
    pf[std::size_t(i)] = InternPara(other.paraFormats[std::size_t(other.paraFormat[std::size_t(i)])]);
    if (const int blob = other.extra[std::size_t(i)]; blob >= 0) {
      // Rows that share a definition keep sharing it.
      int& mine = taken[std::size_t(blob)];
      if (mine < 0) mine = InternBlob(other.blobs[std::size_t(blob)]);
      ex[std::size_t(i)] = mine;
    }
  }
  text.insert(std::size_t(start), other.text, 0, std::size_t(n));
  charFormat.insert(charFormat.begin() + start, cf.begin(), cf.end());
  paraFormat.insert(paraFormat.begin() + start, pf.begin(), pf.end());
  extra.insert(extra.begin() + start, ex.begin(), ex.end());
  return split + n;
}

namespace {
std::string TextOf(const Document& d, int start, int end, bool shown) {
  std::string out;
  const std::u32string chars = shown ? d.ShownChars(start, end) : std::u32string();
  for (int i = std::max(0, start); i < std::min(end, d.Length()); ++i) {
    const char c = d.text[std::size_t(i)];
    if (c == kPara || c == kRow)
      out += "\r\n";
    else if (c == kCell)
      out += '\t';
    else if (c == kLine)
      out += '\n';
    else if (c == kObject)
      continue;
    else if (c == kWide)
      out += shown ? d.WideAt(i) : "?";
    else if (!shown)
      out += c;
    else
      win::AppendUtf8(out, chars[std::size_t(i - std::max(0, start))]);
  }
  return out;
}
}  // namespace

std::u32string Document::ShownChars(int start, int end) const {
  start = std::max(0, start);
  end = std::min(end, Length());
  std::u32string out;
  if (end <= start) return out;
  out.reserve(std::size_t(end - start));
  // Whether a character format is in the Symbol font, looked up once per format.
  std::vector<signed char> symbol(charFormats.size(), -1);
  for (int i = start; i < end; ++i) {
    const char c = text[std::size_t(i)];
    if (c == kWide) {
      const std::string_view utf8 = WideAt(i);
      std::size_t at = 0;
      out += utf8.empty() ? U'?' : win::NextCodePoint(utf8, at);
      continue;
    }
    signed char& inSymbol = symbol[std::size_t(charFormat[std::size_t(i)])];
    if (inSymbol < 0) inSymbol = IsSymbolFont(*this, CharAt(i).font) ? 1 : 0;
    const char32_t greek = inSymbol ? win::SymbolFontChar(std::uint8_t(c)) : 0;
    out += greek ? greek : win::Windows1252Char(std::uint8_t(c));
  }
  return out;
}

std::string Document::PlainText(int start, int end) const { return TextOf(*this, start, end, false); }

std::string Document::ShownText(int start, int end) const { return TextOf(*this, start, end, true); }

char HoldChar(char32_t c, bool& symbol) {
  symbol = false;
  if (const int plain = win::Windows1252Byte(c); plain >= 0) return char(plain);
  const int held = win::SymbolFontByte(c);
  symbol = held >= 0;
  return symbol ? char(held) : kWide;
}

bool IsSymbolFont(const Document& d, int font) {
  if (font < 0 || std::size_t(font) >= d.fonts.size()) return false;
  std::string name = d.fonts[std::size_t(font)].name;
  for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
  return name == "symbol";
}

namespace {
// The face a font table entry names: its text outside control words and nested groups, without the blanks around
// it ("\froman\fprq2 Times New Roman{\*\falt Times};" names Times New Roman).
std::string FontName(const std::string& entry) {
  std::string name;
  int depth = 0;
  for (std::size_t i = 0; i < entry.size();) {
    const char c = entry[i];
    if (c == '\\' && i + 1 < entry.size() && std::isalpha(static_cast<unsigned char>(entry[i + 1]))) {
      i = ReadWord(entry, i).end;
      continue;
    }
    if (c == '\\' && i + 3 < entry.size() && entry[i + 1] == '\'' &&
        std::isxdigit(static_cast<unsigned char>(entry[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(entry[i + 3]))) {
      if (depth == 0) name += char(std::strtol(entry.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 4;
      continue;
    }
    if (c == '\\') {
      i += 2;  // a control symbol
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}') --depth;
    if (depth == 0 && c == ';') break;
    if (depth == 0 && c != '}') name += c;
    ++i;
  }
  const std::size_t first = name.find_first_not_of(" \t\r\n"), last = name.find_last_not_of(" \t\r\n");
  return first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
}

// The entries "{\\fN ... name;}" of the font table group that starts at i and ends before end.
void ReadFontTable(const std::string& rtf, std::size_t i, std::size_t end, std::vector<Font>& fonts) {
  for (std::size_t p = ReadWord(rtf, i + 1).end; p + 1 < end;) {
    if (rtf[p] != '{') {
      ++p;
      continue;
    }
    const std::size_t close = GroupEnd(rtf, p) - 1;
    const Word f = ReadWord(rtf, p + 1);
    if (f.name != "f" || !f.hasParam || f.param < 0 || f.param > 4096)
      throw RtfError("a font table entry does not begin with \\f and its number");
    // The entry starts right after the number, so that a blank before the name is kept.
    std::size_t entryStart = p + 3;
    while (entryStart < close && (rtf[entryStart] == '-' || std::isdigit(static_cast<unsigned char>(rtf[entryStart]))))
      ++entryStart;
    Font font;
    font.entry = rtf.substr(entryStart, close - entryStart);
    font.name = FontName(font.entry);
    if (fonts.size() <= std::size_t(f.param)) fonts.resize(std::size_t(f.param) + 1);
    fonts[std::size_t(f.param)] = font;
    p = close + 1;
  }
}

void ReadColourTable(const std::string& rtf, std::size_t i, std::size_t end, std::vector<Colour>& colours) {
  std::size_t p = ReadWord(rtf, i + 1).end;
  Colour colour;
  while (p < end - 1) {
    if (rtf[p] == ';') {
      colours.push_back(colour);
      colour = {};
      ++p;
    } else if (rtf[p] == '\\') {
      const Word w = ReadWord(rtf, p);
      if (w.name == "red") colour.r = Param(w, 0, win::kRtfMaxColour);
      if (w.name == "green") colour.g = Param(w, 0, win::kRtfMaxColour);
      if (w.name == "blue") colour.b = Param(w, 0, win::kRtfMaxColour);
      if (w.name == "red" || w.name == "green" || w.name == "blue") colour.automatic = false;
      p = w.end;
    } else {
      ++p;
    }
  }
}

// The list numbering of a "{\\*\\pn ...}" group.
void ReadNumbering(const std::string& rtf, std::size_t i, std::size_t end, ParaFormat& pf) {
  std::size_t p = rtf.find("\\pn", i);
  while (p < end) {
    if (rtf[p] == '{') {
      p = GroupEnd(rtf, p);
      continue;
    }
    if (rtf[p] != '\\') {
      ++p;
      continue;
    }
    const Word w = ReadWord(rtf, p);
    if (w.name == "pnlvlblt") pf.numbering = 1;
    if (w.name == "pndec") pf.numbering = 2;
    if (w.name == "pnlcltr") pf.numbering = 3;
    if (w.name == "pnucltr") pf.numbering = 4;
    if (w.name == "pnlcrm") pf.numbering = 5;
    if (w.name == "pnucrm") pf.numbering = 6;
    if (w.name == "pnstart") pf.numberStart = Param(w, 0, win::kRtfMaxCount);
    if (w.name == "pnindent") pf.numberTab = Param(w, -win::kRtfMaxTwips, win::kRtfMaxTwips);
    p = w.end;
  }
}

int HeadingOfStyle(const Document& d, long style) {
  if (d.styleHeadings.empty()) return style >= 1 && style <= 9 ? int(style) : 0;
  return style >= 0 && std::size_t(style) < d.styleHeadings.size() ? d.styleHeadings[std::size_t(style)] : 0;
}

// The text of a group without its control words, nested groups and braces (a style's name, a field's instruction).
std::string PlainOf(const std::string& rtf, std::size_t from, std::size_t end, bool nested) {
  std::string out;
  for (std::size_t p = from; p < end;) {
    const char c = rtf[p];
    if (c == '\\') {
      const Word w = ReadWord(rtf, p);
      if (w.name.empty() && (w.symbol == '\\' || w.symbol == '{' || w.symbol == '}')) out += w.symbol;
      p = w.end;
    } else if (c == '{' && !nested) {
      p = GroupEnd(rtf, p);
    } else {
      if (c != '{' && c != '}' && c != '\r' && c != '\n') out += c;
      ++p;
    }
  }
  return out;
}

// The heading level of each style of a style sheet group: a style named "heading N" is heading N.
std::vector<int> ReadStyleSheet(const std::string& rtf, std::size_t i, std::size_t end) {
  std::vector<int> headings;
  for (std::size_t p = ReadWord(rtf, i + 1).end; p + 1 < end;) {
    if (rtf[p] != '{') {
      ++p;
      continue;
    }
    const std::size_t close = GroupEnd(rtf, p);
    long style = 0;  // a paragraph style that names no number is style 0
    if (rtf[p + 1] == '\\') {
      const Word w = ReadWord(rtf, p + 1);
      if (w.name == "s" && w.hasParam) style = w.param;
      if (w.name == "cs" || w.name == "ds" || w.name == "ts" || w.symbol == '*') style = -1;
    }
    if (style >= 0 && style < 1000) {
      std::string name = PlainOf(rtf, p + 1, close - 1, false);
      for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
      const std::size_t at = name.find("heading ");
      int level = 0;
      if (at != std::string::npos && at + 8 < name.size() && name[at + 8] >= '1' && name[at + 8] <= '9')
        level = name[at + 8] - '0';
      if (headings.size() <= std::size_t(style)) headings.resize(std::size_t(style) + 1, 0);
      headings[std::size_t(style)] = level;
    }
    p = close;
  }
  // A style sheet of nothing but character styles still says that style numbers are no heading levels.
  if (headings.empty()) headings.push_back(0);
  return headings;
}

constexpr std::size_t kMaxTabs = 32;

void ReadBody(const std::string& rtf, std::size_t i, Document& d);

// The words the body acts on. A word is told apart once, by its first letter and a few comparisons: a chain of
// comparisons with every known word, for each of the many border and cell words of a report's tables, was most of
// the time its read-back took.
enum class Kw : unsigned char {
  kOther,
  kPard,
  kPlain,
  kB,
  kI,
  kUl,
  kUlwave,
  kUlnone,
  kSub,
  kSuper,
  kNosupersub,
  kV,
  kF,
  kFs,
  kCf,
  kQl,
  kQc,
  kQr,
  kQj,
  kLi,
  kFi,
  kRi,
  kSl,
  kS,
  kSb,
  kSa,
  kKeepn,
  kBrdrb,
  kIntbl,
  kPar,
  kCell,
  kRow,
  kTab,
  kLine,
  kPage,
  kSect,
  kSectd,
  kSbkpage,
  kSbkodd,
  kSbkeven,
  kSbknone,
  kSbkcol,
  kTqr,
  kTqc,
  kTqdec,
  kTx,
  kTrowd,
  kUc,
  kU
};

// The names of the words, in the order of their kinds from kPard on.
constexpr std::string_view kWordNames[] = {
    "pard",   "plain", "b",    "i",     "ul",   "ulwave", "ulnone",  "sub",    "super",   "nosupersub",
    "v",      "f",     "fs",   "cf",    "ql",   "qc",     "qr",      "qj",     "li",      "fi",
    "ri",     "sl",    "s",    "sb",    "sa",   "keepn",  "brdrb",   "intbl",  "par",     "cell",
    "row",    "tab",   "line", "page",  "sect", "sectd",  "sbkpage", "sbkodd", "sbkeven", "sbknone",
    "sbkcol", "tqr",   "tqc",  "tqdec", "tx",   "trowd",  "uc",      "u"};
static_assert(std::size(kWordNames) == std::size_t(Kw::kU));

// The kinds by the first letter and the length of their names: a word is compared only with the few (at most four)
// that begin like it and are as long.
constexpr std::size_t kLongestWord = 10, kSameStart = 4;
constexpr auto kByStart = [] {
  std::array<std::array<Kw, kSameStart>, 26 * (kLongestWord + 1)> byStart{};
  for (std::size_t k = 0; k < std::size(kWordNames); ++k) {
    auto& kinds = byStart[std::size_t(kWordNames[k][0] - 'a') * (kLongestWord + 1) + kWordNames[k].size()];
    std::size_t free = 0;
    while (kinds[free] != Kw::kOther) ++free;
    kinds[free] = Kw(k + 1);
  }
  return byStart;
}();

Kw KindOf(std::string_view n) {
  if (n.empty() || n.size() > kLongestWord || n[0] < 'a' || n[0] > 'z') return Kw::kOther;
  for (const Kw kind : kByStart[std::size_t(n[0] - 'a') * (kLongestWord + 1) + n.size()]) {
    if (kind == Kw::kOther) break;
    const std::string_view name = kWordNames[std::size_t(kind) - 1];
    std::size_t c = 1;
    while (c < n.size() && n[c] == name[c]) ++c;
    if (c == n.size()) return kind;
  }
  return Kw::kOther;
}

// A word of the kind that sets the character or paragraph format; false for any other kind.
bool ApplyFormatWord(Kw kind, const RawWord& w, CharFormat& cf, ParaFormat& pf, const Document& d) {
  const bool on = !w.hasParam || w.param != 0;
  switch (kind) {
    case Kw::kPard: pf = {}; break;
    case Kw::kPlain: cf = {}; break;
    case Kw::kB: cf.bold = on; break;
    case Kw::kI: cf.italic = on; break;
    case Kw::kUl: cf.underline = on ? 1 : 0; break;
    case Kw::kUlwave: cf.underline = 2; break;
    case Kw::kUlnone: cf.underline = 0; break;
    case Kw::kSub: cf.sub = on, cf.super = false; break;
    case Kw::kSuper: cf.super = on, cf.sub = false; break;
    case Kw::kNosupersub: cf.sub = cf.super = false; break;
    case Kw::kV: cf.hidden = on; break;
    case Kw::kF: cf.font = std::size_t(w.param) < d.fonts.size() && w.param >= 0 ? int(w.param) : 0; break;
    case Kw::kFs: cf.size = w.param > 0 ? Param(w, 1, win::kRtfMaxHalfPoints) : 24; break;
    case Kw::kCf: cf.colour = std::size_t(w.param) < d.colours.size() && w.param >= 0 ? int(w.param) : 0; break;
    case Kw::kQl: pf.align = 0; break;
    case Kw::kQc: pf.align = 1; break;
    case Kw::kQr: pf.align = 2; break;
    case Kw::kQj: pf.align = 3; break;
    case Kw::kLi: pf.left = Param(w, -win::kRtfMaxTwips, win::kRtfMaxTwips); break;
    case Kw::kFi: pf.first = Param(w, -win::kRtfMaxTwips, win::kRtfMaxTwips); break;
    case Kw::kRi: pf.right = Param(w, -win::kRtfMaxTwips, win::kRtfMaxTwips); break;
    case Kw::kSl: pf.spacing = Param(w, 0, win::kRtfMaxCount); break;
    case Kw::kS: pf.heading = HeadingOfStyle(d, w.param); break;
    case Kw::kSb: pf.spaceBefore = Param(w, 0, win::kRtfMaxTwips); break;
    case Kw::kSa: pf.spaceAfter = Param(w, 0, win::kRtfMaxTwips); break;
    case Kw::kKeepn: pf.keepNext = on; break;
    case Kw::kBrdrb: pf.ruleBelow = true; break;
    case Kw::kIntbl: pf.inTable = true; break;
    default: return false;
  }
  return true;
}

// The words and groups before the body, from i on; returns where the body starts.
std::size_t ReadRtfHeader(const std::string& rtf, std::size_t i, Document& d) {
  bool tablesSeen = false;
  while (i < rtf.size()) {
    const char c = rtf[i];
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c == '{') {
      bool starred = false;
      const std::string word = GroupWord(rtf, i, starred);
      const std::size_t end = GroupEnd(rtf, i);
      if (word == "fonttbl") {
        ReadFontTable(rtf, i, end, d.fonts);
        tablesSeen = true;
      } else if (word == "colortbl") {
        ReadColourTable(rtf, i, end, d.colours);
        tablesSeen = true;
      } else if (word == "stylesheet") {
        d.styleHeadings = ReadStyleSheet(rtf, i, end);
        d.prologue += rtf.substr(i, end - i);
        tablesSeen = true;
      } else if (IsOpaqueGroup(word) || word == "pntext" || (starred && word == "pn")) {
        break;
      } else if (!starred && (word.empty() || IsBodyWord(word) || word == "uc" || word == "u" || word == "field")) {
        // A group of text (such as a bold word) begins the body.
        break;
      } else if (!starred && !IsPrologueGroup(word) && HoldsText(rtf, i, end)) {
        // A section, or a group of a word not known here, whose text a word processor shows: the body begins.
        break;
      } else {
        (tablesSeen ? d.prologue : d.headWords) += rtf.substr(i, end - i);
      }
      i = end;
      continue;
    }
    if (c == '\\') {
      const Word w = ReadWord(rtf, i);
      if (w.name.empty() || IsBodyWord(w.name) || w.name == "u") break;
      std::string raw = rtf.substr(i, w.end - i);
      (tablesSeen ? d.prologue : d.headWords) += raw;
      i = w.end;
      continue;
    }
    break;
  }
  return i;
}

}  // namespace

void Document::ReadRtf(const std::string& rtf) {
  if (rtf.compare(0, 5, "{\\rtf") != 0) throw RtfError("not an RTF text: it does not begin with \"{\\rtf\"");
  Document d;
  d.fonts.clear();
  d.colours.clear();
  d.headWords.clear();
  d.prologue.clear();
  d.text.clear();
  d.charFormat.clear();
  d.paraFormat.clear();
  d.extra.clear();

  std::size_t i = ReadWord(rtf, 0 + 1).end;  // after "\rtf1"
  i = ReadRtfHeader(rtf, i, d);
  if (d.fonts.empty()) d.fonts.push_back({"\\fswiss\\fcharset0 Arial;", "Arial"});
  if (d.colours.empty()) d.colours.push_back({});
  ReadBody(rtf, i, d);
  *this = std::move(d);
}

Document Document::ReadGroup(const std::string& group) const {
  if (group.empty() || group[0] != '{') throw RtfError("not an RTF group: it does not begin with \"{\"");
  Document d;
  d.fonts = fonts;
  d.colours = colours;
  d.styleHeadings = styleHeadings;
  d.headWords = headWords;
  d.prologue.clear();
  d.text.clear();
  d.charFormat.clear();
  d.paraFormat.clear();
  d.extra.clear();
  // The group's own word (such as \\header) says what the group is, not how its text looks.
  std::size_t i = 1;
  if (group.compare(1, 2, "\\*") == 0) i = 3;
  if (i < group.size() && group[i] == '\\') i = ReadWord(group, i).end;
  ReadBody(group, i, d);
  return d;
}

namespace {

// A paragraph marked as in a table stands in a table only where a row mark closes it (RowMarkOf): one that none
// closes (the paragraph after a table's last row that kept the "\intbl" of the row before it) is read as an ordinary
// paragraph, as other word processors read it. Left in the table it would take the next table's first row for its
// own, and the text before that table would run into the table's first cell.
void LeaveRowlessParagraphs(Document& d) {
  bool closed = false;  // a row mark follows within the run of table paragraphs
  for (int i = d.Length() - 1; i >= 0; --i) {
    const char c = d.text[std::size_t(i)];
    if (c == kRow) closed = true;
    if (c != kPara && c != kCell) continue;
    const ParaFormat& pf = d.paraFormats[std::size_t(d.paraFormat[std::size_t(i)])];
    if (!pf.inTable) {
      if (c == kPara) closed = false;
    } else if (!closed) {
      ParaFormat outside = pf;
      outside.inTable = false;
      d.paraFormat[std::size_t(i)] = d.InternPara(outside);
    }
  }
}

// The text from rtf[i] to the closing brace of the group it stands in, with the final paragraph mark.
void ReadBody(const std::string& rtf, std::size_t i, Document& d) {
  struct State {
    CharFormat cf;
    int skipUnicode = 0;
  };
  std::vector<State> stack{State{}};
  ParaFormat pf;
  std::string rowDef;
  // Rows that name no definition of their own reuse the one before: they share its bytes.
  int rowBlob = -1;
  // The count of fallback characters after a Unicode escape, as the words before the text set it.
  int ucSkip = 1;
  EachTopLevel(
      d.headWords + d.prologue,
      [&](const Word& w) {
        if (w.name == "uc") ucSkip = Param(w, 0, win::kRtfMaxCount);
      },
      [](std::size_t, std::size_t) {});
  int toSkip = 0;
  // The first half of a surrogate pair, waiting for its second.
  char32_t highSurrogate = 0;
  int tabKind = 0;
  bool sectionBreaksPage = true;
  // Characters in a row mostly share their formats: the last ones found are tried before the tables' search, and
  // only where a word or a group came since the last character (plain text between them changes no format).
  CharFormat lastChar;
  ParaFormat lastPara;
  int lastCharIndex = -1, lastParaIndex = -1;
  bool formatsAsked = true;
  auto putIn = [&](char ch, const CharFormat& f, int blob) {
    if (formatsAsked) {
      if (lastCharIndex < 0 || !(f == lastChar)) {
        lastCharIndex = d.InternChar(f);
        lastChar = f;
      }
      if (lastParaIndex < 0 || !(pf == lastPara)) {
        lastParaIndex = d.InternPara(pf);
        lastPara = pf;
      }
      formatsAsked = false;
    }
    if (highSurrogate != 0) {
      // A first half alone is no character: its fallback stands for it.
      highSurrogate = 0;
      d.text += '?';
      d.charFormat.push_back(lastCharIndex);
      d.paraFormat.push_back(lastParaIndex);
      d.extra.push_back(-1);
    }
    d.text += ch;
    d.charFormat.push_back(lastCharIndex);
    d.paraFormat.push_back(lastParaIndex);
    d.extra.push_back(blob);
  };
  auto put = [&](char ch, int blob = -1) { putIn(ch, stack.back().cf, blob); };
  bool closed = false;
  while (i < rtf.size() && !closed) {
    const char c = rtf[i];
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (ByteIs(c, kGroupByte)) formatsAsked = true;
    if (c == '{') {
      bool starred = false;
      const std::string word = GroupWord(rtf, i, starred);
      if (IsOpaqueGroup(word)) {
        const std::size_t end = GroupEnd(rtf, i);
        put(kObject, d.InternBlob(rtf.substr(i, end - i)));
        i = end;
        continue;
      }
      if (starred && word == "pn") {
        const std::size_t end = GroupEnd(rtf, i);
        ReadNumbering(rtf, i, end, pf);
        i = end;
        continue;
      }
      // A page header or footer met in the text belongs to the page, not to the text.
      if (IsPageGroupWord(word)) {
        const std::size_t end = GroupEnd(rtf, i);
        d.prologue += rtf.substr(i, end - i);
        i = end;
        continue;
      }
      if (word == "pntext" || starred || IsPrologueGroup(word)) {
        i = GroupEnd(rtf, i);
        continue;
      }
      stack.push_back(stack.back());
      ++i;
      continue;
    }
    if (c == '}') {
      ++i;
      // The stand-ins for a Unicode character stand in its group: a group cut after the character skips no text
      // after it.
      toSkip = 0;
      // The outermost group's format stays for the final paragraph mark.
      if (stack.size() == 1) {
        closed = true;
        continue;
      }
      stack.pop_back();
      continue;
    }
    if (c != '\\') {
      if (toSkip > 0) {
        --toSkip;
      } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
        // Other control bytes would be taken for the text's own marks.
        put(c);
      }
      ++i;
      continue;
    }
    const RawWord w = ReadRawWord(rtf, i);
    const std::size_t start = i;
    i = w.end;
    if (w.name.empty()) {
      if (toSkip > 0) {
        --toSkip;
        continue;
      }
      if (w.symbol == '\'') {
        if (w.param >= 0x20 || w.param == '\t') put(char(w.param));
      } else if (w.symbol == '\\' || w.symbol == '{' || w.symbol == '}')
        put(w.symbol);
      else if (w.symbol == '~')
        put('\xa0');
      else if (w.symbol == '_')
        put('-');
      continue;
    }
    CharFormat& cf = stack.back().cf;
    const Kw kind = KindOf(w.name);
    switch (kind) {
      case Kw::kPar: put(kPara); break;
      case Kw::kCell: put(kCell); break;
      case Kw::kRow:
        if (rowBlob < 0) rowBlob = d.InternBlob(rowDef);
        put(kRow, rowBlob);
        break;
      case Kw::kTab: put('\t'); break;
      case Kw::kLine: put(kLine); break;
      case Kw::kPage: put(kPage); break;
      case Kw::kSect:
        // A section ends its paragraph and, unless it runs on, the page.
        if (sectionBreaksPage) put(kPage);
        put(kPara);
        break;
      case Kw::kSectd:
      case Kw::kSbkpage:
      case Kw::kSbkodd:
      case Kw::kSbkeven: sectionBreaksPage = true; break;
      case Kw::kSbknone:
      case Kw::kSbkcol: sectionBreaksPage = false; break;
      case Kw::kTqr: tabKind = 2; break;
      case Kw::kTqc: tabKind = 1; break;
      case Kw::kTqdec: tabKind = 3; break;
      case Kw::kTx: {
        const TabStop stop{Param(w, 0, win::kRtfMaxTwips), tabKind};
        tabKind = 0;
        if (pf.tabs.size() < kMaxTabs)
          pf.tabs.insert(std::upper_bound(pf.tabs.begin(), pf.tabs.end(), stop,
                                          [](const TabStop& a, const TabStop& b) { return a.position < b.position; }),
                         stop);
        break;
      }
      case Kw::kTrowd:
        rowDef = "\\trowd";
        rowBlob = -1;
        break;
      case Kw::kUc: ucSkip = Param(w, 0, win::kRtfMaxCount); break;
      case Kw::kU: {
        toSkip = ucSkip;
        const long value = w.param < 0 ? w.param + 65536 : w.param;
        char32_t code = value < 0 || value > 0x10FFFF ? U'?' : char32_t(value);
        if (code >= 0xD800 && code <= 0xDBFF && highSurrogate == 0) {
          highSurrogate = code;
          break;
        }
        if (code >= 0xDC00 && code <= 0xDFFF && highSurrogate != 0) {
          code = 0x10000 + ((highSurrogate - 0xD800) << 10) + (code - 0xDC00);
          highSurrogate = 0;
        }
        if (code < 0x20 || (code >= 0xD800 && code <= 0xDFFF)) code = U'?';
        bool symbol = false;
        const char held = HoldChar(code, symbol);
        if (held == kWide) {
          put(kWide);
          d.SetWide(d.Length() - 1, code);
        } else if (symbol) {
          // A Greek letter or sign is the Symbol font's character, as the text's own Symbol runs hold them.
          CharFormat f = stack.back().cf;
          if (!IsSymbolFont(d, f.font)) f.font = d.FindFont("Symbol");
          formatsAsked = true;
          putIn(held, f, -1);
          // the text after it has the group's format again
          formatsAsked = true;
        } else {
          put(held);
        }
        break;
      }
      case Kw::kOther:
        if (IsRowWord(w.name)) {
          rowDef.append(rtf, start, w.end - start - (rtf[w.end - 1] == ' ' ? 1 : 0));
          rowBlob = -1;
        }
        break;
      default: ApplyFormatWord(kind, w, cf, pf, d); break;
    }
  }
  if (!closed) throw RtfError("the RTF text ends before its closing brace");
  // The final paragraph mark.
  put(kPara);
  LeaveRowlessParagraphs(d);
}

}  // namespace

std::string Document::WriteRtf() const {
  std::string out = "{\\rtf1" + headWords + "{\\fonttbl";
  for (std::size_t f = 0; f < fonts.size(); ++f) out += "{\\f" + std::to_string(f) + fonts[f].entry + "}";
  out += "}\r\n{\\colortbl ";
  for (const Colour& c : colours) {
    if (!c.automatic)
      out += "\\red" + std::to_string(c.r) + "\\green" + std::to_string(c.g) + "\\blue" + std::to_string(c.b);
    out += ';';
  }
  out += "}\r\n" + prologue;
  bool needSpace = !prologue.empty() && prologue.back() != '}' && prologue.back() != ' ';
  auto word = [&](const std::string& w) {
    out += w;
    needSpace = true;
  };
  CharFormat cur;
  ParaFormat curP;
  bool firstPara = true;
  int number = 0;
  int lastKind = 0;
  int rowWritten = -1;
  int rowlessTo = 0;         // the paragraphs ending before it are marked as in a table, but no row closes them
  bool lastInRow = false;    // the paragraph before stands in a table row
  bool unicodeSkip = false;  // "\\uc1" written: each Unicode escape is followed by one fallback character
  const int n = Length() - 1;
  for (int i = 0; i < n; ++i) {
    const char c = text[std::size_t(i)];
    const bool paraStart = i == 0 || text[std::size_t(i - 1)] == kPara || text[std::size_t(i - 1)] == kCell ||
                           text[std::size_t(i - 1)] == kRow;
    if (paraStart) {
      const int mark = ParagraphEnd(i);
      ParaFormat pf = paraFormats[std::size_t(paraFormat[std::size_t(mark)])];
      // Text marked as in a table that no row closes is written as an ordinary paragraph.
      pf.inTable = pf.inTable && mark >= rowlessTo;
      const bool rowStart = pf.inTable && (i == 0 || text[std::size_t(i - 1)] == kRow || !lastInRow);
      if (rowStart) {
        const int r = RowMarkOf(mark, &rowlessTo);
        pf.inTable = r >= 0;
        // Rows that shared their definition when read share it when written: it stands before the first of them.
        if (r >= 0 && extra[std::size_t(r)] >= 0 && extra[std::size_t(r)] != rowWritten) {
          rowWritten = extra[std::size_t(r)];
          word(blobs[std::size_t(rowWritten)]);
        }
      }
      if (firstPara || rowStart || !(pf == curP)) {
        word("\\pard");
        if (pf.inTable) word("\\intbl");
        if (pf.heading > 0) word("\\s" + std::to_string(pf.heading));
        if (pf.align == 1) word("\\qc");
        if (pf.align == 2) word("\\qr");
        if (pf.align == 3) word("\\qj");
        if (pf.left != 0) word("\\li" + std::to_string(pf.left));
        if (pf.first != 0) word("\\fi" + std::to_string(pf.first));
        if (pf.right != 0) word("\\ri" + std::to_string(pf.right));
        if (pf.spacing != 0) word("\\sl" + std::to_string(pf.spacing) + "\\slmult1");
        if (pf.spaceBefore != 0) word("\\sb" + std::to_string(pf.spaceBefore));
        if (pf.spaceAfter != 0) word("\\sa" + std::to_string(pf.spaceAfter));
        if (pf.keepNext) word("\\keepn");
        if (pf.ruleBelow) word("\\brdrb\\brdrs\\brdrw10");
        for (const TabStop& t : pf.tabs) {
          static const char* const kinds[] = {"", "\\tqc", "\\tqr", "\\tqdec"};
          word(kinds[std::clamp(t.kind, 0, 3)] + std::string("\\tx") + std::to_string(t.position));
        }
        curP = pf;
        firstPara = false;
      }
      lastInRow = pf.inTable;
      if (pf.numbering > 0) {
        number = lastKind == pf.numbering ? number + 1 : pf.numberStart;
        lastKind = pf.numbering;
        std::string label;
        for (unsigned char ch : NumberLabel(pf.numbering, number)) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\'%02x", ch);
          label += ch >= 0x80 ? std::string(hex) : std::string(1, char(ch));
        }
        out += "{\\pntext\\f0" + std::string(label[0] == '\\' ? "" : " ") + label + "\\tab}";
        if (pf.numbering == 1)
          out += "{\\*\\pn\\pnlvlblt\\pnf0\\pnindent" + std::to_string(pf.numberTab) + "{\\pntxtb\\'b7}}";
        else
          out += "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent" + std::to_string(pf.numberTab) + "\\pnstart" +
                 std::to_string(pf.numberStart) +
                 (pf.numbering == 2   ? "\\pndec"
                  : pf.numbering == 3 ? "\\pnlcltr"
                  : pf.numbering == 4 ? "\\pnucltr"
                  : pf.numbering == 5 ? "\\pnlcrm"
                                      : "\\pnucrm") +
                 "{\\pntxta.}}";
        needSpace = false;
      } else {
        lastKind = 0;
      }
    }
    if (c == kPara) {
      word("\\par");
      out += "\r\n";
      needSpace = false;
      continue;
    }
    if (c == kCell) {
      word("\\cell");
      continue;
    }
    if (c == kRow) {
      word("\\row");
      out += "\r\n";
      needSpace = false;
      continue;
    }
    if (c == kObject) {
      out += blobs[std::size_t(extra[std::size_t(i)])];
      needSpace = false;
      continue;
    }
    const CharFormat& f = CharAt(i);
    if (f.colour != cur.colour) word("\\cf" + std::to_string(f.colour));
    if (f.font != cur.font) word("\\f" + std::to_string(f.font));
    if (f.size != cur.size) word("\\fs" + std::to_string(f.size));
    if (f.bold != cur.bold) word(f.bold ? "\\b" : "\\b0");
    if (f.italic != cur.italic) word(f.italic ? "\\i" : "\\i0");
    if (f.underline != cur.underline) word(f.underline == 0 ? "\\ulnone" : f.underline == 1 ? "\\ul" : "\\ulwave");
    if (f.sub != cur.sub || f.super != cur.super) word(f.sub ? "\\sub" : f.super ? "\\super" : "\\nosupersub");
    if (f.hidden != cur.hidden) word(f.hidden ? "\\v" : "\\v0");
    cur = f;
    if (c == '\t' || c == kLine || c == kPage) {
      word(c == '\t' ? "\\tab" : c == kLine ? "\\line" : "\\page");
      continue;
    }
    if (c == kWide) {
      if (!unicodeSkip) out += "\\uc1";
      unicodeSkip = true;
      std::size_t at = 0;
      const std::string_view utf8 = WideAt(i);
      out += win::RtfUnicodeEscape(win::NextCodePoint(utf8, at));
      needSpace = false;
      continue;
    }
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80 || u < 0x20) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", u);
      out += hex;
    } else {
      if (needSpace) out += ' ';
      if (c == '\\' || c == '{' || c == '}') out += '\\';
      out += c;
    }
    needSpace = false;
  }
  // The format of the final mark is what an empty paragraph at the end types with.
  const CharFormat& last = CharAt(n);
  if (last.colour != cur.colour) word("\\cf" + std::to_string(last.colour));
  if (last.font != cur.font) word("\\f" + std::to_string(last.font));
  if (last.size != cur.size) word("\\fs" + std::to_string(last.size));
  if (last.bold != cur.bold) word(last.bold ? "\\b" : "\\b0");
  if (last.italic != cur.italic) word(last.italic ? "\\i" : "\\i0");
  out += "}";
  return out;
}

PageFormat PageFormatOf(const Document& d) {
  PageFormat f;
  constexpr int kMostPages = 99999;
  int sectionFirst = 0, documentFirst = 0;
  struct Field {
    const char* word;
    int PageFormat::*value;
  };
  static const Field fields[] = {{"paperw", &PageFormat::paperWidth}, {"paperh", &PageFormat::paperHeight},
                                 {"margl", &PageFormat::left},        {"margr", &PageFormat::right},
                                 {"margt", &PageFormat::top},         {"margb", &PageFormat::bottom},
                                 {"headery", &PageFormat::headerY},   {"footery", &PageFormat::footerY}};
  EachTopLevel(
      d.headWords + d.prologue,
      [&](const Word& w) {
        if (!w.hasParam) return;
        for (const Field& field : fields)
          if (w.name == field.word) f.*field.value = Param(w, 0, win::kRtfMaxTwips);
        if (w.name == "pgnstarts") sectionFirst = Param(w, 1, kMostPages);
        if (w.name == "pgnstart") documentFirst = Param(w, 1, kMostPages);
      },
      [](std::size_t, std::size_t) {});
  f.firstPage = sectionFirst > 0 ? sectionFirst : documentFirst > 0 ? documentFirst : 1;
  return f;
}

std::string HeaderGroupOf(const Document& d, bool footer) {
  const std::string text = d.headWords + d.prologue;
  std::string found;
  EachTopLevel(
      text, [](const Word&) {},
      [&](std::size_t at, std::size_t end) {
        bool starred = false;
        const std::string word = GroupWord(text, at, starred);
        // The header of every page: the plain one, or that of right-hand pages, which all pages are without
        // facing pages; those of left-hand and first pages are not printed.
        const std::string kind = footer ? "footer" : "header";
        if (found.empty() && (word == kind || word == kind + "r")) found = text.substr(at, end - at);
      });
  return found;
}

std::string WithPageNumbers(const std::string& group, int page, int pages) {
  std::string out;
  for (std::size_t p = 0; p < group.size();) {
    const char c = group[p];
    if (c == '\\') {
      const std::size_t n = p + 1 < group.size() ? 2 : 1;
      out.append(group, p, n);
      p += n;
      continue;
    }
    bool starred = false;
    if (c != '{' || GroupWord(group, p, starred) != "field") {
      out += c;
      ++p;
      continue;
    }
    const std::size_t end = GroupEnd(group, p);
    const std::size_t inst = group.find("\\fldinst", p);
    std::string instruction;
    if (inst < end) {
      std::size_t open = group.rfind('{', inst);
      instruction = PlainOf(group, inst, open < p ? end - 1 : GroupEnd(group, open) - 1, true);
    }
    const std::size_t first = instruction.find_first_not_of(' ');
    std::string name = first == std::string::npos ? "" : instruction.substr(first);
    name = name.substr(0, name.find(' '));
    for (char& ch : name) ch = char(std::toupper(static_cast<unsigned char>(ch)));
    if (name == "PAGE") {
      out += std::to_string(page);
    } else if (name == "NUMPAGES" || name == "SECTIONPAGES") {
      out += std::to_string(pages);
    } else {
      out.append(group, p, end - p);
    }
    p = end;
  }
  return out;
}

}  // namespace richdoc
