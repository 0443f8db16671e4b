// The result diagram along the column. Kept apart from the data model's sources: it needs only the diagram's
// input and the framework's result entry, which draws the curve and its extreme-value labels.
#include <algorithm>
#include <cmath>

#include "column_ui/kolumodraw.h"
#include "framework/results.h"

namespace {

constexpr double kKonstant = 0.0001;  // a diagram whose range is at most this is drawn as a constant

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

 private:
  CPlotwerk2D& m_control;
};

}  // namespace

void MerkeExtremwert(int reset, int index, double value, double& groesster, double& kleinster, int& iGroesster,
                     int& iKleinster) {
  if (reset == 1) {
    groesster = -1000000.0;
    kleinster = 1000000.0;
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
  e.maxValue = -1000000.0f;
  e.minValue = 1000000.0f;
  e.scale = 1.0;
  e.nDigits = 3;
  e.axisIntervals = 5;
  e.title.Empty();
  double groesster = -1000000.0, kleinster = 1000000.0;

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
  control.SetStyle(0, 0, 3, 0);
  if (spanne <= kKonstant) {
    const double y = offset - 0.375 * H;
    control.SetStyle(0, 1, 0, 0);
    control.AddLine(0, y, H, y);
    control.SetStyle(0, 0, 3, 0);
    control.AddText(1.1 * H, offset - 0.25 * H, -90.0, H / 18, titel);
    return;
  }
  // The entry searches its extremes and their stations afresh, from its own start values.
  e.minValue = 1e10f;
  e.maxValue = -1e10f;
  e.CalcMinMax();
  const double s = -(0.25 * H / spanne);
  e.scale = s;
  e.offset = offset + s * spanne;
  e.labelsAbove = TRUE;
  e.keepTextHeight = TRUE;
  if (eingabe.vorschau) {
    e.textHeight = H / 30;
    e.title.Empty();
  } else {
    e.textHeight = 0.05 * H;
    e.nDigits = 2;
    e.axisIntervals = 2;
    control.AddText(1.1 * H, e.offset, -90.0, H / 18, titel);
  }
  e.InsertZeroPoints();
  CPlotwerkZiel ziel(control);
  e.DrawDiagram(ziel);
}
