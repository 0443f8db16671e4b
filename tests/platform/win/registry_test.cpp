#include "platform/win/base/registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/dead_pid.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;

// The bytes of a literal without its implicit terminator ("ab\0" gives a, b, 0).
template <std::size_t N>
Bytes B(const char (&text)[N]) {
  return Bytes(text, text + N - 1);
}

// Every test works on a registry file of its own in the temporary folder, never on the user's.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(testing::TempDir()) / ("registry_" + std::string(info->name()) + "_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    UseFile(dir_ / "registry.xml");
    handlesBefore_ = win::registry::OpenHandleCount();
  }
  void TearDown() override {
    EXPECT_EQ(win::registry::OpenHandleCount(), handlesBefore_) << "a key was left open";
    UseFile(dir_ / "gone" / "registry.xml");
    fs::remove_all(dir_);
  }
  void UseFile(const fs::path& file) {
    file_ = file;
    setenv("ORMI_REGISTRY", file.c_str(), 1);
  }
  // Makes the next call read the file afresh, as another process would.
  void ForceReload() {
    fs::path file = file_;
    UseFile(dir_ / "elsewhere.xml");
    EXPECT_EQ(win::registry::FilePath(), (dir_ / "elsewhere.xml").string());
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "x", 0, KEY_READ, &k), LONG(ERROR_FILE_NOT_FOUND));
    UseFile(file);
  }

  static HKEY Create(const char* path, HKEY root = HKEY_CURRENT_USER, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition), 0L) << path;
    return key;
  }
  static void Set(HKEY key, const char* name, DWORD type, const Bytes& data) {
    EXPECT_EQ(RegSetValueEx(key, name, 0, type, data.data(), DWORD(data.size())), 0L) << name;
  }
  // The stored type and bytes; type REG_NONE with no bytes when the query fails.
  static std::pair<DWORD, Bytes> Get(HKEY key, const char* name) {
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {REG_NONE, {}};
    Bytes data(size + 1);
    if (RegQueryValueEx(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return {REG_NONE, {}};
    data.resize(size);
    return {type, data};
  }
  static std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD size = sizeof name;
      LONG rc = RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
      if (rc == LONG(ERROR_NO_MORE_ITEMS)) break;
      EXPECT_EQ(rc, 0L);
      if (rc) break;
      EXPECT_EQ(size, std::strlen(name));
      names.push_back(name);
    }
    return names;
  }
  static std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD size = sizeof name;
      LONG rc = RegEnumValue(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
      if (rc == LONG(ERROR_NO_MORE_ITEMS)) break;
      EXPECT_EQ(rc, 0L);
      if (rc) break;
      names.push_back(name);
    }
    return names;
  }
  static std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // Runs `child` in a forked process; its result becomes the exit code (0 = all went well).
  static int InChild(const std::function<bool()>& child) {
    pid_t pid = fork();
    if (pid == 0) _exit(child() ? 0 : 1);
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
  }

  fs::path dir_;
  fs::path file_;
  std::size_t handlesBefore_ = 0;
};

struct TypedValue {
  const char* name;
  DWORD type;
  Bytes data;
};

// Every value type, with texts that need escaping or cannot stand as XML text at all.
const std::vector<TypedValue>& SampleValues() {
  static const std::vector<TypedValue> values = {
      {"Name", REG_SZ, B("M\xC3\xBCller & <S\xC3\xB6hne> \"a\"\n\tb\r\0")},
      {"Pfad", REG_EXPAND_SZ, B("%HOME%\\ormi\0")},
      {"Zahl", REG_DWORD, {0xEF, 0xBE, 0xAD, 0xDE}},
      {"Bytes", REG_BINARY, {0x00, 0x01, 0x7F, 0x80, 0xFF, 0x00}},
      {"Leer", REG_BINARY, {}},
      {"Liste", REG_MULTI_SZ, B("x\0yz\0\0")},
      {"LeereListe", REG_MULTI_SZ, {0}},
      {"Ansi", REG_SZ,
       B("Gr\xF6\xDF"
         "e\0")},                       // Windows-1252, not UTF-8
      {"Ohne Ende", REG_SZ, B("abc")},  // no terminator
      {"Kurz", REG_DWORD, {1, 2}},      // a DWORD of two bytes
      {"Gross", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"", REG_SZ, B("Vorgabe\0")},  // the key's default value
  };
  return values;
}

TEST_F(RegistryTest, ValuesOfEveryTypePersistAcrossProcesses) {
  // The parent has read the file before the child writes: it must notice the child's file.
  HKEY key = Create("software\\Ormi\\Test");
  Set(key, "Zahl", REG_DWORD, {1, 0, 0, 0});
  ASSERT_EQ(Get(key, "Zahl").second, (Bytes{1, 0, 0, 0}));

  int rc = InChild([] {
    HKEY child = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Ormi\\Test", 0, KEY_ALL_ACCESS, &child) != 0) return false;
    for (const auto& v : SampleValues())
      if (RegSetValueEx(child, v.name, 0, v.type, v.data.data(), DWORD(v.data.size())) != 0) return false;
    return RegCloseKey(child) == 0;
  });
  ASSERT_EQ(rc, 0);

  for (const auto& v : SampleValues()) {
    auto [type, data] = Get(key, v.name);
    EXPECT_EQ(type, v.type) << v.name;
    EXPECT_EQ(data, v.data) << v.name;
  }
  EXPECT_EQ(RegCloseKey(key), 0L);
}

TEST_F(RegistryTest, TheFileStaysReadableText) {
  HKEY key = Create("software\\Ormi");
  Set(key, "Name", REG_SZ, B("M\xC3\xBCller\0"));
  Set(key, "dispFlags", REG_DWORD, {127, 0, 0, 0});
  RegCloseKey(key);
  std::string text = ReadFile(file_);
  EXPECT_NE(text.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), std::string::npos);
  EXPECT_NE(text.find("M\xC3\xBCller"), std::string::npos);
  EXPECT_NE(text.find("\"127\""), std::string::npos);
  // Nothing is left behind beside the file but its lock.
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_TRUE(entry.path() == file_ || entry.path().string() == file_.string() + ".lock") << entry.path();
}

TEST_F(RegistryTest, SettingAValueToWhatItHoldsLeavesTheFileAlone) {
  // A second name for the file: a rewrite replaces the file behind the registry's name and leaves it alone.
  HKEY key = Create("software\\Ormi");
  Set(key, "dispFlags", REG_DWORD, {127, 0, 0, 0});
  const fs::path link = dir_ / "link.xml";
  fs::create_hard_link(file_, link);
  Set(key, "dispFlags", REG_DWORD, {127, 0, 0, 0});
  EXPECT_EQ(fs::hard_link_count(file_), 2u);
  Set(key, "dispFlags", REG_DWORD, {128, 0, 0, 0});
  EXPECT_EQ(fs::hard_link_count(file_), 1u);
  EXPECT_EQ(Get(key, "dispFlags").second, (Bytes{128, 0, 0, 0}));
  RegCloseKey(key);
  fs::remove(link);
}

TEST_F(RegistryTest, WritersInTwoProcessesLoseNothing) {
  // Both write into the same file at the same time; each change must survive the other's.
  constexpr int kEach = 30;
  auto writeMany = [](const char* prefix) {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, "software\\Ormi\\Race", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                       nullptr) != 0)
      return false;
    for (int i = 0; i < kEach; ++i) {
      std::string name = prefix + std::to_string(i);
      DWORD v = DWORD(i);
      if (RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4) != 0) return false;
    }
    return RegCloseKey(key) == 0;
  };
  pid_t pid = fork();
  if (pid == 0) _exit(writeMany("child") ? 0 : 1);
  EXPECT_TRUE(writeMany("parent"));
  int status = -1;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  HKEY key = Create("software\\Ormi\\Race");
  EXPECT_EQ(ValueNames(key).size(), std::size_t(2 * kEach));
  EXPECT_EQ(Get(key, "child29").second, (Bytes{29, 0, 0, 0}));
  EXPECT_EQ(Get(key, "parent0").second, (Bytes{0, 0, 0, 0}));
  RegCloseKey(key);
}

TEST_F(RegistryTest, WritersInSeveralThreadsLoseNothing) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      HKEY key = nullptr;
      RegCreateKeyEx(HKEY_CURRENT_USER, "software\\Threads", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
      for (int i = 0; i < 20; ++i) {
        std::string name = "t" + std::to_string(t) + "_" + std::to_string(i);
        RegSetValueEx(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("v"), 2);
      }
      RegCloseKey(key);
    });
  for (auto& t : threads) t.join();
  ForceReload();
  HKEY key = Create("software\\Threads");
  EXPECT_EQ(ValueNames(key).size(), 80u);
  RegCloseKey(key);
}

TEST_F(RegistryTest, NamesMatchWithoutRegardToCaseAndKeepTheirFirstCase) {
  HKEY key = Create("Software\\Ormi\\Vernik2005\\\xC3\x84mter");
  Set(key, "ProjectDir", REG_SZ, B("C:\0"));
  RegCloseKey(key);

  HKEY same = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\ormi\\VERNIK2005\\\xC3\xA4MTER", 0, KEY_ALL_ACCESS, &same), 0L);
  EXPECT_EQ(Get(same, "projectdir").second, B("C:\0"));
  Set(same, "PROJECTDIR", REG_SZ, B("D:\0"));
  EXPECT_EQ(ValueNames(same), std::vector<std::string>{"ProjectDir"});
  EXPECT_EQ(Get(same, "ProjectDir").second, B("D:\0"));
  RegCloseKey(same);

  DWORD disposition = 0;
  HKEY again = Create("software\\ORMI", HKEY_CURRENT_USER, &disposition);
  EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(SubkeyNames(again), std::vector<std::string>{"Vernik2005"});
  RegCloseKey(again);
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER), std::vector<std::string>{"Software"});

  // The same after reading the file afresh.
  ForceReload();
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER), std::vector<std::string>{"Software"});
}

TEST_F(RegistryTest, NamesWithAnsiBytesAndControlCharactersSurviveTheFile) {
  const char* keyName = "K\xE4se\x02";
  const char* valueName =
      "Gr\xF6\xDF"
      "e\x01\x7F<&>\"";
  HKEY key = Create(keyName);
  Set(key, valueName, REG_DWORD, {3, 0, 0, 0});
  RegCloseKey(key);
  ForceReload();
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER), std::vector<std::string>{keyName});
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &again), 0L);
  EXPECT_EQ(ValueNames(again), std::vector<std::string>{valueName});
  RegCloseKey(again);
  EXPECT_FALSE(fs::exists(file_.string() + ".bad"));
}

TEST_F(RegistryTest, RootsAreSeparateTrees) {
  HKEY user = Create("software\\Ormi", HKEY_CURRENT_USER);
  RegCloseKey(user);
  HKEY machine = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "software\\Ormi", 0, KEY_READ, &machine), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(machine, nullptr);
}

TEST_F(RegistryTest, EnumerationGivesSubkeysByNameAndValuesInWrittenOrder) {
  HKEY key = Create("software\\Enum");
  for (const char* name : {"b", "A", "c"}) RegCloseKey(Create(name, key));
  for (const char* name : {"zeta", "Alpha", "mid"}) Set(key, name, REG_SZ, B("1\0"));
  Set(key, "ALPHA", REG_SZ, B("2\0"));  // rewriting keeps the place
  EXPECT_EQ(SubkeyNames(key), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"zeta", "Alpha", "mid"}));

  // Too small buffers: the name needs 5 characters with its terminator; the data 2 bytes.
  char name[8];
  DWORD nameSize = 4;
  EXPECT_EQ(RegEnumValue(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), LONG(ERROR_MORE_DATA));
  BYTE data[1];
  DWORD dataSize = 1, type = 0;
  nameSize = sizeof name;
  EXPECT_EQ(RegEnumValue(key, 1, name, &nameSize, nullptr, &type, data, &dataSize), LONG(ERROR_MORE_DATA));
  EXPECT_EQ(dataSize, 2u);
  nameSize = 1;
  EXPECT_EQ(RegEnumKeyEx(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), LONG(ERROR_MORE_DATA));

  // The key's counters: 3 subkeys (longest name 1), 3 values (longest name "Alpha": 5, longest data 2 bytes).
  DWORD subkeys = 0, longestSub = 0, values = 0, longestName = 0, longestData = 0;
  FILETIME written{};
  ASSERT_EQ(RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subkeys, &longestSub, nullptr, &values, &longestName,
                            &longestData, nullptr, &written),
            0L);
  EXPECT_EQ(subkeys, 3u);
  EXPECT_EQ(longestSub, 1u);
  EXPECT_EQ(values, 3u);
  EXPECT_EQ(longestName, 5u);
  EXPECT_EQ(longestData, 2u);
  // Written after 2020-01-01 (FILETIME 132223104000000000).
  EXPECT_GT((std::uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime, 132223104000000000ull);
  RegCloseKey(key);
}

TEST_F(RegistryTest, QueryReportsSizesAndRefusesSmallBuffers) {
  HKEY key = Create("software\\Query");
  Set(key, "Text", REG_SZ, B("abcdef\0"));
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "Text", nullptr, &type, nullptr, &size), 0L);
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_EQ(size, 7u);
  char small[4] = {'-', '-', '-', '-'};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueEx(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
            LONG(ERROR_MORE_DATA));
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(small[0], '-') << "a refused query writes nothing";
  EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, &type, nullptr, &size), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegQueryValueEx(key, "Text", nullptr, &type, reinterpret_cast<BYTE*>(small), nullptr),
            LONG(ERROR_INVALID_PARAMETER));
  // A null name is the default value.
  Set(key, nullptr, REG_SZ, B("d\0"));
  EXPECT_EQ(Get(key, "").second, B("d\0"));
  RegCloseKey(key);
}

TEST_F(RegistryTest, DeletionRemovesValuesAndLeafKeys) {
  HKEY key = Create("software\\Del\\Leaf");
  Set(key, "v", REG_DWORD, {1, 0, 0, 0});
  Set(key, "w", REG_DWORD, {2, 0, 0, 0});
  EXPECT_EQ(RegDeleteValue(key, "V"), 0L);
  EXPECT_EQ(RegDeleteValue(key, "v"), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"w"});

  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software", 0, KEY_ALL_ACCESS, &parent), 0L);
  EXPECT_EQ(RegDeleteKey(parent, "Del"), LONG(ERROR_ACCESS_DENIED)) << "a key with subkeys stays";
  EXPECT_EQ(RegDeleteKey(parent, "Del\\Missing"), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegDeleteKey(parent, "del\\LEAF"), 0L);
  EXPECT_EQ(Get(key, "w").first, DWORD(REG_NONE));
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueEx(key, "w", nullptr, &type, nullptr, nullptr), LONG(ERROR_KEY_DELETED));
  EXPECT_EQ(RegDeleteKey(parent, ""), LONG(ERROR_INVALID_PARAMETER));
  RegCloseKey(key);

  ForceReload();
  EXPECT_EQ(SubkeyNames(parent), std::vector<std::string>{"Del"});
  HKEY del = nullptr;
  ASSERT_EQ(RegOpenKeyEx(parent, "Del", 0, KEY_READ, &del), 0L);
  EXPECT_TRUE(SubkeyNames(del).empty());
  RegCloseKey(del);
  RegCloseKey(parent);
}

TEST_F(RegistryTest, ReadOnlyKeysRefuseChanges) {
  RegCloseKey(Create("software\\ReadOnly"));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\ReadOnly", 0, KEY_READ, &key), 0L);
  DWORD v = 5;
  EXPECT_EQ(RegSetValueEx(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4), LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteValue(key, "v"), LONG(ERROR_ACCESS_DENIED));
  HKEY sub = nullptr;
  EXPECT_EQ(RegCreateKeyEx(key, "sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
            LONG(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(SubkeyNames(key).empty());
  RegCloseKey(key);
}

TEST_F(RegistryTest, CorruptFileIsKeptAsideAndTheTreeStartsEmpty) {
  const std::string garbage = "<registry><hive name=\"HKEY_CURRENT_USER\"><key name=";
  std::ofstream(file_) << garbage;
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software", 0, KEY_READ, &key), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ReadFile(file_.string() + ".bad"), garbage);
  EXPECT_FALSE(fs::exists(file_));

  // Writing starts a sound file again.
  key = Create("software\\Neu");
  Set(key, "a", REG_DWORD, {7, 0, 0, 0});
  RegCloseKey(key);
  ForceReload();
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Neu", 0, KEY_READ, &again), 0L);
  EXPECT_EQ(Get(again, "a").second, (Bytes{7, 0, 0, 0}));
  RegCloseKey(again);
}

TEST_F(RegistryTest, WellFormedXmlWithBadContentCountsAsCorrupt) {
  const char* cases[] = {
      "<other/>",
      "<registry><hive name=\"HKEY_NOWHERE\"/></registry>",
      "<registry><hive name=\"HKEY_CURRENT_USER\"><value name=\"n\" type=\"REG_DWORD\" dword=\"12x\"/></hive>"
      "</registry>",
      "<registry><hive name=\"HKEY_CURRENT_USER\"><value name=\"n\" type=\"REG_BINARY\" hex=\"0g\"/></hive>"
      "</registry>",
      "<registry><hive name=\"HKEY_CURRENT_USER\"><key name=\"a\"/><key name=\"A\"/></hive></registry>",
      "",
  };
  for (const char* text : cases) {
    std::ofstream(file_, std::ios::trunc) << text;
    fs::remove(file_.string() + ".bad");
    ForceReload();
    EXPECT_TRUE(SubkeyNames(HKEY_CURRENT_USER).empty()) << text;
    EXPECT_TRUE(fs::exists(file_.string() + ".bad")) << text;
  }
}

TEST_F(RegistryTest, AFileThatCannotBeWrittenDropsTheChange) {
  std::ofstream(dir_ / "plain") << "x";
  UseFile(dir_ / "plain" / "registry.xml");  // a folder that cannot exist
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            LONG(ERROR_REGISTRY_IO_FAILED));
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software", 0, KEY_READ, &key), LONG(ERROR_FILE_NOT_FOUND));
}

// Another process holds the registry's lock (a run stopped while it wrote the file): a change waits for it to be let
// go, and drops the change, the file as it was, once it was held for the whole wait of a save (3 s) instead of waiting
// for ever.
TEST_F(RegistryTest, AChangeWaitsABoundedTimeForTheLockOfAnotherProcess) {
  HKEY key = Create("software\\Ormi");
  Set(key, "Stand", REG_SZ, B("vorher\0"));
  RegCloseKey(key);
  const struct {
    const char* name;
    bool letGo;
  } cases[] = {{"let go after a moment", true}, {"held for good", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = ReadFile(file_);
    const int held = ::open((file_.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const pid_t writer = fork();
    if (writer == 0) {
      ::close(held);  // the parent's lock, which this copy of its descriptor would keep after the parent let go
      ::alarm(30);    // a change that waits for ever fails the test instead of holding it
      HKEY k = nullptr;
      const DWORD value = c.letGo ? 7 : 8;
      const auto start = std::chrono::steady_clock::now();
      LSTATUS rc = RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Ormi", 0, KEY_ALL_ACCESS, &k);
      if (rc == ERROR_SUCCESS) rc = RegSetValueEx(k, "Neu", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
      const auto took = std::chrono::steady_clock::now() - start;
      if (k) RegCloseKey(k);
      const bool inTime = took >= std::chrono::milliseconds(2900) && took < std::chrono::seconds(10);
      _exit(rc == ERROR_SUCCESS ? 0 : rc == LSTATUS(ERROR_REGISTRY_IO_FAILED) && inTime ? 1 : 2);
    }
    ASSERT_GT(writer, 0);
    if (c.letGo) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      ::close(held);
    }
    int status = -1;
    waitpid(writer, &status, 0);
    if (!c.letGo) ::close(held);
    ASSERT_TRUE(WIFEXITED(status)) << "the change did not end by itself (it waited for ever)";
    EXPECT_EQ(WEXITSTATUS(status), c.letGo ? 0 : 1) << "1: dropped after the wait; 2: another failure or time";
    EXPECT_EQ(ReadFile(file_) == before, !c.letGo);
  }
}

TEST_F(RegistryTest, HandlesAndUnsupportedCalls) {
  HKEY bogus = reinterpret_cast<HKEY>(std::uintptr_t(0x7654321));
  EXPECT_EQ(RegCloseKey(bogus), LONG(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), 0L);
  HKEY k = nullptr;
  EXPECT_EQ(RegOpenKeyEx(nullptr, "x", 0, KEY_READ, &k), LONG(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegFlushKey(bogus), LONG(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegFlushKey(HKEY_CURRENT_USER), 0L);

  // A local connection is a key of its own, closed like any other.
  std::size_t before = win::registry::OpenHandleCount();
  HKEY machine = nullptr;
  ASSERT_EQ(RegConnectRegistry(nullptr, HKEY_LOCAL_MACHINE, &machine), 0L);
  EXPECT_EQ(win::registry::OpenHandleCount(), before + 1);
  EXPECT_EQ(RegCloseKey(machine), 0L);
  EXPECT_EQ(RegConnectRegistry("\\\\no-such-host.invalid", HKEY_LOCAL_MACHINE, &machine), LONG(ERROR_BAD_NETPATH));
  EXPECT_EQ(RegConnectRegistry(nullptr, bogus, &machine), LONG(ERROR_INVALID_HANDLE));

  const LONG notImplemented = ERROR_CALL_NOT_IMPLEMENTED;
  EXPECT_EQ(RegLoadKey(HKEY_USERS, "x", "f"), notImplemented);
  EXPECT_EQ(RegUnLoadKey(HKEY_USERS, "x"), notImplemented);
  EXPECT_EQ(RegReplaceKey(HKEY_CURRENT_USER, "x", "a", "b"), notImplemented);
  EXPECT_EQ(RegRestoreKey(HKEY_CURRENT_USER, "f", 0), notImplemented);
  EXPECT_EQ(RegSaveKey(HKEY_CURRENT_USER, "f", nullptr), notImplemented);
  EXPECT_EQ(RegNotifyChangeKeyValue(HKEY_CURRENT_USER, TRUE, REG_NOTIFY_CHANGE_LAST_SET, nullptr, FALSE),
            notImplemented);
  DWORD size = 0;
  int descriptor = 0;
  EXPECT_EQ(RegGetKeySecurity(HKEY_CURRENT_USER, 0, &descriptor, &size), notImplemented);
  EXPECT_EQ(RegSetKeySecurity(HKEY_CURRENT_USER, 0, &descriptor), notImplemented);
  EXPECT_FALSE(fs::exists(file_)) << "nothing was written";
}

TEST_F(RegistryTest, ComputerNameReportsTheSizeItNeeds) {
  char host[256] = {};
  ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
  char tiny[1];
  DWORD size = sizeof tiny;
  EXPECT_FALSE(GetComputerName(tiny, &size));
  EXPECT_EQ(size, std::strlen(host) + 1);
  std::vector<char> buffer(size);
  EXPECT_TRUE(GetComputerName(buffer.data(), &size));
  EXPECT_EQ(size, std::strlen(host));
  EXPECT_STREQ(buffer.data(), host);
}

TEST(RegistryFileTest, PathComesFromTheEnvironmentElseTheConfigurationFolder) {
  auto saved = [](const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
  };
  auto restore = [](const char* name, const std::optional<std::string>& v) {
    if (v)
      setenv(name, v->c_str(), 1);
    else
      unsetenv(name);
  };
  auto reg = saved("ORMI_REGISTRY"), xdg = saved("XDG_CONFIG_HOME"), home = saved("HOME");

  setenv("ORMI_REGISTRY", "C:\\tmp\\r.xml", 1);
  EXPECT_EQ(win::registry::FilePath(), "C:/tmp/r.xml");
  unsetenv("ORMI_REGISTRY");
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(win::registry::FilePath(), "/cfg/ormi/registry.xml");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(win::registry::FilePath(), "/home/someone/.config/ormi/registry.xml");

  restore("ORMI_REGISTRY", reg);
  restore("XDG_CONFIG_HOME", xdg);
  restore("HOME", home);
}

}  // namespace

namespace {

std::set<std::string> EntriesOf(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// A write killed before its rename leaves its temporary in a marked folder beside the registry file. The next run
// that reads or writes that file removes those of runs that are gone, never one of a run at work, and its own write
// leaves nothing but the file and its lock.
TEST_F(RegistryTest, TheTemporariesOfKilledWritesAreRemovedByTheNextRun) {
  const std::string dead = std::to_string(test_support::DeadPid());
  const std::string atWork = ".kolumo-registry-" + std::to_string(getpid()) + "-a1B2c3";
  const struct {
    const char* name;
    bool write;
  } runs[] = {{"a run that writes", true}, {"a run that only reads", false}};
  HKEY key = Create("software");
  RegCloseKey(key);
  for (const auto& run : runs) {
    SCOPED_TRACE(run.name);
    for (const char* tail : {"-a1B2c3", "-zzzzzz"})
      ASSERT_TRUE(test_support::LeaveScratchFolder(dir_, ".kolumo-registry-" + dead + tail));
    ASSERT_TRUE(test_support::LeaveScratchFolder(dir_, atWork));
    ForceReload();  // the next run: this process reads the file as a new one does
    if (run.write) {
      key = Create("software\\Ormi");
      Set(key, "Name", REG_SZ, B("Muster\0"));
      RegCloseKey(key);
    } else {
      key = nullptr;
      EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software", 0, KEY_READ, &key), 0L);
      RegCloseKey(key);
    }
    EXPECT_EQ(EntriesOf(dir_), (std::set<std::string>{"registry.xml", "registry.xml.lock", atWork}));
    fs::remove_all(dir_ / atWork);
  }
}

}  // namespace
