// The column's part of the position file: every element written and read back, the version rules of older
// files, the result records, and input that must not be taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "column/kolumodata.h"
#include "column_test_support.h"
#include "framework/regsettings.h"
#include "platform/viduv/viduv.h"

namespace {

using column_test::ColumnTest;

constexpr double kVersion = 2012.01;

// A two-field column with a value in every part of the file.
void FillColumn(CKolumoData& d) {
  d.version = kVersion;
  d.iNorm = 10;
  d.sBeton = "C35/45";
  d.sStahl = "BSt 500 S";
  d.Fertigteil = 1;
  d.LKManuell = 1;
  d.SetFieldCount(2);
  d.fieldLengths[0] = 3.25;
  d.fieldLengths[1] = "2*2.25";
  CKolumoQuer& q = d.querschnitte[1];
  q.type = 2;
  q.bewType = 1;
  q.teilung = 8;
  q.bx = 40.0;
  q.dy = 35.0;
  q.ex = 1.5;
  q.ey = -2.0;
  q.bdx = 4.0;
  q.bdy = 4.5;
  q.as = 3.14;
  q.theta = 40.0;
  d.supports[0][2].cx = 1e10;
  d.supports[0][2].cmy = 2.5e5;
  d.supports[3][0].cy = 7.0;
  for (int s = 0; s < CKolumoData::kStages; ++s) d.maxLF[s] = s + 2;
  Load load;
  load.lc = 2;
  load.ltype = 1;
  load.node = 1;
  load.direction = 2;
  load.val0 = -850.0;
  load.val1 = 12.5;
  load.desc = "Auflast";
  d.loads[0].Add(load);
  load.lc = 3;
  load.direction = 0;
  load.val0 = 4.0;
  d.loads[0].Add(load);
  load.desc = "Montage";
  d.loads[2].Add(load);
  d.vorver[0].type = 2;
  d.vorver[0].Schiefstellung = 200;
  d.vorver[0].umx = -0.6;
  d.vorver[3].invw = "1/3";
  CKolumoKriechen creep;
  creep.KriechZahl = 2.1;
  creep.Faktor = 0.8;
  d.kriechen.Add(creep);
  d.num_System = 1;
  d.AusgabeTyp = 2;
  d.num_KNSW_Schnitt = 1;
  d.num_Riss = 1;
  d.num_Brand = 1;
  d.num_Fundament = 1;
  d.num_FundLastw = 1;
  d.num_ErfAs = 1;
  d.BildBreite = 14.5;
  d.GrafikTyp = 1;
  d.SchriftFeld = 3;
  d.graf_ErfAs = 1;
  d.indexBrandKlasse = 2;
  d.indexBrandSeiten = 1;
  d.bPutzBekleidet = 1;
  d.bx = 2.4;
  d.Es = 80.0;
  d.FudPos = 1;
  d.cz = 5e4;
  d.hoehe = 0.8;
  d.anmerkungen[0] = "Stütze im Achsraster B/3";
  d.anmerkungen[5] = "letzte";
  d.ErgStabTeil.Add(4);
  d.ErgStabTeil.Add(8);

  auto schnitt = std::make_unique<CResultSchnittgroessen>();
  schnitt->System = 0;
  schnitt->LK = 3;
  schnitt->Typ = 3;
  schnitt->Kote = {0.0, 3.25, 7.75};
  schnitt->N = {-1200.5, -1190.0, -1180.25};
  schnitt->My = {12.0, -3.0, 0.0};
  schnitt->Eta = {0.5, 0.6, 0.7};
  d.ergebnisse.Schnittgroessen.push_back(std::move(schnitt));
  auto verformung = std::make_unique<CResultVerformung>();
  verformung->System = 2;
  verformung->LK = 1;
  verformung->Typ = 4;
  for (int i = 0; i < 6; ++i) verformung->Eigen[i] = 1.5 * (i + 1);
  verformung->Kote = {0.0, 7.75};
  verformung->v0 = {0.0, 0.012};
  d.ergebnisse.Verformung.push_back(std::move(verformung));
  auto brand = std::make_unique<CResultBrandschnittgroessen>();
  brand->OK = 1;
  brand->Kote = {1.0};
  brand->minDeck = {4.5};
  d.ergebnisse.Brandschnittgroessen.push_back(std::move(brand));
  auto fund = std::make_unique<CResultFundkraefte>();
  fund->LK = -2;
  fund->KNr = {1, 2};
  fund->Kote = {0.0, 0.0};
  fund->dAmx = {0.25, -0.25};
  d.ergebnisse.Fundkraefte.push_back(std::move(fund));
  auto erfAs = std::make_unique<CResultErfAs>();
  erfAs->Kote = {0.5};
  erfAs->As = {6.28};
  erfAs->QuerNr = {1};
  erfAs->LKNr = {7};
  erfAs->NachTyp = {3};
  d.ergebnisse.ErfAs.push_back(std::move(erfAs));
}

void ExpectSameColumn(CKolumoData& a, CKolumoData& b) {
  EXPECT_EQ(a.iNorm, b.iNorm);
  EXPECT_EQ(a.sBeton, b.sBeton);
  EXPECT_EQ(a.sStahl, b.sStahl);
  EXPECT_EQ(a.Fertigteil, b.Fertigteil);
  EXPECT_EQ(a.LKManuell, b.LKManuell);
  ASSERT_EQ(a.nFields(), b.nFields());
  for (int f = 0; f < a.nFields(); ++f) {
    SCOPED_TRACE(f);
    EXPECT_DOUBLE_EQ(a.fieldLengths[f].GetValue(), b.fieldLengths[f].GetValue());
    EXPECT_EQ(a.fieldLengths[f].m_bNumber, b.fieldLengths[f].m_bNumber);
    CKolumoQuer& qa = a.querschnitte[f];
    CKolumoQuer& qb = b.querschnitte[f];
    EXPECT_EQ(qa.type, qb.type);
    EXPECT_EQ(qa.bewType, qb.bewType);
    EXPECT_EQ(qa.teilung, qb.teilung);
    for (auto m : {&CKolumoQuer::bx, &CKolumoQuer::dy, &CKolumoQuer::ex, &CKolumoQuer::ey, &CKolumoQuer::bdx,
                   &CKolumoQuer::bdy, &CKolumoQuer::as, &CKolumoQuer::theta})
      EXPECT_DOUBLE_EQ((qa.*m).GetValue(), (qb.*m).GetValue());
  }
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(a.maxLF[s], b.maxLF[s]);
    ASSERT_EQ(a.supports[s].GetSize(), b.supports[s].GetSize());
    for (INT_PTR i = 0; i < a.supports[s].GetSize(); ++i) {
      CSupport& sa = a.supports[s][i];
      CSupport& sb = b.supports[s][i];
      for (auto m : {&CSupport::cx, &CSupport::cy, &CSupport::cz, &CSupport::cmx, &CSupport::cmy})
        EXPECT_DOUBLE_EQ((sa.*m).GetValue(), (sb.*m).GetValue());
    }
    ASSERT_EQ(a.loads[s].GetSize(), b.loads[s].GetSize());
    for (INT_PTR i = 0; i < a.loads[s].GetSize(); ++i) {
      Load& la = a.loads[s][i];
      Load& lb = b.loads[s][i];
      EXPECT_EQ(la.lc, lb.lc);
      EXPECT_EQ(la.ltype, lb.ltype);
      EXPECT_EQ(la.node, lb.node);
      EXPECT_EQ(la.direction, lb.direction);
      EXPECT_EQ(la.desc, lb.desc);
      EXPECT_DOUBLE_EQ(la.val0.GetValue(), lb.val0.GetValue());
      EXPECT_DOUBLE_EQ(la.val1.GetValue(), lb.val1.GetValue());
    }
    CKolumoVorver& va = a.vorver[s];
    CKolumoVorver& vb = b.vorver[s];
    EXPECT_EQ(va.type, vb.type);
    EXPECT_EQ(va.Schiefstellung, vb.Schiefstellung);
    EXPECT_EQ(va.IDPunkt, vb.IDPunkt);
    EXPECT_EQ(va.bDirekteVorgabe, vb.bDirekteVorgabe);
    EXPECT_EQ(va.bAusmitte, vb.bAusmitte);
    EXPECT_EQ(va.bGesetzt, vb.bGesetzt);
    for (auto m : {&CKolumoVorver::ausmitte, &CKolumoVorver::umx, &CKolumoVorver::umy, &CKolumoVorver::invw})
      EXPECT_DOUBLE_EQ((va.*m).GetValue(), (vb.*m).GetValue());
  }
  ASSERT_EQ(a.kriechen.GetSize(), b.kriechen.GetSize());
  for (INT_PTR i = 0; i < a.kriechen.GetSize(); ++i) {
    EXPECT_DOUBLE_EQ(a.kriechen[i].KriechZahl, b.kriechen[i].KriechZahl);
    EXPECT_DOUBLE_EQ(a.kriechen[i].Faktor, b.kriechen[i].Faktor);
  }
  for (auto m :
       {&CKolumoData::num_System, &CKolumoData::AusgabeTyp, &CKolumoData::num_KNSW_Schnitt, &CKolumoData::num_Riss,
        &CKolumoData::num_Brand, &CKolumoData::num_Fundament, &CKolumoData::num_FundLastw, &CKolumoData::num_ErfAs,
        &CKolumoData::GrafikTyp, &CKolumoData::SchriftFeld, &CKolumoData::graf_ErfAs, &CKolumoData::indexBrandKlasse,
        &CKolumoData::indexBrandSeiten, &CKolumoData::bPutzBekleidet, &CKolumoData::FudPos})
    EXPECT_EQ(a.*m, b.*m);
  for (auto m : {&CKolumoData::BildBreite, &CKolumoData::bx, &CKolumoData::by, &CKolumoData::Es, &CKolumoData::EsID,
                 &CKolumoData::nue, &CKolumoData::fakt, &CKolumoData::hoehe, &CKolumoData::cx, &CKolumoData::cy,
                 &CKolumoData::cz, &CKolumoData::cmx, &CKolumoData::cmy})
    EXPECT_DOUBLE_EQ(a.*m, b.*m);
  ASSERT_EQ(a.anmerkungen.GetSize(), b.anmerkungen.GetSize());
  for (INT_PTR i = 0; i < a.anmerkungen.GetSize(); ++i) EXPECT_EQ(a.anmerkungen[i], b.anmerkungen[i]);
  ASSERT_EQ(a.ErgStabTeil.GetSize(), b.ErgStabTeil.GetSize());
  for (INT_PTR i = 0; i < a.ErgStabTeil.GetSize(); ++i) EXPECT_EQ(a.ErgStabTeil[i], b.ErgStabTeil[i]);
}

class ColumnXmlTest : public ColumnTest {};

TEST_F(ColumnXmlTest, EveryValueSurvivesWritingAndReadingThroughTheFile) {
  CKolumoData written;
  FillColumn(written);
  const int doc = NewDocument();
  written.WriteData(doc);
  CKolumoData read;
  ASSERT_EQ(read.ReadData(Reopened(doc)), 1);
  ExpectSameColumn(written, read);
  // The expression stays an expression.
  EXPECT_FALSE(read.fieldLengths[1].m_bNumber);
  EXPECT_EQ(read.fieldLengths[1].GetText(), "2*2.25");
  EXPECT_DOUBLE_EQ(read.fieldLengths[1].GetValue(), 4.5);
  EXPECT_TRUE(Messages().empty());

  const CResultContainer& r = read.ergebnisse;
  ASSERT_EQ(r.Schnittgroessen.size(), 1u);
  EXPECT_EQ(r.Schnittgroessen[0]->LK, 3);
  EXPECT_EQ(r.Schnittgroessen[0]->Typ, 3);
  EXPECT_EQ(r.Schnittgroessen[0]->Kote, (ResultColumn{0.0, 3.25, 7.75}));
  EXPECT_EQ(r.Schnittgroessen[0]->N, (ResultColumn{-1200.5, -1190.0, -1180.25}));
  EXPECT_EQ(r.Schnittgroessen[0]->Eta, (ResultColumn{0.5, 0.6, 0.7}));
  EXPECT_TRUE(r.Schnittgroessen[0]->Vx.empty());
  ASSERT_EQ(r.Verformung.size(), 1u);
  EXPECT_EQ(r.Verformung[0]->System, 2);
  EXPECT_EQ(r.Verformung[0]->Typ, 4);
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(r.Verformung[0]->Eigen[i], 1.5 * (i + 1));
  EXPECT_EQ(r.Verformung[0]->v0, (ResultColumn{0.0, 0.012}));
  ASSERT_EQ(r.Brandschnittgroessen.size(), 1u);
  EXPECT_EQ(r.Brandschnittgroessen[0]->OK, 1);
  EXPECT_EQ(r.Brandschnittgroessen[0]->minDeck, (ResultColumn{4.5}));
  ASSERT_EQ(r.Fundkraefte.size(), 1u);
  EXPECT_EQ(r.Fundkraefte[0]->LK, -2);
  EXPECT_EQ(r.Fundkraefte[0]->KNr, (ResultIntColumn{1, 2}));
  EXPECT_EQ(r.Fundkraefte[0]->dAmx, (ResultColumn{0.25, -0.25}));
  ASSERT_EQ(r.ErfAs.size(), 1u);
  EXPECT_EQ(r.ErfAs[0]->As, (ResultColumn{6.28}));
  EXPECT_EQ(r.ErfAs[0]->LKNr, (ResultIntColumn{7}));
  EXPECT_EQ(r.ErfAs[0]->NachTyp, (ResultIntColumn{3}));
  EXPECT_TRUE(r.Lagerkraefte.empty());
}

TEST_F(ColumnXmlTest, ArraysAreStoredWithTheirByteLength) {
  CKolumoData d;
  FillColumn(d);
  const int doc = NewDocument();
  d.WriteData(doc);
  const int result = VIDUV_FindFirstChild(Root(doc), "result");
  const int schnitt = VIDUV_FindFirstChild(result, "Schnittgroessen");
  EXPECT_EQ(VIDUV_GetBinDataLength(schnitt, "Kote"), 3 * 8);
  EXPECT_EQ(VIDUV_GetBinDataLength(schnitt, "Vy"), 0);  // empty arrays are not written
  const int verformung = VIDUV_FindFirstChild(result, "Verformung");
  EXPECT_EQ(VIDUV_GetBinDataLength(verformung, "Eigen"), 48);
  const int fund = VIDUV_FindFirstChild(result, "Fundkraefte");
  EXPECT_EQ(VIDUV_GetBinDataLength(fund, "KNr"), 2 * 4);
  EXPECT_EQ(VIDUV_GetBinDataLength(VIDUV_FindFirstChild(result, "ErgStabTeil"), "Teilung"), 2 * 4);
  // "ErfAs" carries no combination head.
  const int erfAs = VIDUV_FindFirstChild(result, "ErfAs");
  EXPECT_EQ(CString(VIDUV_GetString(erfAs, "LK")), "");
}

TEST_F(ColumnXmlTest, ColumnWithoutFieldsWritesOnlyTheHeadSupports) {
  CKolumoData d;
  const int doc = NewDocument();
  d.WriteData(doc);
  const int system = VIDUV_FindFirstChild(Input(doc), "system");
  ASSERT_NE(system, 0);
  EXPECT_EQ(VIDUV_GetInt(system, "nFields"), 0);
  ASSERT_EQ(CountChildren(system, "field"), 1);
  const int field = VIDUV_FindFirstChild(system, "field");
  EXPECT_EQ(VIDUV_GetInt(field, "fieldNr"), -1);
  EXPECT_EQ(CString(VIDUV_GetString(field, "length")), "");
  EXPECT_EQ(VIDUV_FindFirstChild(field, "quer"), 0);
  EXPECT_EQ(CountChildren(VIDUV_FindFirstChild(field, "support"), "BauZustand"), 4);
  EXPECT_EQ(CountChildren(VIDUV_FindFirstChild(system, "maxLFBZ"), "BauZustand"), 4);
  EXPECT_EQ(CountChildren(VIDUV_FindFirstChild(Input(doc), "Einwirkungen"), "BauZustand"), 4);
  EXPECT_EQ(CountChildren(VIDUV_FindFirstChild(Input(doc), "impact"), "BauZustand"), 4);
}

TEST_F(ColumnXmlTest, WritingTwiceKeepsOneCopyOfEachElement) {
  CKolumoData d;
  FillColumn(d);
  const int doc = NewDocument();
  d.WriteData(doc);
  d.WriteData(doc);
  for (const char* name : {"Einwirkungen", "Brand", "Fundament", "system", "impact"}) {
    EXPECT_EQ(CountChildren(Input(doc), name), 1) << name;
  }
  EXPECT_EQ(CountChildren(Root(doc), "Ausgabe"), 1);
  EXPECT_EQ(CountChildren(Root(doc), "result"), 1);
  EXPECT_EQ(CountChildren(VIDUV_FindFirstChild(Root(doc), "result"), "Schnittgroessen"), 1);
}

TEST_F(ColumnXmlTest, ResultsWithoutSectionForcesAreNotWritten) {
  CKolumoData d;
  d.version = kVersion;
  auto lager = std::make_unique<CResultLagerkraefte>();
  lager->Kote = {0.0};
  lager->Apz = {-100.0};
  d.ergebnisse.Lagerkraefte.push_back(std::move(lager));
  const int doc = NewDocument();
  d.WriteData(doc);
  const int result = VIDUV_FindFirstChild(Root(doc), "result");
  ASSERT_NE(result, 0);
  EXPECT_EQ(VIDUV_FindFirstChild(result, "Lagerkraefte"), 0);
  int children = 0;
  for (int c = VIDUV_GetFirstChild(result); c; c = VIDUV_GetNextChild(c)) ++children;
  EXPECT_EQ(children, 1);  // "ErgStabTeil" alone
}

TEST_F(ColumnXmlTest, MemberCountBelowOneIsWrittenAsFive) {
  CKolumoData d;
  d.SetFieldCount(1);
  d.querschnitte[0].teilung = 0;
  const int doc = NewDocument();
  d.WriteData(doc);
  EXPECT_EQ(d.querschnitte[0].teilung, 5);
  CKolumoData read;
  read.ReadData(doc);
  EXPECT_EQ(read.querschnitte[0].teilung, 5);
}

// The output options of the three generations of files: under "input" before 2.2, under the root without
// "num_FundLastw" up to 2011.01, with it afterwards.
TEST_F(ColumnXmlTest, OutputOptionsFollowTheFileVersion) {
  const struct {
    double version;
    bool underInput;
    int expectFundLastw;
    int expectSchriftFeld;
    bool resultsKept;
  } cases[] = {{2.1, true, 0, 0, false}, {2011.01, false, 0, 3, true}, {2011.02, false, 1, 3, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    win::msgbox::ClearLog();
    CKolumoData written;
    FillColumn(written);
    written.version = c.version;
    const int doc = NewDocument();
    written.WriteData(doc);
    if (c.underInput) {
      // An old file keeps its options under "input"; what the root holds is not read.
      const int old = VIDUV_AddChildElement(Input(doc), "Ausgabe");
      VIDUV_SetInt(old, "num_System", 1);
      VIDUV_SetInt(old, "num_Riss", 1);
      VIDUV_SetInt(old, "SchriftFeld", 7);
      VIDUV_SetInt(old, "num_FundLastw", 1);
      VIDUV_SetDouble(old, "BildBreite", 9.5);
      VIDUV_SetInt(VIDUV_FindFirstChild(Root(doc), "Ausgabe"), "num_Riss", 0);
    }
    CKolumoData read;
    ASSERT_EQ(read.ReadData(doc), 1);
    EXPECT_EQ(read.num_System, 1);
    EXPECT_EQ(read.num_Riss, 1);
    EXPECT_EQ(read.num_FundLastw, c.expectFundLastw);
    EXPECT_EQ(read.SchriftFeld, c.expectSchriftFeld);
    EXPECT_DOUBLE_EQ(read.BildBreite, c.underInput ? 9.5 : 14.5);
    EXPECT_EQ(!read.ergebnisse.Schnittgroessen.empty(), c.resultsKept);
    EXPECT_EQ(read.ErgStabTeil.GetSize(), c.resultsKept ? 2 : 0);
    const auto messages = Messages();
    const bool dropped = std::find(messages.begin(), messages.end(),
                                   "Versionsbedingt werden Ihre alten Ergebnisdaten gelöscht.") != messages.end();
    EXPECT_EQ(dropped, !c.resultsKept);
  }
}

TEST_F(ColumnXmlTest, TemplateTakesTheUsersDefaultCode) {
  const struct {
    const char* defaultNorm;
    int expected;
  } cases[] = {{"DIN", 0}, {"EC", 1}, {"SIA", 2}, {"ECNA", 10}, {"other", 11}};
  const CString saved = GetRegSettings().defaultNorm;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.defaultNorm);
    CKolumoData written;
    written.version = kVersion;
    written.iNorm = 11;
    const int doc = NewDocument();
    written.WriteData(doc);
    VIDUV_SetInt(VIDUV_FindFirstChild(Root(doc), "info"), "bIsTemplate", 1);
    GetRegSettings().defaultNorm = c.defaultNorm;
    CKolumoData read;
    read.ReadData(doc);
    EXPECT_EQ(read.iNorm, c.expected);
  }
  GetRegSettings().defaultNorm = saved;
}

TEST_F(ColumnXmlTest, FieldsAndStagesOutsideTheirRangeAreIgnored) {
  CKolumoData written;
  FillColumn(written);
  const int doc = NewDocument();
  written.WriteData(doc);
  const int system = VIDUV_FindFirstChild(Input(doc), "system");
  const int stray = VIDUV_AddChildElement(system, "field");
  VIDUV_SetInt(stray, "fieldNr", 2);
  VIDUV_SetDouble(stray, "length", 99.0);
  const int strayStage = VIDUV_AddChildElement(stray, "support");
  VIDUV_SetInt(VIDUV_AddChildElement(strayStage, "BauZustand"), "bzNr", 1);
  const int impactStage = VIDUV_AddChildElement(VIDUV_FindFirstChild(Input(doc), "impact"), "BauZustand");
  VIDUV_SetInt(impactStage, "bzNr", 4);
  VIDUV_AddChildElement(impactStage, "load");
  CKolumoData read;
  ASSERT_EQ(read.ReadData(doc), 1);
  EXPECT_EQ(read.nFields(), 2);
  ExpectSameColumn(written, read);
}

TEST_F(ColumnXmlTest, ImplausibleFieldCountLeavesTheSystemAndSaysSo) {
  CKolumoData written;
  FillColumn(written);
  const int doc = NewDocument();
  written.WriteData(doc);
  VIDUV_SetInt(VIDUV_FindFirstChild(Input(doc), "system"), "nFields", 2000000000);
  CKolumoData read;
  ASSERT_EQ(read.ReadData(doc), 1);
  EXPECT_EQ(read.nFields(), 0);
  EXPECT_EQ(read.iNorm, 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("2000000000"), std::string::npos);
}

// A column of more fields than a position holds (none of the dialog's ways makes one) is written with the fields
// the reader takes, and says so: the file reads back with them, where a file of 102 fields read as no system.
TEST_F(ColumnXmlTest, TheWriterWritesNoMoreFieldsThanTheReaderTakes) {
  CKolumoData written;
  FillColumn(written);
  written.SetFieldCount(102);
  for (int f = 0; f < written.nFields(); ++f) written.fieldLengths[f] = 1.0 + f;
  const int doc = NewDocument();
  written.WriteData(doc);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0],
            "Die Stütze hat 102 Felder; eine Position hält höchstens 100. Gespeichert werden die ersten 100.");
  CKolumoData read;
  ASSERT_EQ(read.ReadData(Reopened(doc)), 1);
  EXPECT_EQ(Messages().size(), 1u) << "the reader takes the file";
  ASSERT_EQ(read.nFields(), 100);
  EXPECT_DOUBLE_EQ(read.fieldLengths[99].GetValue(), 100.0);
  EXPECT_DOUBLE_EQ(read.querschnitte[1].bx.GetValue(), 40.0);
}

TEST_F(ColumnXmlTest, ReadingAppendsLoadsUnlessTheDataIsResetFirst) {
  CKolumoData written;
  FillColumn(written);
  const int doc = NewDocument();
  written.WriteData(doc);
  CKolumoData read;
  read.ReadData(doc);
  read.ReadData(doc);
  EXPECT_EQ(read.loads[0].GetSize(), 4);
  EXPECT_EQ(read.kriechen.GetSize(), 2);
  read.SetDefaults();
  read.ReadData(doc);
  EXPECT_EQ(read.loads[0].GetSize(), 2);
  EXPECT_EQ(read.kriechen.GetSize(), 1);
}

TEST_F(ColumnXmlTest, CurrentStageIsMirroredIntoThePositionsCombinationData) {
  struct StageBox : CKolumoDataOwner {
    int selection = 2;
    int GetStageSelection() const override { return selection; }
  } box;
  CKolumoData written;
  written.version = kVersion;
  CLKData& lk = written.lastUeberlagerungBZ[2];
  CEinwirkung permanent;
  permanent.nr = 1;
  lk.einwirkungen.Add(permanent);
  CLKLastfall row;
  row.lf = 1;
  row.einw = 1;
  lk.lastfaelle.Add(row);
  CKombination k;
  k.art = "Ed";
  k.regel = k.regelUser = "1.35*(1)";
  lk.kombinationen.Add(k);
  const int doc = NewDocument();
  written.WriteData(doc);

  for (int selection : {2, -1}) {
    SCOPED_TRACE(selection);
    box.selection = selection;
    CKolumoData read;
    read.pDlg = &box;
    read.ReadData(doc);
    const int stage = selection < 0 ? 0 : selection;
    EXPECT_EQ(read.aktBauZustand, stage);
    EXPECT_EQ(read.lastUeberlagerung.kombinationen.GetSize(), stage == 2 ? 1 : 0);
    EXPECT_EQ(read.lastUeberlagerungBZ[2].kombinationen.GetSize(), 1);
    EXPECT_EQ(read.lastUeberlagerung.owner, &read);
  }
}

}  // namespace
