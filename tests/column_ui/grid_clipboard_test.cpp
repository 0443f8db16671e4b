// Copy and paste by keys in the column's grids, as an engineer does it: a click on a cell and Ctrl+C, a click on
// another and Ctrl+V. What is pasted is checked as if typed: the check's message for a refused value, which the
// cell does not take; what is taken is shown and stored, and OK saves it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "column_ui/kolumodlg.h"
#include "column_ui/querschnittdlg.h"
#include "tests/column_ui/column_dialog_fixture.h"
#include "tests/column_ui/dialog_input.h"
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

// A formula whose evaluation leaves a message (a name no variable has) or that does not read is refused in its
// cell, typed or pasted, with the message and the cell's name: the cell and the data keep their value, no field is
// lost, and OK saves what was there. A decimal comma is quoted as it was written.
TEST_F(GridClipboardTest, AFormulaThatLeavesAMessageIsRefusedTypedOrPastedAndNoFieldIsLost) {
  const struct {
    const char* name;
    int tab;
    bool loads;
    int row, col;
    const char* text;
    const char* message;
    const char* shown;
  } cases[] = {
      {"undefined name in the last field", 2, false, 3, G::kColLength, "abc", "Feld 2, Länge: 'abc' nicht definiert",
       "4.50 m"},
      {"undefined name in the first field", 2, false, 2, G::kColLength, "abc", "Feld 1, Länge: 'abc' nicht definiert",
       "3.20 m"},
      {"undefined name in a sum", 2, false, 3, G::kColLength, "2+abc", "Feld 2, Länge: 'abc' nicht definiert",
       "4.50 m"},
      {"another unit", 2, false, 3, G::kColLength, "5 cm", "Feld 2, Länge: Unerwartete Zeichen: cm", "4.50 m"},
      {"thousands and a decimal comma", 2, false, 3, G::kColLength, "1.234,5",
       "Feld 2, Länge: Fehlerhaftes Zahlenformat: '1.234,5'", "4.50 m"},
      {"undefined name in a load", 4, true, 2, L::kColValue0, "abc", "Last 2, Pz: 'abc' nicht definiert", "620.00 kN"},
  };
  for (const bool typed : {true, false})
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (typed ? ", typed" : ", pasted"));
      const fs::path path = Open();
      ShowTab(c.tab);
      COrmiGridCtrl& grid = c.loads ? static_cast<COrmiGridCtrl&>(Loads()) : System();
      grid_keys::ClickCell(grid, c.row - 1, c.col);  // the header's titles follow the row clicked
      win::msgbox::ClearLog();
      win::msgbox::QueueAnswer(IDOK);
      if (typed) {
        dialog_input::TypeAndEnter(grid, c.row, c.col, c.text);
        win::input::Key(VK_ESCAPE);  // the editor is back on the cell: the kept value stays
        win::PumpMessages();
      } else {
        grid_keys::PasteInto(grid, c.row, c.col, c.text);
      }
      ASSERT_EQ(win::msgbox::Log().size(), 1u);
      EXPECT_EQ(win::msgbox::Log()[0].text, c.message);
      EXPECT_EQ(grid.GetItemText(c.row, c.col), c.shown);
      ASSERT_EQ(dialog_.m_data.nFields(), 2);
      EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[0].GetValue(), 3.2);
      EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[1].GetValue(), 4.5);
      EXPECT_EQ(dialog_.m_data.querschnitte.GetSize(), 2);
      Ok();
      EXPECT_EQ(SavedLengths(path), (std::vector<std::string>{"3.2", "4.5"}));
      EXPECT_DOUBLE_EQ(dialog_.m_data.loads[0][1].val0.GetValue(), 620.0);
    }
}

// A formula the cell holds already (from the file) is not refused when its edit ends unchanged, even where a name in
// it has no variable: the edit can always be left. Another formula with that name is refused.
TEST_F(GridClipboardTest, AHeldFormulaWithAnUndefinedNameEndsItsEditUnchanged) {
  Open([](CKolumoData& data) { data.fieldLengths[1] = "2*hx"; });
  ShowTab(2);
  dialog_input::TypeAndEnter(System(), 3, G::kColLength, "2*hx");
  EXPECT_TRUE(win::msgbox::Log().empty());
  ASSERT_EQ(dialog_.m_data.nFields(), 2) << "an expression that gives 0 is no typed 0: the field stays";
  win::msgbox::QueueAnswer(IDOK);
  dialog_input::TypeAndEnter(System(), 3, G::kColLength, "3*hx");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Feld 2, Länge: 'hx' nicht definiert");
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
  EXPECT_EQ(dialog_.m_data.fieldLengths[1].GetText(), "2*hx");
  EXPECT_EQ(dialog_.m_data.nFields(), 2);
}

// Ctrl+X and Delete on the last field's length copy it (Ctrl+X) and leave it: the field stays with its section.
// A 0 pasted there is refused as in any other field; only a typed 0 removes the last field.
TEST_F(GridClipboardTest, CutAndDeleteNeverRemoveAFieldAndOnlyATypedZeroDoes) {
  const fs::path path = Open();
  ShowTab(2);
  const double height = dialog_.m_data.querschnitte[1].dy.GetValue();
  grid_keys::ClickCell(System(), 3, G::kColLength);
  grid_keys::Press(grid_keys::kCut);
  EXPECT_EQ(win::ClipboardText(), "4.50");
  grid_keys::Select(System(), 3, G::kColLength);
  win::input::Key(VK_DELETE);
  win::PumpMessages();
  EXPECT_TRUE(win::msgbox::Log().empty()) << "a cut says nothing of what it cannot empty";
  EXPECT_EQ(System().GetItemText(3, G::kColLength), "4.50 m");
  ASSERT_EQ(dialog_.m_data.nFields(), 2);
  EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[1].GetValue(), 4.5);
  win::msgbox::QueueAnswer(IDOK);
  grid_keys::PasteInto(System(), 3, G::kColLength, "0");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Feld 2: Feldlänge = 0 m ist nicht positiv.");
  ASSERT_EQ(dialog_.m_data.nFields(), 2);
  EXPECT_DOUBLE_EQ(dialog_.m_data.querschnitte[1].dy.GetValue(), height);
  dialog_input::TypeAndEnter(System(), 3, G::kColLength, "0");
  EXPECT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(dialog_.m_data.nFields(), 1) << "a typed 0 removes the last field";
  Ok();
  EXPECT_EQ(SavedLengths(path), (std::vector<std::string>{"3.2"}));
}

// In the cross-section dialog a name no variable has is refused in its row; a cut copies "Versatz ex" and keeps
// it, an empty paste empties it, which is stored as 0 and shows 0 at once.
TEST_F(GridClipboardTest, TheSectionDialogRefusesAnUndefinedNameAndShowsACutOffsetAsZero) {
  Open([](CKolumoData& data) { data.querschnitte[0].ex = 2.5; });
  ShowTab(2);
  std::string afterRefusal, cutCopied, afterCut, afterEmptied;
  win::script::QueueDialog([&](CDialog& d) {
    CKolumoQuerGrid& g = static_cast<CKolumoQuerDlg&>(d).m_grid;
    win::msgbox::QueueAnswer(IDOK);
    grid_keys::PasteInto(g, 2, 1, "b_x");  // "Breite bx"
    afterRefusal = g.GetItemText(2, 1).GetString();
    grid_keys::ClickCell(g, 4, 1);  // "Versatz ex"
    grid_keys::Press(grid_keys::kCut);
    cutCopied = win::ClipboardText();
    afterCut = g.GetItemText(4, 1).GetString();
    grid_keys::PasteInto(g, 4, 1, "");
    afterEmptied = g.GetItemText(4, 1).GetString();
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
    win::PumpMessages();
  });
  grid_keys::ClickCell(System(), 2, G::kColSection);
  EXPECT_EQ(win::script::PendingDialogs(), 0u);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Breite bx: 'b_x' nicht definiert");
  EXPECT_EQ(afterRefusal, "35.0 [cm]");
  EXPECT_EQ(cutCopied, "2.5");
  EXPECT_EQ(afterCut, "2.5 [cm]");
  EXPECT_EQ(afterEmptied, "0.0 [cm]");
  EXPECT_DOUBLE_EQ(dialog_.m_data.querschnitte[0].bx.GetValue(), 35.0);
  EXPECT_DOUBLE_EQ(dialog_.m_data.querschnitte[0].ex.GetValue(), 0.0);
}

// Lines pasted past the last load or field make new ones only after a question that counts them and names the lines
// that make them; "Nein" leaves the grid, the data and the saved position as they were, "Ja" takes the whole paste.
// A block that fills rows the grid holds asks nothing; a line that makes no row (an empty one) ends the new rows.
TEST_F(GridClipboardTest, APasteThatAddsRowsAsksFirst) {
  std::string document;  // a Writer document of 24 lines
  for (int i = 1; i <= 24; ++i) document += "Absatz " + std::to_string(i) + "\n";
  const std::vector<std::string> example = {"Eigengewicht Stütze", "Dach, ständig",           "Decke über EG, ständig",
                                            "Dach, Nutzlast",      "Decke über EG, Nutzlast", "Wind auf Fassade",
                                            "Wind auf Fassade"};
  const auto with = [&](std::vector<std::string> texts, int from, const std::vector<std::string>& pasted) {
    texts.resize(std::max(texts.size(), std::size_t(from - 1) + pasted.size()));
    std::copy(pasted.begin(), pasted.end(), texts.begin() + (from - 1));
    return texts;
  };
  std::vector<std::string> paragraphs;
  for (int i = 1; i <= 24; ++i) paragraphs.push_back("Absatz " + std::to_string(i));
  // A Writer document whose line 11 (a picture's) is empty: it makes no load, and the lines after it find no row.
  std::string pictured;
  for (int i = 1; i <= 24; ++i) pictured += (i == 11 ? std::string() : paragraphs[std::size_t(i - 1)]) + "\n";
  const std::string pictureQuestion =
      "Die Einfügung legt 5 neue Lasten an (Zeilen 6 bis 10 der Einfügung).\nDie Zeilen 11 bis 24 der Einfügung "
      "werden nicht übernommen: die erste ist leer und legt keine neue Tabellenzeile an.\nSoll sie eingefügt werden?";
  const struct {
    const char* name;
    bool loads;  // else the system's fields
    int row, col;
    std::string text;
    int answer;  // to the question, 0: none asked
    std::vector<std::string> boxes;
    std::vector<std::string> saved;  // the loads' texts or the fields' lengths
  } cases[] = {
      {"a document into load 3's text, Nein",
       true,
       3,
       L::kColText,
       document,
       IDNO,
       {"Die Einfügung legt 19 neue Lasten an (Zeilen 6 bis 24 der Einfügung).\nSoll sie eingefügt werden?"},
       example},
      {"a document into load 3's text, Ja",
       true,
       3,
       L::kColText,
       document,
       IDYES,
       {"Die Einfügung legt 19 neue Lasten an (Zeilen 6 bis 24 der Einfügung).\nSoll sie eingefügt werden?"},
       with(example, 3, paragraphs)},
      {"a document with an empty line into load 3's text, Nein",
       true,
       3,
       L::kColText,
       pictured,
       IDNO,
       {pictureQuestion},
       example},
      {"a document with an empty line into load 3's text, Ja",
       true,
       3,
       L::kColText,
       pictured,
       IDYES,
       {pictureQuestion},
       with(example, 3, std::vector<std::string>(paragraphs.begin(), paragraphs.begin() + 10))},
      {"four lines into the last load's text, Nein",
       true,
       7,
       L::kColText,
       "a\nb\nc\nd",
       IDNO,
       {"Die Einfügung legt 3 neue Lasten an (Zeilen 2 bis 4 der Einfügung).\nSoll sie eingefügt werden?"},
       example},
      {"an empty line ends the new loads, Ja",
       true,
       7,
       L::kColText,
       "a\nb\n\nc",
       IDYES,
       {"Die Einfügung legt 1 neue Last an (Zeile 2 der Einfügung).\nDie Zeilen 3 bis 4 der Einfügung werden nicht "
        "übernommen: die erste ist leer und legt keine neue Tabellenzeile an.\nSoll sie eingefügt werden?"},
       with(example, 7, {"a", "b"})},
      {"two texts into loads 1 and 2", true, 1, L::kColText, "x\ny\n", 0, {}, with(example, 1, {"x", "y"})},
      {"three lengths into field 2, Nein",
       false,
       3,
       G::kColLength,
       "2,0\n3,0\n4,0\n",
       IDNO,
       {"Die Einfügung legt 2 neue Felder an (Zeilen 2 bis 3 der Einfügung).\nSoll sie eingefügt werden?"},
       {"3.2", "4.5"}},
      {"three lengths into field 2, Ja",
       false,
       3,
       G::kColLength,
       "2,0\n3,0\n4,0\n",
       IDYES,
       {"Die Einfügung legt 2 neue Felder an (Zeilen 2 bis 3 der Einfügung).\nSoll sie eingefügt werden?"},
       {"3.2", "2", "3", "4"}},
  };
  const auto savedTexts = [](const fs::path& path) {
    const std::string text = FileBytes(path);
    static const std::regex load(R"re(<load [^>]*desc="([^"]*)")re");
    std::vector<std::string> texts;
    for (std::sregex_iterator it(text.begin(), text.end(), load), end; it != end; ++it) texts.push_back((*it)[1]);
    return texts;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = Open();
    ShowTab(c.loads ? 4 : 2);
    win::msgbox::ClearLog();
    if (c.answer) win::msgbox::QueueAnswer(c.answer);
    for (std::size_t i = 1; i < c.boxes.size(); ++i) win::msgbox::QueueAnswer(IDOK);
    COrmiGridCtrl& grid = c.loads ? static_cast<COrmiGridCtrl&>(Loads()) : System();
    const int rows = grid.GetRowCount();
    grid_keys::PasteInto(grid, c.row, c.col, c.text);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
    const int made = int(c.saved.size()) - (c.loads ? 7 : 2);
    EXPECT_EQ(grid.GetRowCount(), rows + made);
    EXPECT_EQ(c.loads ? Loads().LoadCount() : System().FieldCount(), int(c.saved.size()));
    Ok();
    EXPECT_EQ(c.loads ? savedTexts(path) : SavedLengths(path), c.saved);
  }
}

// A paste that asks says in its one question which values it leaves out and why, quoted as pasted ("Pos. 12", not
// as the formula reader rewrote it); after "Ja" no second box comes, the refused field keeps its length and the rest
// arrives; "Nein" changes nothing.
TEST_F(GridClipboardTest, APasteSaysItsRefusalsInItsOneQuestion) {
  const std::string question =
      "Die Einfügung legt 2 neue Felder an (Zeilen 3 bis 4 der Einfügung).\n"
      "Ein Wert der Einfügung wird nicht übernommen:\n"
      "Feld 2, Länge: Unerwartete Zeichen: Pos. 12\n"
      "Soll sie eingefügt werden?";
  for (const int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDYES ? "Ja" : "Nein");
    const fs::path path = Open();
    ShowTab(2);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(answer);
    grid_keys::PasteInto(System(), 2, G::kColLength, "1,5\n12 Pos. 12\n2,0\n3,0\n");
    EXPECT_EQ(Boxes(), std::vector<std::string>{question});
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
    Ok();
    const std::vector<std::string> saved =
        answer == IDYES ? std::vector<std::string>{"1.5", "4.5", "2", "3"} : std::vector<std::string>{"3.2", "4.5"};
    EXPECT_EQ(SavedLengths(path), saved);
  }
}

// A spreadsheet column of 101 lengths pasted into field 1: the grid takes the 100 fields a position holds and
// leaves out the rest, as the one question before the paste says; OK saves a position that reads back whole.
TEST_F(GridClipboardTest, APastedColumnStopsAtTheFieldsAPositionHolds) {
  const fs::path path = Open();
  ShowTab(2);
  std::string column;
  for (int i = 0; i < 103; ++i) column += "3,5\n";
  win::msgbox::QueueAnswer(IDYES);
  grid_keys::PasteInto(System(), 2, G::kColLength, column);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  // Lines 1 and 2 fill the two fields; the question counts the new fields the position takes and says why the
  // lines after them are left out.
  EXPECT_EQ(win::msgbox::Log()[0].text,
            "Die Einfügung legt 98 neue Felder an (Zeilen 3 bis 100 der Einfügung).\n"
            "Die Zeilen 101 bis 103 der Einfügung werden nicht übernommen:\n"
            "Feld 101: Die Stütze hat höchstens 100 Felder.\nSoll sie eingefügt werden?");
  EXPECT_EQ(System().FieldCount(), 100);
  ASSERT_EQ(dialog_.m_data.nFields(), 100);
  EXPECT_EQ(System().GetItemText(101, G::kColSum), "350.00 m");  // 100 x 3.5
  EXPECT_EQ(System().GetItemText(102, G::kColLength), "") << "the entry row stays empty";
  Ok();
  EXPECT_EQ(SavedLengths(path), std::vector<std::string>(100, "3.5"));
  CKolumoData read;
  const int doc = VIDUV_OpenDoc(path.c_str());
  ASSERT_NE(doc, 0);
  read.doc = doc;
  read.ReadData(doc);
  VIDUV_CloseDoc(doc);
  EXPECT_EQ(read.nFields(), 100);
  EXPECT_EQ(win::msgbox::Log().size(), 1u) << "the reader takes what was saved";
  // "Feld kopieren" on a column of 100 fields is refused the same way.
  win::msgbox::QueueAnswer(IDOK);
  System().OnCellContextMenu(2, G::kColLength, G::kCmdCopy);
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_EQ(win::msgbox::Log()[1].text, "Feld 101: Die Stütze hat höchstens 100 Felder.");
  EXPECT_EQ(System().FieldCount(), 100);
}

}  // namespace
