// Laying out, drawing and printing a rich text cost work in proportion to what they lay out, draw or print: the
// characters the paragraph lookups, the layout and the drawing visit are counted, for texts 8 times apart. Linear
// work grows 8 times; work that costs the square of the input grows 64 times.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/richedit/richeditctrl.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"

namespace {

namespace fs = std::filesystem;

const char* const kHead = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\plain\\fs20 ";

// The characters visited while the action runs.
std::uint64_t Visited(const std::function<void()>& action) {
  const std::uint64_t before = richdoc::VisitedCharacters();
  action();
  return richdoc::VisitedCharacters() - before;
}

// The work of printing the RTF text into a PDF.
std::uint64_t PrintWork(const std::string& rtf) {
  richdoc::Document doc;
  doc.ReadRtf(rtf);
  const fs::path pdf = fs::path(::testing::TempDir()) / ("linear_" + std::to_string(::getpid()) + ".pdf");
  bool written = false;
  const std::uint64_t work = Visited([&] { written = richedit::PrintToPdf(doc, pdf.string(), "Probe"); });
  EXPECT_TRUE(written);
  fs::remove(pdf);
  return work;
}

// Pages of one letter each.
std::string OneLetterPages(int pages) {
  std::string rtf = kHead;
  for (int i = 0; i < pages; ++i) rtf += "a\\page ";
  return rtf + "}";
}

// One paragraph of letters whose format changes with every letter.
std::string OneParagraph(int letters) {
  std::string rtf = kHead;
  for (int i = 0; i < letters / 2; ++i) rtf += i % 8 == 7 ? "a{\\b b} " : "a{\\b b}";
  return rtf + "\\par}";
}

TEST(LinearPrinting, EachPageDrawsItsOwnCharacters) {
  // 250 and 2,000 pages; each page once drew or looked through every character of the text.
  const std::uint64_t few = PrintWork(OneLetterPages(250)), many = PrintWork(OneLetterPages(2000));
  ASSERT_GT(few, 0u);
  EXPECT_LT(double(many) / double(few), 12.0) << few << " and " << many << " characters visited";
}

TEST(LinearPrinting, AParagraphIsLookedUpOncePerLineNotPerCharacter) {
  // 4,000 and 32,000 characters in one paragraph, the format changing with each: the paragraph's mark was looked
  // for from every character laid out and drawn.
  const std::uint64_t few = PrintWork(OneParagraph(4000)), many = PrintWork(OneParagraph(32000));
  ASSERT_GT(few, 0u);
  EXPECT_LT(double(many) / double(few), 12.0) << few << " and " << many << " characters visited";
}

// One row definition of n cells reused by n rows of one cell each.
std::string SharedRows(int n) {
  std::string rtf = std::string(kHead) + "\\trowd\\trgaph70";
  for (int c = 1; c <= n; ++c) rtf += "\\cellx" + std::to_string(1000 + c);
  for (int r = 0; r < n; ++r) rtf += "\\pard\\intbl x\\cell\\row\r\n";
  return rtf + "\\pard Ende\\par}";
}

TEST(LinearPrinting, ARowDrawsTheWallsOfTheCellsItHolds) {
  // 250 and 1,000 rows of one cell under a definition of as many cells: each row drew a wall for every cell of the
  // definition, the square of the rows.
  const std::uint64_t few = PrintWork(SharedRows(250)), many = PrintWork(SharedRows(1000));
  ASSERT_GT(few, 0u);
  EXPECT_LT(double(many) / double(few), 6.0) << few << " and " << many << " characters and walls visited";
}

TEST(LinearReading, RowsThatReuseADefinitionShareIt) {
  // One definition of 1,000 cells (some 11 KB) reused by 1,000 rows: a copy for each row held 11 MB.
  const std::string rtf = SharedRows(1000);
  richdoc::Document doc;
  doc.ReadRtf(rtf);
  std::size_t held = 0;
  for (const std::string& blob : doc.blobs) held += blob.size();
  EXPECT_LT(held, rtf.size()) << doc.blobs.size() << " definitions held";
  // Written again, every row still has its cells, and read back it still shares them.
  richdoc::Document again;
  again.ReadRtf(doc.WriteRtf());
  EXPECT_EQ(again.PlainText(0, again.Length()), doc.PlainText(0, doc.Length()));
  held = 0;
  for (const std::string& blob : again.blobs) held += blob.size();
  EXPECT_LT(held, rtf.size());
}

class LinearRepaint : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
  }
  // The work of a repaint in the middle of a table cell of the given length and at the text's foot, below it.
  std::pair<std::uint64_t, std::uint64_t> RepaintWork(int cellLength) {
    CRichEditCtrl edit;
    EXPECT_TRUE(edit.Create(WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 400, 280), &parent_, 4678));
    std::string cell;
    while (int(cell.size()) < cellLength) cell += "Bewehrung ";
    std::string rtf = std::string(kHead) +
                      "Anfang\\par\r\n\\trowd\\trgaph70\\cellx1500\\cellx5500\\pard\\intbl Hinweis" + "\\cell " + cell +
                      "\\cell\\row\r\n";
    for (int i = 1; i <= 40; ++i) rtf += "\\pard Zeile " + std::to_string(i) + "\\par\r\n";
    EXPECT_TRUE(edit.StreamInRtf(rtf + "}", false));
    SCROLLINFO v{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(edit.m_hWnd, SB_VERT, &v);
    // Half way down lies the cell; the foot shows the lines below the table.
    for (int i = 0; i < 100 && edit.GetScrollY() < v.nMax / 2; ++i) edit.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    win::RenderWindow(edit.m_hWnd);
    const std::uint64_t middle = Visited([&] { win::RenderWindow(edit.m_hWnd); });
    edit.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    win::RenderWindow(edit.m_hWnd);
    const std::uint64_t foot = Visited([&] { win::RenderWindow(edit.m_hWnd); });
    edit.DestroyWindow();
    return {middle, foot};
  }
  CWnd parent_;
};

TEST_F(LinearRepaint, ARepaintTouchesTheRowsInView) {
  // A cell of 2,000 and of 16,000 characters: each repaint walked the whole cell from its end to its start, looking
  // up the paragraph of every character on the way.
  const auto [fewMiddle, fewFoot] = RepaintWork(2000);
  const auto [manyMiddle, manyFoot] = RepaintWork(16000);
  ASSERT_GT(fewMiddle, 0u);
  EXPECT_LT(double(manyMiddle) / double(fewMiddle), 12.0) << fewMiddle << " and " << manyMiddle;
  // Below the table the cell is not touched at all: the same work for both.
  EXPECT_EQ(manyFoot, fewFoot);
}

}  // namespace
