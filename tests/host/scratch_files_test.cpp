// The scratch files of a calculation are its own: positions calculated at once never read each other's combination
// files, and no scratch file stays behind, beside the position or in the temporary folder, however the run ends.
#include <chrono>
#include <string>
#include <vector>

#include "tests/host/host_run.h"

namespace {

using namespace host_test;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The example with another factor on the permanent action: the combination files are all that differ, so a run
// that reads another position's files writes that position's results.
std::string Variante(const std::string& faktor) {
  const std::string text = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  return Replace(Replace(text, "1.35*(1)", faktor + "*(1)"), "gamma_g_unguenstig=\"1.35\"",
                 "gamma_g_unguenstig=\"" + faktor + "\"");
}

void Write(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::vector<std::string> Inhalt(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ScratchFilesTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    positionen_ = folder_ / "positionen";
    temp_ = folder_ / "temp";
    fs::create_directories(positionen_);
    fs::create_directories(temp_);
  }

  // Starts one host per position at once, each in a working folder of its own (the engine's protocol lands
  // there), all with the test's temporary folder; returns the exit codes.
  std::vector<int> Gleichzeitig(const std::vector<std::string>& namen, const fs::path& temp) const {
    std::string command;
    for (std::size_t i = 0; i < namen.size(); ++i) {
      const fs::path arbeit = folder_ / ("arbeit" + std::to_string(i));
      fs::create_directories(arbeit);
      command += "(cd " + Quote(arbeit.string()) + " && TMPDIR=" + Quote(temp.string()) +
                 " KOLUMO_ROOT=" + Quote(root_.string()) + " timeout 120 " + Quote(KOLUMO_HOST) + " calc " +
                 Quote((positionen_ / namen[i]).string()) + " >out 2>err; echo $? >rc) & ";
    }
    command += "wait";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::vector<int> codes;
    for (std::size_t i = 0; i < namen.size(); ++i) {
      const std::string rc = Slurp(folder_ / ("arbeit" + std::to_string(i)) / "rc");
      codes.push_back(rc.empty() ? -1 : std::stoi(rc));
    }
    return codes;
  }
  std::string Fehler(std::size_t i) const { return Slurp(folder_ / ("arbeit" + std::to_string(i)) / "err"); }

  fs::path positionen_, temp_;
};

// "Pos.tqx" and "Pos.TQX" share the base name "Pos" (the extension is matched without case); "pos.tqx" shares it
// on a file system that ignores case. Before the scratch files were private, "Pos.tqx" and "Pos.TQX" run at once
// gave each other's results in about two runs of three.
TEST_F(ScratchFilesTest, PositionsCalculatedAtOnceKeepTheirOwnCombinations) {
  const std::vector<std::string> namen = {"Pos.tqx", "Pos.TQX", "pos.tqx"};
  const std::vector<std::string> quelle = {Variante("1.35"), Variante("1.70"), Variante("1.50")};

  // each alone first: the results it must have
  std::vector<std::string> erwartet;
  for (std::size_t i = 0; i < namen.size(); ++i) {
    Write(positionen_ / namen[i], quelle[i]);
    ASSERT_EQ(Gleichzeitig({namen[i]}, temp_), std::vector<int>{0}) << Fehler(0);
    erwartet.push_back(Slurp(positionen_ / namen[i]));
    fs::remove(positionen_ / namen[i]);
  }
  ASSERT_NE(erwartet[0], erwartet[1]) << "the variants must calculate to different results";
  ASSERT_NE(erwartet[0], erwartet[2]) << "the variants must calculate to different results";

  const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int runden = 0;
  for (; runden < 15 && (runden < 3 || std::chrono::steady_clock::now() < ende); ++runden) {
    for (std::size_t i = 0; i < namen.size(); ++i) Write(positionen_ / namen[i], quelle[i]);
    const std::vector<int> codes = Gleichzeitig(namen, temp_);
    for (std::size_t i = 0; i < namen.size(); ++i) {
      ASSERT_EQ(codes[i], 0) << "round " << runden << ", " << namen[i] << ": " << Fehler(i);
      ASSERT_EQ(Slurp(positionen_ / namen[i]), erwartet[i])
          << "round " << runden << ": " << namen[i] << " has another position's results";
    }
    ASSERT_EQ(Inhalt(positionen_), (std::vector<std::string>{"Pos.TQX", "Pos.tqx", "pos.tqx"}));
    ASSERT_TRUE(Inhalt(temp_).empty()) << "left in the temporary folder: " << Inhalt(temp_).front();
  }
  EXPECT_GE(runden, 3);
}

struct Abbruch {
  const char* name;
  std::string (*mutate)(const std::string&);
  bool ohneTemp;        // the temporary folder does not exist
  const char* meldung;  // a part of the message
};

const Abbruch kAbbrueche[] = {
    {"refused input", [](const std::string& t) { return Replace(t, "iNorm=\"10\"", "iNorm=\"5\""); }, false,
     "iNorm = 5"},
    // 51 and 50 members: each field is within its limit, the column is not, and this is found after the files
    // of the pre-run were written
    {"too many members together",
     [](const std::string& t) {
       const std::size_t at = t.find("teilung=\"6\"");
       std::string out = t;
       out.replace(at, 11, "teilung=\"51\"");
       return Replace(out, "teilung=\"6\"", "teilung=\"50\"");
     },
     false, "Stab"},
    {"no temporary folder", [](const std::string& t) { return t; }, true, "temp-fehlt"},
};

TEST_F(ScratchFilesTest, AFailedCalculationLeavesNoScratchFile) {
  const std::string beispiel = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  for (const Abbruch& c : kAbbrueche) {
    SCOPED_TRACE(c.name);
    const std::string text = c.mutate(beispiel);
    ASSERT_NE(text, c.ohneTemp ? "" : beispiel) << "the case no longer fits the example";
    Write(positionen_ / "Pos.tqx", text);
    const std::vector<int> codes = Gleichzeitig({"Pos.tqx"}, c.ohneTemp ? temp_ / "temp-fehlt" : temp_);
    EXPECT_EQ(codes, std::vector<int>{1});
    EXPECT_NE(Fehler(0).find(c.meldung), std::string::npos) << Fehler(0);
    EXPECT_EQ(Slurp(positionen_ / "Pos.tqx"), text) << "the position was written";
    EXPECT_EQ(Inhalt(positionen_), std::vector<std::string>{"Pos.tqx"});
    EXPECT_TRUE(Inhalt(temp_).empty()) << "left in the temporary folder: " << Inhalt(temp_).front();
  }
}

}  // namespace
