// The variables page driven as the engineer drives it: entries of each kind in
// their rows, a kind chosen in the empty row, formulas over the variables above
// them, the row commands of the context menu, and the switch to the document
// editor.
#include "framework_ui/dlgvardef.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/GridCellTypes.h"
#include "formula/vardef.h"
#include "framework/basedata.h"
#include "framework/regsettings.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/controls/grid_keys.h"

namespace {

// The settings of these tests live in a registry file of their own.
const bool kOwnRegistry = [] {
  const auto file = std::filesystem::temp_directory_path() / ("vardef-registry-" + std::to_string(::getpid()) + ".xml");
  ::setenv("ORMI_REGISTRY", file.c_str(), 1);
  return true;
}();

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
  void DefineVariables() override {
    ++defined;
    BaseData::DefineVariables();
  }
  void Redraw(BOOL) override { ++redrawn; }
  int defined = 0;
  int redrawn = 0;
};

void TypeInto(COrmiGridCtrl& grid, int row, int col, const std::string& text) {
  grid.SetFocusCell(row, col);
  win::PumpMessages();
  win::input::Key(VK_F2);
  win::PumpMessages();
  win::input::KeyWith(VK_CONTROL, 'A');
  if (text.empty()) win::input::Key(VK_BACK);
  win::input::Type(text);
  grid.EndEditing();
  win::PumpMessages();
}

template <class T>
T& Add(CVarDefList& list) {
  list.Add(CVarDefEntry::Create(T().type));
  return *list.GetAs<T>(list.GetSize() - 1);
}

std::vector<int> Kinds(const CVarDefList& list) {
  std::vector<int> kinds;
  for (int i = 0; i < list.GetSize(); ++i) kinds.push_back(list.GetAt(i) ? list.GetAt(i)->type : -1);
  return kinds;
}

class VarDefPageTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    GetRegSettings().WriteInt("", "bSkrib", 0);
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Eingabe", WS_POPUP | WS_VISIBLE, 0, 0, 900, 320, nullptr, nullptr));
    ASSERT_TRUE(page.Create(IDD_DLGVARDEF, &parent));
    page.MoveWindow(0, 0, 900, 320);
    page.ShowWindow(SW_SHOW);
    auto& h = Add<CVarDefVariable>(data.varDefs);
    h.desc = "Stützenhöhe";
    h.varName = "h";
    h.unit = "m";
    h.value = 3.5;
    Add<CVarDefUeberschrift>(data.varDefs).title = "Lasten";
    auto& n = Add<CVarDefBerechnung>(data.varDefs);
    n.desc = "doppelte Höhe";
    n.value = "2*h";
    auto& taken = Add<CVarDefWertUebernahme>(data.varDefs);
    taken.GetImport().varPath = "Pos 1\\Auflager\\A";
    taken.GetImport().varName = "A";
    taken.GetImport().value = 12.5;
    Add<CVarDefAbbildung>(data.varDefs).dWidth = 8.0;
    page.SetData(&data);
    page.TransferData(FALSE);
    win::PumpMessages();
  }
  void TearDown() override {
    page.DestroyWindow();
    parent.DestroyWindow();
    GetRegSettings().WriteInt("", "bSkrib", 0);
    WindowTest::TearDown();
  }
  void Save(const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(parent.m_hWnd, std::string(dir) + "/" + name + ".png");
  }
  void Command(int row, int col, const char* path) {
    CRect cell;
    ASSERT_TRUE(page.m_grid.GetCellRect(row, col, &cell));
    win::script::QueueMenuItem(path);
    win::input::Click(page.m_grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
    win::PumpMessages();
  }
  CWnd parent;
  DlgVarDef page;
  Position data;
};

TEST_F(VarDefPageTest, EachKindGetsItsCellsAndValues) {
  VarDefGrid& g = page.m_grid;
  ASSERT_EQ(g.GetRowCount(), 7);  // header, five entries, the empty row
  struct Case {
    int row, col, type;
    bool editable;
    const char* text;
  };
  const Case cases[] = {
      {1, VarDefGrid::kText, ORMI_TEXT, true, "Stützenhöhe"},
      {1, VarDefGrid::kWert, ORMI_FORMULA, true, nullptr},
      {1, VarDefGrid::kEinheit, ORMI_COMBO, true, "m"},
      {1, VarDefGrid::kExport, ORMI_CHECK, true, nullptr},
      {2, VarDefGrid::kText, ORMI_TEXT, true, "Lasten"},
      {2, VarDefGrid::kVariable, ORMI_TEXT, false, ""},
      {3, VarDefGrid::kVariable, ORMI_TEXT, false, ""},
      {3, VarDefGrid::kWert, ORMI_FORMULA, true, nullptr},
      // Taken over: the source path with its separators shown as dashes,
      // nothing editable but the button.
      {4, VarDefGrid::kText, ORMI_TEXT, false, "Pos 1 - Auflager - A"},
      {4, VarDefGrid::kWert, ORMI_DOUBLE, false, nullptr},
      {4, VarDefGrid::kExport, ORMI_BUTTON, false, "Auswahl"},
      {5, VarDefGrid::kVariable, ORMI_BUTTON, false, "Datei wählen"},
      {5, VarDefGrid::kWert, ORMI_DOUBLE, true, "8.0 cm"},
      {6, VarDefGrid::kText, ORMI_TEXT, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(g.GetCellType(c.row, c.col), c.type) << c.row << "," << c.col;
    if (c.type != ORMI_BUTTON) {
      EXPECT_EQ(bool(g.IsCellEditable(c.row, c.col)), c.editable) << c.row << "," << c.col;
    }
    if (c.text) {
      EXPECT_EQ(g.GetItemText(c.row, c.col), c.text) << c.row << "," << c.col;
    }
  }
  // The calculation shows the value of its formula over the variable above it:
  // 2 * 3.5.
  EXPECT_DOUBLE_EQ(g.GetCellFormula(3, VarDefGrid::kWert).GetValue(), 7.0);
  EXPECT_EQ(g.GetCellFormula(3, VarDefGrid::kWert).GetText(), "2*h");
  // Headings are bold.
  EXPECT_EQ(g.GetCell(2, VarDefGrid::kText)->GetFont()->lfWeight, 700);
  // The headers follow the kind of the focused row.
  g.SetFocusCell(5, VarDefGrid::kWert);
  EXPECT_EQ(g.GetItemText(0, VarDefGrid::kWert), "Breite");
  g.SetFocusCell(1, VarDefGrid::kWert);
  EXPECT_EQ(g.GetItemText(0, VarDefGrid::kWert), "Wert/Formel");
  Save("dlgvardef");
}

TEST_F(VarDefPageTest, AChangedVariableReachesTheFormulasBelowAndThePosition) {
  VarDefGrid& g = page.m_grid;
  const int defined = data.defined;
  TypeInto(g, 1, VarDefGrid::kWert, "4,25");
  // 2 * 4.25 = 8.5, refreshed in the calculation's row and in the list.
  EXPECT_DOUBLE_EQ(g.GetCellFormula(3, VarDefGrid::kWert).GetValue(), 8.5);
  EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefBerechnung>(2)->value.GetValue(), 8.5);
  EXPECT_GT(data.defined, defined);
  EXPECT_GT(data.redrawn, 0);
  // Typing the same value again changes nothing, so the position is not told.
  const int before = data.defined;
  TypeInto(g, 2, VarDefGrid::kText, "Lasten");
  EXPECT_EQ(data.defined, before);
}

// A formula that names a variable no entry above defines is refused, typed or pasted, with the formula's message
// and the cell's name; the calculation keeps 2 * h = 7.
TEST_F(VarDefPageTest, AFormulaNamingAnUndefinedVariableIsRefusedTypedOrPasted) {
  VarDefGrid& g = page.m_grid;
  for (const bool typed : {true, false}) {
    SCOPED_TRACE(typed ? "typed" : "pasted");
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    if (typed) {
      TypeInto(g, 3, VarDefGrid::kWert, "2*hx");
      win::input::Key(VK_ESCAPE);  // the editor is back on the cell
      win::PumpMessages();
    } else {
      grid_keys::PasteInto(g, 3, VarDefGrid::kWert, "2*hx");
    }
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, "Zeile 3, Formel: 'hx' nicht definiert");
    EXPECT_EQ(g.GetCellFormula(3, VarDefGrid::kWert).GetText(), "2*h");
    EXPECT_EQ(data.varDefs.GetAs<CVarDefBerechnung>(2)->value.GetText(), "2*h");
    EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefBerechnung>(2)->value.GetValue(), 7.0);
  }
}

// A formula may name helpers that it assigns before it reads them; a name read while nothing defines it is refused,
// named, with the row by its number and its variable. The helpers stay in their formulas: the row below cannot read
// one.
TEST_F(VarDefPageTest, HelperNamesAreTakenAndOnlyANameReadUndefinedIsRefused) {
  VarDefGrid& g = page.m_grid;
  struct Case {
    int row, col;
    const char* typed;
    const char* refusal;  // nullptr: taken
    double value;         // of the row's entry afterwards
  };
  const Case cases[] = {
      {1, VarDefGrid::kWert, "l=9; l/2", nullptr, 4.5},
      {3, VarDefGrid::kWert, "a=2; a*h", nullptr, 9.0},
      {3, VarDefGrid::kWert, "b*3; b=2", "Zeile 3, Formel: 'b' nicht definiert", 9.0},
      {3, VarDefGrid::kWert, "c=b+1; b=2; c*h", "Zeile 3, Formel: 'b' nicht definiert", 9.0},
      {3, VarDefGrid::kWert, "l*2", "Zeile 3, Formel: 'l' nicht definiert", 9.0},
      {1, VarDefGrid::kWert, "2+abc", "Zeile 1 (h), Wert/Formel: 'abc' nicht definiert", 4.5},
      {1, VarDefGrid::kWert, "abc", "Zeile 1 (h), Wert/Formel: 'abc' nicht definiert", 4.5},
      {1, VarDefGrid::kWert, "x=3; x=x+1; x", nullptr, 4.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    win::msgbox::ClearLog();
    if (c.refusal) win::msgbox::QueueAnswer(IDOK);
    TypeInto(g, c.row, c.col, c.typed);
    if (c.refusal) {
      win::input::Key(VK_ESCAPE);  // the editor is back on the cell
      win::PumpMessages();
      ASSERT_EQ(win::msgbox::Log().size(), 1u);
      EXPECT_EQ(win::msgbox::Log()[0].text, c.refusal);
    } else {
      EXPECT_TRUE(win::msgbox::Log().empty());
      EXPECT_EQ(g.GetCellFormula(c.row, c.col).GetText(), c.typed);
    }
    CVarDefEntry* entry = data.varDefs.GetAt(c.row - 1);
    auto* variable = dynamic_cast<CVarDefVariable*>(entry);
    auto* calculation = dynamic_cast<CVarDefBerechnung*>(entry);
    ASSERT_TRUE(variable || calculation);
    EXPECT_DOUBLE_EQ(variable ? variable->value.GetValue() : calculation->value.GetValue(), c.value);
  }
  // Pasted alike: 3 * h = 12.
  win::msgbox::ClearLog();
  grid_keys::PasteInto(g, 3, VarDefGrid::kWert, "a=3; a*h");
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefBerechnung>(2)->value.GetValue(), 12.0);
}

// "Zeile kopieren" copies the entry whole, with its format, text height and decimal places.
TEST_F(VarDefPageTest, ACopiedRowKeepsItsFormatTextHeightAndDigits) {
  struct Case {
    int row, format, height, digits;
  };
  // From the bottom up, so that a copy does not move the rows still to copy.
  const Case cases[] = {{3, 16, 12, 4}, {2, 9, 18, 2}, {1, 2, 14, 0}};
  for (const Case& c : cases) {
    CVarDefEntry* entry = data.varDefs.GetAt(c.row - 1);
    entry->format = c.format;
    entry->textHeight = c.height;
    entry->digits = c.digits;
  }
  page.TransferData(FALSE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    const int kind = data.varDefs.GetAt(c.row - 1)->type;
    Command(c.row, VarDefGrid::kTyp, "Zeile kopieren");
    const CVarDefEntry* copy = data.varDefs.GetAt(c.row);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->type, kind);
    EXPECT_EQ(copy->format, c.format);
    EXPECT_EQ(copy->textHeight, c.height);
    EXPECT_EQ(copy->digits, c.digits);
  }
  EXPECT_EQ(Kinds(data.varDefs), (std::vector<int>{0, 0, 1, 1, 2, 2, 6, 4}));
  EXPECT_EQ(data.varDefs.GetAs<CVarDefBerechnung>(5)->value.GetText(), "2*h");
}

// Kinds pasted into the empty last row make entries only after a question that counts them; "Nein" leaves the
// page as it was. A text pasted into an entry asks nothing.
TEST_F(VarDefPageTest, APasteThatMakesEntriesAsksFirst) {
  VarDefGrid& g = page.m_grid;
  const char* question =
      "Die Einfügung legt 2 neue Zeilen an (Zeilen 1 bis 2 der Einfügung).\nSoll sie eingefügt werden?";
  const struct {
    int row, col;
    const char* text;
    int answer;  // 0: no question
    std::vector<int> kinds;
  } cases[] = {
      {6, VarDefGrid::kTyp, "Variable\tBreite\nFreier Text\tHinweis\n", IDNO, {0, 1, 2, 6, 4}},
      {6, VarDefGrid::kTyp, "Variable\tBreite\nFreier Text\tHinweis\n", IDYES, {0, 1, 2, 6, 4, 0, 3}},
      {1, VarDefGrid::kText, "Höhe", 0, {0, 1, 2, 6, 4, 0, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    win::msgbox::ClearLog();
    if (c.answer) win::msgbox::QueueAnswer(c.answer);
    grid_keys::PasteInto(g, c.row, c.col, c.text);
    ASSERT_EQ(win::msgbox::Log().size(), c.answer ? 1u : 0u);
    if (c.answer) {
      EXPECT_EQ(win::msgbox::Log()[0].text, question);
    }
    page.TransferData(TRUE);
    EXPECT_EQ(Kinds(data.varDefs), c.kinds);
    EXPECT_EQ(g.GetRowCount(), int(c.kinds.size()) + 2);
  }
  EXPECT_EQ(data.varDefs.GetAs<CVarDefVariable>(0)->desc, "Höhe");
  EXPECT_EQ(data.varDefs.GetAs<CVarDefVariable>(5)->desc, "Breite");
  EXPECT_EQ(data.varDefs.GetAs<CVarDefFreierText>(6)->text, "Hinweis");
}

// Return in a value's editor opens the unit's list, which keeps the keys until Escape ends only it: the release of
// the Return is no key of the list's own (it closed the list at once, and the next Escape reached the dialog).
TEST_F(VarDefPageTest, ReturnFromAValueOpensTheUnitsListUntilEscape) {
  VarDefGrid& g = page.m_grid;
  g.SetFocusCell(1, VarDefGrid::kWert);
  win::PumpMessages();
  win::input::Key(VK_F2);
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Type("4");
  win::input::Key(VK_RETURN);
  win::PumpMessages();
  CWnd* editor = g.GetDlgItem(8);
  ASSERT_NE(editor, nullptr) << "no list open after Return";
  EXPECT_EQ(g.CGridCtrl::GetFocusCell(), CCellID(1, VarDefGrid::kEinheit));
  EXPECT_TRUE(::GetFocus() == editor->m_hWnd || ::GetParent(::GetFocus()) == editor->m_hWnd);
  win::input::Key(VK_ESCAPE);
  win::PumpMessages();
  EXPECT_EQ(g.GetDlgItem(8), nullptr);
  EXPECT_EQ(g.CGridCtrl::GetFocusCell(), CCellID(1, VarDefGrid::kEinheit));
  EXPECT_EQ(::GetFocus(), g.m_hWnd);
  EXPECT_EQ(g.GetItemText(1, VarDefGrid::kEinheit), "m");
  page.TransferData(TRUE);
  EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefVariable>(0)->value.GetValue(), 4.0);
}

// A paste asks once, before it changes anything, when it leaves out lines (saying which and why) or renames
// variables (what used the old names would find them no more), in every column: a table of six lines (one cell a
// line) on the first variable's name, three lines on its description. "Nein" leaves the page as it was.
TEST_F(VarDefPageTest, APasteSaysWhatItLeavesOutAndWhatItRenames) {
  VarDefGrid& g = page.m_grid;
  data.varDefs.RemoveAll();
  auto& q = Add<CVarDefVariable>(data.varDefs);
  q.desc = "Nutzlast";
  q.varName = "qk";
  auto& b = Add<CVarDefVariable>(data.varDefs);
  b.desc = "Breite";
  b.varName = "b";
  page.TransferData(FALSE);
  win::PumpMessages();
  const struct {
    const char* name;
    int col;
    const char* text;
    int answer;
    const char* question;
    std::vector<std::string> names, descriptions;  // afterwards
  } cases[] = {
      {"a table on the first name, Nein",
       VarDefGrid::kVariable,
       "gk\n6,5\nkN/m2\nqk\n3,0\nkN/m2\n",
       IDNO,
       "Die Zeilen 3 bis 6 der Einfügung werden nicht übernommen: die erste legt in dieser Spalte keine neue "
       "Tabellenzeile an.\nDie Einfügung benennt Variablen um: „qk“ in „gk“, „b“ in „6,5“.\nSoll sie eingefügt werden?",
       {"qk", "b"},
       {"Nutzlast", "Breite"}},
      {"one name, Ja",
       VarDefGrid::kVariable,
       "gk",
       IDYES,
       "Die Einfügung benennt die Variable „qk“ in „gk“ um.\nSoll sie eingefügt werden?",
       {"gk", "b"},
       {"Nutzlast", "Breite"}},
      {"the same name asks nothing", VarDefGrid::kVariable, "gk\n", 0, nullptr, {"gk", "b"}, {"Nutzlast", "Breite"}},
      {"three descriptions, Nein",
       VarDefGrid::kText,
       "Eigenlast\nHöhe\nLänge",
       IDNO,
       "Zeile 3 der Einfügung wird nicht übernommen: sie legt in dieser Spalte keine neue Tabellenzeile an.\n"
       "Soll sie eingefügt werden?",
       {"gk", "b"},
       {"Nutzlast", "Breite"}},
      {"three descriptions, Ja",
       VarDefGrid::kText,
       "Eigenlast\nHöhe\nLänge",
       IDYES,
       "Zeile 3 der Einfügung wird nicht übernommen: sie legt in dieser Spalte keine neue Tabellenzeile an.\n"
       "Soll sie eingefügt werden?",
       {"gk", "b"},
       {"Eigenlast", "Höhe"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    win::msgbox::ClearLog();
    if (c.answer) win::msgbox::QueueAnswer(c.answer);
    grid_keys::PasteInto(g, 1, c.col, c.text);
    ASSERT_EQ(win::msgbox::Log().size(), c.question ? 1u : 0u);
    if (c.question) {
      EXPECT_EQ(win::msgbox::Log()[0].text, c.question);
    }
    page.TransferData(TRUE);
    ASSERT_EQ(Kinds(data.varDefs), (std::vector<int>{CVarDefEntry::kVariable, CVarDefEntry::kVariable}));
    EXPECT_EQ(g.GetRowCount(), 4);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(std::string(data.varDefs.GetAs<CVarDefVariable>(i)->varName), c.names[std::size_t(i)]);
      EXPECT_EQ(std::string(data.varDefs.GetAs<CVarDefVariable>(i)->desc), c.descriptions[std::size_t(i)]);
    }
  }
}

// A paste that asks says in its one question, before anything changes, which values it leaves out, each named by its
// row and the header that row shows; after "Ja" no second box comes and the rest arrives.
TEST_F(VarDefPageTest, APasteSaysItsRefusalsInItsOneQuestion) {
  VarDefGrid& g = page.m_grid;
  win::msgbox::QueueAnswer(IDYES);
  // values for the rows h (a variable), a heading, 2*h (a calculation), a heading, a picture, and two lines more
  grid_keys::PasteInto(g, 1, VarDefGrid::kWert, "2,5\nx\n3 Pos. 12\ny\nPos. 16\n7\n8\n");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text,
            "Die Zeilen 6 bis 7 der Einfügung werden nicht übernommen: die erste legt in dieser Spalte keine neue "
            "Tabellenzeile an.\n"
            "Diese Werte der Einfügung werden nicht übernommen:\n"
            "Zeile 3, Formel: Unerwartete Zeichen: Pos. 12\n"
            "Zeile 5, Breite: 'Pos. 16' ist keine Zahl.\n"
            "Soll sie eingefügt werden?");
  page.TransferData(TRUE);
  EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefVariable>(0)->value.GetValue(), 2.5);
  EXPECT_EQ(data.varDefs.GetAs<CVarDefBerechnung>(2)->value.GetText(), "2*h");
}

// A refusal names the row by its number (and its variable, when it defines one) before the column's header.
TEST_F(VarDefPageTest, ARefusalNamesTheRow) {
  VarDefGrid& g = page.m_grid;
  auto& sum = Add<CVarDefSummeTabelle>(data.varDefs);
  sum.varName = "s";
  page.TransferData(FALSE);
  struct Case {
    int row, col;
    const char* typed;
    const char* refusal;
  };
  const Case cases[] = {
      {1, VarDefGrid::kWert, "2*q", "Zeile 1 (h), Wert/Formel: 'q' nicht definiert"},
      {3, VarDefGrid::kWert, "1/0", "Zeile 3, Formel: Division durch Null."},
      {5, VarDefGrid::kEinheit, "hoch", "Zeile 5, Höhe: 'hoch' ist keine Zahl."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    TypeInto(g, c.row, c.col, c.typed);
    win::input::Key(VK_ESCAPE);
    win::PumpMessages();
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, c.refusal);
  }
  // A table sum defines its variable too: the name of its row says so, with the header its row shows (the headers
  // follow the kind of the focus row, here a picture's).
  EXPECT_EQ(g.GetItemText(0, VarDefGrid::kText), "Dateiname");
  EXPECT_EQ(g.CellName(6, VarDefGrid::kText), "Zeile 6 (s), Beschreibung (Rechte Maustaste für Formatierungen)");
}

TEST_F(VarDefPageTest, TheEmptyRowBecomesAnEntryOnlyWhenAKindIsChosen) {
  VarDefGrid& g = page.m_grid;
  EXPECT_FALSE(g.IsCellEditable(6, VarDefGrid::kText)) << "nothing but the kind can be typed there";
  page.TransferData(TRUE);
  EXPECT_EQ(data.varDefs.GetSize(), 5);
  g.SetComboIndex(6, VarDefGrid::kTyp, CVarDefEntry::kFreierText);
  g.OnCellChanged(6, VarDefGrid::kTyp, ORMI_COMBO_INDEX);
  EXPECT_EQ(Kinds(data.varDefs), (std::vector<int>{0, 1, 2, 6, 4, 3}));
  EXPECT_EQ(g.GetRowCount(), 8);
  EXPECT_TRUE(g.IsCellEditable(6, VarDefGrid::kText));
  TypeInto(g, 6, VarDefGrid::kText, "Nachweis nach EC 2");
  EXPECT_EQ(data.varDefs.GetAs<CVarDefFreierText>(5)->text, "Nachweis nach EC 2");
  // Another kind replaces the entry by a new one of that kind.
  g.SetComboIndex(2, VarDefGrid::kTyp, CVarDefEntry::kFreierText);
  g.OnCellChanged(2, VarDefGrid::kTyp, ORMI_COMBO_INDEX);
  EXPECT_EQ(Kinds(data.varDefs), (std::vector<int>{0, 3, 2, 6, 4, 3}));
}

// The kind's arrow opens its list with one click, on an entry and on the empty last row alike, and the list stays
// open for the choice: "A" then Enter makes a picture entry. Escape chooses nothing: the entry keeps its kind, and
// the empty row, whose list lights no entry, stays empty.
TEST_F(VarDefPageTest, TheKindsArrowOpensItsListForTheChoice) {
  VarDefGrid& g = page.m_grid;
  const struct {
    int row;
    const char* typed;
    int kind;     // of the row's entry afterwards, -1 none
    int entries;  // in the list afterwards
  } cases[] = {
      // in turn, on the same page
      {6, "\x1b", -1, 5},
      {1, "\x1b", CVarDefEntry::kVariable, 5},
      {1, "A\n", CVarDefEntry::kAbbildung, 5},
      {6, "A\n", CVarDefEntry::kAbbildung, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + (c.typed[0] == '\x1b' ? ", Escape" : ", A and Enter"));
    CRect cell;
    ASSERT_TRUE(g.GetCellRect(c.row, VarDefGrid::kTyp, &cell));
    const CRect arrow = CGridCellCombo::ArrowRect(cell);
    ASSERT_FALSE(arrow.IsRectEmpty());
    win::input::Click(g.m_hWnd, arrow.CenterPoint().x, arrow.CenterPoint().y);
    win::PumpMessages();
    auto* combo = dynamic_cast<CGridCellCombo*>(g.GetCell(c.row, VarDefGrid::kTyp));
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(combo->IsEditing()) << "the list closed at once";
    for (const char* k = c.typed; *k; ++k) {
      if (*k == '\x1b')
        win::input::Key(VK_ESCAPE);
      else
        win::input::Type(std::string(1, *k));
    }
    win::PumpMessages();
    EXPECT_FALSE(g.IsItemEditing(c.row, VarDefGrid::kTyp));
    EXPECT_EQ(g.GetComboIndex(c.row, VarDefGrid::kTyp), c.kind);
    page.TransferData(TRUE);
    ASSERT_EQ(data.varDefs.GetSize(), c.entries);
    if (c.kind >= 0) {
      EXPECT_EQ(data.varDefs.GetAt(c.row - 1)->type, c.kind);
    }
    EXPECT_EQ(g.GetRowCount(), c.entries + 2);
  }
  EXPECT_TRUE(win::msgbox::Log().empty());
}

// A picture's size shows with its unit ("8.0 cm"): storing the page keeps it, and a typed size is stored.
TEST_F(VarDefPageTest, APicturesSizeShownInCentimetresIsKeptAndTyped) {
  VarDefGrid& g = page.m_grid;
  EXPECT_EQ(g.GetItemText(5, VarDefGrid::kWert), "8.0 cm");
  page.TransferData(TRUE);
  EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefAbbildung>(4)->dWidth, 8.0);
  TypeInto(g, 5, VarDefGrid::kEinheit, "6,5");
  page.TransferData(TRUE);
  EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefAbbildung>(4)->dWidth, 8.0);
  EXPECT_DOUBLE_EQ(data.varDefs.GetAs<CVarDefAbbildung>(4)->dHeight, 6.5);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(VarDefPageTest, RowCommandsMoveCopyDeleteAndFormat) {
  struct Case {
    int row, col;
    const char* path;
    std::vector<int> kinds;
  };
  const std::vector<int> start{0, 1, 2, 6, 4};
  const Case cases[] = {
      {3, VarDefGrid::kText, "Zeile nach oben schieben", {0, 2, 1, 6, 4}},
      {1, VarDefGrid::kText, "Zeile nach unten schieben", {2, 0, 1, 6, 4}},
      {3, VarDefGrid::kText, "Zeile an den Anfang schieben", {1, 2, 0, 6, 4}},
      {1, VarDefGrid::kTyp, "Zeile ans Ende schieben", {2, 0, 6, 4, 1}},
      {2, VarDefGrid::kTyp, "Zeile kopieren", {2, 0, 0, 6, 4, 1}},
      {1, VarDefGrid::kTyp, "Zeile löschen", {0, 0, 6, 4, 1}},
  };
  for (const Case& c : cases) {
    Command(c.row, c.col, c.path);
    EXPECT_EQ(Kinds(data.varDefs), c.kinds) << c.path;
    EXPECT_EQ(page.m_grid.GetRowCount(), int(c.kinds.size()) + 2) << c.path;
  }
  // The copy is a copy: the same name and formula.
  EXPECT_EQ(data.varDefs.GetAs<CVarDefVariable>(1)->varName, "h");
}

TEST_F(VarDefPageTest, FormatSizeAndDigitsAreSetFromTheMenu) {
  struct Case {
    int col;
    const char* path;
    int format, height, digits;
  };
  const Case cases[] = {
      {VarDefGrid::kText, "Format\\Fett", 1, 0, 2},
      {VarDefGrid::kText, "Format\\Rechtsbündig", 17, 0, 2},
      {VarDefGrid::kText, "Format\\Fett", 16, 0, 2},
      {VarDefGrid::kText, "Schriftgrad\\14", 16, 14, 2},
      {VarDefGrid::kText, "Schriftgrad\\8", 16, 8, 2},
      {VarDefGrid::kText, "Schriftgrad\\Standard", 16, 0, 2},
      {VarDefGrid::kWert, "Nachkommastellen\\Keine", 16, 0, 0},
      {VarDefGrid::kWert, "Nachkommastellen\\6", 16, 0, 6},
  };
  for (const Case& c : cases) {
    Command(1, c.col, c.path);
    const CVarDefEntry* e = data.varDefs.GetAt(0);
    EXPECT_EQ(e->format, c.format) << c.path;
    EXPECT_EQ(e->textHeight, c.height) << c.path;
    EXPECT_EQ(e->digits, c.digits) << c.path;
  }
  // A heading has no digits to choose: its value column offers no such entry.
  CRect cell;
  ASSERT_TRUE(page.m_grid.GetCellRect(2, VarDefGrid::kWert, &cell));
  win::script::QueueMenuCommand(0);
  win::input::Click(page.m_grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
  win::PumpMessages();
  const std::string& offered = win::script::Log().back().caption;
  EXPECT_EQ(offered.find("Nachkommastellen"), std::string::npos) << offered;
}

TEST_F(VarDefPageTest, WithTheDocumentSwitchTheGridIsHiddenAndNotExchanged) {
  CWnd editor;
  ASSERT_TRUE(editor.Create("Static", "Dokument", WS_CHILD, CRect(0, 0, 10, 10), &page, 11623));
  std::vector<BOOL> exchanged;
  page.SetEditor(&editor, [&](BOOL save) { exchanged.push_back(save); });
  EXPECT_EQ(data.pSkribDlg, &editor);
  GetRegSettings().WriteInt("", "bSkrib", 1);
  page.m_grid.SetItemText(1, VarDefGrid::kText, "geändert");
  page.TransferData(TRUE);
  EXPECT_EQ(data.varDefs.GetAs<CVarDefVariable>(0)->desc, "Stützenhöhe");
  page.TransferData(FALSE);
  EXPECT_EQ(exchanged, (std::vector<BOOL>{TRUE, FALSE}));
  EXPECT_FALSE(page.m_grid.IsWindowVisible());
  EXPECT_TRUE(editor.IsWindowVisible());
  GetRegSettings().WriteInt("", "bSkrib", 0);
  page.TransferData(FALSE);
  EXPECT_TRUE(page.m_grid.IsWindowVisible());
  EXPECT_FALSE(editor.IsWindowVisible());
  EXPECT_EQ(page.m_grid.GetItemText(1, VarDefGrid::kText), "Stützenhöhe");
  page.SetEditor(nullptr, nullptr);  // the editor window of this test goes before the page
}

TEST_F(VarDefPageTest, APictureFileIsReadIntoItsEntry) {
  const auto file = std::filesystem::temp_directory_path() / ("vardef-" + std::to_string(::getpid()) + ".emf");
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fputs("EMF!", f);
    std::fclose(f);
  }
  win::script::QueueFileDialog(file.string());
  const int row = 5;
  CRect cell;
  ASSERT_TRUE(page.m_grid.GetCellRect(row, VarDefGrid::kVariable, &cell));
  win::input::Click(page.m_grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  win::PumpMessages();
  auto* picture = data.varDefs.GetAs<CVarDefAbbildung>(4);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->GetBufferSize(), 4u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(picture->GetFileBuffer()), 4), "EMF!");
  EXPECT_EQ(page.m_grid.GetItemText(row, VarDefGrid::kText), CString(file.c_str()));
  // what a screen shows is what the page draws: the chosen name is painted into its cell
  const win::Image painted = win::PaintedPixels(parent.m_hWnd);
  const win::Image whole = win::RenderWindowApart(parent.m_hWnd);
  ASSERT_EQ(painted.pixels.size(), whole.pixels.size());
  EXPECT_TRUE(painted.pixels == whole.pixels);
  std::filesystem::remove(file);
}

namespace {

void PutLe(std::string& b, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + std::size_t(i)] = char(v >> (8 * i));
}
void PutBe(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = char(v >> (8 * (3 - i)));
}
// The head of a 24-bit bitmap of the size and resolution (pixels per metre).
std::string Bitmap(int width, int height, int perMetre) {
  std::string b(54, '\0');
  b[0] = 'B';
  b[1] = 'M';
  PutLe(b, 10, 54, 4);
  PutLe(b, 14, 40, 4);
  PutLe(b, 18, std::uint32_t(width), 4);
  PutLe(b, 22, std::uint32_t(height), 4);
  PutLe(b, 26, 1, 2);
  PutLe(b, 28, 24, 2);
  PutLe(b, 38, std::uint32_t(perMetre), 4);
  PutLe(b, 42, std::uint32_t(perMetre), 4);
  return b;
}
// An enhanced metafile's header record with its frame in 0.01 mm.
std::string Metafile(int left, int top, int right, int bottom) {
  std::string b(88, '\0');
  PutLe(b, 0, 1, 4);
  PutLe(b, 4, 88, 4);
  PutLe(b, 24, std::uint32_t(left), 4);
  PutLe(b, 28, std::uint32_t(top), 4);
  PutLe(b, 32, std::uint32_t(right), 4);
  PutLe(b, 36, std::uint32_t(bottom), 4);
  PutLe(b, 40, 0x464D4520, 4);
  return b;
}
// A PNG's signature, header chunk and, with a resolution, its pHYs chunk (CRCs are not read for the size).
std::string Png(int width, int height, int perMetre) {
  std::string b = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(25, '\0');
  PutBe(b, 8, 13);
  b.replace(12, 4, "IHDR");
  PutBe(b, 16, std::uint32_t(width));
  PutBe(b, 20, std::uint32_t(height));
  if (perMetre > 0) {
    std::string phys(21, '\0');
    PutBe(phys, 0, 9);
    phys.replace(4, 4, "pHYs");
    PutBe(phys, 8, std::uint32_t(perMetre));
    PutBe(phys, 12, std::uint32_t(perMetre));
    phys[16] = 1;  // per metre
    b += phys;
  }
  return b;
}

}  // namespace

// A chosen picture comes in at its own size, shown in its cells as it is stored; a file whose size cannot be read
// keeps the size the entry had.
TEST_F(VarDefPageTest, AChosenPictureTakesItsOwnSize) {
  struct Fall {
    const char* name;
    std::string bytes;
    double width, height;  // cm
    const char* shownWidth;
    const char* shownHeight;
  };
  // 300 x 150 px at 3780 px/m (96 dpi): 7.94 x 3.97 cm; without a resolution the same at 96 dpi; a frame of
  // 12000 x 8000 hundredths of a millimetre: 12 x 8 cm; 200 x 100 px at 11811 px/m (300 dpi): 1.69 x 0.85 cm.
  // Each to the tenth its cell shows.
  const Fall faelle[] = {
      {"bitmap.bmp", Bitmap(300, 150, 3780), 7.9, 4.0, "7.9 cm", "4.0 cm"},
      {"ohne-aufloesung.bmp", Bitmap(300, -150, 0), 7.9, 4.0, "7.9 cm", "4.0 cm"},
      {"zeichnung.emf", Metafile(1000, 500, 13000, 8500), 12.0, 8.0, "12.0 cm", "8.0 cm"},
      {"foto.png", Png(200, 100, 11811), 1.7, 0.8, "1.7 cm", "0.8 cm"},
      {"unbekannt.emf", "EMF!", 1.7, 0.8, "1.7 cm", "0.8 cm"},  // the last size stays
  };
  const int row = 5;
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    const auto file = std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + f.name);
    {
      std::FILE* out = std::fopen(file.c_str(), "wb");
      std::fwrite(f.bytes.data(), 1, f.bytes.size(), out);
      std::fclose(out);
    }
    win::script::QueueFileDialog(file.string());
    CRect cell;
    ASSERT_TRUE(page.m_grid.GetCellRect(row, VarDefGrid::kVariable, &cell));
    win::input::Click(page.m_grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
    win::PumpMessages();
    auto* picture = data.varDefs.GetAs<CVarDefAbbildung>(4);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetBufferSize(), f.bytes.size());
    EXPECT_NEAR(picture->dWidth, f.width, 1e-9);
    EXPECT_NEAR(picture->dHeight, f.height, 1e-9);
    EXPECT_EQ(page.m_grid.GetItemText(row, VarDefGrid::kWert), CString(f.shownWidth));
    EXPECT_EQ(page.m_grid.GetItemText(row, VarDefGrid::kEinheit), CString(f.shownHeight));
    const win::Image painted = win::PaintedPixels(parent.m_hWnd);
    const win::Image whole = win::RenderWindowApart(parent.m_hWnd);
    ASSERT_EQ(painted.pixels.size(), whole.pixels.size());
    EXPECT_TRUE(painted.pixels == whole.pixels) << "the size is painted into its cells";
    std::filesystem::remove(file);
  }
}

TEST_F(VarDefPageTest, ASketchReplacesItsEntrysPictureAndTheFolderIsGivenBack) {
  const auto home = std::filesystem::current_path();
  const auto scratch = std::filesystem::temp_directory_path() / ("vardef-sketch-" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);
  std::filesystem::current_path(scratch);
  Add<CVarDefKritzl>(data.varDefs);
  page.TransferData(FALSE);
  auto saved = VarDefGrid::SketchProgram();
  // The sketch program leaves its drawing in the current folder, which it may change on its way.
  VarDefGrid::SketchProgram() = [&] {
    std::FILE* f = std::fopen("xxxx.emf", "wb");
    std::fputs("SKIZZE", f);
    std::fclose(f);
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::current_path(scratch);
    return true;
  };
  CRect cell;
  ASSERT_TRUE(page.m_grid.GetCellRect(6, VarDefGrid::kVariable, &cell));
  win::input::Click(page.m_grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  win::PumpMessages();
  auto* sketch = data.varDefs.GetAs<CVarDefKritzl>(5);
  ASSERT_NE(sketch, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(sketch->GetFileBuffer()), sketch->GetBufferSize()), "SKIZZE");
  EXPECT_FALSE(std::filesystem::exists(scratch / "xxxx.emf")) << "the drawing is taken, not left behind";
  EXPECT_EQ(std::filesystem::current_path(), scratch);
  // A program that cannot be started says so and changes nothing.
  VarDefGrid::SketchProgram() = [] { return false; };
  win::msgbox::QueueAnswer(IDOK);
  win::input::Click(page.m_grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  win::PumpMessages();
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("kritzl"), std::string::npos);
  EXPECT_EQ(sketch->GetBufferSize(), 6u);
  VarDefGrid::SketchProgram() = saved;
  std::filesystem::current_path(home);
  std::filesystem::remove_all(scratch);
}

}  // namespace
