// A calculation's scratch files are its own: positions calculated at once never read each other's combination
// files, and none stays behind, beside the position or in the temporary folder, however the run ends.
#include <chrono>

#include "tests/host/host_run.h"

namespace {

using namespace host_test;

std::string Replace(std::string t, const std::string& from, const std::string& to) {
  for (std::size_t at = t.find(from); at != std::string::npos; at = t.find(from, at + to.size()))
    t.replace(at, from.size(), to);
  return t;
}

// The example with another factor on the permanent action: only the combination files differ.
std::string Variante(const std::string& f) {
  const std::string t = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  return Replace(Replace(t, "1.35*(1)", f + "*(1)"), "gamma_g_unguenstig=\"1.35\"", "gamma_g_unguenstig=\"" + f + "\"");
}

class ScratchFilesTest : public HostTest {
 protected:
  // One host per position at once, each in a working folder of its own, with the temporary folder `temp`.
  std::vector<int> Calc(const std::vector<std::string>& namen, const fs::path& temp) {
    std::string command;
    for (std::size_t i = 0; i < namen.size(); ++i) {
      const fs::path arbeit = folder_ / std::to_string(i);
      fs::create_directories(arbeit);
      command += "(cd " + Quote(arbeit.string()) + " && env -u DISPLAY TMPDIR=" + Quote(temp.string()) +
                 " KOLUMO_ROOT=" + Quote(root_.string()) + " timeout 120 " + Quote(KOLUMO_HOST) + " calc " +
                 Quote(Path("p/" + namen[i])) + " 2>err; echo $? >rc) & ";
    }
    EXPECT_EQ(std::system((command + "wait").c_str()), 0);
    std::vector<int> codes;
    for (std::size_t i = 0; i < namen.size(); ++i)
      codes.push_back(std::stoi("0" + Slurp(folder_ / std::to_string(i) / "rc")));
    return codes;
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(Path("p/" + name), std::ios::binary) << text;
  }
  std::size_t Eintraege(const std::string& ordner) { return std::distance(fs::directory_iterator(Path(ordner)), {}); }
  void SetUp() override {
    HostTest::SetUp();
    fs::create_directories(Path("p"));
    fs::create_directories(Path("t"));
  }
};

// "Pos.tqx" and "Pos.TQX" share the base name "Pos"; "pos.tqx" shares it where case is ignored. With the files
// beside the position, "Pos.tqx" and "Pos.TQX" run at once gave each other's results in two runs of three.
TEST_F(ScratchFilesTest, PositionsCalculatedAtOnceKeepTheirOwnCombinations) {
  const std::vector<std::string> namen = {"Pos.tqx", "Pos.TQX", "pos.tqx"};
  const std::string quelle[] = {Variante("1.35"), Variante("1.70"), Variante("1.50")};
  std::string erwartet[3];
  for (int i = 0; i < 3; ++i) {  // each alone first: the results it must have
    Write(namen[i], quelle[i]);
    ASSERT_EQ(Calc({namen[i]}, Path("t")), std::vector<int>{0});
    erwartet[i] = Slurp(Path("p/" + namen[i]));
    fs::remove(Path("p/" + namen[i]));
  }
  ASSERT_NE(erwartet[0], erwartet[1]);
  ASSERT_NE(erwartet[0], erwartet[2]);
  const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (int runde = 0; runde < 15 && (runde < 3 || std::chrono::steady_clock::now() < ende); ++runde) {
    for (int i = 0; i < 3; ++i) Write(namen[i], quelle[i]);
    ASSERT_EQ(Calc(namen, Path("t")), (std::vector<int>{0, 0, 0})) << "round " << runde;
    for (int i = 0; i < 3; ++i)
      ASSERT_EQ(Slurp(Path("p/" + namen[i])), erwartet[i]) << "round " << runde << ": " << namen[i];
    ASSERT_EQ(Eintraege("p"), 6u) << "each position and its debug protocol, nothing else";
    ASSERT_EQ(Eintraege("t"), 0u) << "a scratch file stayed in the temporary folder";
  }
}

TEST_F(ScratchFilesTest, AFailedCalculationLeavesNoScratchFile) {
  // 620 MN on the head: the design fails once the combination files are written
  const struct {
    std::string text, temp, meldung;
  } faelle[] = {{Replace(Variante("1.35"), "val0=\"620\"", "val0=\"620000\""), "t", "Bewehrungsgrad"},
                {Variante("1.35"), "t/fehlt", "TMPDIR = \""}};
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.meldung);
    Write("Pos.tqx", f.text);
    EXPECT_EQ(Calc({"Pos.tqx"}, Path(f.temp)), std::vector<int>{1});
    EXPECT_NE(Slurp(folder_ / "0" / "err").find(f.meldung), std::string::npos) << Slurp(folder_ / "0" / "err");
    EXPECT_EQ(Slurp(Path("p/Pos.tqx")), f.text);
    // the debug protocol of a run that failed in the engine stays, to show why
    fs::remove(Path("p/Pos.tqx.kolumoorg.txt"));
    EXPECT_EQ(Eintraege("p"), 1u);
    EXPECT_EQ(Eintraege("t"), 0u);
  }
}

}  // namespace
