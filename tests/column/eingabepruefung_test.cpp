// The reading of combination formulas by the input check: what the engine would read wrongly is refused.
#include <gtest/gtest.h>

#include "column/eingabepruefung.h"

namespace {

TEST(KombiFormel, WellFormedFormulasGiveTheirTerms) {
  const struct {
    const char* formel;
    std::vector<KombiGlied> glieder;
  } cases[] = {
      {"1.35*(1)+1.50*(2)+0.90*(3)", {{1.35, {1}}, {1.5, {2}}, {0.9, {3}}}},
      // several load cases in one bracket share the factor; a decimal comma is a point; blanks are allowed
      {"1,35*(1+2) + 1.5 * ( 3 )", {{1.35, {1, 2}}, {1.5, {3}}}},
      {"2*(12)", {{2.0, {12}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formel);
    std::vector<KombiGlied> glieder;
    std::string grund;
    ASSERT_TRUE(LeseKombiFormel(c.formel, glieder, grund)) << grund;
    ASSERT_EQ(glieder.size(), c.glieder.size());
    for (std::size_t k = 0; k < glieder.size(); ++k) {
      EXPECT_DOUBLE_EQ(glieder[k].faktor, c.glieder[k].faktor);
      EXPECT_EQ(glieder[k].lastfaelle, c.glieder[k].lastfaelle);
    }
  }
}

TEST(KombiFormel, MalformedFormulasAreRefusedWithThePlace) {
  const struct {
    const char* formel;
    const char* grund;
  } cases[] = {
      {"", "die Formel ist leer"},
      {"1.35*(1)+abc", "an Stelle 10 \"a\""},
      // the engine reads a term without a factor as factor 0 and drops it with every later term
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
}

}  // namespace
