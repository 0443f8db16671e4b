// The input check: the reading of combination formulas, where what the engine would read wrongly is refused, and
// the rules on single values that the input dialog's cells apply, which are the check's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "column/eingabepruefung.h"
#include "column/kolumodata.h"
#include "tests/column/calc_run_support.h"

namespace {

TEST(KombiFormel, MalformedFormulasAreRefusedWithThePlaceWellFormedOnesRead) {
  const struct {
    const char* formel;
    const char* grund;
  } cases[] = {
      {"", "die Formel ist leer"},
      {"1.35*(1)+abc", "an Stelle 10 \"a\""},
      // the engine would read a term without a factor as factor 0: the term would add nothing
      {"(1)", "an Stelle 1 \"(\" steht, wo ein Faktor"},
      {"1.35*(1", "die Formel endet"},
      {"1.35*()", "eine Lastfallnummer"},
      {"1.35(1)", "\"*\""},
      {"1.35*(1)2", "an Stelle 9 \"2\""},
      {"1.35*(-1)", "an Stelle 7 \"-\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formel);
    std::vector<KombiGlied> glieder;
    std::string grund;
    EXPECT_FALSE(LeseKombiFormel(c.formel, glieder, grund));
    EXPECT_NE(grund.find(c.grund), std::string::npos) << grund;
  }
  // and what the engine reads: several load cases in a bracket, a decimal comma, blanks
  std::vector<KombiGlied> glieder;
  std::string grund;
  ASSERT_TRUE(LeseKombiFormel("1,35*(1+2) + 1.5 * ( 3 )", glieder, grund)) << grund;
  ASSERT_EQ(glieder.size(), 2u);
  EXPECT_EQ(glieder[0].faktor, 1.35);
  EXPECT_EQ(glieder[0].lastfaelle, (std::vector<int>{1, 2}));
  EXPECT_EQ(glieder[1].lastfaelle, (std::vector<int>{3}));
}

// A ring's bars at a cover equal to its wall thickness lie on its inner face: refused, whatever the last bits of the
// wall's (bx - dy)/2 are. A ring 20 / 16.2 cm has a wall of 1.9 cm, (20 - 16.2)/2 = 1.9000000000000004: before, a
// cover of 1.9 cm passed.
TEST(QuerschnittFehlerTest, ARingsCoverEqualToItsWallIsRefused) {
  CKolumoData d;
  column_test::Cantilever(d, 3.0, {{column_test::kAxial, 500.0}}, "1.35*(1)");
  CKolumoQuer q;
  q.type = 2;
  q.bewType = 2;
  q.bx = 20.0;
  q.dy = 16.2;
  q.as = 10.0;
  q.bdx = q.bdy = 1.9;
  EXPECT_EQ(QuerschnittFehler(d, q, 0),
            std::vector<std::string>{
                "Feld 1, Querschnitt: Randabstand bdx = 1.9 cm liegt außerhalb der Wand (Wanddicke 1.9 cm)."});
  q.bdx = q.bdy = 1.8;
  EXPECT_TRUE(QuerschnittFehler(d, q, 0).empty());
}

// The problems of the whole check that begin with `prefix` and hold none of `without`.
std::vector<std::string> Starting(const std::vector<std::string>& all, const std::string& prefix,
                                  const std::string& without = "\x01") {
  std::vector<std::string> found;
  for (const std::string& p : all)
    if (p.rfind(prefix, 0) == 0 && p.find(without) == std::string::npos) found.push_back(p);
  return found;
}

// A field length and a load as a cell would hold them get, word for word, what the whole check says of them; a
// load's own check leaves out its load case, which the load grid keeps in step itself.
TEST(EingabeFehlerTest, TheRulesOfACellAreTheChecksOwn) {
  CKolumoData d;
  column_test::Cantilever(d, 3.0, {{column_test::kAxial, 500.0}}, "1.35*(1)");
  // 0 to 4 m below the head of a column 3 m high; load case 9 does not exist
  d.loads[0].Add(column_test::LineLoad(1, 0, 4.0, column_test::kX, 2.0, "Wind"));
  d.loads[0].Add(column_test::PointLoad(9, 0, column_test::kX, 5.0, "Anprall"));
  for (double length : {-2.0, 0.0, 3.0}) {
    SCOPED_TRACE(length);
    d.fieldLengths[0] = length;
    const std::vector<std::string> whole = EingabeFehler(d, 0);
    EXPECT_EQ(FeldlaengeFehler(d, CFormulaNumber(length), 0), Starting(whole, "Feld 1: Feldl"));
    for (int i = 0; i < d.loads[0].GetSize(); ++i)
      EXPECT_EQ(LastFehler(d, 0, d.loads[0][i], i),
                Starting(whole, "Endsystem, Last " + std::to_string(i + 1) + " (", "Lastfall 9 gibt es nicht"))
          << i;
  }
  EXPECT_EQ(FeldlaengeFehler(d, CFormulaNumber(-2.0), 0),
            std::vector<std::string>{"Feld 1: Feldlänge = -2 m ist nicht positiv."});
  EXPECT_TRUE(FeldlaengeFehler(d, CFormulaNumber(0.5), 0).empty());
  // Field lengths 3 m: the load from 0 to 4 m lies 1 m beyond the foot.
  EXPECT_EQ(
      LastFehler(d, 0, d.loads[0][1], 1),
      std::vector<std::string>{"Endsystem, Last 2 (\"Wind\"): Linienlast von 0.000 m bis 4.000 m unter dem Kopf "
                               "liegt nicht ganz an der Stütze (Höhe 3.000 m; Knoten 1, Abstand 0 m, Länge 4 m)."});
  EXPECT_TRUE(LastFehler(d, 0, d.loads[0][2], 2).empty()) << "load case 9 is the load grid's to keep in step";
  // but the whole check refuses it, naming the highest load case that exists
  EXPECT_EQ(
      Starting(EingabeFehler(d, 0), "Endsystem, Last 3 ("),
      std::vector<std::string>{"Endsystem, Last 3 (\"Anprall\"): Lastfall 9 gibt es nicht (höchster Lastfall 1)."});
}

TEST(EingabeFehlerTest, WhatAValueBringsIsWhatTheOldValueDidNotHave) {
  const struct {
    std::vector<std::string> vorher, nachher;
    std::string neu;
  } cases[] = {
      {{}, {}, ""}, {{"a"}, {"a"}, ""}, {{"a", "b"}, {"b", "c"}, "c"}, {{}, {"x", "y"}, "x\ny"}, {{"x", "y"}, {}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NeueFehler(c.vorher, c.nachher), c.neu) << c.neu;
}

}  // namespace
