// The sizes of a column together must fit the engine's work arrays (1,500,000 doubles, 10,000 ints): a position
// at the limit calculates, one just beyond it is refused with a message that names the sizes, before anything
// runs, and stays as it was.
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

// The example with 50 members in each of its two fields (100 members, 101 nodes, the most a column may have),
// `wind` copies of its wind load on the upper field and `ed` more "Ed" combinations in stage 0.
std::string Gross(int wind, int ed) {
  std::string t = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  for (std::size_t at; (at = t.find("teilung=\"6\"")) != std::string::npos;) t.replace(at, 11, "teilung=\"50\"");
  const std::size_t w = t.find("<load lc=\"3\""), wEnde = t.find('\n', w) + 1;
  for (int i = 1; i < wind; ++i) t.insert(wEnde, t.substr(w, wEnde - w));
  // stage 0's combinations are the file's second list (the first is the input's own copy)
  const std::size_t liste = t.find("<results>", t.find("<results>") + 1) + 9;
  for (int i = 0; i < ed; ++i) t.insert(liste, "<result art=\"Ed\" regel=\"1.35*(1)\" regelUser=\"1.35*(1)\" />\n");
  return t;
}

// Ints: 999 below the first free index, 5 per load record (R line-load pieces and 4 point loads), the partition's
// 28 K + 10 E = 3828 and the frame's 2 E + 14 + 2 x 7 K + 1 + K = 1730: 6577 + 5 R <= 10000 gives R <= 684.
// The example's wind loads give 50 pieces each on the upper field's and on the lower field's 50 members, the three
// stages without line loads a piece each: R = 50 w + 53, so 12 copies (653) fit and 13 (703, 10092 ints) do not.
// Doubles: each combination takes 60 K + 82 E + 16 = 14276; the rest (999, 3 per line-load piece, 8 per point
// load, 14 K + 14 E, the frame's 34892 with its F + 1 = 3 field ends) is 39046 with the example's two wind loads:
// (1500000 - 39046) / 14276 = 102.3: 102 combinations fit (the example's 10 "Ed" and 2 "Ed,perm" and 90 more).
const struct Grenzfall {
  const char* name;
  int wind, ed, status;
  std::vector<const char*> meldung;
} kGrenzen[] = {
    {"line loads at the limit", 12, 0, 0, {}},
    {"one line load beyond",
     13,
     0,
     1,
     {"100 Stababschnitte, 12 Kombinationen, 703 Linienlastabschnitte",
      "10092 von 10000 ganzen Zahlen. Bitte Stabteilung oder Anzahl der Linienlasten"}},
    {"one combination beyond",
     1,
     91,
     1,
     {"100 Stababschnitte, 103 Kombinationen", "1509474 von 1500000 Gleitkomma",
      "höchstens 102 Kombinationen möglich. Berechnung wird nicht durchgeführt!"}},
#ifdef KOLUMO_SLOW_TESTS
    {"combinations at the limit", 1, 90, 0, {}},  // 102 combinations of 100 members take their time
#endif
};

class CapacityTest : public HostTest {};

TEST_F(CapacityTest, SizesAtTheLimitCalculateAndJustBeyondAreRefusedNamingThem) {
  for (const Grenzfall& c : kGrenzen) {
    SCOPED_TRACE(c.name);
    const std::string text = Gross(c.wind, c.ed);
    std::ofstream(Path("gross.tqx"), std::ios::binary) << text;
    const HostRun run = Host({"calc", Path("gross.tqx")});
    EXPECT_EQ(run.status, c.status) << run.err;
    for (const char* teil : c.meldung) EXPECT_NE(run.err.find(teil), std::string::npos) << teil << "\n" << run.err;
    const std::string danach = Slurp(Path("gross.tqx"));
    EXPECT_EQ(danach.find("<Schnittgroessen") != std::string::npos, c.status == 0) << "results as the status says";
    EXPECT_EQ(danach == text, c.status != 0) << "a refused position stays as it was";
  }
}

}  // namespace
