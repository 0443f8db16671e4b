// The sizes of a column together must fit the engine's work arrays (1,500,000 doubles, 10,000 ints): a position
// at the limit calculates, one just beyond it is refused with a message that names the sizes, before anything
// runs, and stays as it was.
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

// The example with 50 members in each of its two fields (100 members, 101 nodes, the most a column may have),
// `wind` copies of its wind load on the upper field (50 members each) and `ed` more "Ed" combinations in stage 0.
std::string Gross(int wind, int ed) {
  std::string t = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  for (std::size_t at = t.find("teilung=\"6\""); at != std::string::npos; at = t.find("teilung=\"6\"", at))
    t.replace(at, 11, "teilung=\"50\"");
  const std::size_t windAt = t.find("<load lc=\"3\" LCGen=\"3\" desc=\"Wind auf Fassade\" ltype=\"0\" node=\"0\"");
  const std::size_t windEnd = t.find('\n', windAt) + 1;
  const std::string windZeile = t.substr(windAt, windEnd - windAt);
  std::string mehr;
  for (int i = 1; i < wind; ++i) mehr += windZeile;
  t.insert(windEnd, mehr);
  // stage 0's combinations are the second list of the file (the first is the input's own copy)
  const std::string zeile = "<result art=\"Ed\" regel=\"1.35*(1)+1.50*(2)+0.90*(3)\" regelUser=\"1.35*(1)+1.50*(2)+0.90*(3)\" />";
  const std::size_t edAt = t.find(zeile, t.find(zeile) + 1);
  std::string kombis;
  for (int i = 0; i < ed; ++i) kombis += zeile + "\n";
  t.insert(edAt, kombis);
  return t;
}

struct Grenzfall {
  const char* name;
  int wind, ed;
  int status;
  std::vector<const char*> meldung;  // parts of the message when refused
};

// Ints: 999 below the first free index, 5 per load record (R line-load pieces and 4 point loads), the partition's
// 28 K + 10 E = 3828 and the frame's 2 E + 14 + 2 x 7 K + 1 + K = 1730: 6577 + 5 R <= 10000 gives R <= 684.
// The example's wind loads give 50 pieces each on the upper field's and on the lower field's 50 members, the three
// stages without line loads a piece each: R = 50 w + 53, so 12 copies (653) fit and 13 (703, 10092 ints) do not.
// Doubles: each combination takes 60 K + 82 E + 16 = 14276; the rest (999, 3 per line-load piece, 8 per point
// load, 14 K + 14 E, the frame's 34892 with its F + 1 = 3 field ends) is 39046 with the example's two wind loads:
// (1500000 - 39046) / 14276 = 102.3, so 102 combinations fit (the example's 10 "Ed" and 2 "Ed,perm" and 90 more) and 103 do not.
const Grenzfall kGrenzen[] = {
    {"line loads at the limit", 12, 0, 0, {}},
    {"one line load beyond the limit", 13, 0, 1,
     {"100 Stababschnitte", "703 Linienlastabschnitte", "10092 von 10000 ganzen Zahlen",
      "Stabteilung oder Anzahl der Linienlasten verringern"}},
    {"one combination beyond the limit", 1, 91, 1,
     {"100 Stababschnitte, 103 Kombinationen", "1509474 von 1500000 Gleitkommazahlen",
      "höchstens 102 Kombinationen"}},
#ifdef KOLUMO_SLOW_TESTS
    // a run over 102 combinations of 100 members takes its time: in the slow run only
    {"combinations at the limit", 1, 90, 0, {}},
#endif
};

class CapacityTest : public HostTest {};

TEST_F(CapacityTest, SizesAtTheLimitCalculateAndJustBeyondAreRefusedNamingThem) {
  for (const Grenzfall& c : kGrenzen) {
    SCOPED_TRACE(c.name);
    const std::string text = Gross(c.wind, c.ed);
    const fs::path datei = Path("gross.tqx");
    {
      std::ofstream out(datei, std::ios::binary | std::ios::trunc);
      out << text;
    }
    const HostRun run = Host({"calc", datei.string()});
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == 0) {
      EXPECT_TRUE(run.err.empty()) << run.err;
      EXPECT_NE(Slurp(datei).find("<Schnittgroessen"), std::string::npos) << "no results were written";
    } else {
      for (const char* teil : c.meldung) EXPECT_NE(run.err.find(teil), std::string::npos) << teil << "\n" << run.err;
      EXPECT_NE(run.err.find("Berechnung wird nicht durchgeführt"), std::string::npos) << run.err;
      EXPECT_EQ(Slurp(datei), text) << "the position was written";
    }
  }
}

}  // namespace
