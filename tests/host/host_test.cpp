// The host program run as a process, as the README's commands and the main job run it.
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

TEST_F(HostTest, NewPositionRoundTripsUnchanged) {
  const HostRun made = Host({"new", Path("a.tqx")});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string empty = Slurp(Path("a.tqx"));
  EXPECT_NE(empty.find("progname=\"KOLUMO\""), std::string::npos);
  // The program description gives the version, so results of such a file are kept when it is read.
  EXPECT_NE(empty.find("version=\"2012.01\""), std::string::npos);
  ASSERT_EQ(Host({"roundtrip", Path("a.tqx"), Path("b.tqx")}).status, 0);
  ASSERT_EQ(Host({"roundtrip", Path("b.tqx"), Path("c.tqx")}).status, 0);
  EXPECT_EQ(Slurp(Path("b.tqx")), Slurp(Path("c.tqx")));
  EXPECT_EQ(Slurp(Path("a.tqx")), empty) << "the input of a round trip is not written";
}

TEST_F(HostTest, ExampleColumnKeepsEveryValue) {
  const std::string example = std::string(KOLUMO_DATA_DIR) + "/examples/Stuetze.tqx";
  const HostRun run = Host({"roundtrip", example, Path("out.tqx")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Slurp(Path("out.tqx")), Slurp(example));
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_F(HostTest, BadFilesAreRefusedAndLeftAsTheyWere) {
  std::ofstream(Path("broken.tqx")) << "<?xml version=\"1.0\"?><root progname=\"KOLUMO\"><info></root";
  std::ofstream(Path("other.tqx")) << "<?xml version=\"1.0\"?><root progname=\"TREPPE\"><info/><input/></root>";
  const std::string broken = Slurp(Path("broken.tqx"));
  for (const std::string name : {"missing.tqx", "broken.tqx", "other.tqx"}) {
    SCOPED_TRACE(name);
    for (const std::string command : {"roundtrip", "calc", "report"}) {
      std::vector<std::string> args{command, Path(name)};
      if (command == "roundtrip") args.push_back(Path("out.tqx"));
      const HostRun run = Host(args);
      EXPECT_EQ(run.status, 1) << command;
      EXPECT_FALSE(run.err.empty()) << command;
      EXPECT_FALSE(fs::exists(Path("out.tqx")));
    }
  }
  EXPECT_EQ(Slurp(Path("broken.tqx")), broken);
  EXPECT_FALSE(fs::exists(Path("missing.tqx")));
}

TEST_F(HostTest, NewDoesNotWriteOverAFile) {
  std::ofstream(Path("taken.tqx")) << "mine";
  const HostRun run = Host({"new", Path("taken.tqx")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Slurp(Path("taken.tqx")), "mine");
}

TEST_F(HostTest, AnEmptyColumnIsRefusedAndLeftUnchanged) {
  ASSERT_EQ(Host({"new", Path("a.tqx")}).status, 0);
  const std::string before = Slurp(Path("a.tqx"));
  const HostRun calc = Host({"calc", Path("a.tqx")});
  EXPECT_EQ(calc.status, 1);
  EXPECT_FALSE(calc.err.empty());
  EXPECT_EQ(Slurp(Path("a.tqx")), before);
}

TEST_F(HostTest, TheExampleIsCalculatedAndReported) {
  fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("Stuetze.tqx"));
  const HostRun calc = Host({"calc", Path("Stuetze.tqx")});
  ASSERT_EQ(calc.status, 0) << calc.err;
  const std::string calculated = Slurp(Path("Stuetze.tqx"));
  for (const char* kind : {"<result", "<Schnittgroessen", "<Bruchschnittgroessen", "<Lagerkraefte", "<Verformung"})
    EXPECT_NE(calculated.find(kind), std::string::npos) << kind;
  const HostRun report = Host({"report", Path("Stuetze.tqx")});
  ASSERT_EQ(report.status, 0) << report.err;
  const std::string rtf = Slurp(Path("Stuetze.rtf"));
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("Ergebnisdaten"), std::string::npos);
}

// A refused call (reply 0) fails the command, so that a script sees it; the module's reason stays on stderr.
TEST_F(HostTest, CallShowsTheModulesRefusalsOnStderr) {
  const struct {
    std::vector<std::string> args;
    std::string reply;
    std::string message;
  } cases[] = {
      {{"call", "Export", "int=0", "CString*=text:a", "CString*=text:b"}, "reply 0", "Wrong number of parameters!"},
      {{"call", "SetData", "CWnd*=dialog", "long=0"}, "reply 0", "Type mismatch!"},
      {{"call", "Export", "int=0", "CString*=text:a", "CString*=text:b", "CString*=text:c"},
       "reply 0",
       "Export wird von diesem Modul in der vorliegenden Version nicht unterstützt."},
      {{"call", "Frobnicate"}, "reply 0", "Funktion 'Frobnicate' nicht implementiert!"},
      {{"call", "CreateEmptyDoc", "CWnd*=host"}, "reply 0", ""},
      {{"call", "CanExportTo", "vecExportToStruct*=exports", "int=0"}, "reply 1", ""},
      {{"call", "PosAnnotation", "CWnd*=dialog", "CString*=text:Pos. 4", "BOOL=0"}, "reply 1", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const HostRun run = Host(c.args);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), c.reply);
    if (c.reply == "reply 0") {
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find("the module refused \"" + c.args[1] + "\""), std::string::npos) << run.err;
    } else {
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_TRUE(run.err.empty()) << run.err;
    }
    if (!c.message.empty()) {
      EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
  }
  // The list is emptied, and the position annotation of a new dialog is empty.
  EXPECT_NE(Host({"call", "CanExportTo", "vecExportToStruct*=exports", "int=0"}).out.find("exports 0"),
            std::string::npos);
  EXPECT_NE(Host({"call", "PosAnnotation", "CWnd*=dialog", "CString*=text:Pos. 4", "BOOL=0"}).out.find("text \n"),
            std::string::npos);
}

// The dialog or preview a call makes is destroyed with the call (the preview before the input dialog it draws): under
// the leak checker a window left alive fails the run.
TEST_F(HostTest, TheDialogsOfACallAreReleased) {
  const std::vector<std::string> calls[] = {{"call", "CreateInputDlg", "CWnd*=host"},
                                            {"call", "CreatePreviewDlg", "CWnd*=host", "CWnd*=dialog", "BOOL=1"}};
  for (const auto& args : calls) {
    const HostRun run = Host(args);
    EXPECT_EQ(run.status, 0) << args[1] << ": " << run.err;
    EXPECT_EQ(run.out.rfind("reply ", 0), 0u) << args[1];
    EXPECT_NE(run.out.rfind("reply 0", 0), 0u) << args[1] << ": the module made nothing";
    EXPECT_TRUE(run.err.empty()) << args[1] << ": " << run.err;
  }
}

// A report that cannot be written fails the command; what stood there before never passes for the new report.
TEST_F(HostTest, AReportThatIsNotWrittenFails) {
  fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("Stuetze.tqx"));
  ASSERT_EQ(Host({"calc", Path("Stuetze.tqx")}).status, 0);
  // a folder where the report belongs: the module cannot put the report there
  fs::create_directory(Path("Stuetze.rtf"));
  const HostRun blocked = Host({"report", Path("Stuetze.tqx")});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find("Stuetze.rtf: the report was not written"), std::string::npos) << blocked.err;
  EXPECT_TRUE(fs::is_empty(Path("Stuetze.rtf")));
  fs::remove(Path("Stuetze.rtf"));
  // an old report is replaced by the new one
  std::ofstream(Path("Stuetze.rtf")) << "old";
  const HostRun fresh = Host({"report", Path("Stuetze.tqx")});
  EXPECT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_EQ(Slurp(Path("Stuetze.rtf")).rfind("{\\rtf1", 0), 0u);
  for (const auto& entry : fs::directory_iterator(folder_))
    EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST_F(HostTest, WrongCommandsShowTheUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"new"}, {"roundtrip", "a.tqx"}, {"--answer", "maybe", "new", "x.tqx"}}) {
    const HostRun run = Host(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage: kolumo"), std::string::npos);
  }
}

// "kolumo calc" says per field whether the entered bars are what must be built. The example's fields have 4 x 3.14
// cm² that suffice; the EC2 column's 4 x 3.14 cm² were raised by its design.
TEST_F(HostTest, CalcSaysPerFieldWhetherTheEnteredBarsSuffice) {
  const struct {
    fs::path source;
    std::vector<bool> suffice;  // per field
  } cases[] = {
      {fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", {true, true}},
      {fs::path(KOLUMO_SOURCE_DIR) / "tests" / "data" / "ec2_design.tqx", {false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source.filename().string());
    const std::string position = Path(c.source.filename().string());
    fs::copy_file(c.source, position, fs::copy_options::overwrite_existing);
    const HostRun run = Host({"calc", position});
    ASSERT_EQ(run.status, 0) << run.err;
    std::size_t at = 0;
    for (std::size_t f = 0; f < c.suffice.size(); ++f) {
      const std::string head = "field " + std::to_string(f + 1) + ": entered 4 bars, 12.56 cm2; to be built ";
      at = run.out.find(head, at);
      ASSERT_NE(at, std::string::npos) << run.out;
      const double built = std::strtod(run.out.c_str() + at + head.size(), nullptr);
      const std::string line = run.out.substr(at, run.out.find('\n', at) - at);
      if (c.suffice[f]) {
        EXPECT_NEAR(built, 12.56, 0.005) << line;
        EXPECT_NE(line.find("; the entered bars suffice"), std::string::npos) << line;
      } else {
        EXPECT_GT(built, 12.57) << line;
        EXPECT_NE(line.find("; the entered bars do NOT suffice, the design raised them"), std::string::npos) << line;
      }
      ++at;
    }
    EXPECT_EQ(run.out.find("field " + std::to_string(c.suffice.size() + 1) + ":"), std::string::npos) << run.out;
  }
}

}  // namespace
