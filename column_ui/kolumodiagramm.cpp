// The result diagram along the column. Kept apart from the data model's sources: it needs only the diagram's
// input and the framework's result entry, which draws the curve and its extreme-value labels.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "column_ui/kolumodraw.h"
#include "framework/results.h"
#include "framework_ui/labelplacer.h"

namespace {

constexpr double kKonstant = 0.0001;  // a diagram whose range is at most this is drawn as a constant
constexpr double kSchrift = 0.7;      // the font is this many text heights high (as the 2D control draws it)
constexpr double kZeichen = 0.6;      // width of a character of a number in font heights, with some room
constexpr long kGrau = 0x808080;

// The result entry draws through the 2D control.
class CPlotwerkZiel : public CDiagramTarget {
 public:
  explicit CPlotwerkZiel(CPlotwerk2D& control) : m_control(control) {}
  void AddLine(double x1, double y1, double x2, double y2) override { m_control.AddLine(x1, y1, x2, y2); }
  void AddPolygon(int n, const double* x, const double* y) override { m_control.AddPolygon(n, x, y); }
  void AddText(double x, double y, double angle, double height, const char* text) override {
    m_control.AddText(x, y, angle, height, text);
  }
  void AddValueLabel(double x, double y, double labelX, double labelY, double height, double angle,
                     const char* text) override {
    m_control.AddValueLabel(x, y, labelX, labelY, height, angle, text);
  }
  void SetStyle(COLORREF colour, int style1, int style2, BOOL filled) override {
    m_control.SetStyle(long(colour), style1, style2, filled);
  }
  void Invoke55() override { m_control.Invoke55(); }

 protected:
  CPlotwerk2D& m_control;
};

// The report's value labels: horizontal on the page, beside the diagram's edge on the side of the smaller values,
// at the height of their point and pushed further out where an earlier label of the picture lies. Placed in the
// picture's coordinates: across to the right, along the column downwards (the drawing is turned by a quarter and
// the column stretched by the picture's factor).
class CBerichtZiel : public CPlotwerkZiel {
 public:
  // vorschau: on the screen the texts of point values (support forces) are placed as the labels are, and a leader
  // ends before the first column of labels, so that it never strikes through a label nearer the diagram (its minus
  // sign among others). The report keeps its leaders and texts.
  CBerichtZiel(CPlotwerk2D& control, CLabelPlacer& placer, double rand, double hoehe, double streckung,
               double textHoehe, double breite, bool vorschau = false)
      : CPlotwerkZiel(control),
        m_placer(placer),
        m_rand(rand),
        m_hoehe(hoehe),
        m_k(streckung),
        m_h(textHoehe),
        m_em(kSchrift * textHoehe),
        m_breite(breite),
        m_vorschau(vorschau) {}

  void AddValueLabel(double x, double y, double, double, double, double, const char* wert) override {
    // "0.00" marks nothing: it is the closing point of a one-signed diagram or a value too small to print.
    if (std::fabs(std::atof(wert)) < 1e-9) return;
    Platziere(x, y, wert);
  }

  void AddText(double x, double y, double angle, double height, const char* text) override {
    // A point value's text would stand along the column, on top of its neighbour.
    if (m_vorschau && angle == 0.0)
      Platziere(x, y, text);
    else
      CPlotwerkZiel::AddText(x, y, angle, height, text);
  }

 private:
  void Platziere(double x, double y, const char* wert) {
    std::string text = wert;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    const double mitte = m_k * x;
    const double o = m_placer.FindOffset(1, m_rand, 0.0, m_rand, m_k * m_hoehe, m_k * m_hoehe, mitte - 0.6 * m_em,
                                         mitte + 0.6 * m_em, m_breite, 1, 0.5 * m_em);
    const double links = m_rand + o;  // where the text begins, across
    const double ende = (m_vorschau ? std::min(links, m_rand + 0.5 * m_em) : links) - 0.2 * m_em;
    // A text's point may already lie beside the diagram (a point value's text stands off its bar): no leader.
    m_control.SetStyle(kGrau, 0, 3, 0);
    if (-y < ende) m_control.AddLine(x, y, x, -ende);
    m_control.SetStyle(0, 0, 3, 0);
    m_control.AddText((mitte + 0.35 * m_em) / m_k, -links, -90.0, m_h, text.c_str());
  }

  CLabelPlacer& m_placer;
  double m_rand, m_hoehe, m_k, m_h, m_em, m_breite;
  bool m_vorschau;
};

std::string Zahl(int stellen, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", stellen, v);
  return buf;
}

std::string Titel(const CDiagrammEingabe& eingabe, const char* titel) {
  std::string t = titel;
  if (!eingabe.einheit.empty()) t += " [" + eingabe.einheit + "]";
  return t;
}

}  // namespace

void MerkeExtremwert(int reset, int index, double value, double& groesster, double& kleinster, int& iGroesster,
                     int& iKleinster) {
  if (reset == 1) {
    // Any value must replace them: stiffnesses and springs run far beyond a million.
    groesster = -std::numeric_limits<double>::max();
    kleinster = std::numeric_limits<double>::max();
    iGroesster = index;
    iKleinster = index;
    return;
  }
  if (value > groesster) {
    groesster = value;
    iGroesster = index;
  }
  if (value < kleinster) {
    kleinster = value;
    iKleinster = index;
  }
}

double FuelleDiagrammEintrag(const CDiagrammEingabe& eingabe, CResultEntry& e) {
  const bool punkte = eingabe.vorschau && eingabe.punktWerte;
  e.type = punkte ? 3 : 0;
  e.values.RemoveAll();
  e.pointFlags.RemoveAll();
  e.maxValue = -std::numeric_limits<float>::max();
  e.minValue = std::numeric_limits<float>::max();
  e.scale = 1.0;
  e.nDigits = 3;
  e.axisIntervals = 5;
  e.title.Empty();
  double groesster = -std::numeric_limits<double>::max(), kleinster = std::numeric_limits<double>::max();

  const std::size_t n = std::min(eingabe.stationen.size(), eingabe.werte.size());
  // Per-field extremes of the report: the field's last point closes the series.
  double feldMax = 0, feldMin = 0;
  int iMax = 0, iMin = 0;
  std::size_t feld = 0;
  std::size_t feldEnde = eingabe.teilung.empty() ? 0 : 2 * std::size_t(std::max(0, eingabe.teilung[0]));
  for (std::size_t i = 0; i < n; ++i) {
    const double station = eingabe.stationen[i], wert = eingabe.werte[i];
    if (punkte) {
      // Point values: the curve carries the value as its upper and lower bound at the station.
      e.values.Add(float(station));
      e.values.Add(float(wert));
      e.values.Add(float(wert));
    } else {
      e.values.Add(float(station));
      e.values.Add(float(wert));
    }
    if (!eingabe.vorschau) {
      e.pointFlags.Add(0);
      if (i == 0) MerkeExtremwert(1, int(i), wert, feldMax, feldMin, iMax, iMin);
      MerkeExtremwert(0, int(i), wert, feldMax, feldMin, iMax, iMin);
      if (i + 1 == feldEnde) {
        e.pointFlags[iMax] = 1;
        e.pointFlags[iMin] = 1;
        MerkeExtremwert(1, int(i + 1), wert, feldMax, feldMin, iMax, iMin);
        ++feld;
        if (feld < eingabe.teilung.size()) feldEnde += 2 * std::size_t(std::max(0, eingabe.teilung[feld]));
      }
    }
    groesster = std::max(groesster, wert);
    kleinster = std::min(kleinster, wert);
  }
  // A one-signed diagram is closed back to the axis at its end.
  bool schliessen = false;
  if (n > 0 && groesster < 0 && kleinster < 0) {
    groesster = 0;
    schliessen = true;
  } else if (n > 0 && groesster > 0 && kleinster > 0) {
    kleinster = 0;
    schliessen = true;
  }
  if (schliessen && !punkte) {
    e.values.Add(float(eingabe.stationen[n - 1]));
    e.values.Add(0.0f);
    if (!eingabe.vorschau) e.pointFlags.Add(0);
  }
  e.maxValue = float(groesster);
  e.minValue = float(kleinster);
  return std::fabs(groesster - kleinster);
}

void SkalaErweitern(const std::vector<double>& werte, double& skalaMin, double& skalaMax) {
  for (double w : werte) {
    skalaMin = std::min(skalaMin, w);
    skalaMax = std::max(skalaMax, w);
  }
}

void ZeichneDiagramm(const CDiagrammEingabe& eingabe, double offset, CPlotwerk2D& control, const char* titel) {
  if (eingabe.stationen.empty() || eingabe.werte.empty()) return;
  if (!titel) titel = "";
  const double H = eingabe.hoehe;
  CResultEntry e;
  const double spanne = FuelleDiagrammEintrag(eingabe, e);
  if (eingabe.vorschau)
    control.Invoke39(offset, 0, 0, -1, -1, 0);
  else if (eingabe.schriftFeld == 0)
    e.pointFlags.RemoveAll();
  const bool bericht = !eingabe.vorschau;
  const double k = eingabe.streckung > 0 ? eingabe.streckung : 1.0;
  const double h = eingabe.schriftHoehe > 0 ? eingabe.schriftHoehe : 0.05 * H;
  // The report's title lies under the foot, beginning at the diagram's left edge on the page.
  auto berichtTitel = [&](double links) {
    control.SetStyle(0, 0, 3, 0);
    const std::string t = Titel(eingabe, titel);
    if (eingabe.schriftHoehe > 0)
      control.AddText(H + 2.0 * kSchrift * h / k, links, -90.0, h, t.c_str());
    else
      control.AddText(1.1 * H, links, -90.0, H / 18, t.c_str());
  };
  control.SetStyle(0, 0, 3, 0);
  if (spanne <= kKonstant) {
    const double y = offset - 0.375 * H;
    control.SetStyle(0, 1, 0, 0);
    control.AddLine(0, y, H, y);
    control.SetStyle(0, 0, 3, 0);
    if (bericht)
      berichtTitel(offset - 0.25 * H);
    else
      control.AddText(1.1 * H, offset - 0.25 * H, -90.0, H / 18, titel);
    return;
  }
  // The entry searches its extremes and their stations afresh, from its own start values.
  e.minValue = std::numeric_limits<float>::max();
  e.maxValue = -std::numeric_limits<float>::max();
  e.CalcMinMax();
  // A shared scale maps its whole range onto the diagram's width, each diagram from the same zero line; without
  // one the diagram's own range fills the width.
  const double anfang = offset - 0.5 * H;  // the diagram's side of the smaller values, across
  if (bericht && eingabe.skalaMax - eingabe.skalaMin > kKonstant) {
    const double lo = std::min({eingabe.skalaMin, double(e.minValue), 0.0});
    const double hi = std::max({eingabe.skalaMax, double(e.maxValue), 0.0});
    e.scale = -(0.25 * H / (hi - lo));
    e.offset = anfang - (double(e.maxValue) - lo) * e.scale;
  } else {
    e.scale = -(0.25 * H / spanne);
    e.offset = offset + e.scale * spanne;
  }
  e.labelsAbove = TRUE;
  e.keepTextHeight = TRUE;
  if (eingabe.vorschau) {
    e.textHeight = eingabe.schriftHoehe > 0 ? h : H / 30;
    e.title.Empty();
    // Sized to the screen, the values read across beside the diagram as in the report and need no grid.
    if (eingabe.schriftHoehe > 0) {
      e.nDigits = 2;
      e.axisIntervals = 0;
    }
  } else {
    e.textHeight = h;
    e.nDigits = 2;
    // No value grid: its numbers would stand upright and crowd each other; the extremes carry their values.
    e.axisIntervals = eingabe.schriftHoehe > 0 ? 0 : 2;
    berichtTitel(anfang + 0.25 * H);
  }
  e.InsertZeroPoints();
  if (eingabe.schriftHoehe <= 0) {
    CPlotwerkZiel ziel(control);
    e.DrawDiagram(ziel);
    return;
  }
  CLabelPlacer eigener;
  CLabelPlacer& placer = eingabe.beschriftung ? *eingabe.beschriftung : eigener;
  // Point values carry "Max=" or "Min=" before their number.
  const std::size_t zeichen =
      std::max(Zahl(e.nDigits, e.minValue).size(), Zahl(e.nDigits, e.maxValue).size()) + (e.type == 3 ? 4 : 0);
  const double breite = (kZeichen * double(zeichen) + 0.5) * kSchrift * h;
  CBerichtZiel ziel(control, placer, -anfang, H, k, h, breite, eingabe.vorschau);
  e.DrawDiagram(ziel);
}

void ZeichneHoehenachse(const CDiagrammEingabe& eingabe, double y, double yEnde, CPlotwerk2D& control) {
  const double H = eingabe.hoehe;
  const double k = eingabe.streckung > 0 ? eingabe.streckung : 1.0;
  const double h = eingabe.schriftHoehe > 0 ? eingabe.schriftHoehe : 0.05 * H;
  const double em = kSchrift * h;
  control.SetStyle(0, 0, 3, 0);
  control.AddLine(0, y, H, y);
  for (std::size_t i = 0; i < eingabe.feldKoten.size(); ++i) {
    const double z = eingabe.feldKoten[i];
    control.SetStyle(0, 0, 3, 0);
    control.AddLine(z, y, z, y - 0.4 * em);
    const std::string text = Zahl(2, z) + " m";
    control.AddText(z + 0.35 * em / k, y - 0.6 * em, -90.0, h, text.c_str());
    if (i > 0 && i + 1 < eingabe.feldKoten.size()) {
      control.SetStyle(kGrau, 3, 3, 0);
      control.AddLine(z, y - 0.4 * em, z, yEnde);
    }
  }
  control.SetStyle(0, 0, 3, 0);
}
