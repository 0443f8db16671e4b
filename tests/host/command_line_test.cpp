// The host as a new user meets it: help, version, wrong commands, a report without input, the installation root
// found without KOLUMO_ROOT, a missing catalogue, and each position's debug protocol beside it.
#include <algorithm>
#include <regex>

#include "tests/host/host_run.h"

namespace {

using namespace host_test;

std::string Example() { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }

TEST_F(HostTest, EachCommandLineSaysWhatItDid) {
  std::smatch version;  // the installed program description's version
  const std::string description = Slurp(fs::path(KOLUMO_DATA_DIR) / "pi" / "kolumo.pi");
  ASSERT_TRUE(std::regex_search(description, version, std::regex("progVersion=\"([^\"]+)\"")));
  std::ofstream(Path("ohne.tqx")) << "<?xml version=\"1.0\"?><root progname=\"KOLUMO\"><info/></root>";
  std::ofstream(Path("leer.tqx")) << "<?xml version=\"1.0\"?><root progname=\"KOLUMO\"><info/><input/></root>";
  // run from a folder of their own: a command that took "--help" for a file would leave it there
  cwd_ = folder_ / "start";
  fs::create_directories(cwd_);
  const std::string help = "usage: kolumo";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;  // stdout whole (the help: its start); a piece of stderr
  } cases[] = {
      {{"--help"}, 0, help, ""},
      {{"-h"}, 0, help, ""},
      {{"new", "--help"}, 0, help, ""},
      {{"calc", "-h"}, 0, help, ""},
      {{"roundtrip", "a.tqx", "--help"}, 0, help, ""},
      {{"--answer", "ok", "edit", "--help"}, 0, help, ""},
      {{"--version"}, 0, "kolumo " + version[1].str() + "\n", ""},
      {{"frobnicate", "x.tqx"}, 2, "", "unknown command \"frobnicate\""},
      {{}, 2, "", "no command given"},
      {{"calc"}, 2, "", "wrong arguments for \"calc\""},
      {{"new", "-x"}, 2, "", "unknown option \"-x\" for \"new\""},
      {{"calc", "--verbose", "a.tqx"}, 2, "", "unknown option \"--verbose\" for \"calc\""},
      {{"-x", "calc", "a.tqx"}, 2, "", "unknown option \"-x\""},
      {{"calc", "a.tqx", "--answer", "ok"}, 2, "", "--answer stands before the command"},
      {{"--answer", "vielleicht", "calc", "a.tqx"}, 2, "", "unknown answer \"vielleicht\""},
      {{"report", Path("ohne.tqx")}, 1, "", "no column input"},
      {{"report", Path("leer.tqx")}, 1, "", "no column input"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "" : c.args[0] + " " + c.args.back());
    const HostRun run = Host(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(c.out == help ? run.out.substr(0, c.out.size()) : run.out, c.out);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    EXPECT_EQ(run.err.empty(), c.status == 0) << run.err;
    // a wrong command line: its reason and one line of usage that names the help
    if (c.status != 2) continue;
    ASSERT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    const std::string usage = run.err.substr(run.err.find('\n') + 1);
    EXPECT_EQ(usage.rfind("usage: kolumo ", 0), 0u) << run.err;
    EXPECT_NE(usage.find("kolumo --help"), std::string::npos) << run.err;
  }
  for (const char* report : {"ohne.rtf", "leer.rtf"}) EXPECT_FALSE(fs::exists(Path(report))) << report;
  EXPECT_TRUE(fs::is_empty(cwd_)) << "a command wrote " << fs::directory_iterator(cwd_)->path();
}

// Without KOLUMO_ROOT the host takes the root beside it, the build tree's and an installed one alike, started
// from any folder; with none beside it, it says where it looked.
TEST_F(HostTest, TheRootIsFoundBesideTheProgram) {
  const fs::path prefix = folder_ / "prefix", installed = prefix / "bin" / "kolumo";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share");
  for (const char* file : {"kolumo", "libkolumo.so"})
    fs::copy_file(fs::path(KOLUMO_HOST).parent_path() / file, prefix / "bin" / file);
  fs::create_directory_symlink(root_, prefix / "share" / "kolumo");
  cwd_ = folder_ / "anywhere";
  fs::create_directories(cwd_);
  root_.clear();
  for (const std::string& program : {std::string(KOLUMO_HOST), installed.string()}) {
    SCOPED_TRACE(program);
    std::ofstream(Path("Stuetze.tqx")) << Example();
    const HostRun calc = Host({"calc", Path("Stuetze.tqx")}, program);
    ASSERT_EQ(calc.status, 0) << calc.err;
    EXPECT_NE(Slurp(Path("Stuetze.tqx")).find("<Schnittgroessen"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(cwd_)) << "the run wrote into the folder it was started from";
  }
  fs::remove(prefix / "share" / "kolumo");
  const HostRun lost = Host({"--version"}, installed.string());
  EXPECT_EQ(lost.status, 1);
  EXPECT_NE(lost.err.find("no installation root"), std::string::npos) << lost.err;
}

TEST_F(HostTest, AMissingCatalogueIsNamed) {
  fs::remove(root_ / "catalogs");
  std::ofstream(Path("Stuetze.tqx")) << Example();
  const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
  EXPECT_EQ(calc.status, 1);
  EXPECT_NE(calc.err.find((root_ / "catalogs/material.xml").string() + "' wurde nicht gefunden"), std::string::npos)
      << calc.err;
  for (const char* wrong : {"Geometrie", "Querschnitt"}) EXPECT_EQ(calc.err.find(wrong), std::string::npos) << wrong;
  EXPECT_EQ(Slurp(Path("Stuetze.tqx")), Example());
}

// Two positions of one base name calculated at once from one folder: each protocol lies beside its position under
// the position's file name and is the one that position writes alone; the folder the hosts started in stays empty.
TEST_F(HostTest, PositionsCalculatedAtOnceKeepTheirOwnProtocol) {
  const std::string texts[] = {Example(), std::regex_replace(Example(), std::regex("1\\.35"), "1.70")};
  const std::string names[] = {"Pos.tqx", "Pos.TQX"};
  std::string alone[2], both;
  for (int i = 0; i < 2; ++i) {
    std::ofstream(Path(names[i])) << texts[i];
    ASSERT_EQ(Host({"calc", Path(names[i])}).status, 0);
    alone[i] = Slurp(Path(names[i] + ".kolumoorg.txt"));
    fs::remove(Path(names[i] + ".kolumoorg.txt"));
    std::ofstream(Path(names[i])) << texts[i];
    both += "(env -u DISPLAY KOLUMO_ROOT=" + Quote(root_.string()) + " " + Quote(KOLUMO_HOST) + " calc " +
            Quote(Path(names[i])) + " 2>/dev/null || echo failed >" + Quote(Path("failed")) + ") & ";
  }
  ASSERT_NE(alone[0], alone[1]) << "the protocols must differ for the test to tell them apart";
  fs::create_directories(Path("start"));
  ASSERT_EQ(std::system(("cd " + Quote(Path("start")) + " && " + both + "wait").c_str()), 0);
  EXPECT_FALSE(fs::exists(Path("failed")));
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Slurp(Path(names[i] + ".kolumoorg.txt")), alone[i]) << names[i];
  EXPECT_TRUE(fs::is_empty(Path("start")));
}

}  // namespace
