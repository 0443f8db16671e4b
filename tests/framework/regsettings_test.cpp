// The user settings over a registry file of the test's own.
#include "framework/regsettings.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/rtfx/rtfx.h"
#include "tests/framework/pos_test_support.h"

namespace {

class RegSettingsTest : public pos_test::PosTest {
 protected:
  static std::string Text(const std::optional<std::pair<DWORD, std::vector<BYTE>>>& value) {
    if (!value) return "<missing>";
    std::string text(value->second.begin(), value->second.end());
    return text.substr(0, text.find('\0'));
  }
  static DWORD Dword(const std::optional<std::pair<DWORD, std::vector<BYTE>>>& value) {
    DWORD d = 0;
    if (value && value->second.size() == sizeof d) std::memcpy(&d, value->second.data(), sizeof d);
    return d;
  }
  std::string Log() const {
    std::ifstream in(folder_ / "startup.log");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
};

TEST_F(RegSettingsTest, EmptyRegistryGivesTheDefaults) {
  CRegSettings settings;
  EXPECT_EQ(settings.defaultNorm, "DIN");
  EXPECT_EQ(settings.GetDefaultNorm(), "DIN");
  EXPECT_EQ(settings.mainSplitterPos, 200);
  EXPECT_EQ(settings.leftSplitterPos, 540);
  EXPECT_EQ(settings.leftTopSplitterPos, 210);
  EXPECT_EQ(settings.ProjectDir, "C:");
  EXPECT_EQ(settings.Name, "unbekannt");
  EXPECT_EQ(settings.usermatdoc, "user.material.dat");
  EXPECT_EQ(settings.LastProject2005, "");
  EXPECT_EQ(settings.dispFlags, 127);
  EXPECT_EQ(settings.posListCol, 31);
  EXPECT_EQ(settings.animFlag, 0);
  EXPECT_EQ(settings.CreatePosWithVText, 0);
  EXPECT_TRUE(settings.bShowInfoScreen);
  EXPECT_FALSE(settings.geaendert);
  EXPECT_DOUBLE_EQ(settings.progVersion, 2.42);
  EXPECT_EQ(settings.projectLRU.GetSize(), 0);
  EXPECT_NE(settings.vorlage.Find("Standard Vorlage.rtf"), -1);
  EXPECT_NE(settings.annexoPath.Find("annexo.exe"), -1);
  // The splitter layout was missing: written as text, the keys made.
  auto vertical = RegistryValue(CRegSettings::kSuiteKey, "bLeftSplitterVertical");
  ASSERT_TRUE(vertical);
  EXPECT_EQ(vertical->first, DWORD(REG_SZ));
  EXPECT_EQ(Text(vertical), "0");
  std::string log = Log();
  for (const char* line :
       {"CRegSettings():29", "CRegSettings():50", "CRegSettings():66", "CRegSettings():86", "CRegSettings():121"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(RegSettingsTest, StoredValuesAreRead) {
  SetRegistryString(CRegSettings::kStartKey, "Name", "Ing. Muster");
  SetRegistryString(CRegSettings::kStartKey, "defaultNorm", "");  // empty reads as the default
  SetRegistryString(CRegSettings::kSuiteKey, "bShowInfoScreen", "0");
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyEx(HKEY_CURRENT_USER, CRegSettings::kSuiteKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      LSTATUS(ERROR_SUCCESS));
  DWORD value = 333;
  RegSetValueEx(key, "leftTopSplitterPos", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  value = 250;
  RegSetValueEx(key, "mainSplitterPos", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);

  CRegSettings settings;
  EXPECT_EQ(settings.Name, "Ing. Muster");
  EXPECT_EQ(settings.defaultNorm, "DIN");
  EXPECT_FALSE(settings.bShowInfoScreen);
  EXPECT_EQ(settings.leftTopSplitterPos, 333);
  EXPECT_EQ(settings.mainSplitterPos, 250);
  EXPECT_FALSE(RegistryValue(CRegSettings::kSuiteKey, "bLeftSplitterVertical"));
}

TEST_F(RegSettingsTest, ProgramVersionFromTheProjectCentreFile) {
  std::filesystem::create_directories(folder_ / "pi");
  int doc = VIDUV_CreateDoc((folder_ / "pi" / "Vorhof.pi").c_str());
  VIDUV_SetDouble(VIDUV_GetRootElement(doc), "progVersion", 3.14);
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  VIDUV_CloseDoc(doc);
  CRegSettings settings;
  EXPECT_DOUBLE_EQ(settings.progVersion, 3.14);
}

struct IntCase {
  const char* stored;  // nullptr: missing
  int expected;
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << (c.stored ? c.stored : "<missing>"); }

class ReadIntTest : public RegSettingsTest, public testing::WithParamInterface<IntCase> {};

TEST_P(ReadIntTest, LeadingDecimalDigits) {
  if (GetParam().stored) SetRegistryString("software\\Ormi\\Vernik2005\\Skrib", "iZoom", GetParam().stored);
  CRegSettings settings;
  int value = -99;
  settings.ReadInt("Skrib", "iZoom", &value, 9);
  EXPECT_EQ(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadIntTest,
                         testing::Values(IntCase{nullptr, 9}, IntCase{"12abc", 12}, IntCase{"-7", -7},
                                         IntCase{"abc", 9}, IntCase{" 42", 42}));

TEST_F(RegSettingsTest, NamedValuesRoundTripAsText) {
  CRegSettings settings;
  settings.WriteInt("Skrib", "symbolH", 5);
  settings.WriteString("", "ormiMacroFile", "C:\\makros\\a.bas");
  auto stored = RegistryValue("software\\Ormi\\Vernik2005\\Skrib", "symbolH");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->first, DWORD(REG_SZ));
  EXPECT_EQ(Text(stored), "5");
  int value = 0;
  settings.ReadInt("Skrib", "symbolH", &value, 2);
  EXPECT_EQ(value, 5);
  CString text;
  settings.ReadString("", "ormiMacroFile", text, "x");
  EXPECT_EQ(text, "C:\\makros\\a.bas");
  settings.ReadString("Nirgends", "ormiMacroFile", text, "x");
  EXPECT_EQ(text, "x");
  EXPECT_FALSE(RegistryValue("software\\Ormi\\Vernik2005\\Nirgends", "ormiMacroFile"));

  // The language is read with the base key switched for one call.
  SetRegistryString("software\\Ormi\\TOLK", "Ormi Eingabe", "english");
  settings.baseKey = "software\\Ormi";
  settings.ReadString("TOLK", "Ormi Eingabe", text, "deutsch");
  settings.baseKey = CRegSettings::kSuiteKey;
  EXPECT_EQ(text, "english");
}

TEST_F(RegSettingsTest, ExpandsTheFirstRegistryReference) {
  SetRegistryString("software\\Hersteller\\Pfade", "Daten", "D:\\daten", HKEY_LOCAL_MACHINE);
  SetRegistryString("software\\Benutzer", "Ordner", "E:\\eigene", HKEY_CURRENT_USER);
  CRegSettings settings;
  CString text = "[$HLM\\software\\Hersteller\\Pfade\\Daten]\\plugin.exe";
  settings.ExpandRegistryReference(text);
  EXPECT_EQ(text, "D:\\daten\\plugin.exe");
  text = "x[$HCU\\software\\Benutzer\\Ordner]y[$HCU\\software\\Benutzer\\Ordner]";
  settings.ExpandRegistryReference(text);
  EXPECT_EQ(text, "xE:\\eigeney[$HCU\\software\\Benutzer\\Ordner]");
  text = "a[$software\\Fehlt\\Wert]b";
  settings.ExpandRegistryReference(text);
  EXPECT_EQ(text, "ab");
  text = "ohne Verweis";
  settings.ExpandRegistryReference(text);
  EXPECT_EQ(text, "ohne Verweis");
}

TEST_F(RegSettingsTest, UnchangedSettingsWriteNothing) {
  {
    CRegSettings settings;
    settings.Name = "Nicht gespeichert";
    settings.dispFlags = 1;
  }
  EXPECT_FALSE(RegistryValue(CRegSettings::kStartKey, "Name"));
  EXPECT_FALSE(RegistryValue(CRegSettings::kSuiteKey, "dispFlags"));
}

TEST_F(RegSettingsTest, AChangePersistsIntoTheNextProcess) {
  // A forked child shares the test's registry file; it writes when its settings object goes.
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        {
          CRegSettings settings;
          settings.Name = "Ing. Neu";
          settings.defaultNorm = "EC";
          settings.mainWinRectX2 = 1280;
          settings.bShowInfoScreen = false;
          settings.lister = "Büro Muster";
          settings.projectLRU.Add("P:\\projekt1");
          settings.projectLRU.Add("P:\\projekt2");
          settings.geaendert = true;
        }
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  CRegSettings settings;
  EXPECT_EQ(settings.Name, "Ing. Neu");
  EXPECT_EQ(settings.defaultNorm, "EC");
  EXPECT_EQ(settings.mainWinRectX2, 1280);
  EXPECT_FALSE(settings.bShowInfoScreen);
  EXPECT_EQ(settings.lister, "Büro Muster");
  ASSERT_EQ(settings.projectLRU.GetSize(), 2);
  EXPECT_EQ(settings.projectLRU[1], "P:\\projekt2");
  EXPECT_EQ(Dword(RegistryValue(CRegSettings::kSuiteKey, "mainWinRectX2")), 1280u);
  EXPECT_EQ(Text(RegistryValue(CRegSettings::kSuiteKey, "bShowInfoScreen")), "0");
}

}  // namespace

namespace {

TEST_F(RegSettingsTest, AKeyThatCannotBeMadeGivesAMessage) {
  CRegSettings settings;
  win::msgbox::ClearLog();
  // A registry whose folder is a plain file cannot be written.
  { std::ofstream(folder_ / "plain") << "x"; }
  ::setenv("ORMI_REGISTRY", (folder_ / "plain" / "registry.xml").c_str(), 1);
  settings.WriteInt("Skrib", "symbolH", 5);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0],
            "Fehler beim Anlegen des Registry-Schlüssels 'symbolH' in 'software\\Ormi\\Vernik2005\\Skrib'");
}

}  // namespace
