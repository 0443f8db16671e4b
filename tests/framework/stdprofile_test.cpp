// The steel-profile catalogue over the standard and the user profile database.
#include "framework/stdprofile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/registry.h"
#include "platform/catalogs/zvkreg.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"
#include "tests/platform/catalogs/catalogs_test_support.h"

using namespace catalogs_test;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> List(const CStringArray& a) {
  std::vector<std::string> out;
  for (const auto& s : a) out.push_back(s.str());
  return out;
}

double SqsDouble(const unsigned char* sqs, int offset) {
  double v;
  std::memcpy(&v, sqs + offset, sizeof v);
  return v;
}

// A user database: a welded doubly symmetric I without fillets in the root folder, twice under one name,
// and an I with unequal flanges in a folder.
const char* kUserDb =
    "ZVKREG 1\n"
    "W 1 | I | h=200 b=100 tw=10 tf=10 r=0\n"
    "W 2 | I | h=300 b=150 tw=8 tf=12 r=0\n"
    "W 1 | I | h=220 b=100 tw=10 tf=10 r=0\n"
    "[\\Eigene]\n"
    "T 1 | I | h=300 bo=200 to=20 bu=100 tu=10 tw=8 r=0\n";

// An installation root with the standard database, its own registry file, and collected message boxes.
class StdProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(StandardPath(), ReadAll(DataRoot() + "/catalogs/profil.qzw"));
    if (const char* old = std::getenv("ORMI_REGISTRY")) oldRegistry_ = old;
    setenv("ORMI_REGISTRY", dir_.File("registry.xml").c_str(), 1);
    win::msgbox::ClearLog();
  }
  void TearDown() override {
    if (oldRegistry_)
      setenv("ORMI_REGISTRY", oldRegistry_->c_str(), 1);
    else
      unsetenv("ORMI_REGISTRY");
  }
  std::string StandardPath() const { return dir_.File("catalogs/profil.qzw"); }
  std::string UserPath() const { return dir_.File("userProfil.qzw"); }
  void SetUserProfilRegistry(const std::string& value) {
    CRegistry registry;
    ASSERT_TRUE(registry.Connect(HKEY_CURRENT_USER));
    ASSERT_TRUE(registry.Create("software\\Ormi\\Anlauf"));
    ASSERT_TRUE(registry.SetStringValue("userProfil", value.c_str()));
  }
  std::vector<double> Gqs(CStdProfile& catalogue, const char* series, const char* profile) {
    int s = -1, p = -1;
    catalogue.FindProfile(series, profile, &s, &p);
    EXPECT_GE(s, 0) << series;
    EXPECT_GE(p, 0) << profile;
    std::vector<double> gqs(GQS_COUNT, -777.0);
    catalogue.GetProfile(s, p, gqs.data(), nullptr, nullptr);
    return gqs;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& r : win::msgbox::Log()) out.push_back(r.text);
    return out;
  }

  TempDir dir_;
  ScopedRoot root_{dir_.Path()};
  std::optional<std::string> oldRegistry_;
};

TEST_F(StdProfileTest, SeriesOfTheStandardDatabase) {
  CStdProfile catalogue;
  ASSERT_EQ(catalogue.GetSeriesCount(), 4);
  std::vector<std::string> names;
  for (int i = 0; i < 4; ++i) names.push_back(catalogue.GetSeriesName(i).str());
  EXPECT_EQ(names, (std::vector<std::string>{"HEA", "HEB", "HEM", "IPE"}));
  EXPECT_EQ(catalogue.GetSeriesName(4), "");
  int s = -1, p = -1;
  catalogue.FindProfile("HEA", "HEA 120", &s, &p);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(p, 1);
  catalogue.FindProfile("heb", "heb 200", &s, &p);
  EXPECT_EQ(s, 1);
  EXPECT_EQ(p, 5);
  catalogue.FindProfile("HEB", "HEB 210", &s, &p);
  EXPECT_EQ(s, 1);
  EXPECT_EQ(p, -1);
  p = 99;
  catalogue.FindProfile("UPE", "HEB 200", &s, &p);
  EXPECT_EQ(s, -1);
  EXPECT_EQ(p, -1);
  CStringArray out;
  catalogue.GetProfileNamesOf("IPE", out, -1);
  EXPECT_EQ(out.GetSize(), 18);
  EXPECT_EQ(out[0], "IPE 80");
  EXPECT_TRUE(Boxes().empty()) << "no user database is no fault";
}

// HEB 200 (EN 10365): A 78.1 cm², Iy 5696 cm⁴, Iz 2003 cm⁴, It 59.28 cm⁴, Iw 171.1e3 cm⁶.
TEST_F(StdProfileTest, ProfileValuesRelativeToTheCentroid) {
  CStdProfile catalogue;
  int s = -1, p = -1;
  catalogue.FindProfile("HEB", "HEB 200", &s, &p);
  double gqs[GQS_COUNT];
  unsigned char sqs[STDPROFILE_SQS_SIZE];
  std::memset(sqs, 0xAB, sizeof sqs);
  CArray<CStdProfilePlate> plates;
  plates.Add(CStdProfilePlate{9, 9, 9, 9});
  catalogue.GetProfile(s, p, gqs, sqs, &plates);
  EXPECT_NEAR(gqs[GQS_A], 78.1, 0.05);
  EXPECT_NEAR(gqs[GQS_Azz], 5696, 1);
  EXPECT_NEAR(gqs[GQS_Ayy], 2003, 1);
  EXPECT_NEAR(gqs[GQS_Ito], 59.28, 0.01);
  EXPECT_NEAR(gqs[GQS_Aww], 171100, 100);
  EXPECT_EQ(gqs[GQS_y0], 0.0);
  EXPECT_EQ(gqs[GQS_z0], 0.0);
  EXPECT_NEAR(gqs[GQS_ym], 0.0, 1e-12);
  EXPECT_NEAR(gqs[GQS_zm], 0.0, 1e-12);
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 8), 20.0);
  // The upper flange's centre lies h/2 - tf/2 = 9.25 cm above the centroid (z downwards).
  EXPECT_NEAR(SqsDouble(sqs, 32), 0.0, 1e-12);
  EXPECT_NEAR(SqsDouble(sqs, 40), -9.25, 1e-12);
  EXPECT_EQ(sqs[STDPROFILE_SQS_CALLER], 0xAB) << "only the first 152 bytes are handed out";
  ASSERT_EQ(plates.GetSize(), 4);
  EXPECT_EQ(plates[0].r0, 9.0) << "appended, not replaced";
  EXPECT_DOUBLE_EQ(plates[1].r0, 1.8);
  EXPECT_EQ(catalogue.GetProfileType(s, p, nullptr), 0);
  CString dbPath;
  catalogue.GetProfileType(s, p, &dbPath);
  EXPECT_EQ(dbPath, catalogue.GetStandardPath());
}

TEST_F(StdProfileTest, IndicesOutOfRangeLeaveTheOutputs) {
  CStdProfile catalogue;
  double gqs[GQS_COUNT];
  std::fill(gqs, gqs + GQS_COUNT, -1.0);
  for (auto [s, p] : std::initializer_list<std::pair<int, int>>{{-1, 0}, {4, 0}, {0, -1}, {0, 24}}) {
    catalogue.GetProfile(s, p, gqs, nullptr, nullptr);
    EXPECT_EQ(gqs[0], -1.0);
    EXPECT_EQ(catalogue.GetProfileType(s, p, nullptr), -1);
  }
  CStringArray out;
  out.Add("stale");
  catalogue.GetProfileNames(9, out, -1);
  EXPECT_TRUE(out.IsEmpty());
}

TEST_F(StdProfileTest, UserDatabaseSeriesNamesDuplicatesAndTorsion) {
  WriteFile(UserPath(), kUserDb);
  CStdProfile catalogue;
  ASSERT_EQ(catalogue.GetSeriesCount(), 6);
  // Root-folder profiles form a series named after the database path without ".qzw"; folders follow.
  CString rootSeries = catalogue.GetUserPath();
  rootSeries.Replace(".qzw", "");
  EXPECT_EQ(catalogue.GetSeriesName(4), rootSeries);
  EXPECT_EQ(catalogue.GetSeriesName(5), "Eigene");
  int s = -1, p = -1;
  catalogue.FindProfile(rootSeries, "w 1", &s, &p);
  EXPECT_EQ(s, 4);
  EXPECT_EQ(p, 2) << "the later of two equal names";

  // Welded, doubly symmetric, r = 0: the rolled-section formula with D = (s²/4 + t²)/t and alpha = 0.145 s/t.
  // W 2: h 30, b 15, s 0.8, t 1.2 (cm).
  double h = 30, b = 15, sw = 0.8, t = 1.2;
  double d = (sw * sw / 4 + t * t) / t, alpha = 0.145 * sw / t;
  double expected =
      2 * (alpha * std::pow(d, 4) + (1 - 0.63 * t / b) * b * t * t * t / 3) + (h - 2 * t) * std::pow(sw, 3) / 3;
  EXPECT_NEAR(Gqs(catalogue, rootSeries, "W 2")[GQS_Ito], expected, 1e-9);
  // Unequal flanges keep the register's plate-model value: (20·2³ + 10·1³ + 28.5·0.8³) / 3.
  auto t1 = Gqs(catalogue, "Eigene", "T 1");
  EXPECT_NEAR(t1[GQS_Ito], (20 * 8 + 10 * 1 + 28.5 * 0.512) / 3, 1e-9);
  // Centroid of T 1 from the top: (40·1 + 10·29.5 + 21.6·15.5) / 71.6; the shear centre lies near the wide flange.
  double zs = (40 + 295 + 21.6 * 15.5) / 71.6;
  double i1 = 2 * 8000 / 12.0, i2 = 1000 / 12.0;
  EXPECT_NEAR(t1[GQS_zm], 1 + 28.5 * i2 / (i1 + i2) - zs, 1e-9);
  EXPECT_EQ(t1[GQS_z0], 0.0);
  CString dbPath;
  catalogue.FindProfile("Eigene", "T 1", &s, &p);
  catalogue.GetProfileType(s, p, &dbPath);
  EXPECT_EQ(dbPath, catalogue.GetUserPath());
}

TEST_F(StdProfileTest, NamesByKindTypeAStandardSeriesByItsFirstProfile) {
  WriteFile(UserPath(), kUserDb);
  CStdProfile catalogue;
  CStringArray out;
  catalogue.GetProfileNames(1, out, 0);
  EXPECT_EQ(out.GetSize(), 24);
  catalogue.GetProfileNames(1, out, 3);
  EXPECT_TRUE(out.IsEmpty());
  catalogue.GetProfileNamesOf("Eigene", out, 0);
  EXPECT_EQ(List(out), (std::vector<std::string>{"T 1"}));
  catalogue.GetProfileNamesOf("Eigene", out, 2);
  EXPECT_TRUE(out.IsEmpty());
}

TEST_F(StdProfileTest, ChangedUserDatabaseIsReloadedAndAChangedStandardOneIsNot) {
  CStdProfile catalogue;
  ASSERT_EQ(catalogue.GetSeriesCount(), 4);
  WriteFile(StandardPath(), "ZVKREG 1\n[\\HEA]\nHEA 100 | I | h=96 b=100 tw=5 tf=8 r=12\n");
  EXPECT_EQ(catalogue.GetSeriesCount(), 4) << "the standard database is read once";
  WriteFile(UserPath(), kUserDb);
  EXPECT_EQ(catalogue.GetSeriesCount(), 3) << "a new user database reloads both";
  WriteFile(UserPath(), "ZVKREG 1\n[\\Nur]\nN 1 | I | h=200 b=100 tw=10 tf=10 r=0\n");
  ASSERT_EQ(catalogue.GetSeriesCount(), 2);
  EXPECT_EQ(catalogue.GetSeriesName(1), "Nur");
  std::remove(UserPath().c_str());
  EXPECT_EQ(catalogue.GetSeriesCount(), 1);
}

TEST_F(StdProfileTest, UserFolderComesFromTheRegistry) {
  TempDir userDir;
  WriteFile(userDir.File("userProfil.qzw"), kUserDb);
  SetUserProfilRegistry(userDir.Path());
  CStdProfile byFolder;
  EXPECT_EQ(std::string(win::ToFsPath(byFolder.GetUserPath().str())), userDir.File("userProfil.qzw"));
  EXPECT_EQ(byFolder.GetSeriesCount(), 6);
  SetUserProfilRegistry(userDir.Path() + "\\userProfil.qzw");
  CStdProfile byFile;
  EXPECT_EQ(std::string(win::ToFsPath(byFile.GetUserPath().str())), userDir.File("userProfil.qzw"));
}

TEST_F(StdProfileTest, StartupTrace) {
  CStdProfile catalogue;
  catalogue.GetSeriesCount();
  std::string log = ReadAll(dir_.File("startup.log"));
  std::size_t at = 0;
  for (const char* line : {"CStdProfile():34", "CStdProfile():41", "CStdProfile():132 start reading profil.qzw",
                           "CStdProfile():134 start reading userProfil.qzw", "CStdProfile():136 finish reading qzw",
                           "CStdProfile():215"}) {
    auto found = log.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\n" << log;
    at = found;
  }
}

TEST_F(StdProfileTest, MissingOrMalformedDatabasesAreReportedOnce) {
  std::remove(StandardPath().c_str());
  WriteFile(UserPath(), "ZVKREG 1\nW 1 | I | h=200\n");
  CStdProfile catalogue;
  EXPECT_EQ(catalogue.GetSeriesCount(), 0);
  EXPECT_EQ(catalogue.GetSeriesCount(), 0);
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find(StandardPath()), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[1].find("Zeile 2"), std::string::npos) << boxes[1];
  double gqs[GQS_COUNT] = {};
  catalogue.GetProfile(0, 0, gqs, nullptr, nullptr);
  EXPECT_EQ(gqs[0], 0.0);
}

TEST_F(StdProfileTest, ProfileDataElementAndValueTable) {
  CStdProfile catalogue;
  int s = -1, p = -1;
  catalogue.FindProfile("HEB", "HEB 200", &s, &p);
  int doc = VIDUV_CreateDoc("data");
  int element = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "sektabel");
  catalogue.WriteProfileData(s, p, element);
  EXPECT_STREQ(VIDUV_GetString(element, "profName"), "HEB 200");
  EXPECT_STREQ(VIDUV_GetString(element, "folder"), "\\HEB");
  EXPECT_EQ(CString(VIDUV_GetString(element, "DBPath")), catalogue.GetStandardPath());
  EXPECT_NEAR(VIDUV_GetDouble(element, "A"), 78.08, 0.01);
  EXPECT_NEAR(VIDUV_GetDouble(element, "Azz"), 5696, 1);
  EXPECT_EQ(VIDUV_GetDouble(element, "Ptyp"), 0.0);
  EXPECT_EQ(VIDUV_GetDouble(element, "tu"), 1.5);
  int plates = 0;
  for (int b = VIDUV_FindFirstChild(element, "blech"); b; b = VIDUV_FindNextChild(b, "blech")) ++plates;
  EXPECT_EQ(plates, 3);
  VIDUV_CloseDoc(doc);

  CStringArray labels, symbols, units;
  CArray<double, double> values;
  catalogue.ShowProfileValues(s, p, labels, symbols, values, units);
  ASSERT_EQ(values.GetSize(), 17);
  auto row = [&](const char* symbol) {
    for (int i = 0; i < symbols.GetSize(); ++i)
      if (symbols[i] == symbol) return i;
    return -1;
  };
  EXPECT_EQ(labels[0], "Querschnittsfläche");
  EXPECT_EQ(units[0], "cm\\super 2\\nosupersub ");
  EXPECT_NEAR(values[row("A")], 78.08, 0.01);
  EXPECT_NEAR(values[row("W\\sub y\\nosupersub ")], 569.6, 0.1);  // EN 10365
  EXPECT_NEAR(values[row("h")], 200, 1e-9);
  EXPECT_EQ(units[row("h")], "mm");
  EXPECT_NEAR(values[row("I\\sub t\\nosupersub ")], 59.28, 0.01);
  EXPECT_NEAR(values[row("M\\sub ply\\nosupersub ")], 642.5 * 0.235, 0.05);  // Wpl,y · fy (S 235)
  catalogue.ShowProfileValues(-1, 0, labels, symbols, values, units);
  EXPECT_EQ(values.GetSize(), 17) << "a bad index adds nothing";
}

// Prepared caches: one per database, found also under the element name without '_', used as they stand.
class StdProfileCacheTest : public StdProfileTest {
 protected:
  // Writes the register's cache of a database, then sets the area of one profile to a marker.
  void PrepareCache(const std::string& db, const std::string& cache, const char* folder, const char* element,
                    double markerArea, const char* renameTo = nullptr) {
    int handle = ZVK_DB_Open(db.c_str(), 0);
    ASSERT_GE(handle, 0) << ZVK_GetLastError();
    ASSERT_EQ(ZVK_DB_WriteCacheFile(handle, cache.c_str()), 1);
    ZVK_DB_Close(handle);
    int doc = VIDUV_OpenDoc(cache.c_str());
    int e = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), folder), element);
    ASSERT_NE(e, 0) << element;
    double gqs[GQS_COUNT];
    ASSERT_EQ(VIDUV_GetBinData(e, "Gqs", gqs), int(sizeof gqs));
    gqs[GQS_A] = markerArea;
    VIDUV_SetBinData(e, "Gqs", int(sizeof gqs), gqs, 0);
    if (renameTo) {
      // The element is written again under the other name with the same attributes.
      int copy = VIDUV_AddChildElement(VIDUV_GetParentElement(e), renameTo);
      for (const char* name : {"drawingPoints", "Gqs", "Sqs", "blechradien"}) {
        std::vector<unsigned char> bytes(std::size_t(VIDUV_GetBinDataLength(e, name)));
        VIDUV_GetBinData(e, name, bytes.data());
        VIDUV_SetBinData(copy, name, int(bytes.size()), bytes.data(), 0);
      }
      VIDUV_SetString(copy, "profName", VIDUV_GetString(e, "profName"));
      VIDUV_DeleteElement(e);
    }
    ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
    VIDUV_CloseDoc(doc);
  }
};

TEST_F(StdProfileCacheTest, EachDatabaseUsesItsOwnCache) {
  WriteFile(UserPath(), kUserDb);
  PrepareCache(StandardPath(), dir_.File("catalogs/profil.v2.qzb"), "HEB", "HEB_200", 111.0);
  PrepareCache(UserPath(), dir_.File("userProfil.v2.qzb"), "Eigene", "T_1", 222.0);
  CStdProfile catalogue;
  auto heb = Gqs(catalogue, "HEB", "HEB 200");
  EXPECT_EQ(heb[GQS_A], 111.0);
  // Taken as it stands: the register's table value of It, not the corrected one, and shifted to the centroid.
  EXPECT_EQ(heb[GQS_z0], 0.0);
  auto t1 = Gqs(catalogue, "Eigene", "T 1");
  EXPECT_EQ(t1[GQS_A], 222.0) << "the user's profile comes from the user's cache";
  auto hea = Gqs(catalogue, "HEA", "HEA 100");
  EXPECT_NEAR(hea[GQS_A], 21.24, 0.01);
  std::string log = ReadAll(dir_.File("startup.log"));
  EXPECT_NE(log.find("CStdProfile():1042"), std::string::npos);
  EXPECT_NE(log.find("CStdProfile():1238"), std::string::npos);
}

TEST_F(StdProfileCacheTest, ElementNameWithoutUnderscoreIsAccepted) {
  PrepareCache(StandardPath(), dir_.File("catalogs/profil.v2.qzb"), "IPE", "IPE_300", 333.0, "IPE300");
  CStdProfile catalogue;
  EXPECT_EQ(Gqs(catalogue, "IPE", "IPE 300")[GQS_A], 333.0);
}

TEST_F(StdProfileCacheTest, DamagedCacheEntryFallsBackToTheRegister) {
  PrepareCache(StandardPath(), dir_.File("catalogs/profil.v2.qzb"), "HEB", "HEB_200", 111.0);
  int doc = VIDUV_OpenDoc(dir_.File("catalogs/profil.v2.qzb").c_str());
  int e = VIDUV_FindFirstChild(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "HEB"), "HEB_200");
  std::vector<unsigned char> tooLong(400, 0x7F);
  VIDUV_SetBinData(e, "Gqs", int(tooLong.size()), tooLong.data(), 0);
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  VIDUV_CloseDoc(doc);
  CStdProfile catalogue;
  EXPECT_NEAR(Gqs(catalogue, "HEB", "HEB 200")[GQS_A], 78.08, 0.01);
}

TEST(ProfileDbCache, SharesHandlesByPathWithCounts) {
  TempDir dir;
  WriteFile(dir.File("a.qzw"), kUserDb);
  CProfileDbCache cache;
  int h1 = cache.Open(dir.File("a.qzw").c_str(), 0);
  ASSERT_NE(h1, -1);
  EXPECT_EQ(cache.Open(dir.File("a.qzw").c_str(), 0), h1);
  EXPECT_EQ(cache.Close(h1), 1);
  char path[MAX_PATH];
  EXPECT_GE(ZVK_DB_GetFilePath(h1, path, sizeof path), 0) << "still open";
  EXPECT_EQ(cache.Close(h1), 0);
  EXPECT_EQ(ZVK_DB_GetFilePath(h1, path, sizeof path), -1) << "closed at count 0";
  EXPECT_EQ(cache.Open(dir.File("missing.qzw").c_str(), 0), -1);
  EXPECT_EQ(cache.Close(987654), 0);
}

}  // namespace

namespace {

// The module's catalogue lives until the process ends; its handles are closed then (the sanitizer build
// watches that nothing it uses is gone by that time).
TEST(StdProfileGlobal, OneCatalogueForTheModule) {
  TempDir dir;
  ScopedRoot root(dir.Path());
  WriteFile(dir.File("catalogs/profil.qzw"), ReadAll(DataRoot() + "/catalogs/profil.qzw"));
  CStdProfile& catalogue = GetStdProfile();
  EXPECT_EQ(&catalogue, &GetStdProfile());
  int s = -1, p = -1;
  catalogue.FindProfile("HEA", "HEA 120", &s, &p);
  double gqs[GQS_COUNT];
  catalogue.GetProfile(s, p, gqs, nullptr, nullptr);
  EXPECT_NEAR(gqs[GQS_A], 25.3, 0.05);  // EN 10365
}

}  // namespace
