#include "framework/registry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/tolkar/tolkar.h"

namespace {

namespace fs = std::filesystem;

// Every test works on a registry file of its own, never on the user's.
class CRegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(testing::TempDir()) / ("cregistry_" + std::string(info->name()) + "_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    setenv("ORMI_REGISTRY", (dir_ / "registry.xml").c_str(), 1);
    handlesBefore_ = win::registry::OpenHandleCount();
  }
  void TearDown() override {
    EXPECT_EQ(win::registry::OpenHandleCount(), handlesBefore_) << "a key was left open";
    setenv("ORMI_REGISTRY", (dir_ / "gone" / "registry.xml").c_str(), 1);
    fs::remove_all(dir_);
  }

  // The raw bytes of a value, read past the wrapper.
  static std::vector<BYTE> RawValue(const char* keyPath, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    DWORD size = 64;
    std::vector<BYTE> data(size);
    if (RegQueryValueEx(key, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) size = 0;
    RegCloseKey(key);
    data.resize(size);
    return data;
  }

  static bool KeyExists(const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  fs::path dir_;
  std::size_t handlesBefore_ = 0;
};

TEST_F(CRegistryTest, TheCurrentUserCannotBeReachedOnAnotherMachine) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
    CRegistry reg;
    EXPECT_FALSE(reg.Connect(root, "server"));
    EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_INVALID_HANDLE));
    CString name = "old";
    reg.GetRegistryName(name);
    EXPECT_EQ(name, "");
    // No root: opening hands the null root to the registry, which refuses it.
    EXPECT_FALSE(reg.Open("software"));
    EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_INVALID_HANDLE));
  }
}

TEST_F(CRegistryTest, LocalConnectionsNameTheirRootAndMachine) {
  char host[256] = {};
  ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
  struct Case {
    HKEY root;
    const char* name;
  };
  for (const Case& c : {Case{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, Case{HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                        Case{HKEY_USERS, "HKEY_USERS"}, Case{HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}}) {
    CRegistry reg;
    ASSERT_TRUE(reg.Connect(c.root)) << c.name;
    EXPECT_EQ(reg.GetErrorCode(), 0u);
    CString name, computer;
    reg.GetRegistryName(name);
    reg.GetComputerName(computer);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(computer, host);
  }
  CRegistry remote;
  EXPECT_FALSE(remote.Connect(HKEY_LOCAL_MACHINE, "no-such-host.invalid"));
  EXPECT_EQ(remote.GetErrorCode(), DWORD(ERROR_BAD_NETPATH));
}

TEST_F(CRegistryTest, OpeningAMissingKeyLeavesNoKeyOpen) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  EXPECT_FALSE(reg.Open("software\\Ormi\\Missing", KEY_ALL_ACCESS));
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_FILE_NOT_FOUND));
  CString value = "stale";
  EXPECT_FALSE(reg.GetStringValue("Name", value));
  EXPECT_EQ(value, "");
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_INVALID_HANDLE)) << "the null key went to the registry";
}

TEST_F(CRegistryTest, ValuesOfEachKindRoundTrip) {
  {
    CRegistry reg;
    ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
    DWORD disposition = 0;
    ASSERT_TRUE(
        reg.Create("software\\Ormi\\Vernik2005", "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    CStringArray lru;
    lru.Add("C:\\Projekte\\A");
    lru.Add("C:\\Projekte\\B");
    CByteArray bytes;
    for (BYTE b : {0, 7, 255}) bytes.Add(b);
    EXPECT_TRUE(reg.SetValue("Name", CString("unbekannt")));
    EXPECT_TRUE(reg.SetValue("dispFlags", DWORD(127)));
    EXPECT_TRUE(reg.SetValue("projectLRU", lru));
    EXPECT_TRUE(reg.SetValue("bytes", bytes));
  }
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Open("SOFTWARE\\ormi\\vernik2005", KEY_READ));
  EXPECT_EQ(reg.GetNumberOfValues(), 4u);
  EXPECT_EQ(reg.GetNumberOfSubkeys(), 0u);
  CString name;
  DWORD flags = 0;
  CStringArray lru;
  CByteArray bytes;
  EXPECT_TRUE(reg.GetValue("name", name));
  EXPECT_TRUE(reg.GetValue("dispFlags", flags));
  EXPECT_TRUE(reg.GetValue("projectLRU", lru));
  EXPECT_TRUE(reg.GetValue("bytes", bytes));
  EXPECT_EQ(name, "unbekannt");
  EXPECT_EQ(flags, 127u);
  ASSERT_EQ(lru.GetSize(), 2);
  EXPECT_EQ(lru[0], "C:\\Projekte\\A");
  EXPECT_EQ(lru[1], "C:\\Projekte\\B");
  ASSERT_EQ(bytes.GetSize(), 3);
  EXPECT_EQ(bytes[2], 255);
  // The registry's type is reported whatever was asked for.
  DWORD type = REG_BINARY, size = 0;
  EXPECT_TRUE(reg.QueryValue("Name", type, nullptr, &size));
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_EQ(size, 10u);  // "unbekannt" and its terminator
  // A missing value: false, and the readers but the string reader leave their target alone.
  DWORD keep = 5;
  EXPECT_FALSE(reg.GetDoubleWordValue("missing", keep));
  EXPECT_EQ(keep, 5u);
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(CRegistryTest, StringArraysAreStoredAsZeroSeparatedBytes) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("software\\Ormi"));
  CStringArray two;
  two.Add("x");
  two.Add("yz");
  ASSERT_TRUE(reg.SetStringArrayValue("list", two));
  EXPECT_EQ(RawValue("software\\Ormi", "list"), (std::vector<BYTE>{'x', 0, 'y', 'z', 0, 0}));
  ASSERT_TRUE(reg.SetStringArrayValue("empty", CStringArray()));
  EXPECT_EQ(RawValue("software\\Ormi", "empty"), (std::vector<BYTE>{0}));

  ASSERT_TRUE(reg.Open("software\\Ormi"));  // the readers are sized by the counters that Open refreshes
  CStringArray back;
  back.Add("old");
  ASSERT_TRUE(reg.GetStringArrayValue("list", back));
  ASSERT_EQ(back.GetSize(), 2);
  EXPECT_EQ(back[0], "x");
  EXPECT_EQ(back[1], "yz");
  ASSERT_TRUE(reg.GetStringArrayValue("empty", back));
  EXPECT_EQ(back.GetSize(), 0);
}

TEST_F(CRegistryTest, ReadersSizedByTheLastQueryInfoMissLongerValues) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("software\\Sized"));
  CByteArray bytes;
  bytes.Add(1);
  bytes.Add(2);
  ASSERT_TRUE(reg.SetBinaryValue("b", bytes));
  // Create leaves the counters at 0: the reader's buffer holds no byte.
  CByteArray back;
  back.Add(9);
  EXPECT_FALSE(reg.GetBinaryValue("b", back));
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_MORE_DATA));
  EXPECT_EQ(back.GetSize(), 1);
  ASSERT_TRUE(reg.Open("software\\Sized"));
  ASSERT_TRUE(reg.GetBinaryValue("b", back));
  ASSERT_EQ(back.GetSize(), 2);
  EXPECT_EQ(back[1], 2);
}

TEST_F(CRegistryTest, TextsWithoutTerminatorAreReadNoFurtherThanStored) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("software\\Raw"));
  const BYTE abc[] = {'a', 'b', 'c'};
  ASSERT_TRUE(reg.SetValue("text", REG_SZ, abc, 3));
  ASSERT_TRUE(reg.SetValue("list", REG_MULTI_SZ, abc, 3));
  ASSERT_TRUE(reg.Open("software\\Raw"));
  CString text;
  ASSERT_TRUE(reg.GetStringValue("text", text));
  EXPECT_EQ(text, "abc");
  CStringArray list;
  ASSERT_TRUE(reg.GetStringArrayValue("list", list));
  ASSERT_EQ(list.GetSize(), 1);
  EXPECT_EQ(list[0], "abc");
}

TEST_F(CRegistryTest, DeletingATwoLevelPathLeavesTheObjectOnTheParent) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("a\\b"));
  ASSERT_TRUE(reg.Create("x"));
  ASSERT_TRUE(reg.DeleteKey("a\\b"));
  CString keyName;
  reg.GetKeyName(keyName);
  EXPECT_EQ(keyName, "a");
  EXPECT_TRUE(KeyExists("a"));
  EXPECT_FALSE(KeyExists("a\\b"));

  // A name without '\' is a subkey of the open key.
  ASSERT_TRUE(reg.Create("c\\d"));
  ASSERT_TRUE(reg.Open("c"));
  EXPECT_TRUE(reg.DeleteKey("d"));
  EXPECT_FALSE(KeyExists("c\\d"));
  EXPECT_FALSE(reg.DeleteKey("d"));
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(CRegistryTest, DeletingUnderAMissingParentKeepsTheKeyName) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("x"));
  EXPECT_FALSE(reg.DeleteKey("missing\\child"));
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_FILE_NOT_FOUND));
  CString keyName;
  reg.GetKeyName(keyName);
  EXPECT_EQ(keyName, "x");
}

TEST_F(CRegistryTest, EnumerationThroughTheWrapper) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("root\\b", "KlasseB"));
  ASSERT_TRUE(reg.Create("root\\a"));
  ASSERT_TRUE(reg.Open("root"));
  CString name, className;
  ASSERT_TRUE(reg.EnumerateKeys(0, name, className));
  EXPECT_EQ(name, "a");
  EXPECT_EQ(className, "");
  ASSERT_TRUE(reg.EnumerateKeys(1, name, className));
  EXPECT_EQ(name, "b");
  EXPECT_EQ(className, "KlasseB");
  EXPECT_FALSE(reg.EnumerateKeys(2, name, className));
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_NO_MORE_ITEMS));

  ASSERT_TRUE(reg.SetDoubleWordValue("eins", 1));
  DWORD type = 0, value = 0, size = sizeof value;
  ASSERT_TRUE(reg.EnumerateValues(0, name, type, reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(name, "eins");
  EXPECT_EQ(type, DWORD(REG_DWORD));
  EXPECT_EQ(value, 1u);
  EXPECT_FALSE(reg.EnumerateValues(1, name, type, nullptr, nullptr));
  EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_NO_MORE_ITEMS));
  EXPECT_TRUE(reg.DeleteValue("eins"));
  EXPECT_FALSE(reg.DeleteValue("eins"));
  EXPECT_TRUE(reg.Flush());
}

TEST_F(CRegistryTest, NullArgumentsGiveInvalidParameter) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("k"));
  CString s;
  CStringArray a;
  CByteArray b;
  DWORD d = 0, type = 0;
  BYTE byte = 0;
  const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
      {"Create", [&] { return reg.Create(nullptr); }},
      {"DeleteKey", [&] { return reg.DeleteKey(nullptr); }},
      {"GetBinaryValue", [&] { return reg.GetBinaryValue(nullptr, b); }},
      {"GetDoubleWordValue", [&] { return reg.GetDoubleWordValue(nullptr, d); }},
      {"GetStringValue", [&] { return reg.GetStringValue(nullptr, s); }},
      {"GetStringArrayValue", [&] { return reg.GetStringArrayValue(nullptr, a); }},
      {"GetValue(array)", [&] { return reg.GetValue(nullptr, a); }},
      {"GetValue(string)", [&] { return reg.GetValue(nullptr, s); }},
      {"GetValue(dword)", [&] { return reg.GetValue(nullptr, d); }},
      {"GetValue(bytes)", [&] { return reg.GetValue(nullptr, b); }},
      {"GetSecurity", [&] { return reg.GetSecurity(0, nullptr, &d); }},
      {"Load", [&] { return reg.Load("k", nullptr); }},
      {"QueryValue", [&] { return reg.QueryValue(nullptr, type, &byte, &d); }},
      {"Replace", [&] { return reg.Replace("k", "new", nullptr); }},
      {"Restore", [&] { return reg.Restore(nullptr); }},
      {"Save", [&] { return reg.Save(nullptr); }},
      {"SetBinaryValue", [&] { return reg.SetBinaryValue(nullptr, b); }},
      {"SetDoubleWordValue", [&] { return reg.SetDoubleWordValue(nullptr, 1); }},
      {"SetSecurity", [&] { return reg.SetSecurity(0, nullptr); }},
      {"SetStringValue", [&] { return reg.SetStringValue(nullptr, s); }},
      {"SetStringArrayValue", [&] { return reg.SetStringArrayValue(nullptr, a); }},
      {"SetValue(raw name)", [&] { return reg.SetValue(nullptr, REG_BINARY, &byte, 1); }},
      {"SetValue(raw data)", [&] { return reg.SetValue("n", REG_BINARY, nullptr, 0); }},
      {"SetValue(string)", [&] { return reg.SetValue(nullptr, s); }},
      {"SetValue(array)", [&] { return reg.SetValue(nullptr, a); }},
      {"SetValue(dword)", [&] { return reg.SetValue(nullptr, DWORD(1)); }},
      {"SetValue(bytes)", [&] { return reg.SetValue(nullptr, b); }},
      {"UnLoad", [&] { return reg.UnLoad(nullptr); }},
  };
  for (const auto& [name, call] : calls) {
    EXPECT_FALSE(call()) << name;
    EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_INVALID_PARAMETER)) << name;
  }
  EXPECT_FALSE(KeyExists("k\\n")) << "nothing was written";
}

TEST_F(CRegistryTest, HiveFilesNotificationAndSecurityAreNotAvailable) {
  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("k"));
  int descriptor = 0;
  DWORD size = 0;
  SECURITY_INFORMATION info = 0;
  const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
      {"Load", [&] { return reg.Load("k", "file"); }},
      {"UnLoad", [&] { return reg.UnLoad("k"); }},
      {"Save", [&] { return reg.Save("file"); }},
      {"Restore", [&] { return reg.Restore("file"); }},
      {"Replace", [&] { return reg.Replace("k", "new", "old"); }},
      {"NotifyChange", [&] { return reg.NotifyChange(nullptr, REG_NOTIFY_CHANGE_LAST_SET, true, false); }},
      {"GetSecurity", [&] { return reg.GetSecurity(0, &descriptor, &size); }},
      {"SetSecurity", [&] { return reg.SetSecurity(info, &descriptor); }},
  };
  for (const auto& [name, call] : calls) {
    EXPECT_FALSE(call()) << name;
    EXPECT_EQ(reg.GetErrorCode(), DWORD(ERROR_CALL_NOT_IMPLEMENTED)) << name;
  }
}

TEST_F(CRegistryTest, CloseWithoutConnectionSucceedsAndCloseResetsTheObject) {
  CRegistry never;
  EXPECT_TRUE(never.Close());

  CRegistry reg;
  ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
  ASSERT_TRUE(reg.Create("software\\Ormi", "Klasse"));
  ASSERT_TRUE(reg.SetDoubleWordValue("v", 1));
  ASSERT_TRUE(reg.Open("software\\Ormi"));
  EXPECT_EQ(reg.GetNumberOfValues(), 1u);
  ASSERT_TRUE(reg.Close());
  CString keyName, registryName, className;
  reg.GetKeyName(keyName);
  reg.GetRegistryName(registryName);
  reg.GetClassName(className);
  EXPECT_EQ(keyName, "");
  EXPECT_EQ(registryName, "");
  EXPECT_EQ(className, "");
  EXPECT_EQ(reg.GetNumberOfValues(), 0u);
  // Closed: the object no longer reaches the registry.
  EXPECT_FALSE(reg.Open("software\\Ormi"));
}

TEST_F(CRegistryTest, TheDestructorClosesTheRootAndTheOpenKey) {
  std::size_t before = win::registry::OpenHandleCount();
  {
    CRegistry reg;
    ASSERT_TRUE(reg.Connect(HKEY_LOCAL_MACHINE));  // a connection of its own
    ASSERT_TRUE(reg.Create("software"));
    EXPECT_EQ(win::registry::OpenHandleCount(), before + 2);
  }
  EXPECT_EQ(win::registry::OpenHandleCount(), before);
}

TEST_F(CRegistryTest, RunTimeClasses) {
  CRegistry reg;
  EXPECT_STREQ(reg.GetRuntimeClass()->m_lpszClassName, "CRegistry");
  EXPECT_EQ(reg.GetRuntimeClass()->m_wSchema, 0xFFFFu);
  EXPECT_TRUE(reg.IsKindOf(RUNTIME_CLASS(CObject)));
  CRegistryException e;
  EXPECT_STREQ(e.GetRuntimeClass()->m_lpszClassName, "CRegistryException");
  EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CException)));
}

TEST_F(CRegistryTest, TheLocalisationLanguageComesFromTheRegistry) {
  const char* area = "Ormi Eingabe";
  // An area that only this run of the test uses, since a language once set stays set in the process.
  static int run = 0;
  const std::string ownArea = "Bereich " + std::to_string(++run);
  tolkar::Reload();
  EXPECT_STREQ(tolkar::GetLanguage(area), "deutsch") << "nothing stored";
  {
    CRegistry reg;
    ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
    ASSERT_TRUE(reg.Create("software\\Ormi\\TOLK"));
    ASSERT_TRUE(reg.SetStringValue(area, "englisch"));
    ASSERT_TRUE(reg.SetStringValue(ownArea.c_str(), "franz\xC3\xB6sisch"));
  }
  tolkar::Reload();
  EXPECT_STREQ(tolkar::GetLanguage(area), "englisch");
  EXPECT_STREQ(tolkar::GetLanguage("Ormi Ausgabe"), "deutsch") << "another area has no value";
  // A language set by the program wins over the stored one.
  EXPECT_STREQ(tolkar::GetLanguage(ownArea.c_str()), "franz\xC3\xB6sisch");
  tolkar::SetLanguage(ownArea.c_str(), "deutsch");
  EXPECT_STREQ(tolkar::GetLanguage(ownArea.c_str()), "deutsch");
  tolkar::Reload();
}

}  // namespace
