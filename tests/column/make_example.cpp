// Turns an empty column position (as "kolumo new" writes it) into the shipped example column
// data/examples/Stuetze.tqx: an interior column of two storeys under EC2 with the German annex, braced by the
// floor slabs and fixed into its foundation, with permanent, imposed and wind loads and imperfections.
//
//   column_make_example EMPTY.tqx OUT.tqx     (run with KOLUMO_ROOT set to the data folder)
#include <cstdio>

#include "column/kolumodata.h"
#include "platform/viduv/viduv.h"
#include "position_builders.h"

namespace {

using namespace column_test;

constexpr double kRigid = -1.0;

void MakeExample(CKolumoData& d) {
  d.comment = "Innenstütze Achse B/3, Erdgeschoss und 1. Obergeschoss";
  d.posDesc = "Stütze B/3";
  d.iNorm = 10;  // EC2 with the German annex
  d.InitStages(FormingNorm(d.iNorm));
  d.sBeton = "C30/37";
  d.sStahl = "B500B";

  // Field 0 is the upper storey, field 1 the ground storey on the foundation.
  d.SetFieldCount(2);
  d.fieldLengths[0] = 3.20;
  d.fieldLengths[1] = 4.50;
  for (int f = 0; f < 2; ++f) {
    CKolumoQuer& q = d.querschnitte[f];
    q.bx = f == 0 ? 35.0 : 40.0;
    q.dy = f == 0 ? 35.0 : 40.0;
    q.bdx = 4.5;
    q.bdy = 4.5;
    q.as = 3.14;
    q.teilung = 6;
  }
  // The slabs hold the head and the storey joint horizontally; the foot is fixed into the foundation.
  CArray<CSupport>& s = d.supports[0];
  for (int k = 0; k < 3; ++k) {
    s[k].cx = kRigid;
    s[k].cy = kRigid;
  }
  s[2].cz = kRigid;
  s[2].cmx = kRigid;
  s[2].cmy = kRigid;

  // Load cases: 1 permanent, 2 imposed (offices), 3 wind on the facade.
  d.maxLF[0] = 3;
  d.loads[0].Add(OwnWeight(1));
  d.loads[0].Add(PointLoad(1, 0, kAxial, 620.0, "Dach, ständig"));
  d.loads[0].Add(PointLoad(1, 1, kAxial, 480.0, "Decke über EG, ständig"));
  d.loads[0].Add(PointLoad(2, 0, kAxial, 95.0, "Dach, Nutzlast"));
  d.loads[0].Add(PointLoad(2, 1, kAxial, 160.0, "Decke über EG, Nutzlast"));
  d.loads[0].Add(LineLoad(3, 0, 3.20, kX, 2.4, "Wind auf Fassade"));
  d.loads[0].Add(LineLoad(3, 1, 4.50, kX, 2.4, "Wind auf Fassade"));

  // Inclination 1/200 and a bow of the member.
  CKolumoVorver& v = d.vorver[0];
  v.Schiefstellung = 200;
  v.bDirekteVorgabe = 1;
  v.bAusmitte = 1;
  v.ausmitte = 2.0;

  CLKData& lk = d.lastUeberlagerungBZ[0];
  lk.einwirkungen.RemoveAll();
  lk.einwirkungen.Add(Action(1, 0, 0));  // permanent
  lk.einwirkungen.Add(Action(2, 1, 0));  // imposed, category A/B
  lk.einwirkungen.Add(Action(3, 1, 7));  // wind
  lk.lastfaelle.RemoveAll();
  for (int lf = 1; lf <= 3; ++lf) {
    CLKLastfall row;
    row.lf = lf;
    row.einw = lf;
    lk.lastfaelle.Add(row);
  }
  lk.UpdateLastfallZuordnung();
  lk.Calc();

  ExampleOutputScope(d);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: column_make_example EMPTY.tqx OUT.tqx\n", stderr);
    return 2;
  }
  const int doc = VIDUV_OpenDoc(argv[1]);
  if (!doc) {
    std::fprintf(stderr, "%s: %s\n", argv[1], VIDUV_GetLastError());
    return 1;
  }
  {
    CKolumoData data;
    data.doc = doc;
    data.ReadData(doc);
    MakeExample(data);
    data.WriteData(doc);
    // Read and written once more, as the host does, so that the file is in the form a round trip keeps.
    data.SetDefaults();
    data.doc = doc;
    data.ReadData(doc);
    data.WriteData(doc);
  }
  const int saved = VIDUV_SaveDocAs(doc, argv[2]);
  if (!saved) std::fprintf(stderr, "%s: %s\n", argv[2], VIDUV_GetLastError());
  VIDUV_CloseDoc(doc);
  return saved ? 0 : 1;
}
