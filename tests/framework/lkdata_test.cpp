// CLKData: the element "lastUeberlagerung", the action and load-case bookkeeping and the lists offered to
// dialogs.
#include <memory>

#include "lk_test_support.h"
#include "platform/kombra/kombra.h"

namespace {

using lk_test::action;
using lk_test::LKTest;

// A data set that uses every persisted field.
void fillEveryField(CLKData& data) {
  data.SetNorm(3);
  data.SetModus(2);
  data.nachweisMitGammaInf = false;
  data.mitAlternativLasten = true;
  data.mitAlternativGruppen = true;
  data.schneeHoehe = 1.7;
  data.psi2_kran = 0.6;
  data.GInfFactor = 0.9;
  data.lastfaelle.Add(CLKLastfall{1, 1});
  data.lastfaelle.Add(CLKLastfall{2, 2});
  data.lastfaelle.Add(CLKLastfall{3, 3});
  data.lastfaelle.Add(CLKLastfall{4, 4});
  data.lastfaelle.Add(CLKLastfall{5, 0});  // names no action: kept, not written
  CEinwirkung g = action(1, 0, 0, 0);
  g.lastfaelle = "1 ";
  g.maxmin = 1;
  g.indexLuda = 3;
  data.einwirkungen.Add(g);
  data.einwirkungen[0].readonly = true;  // a copy never carries it, so set it in the list
  CEinwirkung wind = action(2, 1, 1, 11);
  wind.lastfaelle = "2 ";
  wind.indexKLED = 3;
  wind.einwNichtAufteilen = true;
  wind.lastfallMax = 2;
  wind.lastfallMin = 3;
  wind.alternativgruppe = 4;
  data.einwirkungen.Add(wind);
  CEinwirkung alt = action(3, 2, 2, 0);
  alt.alternativgruppe = -3;
  data.einwirkungen.Add(alt);
  data.einwirkungen.Add(action(4, 3, 3, 0));
  data.einwirkungen.Add(action(0, 1, 1, 0));  // number 0: kept, not written
  CKombination k;
  k.art = "Ed";
  k.regel = "1.35*(1)+1.50*(2)";
  k.regelUser = "1.35*(1 )+1.50*(max 2 )";
  k.desc = "Wind führend";
  k.faktoren.Add(1.35);
  data.kombinationen.Add(k);
  CKombination ohneDesc;
  ohneDesc.art = "Ed,perm";
  ohneDesc.regel = "1.00*(1)";
  ohneDesc.regelUser = "1.00*(1)";
  data.kombinationen.Add(ohneDesc);
}

TEST_F(LKTest, LastUeberlagerungRoundTripsEveryField) {
  CLKData written;
  fillEveryField(written);
  written.WriteData(root());

  CLKData read;
  read.ReadData(VIDUV_GetRootElement(reopened()));

  EXPECT_EQ(read.modus, 2);
  EXPECT_EQ(read.lknorm, 3);
  EXPECT_EQ(read.version, 2);
  EXPECT_FALSE(read.nachweisMitGammaInf);
  EXPECT_TRUE(read.mitAlternativLasten);
  EXPECT_TRUE(read.mitAlternativGruppen);
  EXPECT_DOUBLE_EQ(read.schneeHoehe, 1.7);
  EXPECT_DOUBLE_EQ(read.GInfFactor, 0.9);
  EXPECT_DOUBLE_EQ(read.psi2_kran, 0.77);  // written, never read

  // Factor rows of EN 1990 and the 25 partial factors as the generator gave them on writing.
  ASSERT_EQ(read.beiwerte.GetSize(), 17);
  EXPECT_EQ(read.beiwerte[11].name, "Wind");
  EXPECT_DOUBLE_EQ(read.beiwerte[11].psi0, 0.6);
  EXPECT_DOUBLE_EQ(read.beiwerte[13].psi2, 0.6);  // crane psi2 = psi2_kran handed on writing
  EXPECT_DOUBLE_EQ(read.gamma_g_guenstig, 0.9);   // 1.00 * GInfFactor
  EXPECT_DOUBLE_EQ(read.gamma_g_unguenstig, 1.35);
  EXPECT_DOUBLE_EQ(read.gamma_q_guenstig, 0.0);
  EXPECT_DOUBLE_EQ(read.gamma_q_unguenstig, 1.5);
  EXPECT_DOUBLE_EQ(read.gamma_g_inf, 0.9);  // EN 1990 A1.2(A)
  EXPECT_DOUBLE_EQ(read.gamma_g_sup, 1.1);
  EXPECT_DOUBLE_EQ(read.gamma_a, 1.0);
  EXPECT_DOUBLE_EQ(read.gamma_g_stb2, 1.0);
  EXPECT_DOUBLE_EQ(read.gamma_g_dst2, 1.35);
  EXPECT_DOUBLE_EQ(read.gamma_q_dst3, 1.3);  // A1.2(C)
  EXPECT_DOUBLE_EQ(read.gamma_g_2, 1.0);     // accidental sets
  EXPECT_DOUBLE_EQ(read.gamma_e0g_1, 1.2);
  EXPECT_DOUBLE_EQ(read.gamma_e0g_2, 1.1);
  EXPECT_DOUBLE_EQ(read.gamma_e0g_3, 1.0);
  for (double CLKData::*member : {&CLKData::gamma_g_stb1, &CLKData::gamma_g_dst3, &CLKData::gamma_q_1}) {
    EXPECT_DOUBLE_EQ(read.*member, written.*member);
  }

  ASSERT_EQ(read.lastfaelle.GetSize(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(read.lastfaelle[i].lf, i + 1);
    EXPECT_EQ(read.lastfaelle[i].einw, i + 1);
  }

  // Titles and descriptions are rebuilt on writing (category name omitted in titles for category 0).
  struct Expected {
    int nr;
    const char* title;
    const char* desc;
  };
  const Expected expected[] = {{1, "1: ständig", "1: ständig"},
                               {2, "2: veränderlich, Wind", "2: Wind"},
                               {3, "3: veränderlich alternativ", "3: Nutzlast Kat. A"},
                               {4, "4: außergewöhnlich", "4: außergewöhnlich"}};
  ASSERT_EQ(read.einwirkungen.GetSize(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(read.einwirkungen[i].nr, expected[i].nr);
    EXPECT_EQ(read.einwirkungen[i].title, expected[i].title);
    EXPECT_EQ(read.einwirkungen[i].desc, expected[i].desc);
    EXPECT_FALSE(read.einwirkungen[i].readonly);
  }
  const CEinwirkung& g = read.einwirkungen[0];
  EXPECT_EQ(g.lastfaelle, "1 ");
  EXPECT_EQ(g.maxmin, 1);
  EXPECT_EQ(g.indexLuda, 3);
  const CEinwirkung& wind = read.einwirkungen[1];
  EXPECT_EQ(wind.indexGruppe, 1);
  EXPECT_EQ(wind.indexGruppeHHHH, 1);
  EXPECT_EQ(wind.indexKategorie, 11);
  EXPECT_EQ(wind.indexKLED, 3);
  EXPECT_TRUE(wind.einwNichtAufteilen);
  EXPECT_EQ(wind.lastfallMax, 2);
  EXPECT_EQ(wind.lastfallMin, 3);
  EXPECT_EQ(wind.alternativgruppe, 4);
  EXPECT_EQ(read.einwirkungen[2].alternativgruppe, 0);
  EXPECT_EQ(written.einwirkungen[2].alternativgruppe, 0);  // mended in memory too

  ASSERT_EQ(read.kombinationen.GetSize(), 2);
  EXPECT_EQ(read.kombinationen[0].art, "Ed");
  EXPECT_EQ(read.kombinationen[0].regel, "1.35*(1)+1.50*(2)");
  EXPECT_EQ(read.kombinationen[0].regelUser, "1.35*(1 )+1.50*(max 2 )");
  EXPECT_EQ(read.kombinationen[0].desc, "Wind führend");
  EXPECT_TRUE(read.kombinationen[0].faktoren.IsEmpty());
  EXPECT_EQ(read.kombinationen[1].art, "Ed,perm");
  EXPECT_TRUE(messages().empty());
}

TEST_F(LKTest, WrittenElementHoldsTheRawFieldsAndLeavesOutWhatIsNotWritten) {
  CLKData data;
  fillEveryField(data);
  data.WriteData(root());
  const int element = VIDUV_FindFirstChild(root(), "lastUeberlagerung");
  ASSERT_NE(element, 0);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(element, "psi2_kran"), 0.6);
  EXPECT_EQ(VIDUV_GetInt(element, "version"), 2);
  const int first = VIDUV_FindFirstChild(VIDUV_FindFirstChild(element, "einwirkungen"), "einwirkung");
  EXPECT_EQ(VIDUV_GetInt(first, "readonly"), 1);
  int lastfaelle = 0;
  for (int row = VIDUV_FindFirstChild(VIDUV_FindFirstChild(element, "lastfaelle"), "lastfall"); row != 0;
       row = VIDUV_FindNextChild(row, "lastfall")) {
    ++lastfaelle;
  }
  EXPECT_EQ(lastfaelle, 4);
  const int results = VIDUV_FindFirstChild(element, "results");
  const int second = VIDUV_FindNextChild(VIDUV_FindFirstChild(results, "result"), "result");
  ASSERT_NE(second, 0);
  EXPECT_EQ(VIDUV_GetFirstAttrHandle(second) != 0, true);
  int attributes = 0;
  for (int a = VIDUV_GetFirstAttrHandle(second); a != 0; a = VIDUV_GetNextAttrHandle(a)) {
    EXPECT_STRNE(VIDUV_GetAttrNameByHandle(a), "desc");
    ++attributes;
  }
  EXPECT_EQ(attributes, 3);
}

TEST_F(LKTest, WritingReplacesTheOldElement) {
  CLKData data;
  data.SetNorm(0);
  data.WriteData(root());
  data.modus = 1;
  data.WriteData(root());
  const int first = VIDUV_FindFirstChild(root(), "lastUeberlagerung");
  EXPECT_EQ(VIDUV_FindNextChild(first, "lastUeberlagerung"), 0);
  EXPECT_EQ(VIDUV_GetInt(first, "modus"), 1);
}

TEST_F(LKTest, WritingBeforeAnyNormWritesNothingAndLeavesTheElement) {
  const int old = VIDUV_AddChildElement(root(), "lastUeberlagerung");
  VIDUV_SetInt(old, "modus", 7);
  CLKData data;
  data.WriteData(root());
  const int element = VIDUV_FindFirstChild(root(), "lastUeberlagerung");
  EXPECT_EQ(element, old);
  EXPECT_EQ(VIDUV_GetInt(element, "modus"), 7);
  EXPECT_EQ(VIDUV_FindFirstChild(element, "sicherheitsbeiwerte"), 0);
}

TEST_F(LKTest, ADocumentWithoutTheElementOnlyResetsTheNorm) {
  CLKData data;
  data.lknorm = 3;
  data.modus = 2;
  data.einwirkungen.Add(action(1, 0, 0, 0));
  data.ReadData(root());
  EXPECT_EQ(data.lknorm, 1);
  EXPECT_EQ(data.modus, 2);
  EXPECT_EQ(data.einwirkungen.GetSize(), 1);
  data.ReadData(0);
  EXPECT_EQ(data.lknorm, 1);
}

TEST_F(LKTest, MissingAttributesKeepTheDefaults) {
  VIDUV_AddChildElement(root(), "lastUeberlagerung");
  CLKData data;
  data.ReadData(root());
  EXPECT_EQ(data.modus, 3);
  EXPECT_EQ(data.lknorm, 0);  // read with default 0
  EXPECT_TRUE(data.nachweisMitGammaInf);
  EXPECT_DOUBLE_EQ(data.GInfFactor, 1.0);
  EXPECT_TRUE(data.beiwerte.IsEmpty());
}

TEST_F(LKTest, ReadingWithoutActionsSetsUpTheSimplifiedActionsTheLoadCasesName) {
  const int element = VIDUV_AddChildElement(root(), "lastUeberlagerung");
  VIDUV_SetInt(element, "modus", 3);
  const int list = VIDUV_AddChildElement(element, "lastfaelle");
  for (int lf = 1; lf <= 2; ++lf) {
    const int row = VIDUV_AddChildElement(list, "lastfall");
    VIDUV_SetInt(row, "lf", lf);
    VIDUV_SetInt(row, "einw", lf == 1 ? 1 : 3);
  }
  CLKData data;
  data.ReadData(root());
  // Actions 1 (permanent) and 3 (snow, not split); action 2 is used by no load case and removed.
  ASSERT_EQ(data.einwirkungen.GetSize(), 2);
  EXPECT_EQ(data.einwirkungen[0].nr, 1);
  EXPECT_EQ(data.einwirkungen[0].lastfaelle, "1 ");
  EXPECT_EQ(data.einwirkungen[1].nr, 3);
  EXPECT_EQ(data.einwirkungen[1].indexKategorie, 6);
  EXPECT_EQ(data.einwirkungen[1].indexKLED, 3);
  EXPECT_TRUE(data.einwirkungen[1].einwNichtAufteilen);
  EXPECT_EQ(data.einwirkungen[1].lastfaelle, "2 ");
}

TEST_F(LKTest, ReadingWithoutActionsButALoadCaseOfActionFourGivesTheMessageAndNoActions) {
  const int element = VIDUV_AddChildElement(root(), "lastUeberlagerung");
  const int row = VIDUV_AddChildElement(VIDUV_AddChildElement(element, "lastfaelle"), "lastfall");
  VIDUV_SetInt(row, "lf", 1);
  VIDUV_SetInt(row, "einw", 4);
  CLKData data;
  data.ReadData(root());
  EXPECT_TRUE(data.einwirkungen.IsEmpty());
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0],
            "vereinfachte Kombinationsregeln können nicht generiert werden, da EinwirkungsNr. > 3 vorhanden");
}

TEST_F(LKTest, FilesOfTheFirstFormatAreConverted) {
  struct Case {
    int gruppeAlt, kategorieAlt, lknorm;
    bool mitAlternativLasten;
    int gruppeHHHH, gruppe, kategorie;
    bool message;
  };
  // g 1-5 -> 1, 6-12 -> 2, 13 -> 3, 14 -> 4; listed group 0, 1, (2: message), 2, 3 without alternatives.
  // Categories (lknorm != 1): 1->0, 2->1, 3->2, 4->6 ... 9->11; group 4 -> 0; lknorm 1 -> 0.
  const Case cases[] = {{3, 4, 0, false, 1, 1, 6, false},  {7, 9, 0, true, 2, 2, 11, false},
                        {7, 2, 0, false, 2, 7, 1, true},   {13, 3, 0, false, 3, 2, 2, false},
                        {14, 5, 0, false, 4, 3, 0, false}, {2, 5, 1, false, 1, 1, 0, false},
                        {0, 5, 0, false, 0, 0, 0, false}};
  for (const Case& c : cases) {
    win::msgbox::ClearLog();
    const int element = VIDUV_AddChildElement(root(), "lastUeberlagerung");
    VIDUV_SetInt(element, "lknorm", c.lknorm);
    VIDUV_SetInt(element, "mitAlternativLasten", c.mitAlternativLasten ? 1 : 0);
    const int row = VIDUV_AddChildElement(VIDUV_AddChildElement(element, "einwirkungen"), "einwirkung");
    VIDUV_SetInt(row, "einw", 1);
    VIDUV_SetInt(row, "indexGruppe", c.gruppeAlt);
    VIDUV_SetInt(row, "indexKategorie", c.kategorieAlt);
    VIDUV_SetInt(row, "alternativgruppe", 2);
    CLKData data;
    data.ReadData(root());
    ASSERT_EQ(data.einwirkungen.GetSize(), 1);
    const CEinwirkung& e = data.einwirkungen[0];
    EXPECT_EQ(e.indexGruppeHHHH, c.gruppeHHHH) << c.gruppeAlt;
    EXPECT_EQ(e.indexGruppe, c.gruppe) << c.gruppeAlt;
    EXPECT_EQ(e.indexKategorie, c.kategorie) << c.gruppeAlt;
    EXPECT_EQ(e.alternativgruppe, c.gruppeHHHH == 0 ? 0 : 2) << c.gruppeAlt;
    EXPECT_EQ(!messages().empty(), c.message) << c.gruppeAlt;
    VIDUV_DeleteElement(element);
  }
}

TEST_F(LKTest, SwitchingBetweenNationalAndEurocodeListsRemapsCategories) {
  CLKData data;
  data.SetNorm(0);
  data.einwirkungen.Add(action(1, 1, 1, 3));
  data.einwirkungen.Add(action(2, 2, 2, 2));
  data.einwirkungen.Add(action(3, 0, 0, 3));  // permanent: untouched
  data.SetNorm(3);
  EXPECT_EQ(data.einwirkungen[0].indexKategorie, 5);
  EXPECT_EQ(data.einwirkungen[1].indexKategorie, 4);
  EXPECT_EQ(data.einwirkungen[2].indexKategorie, 3);
  data.SetNorm(0);
  EXPECT_EQ(data.einwirkungen[0].indexKategorie, 3);
  EXPECT_EQ(data.einwirkungen[1].indexKategorie, 2);
  EXPECT_TRUE(data.normGesetzt);
}

TEST(LKCEinwirkungRecord, MapsBetweenTheCategoryListsByName) {
  // Every national category lands on the Eurocode category of the same kind and comes back.
  CLKData data;
  data.SetNorm(0);
  CStringArray national;
  data.GetLastKategorien(national, "veränderlich");
  data.SetNorm(3);
  CStringArray eurocode;
  data.GetLastKategorien(eurocode, "veränderlich");
  ASSERT_EQ(national.GetSize(), 12);
  ASSERT_EQ(eurocode.GetSize(), 17);
  for (int c = 0; c < 12; ++c) {
    const int ec = CEinwirkung::KategorieNachEC(c);
    EXPECT_EQ(CEinwirkung::KategorieVonEC(ec), c);
    const std::string from = national[c].str();
    const std::string to = eurocode[ec].str();
    EXPECT_EQ(from.substr(0, 6), to.substr(0, 6)) << from << " -> " << to;
  }
  EXPECT_EQ(CEinwirkung::KategorieNachEC(12), 12);
  EXPECT_EQ(CEinwirkung::KategorieVonEC(-1), -1);
}

TEST(LKCEinwirkungRecord, CopiesNeverCarryTheReadOnlyFlag) {
  CEinwirkung source = action(5, 1, 1, 2);
  source.readonly = true;
  source.desc = "x";
  CEinwirkung copy(source);
  EXPECT_FALSE(copy.readonly);
  EXPECT_EQ(copy.desc, "x");
  CEinwirkung target;
  target.readonly = true;
  CEinwirkung plain = action(6, 0, 0, 0);
  target = plain;
  EXPECT_TRUE(target.readonly);
  EXPECT_EQ(target.nr, 6);

  // Records moved inside a list (growing, removing) keep their flag.
  CArray<CEinwirkung, const CEinwirkung&> list;
  list.Add(plain);
  list[0].readonly = true;
  for (int i = 0; i < 40; ++i) list.Add(plain);
  list[2].readonly = true;
  list.RemoveAt(1);
  EXPECT_TRUE(list[0].readonly);
  EXPECT_TRUE(list[1].readonly);
  EXPECT_FALSE(list[2].readonly);
}

TEST(LKLastfallZuordnung, BuildsTextsCreatesMissingActionsAndRemovesUnusedOnes) {
  CLKData data;
  data.lastfaelle.Add(CLKLastfall{1, 1});
  data.lastfaelle.Add(CLKLastfall{2, 3});
  data.lastfaelle.Add(CLKLastfall{5, 3});
  data.lastfaelle.Add(CLKLastfall{6, 0});
  data.einwirkungen.Add(action(3, 1, 1, 0));
  data.einwirkungen.Add(action(7, 1, 1, 0));  // no load case names it
  data.UpdateLastfallZuordnung();
  // Entry 3: "2 " then ", " and "5 ".
  EXPECT_EQ(data.GetLastfallEinwirkungen(3), "2 , 5 ");
  EXPECT_EQ(data.GetLastfallEinwirkungen(1), "1 ");
  EXPECT_EQ(data.GetLastfallEinwirkungen(0), "");
  EXPECT_EQ(data.GetLastfallEinwirkungen(9), "");
  // Action 3 kept, 1 and 2 created, 7 and the unused 2 removed.
  ASSERT_EQ(data.einwirkungen.GetSize(), 2);
  EXPECT_EQ(data.einwirkungen[0].nr, 3);
  EXPECT_EQ(data.einwirkungen[0].lastfaelle, "2 , 5 ");
  EXPECT_EQ(data.einwirkungen[1].nr, 1);

  data.unbenutzteEinwirkungenEntfernen = false;
  data.einwirkungen.Add(action(7, 1, 1, 0));
  data.UpdateLastfallZuordnung();
  ASSERT_EQ(data.einwirkungen.GetSize(), 4);  // 3, 1, 7, and the created 2
  EXPECT_EQ(data.einwirkungen[2].lastfaelle, "");
  EXPECT_EQ(data.einwirkungen[3].nr, 2);
}

TEST(LKLastfallZuordnung, AHugeActionNumberBuildsNoEndlessList) {
  CLKData data;
  data.lastfaelle.Add(CLKLastfall{1, 2000000000});
  data.lastfaelle.Add(CLKLastfall{2, -5});
  data.lastfaelle.Add(CLKLastfall{3, 2});
  data.UpdateLastfallZuordnung();
  EXPECT_LE(data.lastfallTexte.GetSize(), CLKData::kMaxEinwirkungNr + 1);
  ASSERT_EQ(data.einwirkungen.GetSize(), 1);
  EXPECT_EQ(data.einwirkungen[0].nr, 2);
}

TEST_F(LKTest, DuplicateActionNumbersAreReported) {
  CLKData data;
  data.einwirkungen.Add(action(0, 0, 0, 0));
  data.einwirkungen.Add(action(0, 0, 0, 0));
  EXPECT_TRUE(data.CheckEinwirkungen());
  data.einwirkungen.Add(action(4, 0, 0, 0));
  data.einwirkungen.Add(action(4, 1, 1, 0));
  EXPECT_FALSE(data.CheckEinwirkungen());
  EXPECT_EQ(messages(), (std::vector<std::string>{"Einwirkung 4 ist mehrfach definiert worden"}));
}

TEST(LKEinwirkungen, GetEinwirkungGivesACopyOrANewRecord) {
  CLKData data;
  CEinwirkung e = action(2, 1, 1, 5);
  data.einwirkungen.Add(e);
  data.einwirkungen[0].readonly = true;
  EXPECT_EQ(data.GetEinwirkung(2).indexKategorie, 5);
  EXPECT_FALSE(data.GetEinwirkung(2).readonly);
  EXPECT_EQ(data.GetEinwirkung(9).nr, 0);
  EXPECT_EQ(data.GetEinwirkung(9).title, "");
}

TEST_F(LKTest, InvalidModeIsReportedAndTaken) {
  CLKData data;
  data.SetModus(4);
  EXPECT_EQ(data.modus, 4);
  EXPECT_EQ(messages(), (std::vector<std::string>{"CLKData::SetModus unzulässiger Modus vorgegeben"}));
  data.SetModus(1);
  EXPECT_EQ(messages().size(), 1u);
}

TEST(LKGruppen, OptionsAndModeChooseTheListedGroups) {
  struct Case {
    int modus;
    bool alternativ;
    std::vector<int> indizes;
  };
  const Case cases[] = {{3, false, {0, 1, 3, 4}}, {3, true, {0, 1, 2, 3, 4}}, {1, true, {0, 1}}};
  for (const Case& c : cases) {
    CLKData data;
    data.SetNorm(0);
    data.modus = c.modus;
    data.mitAlternativLasten = c.alternativ;
    CStringArray gruppen;
    data.GetLastGruppen(gruppen);
    ASSERT_EQ(gruppen.GetSize(), INT_PTR(c.indizes.size()));
    for (std::size_t i = 0; i < c.indizes.size(); ++i) {
      EXPECT_EQ(data.GetLastGruppeIndex(int(i)), c.indizes[i]);
      EXPECT_EQ(data.FindLastGruppe(c.indizes[i]), int(i));
    }
  }
  CLKData data;
  data.SetNorm(0);
  CStringArray gruppen;
  data.GetLastGruppen(gruppen);
  EXPECT_EQ(gruppen[2], "außergewöhnlich");
  EXPECT_EQ(data.GetLastGruppeIndex(-1), -1);
  EXPECT_EQ(data.GetLastGruppeIndex(4), -1);
  EXPECT_EQ(data.FindLastGruppe(2), -1);
  EXPECT_EQ(data.FindLastGruppe(-1), -1);
}

TEST(LKGruppen, DefaultsOfANewAction) {
  CLKData data;
  data.SetNorm(0);
  EXPECT_EQ(data.GetDefaultKLED(1, 2), 1);  // storage: long
  EXPECT_EQ(data.GetDefaultKLED(1, 6), 3);  // snow: short
  EXPECT_EQ(data.GetDefaultKLED(0, 6), 0);
  EXPECT_EQ(data.GetDefaultKLED(3, 0), 4);
  EXPECT_EQ(data.GetDefaultKLED(1, 13), 0);  // beyond the 12 categories
  EXPECT_TRUE(data.GetDefaultNichtAufteilen(6));
  EXPECT_FALSE(data.GetDefaultNichtAufteilen(7));
  data.SetNorm(3);
  EXPECT_EQ(data.GetDefaultKLED(1, 8), 3);
  EXPECT_EQ(data.GetDefaultKLED(1, 12), 0);
  EXPECT_TRUE(data.GetDefaultNichtAufteilen(8));
  EXPECT_FALSE(data.GetDefaultNichtAufteilen(6));
  data.SetNorm(1);
  EXPECT_EQ(data.GetDefaultKLED(1, 2), 0);
  EXPECT_FALSE(data.GetDefaultNichtAufteilen(6));
  CStringArray kled;
  data.GetKLEDNamen(kled);
  ASSERT_EQ(kled.GetSize(), 5);
  EXPECT_EQ(kled[4], "sehr kurz");
}

TEST(LKKopien, ACopyHasASessionOfItsOwnWithTheSameNorm) {
  auto original = std::make_unique<CLKData>();
  original->SetNorm(2);
  CLKData copy(*original);
  EXPECT_NE(copy.session, original->session);
  original.reset();  // closes the original's session
  CStringArray kategorien;
  copy.GetLastKategorien(kategorien, "veränderlich");
  EXPECT_EQ(kategorien.GetSize(), 10);  // SIA 260 list

  CLKData assigned;
  const int own = assigned.session;
  assigned.einwirkungen.Add(action(1, 0, 0, 0));
  assigned.einwirkungen[0].readonly = true;
  CLKData source;
  source.SetNorm(3);
  source.einwirkungen.Add(action(9, 1, 1, 2));
  assigned = source;
  EXPECT_EQ(assigned.session, own);
  EXPECT_EQ(assigned.einwirkungen[0].nr, 9);
  EXPECT_TRUE(assigned.einwirkungen[0].readonly);  // the target's own flag
  assigned.GetLastKategorien(kategorien, "veränderlich");
  EXPECT_EQ(kategorien.GetSize(), 17);
}

}  // namespace
