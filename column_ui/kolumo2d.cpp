// The column in the preview's 2D views, and picking and dragging its nodes, loads and cut.
#include "column_ui/kolumo2d.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "column/kolumodata.h"
#include "column_ui/kolumodlg.h"
#include "column_ui/kolumodraw.h"
#include "framework_ui/labelplacer.h"
#include "framework_ui/plotwerk.h"

namespace {

constexpr long kFill = 0xC0C0C0, kOutline = 0, kPicked = 0x4040C0, kLoads = 0xFF5A5A, kBars = 0x876E3A,
               kHole = 0xFFFFFF;

std::string Fmt2(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2lf", v);
  return buf;
}

double Laenge(CKolumoData& d, int i) { return d.fieldLengths[i].GetValue(); }

double Hoehe(CKolumoData& d) {
  double h = 0;
  for (int i = 0; i < d.nFields(); ++i) h += Laenge(d, i);
  return h;
}

CKolumoQuer* Quer(CKolumoData& d, int feld) {
  const int n = int(d.querschnitte.GetSize());
  if (n == 0) return nullptr;
  return &d.querschnitte[std::clamp(feld, 0, n - 1)];
}

int StuetzStufe(CKolumoData& d) {
  const int s = d.pDlg ? d.pDlg->GetStageSelection() : 0;
  return std::clamp(s, 0, CKolumoData::kStages - 1);
}

CPlotwerk2D* Control(CKolumoData& d, const std::function<CPlotwerk2D*(int)>& ansicht, int k) {
  CPlotwerk2D* c = nullptr;
  if (ansicht)
    c = ansicht(k);
  else if (k < d.plot2D.GetSize())
    c = dynamic_cast<CPlotwerk2D*>(d.plot2D[k]);
  return c && c->GetSafeHwnd() ? c : nullptr;
}

// Width across the side view (cm): mode 0 Y-Z (dy; a ring is bx across), mode 1 X-Z (bx).
double Breite(CKolumoQuer& q, int mode) {
  if (mode == 1) return q.bx.GetValue();
  return q.type == 2 ? std::max(q.bx.GetValue(), q.dy.GetValue()) : q.dy.GetValue();
}

// Header lines of a view: the graphics control writes them in Arial this many pixels high (its header size 9 plus 3)
// from 8 pixels inside the left edge, each line taking the size plus 6 pixels.
constexpr int kKopfGroesse = 9, kKopfPixel = kKopfGroesse + 3, kKopfZeile = kKopfGroesse + 6, kKopfRand = 8;
// The value labels of the results diagram are this many pixels high on the screen.
constexpr double kEtikettPixel = 11.0;

// Words of `text` in lines no wider than `breite` pixels; a word longer than that stands on its own line.
std::vector<std::string> Umbrechen(const std::string& text, int breite) {
  std::vector<std::string> zeilen;
  std::size_t i = 0;
  std::string zeile;
  while (i < text.size()) {
    const std::size_t ende = std::min(text.find(' ', i), text.size());
    const std::string wort = text.substr(i, ende - i);
    i = ende + 1;
    if (wort.empty()) continue;
    const std::string laenger = zeile.empty() ? wort : zeile + " " + wort;
    if (zeile.empty() || KopfBreite(laenger) <= breite) {
      zeile = laenger;
    } else {
      zeilen.push_back(zeile);
      zeile = wort;
    }
  }
  if (!zeile.empty()) zeilen.push_back(zeile);
  return zeilen;
}

// The height of a line of a load's value (11 pixels and some room) in drawing units of the side view: the view fits
// the column's height with the loads above its head into the client area, which gives its scale.
double ZeilenHoehe(CPlotwerk2D& c, double H) {
  CRect client;
  c.GetClientRect(&client);
  const double hoch = std::max(1.0, double(client.Height() - 28));
  return H > 0 ? 14.0 * 1.3 * H / hoch : 0.0;
}

// Lengths of the arrows of axial point loads: v0 / s2, except that of two loads at one node pulling the same way the
// longer arrow reaches at least a text line beyond the shorter one, so that their values, written at the arrows'
// ends, stand one above the other. By load index.
std::map<int, double> AxialeLaengen(CArray<Load>& lasten, const std::vector<double>& top, double s2, double zeile) {
  std::map<std::pair<long long, bool>, std::vector<std::pair<double, int>>> knoten;
  const int n = int(top.size());
  for (int i = 0; i < lasten.GetSize(); ++i) {
    Load& l = lasten[i];
    if (l.ltype != 10 || l.direction != 2 || std::fabs(l.val0.GetValue()) < 1e-6) continue;
    const int k = std::clamp(l.node, 0, n);
    const double z = l.offset.GetValue() + (k == 0 ? 0.0 : top[std::size_t(k - 1)]);
    const double a = l.val0.GetValue() / s2;
    knoten[{std::llround(z * 1000), a > 0}].push_back({std::fabs(a), i});
  }
  std::map<int, double> laengen;
  for (auto& [wo, pfeile] : knoten) {
    std::sort(pfeile.begin(), pfeile.end());
    double vorher = -1e300;
    for (auto& [betrag, i] : pfeile) {
      betrag = std::max(betrag, vorher + zeile);
      vorher = betrag;
      laengen[i] = wo.second ? betrag : -betrag;
    }
  }
  return laengen;
}

// A dimension's text is 12 pixels high (its font size 15 less 3); a line of them takes this many pixels.
constexpr int kMassPixel = 12;
constexpr double kMassZeile = 16.0;

// A circle for the control: centre, then a rim point twice.
void Kreis(CPlotwerk2D& c, double mx, double my, double rx, double ry) { c.AddTriangle(mx, my, rx, ry, rx, ry); }

}  // namespace

int KopfBreite(const std::string& text) { return TextBreite(text, kKopfPixel); }

int TextBreite(const std::string& text, int pixel) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HFONT font = ::CreateFont(-pixel, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ alt = ::SelectObject(dc, font);
  SIZE groesse{};
  ::GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &groesse);
  ::SelectObject(dc, alt);
  ::DeleteObject(font);
  ::DeleteDC(dc);
  return int(groesse.cx);
}

std::string ErgebnisKopf(const std::string& titel, double max, double min, int breite) {
  const int platz = breite - 2 * kKopfRand;
  std::vector<std::string> zeilen = Umbrechen(titel, platz);
  char werte[96];
  std::snprintf(werte, sizeof werte, "max = %.2lf   min = %.2lf", max, min);
  if (KopfBreite(werte) <= platz) {
    zeilen.emplace_back(werte);
  } else {
    std::snprintf(werte, sizeof werte, "max = %.2lf", max);
    zeilen.emplace_back(werte);
    std::snprintf(werte, sizeof werte, "min =  %.2lf", min);
    zeilen.emplace_back(werte);
  }
  std::string kopf;
  for (const std::string& z : zeilen) kopf += (kopf.empty() ? "" : "\n") + z;
  return kopf;
}

double ErgebnisSchrift(int breite, int hoehe, int kopfZeilen, double H, double W) {
  if (!(H > 0)) return 0.0;
  // The view keeps 14 pixels round the drawing and fits it by its larger extent: the column's height (with its node
  // symbols) down, across the column, the diagram's half height beside it and the labels of about nine figures.
  const double unten = std::max(1.0, double(hoehe - 28 - kopfZeilen * kKopfZeile));
  const double quer = std::max(1.0, double(breite - 28) - 9 * 0.6 * kEtikettPixel);
  const double massstab = std::min(unten / (1.05 * H), quer / (0.6 * H + W));
  // The control draws a text 0.7 of its height high, in pixels of this scale.
  return kEtikettPixel / (0.7 * massstab);
}

void CKolumoVorschau2D::Draw2D() {
  CKolumoData& d = m_data;
  if (d.plot2D.GetSize() == 0) return;
  // While the input dialog shows its results, the page whose chosen quantity the Y-Z view draws.
  CKolumoResultDlg* ergebnisse = nullptr;
  if (auto* dlg = dynamic_cast<CKolumoDlg*>(d.pDlg);
      dlg && dlg->GetTabCtrl().GetSafeHwnd() && dlg->GetTabCtrl().GetCurSel() == CKolumoDlg::kResultTab)
    ergebnisse = &dlg->m_resultDlg;
  m_gekuerzt = false;
  if (CPlotwerk2D* c = Control(d, ansicht, 0)) ZeichneSeite(*c, 0, ergebnisse);
  if (CPlotwerk2D* c = Control(d, ansicht, 1)) ZeichneSeite(*c, 1, ergebnisse);

  // A load shortened to the column's end is shown by the loads page once the views stand.
  struct Melden {
    CKolumoVorschau2D& bild;
    ~Melden() {
      if (bild.m_gekuerzt && bild.onChanged) bild.onChanged(2);
      bild.m_gekuerzt = false;
    }
  } melden{*this};
  if (CPlotwerk2D* c = Control(d, ansicht, 2)) ZeichneQuerschnitt(*c);
}

void CKolumoVorschau2D::ZeichneSeite(CPlotwerk2D& c, int mode, CKolumoResultDlg* ergebnisse) {
  CKolumoData& d = m_data;
  c.Clear();
  c.Invoke39(0, 0, -1, 0, 0, -1);
  c.Invoke54(1, 1, mode == 0 ? "Y" : "X", 0, "Z");
  if (d.nFields() > 0 && d.querschnitte.GetSize() > 0) {
    const double W = ZeichneFelderUndKnoten(c, mode);
    if (ergebnisse) {
      // The results tab: the chosen quantity beside the Y-Z view, no dimensions, loads or cut.
      if (mode == 0) ZeichneErgebnis(c, *ergebnisse, W);
    } else {
      const double r = ZeichneMasseUndLasten(c, mode, W);
      if (mode == 1) ZeichneSchnitt(c, r, W);
    }
  }
  c.SetObjectId(0, 0);
  c.Invoke17(1);
  c.Refresh();
}

double CKolumoVorschau2D::ZeichneFelderUndKnoten(CPlotwerk2D& c, int mode) {
  CKolumoData& d = m_data;
  const int n = d.nFields();
  const double H = Hoehe(d);
  double W = 0;
  for (int i = 0; i < n; ++i) W = std::max(W, Breite(*Quer(d, i), mode));
  CArray<CSupport>& lager = d.supports[std::size_t(StuetzStufe(d))];
  double z0 = 0;
  for (int i = -1; i < n; ++i) {
    c.SetObjectId(0, 0);
    if (i >= 0) {
      CKolumoQuer& q = *Quer(d, i);
      const double w = Breite(q, mode), e = mode == 0 ? q.ey.GetValue() : q.ex.GetValue();
      const double l = Laenge(d, i);
      c.SetStyle(kFill, 0, 0, 0);
      c.AddRectangle((e - w / 2) * 0.01, z0, (e + w / 2) * 0.01, z0 + l);
      c.SetStyle(kOutline, 0, 3, 0);
      c.AddRectangle((e - w / 2) * 0.01, z0, (e + w / 2) * 0.01, z0 + l);
      z0 += l;
    }
    const int j = i + 1;
    double x = 0, dx = 0, dz = 0, feder = 0, sechs = 0, dreh = 0;
    CSupport* sp = j < lager.GetSize() ? &lager[j] : nullptr;
    if (j < n) {
      CKolumoQuer& q = *Quer(d, j);
      x = mode == 0 ? (q.ey.GetValue() + q.dy.GetValue() / 2) * 0.01 : (q.ex.GetValue() + q.bx.GetValue() / 2) * 0.01;
      dx = -H / 30;
      if (sp) feder = mode == 0 ? sp->cy.GetValue() : sp->cx.GetValue();
    } else {
      dz = -H / 30;
      sechs = -1.0;
      if (sp) feder = sp->cz.GetValue();
    }
    if (sp) dreh = mode == 0 ? sp->cmx.GetValue() : sp->cmy.GetValue();
    const int id = 4 * j + 1;
    c.SetObjectId(id, 3);
    c.SetStyle(pickedId > 0 && pickedId == id ? kPicked : kOutline, 0, 3, 0);
    c.Invoke45(x, z0, dx, dz, feder, sechs, dreh, 1);
    if (i == -1) c.Invoke55();
  }
  c.Invoke55();
  return W;
}

void CKolumoVorschau2D::ZeichneErgebnis(CPlotwerk2D& c, CKolumoResultDlg& ergebnisse, double W) {
  CKolumoData& d = m_data;
  const double H = Hoehe(d);
  c.SetObjectId(0, 0);
  c.Invoke17(0);
  // The page's title with its extremes on one line, wrapped to the view: the header leaves the column room.
  CRect client;
  c.GetClientRect(&client);
  const std::string kopf =
      ErgebnisKopf(ergebnisse.m_titel.GetString(), ergebnisse.m_max, ergebnisse.m_min, client.Width());
  c.Invoke30(kopf.c_str(), kKopfGroesse, 15);
  CDiagrammEingabe eingabe =
      DiagrammEingabe(d, ergebnisse.m_stationen, ergebnisse.m_werte, ergebnisse.m_punktWerte != FALSE);
  eingabe.vorschau = true;
  const int zeilen = 1 + int(std::count(kopf.begin(), kopf.end(), '\n'));
  eingabe.schriftHoehe = ErgebnisSchrift(client.Width(), client.Height(), zeilen, H, W * 0.01);
  ZeichneDiagramm(eingabe, W * 0.01 + H / 12, c, "");
}

double CKolumoVorschau2D::ZeichneMasseUndLasten(CPlotwerk2D& c, int mode, double W) {
  CKolumoData& d = m_data;
  const double H = Hoehe(d);
  double z = 0;
  for (int i = 0; i < d.nFields(); ++i) {
    c.SetStyle(kOutline, 0, 3, 0);
    const double l = Laenge(d, i);
    if (d.pickedObject == -1) c.Invoke12(0, z, 0, z + l, W * 0.01 + H / 12, 0, 15, H / 64, "", 2, 0, 0);
    z += l;
  }
  c.Invoke12(0, 0, 0, H, W * 0.01 + H / 6, 0, 15, H / 64, "", 2, 0, 0);
  const int last = d.aktBauZustand;
  const bool hatLasten = last >= 0 && last < CKolumoData::kStages && d.loads[std::size_t(last)].GetSize() > 0;
  return hatLasten ? ZeichneLasten2D(mode, c) : -0.2;
}

void CKolumoVorschau2D::ZeichneSchnitt(CPlotwerk2D& c, double r, double W) {
  CKolumoData& d = m_data;
  const double H = Hoehe(d);
  r = std::min(r, -0.2 - 0.005 * Quer(d, 0)->bx.GetValue());
  c.SetStyle(kOutline, 0, 3, 0);
  c.SetObjectId(3, 3);
  c.SetStyle(pickedId == 3 ? kPicked : kOutline, 0, 3, 0);
  cutHeight = std::clamp(cutHeight, 0.0, H);
  const double zc = cutHeight, t = H / 30, u = H / 60, xr = H / 4 + W * 0.01;
  c.Invoke08(xr - H / 120, zc - t, 180.0, 15, "A");
  c.Invoke08(r + H / 45, zc - t, 180.0, 15, "A");
  c.AddLine(xr, zc - t, xr - t, zc - t);
  c.AddLine(xr, zc - t, xr - u, zc);
  c.AddLine(xr - t, zc - t, xr - u, zc);
  c.AddLine(r, zc - t, r + t, zc - t);
  c.AddLine(r, zc - t, r + u, zc);
  c.AddLine(r + t, zc - t, r + u, zc);
  c.SetStyle(pickedId == 3 ? kPicked : kOutline, 2, 3, 0);
  c.AddLine(xr, zc, r, zc);
  c.SetObjectId(0, 0);
}

void CKolumoVorschau2D::ZeichneQuerschnitt(CPlotwerk2D& c) {
  CKolumoData& d = m_data;
  c.Clear();
  c.Invoke39(0, 0, 1, 0, 0, 1);
  c.Invoke54(1, 0, "X", 1, "Y");
  if (d.querschnitte.GetSize() > 0) {
    // The first field that reaches down to the cut.
    int k = 0;
    double oben = 0;
    for (int i = 0; i < d.nFields(); ++i) {
      oben += Laenge(d, i);
      if (oben >= cutHeight) {
        k = i;
        break;
      }
    }
    CKolumoQuer& q = *Quer(d, k);
    // The dimension texts are as high in pixels whatever the view's scale, and that scale follows from the drawing
    // with its dimensions: drawn again with the texts placed at the scale the last drawing gave until it stands.
    const double abstand = std::max(q.bx.GetValue(), q.dy.GetValue()) / 10;
    double massstab = 0;
    for (int versuch = 0;; ++versuch) {
      ZeichneQuerschnittsform(c, q);
      if (q.type < 0 || q.type > 2) break;
      ZeichneQuerschnittsmasse(c, q, abstand, massstab);
      const double jetzt = c.ViewScale();
      if (versuch == 3 || !(jetzt > 0) || std::fabs(jetzt - massstab) <= 0.02 * jetzt) break;
      massstab = jetzt;
      c.Clear();
      c.Invoke39(0, 0, 1, 0, 0, 1);
      c.Invoke54(1, 0, "X", 1, "Y");
    }
  }
  c.SetObjectId(0, 0);
  c.Invoke17(0);
  c.Refresh();
}

void CKolumoVorschau2D::ZeichneQuerschnittsform(CPlotwerk2D& c, CKolumoQuer& q) {
  const double bx = q.bx.GetValue(), dy = q.dy.GetValue(), bdx = q.bdx.GetValue(), bdy = q.bdy.GetValue();
  const double m = bx / 2;
  switch (q.type) {
    case 0: {
      c.SetStyle(kFill, 0, 0, 0);
      c.AddRectangle(0, 0, bx, dy);
      c.SetStyle(kOutline, 0, 3, 0);
      c.AddRectangle(0, 0, bx, dy);
      c.SetStyle(kBars, 0, 0, 0);
      const double rs = std::sqrt(std::max(0.0, q.as.GetValue()) / 3.14159265358979);
      auto stab = [&](double x, double y) { Kreis(c, x, y, x + rs, y); };
      if (q.bewType == 0 || q.bewType == 1) {
        stab(bdx, dy - bdy);
        stab(bx - bdx, dy - bdy);
        stab(bx - bdx, bdy);
        stab(bdx, bdy);
      }
      if (q.bewType == 1) {
        stab(bx / 2, dy - bdy);
        stab(bx - bdx, dy / 2);
        stab(bx / 2, bdy);
        stab(bdx, dy / 2);
      }
      if (q.bewType == 2) {
        c.AddRectangle(bdx, bdy, bx - bdx, dy - bdy);
        c.SetStyle(kFill, 0, 0, 0);
        c.AddRectangle(bdx + 1, bdy + 1, bx - bdx - 1, dy - bdy - 1);
      }
      break;
    }
    case 1:
      c.SetStyle(kFill, 0, 0, 0);
      Kreis(c, m, m, m, 0);
      c.SetStyle(kBars, 0, 0, 0);
      Kreis(c, m, m, m, bdx);
      c.SetStyle(kFill, 0, 0, 0);
      Kreis(c, m, m, m, bdx + 1);
      c.SetStyle(kOutline, 0, 3, 0);
      Kreis(c, m, m, m, 0);
      break;
    case 2:
      c.SetStyle(kFill, 0, 0, 0);
      Kreis(c, m, m, m, 0);
      c.SetStyle(kBars, 0, 0, 0);
      Kreis(c, m, m, m, bx / 2 - dy / 2 - bdx);
      c.SetStyle(kFill, 0, 0, 0);
      Kreis(c, m, m, m, bx / 2 - dy / 2 - bdx + 1);
      c.SetStyle(kHole, 0, 0, 0);
      Kreis(c, m, m, m, (bx - dy) / 2);
      c.SetStyle(kOutline, 0, 3, 0);
      Kreis(c, m, m, m, 0);
      Kreis(c, m, m, m, (bx - dy) / 2);
      break;
    default: break;
  }
}

void CKolumoVorschau2D::ZeichneQuerschnittsmasse(CPlotwerk2D& c, CKolumoQuer& q, double s, double massstab) {
  const double bx = q.bx.GetValue(), dy = q.dy.GetValue(), bdx = q.bdx.GetValue(), bdy = q.bdy.GetValue();
  c.Invoke55();
  c.SetStyle(kOutline, 0, 3, 0);
  // A dimension along x (quer false) below the section or along y left of it; a part of the side or its whole.
  struct Mass {
    int type;
    double x1, y1, x2, y2, size;
    bool quer, ganz;
  };
  const Mass masse[] = {{0, 0, dy, 0, dy - bdy, s / 2, true, false},
                        {0, 0, 0, 0, bdy, s / 2, true, false},
                        {0, 0, 0, 0, dy, s / 2, true, true},
                        {0, 0, 0, bdx, 0, -s / 2, false, false},
                        {0, bx - bdx, 0, bx, 0, s / 2, false, false},
                        {0, 0, 0, bx, 0, s / 2, false, true},
                        {1, 0, 0, bdx, 0, -s / 2, false, false},
                        {1, 0, 0, bx, 0, s / 2, false, true},
                        {2, 0, (bx - dy) / 2, 0, (bx + dy) / 2, s / 2, true, false},
                        {2, 0, 0, bdx, 0, -s / 2, false, false},
                        {2, 0, 0, bx, 0, s / 2, false, true}};
  // The parts' texts stand a line s from the section, a part whose text would run into another's one text line
  // further out; the whole side's dimension beyond the outermost part.
  CLabelPlacer platz;
  const double zeile = massstab > 0 ? kMassZeile / massstab : s;
  double aussen[2] = {s, s};
  for (const Mass& m : masse) {
    if (m.type != q.type || m.ganz) continue;
    double abstand = s;
    if (massstab > 0) {
      const double laenge = std::hypot(m.x2 - m.x1, m.y2 - m.y1);
      const double text = (TextBreite(Fmt2(laenge), kMassPixel) + 4) / massstab;
      abstand = platz.FindOffset(1, m.x1, m.y1, m.x2, m.y2, laenge, (laenge - text) / 2, (laenge + text) / 2, zeile,
                                 m.quer ? -1 : 1, s);
    }
    aussen[m.quer] = std::max(aussen[m.quer], abstand);
    c.Invoke12(m.x1, m.y1, m.x2, m.y2, m.quer ? -abstand : 0, m.quer ? 0 : -abstand, 15, m.size, "", 2, 0, 0);
  }
  for (const Mass& m : masse) {
    if (m.type != q.type || !m.ganz) continue;
    const double abstand = aussen[m.quer] + std::max(s, zeile);
    c.Invoke12(m.x1, m.y1, m.x2, m.y2, m.quer ? -abstand : 0, m.quer ? 0 : -abstand, 15, m.size, "", 2, 0, 0);
  }
}

double CKolumoVorschau2D::ZeichneLasten2D(int mode, CPlotwerk2D& c) {
  CKolumoData& d = m_data;
  const int stufe = d.aktBauZustand;
  if (stufe < 0 || stufe >= CKolumoData::kStages) return -0.2;
  CArray<Load>& lasten = d.loads[std::size_t(stufe)];
  const int n = d.nFields();
  std::vector<double> top(std::size_t(std::max(n, 1)), 0.0);
  double summe = 0;
  for (int k = 0; k < n; ++k) top[std::size_t(k)] = summe += Laenge(d, k);
  const double H = summe;
  c.SetStyle(kLoads, 0, 0, 1);
  // Arrow scales: the largest value, but at least 1, so that all-zero forces keep a finite scale.
  double m1 = 1.0, m2 = 1.0;
  for (int i = 0; i < lasten.GetSize(); ++i) {
    Load& l = lasten[i];
    const double a = std::fabs(l.val0.GetValue()), b = std::fabs(l.val1.GetValue());
    if (l.ltype == 0 || l.ltype == 1) m1 = std::max(m1, a);
    if (l.ltype == 1) m1 = std::max(m1, b);
    if (l.ltype == 10) m2 = std::max(m2, a);
  }
  const double s1 = 2.6 * m1, s2 = 1.95 * m2;
  const int richtung = mode == 0 ? 1 : 0;
  const std::map<int, double> axial = AxialeLaengen(lasten, top, s2, ZeilenHoehe(c, H));
  float x0 = -0.2f;
  for (int i = 0; i < lasten.GetSize(); ++i) {
    Load& l = lasten[i];
    const int id = 4 * i + 2;
    const int knoten = std::clamp(l.node, 0, n);
    const double b = knoten == 0 ? 0.0 : top[std::size_t(knoten - 1)];
    const double z1 = l.offset.GetValue() + b;
    CKolumoQuer* q = Quer(d, knoten);
    if (!q) break;
    const double w = mode == 0 ? q->dy.GetValue() : q->bx.GetValue();
    const double v0 = l.val0.GetValue(), v1 = l.val1.GetValue();
    auto stil = [&] { c.SetStyle(pickedId > 0 && pickedId == id ? kPicked : kLoads, 0, 0, 1); };
    if (l.ltype == 10) {
      if (l.direction != richtung && l.direction != 2) continue;
      double x, px = 0.1, py = 0;
      if (l.direction == 2) {
        x = mode == 0 ? 0.0 : q->ex.GetValue() * 0.01;
        px = 0;
        py = 0.1;
      } else {
        x = x0 - 0.005 * w;
      }
      const auto gestreckt = axial.find(i);
      const double a = gestreckt != axial.end() ? gestreckt->second : v0 / s2 + px, cc = v1 / s2 + px;
      if (std::fabs(v0) < 1e-6 && std::fabs(v1) < 1e-6) continue;
      c.SetObjectId(id, 3);
      stil();
      if (std::fabs(a - px) >= 1e-6)
        c.AddPointLoad(float(x), float(z1), float(px), float(py), float(a), LastWertText(l.val0, Fmt2(v0)).c_str());
      if (std::fabs(cc - px) >= 1e-6) {
        // The turn as the view shows it: a positive moment tilts the head to -x for a load in x, to +y for a
        // load in y (as the calculation's deformations have it); both views show their horizontal axis pointing
        // left, so the first turns clockwise on the screen, the second counter-clockwise.
        const double drehung = l.direction == 0 ? -v1 : v1;
        c.Invoke40(x, z1, px, py, l.direction == 2 ? cc : std::copysign(std::fabs(cc), drehung),
                   LastWertText(l.val1, Fmt2(v1)).c_str());
      }
      if (l.direction != 2) x0 = float(x0 - a - 0.2);
    } else if (l.ltype == 0 || l.ltype == 1) {
      if (l.direction != richtung) continue;
      // A load that starts beyond the column's end is not drawn and keeps its length; one that reaches beyond it
      // is drawn up to the end and shortened to it.
      if (z1 >= H) continue;
      double z2 = z1 + l.length.GetValue();
      if (z2 > H) {
        z2 = H;
        l.length = H - z1;
        m_gekuerzt = true;
      }
      const double x = x0 - 0.005 * w;
      const double p = v0 / s1 + 0.1, qq = l.ltype == 1 ? v1 / s1 + 0.1 : p;
      const bool zeichnen = l.ltype == 1 ? (std::fabs(v0) >= 1e-6 || std::fabs(v1) >= 1e-6)
                                         : (std::fabs(v0) >= 1e-6 && std::fabs(z2 - z1) >= 1e-6);
      if (!zeichnen) continue;
      c.SetObjectId(id, 3);
      stil();
      c.AddLineLoad(float(x), float(z1), float(x), float(z2), 0.1f, 0.0f, float(p), float(qq),
                    LastWertText(l.val0, Fmt2(v0)).c_str(),
                    LastWertText(l.ltype == 1 ? l.val1 : l.val0, Fmt2(l.ltype == 1 ? v1 : v0)).c_str());
      x0 = float(x0 - p - 0.2);
    }
  }
  c.SetObjectId(0, 0);
  return x0;
}

void CKolumoVorschau2D::PickObject(int id) {
  pickedId = 0;
  const int kind = id % 4;
  if (id <= 0 || kind < 1 || kind > 3) return;
  pickedId = id;
  m_rest = 0;
  m_hasLast = false;
  Draw2D();
}

double CKolumoVorschau2D::DragObject(CPlotwerk2D* control, int id, double /*x*/, double y, double raster) {
  if (id == 0) return 0;
  // The control reports positions; the data moves by the change since the last one.
  const double dy = m_hasLast ? y - m_lastY : 0.0;
  m_hasLast = true;
  m_lastY = y;
  const double d = VerschiebeObjekt(id, dy, raster);
  if (dy != 0) m_moved = true;
  if (control && d != 0) control->MoveObject(id, 0, d);
  return d;
}

double CKolumoVorschau2D::VerschiebeObjekt(int id, double dy, double raster) {
  if (id <= 0 || !(raster > 0)) return 0;
  m_rest += dy;
  if (std::fabs(m_rest) + raster / 2 <= raster) return 0;
  double schritte = std::trunc(m_rest / raster + (m_rest <= 0 ? -0.5 : 0.5));
  CKolumoData& data = m_data;
  const int n = data.nFields();
  const int kind = id % 4, index = id / 4;
  if (kind == 1 && index >= 0 && index <= n && n > 0) {
    // A field never gets a length of zero or less: the steps stop at the last one that leaves it a length.
    auto kuerzbar = [&](int feld) {
      const double l = Laenge(data, feld);
      return std::max(0.0, std::ceil(l / raster - 1e-9) - 1);
    };
    if (schritte > 0 && index < n) schritte = std::min(schritte, kuerzbar(index));
    if (schritte < 0 && index > 0) schritte = std::max(schritte, -kuerzbar(index - 1));
    const double d = schritte * raster;
    if (index > 0) data.fieldLengths[index - 1] = Laenge(data, index - 1) + d;
    if (index < n) data.fieldLengths[index] = Laenge(data, index) - d;
    if (d != 0 && onChanged) onChanged(1);
    m_rest = d == 0 ? 0 : m_rest - d;
    return d;
  }
  const double d = schritte * raster;
  if (kind == 2) {
    const int stufe = data.aktBauZustand;
    if (stufe < 0 || stufe >= CKolumoData::kStages || index >= data.loads[std::size_t(stufe)].GetSize()) return 0;
    Load& l = data.loads[std::size_t(stufe)][index];
    double off = l.offset.GetValue() + d;
    if (off > 0) {
      if (l.node > n - 1) {
        off = 0;
      } else if (off >= Laenge(data, std::max(l.node, 0))) {
        off -= Laenge(data, std::max(l.node, 0));
        ++l.node;
      }
    } else {
      if (l.node <= 0) {
        off = 0;
      } else if (off <= Laenge(data, l.node - 1)) {
        off += Laenge(data, l.node - 1);
        --l.node;
      }
    }
    l.offset = off;
    if (onChanged) onChanged(2);
  } else if (kind == 3) {
    cutHeight += d;
    if (onChanged) onChanged(2);
  } else {
    return 0;
  }
  m_rest -= d;
  return d;
}

void CKolumoVorschau2D::EndDrag(int id) {
  m_hasLast = false;
  if (id == 0 || !m_moved) return;
  pickedId = 0;
  Draw2D();
  if (onRedraw3D) onRedraw3D();
  m_rest = 0;
  m_moved = false;
}
