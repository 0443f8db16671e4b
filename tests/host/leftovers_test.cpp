// What runs leave behind when they are killed, interrupted or run at once: a killed calculation's scratch folder
// is removed by the next run (never a folder of a run at work), and so are the registry temporaries of killed runs;
// a file-size limit makes a write fail with its reason instead of killing the program, two reports of one position
// written at once keep apart, and a calculation does not save over a position saved while it ran.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <cstdlib>
#include <set>
#include <thread>
#include <utility>

#include "framework/regsettings.h"
#include "tests/host/host_run.h"
#include "tests/support/dead_pid.h"

namespace {

using namespace host_test;

using test_support::DeadPid;

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

std::string Base64(const std::string& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    unsigned value = unsigned(static_cast<unsigned char>(bytes[i])) << 16;
    if (i + 1 < bytes.size()) value |= unsigned(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) value |= unsigned(static_cast<unsigned char>(bytes[i + 2]));
    out += kDigits[(value >> 18) & 63];
    out += kDigits[(value >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(value >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[value & 63] : '=';
  }
  return out;
}

std::string Example() { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }

// The example with `element` added to its "input" or (root true) to its root.
std::string ExampleWith(const std::string& element, bool root) {
  std::string text = Example();
  const std::size_t at = root ? text.rfind("</") : text.find('>', text.find("<input")) + 1;
  return text.insert(at, element);
}

class LeftoversTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    fs::create_directories(Path("t"));
    position_ = Path("Pos.tqx");
    std::ofstream(position_, std::ios::binary) << Example();
    prefix_ = "env TMPDIR=" + Quote(Path("t")) + " ";
  }

  // The host started in the background with the test's temporary folder, its output dropped and its errors in the
  // file `errors`; its id.
  pid_t Start(const std::vector<std::string>& args,
              const std::vector<std::pair<std::string, std::string>>& environment = {},
              const std::string& errors = "/dev/null") const {
    const pid_t child = ::fork();
    if (child != 0) return child;
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    ::setenv("TMPDIR", Path("t").c_str(), 1);
    ::setenv("KOLUMO_ROOT", root_.c_str(), 1);
    ::unsetenv("DISPLAY");
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, 1);
    ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    std::vector<char*> argv = {const_cast<char*>(KOLUMO_HOST)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(KOLUMO_HOST, argv.data());
    ::_exit(127);
  }

  // The environment of a host that stops itself where `variable` says (the shim stop_before), and `more`.
  static std::vector<std::pair<std::string, std::string>> StoppingAt(
      const std::string& variable, const std::string& suffix,
      std::vector<std::pair<std::string, std::string>> more = {}) {
    std::string sanitizer = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
    sanitizer += std::string(sanitizer.empty() ? "" : ":") + "verify_asan_link_order=0";
    more.insert(more.end(), {{"LD_PRELOAD", KOLUMO_STOP_BEFORE}, {variable, suffix}, {"ASAN_OPTIONS", sanitizer}});
    return more;
  }

  std::string position_;
};

// kill -9 in the middle of a calculation: its scratch folder stays in the temporary folder until the next
// calculation, which removes it and its own.
TEST_F(LeftoversTest, TheScratchFolderOfAKilledCalculationIsRemovedByTheNextOne) {
  std::string left;
  for (int attempt = 0; attempt < 40 && left.empty(); ++attempt) {
    const pid_t run = Start({"calc", position_});
    ASSERT_GT(run, 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool ended = false;
    int status = 0;
    while (left.empty() && !ended && std::chrono::steady_clock::now() < end) {
      for (const std::string& name : Entries(Path("t")))
        if (name.rfind("kolumo-calc-", 0) == 0) left = name;
      if (!left.empty())
        ::kill(run, SIGKILL);
      else
        ended = ::waitpid(run, &status, WNOHANG) == run;
      if (!ended && left.empty()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!ended) ::waitpid(run, &status, 0);
    // the run may have ended on its own just before the kill: then it tidied up
    if (!left.empty() && !(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL && fs::exists(Path("t/" + left))))
      left.clear();
    std::ofstream(position_, std::ios::binary) << Example();
  }
  ASSERT_FALSE(left.empty()) << "no calculation was caught at work";
  EXPECT_EQ(Entries(Path("t")), std::set<std::string>{left});

  const HostRun run = Host({"calc", position_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Entries(Path("t")), std::set<std::string>{});
}

// Only marked folders of our pattern whose process is gone and whose lock nobody holds are removed: a calculation's
// in the temporary folder, an interrupted save's beside the position (with the next save there). A user's folder
// named like ours, with the user's files in it, stays whole.
TEST_F(LeftoversTest, OnlyLeftoversOfDeadRunsAreRemoved) {
  const std::string dead = std::to_string(DeadPid());
  const std::string alive = std::to_string(::getpid());
  enum Art { kOurs, kUsersFolder, kFile };
  const struct {
    std::string name;
    Art art;
    bool removed;
  } entries[] = {
      {"t/kolumo-calc-" + dead + "-a1B2c3", kOurs, true},
      {"t/kolumo-calc-" + alive + "-a1B2c3", kOurs, false},  // a run at work
      {"t/kolumo-calc-" + dead + "-h0ld3n", kOurs, false},   // held by a run in another process namespace
      {"t/kolumo-calc-" + dead + "-u5er00", kUsersFolder, false},
      {"t/kolumo-calc-a1B2c3", kOurs, false},  // not our pattern
      {"t/kolumo-calc-" + dead + "-f1l3ab", kFile, false},
      {"t/andere-" + dead + "-a1B2c3", kOurs, false},
      {".kolumo-sichern-" + dead + "-a1B2c3", kOurs, true},  // an interrupted save of the position
      {".kolumo-sichern-" + alive + "-a1B2c3", kOurs, false},
      {".Pos.tqx." + dead + "-a1B2c3", kFile, false},  // the name such a save's temporary had: the user's now
  };
  for (const auto& e : entries) {
    if (e.art == kOurs) {
      ASSERT_TRUE(test_support::LeaveScratchFolder(folder_, e.name));
    } else if (e.art == kUsersFolder) {
      fs::create_directories(Path(e.name));
      std::ofstream(Path(e.name + "/kombi.Vrb21LkTr0.dat")) << "the user's";
    } else {
      std::ofstream(Path(e.name)) << "x";
    }
  }
  const int holder = ::open(Path("t/kolumo-calc-" + dead + "-h0ld3n").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  const HostRun run = Host({"calc", position_});
  ::close(holder);
  EXPECT_EQ(run.status, 0) << run.err;
  for (const auto& e : entries) EXPECT_EQ(fs::exists(Path(e.name)), !e.removed) << e.name;
  EXPECT_EQ(Slurp(Path("t/kolumo-calc-" + dead + "-u5er00/kombi.Vrb21LkTr0.dat")), "the user's");
}

// A report killed while it wrote leaves its folder of temporaries beside the position. The next report into that
// folder removes the marked folders of processes that are gone, and nothing else: not the folder of a report at
// work, not the user's files named as the temporaries were before they had a folder of their own (such as
// "Pos.<id>.tmp.rtf", which is also the report of the position "Pos.<id>.tmp"), not a user's folder named like ours.
TEST_F(LeftoversTest, TheFilesOfAKilledReportAreRemovedByTheNextOne) {
  const std::string dead = std::to_string(DeadPid());
  const std::string alive = std::to_string(::getpid());
  const struct {
    std::string name;
    bool ours;
    bool removed;
  } entries[] = {
      {".kolumo-bericht-" + dead + "-a1B2c3", true, true},
      {".kolumo-bericht-" + alive + "-a1B2c3", true, false},  // a report at work
      {".kolumo-bericht-" + dead + "-u5er00", false, false},
      {".Pos." + dead + ".Endsystem.bmp", false, false},
      {".Pos." + dead + ".rtf", false, false},
      {".Pos." + dead + ".rtf.part" + dead, false, false},
      {"Pos." + dead + ".tmp.rtf", false, false},
  };
  for (const auto& e : entries) {
    if (e.ours) {
      ASSERT_TRUE(test_support::LeaveScratchFolder(folder_, e.name));
    } else if (e.name.rfind(".kolumo-", 0) == 0) {
      fs::create_directory(Path(e.name));
      std::ofstream(Path(e.name + "/Bericht.rtf")) << "the user's";
    } else {
      std::ofstream(Path(e.name)) << "the user's";
    }
  }
  const HostRun run = Host({"report", position_});
  EXPECT_EQ(run.status, 0) << run.err;
  for (const auto& e : entries) EXPECT_EQ(fs::exists(Path(e.name)), !e.removed) << e.name;
  // the report's own folder went with it
  for (const std::string& name : Entries(folder_)) {
    if (name.rfind(".kolumo-bericht-", 0) == 0) {
      EXPECT_TRUE(name == entries[1].name || name == entries[2].name) << name;
    }
  }
}

// A file-size limit below the written position: the save fails with the system's reason, the program ends with 1
// and the position is as it was, no temporary file beside it; the same for the report.
TEST_F(LeftoversTest, AFileSizeLimitMakesTheWriteFailWithItsReason) {
  const std::string before = Slurp(position_);
  ASSERT_EQ(Host({"calc", Path("Pos.tqx")}).status, 0);
  const std::size_t calculated = Slurp(position_).size();
  ASSERT_GT(calculated, before.size() + 4096);
  std::ofstream(position_, std::ios::binary) << before;

  const std::string limit = std::to_string(calculated - 2048);
  prefix_ = "env TMPDIR=" + Quote(Path("t")) + " prlimit --fsize=" + limit + " ";
  const HostRun calc = Host({"calc", position_});
  EXPECT_EQ(calc.status, 1) << calc.err;
  EXPECT_NE(calc.err.find(position_), std::string::npos) << calc.err;
  EXPECT_NE(calc.err.find("File too large"), std::string::npos) << calc.err;
  EXPECT_EQ(Slurp(position_), before);
  EXPECT_EQ(Entries(folder_).count(".Pos.tqx"), 0u);
  for (const std::string& name : Entries(folder_)) EXPECT_NE(name.rfind(".Pos.tqx.", 0), 0u) << name;
  EXPECT_EQ(Entries(Path("t")), std::set<std::string>{});

  // a report larger than the limit
  prefix_ = "env TMPDIR=" + Quote(Path("t")) + " prlimit --fsize=4096 ";
  const HostRun report = Host({"report", position_});
  EXPECT_EQ(report.status, 1) << report.err;
  EXPECT_NE(report.err.find("File too large"), std::string::npos) << report.err;
  EXPECT_FALSE(fs::exists(Path("Pos.rtf")));
  for (const std::string& name : Entries(folder_)) {
    EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    EXPECT_NE(name.rfind(".Pos.", 0), 0u) << name;
  }
}

// Two reports of one position at once, of two versions of it (the position calculated anew in between): the
// first stops right after it has placed a result picture under its name beside the report; meanwhile the position
// is replaced and its second report written whole, in the same process namespace and in another one (a container
// sharing the folder, where the first one's process id names no process); then the first goes on. The first
// report and every picture beside it are the ones its version gives alone, and no temporary file of either stays.
// With the pictures written and read under the shared name, the first report took the second one's picture; with
// its temporaries unlocked while it ran, the second report from another namespace removed them.
TEST_F(LeftoversTest, TwoReportsOfOnePositionAtOnceEachShowTheirOwnPictures) {
  const std::string block = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Vortext der Position\\par}";
  std::string version[2];
  for (int v = 0; v < 2; ++v) {
    std::string text = ExampleWith("<rtfFiles vardef=\"" + Base64(block) + "\"/>", true);
    const std::string load = "val0=\"620\"";
    if (v == 1) text.replace(text.find(load), load.size(), "val0=\"700\"");
    std::ofstream(position_, std::ios::binary) << text;
    const HostRun calc = Host({"calc", position_});
    ASSERT_EQ(calc.status, 0) << calc.err;
    version[v] = Slurp(position_);
  }
  const std::string picture = "Pos.Schnitt-LK1-Typ3-BZ0.p2d";
  std::map<std::string, std::string> alone[2];  // the files beside the position, by name
  for (int v : {1, 0}) {
    std::ofstream(position_, std::ios::binary) << version[v];
    ASSERT_EQ(Host({"report", position_}).status, 0);
    for (const std::string& name : Entries(folder_))
      if (fs::is_regular_file(Path(name)) && name != "Pos.tqx" && name != "stdout" && name != "stderr")
        alone[v][name] = Slurp(Path(name));
  }
  ASSERT_NE(alone[0]["Pos.rtf"].find("Vortext der Position"), std::string::npos);
  ASSERT_NE(alone[0][picture], alone[1][picture]) << "the versions must differ in the picture";
  const std::set<std::string> files = Entries(folder_);

  std::string sanitizer = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
  sanitizer += std::string(sanitizer.empty() ? "" : ":") + "verify_asan_link_order=0";
  const bool namespaces = std::system("unshare -Urpf true >/dev/null 2>&1") == 0;
  // In another namespace the first report stops after its first picture: every later one is still its temporary.
  const struct {
    std::string namespaceOfSecond, stopAfter;
  } variants[] = {{"", picture}, {"unshare -Urpf ", "Pos.Endsystem.bmp"}};
  for (const auto& [namespaceOfSecond, stopAfter] : variants) {
    if (!namespaceOfSecond.empty() && !namespaces) {
      std::printf("no process namespace of its own (unshare): the second report in another one is not tried\n");
      continue;
    }
    SCOPED_TRACE(namespaceOfSecond.empty() ? "one namespace" : "another namespace");
    std::ofstream(position_, std::ios::binary) << version[0];
    const pid_t first = Start({"report", position_}, {{"LD_PRELOAD", KOLUMO_STOP_AFTER_RENAME},
                                                      {"KOLUMO_TEST_STOP_AFTER_RENAME", stopAfter},
                                                      {"ASAN_OPTIONS", sanitizer}});
    ASSERT_GT(first, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(first, &status, WUNTRACED), first);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the first report ended without placing " << stopAfter;

    std::ofstream(position_, std::ios::binary) << version[1];
    prefix_ = namespaceOfSecond;
    const HostRun second = Host({"report", position_});
    prefix_.clear();
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_TRUE(Slurp(Path("Pos.rtf")) == alone[1]["Pos.rtf"]) << "the second report holds pictures of the first";
    ::kill(first, SIGCONT);
    ASSERT_EQ(::waitpid(first, &status, 0), first);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the first report failed";
    EXPECT_TRUE(Slurp(Path("Pos.rtf")) == alone[0]["Pos.rtf"]) << "the first report holds pictures of the second";
    EXPECT_EQ(Entries(folder_), files);
    // the pictures the first one placed after the second report are its own
    if (stopAfter != "Pos.Endsystem.bmp") continue;
    for (const auto& [name, content] : alone[0]) {
      if (name != stopAfter) {
        EXPECT_TRUE(Slurp(Path(name)) == content) << name << " is not the first report's";
      }
    }
  }
}

// The start-up log in the installation root gets lines from every run: one grown long before is cut to its latest
// lines by the next run, which adds its own.
TEST_F(LeftoversTest, TheStartupLogStaysBounded) {
  const fs::path log = root_ / "startup.log";
  {
    std::ofstream old(log, std::ios::binary);
    for (int i = 0; i < 50000; ++i) old << "[01.01.2019 / 00:00:00:0000] Zeile " << i << "\n";
  }
  const std::size_t before = fs::file_size(log);
  for (int run = 0; run < 3; ++run) ASSERT_EQ(Host({"calc", position_}).status, 0);
  const std::string text = Slurp(log);
  EXPECT_LT(text.size(), before / 4);
  EXPECT_EQ(text.rfind("[01.01.2019 / 00:00:00:0000] Zeile ", 0), 0u) << text.substr(0, 80);
  // the old lines kept are the latest, and every line of the three runs follows them
  const std::size_t last = text.find("Zeile 49999\n");
  ASSERT_NE(last, std::string::npos);
  const std::string runs = text.substr(last + 12);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.find("Zeile"), std::string::npos);
  EXPECT_EQ(std::count(runs.begin(), runs.end(), '\n') % 3, 0) << runs;
}

// The document part's OnInitDocument is told the position's name and folder when a calculation reads it.
TEST_F(LeftoversTest, OnInitDocumentKnowsThePositionDuringACalculation) {
  // the document part's events run only while it is switched on
  GetRegSettings().WriteInt("", "bSkrib", 1);
  const std::string macro =
      "Sub OnInitDocument(name, folder)\r\n  MsgBox \"Init<\" & name & \"|\" & folder & \">\"\r\nEnd Sub\r\n";
  std::ofstream(position_, std::ios::binary)
      << ExampleWith("<Skrib isEmpty=\"1\" VBScript=\"" + Base64(macro) + "\"/>", false);
  const HostRun run = Host({"calc", position_});
  EXPECT_EQ(run.status, 0) << run.err;
  GetRegSettings().WriteInt("", "bSkrib", 0);
  EXPECT_NE(run.err.find("Init<Pos|" + folder_.string() + ">"), std::string::npos) << run.err;
}

// Macros that never end, in every event of the document and in 20 of its formulas: each job ("roundtrip" as
// "calc" and "report") gives them one budget of 10 s together and says once that it ran out. The script host's
// clock moves 1 ms per statement, so that the budget is spent by statements, not waited for. "roundtrip" gave
// every reading, showing and writing of the document a budget of its own: 8 messages and over 90 s.
TEST_F(LeftoversTest, EndlessMacrosGetOneBudgetAndOneMessagePerJob) {
  GetRegSettings().WriteInt("", "bSkrib", 1);
  std::string macros =
      "Function Slow(x)\r\n Do\r\n  y = 1\r\n Loop\r\n Slow = x\r\nEnd Function\r\n"
      "Sub Busy()\r\n Do\r\n  y = 1\r\n Loop\r\nEnd Sub\r\n";
  for (const char* event : {"OnInitDocument", "OnStartCalculation", "OnEndCalculation", "OnExitDocument"})
    macros += std::string("Sub ") + event + "(name, folder)\r\n Busy\r\nEnd Sub\r\n";
  std::string body;
  for (int k = 1; k <= 20; ++k)
    body += "\\cf1 x" + std::to_string(k) + " = @Slow(" + std::to_string(k) + ") = 0\\par\r\n";
  const std::string rtf = "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}" + body + "}";
  const std::string position = ExampleWith("<Skrib iPage=\"1\" rtfData=\"" + Base64(rtf) + "\" VBScript=\"" +
                                               Base64(macros) + "\" sLibModul=\"\" isEmpty=\"0\"/>",
                                           false);
  prefix_ = "env KOLUMO_SCRIPT_SECONDS_PER_STEP=0.001 ";
  for (const std::string command : {"roundtrip", "calc", "report"}) {
    SCOPED_TRACE(command);
    std::ofstream(position_, std::ios::binary) << position;
    std::vector<std::string> args{command, position_};
    if (command == "roundtrip") args.push_back(Path("out.tqx"));
    const auto start = std::chrono::steady_clock::now();
    const HostRun run = Host(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::size_t messages = 0;
    for (std::size_t at = run.err.find("Die Makros des Dokuments wurden angehalten"); at != std::string::npos;
         at = run.err.find("Die Makros des Dokuments wurden angehalten", at + 1))
      ++messages;
    EXPECT_EQ(messages, 1u) << run.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  }
  GetRegSettings().WriteInt("", "bSkrib", 0);
}

// A calculation that ends after another program saved the position (the input dialog's OK, another calculation) does
// not write its results over what that one saved: it says so and ends with 1, the position as the other left it.
// It is held just before its save compares the file standing there, so that the other save comes between its reading
// and its saving. Another save that holds the position's lock for good (a run stopped between its comparison and
// its rename) keeps it waiting the wait of a save (3 s), no longer: it says so and ends with 1, the position as it was.
TEST_F(LeftoversTest, ACalculationKeepsAPositionSavedWhileItRan) {
  const std::string example = Example();
  std::string annotated = example;  // as the input dialog saves a remark
  const std::string empty = "Anmerkung_2=\"\"";
  ASSERT_NE(annotated.find(empty), std::string::npos);
  annotated.replace(annotated.find(empty), empty.size(), "Anmerkung_2=\"geprüft\"");
  const std::string changed = position_ + ": the position was changed on disk while it was calculated";
  const std::string locked = position_ + ": Cannot write '" + position_ + "': another program is saving it";
  const struct {
    const char* name;
    const std::string* meanwhile;
    bool lockHeld;
    int status;
    const std::string* says;
  } cases[] = {
      {"nothing saved meanwhile", nullptr, false, 0, nullptr},
      {"the same bytes saved meanwhile", &example, false, 0, nullptr},
      {"a remark saved meanwhile", &annotated, false, 1, &changed},
      {"the lock held by a save stopped there", nullptr, true, 1, &locked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(position_, std::ios::binary) << example;
    const pid_t calc =
        Start({"calc", position_}, StoppingAt("KOLUMO_TEST_STOP_BEFORE_LOCK", "/Pos.tqx"), Path("calc.err"));
    ASSERT_GT(calc, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(calc, &status, WUNTRACED), calc);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the calculation ended before its save: " << Slurp(Path("calc.err"));
    EXPECT_EQ(Slurp(position_), example) << "held before it saved";
    if (c.meanwhile) {
      std::ofstream(Path("Anders.tqx"), std::ios::binary) << *c.meanwhile;
      fs::rename(Path("Anders.tqx"), position_);
    }
    const int held = c.lockHeld ? ::open(position_.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (c.lockHeld) {
      ASSERT_EQ(::flock(held, LOCK_EX), 0);
    }
    ::kill(calc, SIGCONT);
    const auto continued = std::chrono::steady_clock::now();
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < continued + std::chrono::seconds(30)) {
      ended = ::waitpid(calc, &status, WNOHANG) == calc;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto took = std::chrono::steady_clock::now() - continued;
    if (held >= 0) ::close(held);
    if (!ended) {
      ::kill(calc, SIGKILL);
      ::waitpid(calc, &status, 0);
    }
    ASSERT_TRUE(ended) << "the calculation waited for the lock for ever";
    const std::string err = Slurp(Path("calc.err"));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status) << err;
    if (c.status == 0) {
      EXPECT_NE(Slurp(position_).find("<Schnittgroessen"), std::string::npos) << "the results are saved";
      continue;
    }
    EXPECT_EQ(Slurp(position_), c.meanwhile ? *c.meanwhile : example) << "the file is not as the other left it";
    EXPECT_NE(err.find(*c.says), std::string::npos) << err;
    if (c.meanwhile) {
      EXPECT_NE(err.find("the results are not saved"), std::string::npos) << err;
    }
    if (!c.lockHeld) continue;
    EXPECT_GE(took, std::chrono::milliseconds(2900)) << "it did not wait for the other save";
    EXPECT_LT(took, std::chrono::seconds(10)) << "the wait is the few seconds of a save";
    for (const std::string& name : Entries(Path("")))
      EXPECT_NE(name.rfind(".kolumo-", 0), 0u) << "a temporary is left: " << name;
  }
}

// Twenty runs killed before they renamed the registry file they wrote leave their temporaries beside it; the next run
// removes them all, and its own write leaves nothing but the file and its lock.
TEST_F(LeftoversTest, TheRegistryTemporariesOfKilledRunsAreRemovedByTheNextRun) {
  fs::create_directories(Path("konfig"));
  const std::string registry = Path("konfig/registry.xml");
  for (int n = 0; n < 20; ++n) {
    const pid_t run = Start({"calc", position_}, StoppingAt("KOLUMO_TEST_STOP_BEFORE_RENAME", "/registry.xml",
                                                            {{"ORMI_REGISTRY", registry}}));
    ASSERT_GT(run, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(run, &status, WUNTRACED), run);
    ASSERT_TRUE(WIFSTOPPED(status)) << "run " << n << " wrote no registry";
    ::kill(run, SIGKILL);
    ASSERT_EQ(::waitpid(run, &status, 0), run);
    ASSERT_FALSE(fs::exists(registry)) << "killed before its rename";
    EXPECT_GE(Entries(Path("konfig")).size(), 2u) << "its temporary is left beside the lock";
  }
  prefix_ = "env ORMI_REGISTRY=" + Quote(registry) + " ";
  const HostRun run = Host({"calc", position_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Entries(Path("konfig")), (std::set<std::string>{"registry.xml", "registry.xml.lock"}));
}

}  // namespace
