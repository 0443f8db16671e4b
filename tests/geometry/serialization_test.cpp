#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/geometry/geo_test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

Bytes Contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  Bytes out;
  int c;
  while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<unsigned char>(c));
  std::rewind(f);
  return out;
}

Bytes WrittenWithStdio(const CGeoObject& o) {
  FilePtr f(std::tmpfile());
  EXPECT_TRUE(o.WriteFile(f.get()));
  return Contents(f.get());
}

FilePtr StdioWith(const Bytes& bytes) {
  FilePtr f(std::tmpfile());
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f.get());
  std::rewind(f.get());
  return f;
}

// A CFile on a scratch file of its own.
class CFileScratch {
 public:
  explicit CFileScratch(const char* tag)
      : path_((std::filesystem::temp_directory_path() /
               ("geo_" + std::string(tag) + "_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".bin"))
                  .string()) {}
  ~CFileScratch() { std::filesystem::remove(path_); }
  const char* Path() const { return path_.c_str(); }

  Bytes Write(const CGeoObject& o) {
    {
      CFile file(Path(), CFile::modeCreate | CFile::modeWrite);
      EXPECT_TRUE(o.Write(file));
    }
    return ReadAll();
  }
  Bytes ReadAll() const {
    FilePtr f(std::fopen(Path(), "rb"));
    return f ? Contents(f.get()) : Bytes{};
  }
  void Put(const Bytes& bytes) {
    FilePtr f(std::fopen(Path(), "wb"));
    std::fwrite(bytes.data(), 1, bytes.size(), f.get());
  }

 private:
  std::string path_;
};

// Little-endian bytes of a double given by its bit pattern.
void AppendBits(Bytes& out, std::uint64_t bits) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<unsigned char>(bits >> (8 * i)));
}

// Bit patterns: 1.5 = 0x3FF8000000000000, −2 = 0xC000000000000000, 3 = 0x4008000000000000, 0.25 = 0x3FD0000000000000,
// 1 = 0x3FF0000000000000, 0 = 0.
TEST(GeoStreamLayoutTest, PointIsThreeLittleEndianDoubles) {
  Bytes expected;
  AppendBits(expected, 0x3FF8000000000000ULL);
  AppendBits(expected, 0xC000000000000000ULL);
  AppendBits(expected, 0x4008000000000000ULL);
  EXPECT_EQ(WrittenWithStdio(CGeoPoint(1.5, -2, 3)), expected);
  EXPECT_EQ(WrittenWithStdio(CGeoVector(1.5, -2, 3)), expected);
  CFileScratch scratch("point");
  EXPECT_EQ(scratch.Write(CGeoPoint(1.5, -2, 3)), expected);
}

TEST(GeoStreamLayoutTest, VertexAddsItsBulge) {
  Bytes expected;
  AppendBits(expected, 0x3FF8000000000000ULL);
  AppendBits(expected, 0xC000000000000000ULL);
  AppendBits(expected, 0x4008000000000000ULL);
  AppendBits(expected, 0x3FD0000000000000ULL);
  EXPECT_EQ(WrittenWithStdio(CGeoVertex(1.5, -2, 3, 0.25)), expected);
}

TEST(GeoStreamLayoutTest, PolygonCountIsAnInt32BetweenPlaneAndVertices) {
  CGeoPolygon p(GeoPlaneXY);
  CGeoVertex a(0, 0, 0, 0), b(1, 0, 0, 0), c(1, 1, 0, 0.25);
  p.m_vertices.Add(a);
  p.m_vertices.Add(b);
  p.m_vertices.Add(c);
  const Bytes bytes = WrittenWithStdio(p);
  ASSERT_EQ(bytes.size(), 172u);  // 72 + 4 + 3·32
  // Plane: origin 0 0 0, axis1 1 0 0, axis2 0 1 0.
  Bytes plane;
  for (std::uint64_t bits : {0ULL, 0ULL, 0ULL, 0x3FF0000000000000ULL, 0ULL, 0ULL, 0ULL, 0x3FF0000000000000ULL, 0ULL})
    AppendBits(plane, bits);
  EXPECT_TRUE(std::equal(plane.begin(), plane.end(), bytes.begin()));
  EXPECT_EQ(Bytes(bytes.begin() + 72, bytes.begin() + 76), (Bytes{3, 0, 0, 0}));
  Bytes lastBulge;
  AppendBits(lastBulge, 0x3FD0000000000000ULL);
  EXPECT_EQ(Bytes(bytes.end() - 8, bytes.end()), lastBulge);
}

// Each entity with values that do not round to each other, its stream size, and a fresh object to read into.
struct Entity {
  const char* name;
  std::size_t size;
  std::unique_ptr<CGeoObject> (*make)();
  std::unique_ptr<CGeoObject> (*fresh)();
};

std::unique_ptr<CGeoObject> MakePlane() {
  return std::make_unique<CGeoPlane>(CGeoVector(1.25, -3.5, 7), CGeoVector(0.1, 0.2, 0.3), CGeoVector(-4, 5, 0.6));
}

std::unique_ptr<CGeoObject> MakePolygon() {
  auto p = std::make_unique<CGeoPolygon>(CGeoVector(1, 2, 3), CGeoVector(0, 1, 0), CGeoVector(0, 0.5, 2));
  CGeoVertex a(0.1, 0.2, 0.3, -1.0 / 3.0), b(4, 5, 6, 0), c(-7, 8.5, 9, 1e-300);
  p->m_vertices.Add(a);
  p->m_vertices.Add(b);
  p->m_vertices.Add(c);
  return p;
}

std::unique_ptr<CGeoObject> MakeArc() {
  return std::make_unique<CGeoArc>(CGeoPlane(CGeoVector(0.5, 0, -2), CGeoVector(0, 0, 3), CGeoVector(1, 1, 0)), 2.75,
                                   1.0 / 7.0, 4.5);
}

std::unique_ptr<CGeoObject> MakeContour() {
  const double xs[] = {0, 3, 0};
  const double ys[] = {0, 0, 2};
  return std::make_unique<CGeoContour>(CGeoPlane(CGeoVector(1, 1, 1), CGeoVector(1, 0, 0), CGeoVector(0, 0, 1)), xs, ys,
                                       3);
}

const Entity kEntities[] = {
    {"point", 24, [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoPoint>(0.1, -2e10, 1.0 / 3.0)); },
     [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoPoint>()); }},
    {"vector", 24, [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoVector>(-0.0, 5e-324, 42)); },
     [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoVector>()); }},
    {"vertex", 32, [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoVertex>(1, 2, 3, -0.75)); },
     [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoVertex>()); }},
    {"line", 48,
     [] {
       return std::unique_ptr<CGeoObject>(std::make_unique<CGeoLine>(CGeoPoint(1, 2, 3), CGeoPoint(-0.5, 9.25, 1e-9)));
     },
     [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoLine>()); }},
    {"plane", 72, MakePlane, [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoPlane>()); }},
    {"polygon", 172, MakePolygon, [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoPolygon>()); }},
    {"arc", 96, MakeArc, [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoArc>()); }},
    {"contour", 72, MakeContour, [] { return std::unique_ptr<CGeoObject>(std::make_unique<CGeoContour>()); }},
};

class GeoRoundTripTest : public ::testing::TestWithParam<Entity> {};

TEST_P(GeoRoundTripTest, StdioAndCFileWriteTheSameBytesAndReadThemBack) {
  const auto original = GetParam().make();
  const Bytes stdioBytes = WrittenWithStdio(*original);
  EXPECT_EQ(stdioBytes.size(), GetParam().size);
  CFileScratch scratch(GetParam().name);
  const Bytes cfileBytes = scratch.Write(*original);
  EXPECT_EQ(cfileBytes, stdioBytes);

  // stdio in, stdio out.
  auto viaStdio = GetParam().fresh();
  FilePtr in = StdioWith(stdioBytes);
  viaStdio->ReadFile(in.get());
  EXPECT_EQ(std::ftell(in.get()), long(GetParam().size));
  EXPECT_EQ(WrittenWithStdio(*viaStdio), stdioBytes);

  // CFile in, CFile out.
  auto viaCFile = GetParam().fresh();
  {
    CFile file(scratch.Path(), CFile::modeRead);
    viaCFile->Read(file);
    EXPECT_EQ(file.GetPosition(), GetParam().size);
  }
  CFileScratch again(GetParam().name);
  EXPECT_EQ(again.Write(*viaCFile), stdioBytes);
  EXPECT_EQ(viaCFile->GetType(), original->GetType());
}

INSTANTIATE_TEST_SUITE_P(Entities, GeoRoundTripTest, ::testing::ValuesIn(kEntities),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GeoRoundTripTest, MatrixIsOneBlockOf128Bytes) {
  CGeoMatrix m;
  m.Rotate(0.1, 0.2, 0.3);
  m.Translate(1.0 / 3.0, -7, 1e-200);
  FilePtr f(std::tmpfile());
  ASSERT_TRUE(m.WriteFile(f.get()));
  const Bytes bytes = Contents(f.get());
  ASSERT_EQ(bytes.size(), 128u);
  CGeoMatrix back;
  ASSERT_TRUE(back.ReadFile(f.get()));
  EXPECT_EQ(std::memcmp(back.m_m, m.m_m, sizeof m.m_m), 0);
  CFileScratch scratch("matrix");
  {
    CFile file(scratch.Path(), CFile::modeCreate | CFile::modeWrite);
    ASSERT_TRUE(m.Write(file));
  }
  EXPECT_EQ(scratch.ReadAll(), bytes);
  CGeoMatrix viaCFile;
  CFile file(scratch.Path(), CFile::modeRead);
  ASSERT_TRUE(viaCFile.Read(file));
  EXPECT_EQ(std::memcmp(viaCFile.m_m, m.m_m, sizeof m.m_m), 0);
}

TEST(GeoRoundTripTest, PlaneRebuildsItsMatricesOnReading) {
  const auto original = MakePlane();
  const auto& plane = static_cast<const CGeoPlane&>(*original);
  FilePtr f = StdioWith(WrittenWithStdio(plane));
  CGeoPlane back;
  ASSERT_TRUE(back.ReadFile(f.get()));
  EXPECT_EQ(std::memcmp(back.GetToGlobal().m_m, plane.GetToGlobal().m_m, sizeof(double) * 16), 0);
  EXPECT_EQ(std::memcmp(back.GetToLocal().m_m, plane.GetToLocal().m_m, sizeof(double) * 16), 0);
}

TEST(GeoRoundTripTest, ArcValuesAreStoredAsRead) {
  // Plane x-y, then radius −2, start 7, span 0: no normalisation on reading.
  Bytes bytes;
  for (std::uint64_t bits : {0ULL, 0ULL, 0ULL, 0x3FF0000000000000ULL, 0ULL, 0ULL, 0ULL, 0x3FF0000000000000ULL, 0ULL,
                             0xC000000000000000ULL, 0x401C000000000000ULL, 0ULL})
    AppendBits(bytes, bits);
  FilePtr f = StdioWith(bytes);
  CGeoArc arc;
  ASSERT_TRUE(arc.ReadFile(f.get()));
  EXPECT_EQ(arc.GetRadius(), -2.0);
  EXPECT_EQ(arc.GetStart(), 7.0);
  EXPECT_EQ(arc.GetSpan(), 0.0);
}

TEST(GeoRoundTripTest, ContourStreamsItsPlaneOnly) {
  const auto original = MakeContour();
  FilePtr f = StdioWith(WrittenWithStdio(*original));
  CGeoContour back;
  back.ReadFile(f.get());
  EXPECT_EQ(back.GetCount(), 0);
  EXPECT_FALSE(back.IsValid());
  EXPECT_TRUE(PointIs(back.GetOrigin(), 1, 1, 1, 0.0));
}

TEST(GeoStreamFailureTest, ShortReadLeavesTheEntityAsItWas) {
  const Bytes full = WrittenWithStdio(CGeoPoint(7, 8, 9));
  FilePtr f = StdioWith(Bytes(full.begin(), full.begin() + 16));
  CGeoPoint p(1, 2, 3);
  EXPECT_FALSE(p.ReadFile(f.get()));
  EXPECT_TRUE(PointIs(p, 1, 2, 3, 0.0));

  const auto poly = MakePolygon();
  const Bytes polyBytes = WrittenWithStdio(*poly);
  FilePtr g = StdioWith(Bytes(polyBytes.begin(), polyBytes.end() - 1));
  CGeoPolygon target(GeoPlaneYZ);
  EXPECT_FALSE(target.ReadFile(g.get()));
  EXPECT_EQ(target.m_vertices.GetSize(), 0);
  EXPECT_TRUE(PointIs(target.GetAxis1(), 0, 1, 0, 0.0));

  CFileScratch scratch("short");
  scratch.Put(Bytes(polyBytes.begin(), polyBytes.begin() + 100));
  CFile file(scratch.Path(), CFile::modeRead);
  CGeoPolygon viaCFile;
  EXPECT_FALSE(viaCFile.Read(file));
  EXPECT_EQ(viaCFile.m_vertices.GetSize(), 0);
}

TEST(GeoStreamFailureTest, NoFileIsRefused) {
  CGeoPoint p(1, 2, 3);
  EXPECT_FALSE(p.ReadFile(nullptr));
  EXPECT_FALSE(p.WriteFile(nullptr));
  CGeoMatrix m;
  EXPECT_FALSE(m.WriteFile(nullptr));
  EXPECT_TRUE(PointIs(p, 1, 2, 3, 0.0));
}

TEST(GeoStreamFailureTest, CFileErrorsReachTheCaller) {
  CFile closed;
  bool thrown = false;
  try {
    CGeoLine(CGeoPoint(0, 0, 0), CGeoPoint(1, 1, 1)).Write(closed);
  } catch (CFileException* e) {
    std::unique_ptr<CFileException> owned(e);
    thrown = true;
  }
  EXPECT_TRUE(thrown);
}

}  // namespace
