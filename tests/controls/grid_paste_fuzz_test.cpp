// Seeded fuzz of pasting into the typed grid: clipboard texts of fields that a typed cell takes or refuses, mixed
// line ends, long lines, bytes that are no UTF-8, numbers beyond the double's range, garbled at random. A paste never
// crashes; a number cell holds a finite number, the one pasted when its field is a number and the old one when the
// field is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "controls/OrmiGridCtrl.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/support/fuzz_mutate.h"

namespace {

enum Col { kText, kInt, kDouble, kCheck, kFormula, kUnit, kCols };
constexpr int kRows = 5;

class PasteGrid : public COrmiGridCtrl {
 public:
  void Layout() override {
    Init(kRows, kCols, 1, 0);
    for (int c = 0; c < kCols; ++c) SetColumnWidthPercent(c, 15);
    const int types[kCols] = {0, 1, 2, 3, 7, 2};
    for (int r = 1; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) SetCellType(r, c, types[c]);
    for (int r = 1; r < kRows; ++r) SetNumberFormat(r, kUnit, "%lf", "%.2lf cm", 1.0);
    LayoutColumns();
  }
};

// A field and what an int and a double cell make of it: the value, or NAN when it is refused; unknown fields are
// only checked for what every value must be.
struct Field {
  const char* text;
  bool known;
  double asInt, asDouble;
};
constexpr double kNo = NAN;
const Field kFields[] = {
    {"7", true, 7, 7},
    {"-42", true, -42, -42},
    {"3,5", true, kNo, 3.5},
    {"12.25", true, kNo, 12.25},
    {" 8 ", true, 8, 8},
    {"abc", true, kNo, kNo},
    {"1e309", true, kNo, kNo},
    {"-1e309", true, kNo, kNo},
    {"nan", true, kNo, kNo},
    {"NaN", true, kNo, kNo},
    {"inf", true, kNo, kNo},
    {"-Infinity", true, kNo, kNo},
    {"99999999999999999999", true, kNo, 1e20},
    {"1e-320", false, 0, 0},
    {"35cm", true, kNo, kNo},
    {"3,5,5", true, kNo, kNo},
    {"0x1p3", false, 0, 0},
    {"", false, 0, 0},
    {"2*b", false, 0, 0},
    {"\xff\xfe\x80", true, kNo, kNo},
    {"\xc3\xa4", true, kNo, kNo},
    {"1.5 cm", false, 0, 0},
    {"1,5 mm", false, 0, 0},
};

class GridPasteFuzzTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // The refusals are shown in a box: answered here, each paste at most one; the question of a paste that leaves
    // out lines beyond the grid is answered Ja.
    win::msgbox::SetUnscriptedHandler(
        [](const win::msgbox::Record& box) { return (box.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK; });
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Eingabe", WS_POPUP | WS_VISIBLE, 0, 0, 600, 200, nullptr, nullptr));
    ASSERT_TRUE(grid.Create(CRect(5, 5, 595, 195), &parent, 2));
    grid.Layout();
    GetGlobalVariableStore().RemoveAll();
    GetGlobalVariableStore().SetVariable("Lasten\\b", "Breite", "m", 3.0);
  }
  void TearDown() override {
    GetGlobalVariableStore().RemoveAll();
    WindowTest::TearDown();
  }
  // False when the cell takes no paste (a check box): then nothing changes.
  bool Paste(const std::string& text, int row, int col) {
    win::SetClipboardText(text);
    COleDataObject data;
    EXPECT_TRUE(data.AttachClipboard());
    return grid.PasteTextToGrid(CCellID(row, col), &data, FALSE);
  }
  CWnd parent;
  PasteGrid grid;
};

TEST_F(GridPasteFuzzTest, APastedTextSetsTheNumbersItHoldsAndKeepsTheOldOnesForTheRest) {
  static const char* const ends[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n"};
  int checked = 0;
  const int cases = fuzz::RunCases(300, [&](unsigned seed) {
    fuzz::Mutator m(seed);
    for (int r = 1; r < kRows; ++r) {
      grid.SetCellInt(r, kInt, 100 + r);
      grid.SetCellDouble(r, kDouble, 0.5 + r);
      grid.SetCellDouble(r, kUnit, 1.5 + r);
    }
    const int row = 1 + int(m.Pick(kRows - 1)), col = int(m.Pick(kCols));
    // The fields pasted into each cell, as laid out from the paste's cell on; -1: none.
    std::vector<std::vector<int>> laid(kRows, std::vector<int>(kCols, -1));
    std::string text;
    const bool garble = m.Chance(3);
    const int lines = 1 + int(m.Pick(m.Chance(8) ? 400 : 4));
    for (int l = 0; l < lines; ++l) {
      const int fields = 1 + int(m.Pick(m.Chance(8) ? 300 : kCols));
      for (int f = 0; f < fields; ++f) {
        if (f) text += '\t';
        if (m.Chance(40)) {  // a very long field: a number of thousands of digits, or a word
          text += std::string(1 + m.Pick(100000), m.Chance(2) ? '7' : 'x');
          continue;
        }
        const int k = int(m.Pick(std::size(kFields)));
        if (row + l < kRows && col + f < kCols) laid[std::size_t(row + l)][std::size_t(col + f)] = k;
        text += kFields[k].text;
      }
      if (l + 1 < lines || m.Chance(2)) text += m.From(ends);
    }
    if (garble) text = m.Mutate(text, {"\t", "\r", "\n", "1e309", "nan", "3,5", "-", "e", ".", ","}, 6);
    // "\n\r" and "\r\r\n" are two line ends: only texts of single line ends keep the layout known.
    const bool layoutKnown =
        !garble && text.find("\n\r") == std::string::npos && text.find("\r\r") == std::string::npos;
    if (!Paste(text, row, col)) {
      EXPECT_EQ(col, kCheck);
      laid.assign(kRows, std::vector<int>(kCols, -1));
    }
    for (int r = 1; r < kRows; ++r) {
      const double values[] = {double(grid.GetCellInt(r, kInt)), grid.GetCellDouble(r, kDouble),
                               grid.GetCellDouble(r, kUnit)};
      for (double v : values) EXPECT_TRUE(std::isfinite(v)) << "row " << r << " from:\n" << text;
      if (!layoutKnown) continue;
      for (int c : {int(kInt), int(kDouble)}) {
        const int k = laid[std::size_t(r)][std::size_t(c)];
        if (k < 0 || !kFields[k].known) continue;
        const double want = c == kInt ? kFields[k].asInt : kFields[k].asDouble;
        const double old = c == kInt ? 100 + r : 0.5 + r;
        ++checked;
        EXPECT_DOUBLE_EQ(values[c == kInt ? 0 : 1], std::isnan(want) ? old : want)
            << "\"" << kFields[k].text << "\" at " << r << "," << c << " from:\n"
            << text;
      }
    }
    win::msgbox::ClearLog();
  });
  // Many cases paste known fields into the number cells: the fuzz checks values, not only that nothing crashed.
  EXPECT_GT(checked, cases / 8);
}

}  // namespace
