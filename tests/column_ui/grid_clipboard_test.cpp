// Copy and paste by keys in the column's grids, as an engineer does it: a click on a cell and Ctrl+C, a click on
// another and Ctrl+V. What is pasted is checked as if typed: the check's message for a refused value, which the
// cell does not take; what is taken is shown and stored, and OK saves it.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "column_ui/kolumodlg.h"
#include "column_ui/querschnittdlg.h"
#include "tests/column_ui/column_dialog_fixture.h"
#include "tests/controls/grid_keys.h"

namespace {

using column_dialog_test::ColumnDialogTest;
using column_dialog_test::FileBytes;
namespace fs = std::filesystem;
using G = StabSysGrid;
using L = LoadGrid;

class GridClipboardTest : public ColumnDialogTest {
 protected:
  CKolumoSysGrid& System() { return dialog_.m_sysDlg.m_grid; }
  CKolumoLoadGrid& Loads() { return dialog_.m_loadDlg.m_loadGrid; }
  static std::vector<std::string> SavedLengths(const fs::path& path) {
    const std::string text = FileBytes(path);
    static const std::regex field(R"re(<field fieldNr="\d+" length="([^"]*)")re");
    std::vector<std::string> lengths;
    for (std::sregex_iterator it(text.begin(), text.end(), field), end; it != end; ++it) lengths.push_back((*it)[1]);
    return lengths;
  }
};

// Field 1's length (3.20 m) copied into field 2 (4.50 m): 3.20 m shown, stored, and saved by OK; by each of the
// key chords.
TEST_F(GridClipboardTest, ALengthCopiedIntoTheNextFieldIsShownStoredAndSaved) {
  for (const auto& copy : grid_keys::kCopy)
    for (const auto& paste : grid_keys::kPaste) {
      SCOPED_TRACE(std::string(copy.name) + ", " + paste.name);
      const fs::path path = Open();
      ShowTab(2);
      EXPECT_EQ(grid_keys::CopyCell(System(), 2, G::kColLength, copy), "3.20") << "the number, without its unit";
      grid_keys::ClickCell(System(), 3, G::kColLength);
      grid_keys::Press(paste);
      EXPECT_EQ(System().GetItemText(3, G::kColLength), "3.20 m");
      EXPECT_EQ(System().GetItemText(3, G::kColSum), "6.40 m");  // 3.20 + 3.20
      EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[1].GetValue(), 3.2);
      EXPECT_TRUE(win::msgbox::Log().empty());
      Ok();
      EXPECT_EQ(SavedLengths(path), (std::vector<std::string>{"3.2", "3.2"}));
    }
}

// A pasted length the input check refuses gets the check's message; the cell shows and the field keeps its
// length. A cut keeps a length that may not be emptied, and still copies it.
TEST_F(GridClipboardTest, ALengthTheCheckRefusesIsRefusedWithItsMessageAndACutKeepsIt) {
  const fs::path path = Open();
  ShowTab(2);
  win::msgbox::QueueAnswer(IDOK);
  grid_keys::PasteInto(System(), 3, G::kColLength, "-2");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Feld 2: Feldlänge = -2 m ist nicht positiv.");
  EXPECT_EQ(System().GetItemText(3, G::kColLength), "4.50 m");
  EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[1].GetValue(), 4.5);
  grid_keys::ClickCell(System(), 2, G::kColLength);  // field 1: 0 there is no length (in the last it ends the field)
  grid_keys::Press(grid_keys::kCut);
  EXPECT_EQ(win::ClipboardText(), "3.20");
  EXPECT_EQ(System().GetItemText(2, G::kColLength), "3.20 m");
  EXPECT_EQ(win::msgbox::Log().size(), 1u) << "a cut says nothing of what it cannot empty";
  Ok();
  EXPECT_EQ(SavedLengths(path), (std::vector<std::string>{"3.2", "4.5"}));
}

// A row of two values from a spreadsheet ("3,5" tab "4,0") fills the load's two values, each stored; a copied
// value is its number without the unit.
TEST_F(GridClipboardTest, ASpreadsheetRowFillsTwoValuesOfALoad) {
  const fs::path path = Open();
  ShowTab(4);
  // Row 2: "Dach, ständig", a point load and moment in Z: "Pz" 620 kN, "Mz".
  EXPECT_EQ(grid_keys::CopyCell(Loads(), 2, L::kColValue0, grid_keys::kCopy[1]), "620.00");
  grid_keys::PasteInto(Loads(), 2, L::kColValue0, "3,5\t4,0", grid_keys::kPaste[1]);
  EXPECT_EQ(Loads().GetItemText(2, L::kColValue0), "3.50 kN");
  EXPECT_EQ(Loads().GetItemText(2, L::kColValue0 + 1), "4.00 kNm");
  EXPECT_TRUE(win::msgbox::Log().empty());
  Ok();
  Load& saved = dialog_.m_data.loads[0][1];
  EXPECT_DOUBLE_EQ(saved.val0.GetValue(), 3.5);
  EXPECT_DOUBLE_EQ(saved.val1.GetValue(), 4.0) << "the second cell is stored as the first";
  EXPECT_NE(FileBytes(path).find(R"(desc="Dach, ständig" ltype="10" node="0" direction="2" bHasDirection="1" )"
                                 R"(offset="0" length="0" ey="0" ez="0" val0="3.5" val1="4")"),
            std::string::npos);
}

// In the cross-section dialog the width (35.0 cm) copied onto the thickness (30.0 cm) gives 35.0 cm, which the
// field takes on OK; a negative thickness pasted is refused with the check's message.
TEST_F(GridClipboardTest, TheSectionDialogTakesACopiedWidthAsThicknessAndRefusesANegativeOne) {
  Open([](CKolumoData& data) { data.querschnitte[0].dy = 30.0; });
  ShowTab(2);
  std::string copied, refusedShows, pastedShows;
  win::script::QueueDialog([&](CDialog& d) {
    CKolumoQuerGrid& g = static_cast<CKolumoQuerDlg&>(d).m_grid;
    win::msgbox::QueueAnswer(IDOK);
    grid_keys::PasteInto(g, 3, 1, "-5");  // "Dicke dy"
    refusedShows = g.GetItemText(3, 1).GetString();
    copied = grid_keys::CopyCell(g, 2, 1);  // "Breite bx"
    grid_keys::ClickCell(g, 3, 1);
    grid_keys::Press(grid_keys::kPaste[0]);
    pastedShows = g.GetItemText(3, 1).GetString();
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
    win::PumpMessages();
  });
  grid_keys::ClickCell(System(), 2, G::kColSection);
  EXPECT_EQ(win::script::PendingDialogs(), 0u);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Feld 1, Querschnitt: Abmessung dy = -5 cm ist nicht positiv.");
  EXPECT_EQ(refusedShows, "30.0 [cm]");
  EXPECT_EQ(copied, "35.0");
  EXPECT_EQ(pastedShows, "35.0 [cm]");
  EXPECT_DOUBLE_EQ(dialog_.m_data.querschnitte[0].dy.GetValue(), 35.0);
}

}  // namespace
