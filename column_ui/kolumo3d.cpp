// The column's 3D view and the diagram input taken from the column data.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "column/kolumodata.h"
#include "column_ui/kolumodraw.h"
#include "framework_ui/labelplacer.h"
#include "platform/tolkar/tolkar.h"

namespace {

bool s_3DGezeichnet = false;  // the first 3D drawing since the module was loaded resets the view

constexpr double kDegToRad = 0.01745277777777778;

std::string Fmt(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

double Laenge(CKolumoData& data, int i) { return data.fieldLengths[i].GetValue(); }

double Hoehe(CKolumoData& data) {
  double h = 0;
  for (int i = 0; i < data.nFields(); ++i) h += Laenge(data, i);
  return h;
}

// The section of a field; a node index beyond the last field (the foot) takes the last section.
CKolumoQuer* Querschnitt(CKolumoData& data, int feld) {
  int n = int(data.querschnitte.GetSize());
  if (n == 0) return nullptr;
  return &data.querschnitte[std::clamp(feld, 0, n - 1)];
}

// A circle contour of 64 points (k = 0..63) or a ring of the outer circle (65 points, the first repeated), the
// inner circle backwards and the closing point on the outer circle.
std::vector<float> KreisKontur(double radius) {
  std::vector<float> pts;
  for (int k = 0; k < 64; ++k) {
    double a = k / 64.0 * 360.0 * kDegToRad;
    pts.push_back(float(radius * std::cos(a)));
    pts.push_back(float(radius * std::sin(a)));
  }
  return pts;
}

std::vector<float> RingKontur(double aussen, double innen) {
  std::vector<float> pts;
  for (int k = 0; k <= 64; ++k) {
    double a = k / 64.0 * 360.0 * kDegToRad;
    pts.push_back(float(aussen * std::cos(a)));
    pts.push_back(float(aussen * std::sin(a)));
  }
  for (int k = 64; k >= 0; --k) {
    double a = k / 64.0 * 360.0 * kDegToRad;
    pts.push_back(float(innen * std::cos(a)));
    pts.push_back(float(innen * std::sin(a)));
  }
  pts.push_back(float(aussen));
  pts.push_back(0.0f);
  return pts;
}

int StuetzStufe(CKolumoData& data) {
  int s = data.pDlg ? data.pDlg->GetStageSelection() : data.aktBauZustand;
  return std::clamp(s, 0, CKolumoData::kStages - 1);
}

}  // namespace

bool Is3DDrawn() { return s_3DGezeichnet; }

CDiagrammEingabe DiagrammEingabe(CKolumoData& data, const std::vector<double>& stationen,
                                 const std::vector<double>& werte, bool punktWerte) {
  CDiagrammEingabe e;
  e.stationen = stationen;
  e.werte = werte;
  for (int i = 0; i < data.ErgStabTeil.GetSize(); ++i) e.teilung.push_back(data.ErgStabTeil[i]);
  e.hoehe = Hoehe(data);
  e.schriftFeld = data.SchriftFeld;
  e.vorschau = data.pDlg != nullptr;
  e.punktWerte = punktWerte;
  return e;
}

void Zeichne3D(CKolumoData& data, CPlotwerk3D& c) {
  c.SetBackColor(0xFFFFFF);
  const int stufe = StuetzStufe(data);
  const int n = data.nFields();
  if (n > 0) {
    CArray<CSupport>& lager = data.supports[std::size_t(stufe)];
    double z0 = 0;
    for (int i = -1; i < n; ++i) {
      if (i >= 0) {
        c.SetStyle(0xC0C0C0, 0, "", 0, 0.0f);
        CKolumoQuer* q = Querschnitt(data, i);
        const double l = Laenge(data, i);
        bool gezeichnet = q != nullptr;
        if (q) {
          const double bx = q->bx.GetValue(), dy = q->dy.GetValue(), ex = q->ex.GetValue(), ey = q->ey.GetValue();
          const float fuss[3] = {float(ex / 100), float(ey / 100), float(z0)};
          const float kopf[3] = {float(ex / 100), float(ey / 100), float(z0 + l)};
          switch (q->type) {
            case 0: {
              const float ecken[6] = {float((ex - bx / 2) * 0.01), float((ey - dy / 2) * 0.01), float(z0),
                                      float((ex + bx / 2) * 0.01), float((ey + dy / 2) * 0.01), float(z0 + l)};
              c.AddLine(ecken, 1, 1);
              break;
            }
            case 1: {
              std::vector<float> k = KreisKontur(bx * 0.005);
              long h = c.CreateSection(64, k.data());
              c.AddExtrusion(fuss, kopf, h, h, 0.0f);
              break;
            }
            case 2: {
              std::vector<float> k = RingKontur(bx * 0.005, dy * 0.005);
              long h = c.CreateSection(131, k.data());
              c.AddExtrusion(fuss, kopf, h, h, 0.0f);
              break;
            }
            default:
              gezeichnet = false;
          }
        }
        if (gezeichnet) z0 += l;
      }
      const int j = i + 1;
      c.SetStyle(0x408080, 1, "", 0, 0.0f);
      if (j < lager.GetSize()) {
        CSupport& sp = lager[j];
        const float pos[3] = {0.0f, 0.0f, float(z0)};
        const float fest[3] = {float(sp.cx.GetValue()), float(sp.cy.GetValue()), j == n ? -1.0f : 0.0f};
        const float weitere[3] = {float(sp.cmx.GetValue()), float(sp.cmy.GetValue()), 0.0f};
        c.AddSupport(pos, fest, weitere, 0.8f, 1);
      }
    }

    const double H = Hoehe(data);
    double wx = 0;
    for (int i = 0; i < data.querschnitte.GetSize(); ++i) wx = std::max(wx, data.querschnitte[i].bx.GetValue());

    const char* muster =
        TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", "Stahlbetonstütze H = %.2f m");
    c.SetStyle(0x808080, 1, "Arial", 15, float(H / 35));
    c.SetTitle(2, Fmt(muster, H).c_str());
    c.SetStyle(0x808080, 0, "", 0, 0.0f);
    c.Invoke19(0x808080, 1, 2, 1.0f);

    const float normale[3] = {0, 0, 1};
    double z = 0;
    for (int i = 0; i < n; ++i) {
      const double l = Laenge(data, i);
      const float p1[3] = {0, 0, float(z)}, p2[3] = {0, 0, float(z + l)};
      const float p3[3] = {float(wx * 0.01 + H / 12), 0, float(z + l / 2)};
      c.AddQuad(p1, p2, p3, normale, "");
      z += l;
    }
    const float p1[3] = {0, 0, 0}, p2[3] = {0, 0, float(H)};
    const float p3[3] = {float(wx * 0.01 + H / 6), 0, float(H / 2)};
    c.AddQuad(p1, p2, p3, normale, "");

    ZeichneLasten3D(data, c);
  }
  c.EndScene();
}

void ZeichneLasten3D(CKolumoData& data, CPlotwerk3D& c) {
  const int stufe = data.aktBauZustand;
  if (stufe < 0 || stufe >= CKolumoData::kStages) return;
  CArray<Load>& lasten = data.loads[std::size_t(stufe)];
  const int n = data.nFields();
  std::vector<double> basis(std::size_t(n) + 1, 0.0);
  for (int k = 0; k < n; ++k) basis[std::size_t(k) + 1] = basis[std::size_t(k)] + Laenge(data, k);
  const double H = basis[std::size_t(n)];
  const double L = 0.2 * H;

  double m = 0, m10 = 0;
  for (int i = 0; i < lasten.GetSize(); ++i) {
    Load& l = lasten[i];
    if (l.ltype == 0 || l.ltype == 1) m = std::max(m, std::fabs(l.val0.GetValue()));
    if (l.ltype == 1) m = std::max(m, std::fabs(l.val1.GetValue()));
    if (l.ltype == 10) m10 = std::max(m10, std::fabs(l.val0.GetValue()));
  }
  if (m <= 0) m = 1.0;

  // Label placers for loads in the axis (0), in x (1) and in y (2).
  std::array<CLabelPlacer, 3> placer{CLabelPlacer(150), CLabelPlacer(150), CLabelPlacer(150)};

  for (int i = 0; i < lasten.GetSize(); ++i) {
    Load& l = lasten[i];
    const int knoten = std::clamp(l.node, 0, n);
    CKolumoQuer* q = Querschnitt(data, l.node);
    const double ex = q ? q->ex.GetValue() : 0.0, ey = q ? q->ey.GetValue() : 0.0;
    int d = 0;
    double hx = 0, hy = 0;
    if (l.direction == 0) {
      d = 1;
      hx = q ? q->bx.GetValue() * 0.01 : 0.0;
    } else if (l.direction == 1) {
      d = 2;
      hy = q ? q->dy.GetValue() * 0.01 : 0.0;
    }
    const double val0 = l.val0.GetValue(), val1 = l.val1.GetValue();
    const std::size_t achse = d == 1 ? 0 : d == 2 ? 1 : 2;

    if (l.ltype == 0 || l.ltype == 1) {
      const double f1 = val0, f2 = l.ltype == 1 ? val1 : val0;
      const double z1 = l.offset.GetValue() + basis[std::size_t(knoten)];
      if (z1 > H) continue;
      const double z2 = std::min(z1 + l.length.GetValue(), H);
      if (std::fabs(f1) <= 0.0001 && std::fabs(f2) <= 0.0001) continue;
      double pos = 0;
      if (d == 1 || d == 2) pos = placer[std::size_t(d)].PlaceLabel(0.0, H, z1 - 0.04 * H, z2 + 0.04 * H, L, 0.01);
      const std::string t1 = Fmt("%.1f", f1);
      const std::string t2 = std::fabs(f1 - f2) < 0.01 ? std::string() : Fmt("%.1f", f2);
      const double x = d == 1 ? -pos - 0.8 * hx : ex * 0.01 + hx / 2;
      const double y = d == 2 ? -pos - 0.8 * hy : ey * 0.01 + hy / 2;
      const float p1[3] = {float(x), float(y), float(z1)}, p2[3] = {float(x), float(y), float(z2)};
      float richtung[3] = {0, 0, 0};
      richtung[achse] = 1.0f;  // the larger of |f1| and |f2| along the axis, over itself
      double a1 = std::fabs(f1) * 0.7 * L / m, a2 = std::fabs(f2) * 0.7 * L / m;
      const double groesser = std::max(a1, a2);
      if (groesser > 0.3 * L) {
        a1 *= 0.3 * L / groesser;
        a2 *= 0.3 * L / groesser;
      }
      c.AddLineLoad(p1, p2, richtung, float(0.1 * L), float(a1), float(a2), long(2.5 * (z2 - z1)), t1.c_str(),
                    t2.c_str());
    } else if (l.ltype == 10) {
      const double z = l.offset.GetValue() + basis[std::size_t(knoten)];
      if (z > H + 0.01) continue;
      if (std::fabs(val0) <= 0.0001 && std::fabs(val1) <= 0.0001) continue;
      if (l.direction == 2) hx = 0.02 * ex;
      const double e = d == 0 ? 0.5 * L : L;
      double pos = 0;
      if (val0 != 0) pos = placer[std::size_t(d)].PlaceLabel(0.0, H, z - 0.04 * H, z + 0.04 * H, e, 0.01);
      if (val1 != 0) pos = placer[std::size_t(d)].PlaceLabel(0.0, H, z - 0.04 * H, z + 0.04 * H, e, 0.01);
      float punkt[3];
      if (d == 0) {
        punkt[0] = float(hx / 2);
        punkt[1] = float(hy / 2);
        punkt[2] = float(z - pos);
      } else {
        punkt[0] = float(d == 1 ? -pos - 0.8 * hx : ex * 0.01 + hx / 2);
        punkt[1] = float(d == 2 ? -pos - 0.8 * hy : ey * 0.01 + hy / 2);
        punkt[2] = float(z);
      }
      if (val0 != 0) {
        float richtung[3] = {0, 0, 0};
        richtung[achse] = val0 > 0 ? 1.0f : -1.0f;
        double groesse = m10 > 0 ? std::fabs(val0) * 0.7 * L / m10 : 0.3 * L;
        if (groesse > 0.3 * L) groesse = 0.3 * L;
        if (groesse < H / 35) groesse = H / 35;
        c.AddPointLoad(punkt, richtung, float(0.1 * L), float(groesse), Fmt("%.1f", val0).c_str());
      }
      if (val1 != 0) {
        // The moment turns in the plane of the load: about y for loads in x, about x for loads in y and axial
        // loads.
        float groessen[3] = {0, 0, 0};
        std::string texte[3];
        const std::size_t k = d == 1 ? 1 : 0;
        double g = m10 > 0 ? val1 * 0.7 * L / m10 : std::copysign(0.3 * L, val1);
        if (std::fabs(g) <= 0.3 * L) g = std::copysign(0.3 * L, val1);
        groessen[k] = float(g);
        texte[k] = Fmt("%.1f", val1);
        c.Invoke21(punkt, groessen, float(0.1 * L), texte[0].c_str(), texte[1].c_str(), texte[2].c_str());
      }
    }
  }
}

void Draw3D(CKolumoData& data) {
  if (data.plot3D.GetSize() == 0) return;
  auto* control = dynamic_cast<CPlotwerk3D*>(data.plot3D[0]);
  if (!control) return;
  control->Refresh(s_3DGezeichnet ? 0 : 1, 1, 1);
  Zeichne3D(data, *control);
  s_3DGezeichnet = true;
}
