// Turns an empty column position (as "kolumo new" writes it) into the shipped example column
// data/examples/Stuetze.tqx: an interior column of two storeys under EC2 with the German annex, braced by the
// floor slabs and fixed into its foundation, with permanent, imposed and wind loads and imperfections.
//
//   column_make_example EMPTY.tqx OUT.tqx     (run with KOLUMO_ROOT set to the data folder)
#include <cstdio>

#include "column/kolumodata.h"
#include "platform/viduv/viduv.h"

namespace {

constexpr double kRigid = -1.0;

Load PointLoad(int lc, int node, double axialKN, const char* desc) {
  Load load;
  load.lc = lc;
  load.ltype = 10;  // "Einzellast/Moment"
  load.node = node;
  load.direction = 2;
  load.bHasDirection = 1;
  load.val0 = axialKN;
  load.LCGen.text.Format("%d", lc);
  load.LCGen.Parse();
  load.desc = desc;
  return load;
}

Load WindLoad(int field, double lengthM, double kNPerM) {
  Load load;
  load.lc = 3;
  load.ltype = 0;  // "Gleichlast"
  load.node = field;
  load.direction = 0;
  load.bHasDirection = 1;
  load.offset = 0.0;
  load.length = lengthM;
  load.val0 = kNPerM;
  load.LCGen.text = "3";
  load.LCGen.Parse();
  load.desc = "Wind auf Fassade";
  return load;
}

CEinwirkung Action(int nr, int gruppe, int kategorie) {
  CEinwirkung action;
  action.nr = nr;
  action.indexGruppe = gruppe;
  action.indexGruppeHHHH = gruppe;
  action.indexKategorie = kategorie;
  return action;
}

void MakeExample(CKolumoData& d) {
  d.comment = "Innenstütze Achse B/3, Erdgeschoss und 1. Obergeschoss";
  d.posDesc = "Stütze B/3";
  d.iNorm = 10;  // EC2 with the German annex
  d.InitStages(CKolumoData::KombiNormFuerNorm(d.iNorm));
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
  Load self;
  self.lc = 1;
  self.ltype = 11;  // "Eigengewicht"
  self.val0 = 25.0;
  self.LCGen.text = "1";
  self.LCGen.Parse();
  self.desc = "Eigengewicht Stütze";
  d.loads[0].Add(self);
  d.loads[0].Add(PointLoad(1, 0, 620.0, "Dach, ständig"));
  d.loads[0].Add(PointLoad(1, 1, 480.0, "Decke über EG, ständig"));
  d.loads[0].Add(PointLoad(2, 0, 95.0, "Dach, Nutzlast"));
  d.loads[0].Add(PointLoad(2, 1, 160.0, "Decke über EG, Nutzlast"));
  d.loads[0].Add(WindLoad(0, 3.20, 2.4));
  d.loads[0].Add(WindLoad(1, 4.50, 2.4));

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

  d.num_System = 1;
  d.num_Regel_Lager = 1;
  d.num_Regel_Schnitt = 1;
  d.num_KNSW_Eigen = 1;
  d.num_KNSW_Lager = 1;
  d.num_KNSW_Verform = 1;
  d.num_KNSW_Schnitt = 1;
  d.num_KNSW_Bruch = 1;
  d.num_KNSW_Schub = 1;
  d.num_Riss = 1;
  d.num_ErfAs = 1;
  d.BildBreite = 12.0;
  d.graf_System = 1;
  d.graf_KNSW_Schnitt = 1;
  d.graf_ErfAs = 1;
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
