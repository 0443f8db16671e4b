// The report scope, report graphics and fire dialogs: what the engineer picks reaches the column data on OK only,
// the fire rows follow the design code, and switching the fire verification asks for new combinations.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "column_ui/ausgabedlg.h"
#include "tests/column_ui/dialog_input.h"

namespace {

using dialog_input::Press;
using dialog_input::Save;

class AusgabeDlgTest : public win::test::WindowTest {
 protected:
  static COrmiParamGrid& GridOf(CDialog& d) { return static_cast<CKolumoParamDlg&>(d).Grid(); }
  static void Toggle(CDialog& d, int row) { dialog_input::Toggle(GridOf(d), row); }
  static void Pick(CDialog& d, int row, int steps) { dialog_input::Pick(GridOf(d), row, steps); }
  static void Enter(CDialog& d, int row, const std::string& text) { dialog_input::Enter(GridOf(d), row, text); }
  CKolumoData data;
};

TEST_F(AusgabeDlgTest, NumericScopeTakesChecksAndComboAndMarksLoadCasesWhenFireChanges) {
  data.iNorm = 0;
  data.num_Riss = 1;
  win::script::QueueDialog([](CDialog& d) {
    COrmiParamGrid& g = GridOf(d);
    ASSERT_EQ(g.GetRowCount(), 31);
    EXPECT_EQ(g.GetItemText(30, 0), "Brandschutz");
    Toggle(d, 1);   // Systembeschreibung on
    Toggle(d, 22);  // Rissnachweis off
    Pick(d, 3, 2);  // Extremal
    Toggle(d, 30);  // Brandschutz on
    Save(d, "ausgabe-numerisch.png");
    Press(d, IDOK);
  });
  CKolumoNumAus dlg;
  dlg.m_pData = &data;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(data.num_System, 1);
  EXPECT_EQ(data.num_Riss, 0);
  EXPECT_EQ(data.AusgabeTyp, 2);
  EXPECT_EQ(data.num_Brand, 1);
  EXPECT_EQ(data.bLastfaelleGeaendert, 1);
}

TEST_F(AusgabeDlgTest, FireRowsFollowTheCodeAndOkOrCancelWithoutChangeLeaveTheData) {
  struct Case {
    int iNorm;
    int answer;
    int rows;
    int brandAfter;  // num_Brand was 1 before
  };
  // Codes without the fire verification lose the switch even on Cancel; OK without a change marks nothing.
  const Case cases[] = {
      {0, IDOK, 31, 1}, {10, IDCANCEL, 31, 1}, {2, IDCANCEL, 29, 0}, {1, IDOK, 29, 0}, {11, IDOK, 29, 0}};
  for (const Case& c : cases) {
    CKolumoData d;
    d.iNorm = c.iNorm;
    d.num_Brand = 1;
    d.num_KNSW_Dehn = 1;
    d.AusgabeTyp = 1;
    int rows = 0;
    win::script::QueueDialog([&](CDialog& dlg) {
      rows = GridOf(dlg).GetRowCount();
      Toggle(dlg, 19);  // Dehnungen: only OK would take it
      Toggle(dlg, 19);
      Press(dlg, c.answer);
    });
    CKolumoNumAus dlg;
    dlg.m_pData = &d;
    EXPECT_EQ(dlg.DoModal(), c.answer);
    EXPECT_EQ(rows, c.rows) << c.iNorm;
    EXPECT_EQ(d.num_Brand, c.brandAfter) << c.iNorm;
    EXPECT_EQ(d.num_KNSW_Dehn, 1) << c.iNorm;
    EXPECT_EQ(d.AusgabeTyp, 1) << c.iNorm;
    EXPECT_EQ(d.bLastfaelleGeaendert, 0) << c.iNorm;
  }
}

TEST_F(AusgabeDlgTest, GraphicsTakeWidthFillAndChecksOnOkOnly) {
  data.BildBreite = 12.3456;
  data.GrafikTyp = 0;
  win::script::QueueDialog([](CDialog& d) {
    EXPECT_EQ(GridOf(d).GetItemText(1, 1), "12.35");
    Press(d, IDOK);
  });
  CKolumogridausgraf untouched;
  untouched.m_pData = &data;
  ASSERT_EQ(untouched.DoModal(), IDOK);
  EXPECT_EQ(data.BildBreite, 12.3456) << "OK without a change keeps every decimal";

  win::script::QueueDialog([](CDialog& d) {
    Enter(d, 1, "16,5");
    Pick(d, 2, 2);  // Rot/Blau
    Pick(d, 3, 1);  // Feld max/min
    Toggle(d, 13);
    Save(d, "ausgabe-grafisch.png");
    Press(d, IDOK);
  });
  CKolumogridausgraf changed;
  changed.m_pData = &data;
  ASSERT_EQ(changed.DoModal(), IDOK);
  EXPECT_DOUBLE_EQ(data.BildBreite, 16.5);
  EXPECT_EQ(data.GrafikTyp, 2);
  EXPECT_EQ(data.SchriftFeld, 1);
  EXPECT_EQ(data.graf_ErfAs, 1);

  win::script::QueueDialog([](CDialog& d) {
    Enter(d, 1, "3");
    Toggle(d, 5);
    Press(d, IDCANCEL);
  });
  CKolumogridausgraf cancelled;
  cancelled.m_pData = &data;
  ASSERT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_DOUBLE_EQ(data.BildBreite, 16.5);
  EXPECT_EQ(data.graf_System, 0);
}

TEST_F(AusgabeDlgTest, FireClassAndExposureReachTheDataAndCladdingIsAlwaysCleared) {
  data.bPutzBekleidet = 1;
  data.indexBrandKlasse = 1;
  win::script::QueueDialog([](CDialog& d) { Press(d, IDCANCEL); });
  CKolumoBrandDlg cancelled;
  cancelled.SetData(&data);
  ASSERT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(data.bPutzBekleidet, 0);
  EXPECT_EQ(data.indexBrandKlasse, 1);

  win::script::QueueDialog([](CDialog& d) {
    EXPECT_EQ(GridOf(d).GetItemText(0, 1), "R 60");
    Pick(d, 0, 2);  // R 120
    Pick(d, 1, 1);  // mehrseitig
    Save(d, "brandschutz.png");
    Press(d, IDOK);
  });
  CKolumoBrandDlg dlg;
  dlg.SetData(&data);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(data.indexBrandKlasse, 3);
  EXPECT_EQ(data.indexBrandSeiten, 1);
}

// Every option of every list row shows whole beside the list's button.
TEST_F(AusgabeDlgTest, EveryOptionFitsItsColumn) {
  data.iNorm = 0;
  CKolumoNumAus numeric;
  CKolumogridausgraf graphic;
  CKolumoBrandDlg fire;
  numeric.m_pData = graphic.m_pData = &data;
  fire.SetData(&data);
  for (CDialog* dlg : std::initializer_list<CDialog*>{&numeric, &graphic, &fire}) {
    win::script::QueueDialog([](CDialog& d) {
      COrmiParamGrid& g = GridOf(d);
      CClientDC dc(&g);
      CFont* old = dc.SelectObject(g.GetFont());
      for (int row = 0; row < g.GetRowCount(); ++row) {
        CGridCellBase* cell = g.GetCell(row, 1);
        if (!cell || g.GetCellType(row, 1) != ORMI_COMBO_INDEX) continue;
        CStringArray options;
        g.GetComboOptions(row, 1, options);
        for (const CString& option : options)
          EXPECT_LE(cell->GetTextExtent(option, &dc).cx + ::GetSystemMetrics(SM_CXVSCROLL), g.GetColumnWidth(1))
              << option.GetString();
      }
      dc.SelectObject(old);
      Press(d, IDCANCEL);
    });
    dlg->DoModal();
  }
}

}  // namespace
