// The host as a new user meets it: help, version, wrong commands, refused calls, the installation root found
// without KOLUMO_ROOT, and the debug protocol of each position beside it.
#include <regex>

#include "tests/host/host_run.h"

namespace {

using namespace host_test;

class CommandLineTest : public HostTest {
 protected:
  // Runs `program` in the folder `cwd`, with KOLUMO_ROOT unset when `root` is empty.
  HostRun RunIn(const fs::path& cwd, const std::string& root, const std::string& program,
                const std::vector<std::string>& args) const {
    std::string command = "cd " + Quote(cwd.string()) + " && " +
                          (root.empty() ? std::string("env -u KOLUMO_ROOT") : "KOLUMO_ROOT=" + Quote(root)) +
                          " timeout 120 " + Quote(program);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " >" + Quote(Path("stdout")) + " 2>" + Quote(Path("stderr"));
    HostRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = Slurp(Path("stdout"));
    run.err = Slurp(Path("stderr"));
    return run;
  }
  std::string Example() const { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }
};

TEST_F(CommandLineTest, HelpAndVersionAnswerOnStdout) {
  const HostRun help = Host({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: kolumo", 0), 0u) << help.out;
  EXPECT_TRUE(help.err.empty()) << help.err;

  // the version is the one the installed program description gives
  const std::string description = Slurp(fs::path(KOLUMO_DATA_DIR) / "pi" / "kolumo.pi");
  std::smatch version;
  ASSERT_TRUE(std::regex_search(description, version, std::regex("progVersion=\"([^\"]+)\"")));
  const HostRun run = Host({"--version"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "kolumo " + version[1].str() + "\n");
}

TEST_F(CommandLineTest, AWrongCommandSaysWhatIsWrong) {
  const struct {
    std::vector<std::string> args;
    std::string said;
  } cases[] = {
      {{"frobnicate", "x.tqx"}, "unknown command \"frobnicate\""},
      {{"--verbose"}, "unknown command \"--verbose\""},
      {{}, "no command given"},
      {{"calc"}, "wrong arguments for \"calc\""},
      {{"--version", "x"}, "wrong arguments for \"--version\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    const HostRun run = Host(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("usage: kolumo"), std::string::npos);
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

TEST_F(CommandLineTest, AReportOfAPositionWithoutInputIsRefused) {
  const struct {
    std::string name, text;
  } cases[] = {
      {"ohne.tqx", "<?xml version=\"1.0\"?><root progname=\"KOLUMO\" version=\"2012.01\"><info/></root>"},
      {"leer.tqx", "<?xml version=\"1.0\"?><root progname=\"KOLUMO\" version=\"2012.01\"><info/><input/></root>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(Path(c.name), std::ios::binary) << c.text;
    const HostRun run = Host({"report", Path(c.name)});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no column input"), std::string::npos) << run.err;
    EXPECT_EQ(Slurp(Path(c.name)), c.text);
    EXPECT_FALSE(fs::exists(fs::path(Path(c.name)).replace_extension(".rtf")));
  }
}

// Without KOLUMO_ROOT the host takes the root beside it: the build tree's "root" and an installed
// <prefix>/share/kolumo alike, started from any folder.
TEST_F(CommandLineTest, TheRootIsFoundBesideTheProgram) {
  const fs::path prefix = folder_ / "prefix";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share" / "kolumo");
  for (const char* file : {"kolumo", "libkolumo.so"})
    fs::copy_file(fs::path(KOLUMO_HOST).parent_path() / file, prefix / "bin" / file);
  for (const char* part : {"pi", "catalogs", "Vorlagen"})
    fs::create_directory_symlink(fs::path(KOLUMO_DATA_DIR) / part, prefix / "share" / "kolumo" / part);
  fs::create_directories(folder_ / "anywhere");

  for (const std::string& program : {std::string(KOLUMO_HOST), (prefix / "bin" / "kolumo").string()}) {
    SCOPED_TRACE(program);
    std::ofstream(Path("Stuetze.tqx"), std::ios::binary) << Example();
    const HostRun calc = RunIn(folder_ / "anywhere", "", program, {"calc", Path("Stuetze.tqx")});
    ASSERT_EQ(calc.status, 0) << calc.err;
    EXPECT_TRUE(calc.err.empty()) << calc.err;
    EXPECT_NE(Slurp(Path("Stuetze.tqx")).find("<Schnittgroessen"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(folder_ / "anywhere")) << "the run wrote into the folder it was started from";
  }

  // a program with no root beside it says where it looked
  fs::remove_all(prefix / "share");
  const HostRun lost = RunIn(folder_ / "anywhere", "", (prefix / "bin" / "kolumo").string(), {"--version"});
  EXPECT_EQ(lost.status, 1);
  EXPECT_NE(lost.err.find("no installation root"), std::string::npos) << lost.err;
  EXPECT_NE(lost.err.find("pi/kolumo.pi"), std::string::npos) << lost.err;
}

// A root without its material catalogue: the message names the catalogue's file, the position stays as it was.
TEST_F(CommandLineTest, AMissingCatalogueIsNamed) {
  fs::remove(root_ / "catalogs");
  std::ofstream(Path("Stuetze.tqx"), std::ios::binary) << Example();
  const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
  EXPECT_EQ(calc.status, 1);
  EXPECT_NE(calc.err.find((root_ / "catalogs" / "material.xml").string() + "' wurde nicht gefunden"),
            std::string::npos)
      << calc.err;
  for (const char* wrong : {"Geometrie", "Querschnitt"}) EXPECT_EQ(calc.err.find(wrong), std::string::npos) << wrong;
  EXPECT_EQ(Slurp(Path("Stuetze.tqx")), Example());
}

// Two positions calculated at once from one folder: each protocol lies beside its position under the position's
// file name and is the one that position writes alone; nothing is written into the folder the hosts started in.
TEST_F(CommandLineTest, PositionsCalculatedAtOnceKeepTheirOwnProtocol) {
  // the permanent action's factor 1.70 instead of 1.35 throughout
  const std::string heavier = std::regex_replace(
      std::regex_replace(Example(), std::regex("1\\.35\\*\\(1\\)"), "1.70*(1)"),
      std::regex("gamma_g_unguenstig=\"1\\.35\""), "gamma_g_unguenstig=\"1.70\"");
  ASSERT_NE(heavier, Example());
  const std::string texts[] = {Example(), heavier};
  const std::string names[] = {"Pos.tqx", "Pos.TQX"};  // one base name: a protocol named by it would be shared
  fs::create_directories(folder_ / "start");
  std::string alone[2];
  for (int i = 0; i < 2; ++i) {
    std::ofstream(Path(names[i]), std::ios::binary) << texts[i];
    ASSERT_EQ(Host({"calc", Path(names[i])}).status, 0);
    alone[i] = Slurp(Path(names[i] + ".kolumoorg.txt"));
    ASSERT_FALSE(alone[i].empty());
    fs::remove(Path(names[i] + ".kolumoorg.txt"));
    std::ofstream(Path(names[i]), std::ios::binary) << texts[i];
  }
  ASSERT_NE(alone[0], alone[1]) << "the two positions must differ for the test to tell their protocols apart";

  std::string command = "cd " + Quote((folder_ / "start").string()) + " && ";
  for (int i = 0; i < 2; ++i)
    command += "(KOLUMO_ROOT=" + Quote(root_.string()) + " timeout 120 " + Quote(KOLUMO_HOST) + " calc " +
               Quote(Path(names[i])) + " 2>/dev/null; echo $? >" + Quote(Path(names[i] + ".rc")) + ") & ";
  ASSERT_EQ(std::system((command + "wait").c_str()), 0);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(Slurp(Path(names[i] + ".rc")), "0\n");
    EXPECT_EQ(Slurp(Path(names[i] + ".kolumoorg.txt")), alone[i]);
  }
  EXPECT_TRUE(fs::is_empty(folder_ / "start"));
}

}  // namespace
