// The column's 3D view and the diagram input taken from the column data.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "column/kolumodata.h"
#include "column_ui/kolumodraw.h"
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
  double z = 0;
  e.feldKoten.push_back(z);
  for (int i = 0; i < data.nFields(); ++i) e.feldKoten.push_back(z += Laenge(data, i));
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
            default: gezeichnet = false;
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
    // The view fits the title to its width whenever it is laid out.
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

// Where a load meets the column: the faces of a field's section turned towards the viewer (the -x and the -y side)
// and its centre (m).
struct Flaechen {
  double xMitte = 0, yMitte = 0, xFlaeche = 0, yFlaeche = 0, breiteY = 0;
};

Flaechen FlaechenVon(CKolumoQuer* q) {
  Flaechen f;
  if (!q) return f;
  const double bx = q->bx.GetValue() * 0.01, dy = q->dy.GetValue() * 0.01;
  // A circle and a ring are bx across in both directions (dy of a ring is its opening).
  const double halbX = bx / 2, halbY = q->type == 0 ? dy / 2 : bx / 2;
  f.xMitte = q->ex.GetValue() * 0.01;
  f.yMitte = q->ey.GetValue() * 0.01;
  f.xFlaeche = f.xMitte - halbX;
  f.yFlaeche = f.yMitte - halbY;
  f.breiteY = 2 * halbY;
  return f;
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

  // The loads stand on the column, their labels beside it beyond the longest arrow (0.3 L) of their side: loads in
  // x and along the axis on the -x side, loads in y on the -y side. Labels that would meet are moved apart by the
  // view, which alone knows their size against the column's at the scale and turn it shows.
  const float wegX[3] = {-1, 0, 0}, wegY[3] = {0, -1, 0};
  const double base = 0.35 * L;
  // A value that has none is labelled with why: that text gives way in the view rather than shrink the column.
  auto beschrifte = [&](int d, const Flaechen& f, double z, CFormulaNumber& wert, const std::string& zahl) {
    const bool inY = d == 2;
    const float punkt[3] = {float(inY ? f.xMitte : f.xFlaeche - base), float(inY ? f.yFlaeche - base : f.yMitte),
                            float(z)};
    c.AddText(punkt, inY ? wegY : wegX, LastWertText(wert, zahl).c_str(), !wert.WhyNoValue().IsEmpty());
  };
  std::vector<int> axialAnKnoten(std::size_t(n) + 1, 0);

  for (int i = 0; i < lasten.GetSize(); ++i) {
    Load& l = lasten[i];
    const int knoten = std::clamp(l.node, 0, n);
    const Flaechen f = FlaechenVon(Querschnitt(data, l.node));
    const int d = l.direction == 0 ? 1 : l.direction == 1 ? 2 : 0;
    const double val0 = l.val0.GetValue(), val1 = l.val1.GetValue();
    const std::size_t achse = d == 1 ? 0 : d == 2 ? 1 : 2;
    // The point on the column a load acts at: on the -x face for loads in x, on the -y face for loads in y and
    // along the axis (whose arrows so stay clear of those in x).
    auto amStab = [&](double z) {
      return std::array<float, 3>{float(d == 1 ? f.xFlaeche : f.xMitte), float(d == 1 ? f.yMitte : f.yFlaeche),
                                  float(z)};
    };

    if (l.ltype == 0 || l.ltype == 1) {
      const double f1 = val0, f2 = l.ltype == 1 ? val1 : val0;
      const double z1 = l.offset.GetValue() + basis[std::size_t(knoten)];
      if (z1 > H) continue;
      const double z2 = std::min(z1 + l.length.GetValue(), H);
      if (std::fabs(f1) <= 0.0001 && std::fabs(f2) <= 0.0001) continue;
      const bool zweiWerte = std::fabs(f1 - f2) >= 0.01;
      double a1 = std::fabs(f1) * 0.7 * L / m, a2 = std::fabs(f2) * 0.7 * L / m;
      const double groesser = std::max(a1, a2);
      if (groesser > 0.3 * L) {
        a1 *= 0.3 * L / groesser;
        a2 *= 0.3 * L / groesser;
      }
      // The arrows point the way the load acts: a pushing load (positive, in +x or +y) ends at the column, a
      // pulling one starts there. A linear load that changes its sign is drawn as two, meeting where it is 0.
      auto band = [&](double za, double zb, double fa, double fb, double la, double lb) {
        const double vorzeichen = std::fabs(fa) >= std::fabs(fb) ? fa : fb;
        float richtung[3] = {0, 0, 0};
        richtung[achse] = vorzeichen < 0 ? -1.0f : 1.0f;
        auto pa = amStab(za), pb = amStab(zb);
        if (vorzeichen < 0) {
          pa[achse] -= float(la);
          pb[achse] -= float(lb);
        }
        c.AddLineLoad(pa.data(), pb.data(), richtung, float(0.1 * L), float(la), float(lb), long(2.5 * (zb - za)), "",
                      "");
      };
      if (f1 * f2 < 0) {
        const double z0 = z1 + (z2 - z1) * f1 / (f1 - f2);
        band(z1, z0, f1, 0.0, a1, 0.0);
        band(z0, z2, 0.0, f2, 0.0, a2);
      } else {
        band(z1, z2, f1, f2, a1, a2);
      }
      if (!zweiWerte) {
        beschrifte(d, f, (z1 + z2) / 2, l.val0, Fmt("%.1f kN/m", f1));
      } else {
        beschrifte(d, f, z1, l.val0, Fmt("%.1f kN/m", f1));
        beschrifte(d, f, z2, l.ltype == 1 ? l.val1 : l.val0, Fmt("%.1f kN/m", f2));
      }
    } else if (l.ltype == 10) {
      const double z = l.offset.GetValue() + basis[std::size_t(knoten)];
      if (z > H + 0.01) continue;
      if (std::fabs(val0) <= 0.0001 && std::fabs(val1) <= 0.0001) continue;
      std::array<float, 3> punkt = amStab(z);
      if (d == 0) {
        // On the head the force stands on the top face; further down beside the -y face, its tip at the node's
        // height. Several at one node stand side by side.
        const int k = axialAnKnoten[std::size_t(knoten)]++;
        const double versatz = (k % 2 == 1 ? -1.0 : 1.0) * double((k + 1) / 2) * 0.25 * f.breiteY;
        punkt[0] = float(f.xMitte + versatz);
        if (z <= 1e-9) punkt[1] = float(f.yMitte);
      }
      double groesse = 0;
      if (val0 != 0) {
        float richtung[3] = {0, 0, 0};
        richtung[achse] = val0 > 0 ? 1.0f : -1.0f;
        groesse = m10 > 0 ? std::fabs(val0) * 0.7 * L / m10 : 0.3 * L;
        if (groesse > 0.3 * L) groesse = 0.3 * L;
        if (groesse < H / 35) groesse = H / 35;
        // A pulling force starts at the column and points away from it.
        std::array<float, 3> spitze = punkt;
        if (val0 < 0) spitze[achse] -= float(groesse);
        c.AddPointLoad(spitze.data(), richtung, float(0.1 * L), float(groesse), "");
        const double zText = d == 0 ? (val0 > 0 ? z - groesse / 2 : z + groesse / 2) : z;
        beschrifte(d, f, zText, l.val0, Fmt("%.1f kN", val0));
      }
      if (val1 != 0) {
        // The moment turns in the plane of the load: about y for loads in x, about x for loads in y and axial
        // loads. Its vector as the calculation applies it: a positive moment tilts the head to -x for a load in
        // x (a vector along -y) and to +y for a load in y (a vector along -x).
        float groessen[3] = {0, 0, 0};
        const std::size_t k = d == 1 ? 1 : 0;
        double g = m10 > 0 ? val1 * 0.7 * L / m10 : std::copysign(0.3 * L, val1);
        if (std::fabs(g) <= 0.3 * L) g = std::copysign(0.3 * L, val1);
        groessen[k] = float(d == 0 ? g : -g);
        c.Invoke21(punkt.data(), groessen, float(0.1 * L), "", "", "");
        beschrifte(d, f, z, l.val1, Fmt("%.1f kNm", val1));
      }
    }
  }
}

std::string LastWertText(CFormulaNumber& wert, const std::string& zahl) {
  const CString grund = wert.WhyNoValue();
  return grund.IsEmpty() ? zahl : grund.str();
}

void Draw3D(CKolumoData& data) {
  if (data.plot3D.GetSize() == 0) return;
  auto* control = dynamic_cast<CPlotwerk3D*>(data.plot3D[0]);
  if (!control) return;
  control->Refresh(s_3DGezeichnet ? 0 : 1, 1, 1);
  Zeichne3D(data, *control);
  s_3DGezeichnet = true;
}
