// Laying out and drawing a rich-text document, shared by the control on the screen and its printing: one box per
// character, the lines, and the blocks a printed page is made of.
#pragma once

#include <string>
#include <vector>

#include "platform/richedit/richdoc.h"
#include "platform/win/afx.h"

namespace richedit::detail {

// The room left and above the text (pixels at 96 dpi).
constexpr int kMargin = 4;

// A piece of the text that a page break may not cut: a line outside a table, or a whole table row (which a page
// break cuts only between its lines, where the row is taller than a page).
struct Block {
  int top = 0, bottom = 0;
  bool keepNext = false;     // printed on the page of the block after it
  bool breakBefore = false;  // a page break stands before it
  int table = -1;            // the table the row belongs to (counted from 0), -1 outside tables
  bool headerRow = false;    // a row repeated at the head of each page the table goes on to
  int first = 0, last = 0;   // its characters [first, last)
  // A row's frame (from the top of its first line to the foot of its lowest), its shape (an index into the
  // layout's shapes), and its cuts [cutFrom, cutTo) (indices into the layout's cuts).
  int frameTop = 0, frameBottom = 0;
  int shape = -1;
  int cutFrom = 0, cutTo = 0;
  int cells = 0;  // the cells a row holds: its frame has their walls, not every wall of a longer definition
};

// The sides of a cell that have a border, as bits.
enum : unsigned char { kTopSide = 1, kLeftSide = 2, kBottomSide = 4, kRightSide = 8 };

// Where a row's walls stand (twips), as its definition names them; rows with one definition share one shape.
struct RowShape {
  std::vector<int> bounds;  // the right wall of each cell
  int left = 0, gap = 0;
  std::vector<unsigned char> sides;  // the sides of each cell with a border ("\clbrdrt\brdrs" and so on)
  bool header = false;
  bool Framed() const {
    for (unsigned char s : sides)
      if (s) return true;
    return false;
  }
};

// A line's top within a row, where a page break may cut the row; clean when no line of another cell reaches
// across it.
struct Cut {
  int y = 0;
  bool clean = false;
};

// A numbering label in front of the paragraph starting at the character.
struct Label {
  int at = 0;
  std::string text;
};

struct Layout {
  std::vector<RECT> boxes;     // one per character, in pixels before scrolling
  std::vector<int> baselines;  // one per character: where its letter stands
  std::vector<int> lineStarts;
  std::vector<int> lineMarks;  // the paragraph mark of each line
  std::vector<Block> blocks;   // in the order of the text, their tops ascending
  std::vector<int> reach;      // the lowest foot of the blocks up to each
  std::vector<RowShape> shapes;
  std::vector<Cut> cuts;
  std::vector<Label> labels;
  std::vector<RECT> rules;    // lines under paragraphs, from (left, top) to (right, top), by their tops
  int width = 0, height = 0;  // how far what is laid out reaches to the right and down
  int tallest = 0;            // the height of the tallest line
};

// Lays the document out on lines of the width (pixels); scale is pixels per pixel at 96 dpi.
Layout LayOut(const richdoc::Document& d, HDC dc, int width, double scale);
// Draws the laid-out characters whose lines start in [yFrom, yTo), shifted up by scrollY; the selection [a, b) gets
// its background. A cell's border is drawn where its row names one; with guides (an editable text on the screen)
// the cells of a row that names none are outlined in grey, which is never printed.
void DrawLaidOut(HDC dc, const richdoc::Document& doc, const Layout& layout, int scrollY, long a, long b, double scale,
                 int yFrom, int yTo, bool guides = false);

}  // namespace richedit::detail
