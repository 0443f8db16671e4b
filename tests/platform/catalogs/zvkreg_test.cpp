// The profile register: reading databases, listing folders, computing profiles, writing the cache.
#include "platform/catalogs/zvkreg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/catalogs/catalogs_test_support.h"

using namespace catalogs_test;

namespace {

enum Gqs { A, Ito, Itg, Y0, Z0, Ayy, Ayz, Azz, Ayw, Azw, Aww, Phi, Ym, Zm, Byy, Bzz, Bww };

std::string StandardDb() { return DataRoot() + "/catalogs/profil.qzw"; }

std::vector<std::pair<std::string, int>> Members(int db, const std::string& folder) {
  std::vector<std::pair<std::string, int>> out;
  char name[256];
  for (int kind = ZVK_DB_GetFirstFolderMember(db, folder.c_str(), name, sizeof name); kind != ZVK_MEMBER_END;
       kind = ZVK_DB_GetNextFolderMember(db, name, sizeof name))
    out.emplace_back(name, kind);
  return out;
}

double SqsDouble(const unsigned char* sqs, int offset) {
  double v;
  std::memcpy(&v, sqs + offset, sizeof v);
  return v;
}

class Register : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = ZVK_DB_Open(StandardDb().c_str(), 0);
    ASSERT_GE(db_, 0) << ZVK_GetLastError();
    project_ = ZVK_PRO_Create();
  }
  void TearDown() override {
    ZVK_PRO_Delete(project_);
    ZVK_DB_Close(db_);
  }
  std::vector<double> Compute(const std::string& path) {
    std::vector<double> gqs(17, 0.0);
    EXPECT_EQ(ZVK_DB_GetProject(db_, path.c_str(), project_), 0) << path;
    EXPECT_EQ(ZVK_PRO_Calculate(project_), 0) << path;
    EXPECT_EQ(ZVK_PRO_GetResultGqs(project_, gqs.data()), 0) << path;
    return gqs;
  }
  int db_ = -1;
  int project_ = 0;
};

TEST_F(Register, RootListsTheSeriesFoldersInFileOrder) {
  auto root = Members(db_, "");
  ASSERT_EQ(root.size(), 4u);
  const char* names[] = {"HEA", "HEB", "HEM", "IPE"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(root[i].first, names[i]);
    EXPECT_EQ(root[i].second, ZVK_MEMBER_FOLDER);
  }
}

TEST_F(Register, SeriesAreComplete) {
  struct {
    const char* folder;
    std::size_t count;
    const char* first;
    const char* last;
  } series[] = {{"\\HEA", 24, "HEA 100", "HEA 1000"},
                {"\\HEB", 24, "HEB 100", "HEB 1000"},
                {"\\HEM", 24, "HEM 100", "HEM 1000"},
                {"\\IPE", 18, "IPE 80", "IPE 600"}};
  for (const auto& s : series) {
    auto members = Members(db_, s.folder);
    ASSERT_EQ(members.size(), s.count) << s.folder;
    EXPECT_EQ(members.front().first, s.first);
    EXPECT_EQ(members.back().first, s.last);
    for (const auto& m : members) EXPECT_EQ(m.second, ZVK_MEMBER_PROFILE) << m.first;
  }
  EXPECT_TRUE(Members(db_, "\\UPE").empty());
}

// Printed values of the European profile tables (cm², cm⁴).
TEST_F(Register, SectionValuesMatchTheProfileTables) {
  struct {
    const char* path;
    double a, iy, iz, it;
  } rows[] = {
      {"\\HEA\\HEA 120", 25.3, 606.2, 230.9, 5.99},    {"\\HEB\\HEB 200", 78.1, 5696, 2003, 59.28},
      {"\\HEB\\HEB 300", 149.1, 25170, 8563, 185.0},   {"\\IPE\\IPE 300", 53.8, 8356, 603.8, 20.12},
      {"\\IPE\\IPE 80", 7.64, 80.14, 8.49, 0.70},      {"\\IPE\\IPE 600", 156.0, 92080, 3387, 165.4},
      {"\\HEM\\HEM 300", 303.1, 59200, 19400, 1408},   {"\\HEA\\HEA 1000", 346.8, 553800, 14000, 822.4},
      {"\\HEB\\HEB 1000", 400.0, 644700, 16280, 1254},
  };
  for (const auto& r : rows) {
    auto g = Compute(r.path);
    EXPECT_NEAR(g[A], r.a, 0.002 * r.a) << r.path;
    EXPECT_NEAR(g[Azz], r.iy, 0.002 * r.iy) << r.path;
    EXPECT_NEAR(g[Ayy], r.iz, 0.002 * r.iz) << r.path;
    EXPECT_NEAR(g[Ito], r.it, 0.01 * r.it) << r.path;
  }
  auto heb200 = Compute("\\HEB\\HEB 200");
  EXPECT_NEAR(heb200[Aww], 171100, 200);  // Iw in cm⁶
}

TEST_F(Register, CentroidShearCentreAndBlocksOfADoublySymmetricSection) {
  auto g = Compute("\\HEB\\HEB 200");
  // Register coordinates start at the upper left corner: the centroid sits at (b/2, h/2).
  EXPECT_NEAR(g[Y0], 10.0, 1e-9);
  EXPECT_NEAR(g[Z0], 10.0, 1e-9);
  EXPECT_NEAR(g[Ym], 10.0, 1e-9);
  EXPECT_NEAR(g[Zm], 10.0, 1e-9);
  EXPECT_NEAR(g[Bzz], 0.0, 1e-6);
  unsigned char sqs[ZVK_SQS_SIZE];
  ASSERT_EQ(ZVK_PRO_GetResultSqs(project_, sqs), 0);
  int kind, type;
  std::memcpy(&kind, sqs, 4);
  std::memcpy(&type, sqs + 4, 4);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(type, ZVK_TYPE_I);
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 8), 20.0);    // hs
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 16), 0.9);    // ts
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 88), 20.0);   // bo
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 112), 1.5);   // to
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 120), 20.0);  // bu
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 144), 1.5);   // tu
  ASSERT_EQ(ZVK_PRO_GetnTqs(project_), 1);
  ASSERT_EQ(ZVK_PRO_GetnTqe(project_, 0), 3);
  for (int plate = 0; plate < 3; ++plate) {
    unsigned char tqe[ZVK_TQE_SIZE];
    ASSERT_EQ(ZVK_PRO_GetResultTqe(project_, 0, plate, tqe), 0);
    EXPECT_DOUBLE_EQ(SqsDouble(tqe, 160), 1.8) << "root radius r0 of plate " << plate;
  }
  unsigned char tqe[ZVK_TQE_SIZE];
  EXPECT_EQ(ZVK_PRO_GetResultTqe(project_, 0, 3, tqe), -1);
  unsigned char tqs[ZVK_TQS_SIZE];
  ASSERT_EQ(ZVK_PRO_GetResultTqs(project_, 0, tqs), 0);
  // Plate model: (2 * 20 * 1.5³ + 18.5 * 0.9³) / 3
  EXPECT_NEAR(SqsDouble(tqs, 88), (2 * 20 * 3.375 + 18.5 * 0.729) / 3, 1e-9);
}

TEST_F(Register, ContourEnclosesTheSectionArea) {
  ASSERT_EQ(ZVK_DB_GetProject(db_, "\\IPE\\IPE 300", project_), 0);
  int n = 0;
  ASSERT_EQ(ZVK_PRO_GetDrawingPoints(project_, nullptr, &n), 0);
  ASSERT_GT(n, 12);
  std::vector<ZvkPoint> pts(static_cast<std::size_t>(n));
  ASSERT_EQ(ZVK_PRO_GetDrawingPoints(project_, pts.data(), &n), 0);
  // Shoelace area and centroid of the polygon; the fillet arcs as chords cut off a sliver.
  double area = 0, sz = 0;
  for (int i = 0; i < n; ++i) {
    const auto& p = pts[std::size_t(i)];
    const auto& q = pts[std::size_t((i + 1) % n)];
    double c = p.y * q.z - q.y * p.z;
    area += c / 2;
    sz += (p.z + q.z) * c / 6;
  }
  EXPECT_NEAR(std::fabs(area), 53.81, 0.1);
  EXPECT_NEAR(sz / area, 15.0, 1e-6);
  bool arc = false;
  for (const auto& p : pts) arc = arc || p.kind == ZVK_POINT_ARC;
  EXPECT_TRUE(arc);
}

// The stored table values against the section's own geometry, for every profile: a mistyped dimension or
// value shows up here.
TEST_F(Register, EveryProfileAgreesWithItsDimensions) {
  for (const char* folder : {"\\HEA", "\\HEB", "\\HEM", "\\IPE"}) {
    for (const auto& [name, kind] : Members(db_, folder)) {
      auto g = Compute(std::string(folder) + "\\" + name);
      unsigned char sqs[ZVK_SQS_SIZE];
      ASSERT_EQ(ZVK_PRO_GetResultSqs(project_, sqs), 0);
      double h = SqsDouble(sqs, 8), s = SqsDouble(sqs, 16), r = SqsDouble(sqs, 24), b = SqsDouble(sqs, 88),
             t = SqsDouble(sqs, 112);
      double af = (1 - M_PI / 4) * r * r;
      EXPECT_NEAR(g[A], 2 * b * t + (h - 2 * t) * s + 4 * af, 0.001 * g[A]) << name;
      // Without the fillets, the flanges and web alone bound Iy from below by less than 8 per cent.
      double iyPlates = (b * h * h * h - (b - s) * std::pow(h - 2 * t, 3)) / 12;
      EXPECT_GT(g[Azz], iyPlates) << name;
      EXPECT_LT(g[Azz], 1.08 * iyPlates) << name;
      // Torsion constant of rolled I-sections with the inscribed circle D at the web-flange junction.
      double d = ((s / 4 + r) * s + (t + r) * (t + r)) / (2 * r + t), alpha = (0.145 + 0.1 * r / t) * s / t;
      double it = 2 * (alpha * std::pow(d, 4) + (1 - 0.63 * t / b) * b * t * t * t / 3) + (h - 2 * t) * s * s * s / 3;
      EXPECT_NEAR(g[Ito], it, 0.002 * g[Ito]) << name;
      EXPECT_NEAR(g[Aww], t * b * b * b * (h - t) * (h - t) / 24, 0.002 * g[Aww]) << name;
      // Name and height agree: "HEB 200" is 200 mm high, IPE too; HEA and HEM differ by their own rule.
      if (std::string(folder) == "\\HEB" || std::string(folder) == "\\IPE") {
        EXPECT_DOUBLE_EQ(h * 10, std::stod(name.substr(4))) << name;
      }
    }
  }
}

TEST_F(Register, UnknownProfilesAndBadHandlesFail) {
  EXPECT_EQ(ZVK_DB_GetProject(db_, "\\HEB\\HEB 210", project_), -1);
  EXPECT_EQ(ZVK_DB_GetProject(db_, "\\XYZ\\HEB 200", project_), -1);
  EXPECT_EQ(ZVK_DB_GetProject(12345, "\\HEB\\HEB 200", project_), -1);
  int fresh = ZVK_PRO_Create();
  double gqs[17];
  unsigned char sqs[ZVK_SQS_SIZE];
  EXPECT_EQ(ZVK_PRO_Calculate(fresh), -1);
  EXPECT_EQ(ZVK_PRO_GetResultGqs(fresh, gqs), -1);
  EXPECT_EQ(ZVK_PRO_GetResultSqs(fresh, sqs), -1);
  int n = 5;
  EXPECT_EQ(ZVK_PRO_GetDrawingPoints(fresh, nullptr, &n), -1);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(ZVK_PRO_Delete(fresh), 0);
  EXPECT_EQ(ZVK_PRO_Delete(fresh), -1);
  char path[8];
  EXPECT_EQ(ZVK_DB_GetFilePath(db_, path, sizeof path), int(StandardDb().size()));
  EXPECT_EQ(std::string(path), StandardDb().substr(0, 7)) << "cut to the buffer";
  EXPECT_EQ(ZVK_DB_GetFilePath(-1, path, sizeof path), -1);
}

TEST(RegisterFile, NestedFoldersRootProfilesAndDuplicates) {
  TempDir dir;
  WriteFile(dir.File("user.qzw"),
            "# test\nZVKREG 1\n"
            "W 1 | I | h=200 b=100 tw=10 tf=10 r=0\n"
            "[\\Geschweisst\\Ungleich]\n"
            "T 1 | I | h=300 bo=200 to=20 bu=100 tu=10 tw=8 r=0\n"
            "T 1 | I | h=310 bo=200 to=20 bu=100 tu=10 tw=8 r=0\n");
  int db = ZVK_DB_Open(dir.File("user.qzw").c_str(), 0);
  ASSERT_GE(db, 0) << ZVK_GetLastError();
  auto root = Members(db, "");
  ASSERT_EQ(root.size(), 2u);
  EXPECT_EQ(root[0], std::make_pair(std::string("W 1"), int(ZVK_MEMBER_PROFILE)));
  EXPECT_EQ(root[1], std::make_pair(std::string("Geschweisst"), int(ZVK_MEMBER_FOLDER)));
  EXPECT_EQ(Members(db, "\\Geschweisst").size(), 1u);
  EXPECT_EQ(Members(db, "\\Geschweisst\\Ungleich").size(), 2u);
  int p = ZVK_PRO_Create();
  ASSERT_EQ(ZVK_DB_GetProject(db, "\\Geschweisst\\Ungleich\\T 1", p), 0);
  unsigned char sqs[ZVK_SQS_SIZE];
  ASSERT_EQ(ZVK_PRO_Calculate(p), 0);
  ASSERT_EQ(ZVK_PRO_GetResultSqs(p, sqs), 0);
  EXPECT_DOUBLE_EQ(SqsDouble(sqs, 8), 31.0) << "the later of two equal names";
  ASSERT_EQ(ZVK_DB_GetProject(db, "\\W 1", p), 0);
  ASSERT_EQ(ZVK_PRO_Calculate(p), 0);
  ZVK_PRO_Delete(p);
  ZVK_DB_Close(db);
}

TEST(RegisterFile, MalformedDatabasesAreRefusedWithTheLine) {
  struct Case {
    const char* text;
    const char* part;
  } cases[] = {
      {"HEA 100 | I | h=96 b=100 tw=5 tf=8 r=12\n", "ZVKREG 1"},
      {"ZVKREG 1\n[\\HEA\nHEA 100 | I | h=96 b=100 tw=5 tf=8 r=12\n", "Zeile 2"},
      {"ZVKREG 1\n\nHEA 100 | I | h=96 b=100 tw=5 r=12\n", "Zeile 3): Abmessung tf fehlt"},
      {"ZVKREG 1\nHEA 100 | U | h=96 b=100 tw=5 tf=8 r=12\n", "Querschnittstyp"},
      {"ZVKREG 1\nHEA 100 | I | h=9x6 b=100 tw=5 tf=8 r=12\n", "keine Zahl"},
      {"ZVKREG 1\nHEA 100 | I | h=96 b=100 tw=5 tf=60 r=12\n", "keinen gültigen"},
      {"ZVKREG 1\nHEA 100\n", "Zeile 2"},
      {"", "ZVKREG 1"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteFile(dir.File("bad.qzw"), c.text);
    EXPECT_EQ(ZVK_DB_Open(dir.File("bad.qzw").c_str(), 0), -1) << c.text;
    std::string message = ZVK_GetLastError();
    EXPECT_NE(message.find(c.part), std::string::npos) << message;
    EXPECT_NE(message.find(dir.File("bad.qzw")), std::string::npos) << message;
  }
  EXPECT_EQ(ZVK_DB_Open("/nonexistent/profil.qzw", 0), -1);
  EXPECT_NE(std::string(ZVK_GetLastError()).find("nicht gefunden"), std::string::npos);
}

TEST(RegisterCache, WrittenCacheHoldsTheComputedBlocks) {
  TempDir dir;
  int db = ZVK_DB_Open(StandardDb().c_str(), 0);
  ASSERT_GE(db, 0);
  std::string cache = dir.File("profil.v2.qzb");
  ASSERT_EQ(ZVK_DB_WriteCacheFile(db, cache.c_str()), 1) << ZVK_GetLastError();
  int doc = VIDUV_OpenDoc(cache.c_str());
  ASSERT_NE(doc, 0);
  int root = VIDUV_GetRootElement(doc);
  int info = VIDUV_FindFirstChild(root, "info");
  EXPECT_STREQ(VIDUV_GetString(info, "modulename"), "ZvkReg");
  int element = VIDUV_FindFirstChild(VIDUV_FindFirstChild(root, "HEB"), "HEB_200");
  ASSERT_NE(element, 0);
  EXPECT_STREQ(VIDUV_GetString(element, "profName"), "HEB 200");
  ASSERT_EQ(VIDUV_GetBinDataLength(element, "Gqs"), ZVK_GQS_SIZE);
  double gqs[17];
  VIDUV_GetBinData(element, "Gqs", gqs);
  EXPECT_NEAR(gqs[A], 78.08, 0.01);
  EXPECT_NEAR(gqs[Z0], 10.0, 1e-9) << "stored before the centroid shift";
  EXPECT_EQ(VIDUV_GetBinDataLength(element, "Sqs"), ZVK_SQS_SIZE);
  EXPECT_EQ(VIDUV_GetBinDataLength(element, "blechradien"), 3 * 32);
  EXPECT_EQ(VIDUV_GetBinDataLength(element, "drawingPoints") % 24, 0);
  EXPECT_GT(VIDUV_GetBinDataLength(element, "drawingPoints"), 0);
  VIDUV_CloseDoc(doc);
  ZVK_DB_Close(db);
}

}  // namespace
