#include "framework/utilities.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/viduv/viduv.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> ToVector(const CStringList* list) {
  std::vector<std::string> out;
  if (!list) return out;
  for (POSITION pos = list->GetHeadPosition(); pos;) out.push_back(list->GetNext(pos).str());
  return out;
}

// Sets environment variables for one test and puts the old values back afterwards.
class EnvGuard {
 public:
  void Set(const char* name, const char* value) {
    Remember(name);
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvGuard() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
  }

 private:
  void Remember(const char* name) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class UtilitiesTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(testing::TempDir()) / ("utilities_" + std::string(info->name()) + "_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    env_.Set("ORMI_REGISTRY", (dir_ / "registry.xml").c_str());
    win::msgbox::ClearLog();
    win::msgbox::ClearAnswers();
  }
  void TearDown() override {
    CLogFile::SetClock(nullptr);
    fs::remove_all(dir_);
  }
  fs::path dir_;
  EnvGuard env_;
};

// --- Start-up log ---

TEST_F(UtilitiesTest, LogLinesBeginWithTheUtcTimeStamp) {
  // 3 January 2007, 04:05:06.007 UTC; then 31 December 2010, 23:59:59.999 for the widest fields.
  std::vector<system_clock::time_point> times = {
      sys_days{year{2007} / January / 3} + hours{4} + minutes{5} + seconds{6} + milliseconds{7},
      sys_days{year{2010} / December / 31} + hours{23} + minutes{59} + seconds{59} + milliseconds{999},
  };
  std::size_t next = 0;
  CLogFile::SetClock([&] { return times[next++]; });
  fs::path file = dir_ / "startup.log";
  CLogFile log(file.c_str());
  log.WriteLine("CRegSettings():29");
  log.WriteLine("CMateHandler():110");
  EXPECT_EQ(ReadFile(file),
            "[03.01.2007 / 04:05:06:0007] CRegSettings():29\n"
            "[31.12.2010 / 23:59:59:0999] CMateHandler():110\n");
}

TEST_F(UtilitiesTest, LogPathsMayUseBackslashes) {
  CLogFile::SetClock([] { return sys_days{year{2020} / March / 9} + hours{10}; });
  std::string path = (dir_ / "startup.log").string();
  std::replace(path.begin(), path.end(), '/', '\\');
  CLogFile(path.c_str()).WriteLine("x");
  EXPECT_EQ(ReadFile(dir_ / "startup.log"), "[09.03.2020 / 10:00:00:0000] x\n");
}

// Every run adds its lines to the log in the installation root: it keeps its latest lines and stays bounded, cut
// at the start of a line.
TEST_F(UtilitiesTest, TheLogKeepsItsLatestLinesWithinItsLimit) {
  CLogFile::SetClock([] { return sys_days{year{2020} / March / 9} + hours{10}; });
  const fs::path file = dir_ / "startup.log";
  const std::string text(200, 'x');
  const std::size_t line = text.size() + 29;  // with the time stamp, its blank and the line end
  const int lines = int(3 * CLogFile::kMaxBytes / line);
  for (int i = 0; i < lines; ++i) {
    CLogFile(file.c_str()).WriteLine((std::to_string(i) + " " + text).c_str());
    ASSERT_LE(fs::file_size(file), CLogFile::kMaxBytes) << "after line " << i;
  }
  const std::string log = ReadFile(file);
  std::vector<int> numbers;
  std::istringstream in(log);
  for (std::string row; std::getline(in, row);) {
    ASSERT_EQ(row.rfind("[09.03.2020 / 10:00:00:0000] ", 0), 0u) << "not a whole line: " << row.substr(0, 40);
    numbers.push_back(std::stoi(row.substr(29)));
  }
  ASSERT_FALSE(numbers.empty());
  EXPECT_EQ(numbers.back(), lines - 1);
  for (std::size_t i = 1; i < numbers.size(); ++i) ASSERT_EQ(numbers[i], numbers[i - 1] + 1) << "a line is lost";
  // at least the whole lines that fit into the part kept
  EXPECT_GE(log.size() + 2 * line, CLogFile::kKeptBytes);
}

TEST_F(UtilitiesTest, ALogGrownLongBeforeIsCutAtTheNextLine) {
  CLogFile::SetClock([] { return sys_days{year{2020} / March / 9} + hours{10}; });
  const fs::path file = dir_ / "startup.log";
  {
    std::ofstream old(file, std::ios::binary);
    for (int i = 0; i < 40000; ++i) old << "[01.01.2019 / 00:00:00:0000] old line " << i << "\n";
  }
  ASSERT_GT(fs::file_size(file), 4 * CLogFile::kMaxBytes);
  CLogFile(file.c_str()).WriteLine("new");
  const std::string log = ReadFile(file);
  EXPECT_LE(log.size(), CLogFile::kKeptBytes);
  EXPECT_EQ(log.rfind("[01.01.2019", 0), 0u) << log.substr(0, 60);
  EXPECT_NE(log.find("old line 39999\n[09.03.2020 / 10:00:00:0000] new\n"), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 4), "new\n");
}

TEST_F(UtilitiesTest, ALogThatCannotBeOpenedDropsTheLine) {
  fs::path file = dir_ / "missing" / "startup.log";
  CLogFile(file.c_str()).WriteLine("lost");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(win::msgbox::Log().empty());
}

// --- Folders ---

TEST_F(UtilitiesTest, CommonDataFolderComesFromTheEnvironment) {
  env_.Set("KOLUMO_COMMON_DATA", "/data/common/");
  env_.Set("XDG_DATA_HOME", "/xdg");
  env_.Set("HOME", "/home/u");
  EXPECT_EQ(GetCommonAppDataDir(), "/data/common");
  env_.Set("KOLUMO_COMMON_DATA", nullptr);
  EXPECT_EQ(GetCommonAppDataDir(), "/xdg");
  env_.Set("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(GetCommonAppDataDir(), "/home/u/.local/share");
  env_.Set("HOME", nullptr);
  EXPECT_EQ(GetCommonAppDataDir(), "");
}

TEST_F(UtilitiesTest, UserDataFolderFallsBackToTheInstallationRoot) {
  fs::create_directories(dir_ / "root");
  fs::create_directories(dir_ / "common" / "ormi");
  env_.Set("KOLUMO_ROOT", (dir_ / "root").c_str());
  env_.Set("KOLUMO_COMMON_DATA", (dir_ / "common").c_str());
  EXPECT_EQ(GetUserDataDir(), (dir_ / "common" / "ormi").string());
  EXPECT_EQ(GetVorbelegungFile("Fund", ""),
            (dir_ / "common" / "ormi" / "Vorlagen" / "TQ-Fund Vorbelegung.tqx").string());
  EXPECT_EQ(GetVorbelegungFile("Fund", "Platte"),
            (dir_ / "common" / "ormi" / "Vorlagen" / "TQ-Fund_Platte Vorbelegung.tqx").string());

  fs::remove(dir_ / "common" / "ormi");
  EXPECT_EQ(GetUserDataDir(), (dir_ / "root").string());
  EXPECT_EQ(GetInstallRoot(), (dir_ / "root").string());

  // A folder path of at most 4 characters is used as it is.
  env_.Set("KOLUMO_COMMON_DATA", "/tmp");
  EXPECT_EQ(GetUserDataDir(), "/tmp");
}

TEST_F(UtilitiesTest, TheUsersTemplateComesBeforeTheInstallationsAndNoneIsEmpty) {
  const fs::path user = dir_ / "common" / "ormi" / "Vorlagen" / "TQ-KOLUMO Vorbelegung.tqx";
  const fs::path shipped = dir_ / "root" / "Vorlagen" / "TQ-KOLUMO Vorbelegung.tqx";
  fs::create_directories(user.parent_path());
  fs::create_directories(shipped.parent_path());
  env_.Set("KOLUMO_ROOT", (dir_ / "root").c_str());
  env_.Set("KOLUMO_COMMON_DATA", (dir_ / "common").c_str());
  EXPECT_EQ(FindVorbelegungFile("KOLUMO", ""), "");
  std::ofstream(shipped) << "shipped";
  EXPECT_EQ(FindVorbelegungFile("KOLUMO", ""), shipped.string());
  std::ofstream(user) << "user";
  EXPECT_EQ(FindVorbelegungFile("KOLUMO", ""), user.string());
  // another program's or variant's name finds neither
  EXPECT_EQ(FindVorbelegungFile("KOLUMO", "x"), "");
}

TEST_F(UtilitiesTest, CurrentFolderIsRestoredBySaver) {
  CString before = GetCurrentDir();
  ASSERT_FALSE(before.IsEmpty());
  {
    CCurDirSaver saver;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    EXPECT_EQ(GetCurrentDir(), fs::canonical(dir_).string());
  }
  EXPECT_EQ(GetCurrentDir(), before);
  EXPECT_NE(before.str().back(), '/');
}

// --- Processes ---

TEST(SplitCommandLineTest, FollowsTheWindowsRules) {
  struct Case {
    const char* line;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"  prog\t a  ", {"prog", "a"}},
      {"\"C:\\Program Files\\x.exe\" \"a b\" c", {"C:\\Program Files\\x.exe", "a b", "c"}},
      {"C:\\dir\\p.exe a\\b", {"C:\\dir\\p.exe", "a\\b"}},  // backslashes alone stay
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},                    // 3 backslashes + quote: 1 backslash, a quote
      {"p \"a\\\\\\\\\"b c\"", {"p", "a\\\\b", "c"}},       // 4 backslashes + quote: 2 backslashes, quote ends;
                                                            // the last quote opens a quoted part and vanishes
      {"p \"\"", {"p", ""}},                                // an empty argument
      {"p \"a\"\"b\"", {"p", "a\"b"}},                      // "" inside quotes is a quote
      {"p x\"y z\"w", {"p", "xy zw"}},
      {"p a\\", {"p", "a\\"}},
      {"", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST_F(UtilitiesTest, RunProcessAndWaitReturnsTheExitCode) {
  EXPECT_EQ(RunProcessAndWait("/bin/sh -c \"exit 7\"", SW_HIDE), 7u);
  EXPECT_EQ(RunProcessAndWait("true", SW_HIDE), 0u) << "found on the search path";
  EXPECT_EQ(RunProcessAndWait("/bin/sh -c \"kill -9 $$\"", SW_HIDE), 128u + 9u);
  EXPECT_TRUE(win::msgbox::Log().empty());
}

TEST_F(UtilitiesTest, ArgumentsReachTheProgramUnchangedAndUnexpanded) {
  // No shell comes between: the quote, the blank and the '*' arrive as written.
  fs::path out = dir_ / "args.txt";
  std::string line = "/bin/sh -c \"printf '%s|' \\\"$@\\\" > '" + out.string() + "'\" sh \"a b\" c\\\"d * $HOME";
  ASSERT_EQ(RunProcessAndWait(line.c_str(), SW_HIDE), 0u);
  EXPECT_EQ(ReadFile(out), "a b|c\"d|*|$HOME|");
}

TEST_F(UtilitiesTest, AFailedStartShowsTheSystemErrorText) {
  EXPECT_EQ(RunProcessAndWait("/no/such/program arg", SW_SHOWNORMAL), 0xFFFFFFFFu);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].caption, "Error");
  EXPECT_EQ(win::msgbox::Log()[0].text, std::strerror(ENOENT));

  win::msgbox::ClearLog();
  EXPECT_FALSE(RunProcess((dir_.string() + " x").c_str(), SW_SHOWNORMAL)) << "a folder is no program";
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].caption, "Error");
  EXPECT_EQ(win::msgbox::Log()[0].text, std::strerror(EACCES));
}

TEST_F(UtilitiesTest, RunProcessDoesNotWait) {
  fs::path gate = dir_ / "gate";
  fs::path done = dir_ / "done";
  // The child waits for a file that the parent writes only after RunProcess has returned.
  std::string line =
      "/bin/sh -c \"while [ ! -e '" + gate.string() + "' ]; do sleep 0.01; done; : > '" + done.string() + "'\"";
  ASSERT_TRUE(RunProcess(line.c_str(), SW_HIDE));
  std::ofstream(gate) << "go";
  for (int i = 0; i < 1000 && !fs::exists(done); ++i) std::this_thread::sleep_for(milliseconds(10));
  EXPECT_TRUE(fs::exists(done));
}

// --- Fingerprints ---

TEST_F(UtilitiesTest, FingerprintsCompareByteByByte) {
  CFingerPrint empty;
  for (int i = 0; i < CFingerPrint::Size; ++i) EXPECT_EQ(empty.GetData()[i], 0);

  std::ofstream(dir_ / "a.txt") << "abc";
  std::ofstream(dir_ / "b.txt") << "abc";
  std::ofstream(dir_ / "c.txt") << "abd";
  CFingerPrint a, b, c;
  ASSERT_TRUE(a.FromFile((dir_ / "a.txt").c_str()));
  ASSERT_TRUE(b.FromFile((dir_ / "b.txt").c_str()));
  ASSERT_TRUE(c.FromFile((dir_ / "c.txt").c_str()));
  // MD5("abc") = 900150983cd24fb0d6963f7d28e17f72 (RFC 1321, appendix A.5).
  const BYTE md5abc[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                           0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
  EXPECT_EQ(std::memcmp(a.GetData(), md5abc, 16), 0);
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a != c);
  EXPECT_TRUE(a != empty);

  CFingerPrint missing = a;
  EXPECT_FALSE(missing.FromFile((dir_ / "none.txt").c_str()));
  EXPECT_TRUE(missing == empty);

  int doc1 = VIDUV_CreateDoc("root"), doc2 = VIDUV_CreateDoc("root");
  VIDUV_SetInt(VIDUV_GetRootElement(doc1), "n", 1);
  VIDUV_SetInt(VIDUV_GetRootElement(doc2), "n", 1);
  CFingerPrint e1, e2;
  ASSERT_TRUE(e1.FromElement(VIDUV_GetRootElement(doc1)));
  ASSERT_TRUE(e2.FromElement(VIDUV_GetRootElement(doc2)));
  EXPECT_TRUE(e1 == e2);
  VIDUV_SetInt(VIDUV_GetRootElement(doc2), "n", 2);
  ASSERT_TRUE(e2.FromElement(VIDUV_GetRootElement(doc2)));
  EXPECT_TRUE(e1 != e2);
  VIDUV_CloseDoc(doc1);
  VIDUV_CloseDoc(doc2);
  e2.Clear();
  EXPECT_TRUE(e2 == empty);
}

// --- Directory listing and files ---

TEST(PatternTest, StarAndQuestionMarkMatchWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"a.tqx", "*.tqx", true},
      {"A.TQX", "*.tqx", true},
      {"a.tqx.bak", "*.tqx", false},
      {"ab", "a?", true},
      {"a", "a?", false},
      {"abc", "a?", false},
      {"abc", "*", true},
      {"", "*", true},
      {"abcbc", "a*bc", true},
      {"abcbd", "a*bc", false},
      {"x", "", false},
      {"Pos1.Vrb21LkEd0.dat", "Pos1.Vrb2?Lk*0.dat", true},
      {"\xC3\xA4"
       "b",
       "?b", true},
      {"\xC3\xA4"
       "b",
       "??b", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CDirList::MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

class FileListTest : public UtilitiesTest {
 protected:
  void SetUp() override {
    UtilitiesTest::SetUp();
    for (const char* name : {"b.tqx", "A.TQX", "c.txt", "README", ".hidden.tqx"}) std::ofstream(dir_ / name) << name;
    fs::create_directories(dir_ / "d.tqx");
    folder_ = dir_.string() + "/";
  }
  std::vector<std::string> List(const std::string& pattern, DWORD mask = 0) {
    CDirList dirs;
    std::unique_ptr<CStringList> list(dirs.GetFileList(pattern.c_str(), mask));
    return ToVector(list.get());
  }
  std::string folder_;
};

TEST_F(FileListTest, ListsTheMatchesWithTheirFolder) {
  const std::string f = folder_;
  EXPECT_EQ(List(f + "*.tqx"), (std::vector<std::string>{f + ".hidden.tqx", f + "A.TQX", f + "b.tqx", f + "d.tqx"}));
  EXPECT_EQ(List(f + "*.*").size(), 6u) << "every entry, README included, but not . and ..";
  EXPECT_EQ(List(f + "*").size(), 6u);
  EXPECT_EQ(List(f + "?.t*"), (std::vector<std::string>{f + "A.TQX", f + "b.tqx", f + "c.txt", f + "d.tqx"}));
  EXPECT_TRUE(List(f + "*.pdf").empty());
  CDirList dirs;
  EXPECT_EQ(dirs.GetFileList((f + "*.pdf").c_str()), nullptr);
  EXPECT_EQ(dirs.GetFileList((f + "nowhere/*").c_str()), nullptr);
}

TEST_F(FileListTest, TheMaskKeepsEntriesSharingAnAttribute) {
  const std::string f = folder_;
  EXPECT_EQ(List(f + "*.tqx", FILE_ATTRIBUTE_DIRECTORY), std::vector<std::string>{f + "d.tqx"});
  EXPECT_EQ(List(f + "*.tqx", FILE_ATTRIBUTE_ARCHIVE),
            (std::vector<std::string>{f + ".hidden.tqx", f + "A.TQX", f + "b.tqx"}));
  EXPECT_EQ(List(f + "*.tqx", FILE_ATTRIBUTE_HIDDEN), std::vector<std::string>{f + ".hidden.tqx"});
  fs::permissions(dir_ / "b.tqx", fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(List(f + "*", FILE_ATTRIBUTE_READONLY), std::vector<std::string>{f + "b.tqx"});
}

TEST_F(FileListTest, BackslashFoldersAndTheCurrentFolder) {
  std::string windowsFolder = folder_;
  std::replace(windowsFolder.begin(), windowsFolder.end(), '/', '\\');
  EXPECT_EQ(List(windowsFolder + "b.*"), std::vector<std::string>{windowsFolder + "b.tqx"});
  CCurDirSaver saver;
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  EXPECT_EQ(List("*.txt"), std::vector<std::string>{"c.txt"});
}

TEST(SortStringListTest, SortsAscendingWithOrWithoutCase) {
  auto sorted = [](std::vector<const char*> items, int caseSensitive) {
    CStringList list;
    for (const char* s : items) list.AddTail(s);
    CDirList::SortStringList(&list, caseSensitive);
    return ToVector(&list);
  };
  EXPECT_EQ(sorted({"b", "B", "a", "C"}, 0), (std::vector<std::string>{"a", "b", "B", "C"}));
  EXPECT_EQ(sorted({"b", "B", "a", "C"}, 1), (std::vector<std::string>{"B", "C", "a", "b"}));
  EXPECT_EQ(sorted({}, 0), std::vector<std::string>{});
  CDirList::SortStringList(nullptr, 0);
}

TEST(PathPartsTest, ExtensionAndFolderPart) {
  struct Case {
    const char* path;
    const char* extension;
    const char* folder;
  };
  const Case cases[] = {
      {"a.b\\c", "b\\c", "a.b\\"},  // the last dot counts, even before a separator
      {".x", "", ""},
      {"x.", "", ""},
      {"C:\\Pos\\Stuetze.TQX", "tqx", "C:\\Pos\\"},
      {"noext", "", ""},
      {"a.b.c", "c", ""},
      {"/tmp/a/b.rtf", "rtf", "/tmp/a/"},
      {"a\\b/c", "", "a\\b/"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CDirList::GetExtension(c.path), c.extension) << c.path;
    EXPECT_EQ(CDirList::GetFolderPart(c.path), c.folder) << c.path;
  }
}

TEST_F(UtilitiesTest, FileStatusQueries) {
  fs::path file = dir_ / "f.txt";
  std::ofstream(file) << "x";
  struct timespec times[2] = {{1000000000, 0}, {1167797106, 0}};  // 2007-01-03 04:05:06 UTC
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  std::time_t modified = 0;
  EXPECT_TRUE(CDirList::GetFileModTime(file.c_str(), modified));
  EXPECT_EQ(modified, 1167797106);
  EXPECT_FALSE(CDirList::GetFileModTime((dir_ / "none").c_str(), modified));
  EXPECT_EQ(modified, 1167797106);
  EXPECT_TRUE(CDirList::FileExists(file.c_str()));
  EXPECT_FALSE(CDirList::FileExists((dir_ / "none").c_str()));
  EXPECT_TRUE(CDirList::CanOpenFile(file.c_str()));
  EXPECT_FALSE(CDirList::CanOpenFile((dir_ / "none").c_str()));
  EXPECT_FALSE(CDirList::CanOpenFile(dir_.c_str())) << "a folder is no file";
  std::string windowsPath = file.string();
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  EXPECT_TRUE(CDirList::FileExists(windowsPath.c_str()));
}

TEST_F(UtilitiesTest, CopyKeepsContentTimesAndPermissions) {
  // 200 000 bytes span four 64 KB blocks.
  std::string content(200000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = char(i * 7 % 251);
  fs::path source = dir_ / "vorlage.tqx";
  std::ofstream(source, std::ios::binary) << content;
  chmod(source.c_str(), 0640);
  struct timespec times[2] = {{1000000000, 0}, {1167797106, 500}};
  ASSERT_EQ(utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
  fs::path target = dir_ / "pos_Fund.tqx";
  std::ofstream(target) << "old content";

  ASSERT_TRUE(CDirList::CopyFileKeepStatus(target.c_str(), source.c_str()));
  EXPECT_EQ(ReadFile(target), content);
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1167797106);
  EXPECT_EQ(st.st_mtim.tv_nsec, 500);
}

TEST_F(UtilitiesTest, AFailedCopyLeavesNothingBehind) {
  fs::path source = dir_ / "s.txt";
  std::ofstream(source) << "s";
  EXPECT_FALSE(CDirList::CopyFileKeepStatus((dir_ / "t.txt").c_str(), (dir_ / "none.txt").c_str()));
  EXPECT_FALSE(fs::exists(dir_ / "t.txt"));
  EXPECT_FALSE(CDirList::CopyFileKeepStatus((dir_ / "no" / "t.txt").c_str(), source.c_str()));
  EXPECT_FALSE(CDirList::CopyFileKeepStatus((dir_ / "t.txt").c_str(), dir_.c_str())) << "a folder is no file";
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_)) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"s.txt"});
}

// --- Strings and numbers ---

TEST(SplitStringTest, PiecesAreTrimmed) {
  struct Case {
    const char* text;
    const char* separator;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"a, b ,c", ",", {"a", "b", "c"}},
      {"", ",", {}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a,", ",", {"a", ""}},
      {"  ", ",", {""}},
      {" x\t", ";", {"x"}},
      {"1 :: 2::3", "::", {"1", "2", "3"}},
      {"a,b", "", {"a,b"}},
  };
  for (const Case& c : cases) {
    CStringArray pieces;
    pieces.Add("stale");
    SplitString(c.text, c.separator, pieces);
    std::vector<std::string> got;
    for (const CString& p : pieces) got.push_back(p.str());
    EXPECT_EQ(got, c.pieces) << "'" << c.text << "'";
  }
}

TEST(NumberTest, IntegerHelpers) {
  struct Case {
    int value;
    int radix;
    const char* text;
  };
  const Case cases[] = {{255, 16, "ff"}, {-5, 10, "-5"}, {-1, 16, "ffffffff"},
                        {0, 2, "0"},     {5, 2, "101"},  {35, 36, "z"},
                        {5, 1, ""},      {5, 37, ""},    {-2147483647 - 1, 10, "-2147483648"}};
  for (const Case& c : cases) EXPECT_EQ(IntToStr(c.value, c.radix), c.text) << c.value << " radix " << c.radix;
  EXPECT_DOUBLE_EQ(IntAtan2(1, 1), M_PI / 4);
  EXPECT_DOUBLE_EQ(IntAtan2(0, -1), M_PI);
  EXPECT_DOUBLE_EQ(IntAtan2(-1, 0), -M_PI / 2);
  EXPECT_DOUBLE_EQ(IntPow(2, 10), 1024.0);
  EXPECT_DOUBLE_EQ(IntPow(2, -2), 0.25);
  EXPECT_DOUBLE_EQ(IntPow(-3, 3), -27.0);
}

TEST(ClassNameTest, ComparesTheExactRunTimeClassName) {
  CStringArray array;
  EXPECT_TRUE(IsClassName(&array, "CStringArray"));
  EXPECT_FALSE(IsClassName(&array, "CObject")) << "a base class is not the class";
  EXPECT_FALSE(IsClassName(&array, "cstringarray"));
  EXPECT_FALSE(IsClassName(nullptr, "CStringArray"));
  EXPECT_FALSE(IsClassName(&array, nullptr));
}

// --- Output files ---

TEST_F(UtilitiesTest, MissingOutputFilesGiveMessages) {
  std::string missing = (dir_ / "Pos 1.rtf").string();
  OpenWithViewer(missing.c_str());
  PrintFile(missing.c_str());
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Fehler beim Öffnen der Datei " + missing);
  EXPECT_EQ(win::msgbox::Log()[1].text, "Datei '" + missing + "' nicht gefunden!");
}

}  // namespace
