// CLKData: forming combinations through the generator, the simplified actions, the factor table and the
// protocols stored in the position document.
#include <algorithm>

#include "lk_test_support.h"

namespace {

using lk_test::action;
using lk_test::LKTest;

std::vector<std::string> arten(const CLKData& data) {
  std::vector<std::string> list;
  for (const CKombination& k : data.kombinationen) list.push_back(k.art.str());
  return list;
}

// Mode 3 under EN 1990: load case 1 permanent (action 1), load case 2 category A (action 2).
void permanentAndImposed(CLKData& data, int norm) {
  data.SetNorm(norm);
  data.lastfaelle.Add(CLKLastfall{1, 1});
  data.lastfaelle.Add(CLKLastfall{2, 2});
  data.einwirkungen.Add(action(1, 0, 0, 0));
  data.einwirkungen.Add(action(2, 1, 1, 0));
}

TEST_F(LKTest, ModeThreeTakesTheGeneratorsCombinations) {
  CLKData data;
  permanentAndImposed(data, 3);
  ASSERT_TRUE(data.Calc());
  // Default switches: Ed (gamma_G sup and inf), characteristic, frequent, quasi-permanent; no accidental
  // action and switch 2 off, so no Ed,A. Category A: psi 0.7 / 0.5 / 0.3. Each kind: Q present, then
  // G alone (the imposed load may be absent).
  const char* regeln[] = {"1.35*(1)+1.50*(2)", "1.00*(1)+1.50*(2)", "1.35*(1)",          "1.00*(1)",
                          "1.00*(1)+1.00*(2)", "1.00*(1)",          "1.00*(1)+0.50*(2)", "1.00*(1)",
                          "1.00*(1)+0.30*(2)", "1.00*(1)"};
  EXPECT_EQ(arten(data), (std::vector<std::string>{"Ed", "Ed", "Ed", "Ed", "Ed,char", "Ed,char", "Ed,frequ", "Ed,frequ",
                                                   "Ed,perm", "Ed,perm"}));
  ASSERT_EQ(data.kombinationen.GetSize(), 10);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(data.kombinationen[k].regel, regeln[k]);
    EXPECT_EQ(data.kombinationen[k].regelUser, regeln[k]);
    EXPECT_TRUE(data.kombinationen[k].faktoren.IsEmpty());
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(LKTest, WithFactorsEachCombinationCarriesItsFactorList) {
  CLKData data;
  permanentAndImposed(data, 3);
  data.mitFaktoren = true;
  data.nachweisMitGammaInf = false;
  ASSERT_TRUE(data.Calc());
  ASSERT_EQ(data.kombinationen[0].faktoren.GetSize(), 2);
  EXPECT_DOUBLE_EQ(data.kombinationen[0].faktoren[0], 1.35);
  EXPECT_DOUBLE_EQ(data.kombinationen[0].faktoren[1], 1.5);
  // Without gamma_G,inf two Ed only: G + Q, and G alone, still with 1.35.
  EXPECT_EQ(data.kombinationen[1].art, "Ed");
  ASSERT_EQ(data.kombinationen[1].faktoren.GetSize(), 2);
  EXPECT_DOUBLE_EQ(data.kombinationen[1].faktoren[0], 1.35);
  EXPECT_DOUBLE_EQ(data.kombinationen[1].faktoren[1], 0.0);
  EXPECT_EQ(data.kombinationen[2].art, "Ed,char");
}

TEST_F(LKTest, ModeTwoGeneratesMaxAndMinLoadCasesAndShowsTheirTexts) {
  CLKData data;
  data.SetNorm(3);
  data.lastfaelle.Add(CLKLastfall{1, 1});
  data.lastfaelle.Add(CLKLastfall{2, 2});
  data.lastfaelle.Add(CLKLastfall{3, 3});
  data.lastfaelle.Add(CLKLastfall{4, 3});
  data.einwirkungen.Add(action(1, 0, 0, 0));
  data.einwirkungen.Add(action(2, 1, 1, 0));
  data.einwirkungen.Add(action(3, 1, 1, 11));
  data.UpdateLastfallZuordnung();
  data.SetModus(2);
  ASSERT_TRUE(data.Calc());
  // Load cases 1 (action 1); 2, 3 (max/min of action 2); 4, 5 (max/min of action 3).
  EXPECT_EQ(data.einwirkungen[0].lastfallMax, 1);
  EXPECT_EQ(data.einwirkungen[0].lastfallMin, 0);
  EXPECT_EQ(data.einwirkungen[1].lastfallMax, 2);
  EXPECT_EQ(data.einwirkungen[1].lastfallMin, 3);
  EXPECT_EQ(data.einwirkungen[2].lastfallMax, 4);
  EXPECT_EQ(data.einwirkungen[2].lastfallMin, 5);
  // Max and min exclude each other. Per permanent variant: action 2 leading by max or min, action 3 by
  // max, by min or absent (2 * 3); action 3 leading likewise (2 * 3); G alone (1): 13. With gamma_G sup
  // and inf: 26.
  int ed = 0;
  for (const CKombination& k : data.kombinationen) ed += k.art == "Ed" ? 1 : 0;
  EXPECT_EQ(ed, 26);
  // First: action 2 leading with its max, action 3 accompanying with its max (1.5 * 0.6), G unfavourable.
  EXPECT_EQ(data.kombinationen[0].regel, "1.35*(1)+1.50*(2)+0.90*(4)");
  EXPECT_EQ(data.kombinationen[0].regelUser, "1.35*(1 )+1.50*(max 2 )+0.90*(max 3 , 4 )");
  for (const CKombination& k : data.kombinationen) {
    for (int lf = 1; lf <= 5; ++lf) {
      CString marke;
      marke.Format("(%d)", lf);
      EXPECT_EQ(k.regelUser.Find(marke), -1) << k.regelUser.str();
    }
  }
}

TEST_F(LKTest, ModeTwoDefinesActionsUnderTheirOwnNumbers) {
  // Actions 1 and 3 (no action 2): the load cases of action 3 take part in the combinations.
  CLKData data;
  data.SetNorm(0);
  data.SetModus(2);
  data.einwirkungen.Add(action(1, 0, 0, 0));
  data.einwirkungen.Add(action(3, 1, 1, 0));
  data.lastfaelle.Add(CLKLastfall{1, 1});
  ASSERT_TRUE(data.Calc());
  int ed = 0;
  int mitAktion3 = 0;
  for (const CKombination& k : data.kombinationen) {
    if (k.art != "Ed") continue;
    ++ed;
    if (k.regel.Find("(2)") >= 0 || k.regel.Find("(3)") >= 0) ++mitAktion3;
  }
  // Max or min of action 3 leading, or G alone; each with G unfavourable or favourable.
  EXPECT_EQ(ed, 6);
  EXPECT_EQ(mitAktion3, 4);
}

TEST_F(LKTest, LockedCombinationsAreNotFormed) {
  CLKData data;
  permanentAndImposed(data, 3);
  CKombination alt;
  alt.art = "Ed";
  data.kombinationen.Add(alt);
  data.kombinationGesperrt = true;
  EXPECT_FALSE(data.Calc());
  ASSERT_EQ(data.kombinationen.GetSize(), 1);
  EXPECT_EQ(data.kombinationen[0].regel, "");
}

TEST_F(LKTest, ModeThreeWithoutLoadCasesFailsSilently) {
  CLKData data;
  data.SetNorm(3);
  data.einwirkungen.Add(action(1, 0, 0, 0));
  data.lastfaelle.Add(CLKLastfall{1, 0});
  EXPECT_FALSE(data.Calc());
  EXPECT_TRUE(messages().empty());
}

TEST_F(LKTest, LoadCasesWithoutActionsAreReported) {
  CLKData data;
  data.SetNorm(3);
  data.lastfaelle.Add(CLKLastfall{1, 1});
  EXPECT_FALSE(data.Calc());
  EXPECT_EQ(messages(), (std::vector<std::string>{"Es ist keine Einwirkung definiert worden"}));
}

TEST_F(LKTest, DuplicateActionsStopTheRunAndKeepTheCombinations) {
  CLKData data;
  permanentAndImposed(data, 3);
  ASSERT_TRUE(data.Calc());
  data.einwirkungen.Add(action(2, 1, 1, 3));
  EXPECT_FALSE(data.Calc());
  EXPECT_EQ(data.kombinationen.GetSize(), 10);  // those of the first run
  EXPECT_EQ(messages(), (std::vector<std::string>{"Einwirkung 2 ist mehrfach definiert worden"}));
}

TEST_F(LKTest, AGeneratorRefusalIsReportedAndKeepsTheCombinations) {
  CLKData data;
  permanentAndImposed(data, 3);
  ASSERT_TRUE(data.Calc());
  // 2 permanent actions (4 variants) and 60 variable ones: (60 * 2^59 + 1) * 4 Ed combinations.
  data.einwirkungen.Add(action(3, 0, 0, 0));
  data.lastfaelle.Add(CLKLastfall{3, 3});
  for (int nr = 4; nr <= 62; ++nr) {
    data.einwirkungen.Add(action(nr, 1, 1, nr % 4));
    data.lastfaelle.Add(CLKLastfall{nr, nr});
  }
  EXPECT_FALSE(data.Calc());
  EXPECT_EQ(data.kombinationen.GetSize(), 10);  // those of the first run
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("Zu viele Kombinationen"), std::string::npos);
}

TEST_F(LKTest, MoreGeneratedLoadCasesThanTheListHoldsAreRefused) {
  CLKData data;
  data.SetNorm(3);
  data.SetModus(2);
  // 129 variable actions need 258 generated load cases.
  for (int nr = 1; nr <= 129; ++nr) data.einwirkungen.Add(action(nr, 1, 1, 0));
  EXPECT_FALSE(data.Calc());
  EXPECT_EQ(data.einwirkungen[0].lastfallMax, 0);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("256"), std::string::npos);
  // 128 actions (256 load cases) still run.
  data.einwirkungen.RemoveAt(128);
  win::msgbox::ClearLog();
  data.Calc();
  EXPECT_EQ(data.einwirkungen[127].lastfallMin, 256);
  for (const std::string& text : messages()) EXPECT_EQ(text.find("256"), std::string::npos);
}

TEST_F(LKTest, ARunThatFormsNothingEmptiesTheListAndSucceeds) {
  CLKData data;
  permanentAndImposed(data, 3);
  ASSERT_TRUE(data.Calc());
  data.nachweisSchalter.fill(false);
  EXPECT_TRUE(data.Calc());
  EXPECT_TRUE(data.kombinationen.IsEmpty());
}

struct SwitchCase {
  int norm;
  int schalter;
  const char* art;
  bool defaultPresent;
};

void PrintTo(const SwitchCase& c, std::ostream* out) { *out << "norm " << c.norm << " s" << c.schalter; }

class LKVerificationSwitches : public LKTest, public testing::WithParamInterface<SwitchCase> {};

// The generator's kinds: 0 Ed, 1 Ed,A, 2 characteristic, 3 frequent, 4 quasi-permanent. Which switch governs
// a kind depends on the norm: kind 4 is s5 for norms 0/3/4/5, s6 for norm 2 and s14 for norm 1.
TEST_P(LKVerificationSwitches, EachKindFollowsItsSwitch) {
  const SwitchCase& c = GetParam();
  for (bool on : {false, true}) {
    CLKData data;
    permanentAndImposed(data, c.norm);
    data.nachweisSchalter[static_cast<std::size_t>(c.schalter)] = on;
    ASSERT_TRUE(data.Calc());
    const auto list = arten(data);
    EXPECT_EQ(std::count(list.begin(), list.end(), c.art) > 0, on) << (on ? "on" : "off");
  }
  CLKData defaults;
  permanentAndImposed(defaults, c.norm);
  ASSERT_TRUE(defaults.Calc());
  const auto list = arten(defaults);
  EXPECT_EQ(std::count(list.begin(), list.end(), c.art) > 0, c.defaultPresent);
}

INSTANTIATE_TEST_SUITE_P(Norms, LKVerificationSwitches,
                         testing::Values(SwitchCase{0, 0, "Ed", true}, SwitchCase{0, 3, "Ed,char", true},
                                         SwitchCase{0, 4, "Ed,frequ", true}, SwitchCase{0, 5, "Ed,perm", true},
                                         SwitchCase{3, 5, "Ed,perm", true}, SwitchCase{4, 5, "Ed,perm", true},
                                         SwitchCase{2, 6, "Ed,perm", true}, SwitchCase{2, 4, "Ed,frequ", true},
                                         SwitchCase{1, 14, "Ed,perm", false}, SwitchCase{1, 14, "Ed,frequ", false},
                                         SwitchCase{1, 3, "Ed,char", true}));

TEST_F(LKTest, SwitchesThatTheNormDoesNotUseChangeNothing) {
  for (auto [norm, schalter] : {std::pair{2, 5}, std::pair{0, 6}, std::pair{1, 4}, std::pair{1, 5}}) {
    CLKData on;
    permanentAndImposed(on, norm);
    on.nachweisSchalter[static_cast<std::size_t>(schalter)] = true;
    ASSERT_TRUE(on.Calc());
    CLKData off;
    permanentAndImposed(off, norm);
    off.nachweisSchalter[static_cast<std::size_t>(schalter)] = false;
    ASSERT_TRUE(off.Calc());
    EXPECT_EQ(arten(on), arten(off)) << norm << " s" << schalter;
  }
}

TEST_F(LKTest, AccidentalCombinationsNeedAnAccidentalActionOrSwitchTwo) {
  struct Case {
    bool accidental, s1, s2, expected;
  };
  for (const Case& c : {Case{false, true, false, false}, Case{false, true, true, true}, Case{true, true, false, true},
                        Case{true, false, true, false}}) {
    CLKData data;
    permanentAndImposed(data, 0);
    if (c.accidental) {
      data.einwirkungen.Add(action(3, 2, 3, 0));  // listed group 2 is the accidental one without alternatives
      data.lastfaelle.Add(CLKLastfall{3, 3});
      data.einwirkungen[2].indexGruppeHHHH = 3;
    }
    data.nachweisSchalter[1] = c.s1;
    data.nachweisSchalter[2] = c.s2;
    ASSERT_TRUE(data.Calc());
    const auto list = arten(data);
    EXPECT_EQ(std::count(list.begin(), list.end(), "Ed,A") > 0, c.expected) << c.accidental << c.s1 << c.s2;
    for (const CKombination& k : data.kombinationen) {
      if (c.accidental && k.art == "Ed,A") {
        EXPECT_NE(k.regel.Find("1.00*(3)"), -1) << k.regel.str();
      }
    }
  }
}

TEST_F(LKTest, SimplifiedActionsReplaceTheActions) {
  CLKData data;
  data.SetModus(1);
  data.unbenutzteEinwirkungenEntfernen = false;
  data.einwirkungen.Add(action(7, 1, 1, 0));
  ASSERT_TRUE(data.SetVereinfachteEinwirkungen());
  ASSERT_EQ(data.einwirkungen.GetSize(), 3);
  const CEinwirkung& g = data.einwirkungen[0];
  EXPECT_EQ(g.nr, 1);
  EXPECT_EQ(g.indexGruppe + g.indexGruppeHHHH + g.indexKategorie, 0);
  const CEinwirkung& q = data.einwirkungen[1];
  EXPECT_EQ(q.indexGruppeHHHH, 1);
  EXPECT_EQ(q.indexKategorie, 0);
  EXPECT_EQ(q.indexKLED, 2);
  EXPECT_FALSE(q.einwNichtAufteilen);
  const CEinwirkung& s = data.einwirkungen[2];
  EXPECT_EQ(s.indexGruppe, 1);
  EXPECT_EQ(s.indexKategorie, 6);
  EXPECT_EQ(s.indexKLED, 3);
  EXPECT_TRUE(s.einwNichtAufteilen);

  data.SetModus(3);
  EXPECT_FALSE(data.SetVereinfachteEinwirkungen());
  EXPECT_EQ(data.einwirkungen.GetSize(), 3);
}

TEST_F(LKTest, SimplifiedActionsAreBlockedByALoadCaseOfActionFour) {
  CLKData data;
  data.SetModus(1);
  data.lastfaelle.Add(CLKLastfall{1, 4});
  data.einwirkungen.Add(action(4, 1, 1, 0));
  EXPECT_FALSE(data.SetVereinfachteEinwirkungen());
  EXPECT_EQ(data.einwirkungen[0].nr, 4);
  EXPECT_EQ(messages().size(), 1u);
}

TEST_F(LKTest, SimplifiedRulesFormTheirCombinations) {
  // Mode 1 under DIN 1055-100: G, imposed A/B and snow up to NN+1000 m (psi0 0.5), max and min each.
  CLKData data;
  data.SetNorm(0);
  data.SetModus(1);
  data.lastfaelle.Add(CLKLastfall{1, 1});
  data.lastfaelle.Add(CLKLastfall{2, 2});
  data.lastfaelle.Add(CLKLastfall{3, 3});
  ASSERT_TRUE(data.SetVereinfachteEinwirkungen());
  ASSERT_TRUE(data.Calc());
  // Ed per permanent variant: imposed leading by max or min, snow by max, by min or absent (2 * 3); snow
  // leading likewise (2 * 3); G alone (1): 13. With gamma_G sup and inf: 26.
  int ed = 0;
  for (const CKombination& k : data.kombinationen) ed += k.art == "Ed" ? 1 : 0;
  EXPECT_EQ(ed, 26);
  EXPECT_EQ(data.kombinationen[0].regel, "1.35*(1)+1.50*(2)+0.75*(4)");
  EXPECT_EQ(data.kombinationen[0].regelUser, "1.35*(1 )+1.50*(max 2 )+0.75*(max 3 )");
}

TEST(LKBeiwerte, TheFactorTableComesFromTheFirstVariableGroup) {
  struct Case {
    int norm;
    int rows;
    double gInf, gSup, stb1, dst1;
  };
  // EN 1990 A1.2(B)/(A); DIN 1055-100 A.3; SIA 260 Table 1 types 2 and 1.
  for (const Case& c : {Case{3, 17, 1.0, 1.35, 0.9, 1.1}, Case{0, 12, 1.0, 1.35, 0.9, 1.1},
                        Case{2, 10, 0.8, 1.35, 0.9, 1.1}, Case{4, 13, 1.0, 1.35, 0.9, 1.1}}) {
    CLKData data;
    data.lknorm = c.norm;
    data.GetKategorieBeiwerte();
    EXPECT_TRUE(data.normGesetzt);
    ASSERT_EQ(data.beiwerte.GetSize(), c.rows) << c.norm;
    EXPECT_EQ(data.beiwerte[0].name.Left(8), "Nutzlast");
    EXPECT_DOUBLE_EQ(data.beiwerte[0].psi0, 0.7);
    EXPECT_DOUBLE_EQ(data.gamma_g_guenstig, c.gInf);
    EXPECT_DOUBLE_EQ(data.gamma_g_unguenstig, c.gSup);
    EXPECT_DOUBLE_EQ(data.gamma_q_unguenstig, 1.5);
    EXPECT_DOUBLE_EQ(data.gamma_g_stb1, c.stb1);
    EXPECT_DOUBLE_EQ(data.gamma_g_dst1, c.dst1);
    EXPECT_DOUBLE_EQ(data.gamma_g_sup, c.dst1);
    EXPECT_DOUBLE_EQ(data.gamma_a, 1.0);
    EXPECT_DOUBLE_EQ(data.gamma_e0g_2, 1.1);
  }
}

class LKProtokolle : public LKTest {
 protected:
  void SetUp() override {
    LKTest::SetUp();
    document = document_;
    SetLKOwnerDocumentFn([](const BaseData*) { return document; });
  }
  void TearDown() override {
    SetLKOwnerDocumentFn(nullptr);
    LKTest::TearDown();
  }
  std::string stored(const char* attribute) {
    const int files = VIDUV_FindFirstChild(root(), "rtfFiles");
    std::string bytes(static_cast<std::size_t>(VIDUV_GetBinDataLength(files, attribute)), '\0');
    VIDUV_GetBinData(files, attribute, bytes.data());
    return bytes;
  }
  // Stands for the owning position data; only its address is used.
  BaseData* owner() { return reinterpret_cast<BaseData*>(&ownerStandIn_); }
  static inline int document = 0;

 private:
  int ownerStandIn_ = 0;
};

TEST_F(LKProtokolle, BothProtocolsAreStoredInTheDocumentAndTheFilesRemoved) {
  CLKData data;
  permanentAndImposed(data, 3);
  data.owner = owner();
  data.gammaPsiDatei = (folder_ / "gammaPsi.rtf").c_str();
  data.kombRegelnDatei = (folder_ / "regeln.rtf").c_str();
  ASSERT_TRUE(data.Calc());
  data.WriteProtokolle();
  const std::string gammaPsi = stored("lastueberlagerung_gammaPsi");
  EXPECT_EQ(gammaPsi.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(gammaPsi.find("Wind\t0.60\t0.20\t0.00"), std::string::npos);
  const std::string regeln = stored("lastueberlagerung_kombRegeln");
  EXPECT_NE(regeln.find("1\tEd\t1.35*(1)+1.50*(2)"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "gammaPsi.rtf"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "regeln.rtf"));
}

TEST_F(LKProtokolle, StoredCombinationsAreHandedBackForTheRulesProtocol) {
  CLKData data;
  data.SetNorm(0);
  data.owner = owner();
  data.protokollGammaPsi = false;
  data.kombisWiederherstellen = true;
  data.kombRegelnDatei = (folder_ / "regeln.rtf").c_str();
  CKombination k;
  k.art = "Ed";
  k.regel = "1.35*(1)+1.05*(2)";
  data.kombinationen.Add(k);
  data.WriteProtokolle();
  EXPECT_NE(stored("lastueberlagerung_kombRegeln").find("1\tEd\t1.35*(1)+1.05*(2)"), std::string::npos);
  EXPECT_EQ(VIDUV_GetBinDataLength(VIDUV_FindFirstChild(root(), "rtfFiles"), "lastueberlagerung_gammaPsi"), 0);
}

TEST_F(LKProtokolle, NothingIsStoredWithoutANormOrAnOwner) {
  CLKData data;
  data.owner = owner();
  data.WriteProtokolle();
  EXPECT_EQ(VIDUV_FindFirstChild(root(), "rtfFiles"), 0);
  data.SetNorm(3);
  data.owner = nullptr;
  data.WriteProtokolle();
  EXPECT_EQ(VIDUV_FindFirstChild(root(), "rtfFiles"), 0);
}

}  // namespace
