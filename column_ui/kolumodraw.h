// The column drawn into the graphics controls: its 3D view (fields as solids, supports, dimensions, title and
// the loads of the current stage with labels that do not overlap) and the result diagram of one quantity along
// the column. Coordinates are metres; z runs from the head of the column (0) down to its foot (H), through the
// fields in their order (field 0 at the head).
#pragma once

#include <string>
#include <vector>

#include "framework_ui/plotwerk.h"

class CFormulaNumber;
class CKolumoData;
class CLabelPlacer;
class CResultEntry;

// The running extreme of a value series: reset (1) only starts a series at the index; otherwise a value beyond the
// largest or the smallest replaces it and its index.
void MerkeExtremwert(int reset, int index, double value, double& groesster, double& kleinster, int& iGroesster,
                     int& iKleinster);

// What a result diagram is drawn from.
struct CDiagrammEingabe {
  std::vector<double> stationen;  // m along the column
  std::vector<double> werte;      // one per station
  std::vector<int> teilung;       // elements per field (report: field ends after 2 x teilung points)
  double hoehe = 0.0;             // H, m
  int schriftFeld = 0;            // report: keep the per-field extreme markers
  bool vorschau = false;          // drawn for the preview (the data has an input dialog), else for the report
  bool punktWerte = false;        // preview: point values (support or foundation forces)
  std::vector<double> feldKoten;  // heights of the field boundaries from the head (0) to the foot (H), m

  // Report print layout (the text height also for a preview sized to its screen).
  double streckung = 1.0;     // the picture draws the column this many times longer than the values' axis
  double schriftHoehe = 0.0;  // text height that reads well: value labels across beside the diagram; 0: 0.05 H
  double skalaMin = 0.0;      // the value range shared by all diagrams of this kind of force (a range without
  double skalaMax = 0.0;      //   width: the diagram's own)
  std::string einheit;        // unit, written after the title
  CLabelPlacer* beschriftung = nullptr;  // value labels of the whole picture; none: each diagram its own
};

// Fills the result entry as the diagram hands it over: points, markers, extremes (with the closing point of a
// one-signed diagram) and the layout. Returns the range |largest - smallest|.
double FuelleDiagrammEintrag(const CDiagrammEingabe& eingabe, CResultEntry& eintrag);

// Draws the diagram beside the column at the given distance (m) from its axis; nothing for empty lists. In the
// report, and in a preview given a text height, the value labels read horizontally beside the diagram, placed so
// that none covers another.
void ZeichneDiagramm(const CDiagrammEingabe& eingabe, double offset, CPlotwerk2D& control, const char* titel);

// The report picture's height axis at y across (drawing units): the column's line with a tick and a label in m at
// each field boundary, head and foot, and a dotted line across the picture to yEnde at each inner boundary.
void ZeichneHoehenachse(const CDiagrammEingabe& eingabe, double y, double yEnde, CPlotwerk2D& control);

// The value range a shared scale must hold for the given series: from the smallest to the largest value, 0
// included (every diagram is drawn from its zero line).
void SkalaErweitern(const std::vector<double>& werte, double& skalaMin, double& skalaMax);

// The data's diagram lists and flags as a diagram input (field lengths, member counts and output option from the
// data; stations, values and the point-values flag as given).
CDiagrammEingabe DiagrammEingabe(CKolumoData& data, const std::vector<double>& stationen,
                                 const std::vector<double>& werte, bool punktWerte);

// The column's 3D view; also used for the report's pictures.
void Zeichne3D(CKolumoData& data, CPlotwerk3D& control);
// A load's value as the previews label it: the number as `zahl` gives it, or, for a formula without a value, why, as
// the load's grid cell says it.
std::string LastWertText(CFormulaNumber& wert, const std::string& zahl);
// The loads of the data's current stage (called at the end of Zeichne3D).
void ZeichneLasten3D(CKolumoData& data, CPlotwerk3D& control);
// The preview's 3D drawing: into the first 3D control of the data's list, if there is one. The first drawing
// since the module was loaded resets the view.
void Draw3D(CKolumoData& data);
// Whether the 3D view has been drawn since the module was loaded.
bool Is3DDrawn();
