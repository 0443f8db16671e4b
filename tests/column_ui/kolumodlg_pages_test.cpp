// The column's input dialog with its pages: a position passes through unchanged, values typed on a page stay with
// their construction stage, and the control values and pre-deformation pages store what the engineer chose.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "column_dialog_fixture.h"
#include "column/calcfunc.h"
#include "column_ui/ausgabedlg.h"
#include "column_ui/kolumodlg.h"
#include "framework_ui/settingsdlg.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;
using column_dialog_test::FileBytes;
using column_dialog_test::Shown;
using D = CKolumoVorverDlg;
using S = CKolumoSteuDlg;

class KolumoPagesTest : public column_dialog_test::ColumnDialogTest {
 protected:
  void Click(CWnd& page, UINT id) { win::input::ClickCenter(page.GetDlgItem(id)->m_hWnd); }
  // Types into an edit of a page and leaves it for the tab control, as the engineer leaves a field.
  void TypeInto(CWnd& page, UINT id, const char* text) {
    CWnd* edit = page.GetDlgItem(id);
    edit->SetWindowText("");
    // A click on the page first, so that two fields typed in a row are no double click.
    win::input::Click(page.m_hWnd, 2, 2);
    win::input::ClickCenter(edit->m_hWnd);
    win::input::Type(text);
    dialog_.GetTabCtrl().SetFocus();
  }
  CString Text(CWnd& page, UINT id) {
    CString text;
    page.GetDlgItemText(id, text);
    return text;
  }
};

// Open, look at every page, OK: the file is the same byte for byte, whatever the page's settings are.
TEST_F(KolumoPagesTest, PositionPassesThroughEveryPageUnchanged) {
  const struct {
    const char* what;
    std::function<void(CKolumoData&)> change;
  } cases[] = {
      {"the example", nullptr},
      {"UK annex, precast", [](CKolumoData& d) { d.iNorm = 12, d.Fertigteil = 1; }},
      {"SIA, eccentricity given in cm",
       [](CKolumoData& d) {
         d.iNorm = 2;
         d.vorver[0].type = 3, d.vorver[0].bAusmitte = 0, d.vorver[0].ausmitte = 3.25, d.vorver[0].IDPunkt = 1;
         d.kriechen.SetSize(d.maxLF[0]);  // a creep kind has one creep entry per load case
       }},
      {"inclination in the resulting direction, odd digits",
       [](CKolumoData& d) { d.vorver[0].bDirekteVorgabe = 0, d.vorver[0].invw = 0.3333, d.vorver[0].umx = -0.12345; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path path = Open(c.change);
    const std::string before = FileBytes(path);
    for (int tab : {1, 2, 3, 4, 0, 3}) ShowTab(tab);
    Ok();
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_TRUE(Boxes().empty());
  }
}

TEST_F(KolumoPagesTest, ValueTypedInOneStageIsThereAfterAnotherStage) {
  Open();
  ShowTab(3);
  // 0,7 with a decimal comma is read as 0.7.
  TypeInto(dialog_.m_vorverDlg, D::kIdUmX, "0,7");
  EXPECT_DOUBLE_EQ(dialog_.m_data.vorver[0].umx.GetValue(), 0.7);
  SelectStage(2);
  EXPECT_EQ(Text(dialog_.m_vorverDlg, D::kIdUmX), "0.700");  // the first visit copies the final system
  TypeInto(dialog_.m_vorverDlg, D::kIdUmX, "1.25");
  SelectStage(0);
  EXPECT_EQ(Text(dialog_.m_vorverDlg, D::kIdUmX), "0.700");
  SelectStage(2);
  EXPECT_EQ(Text(dialog_.m_vorverDlg, D::kIdUmX), "1.250");
  EXPECT_DOUBLE_EQ(dialog_.m_data.vorver[0].umx.GetValue(), 0.7);
  EXPECT_DOUBLE_EQ(dialog_.m_data.vorver[2].umx.GetValue(), 1.25);
}

TEST_F(KolumoPagesTest, ConstructionStagesStartFromTheFinalSystemWithoutCreep) {
  const struct { int finalType, stage, shown; } cases[] = {{2, 2, 0}, {3, 3, 1}, {1, 2, 1}, {3, 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.finalType << " into stage " << c.stage);
    Open([&](CKolumoData& d) { d.vorver[0].type = c.finalType, d.vorver[0].Schiefstellung = 300; });
    ShowTab(3);
    SelectStage(c.stage);
    const CKolumoVorver& v = dialog_.m_data.vorver[c.stage];
    EXPECT_EQ(v.bGesetzt, 1);
    EXPECT_EQ(v.type, c.shown);
    const bool transport = c.stage == 1;
    // The transport considers no imperfection at all: its record is zero and the page says so.
    EXPECT_EQ(v.Schiefstellung, transport ? 0 : 300);
    EXPECT_EQ(Shown(&dialog_.m_vorverDlg, D::kIdTransportHinweis), transport);
    EXPECT_EQ(Shown(&dialog_.m_vorverDlg, D::kIdArt0), !transport);
    if (!transport) {
      EXPECT_FALSE(dialog_.m_vorverDlg.GetDlgItem(D::kIdArt3)->IsWindowEnabled());
    }
    SelectStage(0);
  }
}

// What is no number gets a message naming the text, and the stored value stays and is shown again: "nan" and a
// number beyond any double, which would reach every result, are none.
TEST_F(KolumoPagesTest, NoNumberIsRefusedAndTheValueStays) {
  const struct {
    int bAusmitte;
    UINT edit;
    const char* typed;
    const char* shown;
  } cases[] = {{0, D::kIdAusmitte, "zwei", "2.50"},
               {0, D::kIdAusmitte, "nan", "2.50"},
               {0, D::kIdAusmitte, "1e999", "2.50"},
               // the divisor takes digits only; it shows the applied one, 100 / invw (0.5 %)
               {1, D::kIdTeiler, "", "200"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Open([&](CKolumoData& d) {
      d.vorver[0].type = 1, d.vorver[0].bAusmitte = c.bAusmitte, d.vorver[0].ausmitte = 2.5;
      d.vorver[0].Schiefstellung = 300;
    });
    ShowTab(3);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    TypeInto(dialog_.m_vorverDlg, c.edit, c.typed);
    // the box names the field
    const std::string field = c.edit == D::kIdAusmitte ? "Ausmitte: " : "Teiler der Stützenhöhe: ";
    EXPECT_EQ(Boxes(), std::vector<std::string>{field + c.typed + " ist keine Zahl. Bitte ändern"});
    EXPECT_DOUBLE_EQ(dialog_.m_data.vorver[0].ausmitte.GetValue(), 2.5);
    EXPECT_EQ(dialog_.m_data.vorver[0].Schiefstellung, 300);
    EXPECT_EQ(Text(dialog_.m_vorverDlg, c.edit), c.shown);
  }
}

// The page shows the values the calculation applies and stores a typed value where the calculation reads it: the
// inclination of the resulting direction is 1/Schiefstellung (a typed 0.5 % becomes 1/200), the eigenmode
// amplitude height/n takes n from invw (a typed 400 becomes 0.25 %); neither touches the other's value.
TEST_F(KolumoPagesTest, PageShowsAndStoresTheValuesTheCalculationApplies) {
  Open([](CKolumoData& d) {
    d.vorver[0].type = 0, d.vorver[0].bDirekteVorgabe = 0, d.vorver[0].bAusmitte = 1;
    d.vorver[0].Schiefstellung = 150, d.vorver[0].invw = 0.9;
  });
  ShowTab(3);
  CKolumoVorverDlg& page = dialog_.m_vorverDlg;
  CKolumoVorver& v = dialog_.m_data.vorver[0];
  EXPECT_EQ(Text(page, D::kIdResultierend), "0.667");  // 1/150, not the 0.9 % the file also holds
  EXPECT_TRUE(Shown(&page, D::kIdAngesetzt));
  EXPECT_NE(Text(page, D::kIdAngesetzt).Find("1/150"), -1) << Text(page, D::kIdAngesetzt).GetString();
  TypeInto(page, D::kIdResultierend, "0,5");
  EXPECT_EQ(v.Schiefstellung, 200);
  EXPECT_DOUBLE_EQ(v.invw.GetValue(), 0.9);
  EXPECT_EQ(Text(page, D::kIdResultierend), "0.500");
  // no share of the height: refused, the inclination stays
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  TypeInto(page, D::kIdResultierend, "0");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].rfind("Schiefstellung in Richtung der resultierenden Auslenkung: 0 % ist als Schiefstellung "
                             "nicht möglich",
                             0),
            0u)
      << Boxes()[0];
  EXPECT_EQ(v.Schiefstellung, 200);

  Click(page, D::kIdArt1);
  EXPECT_EQ(Text(page, D::kIdTeiler), "111.1");  // 100 / 0.9
  TypeInto(page, D::kIdTeiler, "400");
  EXPECT_DOUBLE_EQ(v.invw.GetValue(), 0.25);
  EXPECT_EQ(v.Schiefstellung, 200);
  EXPECT_EQ(Text(page, D::kIdTeiler), "400");
  EXPECT_FALSE(Shown(&page, D::kIdAngesetzt));
}

// An inclination so small that its divisor n = 100 / share outgrows an int takes the largest int, shown as it is
// calculated; cut to an int, 3e-9 % (n = 3.3e10) gave n = -1026405035, which the calculation refuses.
TEST_F(KolumoPagesTest, ATinyInclinationKeepsAPositiveDivisor) {
  for (const char* typed : {"0,000000003", "1e-300"}) {
    SCOPED_TRACE(typed);
    Open([](CKolumoData& d) {
      d.vorver[0].type = 0, d.vorver[0].bDirekteVorgabe = 0, d.vorver[0].Schiefstellung = 150;
    });
    ShowTab(3);
    win::msgbox::ClearLog();
    CKolumoVorverDlg& page = dialog_.m_vorverDlg;
    TypeInto(page, D::kIdResultierend, typed);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(dialog_.m_data.vorver[0].Schiefstellung, 2147483647);
    EXPECT_EQ(Text(page, D::kIdResultierend), "0.000");
    EXPECT_NE(Text(page, D::kIdAngesetzt).Find("1/2147483647"), -1) << Text(page, D::kIdAngesetzt).GetString();
  }
}

TEST_F(KolumoPagesTest, PlainKindOnTheFinalSystemDropsTheCreepEntries) {
  Open([](CKolumoData& d) {
    d.vorver[0].type = 3;
    d.kriechen.SetSize(d.maxLF[0]);  // one per load case, as the loads page keeps them
    d.kriechen[1].Faktor = 0.5;
  });
  ShowTab(3);
  Click(dialog_.m_vorverDlg, D::kIdArt2);  // still a creep kind
  EXPECT_EQ(dialog_.m_data.vorver[0].type, 2);
  ASSERT_EQ(dialog_.m_data.kriechen.GetSize(), dialog_.m_data.maxLF[0]);
  EXPECT_EQ(dialog_.m_data.kriechen[1].Faktor, 0.5);
  Click(dialog_.m_vorverDlg, D::kIdArt1);
  EXPECT_EQ(dialog_.m_data.vorver[0].type, 1);
  EXPECT_EQ(dialog_.m_data.kriechen.GetSize(), 0);
}

TEST_F(KolumoPagesTest, ReferencePointsAreTheFieldEnds) {
  Open([](CKolumoData& d) {
    d.SetFieldCount(2);
    d.fieldLengths[0] = 2.5, d.fieldLengths[1] = 1.25;
    d.vorver[0].type = 1, d.vorver[0].bAusmitte = 0, d.vorver[0].IDPunkt = 0;
  });
  ShowTab(3);
  CComboBox* list = static_cast<CComboBox*>(dialog_.m_vorverDlg.GetDlgItem(D::kIdBezug));
  ASSERT_EQ(list->GetCount(), 3);
  CString last;
  list->GetLBText(2, last);
  EXPECT_EQ(last, "z = 3.75 m");  // 2.50 + 1.25
  list->SetCurSel(2);
  dialog_.m_vorverDlg.SendMessage(WM_COMMAND, MAKEWPARAM(D::kIdBezug, CBN_SELCHANGE), LPARAM(list->m_hWnd));
  EXPECT_EQ(dialog_.m_data.vorver[0].IDPunkt, 2);
}

TEST_F(KolumoPagesTest, CodeRadiosSetTheCodeAndShowItsFireButton) {
  const struct {
    UINT radio;
    int norm;
    bool fire;
  } cases[] = {
      {S::kIdNormDin, 0, true}, {S::kIdNormEc2, 1, false}, {S::kIdNormSia, 2, false}, {S::kIdNormNa, 10, true}};
  Open([](CKolumoData& d) { d.iNorm = 1; });
  ShowTab(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.norm);
    Click(dialog_.m_steuDlg, c.radio);
    EXPECT_EQ(dialog_.m_data.iNorm, c.norm);
    EXPECT_EQ(Shown(&dialog_.m_steuDlg, S::kIdBrand), c.fire);
    EXPECT_EQ(dialog_.m_steuDlg.GetDlgItem(S::kIdLand)->IsWindowEnabled(), c.norm == 10);
  }
  Click(dialog_.m_steuDlg, S::kIdFertigteil);
  EXPECT_EQ(dialog_.m_data.Fertigteil, 1);
}

// Each settings button opens its own dialog on the column's data; Cancel leaves the data as it was.
// A new position (C25/30, BSt 500 SA under DIN 1045-1) switched to another code: the grade grid shows the grades
// that OK stores and the calculation takes. "BSt 500 SA" is in no steel list of the other codes (EC2 NA (DE): B500A,
// B500B; EC2 and SIA 262: B500A, B500B, B500C): the catalogue renames it to B500A under the EC2 codes, and under
// SIA 262 the grade of its ductility (duk 25 per mille, as BSt 500 SA under DIN 1045-1) is B500A too; never the
// more ductile B500B. C25/30 is in every concrete list. Back under DIN 1045-1, B500A is not in its list (BSt 500
// SA, SB, MA, MB): the first of its ductility, BSt 500 SA.
TEST_F(KolumoPagesTest, TheGradeGridShowsWhatOkStoresAndTheCalculationTakes) {
  using M = CKolumoSysMateGrid;
  const struct {
    std::vector<UINT> radios;
    int norm;
    const char* steel;
  } cases[] = {{{S::kIdNormNa}, 10, "B500A"},
               {{S::kIdNormEc2}, 1, "B500A"},
               {{S::kIdNormSia}, 2, "B500A"},
               {{S::kIdNormNa, S::kIdNormDin}, 0, "BSt 500 SA"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.norm);
    const fs::path path = OpenNew();
    for (UINT radio : c.radios) {
      ShowTab(1);
      Click(dialog_.m_steuDlg, radio);
      ShowTab(2);
    }
    ASSERT_EQ(dialog_.m_data.iNorm, c.norm);
    CKolumoSysMateGrid& grades = dialog_.m_sysDlg.m_mateGrid;
    EXPECT_EQ(grades.GetItemText(M::kRowBeton, 1), "C25/30");
    EXPECT_EQ(grades.GetItemText(M::kRowStahl, 1), c.steel);
    Ok();
    const std::string saved = FileBytes(path);
    EXPECT_NE(saved.find("sBeton=\"C25/30\" sStahl=\"" + std::string(c.steel) + "\""), std::string::npos);
    const CKolumoData& d = dialog_.m_data;
    for (const bool concrete : {true, false}) {
      const UsedGrade used = GradeOfCalculation(d.iNorm, concrete, concrete ? d.sBeton : d.sStahl);
      EXPECT_FALSE(used.replaced) << used.name.GetString();
      EXPECT_EQ(used.name, concrete ? "C25/30" : c.steel);
    }
  }
  // Straight to OK from the control values page: the system page stores the grade calculated as well.
  const fs::path path = OpenNew();
  ShowTab(1);
  Click(dialog_.m_steuDlg, S::kIdNormNa);
  Ok();
  EXPECT_EQ(dialog_.m_data.sStahl, "B500A");
  EXPECT_NE(FileBytes(path).find("sStahl=\"B500A\""), std::string::npos);
}

TEST_F(KolumoPagesTest, SettingsButtonsOpenTheirDialogsOnTheData) {
  const struct {
    UINT button;
    std::function<bool(CDialog&)> isIt;
  } cases[] = {
      {S::kIdAllgemein, [](CDialog& d) { return dynamic_cast<dlgAllg*>(&d) != nullptr; }},
      {S::kIdNumAus, [](CDialog& d) { return dynamic_cast<CKolumoNumAus*>(&d) != nullptr; }},
      {S::kIdGrafAus, [](CDialog& d) { return dynamic_cast<CKolumogridausgraf*>(&d) != nullptr; }},
      {S::kIdBrand, [](CDialog& d) { return dynamic_cast<CKolumoBrandDlg*>(&d) != nullptr; }},
  };
  // DIN 1045-1 shows the fire button; its own steel grade, so that OK has nothing to replace
  const fs::path path = Open([](CKolumoData& d) { d.iNorm = 0, d.sStahl = "BSt 500 SB"; });
  const std::string before = FileBytes(path);
  ShowTab(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    bool opened = false;
    win::script::QueueDialog([&](CDialog& d) {
      opened = c.isIt(d);
      d.EndDialog(IDCANCEL);
    });
    Click(dialog_.m_steuDlg, c.button);
    EXPECT_TRUE(opened);
  }
  Ok();
  EXPECT_EQ(FileBytes(path), before);
}

TEST_F(KolumoPagesTest, ThePlatesComeBackForAPageMadeAfterAModuleWasUnloaded) {
  win::res::ForgetPainted();  // what unloading the module does
  ASSERT_FALSE(win::res::HasBitmap(S::kIdBildDin));
  const CKolumoSteuDlg page;  // as a module loaded again makes its input dialog
  for (UINT id : {S::kIdBildDin, S::kIdBildEc2, S::kIdBildSia, S::kIdBildNaDe, S::kIdBildNaAndere})
    EXPECT_TRUE(win::res::HasBitmap(id)) << id;
}

TEST_F(KolumoPagesTest, OnlyTheGermanAnnexCanBeChosen) {
  Open([](CKolumoData& d) { d.iNorm = 12; });
  ShowTab(1);
  CWnd* land = dialog_.m_steuDlg.GetDlgItem(S::kIdLand);
  EXPECT_EQ(int(land->SendMessage(CB_GETCURSEL)), 2);
  EXPECT_EQ(dialog_.m_data.iNorm, 12);
  EXPECT_TRUE(Shown(&dialog_.m_steuDlg, S::kIdBildNaAndere));
  land->SendMessage(CB_SETCURSEL, 1);
  win::msgbox::QueueAnswer(IDOK);
  dialog_.m_steuDlg.SendMessage(WM_COMMAND, MAKEWPARAM(S::kIdLand, CBN_SELCHANGE), LPARAM(land->m_hWnd));
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         "Nationales Anwendungsdokument in Vorbereitung.\nLändercode wird auf Deutschland gesetzt."});
  EXPECT_EQ(dialog_.m_data.iNorm, 10);
  EXPECT_EQ(int(land->SendMessage(CB_GETCURSEL)), 0);
  EXPECT_TRUE(Shown(&dialog_.m_steuDlg, S::kIdBildNaDe));
}

TEST_F(KolumoPagesTest, DeletingAStageEmptiesOnlyThatStage) {
  Open([](CKolumoData& d) {
    for (int stage : {0, 3}) {
      d.loads[stage].RemoveAll();
      d.supports[stage][0].cxTyp = 1;
      d.vorver[stage].Schiefstellung = stage == 0 ? 400 : 250;
      d.vorver[stage].bGesetzt = 1;
    }
    Load own, shared;
    own.lc = 7, shared.lc = 2;
    d.loads[0].Add(shared);
    d.loads[3].Add(shared);
    d.loads[3].Add(own);
    d.maxLF[3] = 7;
  });
  const double length = dialog_.m_data.fieldLengths[0].GetValue();
  SelectStage(3);
  EXPECT_TRUE(Shown(&dialog_, CKolumoDlg::kIdDeleteStage));
  Click(dialog_, CKolumoDlg::kIdDeleteStage);
  CKolumoData& d = dialog_.m_data;
  EXPECT_EQ(d.loads[3].GetSize(), 0);
  EXPECT_EQ(d.loads[0].GetSize(), 1);
  EXPECT_EQ(d.supports[3][0].cxTyp, 0);
  EXPECT_EQ(d.supports[3].GetSize(), d.supports[0].GetSize());
  EXPECT_EQ(d.supports[0][0].cxTyp, 1);
  // The stage's record is new; the page then shows it as a first visit, a copy of the final system.
  EXPECT_EQ(d.vorver[3].Schiefstellung, 400);
  EXPECT_DOUBLE_EQ(d.fieldLengths[0].GetValue(), length);
  // Load case 7 was only in the deleted stage: the highest left is 2, and the actions must be formed anew.
  EXPECT_EQ(d.maxLF[3], 2);
  EXPECT_EQ(d.bLastfaelleGeaendert, 1);
  SelectStage(0);
  EXPECT_FALSE(Shown(&dialog_, CKolumoDlg::kIdDeleteStage));
}

TEST_F(KolumoPagesTest, PagesFollowTheFrameWhenTheDialogChangesSize) {
  for (const CSize size : {CSize(1040, 300), CSize(1400, 520), CSize(900, 280)}) {
    SCOPED_TRACE(size.cx);
    dialog_.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
    CRect tab, frame, page;
    CResizeHelper::GetChildRect(dialog_.m_hWnd, dialog_.GetTabCtrl().m_hWnd, &tab);
    CResizeHelper::GetChildRect(dialog_.m_hWnd, dialog_.GetDlgItem(CKolumoDlg::kIdFrame)->m_hWnd, &frame);
    CResizeHelper::GetChildRect(dialog_.m_hWnd, dialog_.m_vorverDlg.m_hWnd, &page);
    const int m = tab.left;
    EXPECT_GT(m, 0);
    // The resize helper's 100 % of a width lands one pixel short of it.
    EXPECT_EQ(tab.right, size.cx - 1 - m);
    EXPECT_EQ(tab.bottom, size.cy - 1 - m);
    EXPECT_EQ(frame.left, 2 * m);
    EXPECT_EQ(frame.right, size.cx - 1 - 2 * m);
    EXPECT_EQ(frame.bottom, size.cy - 1 - 2 * m);
    EXPECT_EQ(page, frame);
  }
}

// Only the selected tab's page is shown; help opens the module's help file, missing here, and the message names it.
TEST_F(KolumoPagesTest, SelectedPageShowsAndAsksForTheModulesHelpFile) {
  Open();
  ShowTab(3);
  for (CWnd* page : {(CWnd*)&dialog_.m_steuDlg, (CWnd*)&dialog_.m_sysDlg, (CWnd*)&dialog_.m_vorverDlg})
    EXPECT_EQ((page->GetStyle() & WS_VISIBLE) != 0, page == &dialog_.m_vorverDlg);
  win::msgbox::QueueAnswer(IDOK);
  dialog_.SendMessage(WM_HELP, 0, 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("KOLUMO.pdf"), std::string::npos);
}

// F1 in a field of the shown page is the same request: it passes from the field through the page to the dialog.
TEST_F(KolumoPagesTest, F1InAFieldOfThePageAsksForTheModulesHelpFile) {
  Open();
  ShowTab(3);
  CWnd* field = dialog_.m_vorverDlg.GetNextDlgTabItem(nullptr);
  ASSERT_NE(field, nullptr);
  field->SetFocus();
  ASSERT_TRUE(::IsChild(dialog_.m_vorverDlg.m_hWnd, ::GetFocus()));
  win::msgbox::QueueAnswer(IDOK);
  win::input::Key(VK_F1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("KOLUMO.pdf"), std::string::npos);
}

// The settings dialogs open from their buttons, which keep the keyboard focus on the page: Escape typed at once
// still ends each dialog with "Abbrechen".
TEST_F(KolumoPagesTest, EscapeCancelsEachSettingsDialog) {
  Open();
  ShowTab(1);
  for (UINT button : {S::kIdNumAus, S::kIdGrafAus, S::kIdBrand}) {
    SCOPED_TRACE(button);
    win::script::QueueDialog([](CDialog&) { win::input::Key(VK_ESCAPE); });
    Click(dialog_.m_steuDlg, button);
    ASSERT_FALSE(win::script::Log().empty());
    EXPECT_EQ(win::script::Log().back().answer, IDCANCEL);
  }
}

}  // namespace

namespace {

// The load "Dach, ständig" given by a name of the variable table whose definition fails (a = 1/0): the dialog says
// so when the position is read, naming the load and the definition with why, and the load keeps its 620 kN.
using column_dialog_test::ColumnDialogTest;

TEST_F(ColumnDialogTest, ALoadGivenByAFailedDefinitionIsSaidWhenThePositionIsRead) {
  Open([](CKolumoData& data) {
    auto variable = std::make_unique<CVarDefVariable>();
    variable->varName = "a";
    variable->desc = "Dachlast";
    variable->unit = "kN";
    variable->value.m_bNumber = FALSE;
    variable->value.m_strText = "1/0";
    data.varDefs.Add(std::move(variable));
    for (Load& load : data.loads[0])
      if (load.desc == "Dach, ständig") load.val0.m_bNumber = FALSE, load.val0.m_strText = "a";
  });
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDOK);
  dialog_.CheckInputRead();
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"a\": a = 1/0: Division durch Null."),
            std::string::npos)
      << boxes[0];
  int roof = 0;
  for (Load& load : dialog_.m_data.loads[0]) {
    if (load.desc != "Dach, ständig") continue;
    ++roof;
    EXPECT_EQ(load.val0.GetValue(), 620.0);
  }
  EXPECT_EQ(roof, 1);
}

}  // namespace
