// The reading of combination formulas by the input check: what the engine would read wrongly is refused.
#include <gtest/gtest.h>

#include "column/eingabepruefung.h"

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

}  // namespace
