// A calculation run in a scratch folder: an installation root of its own that reads the repository's data, the
// material catalogue opened from it, and a column calculated through the driver and read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "column_test_support.h"
#include "framework/matehandler.h"
#include "framework/progdb.h"

namespace column_test {

// Sets an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~EnvVar() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// A cantilever of one field of length L (m), EC2 C30/37 and B500B, 40 x 40 cm with bars at 4 cm, fixed at the foot,
// without imperfection; one action and load case per entry of `loads` (the first permanent, the others variable),
// each a point load at the head (direction 0 x, 2 downwards along the axis), and one "Ed" combination.
struct HeadLoad {
  int direction;
  double value;
};
inline void Cantilever(CKolumoData& d, double L, std::initializer_list<HeadLoad> loads, const char* combination) {
  d.version = 2012.01;
  d.iNorm = 1;
  d.InitStages(CKolumoData::KombiNormFuerNorm(d.iNorm));
  d.sBeton = "C30/37";
  d.sStahl = "B500B";
  d.SetFieldCount(1);
  d.fieldLengths[0] = L;
  CKolumoQuer& q = d.querschnitte[0];
  q.bx = q.dy = 40.0;
  q.bdx = q.bdy = 4.0;
  q.as = 3.14;
  q.teilung = 4;
  CSupport& foot = d.supports[0][1];
  foot.cx = foot.cy = foot.cz = foot.cmx = foot.cmy = -1.0;
  d.vorver[0].type = 0;
  d.vorver[0].bDirekteVorgabe = 1;
  d.vorver[0].umx = d.vorver[0].umy = 0.0;
  CLKData& lk = d.lastUeberlagerungBZ[0];
  lk.einwirkungen.RemoveAll();
  lk.lastfaelle.RemoveAll();
  lk.kombinationen.RemoveAll();
  int nr = 0;
  for (const HeadLoad& h : loads) {
    ++nr;
    Load load;
    load.lc = nr;
    load.ltype = 10;
    load.node = 0;
    load.direction = h.direction;
    load.bHasDirection = 1;
    load.val0 = h.value;
    d.loads[0].Add(load);
    CEinwirkung a;
    a.nr = nr;
    a.indexGruppe = a.indexGruppeHHHH = nr == 1 ? 0 : 1;
    lk.einwirkungen.Add(a);
    CLKLastfall row;
    row.lf = row.einw = nr;
    lk.lastfaelle.Add(row);
  }
  d.maxLF[0] = nr;
  CKombination k;
  k.art = "Ed";
  k.regel = k.regelUser = combination;
  lk.kombinationen.Add(k);
}

class CalcRunFixture : public ColumnTest {
 protected:
  void SetUp() override {
    // The program database is read once per process, from the root of its first use: read it before this root is
    // set, so that every test of the program sees the same one.
    GetProgDB();
    ColumnTest::SetUp();
    root_ = MakeInstallRoot(folder_ / "install", KOLUMO_SOURCE_DIR "/data");
    rootVar_ = std::make_unique<EnvVar>("KOLUMO_ROOT", root_.string());
    // The user's data folder exists and is empty: no user template shadows the installation's.
    std::filesystem::create_directories(folder_ / "common" / "ormi");
    commonVar_ = std::make_unique<EnvVar>("KOLUMO_COMMON_DATA", (folder_ / "common").string());
    GetMateHandler().OpenStandardDB(TRUE);
  }
  void TearDown() override {
    commonVar_.reset();
    rootVar_.reset();
    ColumnTest::TearDown();
  }
  // Writes the column into a position file `name`, calculates it and reads the result back.
  std::unique_ptr<CKolumoData> Run(CKolumoData& input, const std::string& name = "position.tqx") {
    const int doc = NewDocument(name);
    input.WriteData(doc);
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1);
    Calculate(doc);
    auto out = std::make_unique<CKolumoData>();
    out->SetDefaults();
    out->ReadData(doc);
    return out;
  }

  std::filesystem::path root_;
  std::unique_ptr<EnvVar> rootVar_, commonVar_;
};

}  // namespace column_test
