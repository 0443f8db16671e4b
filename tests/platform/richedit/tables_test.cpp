// Tables in the rich text: the paragraph after a table's last row is an ordinary paragraph however it was marked,
// when read, laid out and written; a table put into a paragraph begins a paragraph of its own; a cell has the
// borders its row names, side by side.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/richedit/layout.h"
#include "platform/richedit/richeditctrl.h"
#include "platform/win/dialogs/wintest.h"

namespace {

using richdoc::Document;

const char* const kHead = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red7\\green13\\blue255;}";

// A table of two rows without borders, as the editor inserts database values; the paragraph after it as the editor
// stored it (kept "\intbl" of the rows) or as it is written now.
std::string ValueTable(const std::string& after) {
  const std::string def = "\\trowd\\trgaph28\\cellx4535\\cellx6236\\cellx9071";
  return def + "\\pard\\intbl\\b Betonstahl\\b0\\cell\\cell\\cell\\row\r\n" + def +
         "\\pard\\intbl Streckgrenze\\cell\\cf1 beta_s\\cell\\pard\\intbl\\qr 500\\cell\\row\r\n" + after;
}

Document Read(const std::string& rtf) {
  Document d;
  d.ReadRtf(rtf);
  return d;
}

// The paragraph text of a document with marks as '|', cells as '^' and rows as '#'.
std::string Shape(const Document& d) {
  std::string s;
  for (char c : d.text) s += c == richdoc::kPara ? '|' : c == richdoc::kCell ? '^' : c == richdoc::kRow ? '#' : c;
  return s;
}

// Whether each paragraph mark of the text (kPara, kCell, kRow in order) says it stands in a table, as 't' or '-'.
std::string InTable(const Document& d) {
  std::string s;
  for (int i = 0; i < d.Length(); ++i)
    if (richdoc::IsMark(d.text[std::size_t(i)])) s += d.ParaAt(i).inTable ? 't' : '-';
  return s;
}

// Marks the paragraph that ends at the mark as in a table, as an edit of the text could leave it.
void MarkInTable(Document& d, int mark) {
  richdoc::ParaFormat f = d.paraFormats[std::size_t(d.paraFormat[std::size_t(mark)])];
  f.inTable = true;
  d.paraFormat[std::size_t(mark)] = d.InternPara(f);
}

TEST(TableParagraphs, AParagraphThatNoRowClosesIsReadAsAnOrdinaryOne) {
  struct Case {
    const char* name;
    std::string body;
    const char* shape;
    const char* inTable;  // per mark, the final one included
  } cases[] = {
      {"the paragraph after the last row kept the rows' \\intbl", ValueTable("\\pard\\intbl\\qr\\par\r\n"),
       "Betonstahl^^^#Streckgrenze^beta_s^500^#||", "tttttttt--"},
      {"the same closed by \\pard", ValueTable("\\pard\\par\r\n"), "Betonstahl^^^#Streckgrenze^beta_s^500^#||",
       "tttttttt--"},
      {"a row without its \\row: its cells are no table",
       "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\pard\\intbl c\\par", "a^b^c||", "----"},
      // a cell of two paragraphs: the first paragraph is closed by the cell's mark
      {"a cell of two paragraphs", "\\trowd\\cellx1000\\pard\\intbl eins\\par zwei\\cell\\row\\pard nach\\par",
       "eins|zwei^#nach||", "ttt--"},
      // text before a row's definition still belongs to the row that closes it, as RTF has it
      {"a paragraph before the row's definition", "\\pard\\intbl vor\\par\\trowd\\cellx1000\\pard\\intbl a\\cell\\row",
       "vor|a^#|", "ttt-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Document d = Read(kHead + c.body + "}");
    EXPECT_EQ(Shape(d), c.shape);
    EXPECT_EQ(InTable(d), c.inTable);
  }
}

// What is written after a table is an ordinary paragraph ("\pard" without "\intbl"), also where the text in the
// control still marks it as in the table while an ordinary paragraph follows it; the row definition of a later table
// is never written before it. (A paragraph marked so right before a table's row is that row's, as RTF has it.)
TEST(TableParagraphs, TheParagraphAfterATableIsWrittenOutsideIt) {
  Document d = Read(std::string(kHead) + ValueTable("\\pard Zeile vor der Tabelle\\par\\pard Weiter\\par\r\n") +
                    "\\trowd\\trgaph28\\clbrdrb\\brdrs\\cellx3000\\pard\\intbl Endsystem\\cell\\row\r\n\\pard\\par}");
  const int line = int(d.text.find("Zeile"));
  ASSERT_GE(line, 0);
  for (const bool marked : {false, true}) {
    SCOPED_TRACE(marked ? "the line marked as in a table" : "the line as read");
    if (marked) MarkInTable(d, d.ParagraphEnd(line));
    const std::string rtf = d.WriteRtf();
    const std::size_t lastRow = rtf.find("\\row", rtf.find("500"));
    ASSERT_NE(lastRow, std::string::npos) << rtf;
    const std::size_t pard = rtf.find("\\pard", lastRow), text = rtf.find("Zeile", lastRow);
    ASSERT_LT(pard, text) << rtf;
    EXPECT_EQ(rtf.substr(pard, text - pard).find("\\intbl"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.substr(lastRow, text - lastRow).find("\\trowd"), std::string::npos) << rtf;
    const Document back = Read(rtf);
    EXPECT_EQ(Shape(back), "Betonstahl^^^#Streckgrenze^beta_s^500^#Zeile vor der Tabelle|Weiter|Endsystem^#||");
    EXPECT_FALSE(back.ParaAt(int(back.text.find("Zeile"))).inTable);
    EXPECT_TRUE(back.ParaAt(int(back.text.find("Endsystem"))).inTable);
  }
}

// A table put at the caret within a paragraph begins a paragraph of its own: the text before the caret stays a
// paragraph above it. Text that is no table, and a table put at a paragraph's start, split nothing.
TEST(TableParagraphs, ATablePutIntoAParagraphBeginsAParagraphOfItsOwn) {
  const std::string table = std::string(kHead) + "\\trowd\\cellx2000\\pard\\intbl\\b Titel\\b0\\cell\\row\\pard\\par}";
  struct Case {
    const char* name;
    int at;  // where the caret stands in "Zeile vor"
    std::string inserted;
    const char* shape;
    int count;  // characters put in: the table's and its closing paragraph's 8, and a paragraph mark before it
  } cases[] = {
      {"a table at the end of the line", 9, table, "Zeile vor|Titel^#||", 1 + 8},
      {"a table within the line", 5, table, "Zeile|Titel^#| vor|", 1 + 8},
      {"a table at the line's start", 0, table, "Titel^#|Zeile vor|", 8},
      {"plain text at the end of the line", 9, std::string(kHead) + "\\pard /*}", "Zeile vor/*|", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Document d = Read(std::string(kHead) + "\\pard Zeile vor}");
    const int count = d.ReplaceWith(c.at, c.at, Read(c.inserted));
    EXPECT_EQ(Shape(d), c.shape);
    EXPECT_EQ(count, c.count);
    const int line = int(d.text.find("Zeile"));
    EXPECT_FALSE(d.ParaAt(line).inTable);
  }
}

class TableLayoutTest : public win::test::MemoryDcTest {
 protected:
  richedit::detail::Layout LayOut(const Document& d) { return richedit::detail::LayOut(d, dc_, 700, 1.0); }
};

// A document that ends with a table, followed by two headings and a framed row (as a report that begins with the
// position's document): the frame stands round its own row, below the headings, and the headings are lines of
// their own, not part of a row.
TEST_F(TableLayoutTest, TheParagraphAfterATableStartsNoRow) {
  const std::string report =
      std::string(kHead) + ValueTable("\\pard\\intbl\\qr\\par\r\n") +
      "\\pard\\plain\\s1\\fs28 Eingabedaten\\par\r\n\\pard\\plain\\s2\\fs24 Systemdarstellung"
      "\\par\r\n\\trowd\\trgaph70\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs"
      "\\cellx3402\\pard\\intbl\\plain Endsystem\\cell\\row\r\n\\pard\\par}";
  Document read = Read(report);
  Document marked = read;
  // as an edit could leave it: the paragraph after the table marked as in it again
  MarkInTable(marked, int(marked.text.find("\x0e\r")) + 1);
  for (const Document* d : {&read, &marked}) {
    SCOPED_TRACE(d == &read ? "as read" : "marked as in the table");
    const richedit::detail::Layout layout = LayOut(*d);
    const int heading = int(d->text.find("Systemdarstellung"));
    const int frame = int(d->text.find("Endsystem"));
    const richedit::detail::Block* row = nullptr;
    int lines = 0;
    for (const richedit::detail::Block& b : layout.blocks) {
      if (b.first <= frame && frame < b.last) row = &b;
      if (b.table < 0 && b.first <= heading && heading < b.last) ++lines;
    }
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(lines, 1) << "the heading is a line outside tables";
    EXPECT_EQ(row->first, frame) << "the framed row begins with its own cell";
    EXPECT_GE(row->frameTop, layout.boxes[std::size_t(heading)].bottom) << "the frame reaches above the heading";
    EXPECT_EQ(row->frameTop, layout.boxes[std::size_t(frame)].top);
    // two tables: the values and the frame
    EXPECT_EQ(row->table, 1);
  }
}

// Walls and lines a cell's borders draw, from the row definition: every side it names with a style, none where the
// style is "none"; a row that names no border has none.
TEST_F(TableLayoutTest, EachCellHasTheSidesItsRowNames) {
  using richedit::detail::kBottomSide;
  using richedit::detail::kLeftSide;
  using richedit::detail::kRightSide;
  using richedit::detail::kTopSide;
  struct Case {
    const char* def;
    std::vector<unsigned char> sides;
  } cases[] = {
      {"\\trowd\\trgaph28\\cellx1000\\cellx2000", {0, 0}},
      {"\\trowd\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10"
       "\\cellx1000",
       {kTopSide | kLeftSide | kBottomSide | kRightSide}},
      {"\\trowd\\clbrdrb\\brdrs\\cellx1000\\cellx2000", {kBottomSide, 0}},
      {"\\trowd\\cellx1000\\clbrdrl\\brdrw15\\brdrdb\\clbrdrt\\brdrnone\\cellx2000", {0, kLeftSide}},
      {"\\trowd\\clbrdrr\\brdrnil\\clbrdrb\\brdrtbl\\cellx1000", {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.def);
    const Document d = Read(std::string(kHead) + c.def + "\\pard\\intbl a\\cell" +
                            std::string(c.sides.size() > 1 ? "b\\cell" : "") + "\\row\\pard\\par}");
    const richedit::detail::Layout layout = LayOut(d);
    ASSERT_EQ(layout.shapes.size(), 1u);
    EXPECT_EQ(layout.shapes[0].sides, c.sides);
  }
}

}  // namespace
