// A calculation run in a scratch folder: an installation root of its own that reads the repository's data, the
// material catalogue opened from it, and a column calculated through the driver and read back; and the builders
// of the small columns such runs calculate.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "column_test_support.h"
#include "position_builders.h"
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

// ---- positions ----------------------------------------------------------------------------------------------

// A point load (kN) of load case `lc` at the head.
inline Load PointLoad(int lc, int direction, double value) { return PointLoad(lc, 0, direction, value); }

// Stage `stage` with one load case per action (load case i belongs to action i) and no combination yet.
inline void SetActions(CKolumoData& d, int stage, const std::vector<CEinwirkung>& actions) {
  CLKData& lk = d.lastUeberlagerungBZ[std::size_t(stage)];
  lk.einwirkungen.RemoveAll();
  lk.lastfaelle.RemoveAll();
  lk.kombinationen.RemoveAll();
  for (const CEinwirkung& a : actions) {
    lk.einwirkungen.Add(a);
    CLKLastfall row;
    row.lf = row.einw = a.nr;
    lk.lastfaelle.Add(row);
  }
  d.maxLF[std::size_t(stage)] = int(lk.lastfaelle.GetSize());
}

inline void AddCombination(CKolumoData& d, int stage, const char* art, const char* formel) {
  CKombination k;
  k.art = art;
  k.regel = k.regelUser = formel;
  d.lastUeberlagerungBZ[std::size_t(stage)].kombinationen.Add(k);
}

// The foot of a one-field column fixed in stage `stage`, and the stage without imperfection (an inclination given
// directly as 0 in both directions).
inline void FixFootWithoutImperfection(CKolumoData& d, int stage) {
  CSupport& foot = d.supports[std::size_t(stage)][1];
  foot.cx = foot.cy = foot.cz = foot.cmx = foot.cmy = -1.0;
  CKolumoVorver& v = d.vorver[std::size_t(stage)];
  v.type = 0;
  v.bDirekteVorgabe = 1;
  v.umx = v.umy = 0.0;
}

// A cantilever of one field of length L (m) under the code `norm` (1 EC2), C30/37 and B500B, 40 x 40 cm with
// bars of 3.14 cm2 at 4 cm, four members; fixed at the foot and without imperfection in the final system; no loads.
inline void Cantilever(CKolumoData& d, double L, int norm = 1) {
  d.version = 2012.01;
  d.iNorm = norm;
  d.InitStages(FormingNorm(d.iNorm));
  d.sBeton = "C30/37";
  d.sStahl = "B500B";
  d.SetFieldCount(1);
  d.fieldLengths[0] = L;
  CKolumoQuer& q = d.querschnitte[0];
  q.bx = q.dy = 40.0;
  q.bdx = q.bdy = 4.0;
  q.as = 3.14;
  q.teilung = 4;
  FixFootWithoutImperfection(d, 0);
}

// That cantilever under EC2 with one action and load case per entry of `loads` (the first permanent, the others
// additive), each a point load at the head, and one "Ed" combination.
struct HeadLoad {
  int direction;
  double value;
};
inline void Cantilever(CKolumoData& d, double L, std::initializer_list<HeadLoad> loads, const char* combination) {
  Cantilever(d, L);
  std::vector<CEinwirkung> actions;
  for (const HeadLoad& h : loads) {
    const int nr = int(actions.size()) + 1;
    d.loads[0].Add(PointLoad(nr, h.direction, h.value));
    actions.push_back(Action(nr, nr == 1 ? 0 : 1));
  }
  SetActions(d, 0, actions);
  AddCombination(d, 0, "Ed", combination);
}

// ---- the run --------------------------------------------------------------------------------------------------

// A column test with an installation root and an empty user data folder of its own, both set only while the test
// runs, so that the other tests of the program see the environment they expect. They lie beside the scratch
// folder, which holds only the positions and what a run writes.
class CalcRunFixture : public ColumnTest {
 protected:
  void SetUp() override {
    // The program database is read once per process, from the root of its first use: read it before this root is
    // set, so that every test of the program sees the same one.
    GetProgDB();
    ColumnTest::SetUp();
    std::string pattern = (std::filesystem::temp_directory_path() / "calc-install-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    install_ = pattern;
    root_ = MakeInstallRoot(install_, KOLUMO_SOURCE_DIR "/data");
    rootVar_ = std::make_unique<EnvVar>("KOLUMO_ROOT", root_.string());
    // The user's data folder exists and is empty: no user template shadows the installation's.
    common_ = install_ / "common";
    std::filesystem::create_directories(common_ / "ormi");
    commonVar_ = std::make_unique<EnvVar>("KOLUMO_COMMON_DATA", common_.string());
    GetMateHandler().OpenStandardDB(TRUE);
  }
  void TearDown() override {
    commonVar_.reset();
    rootVar_.reset();
    ColumnTest::TearDown();
    if (!install_.empty()) std::filesystem::remove_all(install_);
  }

  // Writes the column into a new position `name`, saves and calculates it and reads it back; the document stays
  // open, its handle in `document` where one is asked for.
  std::unique_ptr<CKolumoData> Run(CKolumoData& input, const std::string& name = "position.tqx",
                                   int* document = nullptr) {
    const int doc = NewDocument(name);
    input.WriteData(doc);
    EXPECT_EQ(VIDUV_SaveDoc(doc), 1);
    Calculate(doc);
    if (document) *document = doc;
    auto out = std::make_unique<CKolumoData>();
    out->SetDefaults();
    out->ReadData(doc);
    return out;
  }

  // The shipped example column, read as a calculation reads it.
  void ReadExample(CKolumoData& d) {
    const int doc = VIDUV_OpenDoc(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx");
    ASSERT_NE(doc, 0) << VIDUV_GetLastError();
    docs_.push_back(doc);
    d.SetDefaults();
    ASSERT_EQ(d.ReadData(doc), 1);
  }

  // The base path of the files a run beside a position "pos" writes.
  std::string Base() const { return (folder_ / "pos").string(); }

  // The first record of kind `typ` and combination `lk`, of stage `system` where one is given; null where there is
  // none.
  template <class R>
  static const R* Find(const std::vector<std::unique_ptr<R>>& list, int typ, int lk = 1, int system = -1) {
    for (const auto& r : list)
      if (r->Typ == typ && r->LK == lk && (system < 0 || r->System == system)) return r.get();
    return nullptr;
  }

  std::filesystem::path install_, root_, common_;
  std::unique_ptr<EnvVar> rootVar_, commonVar_;
};

}  // namespace column_test
