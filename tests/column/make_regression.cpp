// Writes the small columns of the whole-run regression (tests/data) from an empty column position (as "kolumo new"
// writes it). Each column covers one thing the example does not: a design-governed column under EC2, the same
// under the UK annex and under SIA 262, two fields with an offset upper field and a construction stage, a
// cantilever with its own weight in a load case of its own beside snow and wind, and a ring.
//
//   column_make_regression EMPTY.tqx OUTDIR     (run with KOLUMO_ROOT set to the data folder)
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "column/kolumodata.h"
#include "platform/viduv/viduv.h"
#include "position_builders.h"

namespace {

using namespace column_test;

constexpr double kRigid = -1.0;

// Groups: 0 permanent, 1 variable. Categories as entered on a reset position, in the list of DIN 1055-100 and
// SIA 260: 0 imposed A/B, 6 snow up to 1000 m, 7 wind; forming the combinations carries them over to the list of
// the code's combination norm.
constexpr int kPermanent = 0, kVariable = 1;
constexpr int kImposedAB = 0, kSnow = 6, kWind = 7;

struct Assignment {
  int lf;
  int action;
};

// The stage's actions, its load cases (each assigned to an action) and the combinations generated from them.
void Combine(CKolumoData& d, int stage, std::initializer_list<CEinwirkung> actions,
             std::initializer_list<Assignment> loadCases) {
  CLKData& lk = d.lastUeberlagerungBZ[std::size_t(stage)];
  lk.einwirkungen.RemoveAll();
  for (const CEinwirkung& a : actions) lk.einwirkungen.Add(a);
  lk.lastfaelle.RemoveAll();
  for (const Assignment& a : loadCases) {
    CLKLastfall row;
    row.lf = a.lf;
    row.einw = a.action;
    lk.lastfaelle.Add(row);
  }
  d.maxLF[std::size_t(stage)] = int(loadCases.size());
  // as the loads page forms them: the stage takes the code's combination norm
  d.lastUeberlagerung = lk;
  d.InitLKData(FormingNorm(d.iNorm));
  lk = d.lastUeberlagerung;
  lk.UpdateLastfallZuordnung();
  lk.Calc();
}

void Section(CKolumoQuer& q, double b, double d, double cover, double barArea, int members) {
  q.bx = b;
  q.dy = d;
  q.bdx = cover;
  q.bdy = cover;
  q.as = barArea;
  q.teilung = members;
}

void Fix(CSupport& s) { s.cx = s.cy = s.cz = s.cmx = s.cmy = kRigid; }
void HoldSideways(CSupport& s) { s.cx = s.cy = kRigid; }

// Every chapter of the report, no pictures (they would only slow the run down).
void FullReport(CKolumoData& d) {
  d.num_System = 1;
  d.num_Regel_KNSW = 1;
  d.num_Regel_Lager = 1;
  d.num_Regel_Verform = 1;
  d.num_Regel_Schnitt = 1;
  d.num_KNSW_Eigen = 1;
  d.num_KNSW_Lager = 1;
  d.num_KNSW_Verform = 1;
  d.num_KNSW_Schnitt = 1;
  d.num_KNSW_Bruch = 1;
  d.num_KNSW_Dehn = 1;
  d.num_KNSW_Schub = 1;
  d.num_Riss = 1;
  d.num_ErfAs = 1;
  // a new position starts with the example's pictures: off here
  d.graf_System = d.graf_Regel_Schnitt = d.graf_KNSW_Schnitt = d.graf_Kriech_Schnitt = d.graf_ErfAs = 0;
  d.BildBreite = 0.0;
}

void Common(CKolumoData& d, int iNorm, const char* beton, const char* desc) {
  d.iNorm = iNorm;
  d.InitStages(CKolumoData::KombiNormFuerNorm(d.iNorm));
  d.sBeton = beton;
  d.sStahl = "B500B";
  d.posDesc = desc;
  FullReport(d);
}

// (a)-(c) A cantilever of 3.5 m, 30 cm in X (the wind's direction) and 45 cm in Y, fixed into its foundation, with a
// heavy axial load and wind at its head: the moment of the slender cantilever about its weak axis, not the minimum,
// governs its reinforcement.
void DesignGoverned(CKolumoData& d, int iNorm, const char* desc) {
  Common(d, iNorm, "C30/37", desc);
  d.comment = "Kragstütze, Bemessung maßgebend";
  d.SetFieldCount(1);
  d.fieldLengths[0] = 3.50;
  Section(d.querschnitte[0], 30.0, 45.0, 5.0, 3.14, 4);
  Fix(d.supports[0][1]);
  d.loads[0].Add(PointLoad(1, 0, kAxial, 650.0, "Dach, ständig"));
  d.loads[0].Add(PointLoad(2, 0, kAxial, 180.0, "Dach, Nutzlast"));
  d.loads[0].Add(PointLoad(3, 0, kX, 18.0, "Wind, Kopf"));
  d.vorver[0].Schiefstellung = 200;
  Combine(d, 0, {Action(1, kPermanent, 0), Action(2, kVariable, kImposedAB), Action(3, kVariable, kWind)},
          {{1, 1}, {2, 2}, {3, 3}});
}

// (d) Two fields: the upper one (3.0 m, 30 x 30 cm) stands 6 cm off the axis of the lower one (4.0 m, 40 x 40 cm)
// in x. In the final system the slabs hold the head and the joint; in construction stage 1 only the joint is held
// and the upper field carries formwork and a construction load on its own.
void TwoFieldsOffsetWithStage(CKolumoData& d) {
  Common(d, 10, "C35/45", "Stütze mit Versatz und Bauzustand");
  d.comment = "Obergeschoss um 6 cm versetzt; Bauzustand 1 ohne Dachdecke";
  d.SetFieldCount(2);
  d.fieldLengths[0] = 3.00;
  d.fieldLengths[1] = 4.00;
  Section(d.querschnitte[0], 30.0, 30.0, 4.5, 2.01, 3);
  d.querschnitte[0].ex = 6.0;
  Section(d.querschnitte[1], 40.0, 40.0, 4.5, 3.14, 4);

  CArray<CSupport>& fin = d.supports[0];
  HoldSideways(fin[0]);
  HoldSideways(fin[1]);
  Fix(fin[2]);
  d.loads[0].Add(PointLoad(1, 0, kAxial, 420.0, "Dach, ständig"));
  d.loads[0].Add(PointLoad(1, 1, kAxial, 380.0, "Decke über EG, ständig"));
  d.loads[0].Add(PointLoad(2, 0, kAxial, 90.0, "Dach, Nutzlast"));
  d.loads[0].Add(PointLoad(2, 1, kAxial, 150.0, "Decke über EG, Nutzlast"));
  d.vorver[0].Schiefstellung = 200;
  Combine(d, 0, {Action(1, kPermanent, 0), Action(2, kVariable, kImposedAB)}, {{1, 1}, {2, 2}});

  constexpr int kBauzustand1 = 2;
  CArray<CSupport>& bau = d.supports[kBauzustand1];
  HoldSideways(bau[1]);
  Fix(bau[2]);
  d.loads[kBauzustand1].Add(PointLoad(1, 0, kAxial, 120.0, "Schalung und Frischbeton"));
  d.loads[kBauzustand1].Add(PointLoad(1, 1, kAxial, 380.0, "Decke über EG, ständig"));
  d.loads[kBauzustand1].Add(PointLoad(2, 0, kAxial, 40.0, "Montagelast"));
  d.loads[kBauzustand1].Add(LineLoad(3, 0, 3.00, kX, 1.2, "Wind im Bauzustand"));
  d.vorver[kBauzustand1].Schiefstellung = 150;
  Combine(d, kBauzustand1, {Action(1, kPermanent, 0), Action(2, kVariable, kImposedAB), Action(3, kVariable, kWind)},
          {{1, 1}, {2, 2}, {3, 3}});
}

// (e) A free-standing cantilever of 4.0 m, 40 x 40 cm: snow in load case 1, wind in load case 2, the roof's
// permanent load in load case 3 and the column's own weight alone in load case 4.
void CantileverOwnWeightSnowWind(CKolumoData& d) {
  Common(d, 10, "C30/37", "Kragstütze mit Eigengewicht, Schnee und Wind");
  d.num_Fundament = 1;  // its foundation position carries the own weight once per load case
  d.num_FundLastw = 1;
  d.comment = "Eigengewicht im eigenen Lastfall 4";
  d.SetFieldCount(1);
  d.fieldLengths[0] = 4.00;
  Section(d.querschnitte[0], 40.0, 40.0, 4.5, 3.14, 4);
  Fix(d.supports[0][1]);
  d.loads[0].Add(PointLoad(1, 0, kAxial, 110.0, "Schnee auf dem Vordach"));
  d.loads[0].Add(LineLoad(2, 0, 4.00, kX, 2.0, "Wind auf die Stütze"));
  d.loads[0].Add(PointLoad(2, 0, kX, 6.0, "Wind auf das Vordach"));
  d.loads[0].Add(PointLoad(3, 0, kAxial, 300.0, "Vordach, ständig"));
  d.loads[0].Add(OwnWeight(4));
  d.vorver[0].Schiefstellung = 200;
  Combine(d, 0, {Action(1, kPermanent, 0), Action(2, kVariable, kSnow), Action(3, kVariable, kWind)},
          {{1, 2}, {2, 3}, {3, 1}, {4, 1}});
}

// (f) A ring 50 cm outside, 30 cm inside, 3.5 m high, held at its head and fixed at its foot.
void Ring(CKolumoData& d) {
  Common(d, 1, "C30/37", "Ringstütze");
  d.comment = "Kreisring 50/30";
  d.SetFieldCount(1);
  d.fieldLengths[0] = 3.50;
  CKolumoQuer& q = d.querschnitte[0];
  Section(q, 50.0, 30.0, 5.0, 2.01, 4);
  q.type = 2;  // "Kreisring": outer diameter, inner diameter
  HoldSideways(d.supports[0][0]);
  Fix(d.supports[0][1]);
  d.loads[0].Add(PointLoad(1, 0, kAxial, 320.0, "Decke, ständig"));
  d.loads[0].Add(PointLoad(2, 0, kAxial, 110.0, "Decke, Nutzlast"));
  d.loads[0].Add(LineLoad(3, 0, 3.50, kX, 1.5, "Wind"));
  Combine(d, 0, {Action(1, kPermanent, 0), Action(2, kVariable, kImposedAB), Action(3, kVariable, kWind)},
          {{1, 1}, {2, 2}, {3, 3}});
}

struct Column {
  const char* file;
  std::function<void(CKolumoData&)> make;
};

const std::vector<Column>& Columns() {
  static const std::vector<Column> list = {
      {"ec2_design.tqx", [](CKolumoData& d) { DesignGoverned(d, 1, "Kragstütze EC2"); }},
      {"ec2_na_gb.tqx", [](CKolumoData& d) { DesignGoverned(d, 12, "Kragstütze EC2 NA GB"); }},
      {"sia262.tqx", [](CKolumoData& d) { DesignGoverned(d, 2, "Kragstütze SIA 262"); }},
      {"two_fields_offset_stage.tqx", TwoFieldsOffsetWithStage},
      {"cantilever_own_weight.tqx", CantileverOwnWeightSnowWind},
      {"ring.tqx", Ring},
  };
  return list;
}

bool Write(const char* empty, const std::string& out, const Column& column) {
  const int doc = VIDUV_OpenDoc(empty);
  if (!doc) {
    std::fprintf(stderr, "%s: %s\n", empty, VIDUV_GetLastError());
    return false;
  }
  {
    CKolumoData data;
    data.doc = doc;
    data.ReadData(doc);
    column.make(data);
    data.WriteData(doc);
    // Read and written once more, as the host does, so that the file is in the form a round trip keeps.
    data.SetDefaults();
    data.doc = doc;
    data.ReadData(doc);
    data.WriteData(doc);
  }
  const int saved = VIDUV_SaveDocAs(doc, out.c_str());
  if (!saved) std::fprintf(stderr, "%s: %s\n", out.c_str(), VIDUV_GetLastError());
  VIDUV_CloseDoc(doc);
  return saved != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: column_make_regression EMPTY.tqx OUTDIR\n", stderr);
    return 2;
  }
  bool ok = true;
  for (const Column& column : Columns()) ok = Write(argv[1], std::string(argv[2]) + "/" + column.file, column) && ok;
  return ok ? 0 : 1;
}
