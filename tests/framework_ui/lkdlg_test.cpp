// The actions dialog driven as the engineer drives it: typing actions into its
// grid, forming the combinations through the generator, the refusals that keep
// the dialog open, and the grids of combinations and load cases.
#include "framework_ui/lkdlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "controls/GridCellTypes.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/controls/grid_keys.h"

namespace {

void Save(const char* name, CWnd* wnd) {
  if (const char* dir = std::getenv("KOLUMO_PICTURES"))
    win::SaveWindowPng(wnd->m_hWnd, std::string(dir) + "/" + name + ".png");
}

// Types text into a cell's in-place editor and ends the edit.
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

// Opens a combo cell and walks its list to the option at index, as with the arrow keys; Enter chooses.
void Choose(COrmiGridCtrl& grid, int row, int col, int index) {
  const int current = grid.GetComboIndex(row, col);  // -1: nothing lit, the first Down lights the first option
  grid.SetFocusCell(row, col);
  win::PumpMessages();
  win::input::Key(VK_F2);
  win::PumpMessages();
  for (int i = current; i < index; ++i) win::input::Key(VK_DOWN);
  for (int i = current; i > index; --i) win::input::Key(VK_UP);
  win::input::Key(VK_RETURN);
  grid.EndEditing();
  win::PumpMessages();
}

void Press(CDialog& dialog, int id) {
  CWnd* button = dialog.GetDlgItem(id);
  ASSERT_NE(button, nullptr) << id;
  win::input::ClickCenter(button->m_hWnd);
  win::PumpMessages();
}

std::vector<int> Numbers(const CLKData& data) {
  std::vector<int> numbers;
  for (const CEinwirkung& e : data.einwirkungen) numbers.push_back(e.nr);
  return numbers;
}

class LKDlgTest : public win::test::WindowTest {
 protected:
  // EN 1990, mode 3: load case 1 permanent (action 1), load case 2 imposed,
  // category A (action 2).
  void SetUp() override {
    WindowTest::SetUp();
    data.SetNorm(3);
    data.lastfaelle.Add(CLKLastfall{1, 1});
    data.lastfaelle.Add(CLKLastfall{2, 2});
    data.einwirkungen.Add(Action(1, 0));
    data.einwirkungen.Add(Action(2, 1));
  }
  // A combination "Ed" with its rule, as typed by hand.
  void AddCombination(const char* rule) {
    CKombination own;
    own.art = "Ed";
    own.regel = own.regelUser = rule;
    data.kombinationen.Add(own);
  }
  CEinwirkung Action(int nr, int listed) {
    CEinwirkung e;
    e.nr = nr;
    e.indexGruppe = listed;
    e.indexGruppeHHHH = data.GetLastGruppeIndex(listed);
    return e;
  }
  // Runs the dialog as the owner does: the copy taken first, the manual switch
  // handed on.
  INT_PTR Run(std::function<void(LKDlg&)> script, bool manual = false) {
    LKDlg dialog;
    dialog.m_pData = &data;
    *dialog.m_pCopy = data;
    data.manuelleKombinationen = manual;
    dialog.m_bManuell = manual;
    win::script::QueueDialog([&](CDialog& d) { script(static_cast<LKDlg&>(d)); });
    return dialog.DoModal();
  }
  CLKData data;
};

TEST_F(LKDlgTest, TypingIntoTheEmptyLastRowMakesANewActionAndANewEmptyRow) {
  data.unbenutzteEinwirkungenEntfernen = true;  // as the column has it: the refill must not drop the new action
  const INT_PTR result = Run([&](LKDlg& d) {
    EinwirkungGrid& grid = d.m_grid;
    ASSERT_EQ(grid.GetRowCount(), 4);  // header, two actions, the empty row
    EXPECT_EQ(grid.GetCellText(1, EinwirkungGrid::kLastfaelle).Trim(), "1");
    EXPECT_EQ(grid.GetItemText(3, EinwirkungGrid::kNr), "");
    EXPECT_FALSE(d.GetDlgItem(IDC_LK_ERZEUGEN)->IsWindowVisible()) << "only with manual combinations";
    TypeInto(grid, 3, EinwirkungGrid::kNr, "7");
    EXPECT_EQ(grid.GetRowCount(), 5);
    EXPECT_EQ(grid.GetCellInt(3, EinwirkungGrid::kNr), 7);
    EXPECT_EQ(grid.GetItemText(4, EinwirkungGrid::kNr), "") << "a new empty row";
    EXPECT_EQ(Numbers(data), (std::vector<int>{1, 2, 7}));
    // The new action is permanent by default: its permanent group locks
    // category and duration class.
    EXPECT_EQ(grid.GetComboIndex(3, EinwirkungGrid::kGruppe), 0);
    EXPECT_FALSE(grid.IsCellEditable(3, EinwirkungGrid::kKategorie));
    // A typed 0 is the first action; a cleared number takes its row away.
    TypeInto(grid, 3, EinwirkungGrid::kNr, "0");
    EXPECT_EQ(grid.GetCellInt(3, EinwirkungGrid::kNr), 1);
    TypeInto(grid, 3, EinwirkungGrid::kNr, "");
    EXPECT_EQ(Numbers(data), (std::vector<int>{1, 2}));
    Save("lkdlg", &d);
    Press(d, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(Numbers(data), (std::vector<int>{1, 2}));
}

// The arrow of a list in the empty last row, then Escape: the list lit no entry of its own, so nothing is chosen and
// no row made; the dialog stays open. Down and Enter choose the list's first entry, which makes a row.
TEST_F(LKDlgTest, EscapeInAListOfTheEmptyRowMakesNoRow) {
  data.spalteKLED = true;
  data.mitAlternativGruppen = true;
  const struct {
    const char* name;
    int col;
    std::vector<UINT> keys;
    int rows;  // afterwards: header, actions, the empty row
  } cases[] = {
      {"Lastgruppe, Escape", EinwirkungGrid::kGruppe, {VK_ESCAPE}, 4},
      {"Lastkategorie, Escape", EinwirkungGrid::kKategorie, {VK_ESCAPE}, 4},
      {"KLED, Escape", EinwirkungGrid::kKLED, {VK_ESCAPE}, 4},
      {"Alternativgruppe, Escape", EinwirkungGrid::kAlternativ, {VK_ESCAPE}, 4},
      {"Lastgruppe, Down and Enter", EinwirkungGrid::kGruppe, {VK_DOWN, VK_RETURN}, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run([&](LKDlg& d) {
      EinwirkungGrid& grid = d.m_grid;
      CRect cell;
      ASSERT_TRUE(grid.GetCellRect(3, c.col, &cell));
      const CRect arrow = CGridCellCombo::ArrowRect(cell);
      win::input::Click(grid.m_hWnd, arrow.CenterPoint().x, arrow.CenterPoint().y);
      win::PumpMessages();
      ASSERT_TRUE(grid.IsItemEditing(3, c.col)) << "the list is open";
      for (UINT key : c.keys) win::input::Key(key);
      win::PumpMessages();
      EXPECT_TRUE(d.IsWindowVisible()) << "Escape ended only the list";
      EXPECT_FALSE(grid.IsItemEditing(3, c.col));
      EXPECT_EQ(grid.GetRowCount(), c.rows);
      if (c.rows == 4) {
        EXPECT_EQ(std::string(grid.GetItemText(3, c.col)), "");
      }
      EXPECT_EQ(Numbers(data), (std::vector<int>{1, 2}));
      Press(d, IDCANCEL);
    });
  }
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(LKDlgTest, OkFormsTheCombinationsThroughTheGenerator) {
  data.nachweisMitGammaInf = false;
  data.nachweisSchalter = {true};  // fundamental combinations only
  EXPECT_EQ(Run([&](LKDlg& d) { Press(d, IDOK); }), IDOK);
  // EN 1990, 6.10: gamma_G = 1.35, gamma_Q = 1.50; the imposed load may be
  // absent.
  ASSERT_EQ(data.kombinationen.GetSize(), 2);
  EXPECT_EQ(data.kombinationen[0].art, "Ed");
  EXPECT_EQ(data.kombinationen[0].regel, "1.35*(1)+1.50*(2)");
  EXPECT_EQ(data.kombinationen[1].regel, "1.35*(1)");
}

TEST_F(LKDlgTest, TheViewButtonShowsTheCombinationsFormedAndOkDoesNotFormThemAgain) {
  data.nachweisMitGammaInf = false;
  data.nachweisSchalter = {true};
  std::vector<std::string> shown;
  Run([&](LKDlg& d) {
    win::script::QueueDialog([&](CDialog& k) {
      KollektivGrid& grid = static_cast<KollektivDlg&>(k).m_grid;
      for (int r = 1; r < grid.GetRowCount(); ++r) shown.push_back(grid.GetCellText(r, KollektivGrid::kRegel).str());
      EXPECT_FALSE(grid.IsCellEditable(1, KollektivGrid::kRegel)) << "formed by the generator: read-only";
      Save("kollektivdlg", &k);
      Press(k, IDOK);
    });
    Press(d, IDC_LK_ANSEHEN);
    // Had OK formed them again, the rule edited here would be overwritten.
    data.kombinationen[0].regel = "von Hand";
    Press(d, IDOK);
  });
  EXPECT_EQ(shown, (std::vector<std::string>{"1.35*(1)+1.50*(2)", "1.35*(1)", ""}));
  EXPECT_EQ(data.kombinationen[0].regel, "von Hand");
}

TEST_F(LKDlgTest, ATwiceTypedNumberKeepsTheDialogOpenAndLosesNothing) {
  win::msgbox::QueueAnswer(IDOK);
  const INT_PTR result = Run([&](LKDlg& d) {
    TypeInto(d.m_grid, 2, EinwirkungGrid::kNr, "1");
    Press(d, IDOK);
    EXPECT_TRUE(::IsWindow(d.m_hWnd) && ::IsWindowVisible(d.m_hWnd)) << "the dialog stays open";
    EXPECT_EQ(d.m_grid.GetCellInt(2, EinwirkungGrid::kNr), 1) << "what was typed stays";
    // Load case 2 still names action 2, which the refilled grid shows again at
    // the end.
    EXPECT_EQ(Numbers(data), (std::vector<int>{1, 1, 2}));
    TypeInto(d.m_grid, 2, EinwirkungGrid::kNr, "3");
    Press(d, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Einwirkung 1 ist mehrfach definiert worden");
}

TEST_F(LKDlgTest, NoActionsLeaveTheViewButtonWithoutTheCombinationsDialog) {
  data.einwirkungen.RemoveAll();
  data.lastfaelle.RemoveAll();
  // No load case: the generator is handed nothing, and no combinations dialog
  // is opened (an unscripted one fails).
  Run([&](LKDlg& d) {
    Press(d, IDC_LK_ANSEHEN);
    Press(d, IDCANCEL);
  });
  EXPECT_TRUE(data.kombinationen.IsEmpty());
}

TEST_F(LKDlgTest, OptionsAreStoredAndTheHeightEvenWhenItsFieldIsHidden) {
  struct Case {
    int norm;
    const char* height;
    bool sup;
    bool heightShown;
    double storedHeight, factor;
  };
  const Case cases[] = {
      {3, "850,5", true, false, 850.5, 1.111111111111111},
      {2, " 1200 ", false, true, 1200.0, 1.0},
      {3, "", false, false, 0.0, 1.0},
  };
  for (const Case& c : cases) {
    data.SetNorm(c.norm);
    data.GInfFactor = 1.0;
    data.schneeHoehe = 10.0;
    Run(
        [&](LKDlg& d) {
          EXPECT_EQ(bool(d.GetDlgItem(IDC_LK_HOEHE)->IsWindowVisible()), c.heightShown) << c.norm;
          EXPECT_FALSE(d.GetDlgItem(IDC_LK_GAMMA_INF)->IsWindowVisible()) << "offered only when the data asks";
          CString shown;
          d.GetDlgItemText(IDC_LK_HOEHE, shown);
          EXPECT_EQ(shown, "      10");  // "%8.0lf"
          if (c.heightShown) Save("lkdlg-height", &d);
          d.SetDlgItemText(IDC_LK_HOEHE, c.height);
          d.CheckDlgButton(IDC_LK_GAMMA_SUP, c.sup ? BST_CHECKED : BST_UNCHECKED);
          Press(d, IDOK);
        },
        true);
    EXPECT_DOUBLE_EQ(data.schneeHoehe, c.storedHeight) << c.height;
    EXPECT_DOUBLE_EQ(data.GInfFactor, c.factor) << c.height;
  }
}

TEST_F(LKDlgTest, AHeightThatIsNoNumberIsRefusedAndTheDialogStaysOpen) {
  data.schneeHoehe = 10.0;
  win::msgbox::QueueAnswer(IDOK);
  Run([&](LKDlg& d) {
    d.SetDlgItemText(IDC_LK_HOEHE, "12m");
    Press(d, IDOK);
    EXPECT_TRUE(::IsWindowVisible(d.m_hWnd));
    CString kept;
    d.GetDlgItemText(IDC_LK_HOEHE, kept);
    EXPECT_EQ(kept, "12m");
    d.SetDlgItemText(IDC_LK_HOEHE, "12");
    Press(d, IDOK);
  });
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("12m"), std::string::npos);
  EXPECT_DOUBLE_EQ(data.schneeHoehe, 12.0);
}

TEST_F(LKDlgTest, TheContextCommandDeletesTheActionOfItsRow) {
  data.unbenutzteEinwirkungenEntfernen = false;
  data.lastfaelle.RemoveAt(1);  // no load case names action 2, so it does not come back
  Run([&](LKDlg& d) {
    d.m_grid.OnCellContextMenu(3, EinwirkungGrid::kNr,
                               1);  // the empty row: nothing to delete
    EXPECT_EQ(Numbers(data), (std::vector<int>{1, 2}));
    win::script::QueueMenuItem("Einwirkung löschen");
    CRect cell;
    ASSERT_TRUE(d.m_grid.GetCellRect(2, EinwirkungGrid::kNr, &cell));
    win::input::Click(d.m_grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y, VK_RBUTTON);
    win::PumpMessages();
    EXPECT_EQ(Numbers(data), (std::vector<int>{1}));
    EXPECT_EQ(d.m_grid.GetRowCount(), 3);
    Press(d, IDCANCEL);
  });
}

TEST_F(LKDlgTest, ManualCombinationsAreNeverRegeneratedByOk) {
  CKombination own;
  own.art = "Ed";
  own.regel = own.regelUser = "1.00*(1)";
  data.kombinationen.Add(own);
  Run(
      [&](LKDlg& d) {
        EXPECT_TRUE(d.GetDlgItem(IDC_LK_ERZEUGEN)->IsWindowVisible());
        Press(d, IDOK);
      },
      true);
  ASSERT_EQ(data.kombinationen.GetSize(), 1);
  EXPECT_EQ(data.kombinationen[0].regel, "1.00*(1)");
}

TEST_F(LKDlgTest, HandEditedCombinationsGrowFromTheEmptyRowAndCopyAndDelete) {
  data.manuelleKombinationen = true;
  AddCombination("1.35*(1)");
  KollektivDlg dialog(&data);
  win::script::QueueDialog([&](CDialog& k) {
    KollektivGrid& grid = static_cast<KollektivDlg&>(k).m_grid;
    ASSERT_EQ(grid.GetRowCount(), 3);
    TypeInto(grid, 2, KollektivGrid::kRegel, "1.00*(1)+1.50*(2)");
    EXPECT_EQ(grid.GetRowCount(), 4);
    ASSERT_EQ(data.kombinationen.GetSize(), 2);
    EXPECT_EQ(data.kombinationen[1].regelUser, "1.00*(1)+1.50*(2)");
    grid.OnCellContextMenu(1, KollektivGrid::kRegel, 2);  // copy after itself
    grid.OnCellContextMenu(3, KollektivGrid::kRegel, 1);  // delete the typed one
    EXPECT_EQ(grid.GetRowCount(), 4);
    TypeInto(grid, 1, KollektivGrid::kNachweis,
             "");  // no verification text: dropped on OK
    Press(k, IDOK);
  });
  dialog.DoModal();
  ASSERT_EQ(data.kombinationen.GetSize(), 1);
  EXPECT_EQ(data.kombinationen[0].regel, "1.35*(1)");
}

// Lines pasted into the empty last row of the actions grid, and of hand-edited combinations, make rows only after a
// question that counts them; "Nein" leaves the grid and the data as they were.
TEST_F(LKDlgTest, APasteThatMakesRowsAsksFirst) {
  const struct {
    const char* name;
    bool combinations;
    int answer;
    const char* question;
    int rows;  // afterwards, header and empty row included
  } cases[] = {
      {"actions, Nein", false, IDNO,
       "Die Einfügung legt 2 neue Einwirkungen an (Zeilen 1 bis 2 der Einfügung).\nSoll sie eingefügt werden?", 4},
      {"actions, Ja", false, IDYES,
       "Die Einfügung legt 2 neue Einwirkungen an (Zeilen 1 bis 2 der Einfügung).\nSoll sie eingefügt werden?", 6},
      {"combinations, Nein", true, IDNO,
       "Die Einfügung legt 2 neue Lastkollektive an (Zeilen 1 bis 2 der Einfügung).\nSoll sie eingefügt werden?", 3},
      {"combinations, Ja", true, IDYES,
       "Die Einfügung legt 2 neue Lastkollektive an (Zeilen 1 bis 2 der Einfügung).\nSoll sie eingefügt werden?", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    win::msgbox::ClearLog();
    data.kombinationen.RemoveAll();
    data.einwirkungen.SetSize(2);
    data.manuelleKombinationen = c.combinations;
    int rows = 0;
    std::vector<int> numbers;
    const auto paste = [&](CDialog& d, COrmiGridCtrl& g, int col, const char* text, int end) {
      win::msgbox::QueueAnswer(c.answer);
      grid_keys::PasteInto(g, g.GetRowCount() - 1, col, text);
      rows = g.GetRowCount();
      numbers = Numbers(data);
      Press(d, end);
    };
    if (c.combinations) {
      AddCombination("1.35*(1)");
      KollektivDlg dialog(&data);
      win::script::QueueDialog([&](CDialog& k) {
        paste(k, static_cast<KollektivDlg&>(k).m_grid, KollektivGrid::kRegel, "1.00*(1)\n1.00*(2)\n", IDOK);
      });
      dialog.DoModal();
      EXPECT_EQ(data.kombinationen.GetSize(), c.rows - 2);
    } else {
      Run([&](LKDlg& d) { paste(d, d.m_grid, EinwirkungGrid::kNr, "3\n4\n", IDCANCEL); });
      EXPECT_EQ(numbers, c.answer == IDYES ? (std::vector<int>{1, 2, 3, 4}) : (std::vector<int>{1, 2}));
    }
    EXPECT_EQ(rows, c.rows);
    ASSERT_EQ(win::msgbox::Log().size(), 1u);
    EXPECT_EQ(win::msgbox::Log()[0].text, c.question);
  }
}

TEST_F(LKDlgTest, F1OpensTheDialogsHelpFile) {
  // No installation holds the help file here: the attempt tells which file it looked for.
  win::msgbox::QueueAnswer(IDOK);
  Run([&](LKDlg& d) {
    d.m_grid.SetFocus();
    win::input::Key(VK_F1);
    win::PumpMessages();
    Press(d, IDCANCEL);
  });
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("Einwirkungen definieren.pdf"), std::string::npos)
      << win::msgbox::Log()[0].text;
}

TEST_F(LKDlgTest, AChosenCategoryBringsItsDurationClassAndSplitDefaults) {
  // Defaults of a variable action under EN 1990: duration class 2 ("mittel") for most categories, 3 ("kurz") at
  // list positions 8 and 11; only position 8 is not split by fields.
  struct Case {
    int kategorie, kled;
    bool nichtAufteilen;
  };
  const Case cases[] = {{8, 3, true}, {0, 2, false}, {11, 3, false}};
  data.spalteKLED = true;
  Run([&](LKDlg& d) {
    CStringArray gruppen, kategorien;
    data.GetLastGruppen(gruppen);
    data.GetLastKategorien(kategorien, gruppen[1]);
    for (const Case& c : cases) {
      ASSERT_LT(c.kategorie, kategorien.GetSize());
      Choose(d.m_grid, 2, EinwirkungGrid::kKategorie, c.kategorie);
      EXPECT_EQ(d.m_grid.GetComboIndex(2, EinwirkungGrid::kKategorie), c.kategorie);
      EXPECT_EQ(d.m_grid.GetComboIndex(2, EinwirkungGrid::kKLED), c.kled) << c.kategorie;
      EXPECT_EQ(d.m_grid.GetCellCheck(2, EinwirkungGrid::kNichtAufteilen), c.nichtAufteilen ? 1 : 0) << c.kategorie;
      ASSERT_EQ(data.einwirkungen.GetSize(), 2);
      EXPECT_EQ(data.einwirkungen[1].indexKategorie, c.kategorie);
      EXPECT_EQ(data.einwirkungen[1].indexKLED, c.kled);
    }
    // The permanent group has no categories: choosing it locks category and duration class.
    Choose(d.m_grid, 2, EinwirkungGrid::kGruppe, 0);
    EXPECT_FALSE(d.m_grid.IsCellEditable(2, EinwirkungGrid::kKLED));
    EXPECT_EQ(data.einwirkungen[1].indexGruppeHHHH, data.GetLastGruppeIndex(0));
    Save("lkdlg-kled", &d);
    Press(d, IDCANCEL);
  });
}

TEST(LastfallGridTest, ModeOneListsTwoKindsAndTheCountRenumbers) {
  win::ResetWindowSystem();
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "Lasten", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  CLKData data;
  data.modus = 1;
  data.lastfaelle.Add(CLKLastfall{4, 1});
  data.lastfaelle.Add(CLKLastfall{9, 2});
  LastfallGrid grid;
  grid.SetData(&data);
  ASSERT_TRUE(grid.Create(CRect(5, 5, 395, 295), &parent, 1));
  grid.Layout();
  grid.ExchangeData(FALSE);
  ASSERT_EQ(grid.GetRowCount(), 3);
  EXPECT_EQ(grid.GetCellInt(2, LastfallGrid::kLastfall), 2) << "renumbered 1..n";
  EXPECT_EQ(grid.GetComboText(1, LastfallGrid::kEinwirkung), "ständige Last");
  EXPECT_EQ(grid.GetComboText(2, LastfallGrid::kEinwirkung), "Verkehr additiv");
  EXPECT_FALSE(grid.IsCellEditable(1, LastfallGrid::kLastfall));
  grid.SetNumLastfaelle(3);
  grid.SetComboIndex(3, LastfallGrid::kEinwirkung, 1);
  grid.ExchangeData(TRUE);
  ASSERT_EQ(data.lastfaelle.GetSize(), 3);
  EXPECT_EQ(data.lastfaelle[2].lf, 3);
  EXPECT_EQ(data.lastfaelle[2].einw, 2);
  EXPECT_EQ(data.lastfaelle[1].einw, 2) << "kept through the resize";
  grid.SetNumLastfaelle(1);
  EXPECT_EQ(grid.GetRowCount(), 2);
  EXPECT_EQ(data.lastfaelle.GetSize(), 1);
  // Another mode takes the action's number.
  data.modus = 3;
  grid.ExchangeData(FALSE);
  EXPECT_EQ(grid.GetCellType(1, LastfallGrid::kEinwirkung), ORMI_INT);
  EXPECT_EQ(grid.GetCellInt(1, LastfallGrid::kEinwirkung), 1);
  // A new load case (a load named one more) has no action until one is typed or the actions are formed: its cell
  // shows none, not a 0 it is not calculated with, and it stays without one.
  grid.SetNumLastfaelle(3);
  EXPECT_EQ(grid.GetItemText(1, LastfallGrid::kEinwirkung), "1");
  for (int row : {2, 3}) EXPECT_EQ(grid.GetItemText(row, LastfallGrid::kEinwirkung), "") << "load case " << row;
  grid.ExchangeData(TRUE);
  ASSERT_EQ(data.lastfaelle.GetSize(), 3);
  EXPECT_EQ(data.lastfaelle[0].einw, 1);
  EXPECT_EQ(data.lastfaelle[2].einw, 0);
  Save("lastfallgrid", &parent);
  grid.DestroyWindow();
  parent.DestroyWindow();
  win::ResetWindowSystem();
}

// The combinations the generator formed are read-only: their rules copy by keys, and a paste onto them is
// refused without a word.
TEST_F(LKDlgTest, FormedCombinationsCopyByKeysAndTakeNoPaste) {
  CKombination formed;
  formed.art = "Ed";
  formed.regel = formed.regelUser = "1.35*(1)+1.50*(2)";
  data.kombinationen.Add(formed);
  KollektivDlg dialog(&data);
  std::string copied, after;
  win::script::QueueDialog([&](CDialog& k) {
    KollektivGrid& grid = static_cast<KollektivDlg&>(k).m_grid;
    copied = grid_keys::CopyCell(grid, 1, KollektivGrid::kRegel, grid_keys::kCopy[1]);
    for (const auto& paste : grid_keys::kPaste) grid_keys::PasteInto(grid, 1, KollektivGrid::kRegel, "9*(1)", paste);
    grid_keys::ClickCell(grid, 1, KollektivGrid::kRegel);
    grid_keys::Press(grid_keys::kCut);
    after = grid.GetItemText(1, KollektivGrid::kRegel).GetString();
    Press(k, IDOK);
  });
  dialog.DoModal();
  EXPECT_EQ(copied, "1.35*(1)+1.50*(2)");
  EXPECT_EQ(after, "1.35*(1)+1.50*(2)");
  EXPECT_EQ(data.kombinationen[0].regel, "1.35*(1)+1.50*(2)");
  EXPECT_TRUE(win::msgbox::Log().empty());
}

}  // namespace
