// The rich-text document behind the text control: characters with their formats, paragraphs (their format sits on
// the paragraph mark), table rows, embedded objects kept as the exact bytes of their RTF group, and the RTF
// reader and writer of the dialect the formula text engine reads. Positions are character offsets; the text always
// ends with the final paragraph mark.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace richdoc {

// Special characters of the text.
constexpr char kPara = '\r';      // paragraph mark (\par)
constexpr char kCell = '\x07';    // end of a table cell (\cell)
constexpr char kRow = '\x0e';     // end of a table row (\row); its extra holds the row definition
constexpr char kObject = '\x01';  // an embedded object or picture; its extra holds the group's bytes
constexpr char kLine = '\x0b';    // line break (\line)
constexpr char kPage = '\x0c';    // page break (\page)
// A character that neither the code page nor the Symbol font holds (Cyrillic, CJK); its extra holds its UTF-8.
constexpr char kWide = '\x02';
// A mark that ends a paragraph: of the text, of a cell or of a table row.
inline bool IsMark(char c) { return c == kPara || c == kCell || c == kRow; }

struct CharFormat {
  bool bold = false, italic = false, sub = false, super = false, hidden = false;
  int underline = 0;  // 0 none, 1 single, 2 wave
  int font = 0;       // index into the font table
  int size = 24;      // half points
  int colour = 0;     // index into the colour table, 0 the automatic colour
  bool operator==(const CharFormat&) const = default;
};

// A tab stop: where the text after the tab starts (left), ends (right) or is centred.
struct TabStop {
  int position = 0;  // twips from the paragraph's left edge
  int kind = 0;      // 0 left, 1 centre, 2 right, 3 decimal
  bool operator==(const TabStop&) const = default;
};

struct ParaFormat {
  int align = 0;                       // 0 left, 1 centre, 2 right, 3 justify
  int left = 0, first = 0, right = 0;  // twips
  int spacing = 0;                     // line spacing in twips (\sl, multiple), 0 single
  int numbering = 0;                   // 0 none, 1 bullet, 2 arabic, 3 a b c, 4 A B C, 5 i ii, 6 I II
  int numberStart = 1, numberTab = 0;
  int heading = 0;  // 0 standard, 1..9 heading level
  bool inTable = false;
  int spaceBefore = 0, spaceAfter = 0;  // twips
  bool keepNext = false;                // printed on the page of the paragraph after it
  bool ruleBelow = false;               // a line under the paragraph
  std::vector<TabStop> tabs;            // ascending
  bool operator==(const ParaFormat&) const = default;
};

struct Font {
  std::string entry;  // what stands between "{\fN" and "}", kept as read
  std::string name;
};

struct Colour {
  bool automatic = true;
  int r = 0, g = 0, b = 0;
};

// A malformed RTF text: the reader refuses it whole.
struct RtfError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Document {
 public:
  Document();

  // Text and formats, parallel: one entry per character.
  std::string text;
  std::vector<int> charFormat;  // index into charFormats
  std::vector<int> paraFormat;  // index into paraFormats, meaningful on kPara, kCell and kRow
  std::vector<int> extra;       // index into blobs for kRow, kObject and kWide, else -1
  std::vector<CharFormat> charFormats;
  std::vector<ParaFormat> paraFormats;
  std::vector<std::string> blobs;
  std::vector<Font> fonts;
  std::vector<Colour> colours;
  std::string headWords = "\\ansi\\ansicpg1252\\deff0";  // between "{\rtf1" and the font table
  std::string prologue = "\\viewkind4\\uc1";             // raw groups and words before the body
  // The heading level of each style of the document's style sheet (0: no heading); empty without a style sheet,
  // where a style number is the heading level itself.
  std::vector<int> styleHeadings;

  int Length() const { return int(text.size()); }
  int InternChar(const CharFormat& f);
  int InternPara(const ParaFormat& f);
  int InternBlob(std::string bytes);  // taken over: an object's or picture's text is not copied
  // The UTF-8 of the character at i when it is kWide ("?" when it holds none), else empty.
  std::string_view WideAt(int i) const;
  // Makes the character at i the kWide that holds c.
  void SetWide(int i, char32_t c);
  const CharFormat& CharAt(int i) const { return charFormats[std::size_t(charFormat[std::size_t(i)])]; }
  // The format of the paragraph holding character i (read from its mark).
  const ParaFormat& ParaAt(int i) const;
  int ParagraphEnd(int i) const;    // index of the mark that ends the paragraph of i
  int ParagraphStart(int i) const;  // index of its first character
  // The mark that ends the table row of the paragraph ending at `mark`: the first row mark from there on before any
  // paragraph outside tables. -1 where none closes it (text marked as in a table after the table's last row, which
  // is shown and written as an ordinary paragraph); `stop` then gets where the search ended: every paragraph before
  // it is such text too.
  int RowMarkOf(int mark, int* stop = nullptr) const;
  int FindFont(const std::string& name);  // the font's index, added when missing
  int FindColour(int r, int g, int b);    // the colour's index, added when missing

  // Replaces [start, end) by text in format f (paragraph marks take the format of the paragraph they split).
  void Replace(int start, int end, const std::string& insert, const CharFormat& f);
  // Replaces [start, end) by a whole other document (its characters, formats and objects); a table put into a
  // paragraph begins a paragraph of its own. Returns the count of characters put in.
  int ReplaceWith(int start, int end, const Document& other);
  // The part [start, end) as a document of its own (with the same tables), ended by a paragraph mark.
  Document Slice(int start, int end) const;

  void ReadRtf(const std::string& rtf);
  std::string WriteRtf() const;
  // A group of RTF text (such as the page header's "{\header ...}") read as a document of its own with this
  // document's fonts, colours and styles.
  Document ReadGroup(const std::string& group) const;
  // The characters as plain text: marks as "\r\n", cells as tabs, objects left out, what the code page does not
  // hold as '?'.
  std::string PlainText(int start, int end) const;
  // The same as UTF-8 for other programs: every character as the one it shows (a Symbol-font letter as its Greek
  // letter).
  std::string ShownText(int start, int end) const;
  // The characters of [start, end) one by one as they show (as ShownText has them; marks and objects stay their own
  // bytes).
  std::u32string ShownChars(int start, int end) const;
};

// The byte that holds a character in a document: its Windows-1252 byte, or (symbol set) the byte of the Symbol font
// that shows it (Greek letters and some mathematical signs); kWide when neither holds it. Control characters stay.
char HoldChar(char32_t c, bool& symbol);
bool IsSymbolFont(const Document& d, int font);

// A control word (\b, \fs20) or control symbol (\'fc, \~) of an RTF text.
struct Word {
  std::string name;  // empty for a control symbol
  char symbol = 0;   // the symbol's character
  bool hasParam = false;
  long param = 0;
  std::size_t end = 0;  // after the word and its delimiting blank
};
// Reads the control word or symbol at text[at] (a backslash); RtfError when the text ends within it.
Word ReadWord(const std::string& text, std::size_t at);
// The index just past the group that opens at text[at] ('{'), escapes honoured; RtfError when it does not close.
std::size_t GroupEnd(const std::string& text, std::size_t at);

// Characters visited by paragraph lookups, layout and drawing, counted for the tests that hold them linear in the
// text's length.
std::uint64_t VisitedCharacters();
void CountVisited(std::uint64_t characters);

// A numbering label ("3.", "c.", "iv.") for the n-th item (from 1) of a numbering kind.
std::string NumberLabel(int kind, int n);

// The page a document asks for, in twips; 0 where it says nothing.
struct PageFormat {
  int paperWidth = 0, paperHeight = 0;
  int left = 0, right = 0, top = 0, bottom = 0;  // margins
  int headerY = 0, footerY = 0;  // distance of the header from the paper's top, of the footer from its foot
  int firstPage = 1;             // the number of the first page (the section's, else the document's)
};
PageFormat PageFormatOf(const Document& d);
// The document's page header group ("{\header ...}") or footer group, as written; empty when it has none.
std::string HeaderGroupOf(const Document& d, bool footer);
// The group with its page-number fields (PAGE, NUMPAGES, SECTIONPAGES) replaced by the numbers of this page.
std::string WithPageNumbers(const std::string& group, int page, int pages);

}  // namespace richdoc
