// The results page: which combinations and quantities it offers for the records a calculation wrote, the diagram it
// fills from them, its empty state, and extremes of values beyond a million.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "column_ui/ergebniskatalog.h"
#include "column_ui/kolumodraw.h"
#include "column_ui/kolumoresultdlg.h"
#include "framework/results.h"
#include "framework/treepath.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/column/accidental_column.h"

namespace {

namespace fs = std::filesystem;

// ---- extremes of values beyond a million ---------------------------------------------------------------------

TEST(ResultExtremes, SeriesBeyondAMillionFindTheirOwnExtremes) {
  // A stiffness series of 3.0e6 and 2.0e6 kNm2: the smaller is the second value. Started from -1e6/+1e6 the smallest
  // stayed 1e6 at the reset index.
  struct Case {
    std::vector<double> werte;
    double groesster, kleinster;
    int iGroesster, iKleinster;
  } cases[] = {
      {{3.0e6, 2.0e6}, 3.0e6, 2.0e6, 0, 1},
      {{-2.0e6, -3.0e6}, -2.0e6, -3.0e6, 0, 1},
      {{-1.0, 4.0, 2.0}, 4.0, -1.0, 1, 0},
  };
  for (const Case& c : cases) {
    double g = 0, k = 0;
    int ig = -1, ik = -1;
    MerkeExtremwert(1, 0, c.werte[0], g, k, ig, ik);
    for (std::size_t i = 0; i < c.werte.size(); ++i) MerkeExtremwert(0, int(i), c.werte[i], g, k, ig, ik);
    EXPECT_EQ(g, c.groesster);
    EXPECT_EQ(k, c.kleinster);
    EXPECT_EQ(ig, c.iGroesster);
    EXPECT_EQ(ik, c.iKleinster);
    double max = 0, min = 0;
    Extremwerte(c.werte, max, min);
    EXPECT_EQ(max, c.groesster);
    EXPECT_EQ(min, c.kleinster);
  }
  double max = 1, min = 1;
  Extremwerte({}, max, min);  // no values: both 0
  EXPECT_EQ(max, 0.0);
  EXPECT_EQ(min, 0.0);
}

TEST(ResultExtremes, ReportMarksTheFieldExtremesOfAStiffness) {
  // One field of one element: two points, 3.0e6 then 2.0e6; the field's largest is point 0, its smallest point 1,
  // so both carry a marker (the closing point of the one-signed diagram follows them).
  CDiagrammEingabe e;
  e.stationen = {0.0, 3.0};
  e.werte = {3.0e6, 2.0e6};
  e.teilung = {1};
  e.hoehe = 3.0;
  CResultEntry entry;
  FuelleDiagrammEintrag(e, entry);
  ASSERT_GE(entry.pointFlags.GetSize(), 2);
  EXPECT_EQ(entry.pointFlags[0], 1);
  EXPECT_EQ(entry.pointFlags[1], 1);
}

TEST(ResultExtremes, EntryFindsTheStationOfValuesBeyondItsOldStart) {
  // Points (1, 3e10) and (2, 2e10): the smallest lies at station 2 (a one-signed curve then takes 0 as its minimum).
  CResultEntry entry;
  for (float v : {1.0f, 3.0e10f, 2.0f, 2.0e10f}) entry.values.Add(v);
  entry.CalcMinMax();
  EXPECT_FLOAT_EQ(entry.maxValue, 3.0e10f);
  EXPECT_FLOAT_EQ(entry.maxPosition, 1.0f);
  EXPECT_FLOAT_EQ(entry.minPosition, 2.0f);
}

// ---- combination numbers against the records ------------------------------------------------------------------

// A stage with load cases 1 (permanent) and 2 (accidental where asked) and the given combinations.
void Stufe(CKolumoData& d, int s, bool aussergew, std::vector<const char*> arten) {
  d.maxLF[std::size_t(s)] = 2;
  CLKData& lk = d.lastUeberlagerungBZ[std::size_t(s)];
  for (int i = 1; i <= 2; ++i) {
    lk.lastfaelle.Add(CLKLastfall{i, i});
    CEinwirkung e;
    e.nr = i;
    e.indexGruppe = i == 2 && aussergew ? 3 : 0;  // groups above 2 are accidental
    lk.einwirkungen.Add(e);
  }
  for (const char* art : arten) {
    CKombination k;
    k.art = art;
    lk.kombinationen.Add(k);
  }
}

TEST(ResultCombinations, NumbersShownAndRecordNumbersPerStage) {
  // The records number "Ed" of all stages first (stage 0: 1, stage 1: 2), then the "Ed,A" of the stages with an
  // accidental action; fire records follow the final system's "Ed" (1 + 1 = 2).
  struct Case {
    const char* name;
    bool auss0, brand;
    int stufe;
    std::vector<std::pair<int, int>> codeLK;  // item code, record number
  } cases[] = {
      {"accidental in both stages, stage 0", true, false, 0, {{10001, 1}, {20002, 3}}},
      {"accidental in both stages, stage 1", true, false, 1, {{10003, 2}, {20004, 4}}},
      // Stage 0's "Ed,A" is a fire combination only: no accidental record counts it, so stage 1's is 2 + 1 = 3.
      {"fire only in stage 0, stage 0", false, true, 0, {{10001, 1}, {40002, 2}}},
      {"fire only in stage 0, stage 1", false, true, 1, {{10003, 2}, {20004, 3}}},
      {"fire and accidental in stage 0", true, true, 0, {{10001, 1}, {40002, 2}, {20002, 3}}},
      // Neither fire nor an accidental action: the "Ed,A" of stage 0 is not listed and takes no number.
      {"stage 0 without fire or accidental, stage 1", false, false, 1, {{10002, 2}, {20003, 3}}},
  };
  for (const Case& c : cases) {
    CKolumoData d;
    Stufe(d, 0, c.auss0, {"Ed", "Ed,A"});
    Stufe(d, 1, true, {"Ed", "Ed,A"});
    d.num_Brand = c.brand;
    const KombiBaum baum = BaueKombinationen(d, c.stufe);
    std::vector<std::pair<int, int>> got;
    for (const KombiEintrag& e : baum.eintraege) got.push_back({e.code, e.satzLK});
    EXPECT_EQ(got, c.codeLK) << c.name;
  }
}

TEST(ResultCombinations, ServiceabilityListsTheCombinationsWithRecordsUnderTheirRecordNumbers) {
  // Only "Ed,perm" is checked and written (records 1, 2 in stage 0, 3 in stage 1); the frequent and rare
  // combinations have no records and are not listed, so they take no number either.
  struct Case {
    int stufe;
    std::vector<std::pair<int, int>> codeLK;  // item code, record number
  } const cases[] = {
      {0, {{10001, 1}, {30001, 1}, {30002, 2}}},
      {1, {{30003, 3}, {10002, 2}}},
  };
  for (const Case& c : cases) {
    CKolumoData d;
    Stufe(d, 0, false, {"Ed", "Ed,perm", "Ed,häufig", "Ed,perm"});
    Stufe(d, 1, false, {"Ed,selten", "Ed,perm", "Ed"});
    const KombiBaum baum = BaueKombinationen(d, c.stufe);
    std::vector<std::pair<int, int>> got;
    for (const KombiEintrag& e : baum.eintraege) got.push_back({e.code, e.satzLK});
    EXPECT_EQ(got, c.codeLK) << "stage " << c.stufe;
  }
}

// ---- the page on calculated positions -------------------------------------------------------------------------

class ResultPageTest : public column_test::CalcRunFixture {
 protected:
  void SetUp() override {
    CalcRunFixture::SetUp();
    win::ResetWindowSystem();
    ASSERT_TRUE(host_.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 260, nullptr, nullptr));
    ASSERT_TRUE(page_.Create(CKolumoResultDlg::IDD, &host_));
    page_.SetWindowPos(nullptr, 0, 0, 1000, 260, SWP_NOZORDER);
    page_.ShowWindow(SW_SHOW);
    page_.m_pStage = &stufe_;
  }
  void TearDown() override {
    page_.DestroyWindow();
    host_.DestroyWindow();
    win::ResetWindowSystem();
    CalcRunFixture::TearDown();
  }
  std::unique_ptr<CKolumoData> Example() {
    fs::copy_file(fs::path(KOLUMO_SOURCE_DIR) / "data/examples/Stuetze.tqx", folder_ / "Stuetze.tqx");
    const int doc = VIDUV_OpenDoc((folder_ / "Stuetze.tqx").c_str());
    EXPECT_NE(doc, 0);
    docs_.push_back(doc);
    Calculate(doc);
    auto data = std::make_unique<CKolumoData>();
    data->SetDefaults();
    data->ReadData(doc);
    return data;
  }
  static std::vector<HTREEITEM> Blaetter(CTreeCtrl& tree) {
    CArray<HTREEITEM> alle;
    TreeCollectItems(TVI_ROOT, tree, alle, FALSE);
    std::vector<HTREEITEM> out;
    for (int i = 0; i < alle.GetSize(); ++i)
      if (!tree.GetChildItem(alle[i])) out.push_back(alle[i]);
    return out;
  }
  void Save(const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PICTURES"))
      win::SaveWindowPng(host_.m_hWnd, std::string(dir) + "/" + name + ".png");
  }

  CWnd host_;
  CKolumoResultDlg page_;
  int stufe_ = 0;
};

// The first-order member forces, read straight from the record.
const std::vector<double>* StabSpalte(const CResultSchnittgroessen& r, int code) {
  switch (code) {
    case 1101: return &r.N;
    case 1102: return &r.Vy;
    case 1103: return &r.Vx;
    case 1104: return &r.My;
    case 1105: return &r.Mx;
    case 1106: return &r.Eta;
    case 1107: return &r.ErfAs;
    case 1108: return &r.AsAb;
    default: return nullptr;
  }
}

TEST_F(ResultPageTest, EveryLeafOfTheCalculatedExampleShowsItsRecordColumn) {
  auto data = Example();
  ASSERT_FALSE(data->ergebnisse.Schnittgroessen.empty());
  page_.m_pData = data.get();
  int leaves = 0, firstOrder = 0;
  for (stufe_ = 0; stufe_ < CKolumoData::kStages; ++stufe_) {
    page_.ExchangeData(FALSE);
    std::vector<HTREEITEM> kombis = Blaetter(page_.m_kombiBaum);
    for (HTREEITEM k : kombis) {
      page_.m_kombiBaum.SelectItem(k);
      const int code = int(page_.m_kombiBaum.GetItemData(k));
      ASSERT_EQ(page_.m_art, code / 10000);
      for (HTREEITEM b : Blaetter(page_.m_ergebnisBaum)) {
        page_.m_ergebnisBaum.SelectItem(b);
        const int blatt = int(page_.m_ergebnisBaum.GetItemData(b));
        ASSERT_EQ(page_.m_code, blatt) << "offered leaf without its record, combination " << code;
        ASSERT_FALSE(page_.m_werte.empty());
        ++leaves;
        const auto [kleinster, groesster] = std::minmax_element(page_.m_werte.begin(), page_.m_werte.end());
        EXPECT_EQ(page_.m_max, *groesster);
        EXPECT_EQ(page_.m_min, *kleinster);
        // The diagram's extremes are the column's, with 0 for a one-signed column.
        CResultEntry entry;
        FuelleDiagrammEintrag(DiagrammEingabe(*data, page_.m_stationen, page_.m_werte, page_.m_punktWerte), entry);
        entry.CalcMinMax();
        EXPECT_NEAR(entry.maxValue, std::max(0.0, *groesster), 1e-4 * std::max(1.0, std::fabs(*groesster)));
        EXPECT_NEAR(entry.minValue, std::min(0.0, *kleinster), 1e-4 * std::max(1.0, std::fabs(*kleinster)));
        if (page_.m_art == kArtEd && blatt / 100 == 11) {
          const auto* rec = Find(data->ergebnisse.Schnittgroessen, 0, page_.m_satzLK, stufe_);
          ASSERT_NE(rec, nullptr);
          EXPECT_EQ(page_.m_werte, *StabSpalte(*rec, blatt));
          EXPECT_EQ(page_.m_stationen, rec->Kote);
          ++firstOrder;
        }
      }
    }
  }
  EXPECT_GT(leaves, 20);
  EXPECT_GT(firstOrder, 0);

  // Pictures of the final system's first "Ed" combination: moment, required reinforcement, utilisation.
  stufe_ = 0;
  page_.ExchangeData(FALSE);
  for (auto [code, name] : {std::pair{1104, "ergebnis_moment"}, {1107, "ergebnis_erfas"}, {1106, "ergebnis_nue"}}) {
    for (HTREEITEM b : Blaetter(page_.m_ergebnisBaum))
      if (int(page_.m_ergebnisBaum.GetItemData(b)) == code) page_.m_ergebnisBaum.SelectItem(b);
    EXPECT_EQ(page_.m_code, code);
    Save(name);
  }
}

TEST_F(ResultPageTest, AccidentalRecordsOfALaterStageFollowTheRecordNumbering) {
  // Stage 0's "Ed,A" is a fire combination, stage 1 has an accidental action: its "Ed,A" records carry 2 + 1 = 3.
  CKolumoData input;
  column_test::AccidentalColumn::Make(input, false);
  auto data = Run(input);
  ASSERT_NE(Find(data->ergebnisse.Schnittgroessen, 1, 3, 1), nullptr);
  ASSERT_EQ(Find(data->ergebnisse.Schnittgroessen, 1, 4, 1), nullptr);
  page_.m_pData = data.get();
  stufe_ = 1;
  page_.ExchangeData(FALSE);
  HTREEITEM item = nullptr;
  ASSERT_TRUE(TreeSelectPath(item, "Tragsicherheit \\LK [4],Ed,A", page_.m_kombiBaum, TRUE));
  EXPECT_EQ(page_.m_satzLK, 3);
  ASSERT_TRUE(TreeSelectPath(item, "Bruchnachweis Ed,A\\Stabschnittkräfte mit Bemessung\\Normalkraft N [kN]",
                             page_.m_ergebnisBaum, TRUE));
  EXPECT_EQ(page_.m_code, 1101);
  EXPECT_EQ(page_.m_werte, Find(data->ergebnisse.Schnittgroessen, 1, 3, 1)->N);
  EXPECT_TRUE(page_.m_text.Find("LK[3] ") == 0) << page_.m_text.GetString();
}

TEST_F(ResultPageTest, APositionWithoutResultsShowsTheEmptyStateNotThePreviousDiagram) {
  auto data = Example();
  page_.m_pData = data.get();
  page_.ExchangeData(FALSE);
  ASSERT_FALSE(page_.m_werte.empty());  // the first "Ed" combination's normal force
  // The same position with its results gone.
  data->ergebnisse.Schnittgroessen.clear();
  data->ergebnisse.Lagerkraefte.clear();
  data->ergebnisse.Verformung.clear();
  data->ergebnisse.Fundkraefte.clear();
  page_.ExchangeData(FALSE);
  EXPECT_TRUE(page_.m_werte.empty());
  EXPECT_TRUE(page_.m_stationen.empty());
  EXPECT_EQ(page_.m_code, 0);
  EXPECT_EQ(page_.m_text, CString("\r\nmax = 0.00\r\nmin =  0.00"));
}

}  // namespace
