// Draws the example column as the report would: its 3D view and a result diagram (moment My along the column,
// beside the column's side view), both written as PNG files to look at.
//
//   draw_example [position.tqx] [output folder]
//
// Without a position the example of the installation (data/examples/Stuetze.tqx) is read. The example holds no
// results, so the diagram shows the first-order moment of its wind load worked out in closed form below.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "column/kolumodata.h"
#include "column_ui/kolumodraw.h"
#include "platform/pictor/pictor.h"
#include "platform/viduv/viduv.h"

namespace {

// My of a two-field column under the uniform load q (kN/m): head (z = 0) and inner node held laterally, foot
// fixed. Three-moment equation (hogging negative), support moments MB at the inner node and MC at the foot:
//   2 MB (l1 + l2) + MC l2 = -q (l1^3 + l2^3) / 4,   MB l2 + 2 MC l2 = -q l2^3 / 4,
// and within a field M(x) = Mi + (Mj - Mi) x / l + q x (l - x) / 2.
void WindMoment(double l1, double l2, double q, int steps, std::vector<double>& z, std::vector<double>& m) {
  const double mb = (-q * (l1 * l1 * l1 + l2 * l2 * l2) / 4 + q * l2 * l2 * l2 / 8) / (2 * (l1 + l2) - l2 / 2);
  const double mc = -q * l2 * l2 / 8 - mb / 2;
  auto field = [&](double z0, double l, double mi, double mj) {
    for (int k = 0; k < steps; ++k)
      for (int e = 0; e < 2; ++e) {
        const double x = l * (k + e) / steps;
        z.push_back(z0 + x);
        m.push_back(mi + (mj - mi) * x / l + q * x * (l - x) / 2);
      }
  };
  field(0.0, l1, 0.0, mb);
  field(l1, l2, mb, mc);
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return f.good();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string position =
      argc > 1 && *argv[1] ? argv[1] : std::string(KOLUMO_SOURCE_DIR) + "/data/examples/Stuetze.tqx";
  const std::string folder = argc > 2 && *argv[2] ? argv[2] : ".";

  CKolumoData data;
  int doc = VIDUV_OpenDoc(position.c_str());
  if (!doc) {
    std::fprintf(stderr, "Position nicht lesbar: %s\n", position.c_str());
    return 1;
  }
  data.doc = doc;
  if (!data.ReadData(doc)) {
    std::fprintf(stderr, "Position ohne Stützendaten: %s\n", position.c_str());
    VIDUV_CloseDoc(doc);
    return 1;
  }

  // The 3D view, as the report's system picture.
  const std::string view3D = folder + "/stuetze_3d.png";
  if (!Pictor_Create3D(600, 900, 1)) return 1;
  CPlotwerk3D* control3D = Pictor_GetPlotwerk3DPtr();
  control3D->Refresh(1, 1, 1);
  Zeichne3D(data, *control3D);
  control3D->SaveImage(view3D.c_str());
  Pictor_Destroy();

  // The diagram beside the column's side view (Y-Z plane, head at the top).
  double H = 0, W = 0;
  for (int i = 0; i < data.nFields(); ++i) {
    H += data.fieldLengths[i].GetValue();
    W = std::max(W, data.querschnitte[i].dy.GetValue());
  }
  std::vector<double> z, my;
  const double l1 = data.nFields() > 0 ? data.fieldLengths[0].GetValue() : 0.0;
  const double l2 = data.nFields() > 1 ? data.fieldLengths[1].GetValue() : 0.0;
  WindMoment(l1, l2, 2.4, 5, z, my);

  if (!Pictor_Create2D(700, 900, 1)) return 1;
  CPlotwerk2D* plot = Pictor_GetPlotwerk2DPtr();
  plot->Clear();
  plot->Invoke39(0, 0, -1, 0, 0, -1);
  double z0 = 0;
  for (int i = 0; i < data.nFields(); ++i) {
    const double l = data.fieldLengths[i].GetValue();
    const double ey = data.querschnitte[i].ey.GetValue(), dy = data.querschnitte[i].dy.GetValue();
    plot->SetStyle(0xC0C0C0, 0, 0, 0);
    plot->AddRectangle((ey - dy / 2) * 0.01, z0, (ey + dy / 2) * 0.01, z0 + l);
    plot->SetStyle(0, 0, 3, 0);
    plot->AddRectangle((ey - dy / 2) * 0.01, z0, (ey + dy / 2) * 0.01, z0 + l);
    z0 += l;
  }
  plot->Invoke30("Moment My [kNm], Wind 2.4 kN/m", 9, 15);
  CDiagrammEingabe eingabe = DiagrammEingabe(data, z, my, false);
  eingabe.vorschau = true;  // beside the column, as the preview draws it
  ZeichneDiagramm(eingabe, W * 0.01 + H / 12, *plot, "");
  plot->Refresh();
  const std::string metafile = folder + "/stuetze_my.pwm";
  plot->SetTitle(metafile.c_str());
  Pictor_Destroy();

  std::vector<unsigned char> png;
  const std::string diagram = folder + "/stuetze_my.png";
  if (!pictor::ConvertToPng(metafile.c_str(), png) || !WriteBytes(diagram, png)) {
    std::fprintf(stderr, "Diagramm nicht geschrieben: %s\n", diagram.c_str());
    return 1;
  }
  VIDUV_CloseDoc(doc);
  std::printf("%s\n%s\n", view3D.c_str(), diagram.c_str());
  return 0;
}
