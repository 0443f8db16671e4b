// Laying out and drawing a rich-text document, shared by the control on the screen and its printing: one box per
// character, the lines, and the blocks a printed page is made of.
#pragma once

#include <vector>

#include "platform/richedit/richdoc.h"
#include "platform/win/afx.h"

namespace richedit::detail {

// The room left and above the text (pixels at 96 dpi).
constexpr int kMargin = 4;

// A piece of the text that a page break may not cut: a line outside a table, or a whole table row.
struct Block {
  int top = 0, bottom = 0;
  bool keepNext = false;     // printed on the page of the block after it
  bool breakBefore = false;  // a page break stands before it
  int table = -1;            // the table the row belongs to (counted from 0), -1 outside tables
  bool headerRow = false;    // a row repeated at the head of each page the table goes on to
};

struct Layout {
  std::vector<RECT> boxes;  // one per character, in pixels before scrolling
  std::vector<int> lineStarts;
  std::vector<Block> blocks;
  std::vector<RECT> rules;    // lines under paragraphs, from (left, top) to (right, top)
  int width = 0, height = 0;  // how far what is laid out reaches to the right and down
  int tallest = 0;            // the height of the tallest line or table row
};

// Lays the document out on lines of the width (pixels); scale is pixels per pixel at 96 dpi.
Layout LayOut(const richdoc::Document& d, HDC dc, int width, double scale);
// Draws the laid-out characters whose lines start in [yFrom, yTo), shifted up by scrollY; the selection [a, b) gets
// its background.
void DrawLaidOut(HDC dc, const richdoc::Document& doc, const Layout& layout, int scrollY, long a, long b, double scale,
                 int yFrom, int yTo);

}  // namespace richedit::detail
