// The column in the preview's 2D views (side views Y-Z and X-Z in m, the cross-section at the cut "A" in cm) and
// the editing of nodes, loads and the cut with the mouse. The data's 2D control list holds the Y-Z, the X-Z and
// the X-Y control in this order. Object ids: 4j + 1 node j (0 at the head), 4i + 2 load i of the current stage,
// 3 the cut; the kind is id % 4.
#pragma once

#include <functional>
#include <string>

class CKolumoData;
class CKolumoQuer;
class CKolumoResultDlg;
class CPlotwerk2D;

// Pixels across of a text in Arial `pixel` high, as the graphics controls write it.
int TextBreite(const std::string& text, int pixel);
// Pixels across of a line of a view's header.
int KopfBreite(const std::string& text);
// The results diagram's header for a view `breite` pixels wide: the title, wrapped at blanks where it would run past
// the right edge, then "max = ...   min = ..." (on two lines when that one does not fit); lines end in '\n'.
std::string ErgebnisKopf(const std::string& titel, double max, double min, int breite);
// The text height (m) at which the value labels of the results diagram stand about 11 pixels high in a Y-Z view of
// the client size with that many header lines, for a column of height H and width W (m); 0 without a height.
double ErgebnisSchrift(int breite, int hoehe, int kopfZeilen, double H, double W);

class CKolumoVorschau2D {
 public:
  explicit CKolumoVorschau2D(CKolumoData& data) : m_data(data) {}

  // Draws the three views into the data's 2D controls (missing ones are skipped).
  void Draw2D();
  // The loads of the current stage into one side view (0 Y-Z, 1 X-Z); returns x (m) left of the last load drawn,
  // -0.2 when none was drawn.
  double ZeichneLasten2D(int mode, CPlotwerk2D& control);

  // First press on an object: picks it (ids of another kind clear the pick) and redraws.
  void PickObject(int id);
  // The drawing height the press was at: a drag's movements count from there.
  void DragStart(double y) {
    m_hasLast = true;
    m_lastY = y;
  }
  // A movement of the dragged object to the drawing position (x, y) of its view; only the height along the column
  // counts, applied in whole raster steps (m). Returns the distance applied (m).
  double DragObject(CPlotwerk2D* control, int id, double x, double y, double raster);
  // Release: after a movement the pick ends and everything is redrawn.
  void EndDrag(int id);
  // Applies the height movement dy (m) in whole raster steps; returns the distance applied.
  double VerschiebeObjekt(int id, double dy, double raster);

  int pickedId = 0;
  double cutHeight = 0.0;  // m from the head
  // Called after a drag changed the data: 1 field lengths, 2 loads or the cut (the pages show the new values).
  std::function<void(int)> onChanged;
  // The control of a view (0 Y-Z, 1 X-Z, 2 X-Y); without it the data's 2D list in this order.
  std::function<CPlotwerk2D*(int)> ansicht;
  // Called after a drag ended with a movement, to redraw the 3D view.
  std::function<void()> onRedraw3D;

 private:
  // The steps of a drawing: a side view (0 Y-Z, 1 X-Z) with the results page shown or null; in it the fields with
  // their node symbols (returns the widest section, cm), the results diagram, dimensions and loads (returns x (m)
  // left of the last load) and the cut "A"; the cross-section view with the section's shape and its dimensions.
  void ZeichneSeite(CPlotwerk2D& c, int mode, CKolumoResultDlg* ergebnisse);
  double ZeichneFelderUndKnoten(CPlotwerk2D& c, int mode);
  void ZeichneErgebnis(CPlotwerk2D& c, CKolumoResultDlg& ergebnisse, double W);
  double ZeichneMasseUndLasten(CPlotwerk2D& c, int mode, double W);
  void ZeichneSchnitt(CPlotwerk2D& c, double r, double W);
  void ZeichneQuerschnitt(CPlotwerk2D& c);
  static void ZeichneQuerschnittsform(CPlotwerk2D& c, CKolumoQuer& q);
  // The dimensions at least s (cm) beside the section, their texts kept apart at the scale given (pixels per cm; 0
  // unknown: the parts at s, the whole at 2 s).
  static void ZeichneQuerschnittsmasse(CPlotwerk2D& c, CKolumoQuer& q, double s, double massstab);

  CKolumoData& m_data;
  bool m_moved = false;
  bool m_gekuerzt = false;  // this drawing shortened a load to the column's end
  double m_rest = 0.0;      // height moved but not yet applied as raster steps
  bool m_hasLast = false;   // the drag's last position is known
  double m_lastY = 0.0;
};
