// The report's pictures: the picture library's one control at a time, held for
// a stretch of the report and destroyed on every path.
#pragma once

#include <memory>

class CPlotwerk2D;
class CPlotwerk3D;
class CKolumoData;
class CLabelPlacer;

namespace report {

// The kinds of force whose diagrams share one scale across the report: every moment diagram (Mx and My of every
// combination) is drawn at one scale, every shear-force diagram at another, every normal-force diagram at a third.
enum DiagrammArt : int { kEigeneSkala = 0, kMoment = 1, kQuerkraft = 2, kNormalkraft = 3 };

// How a result picture prints: the width it is placed at, the texts' height and the column's stretch that make
// it legible there, and the label placement of its value labels.
struct BildLage {
  double breiteCm = 0.0;      // placed width in the report
  double schriftHoehe = 0.0;  // text height across the drawing (drawing units)
  double streckung = 1.0;     // the column is drawn this many times longer than the values' axis
  std::shared_ptr<CLabelPlacer> beschriftung;
  // The value range of each kind of force over the report's drawn member-force records (index DiagrammArt).
  bool skalenBekannt = false;
  double skalaMin[4] = {0, 0, 0, 0};
  double skalaMax[4] = {0, 0, 0, 0};
};

// The print layout of a result picture whose frame spans 0..hoehe along the column and -3/8 hoehe..ende across
// (m, drawing units), placed in the report at least bildBreite wide: the placed width, the text height that
// prints at least 7 pt, the stretch of the column and the frame's end across with room for the height axis.
struct Drucklage {
  double breiteCm, schriftHoehe, streckung, rahmenEnde, achse;
};
Drucklage DrucklageBerechnen(double hoehe, double ende, double bildBreite);

// The value ranges of the kinds of force over the member-force records whose diagrams the report draws.
void SkalenBerechnen(const CKolumoData& data, BildLage& lage);

// A control of the picture library, which holds one at a time (hidden); nullptr when it could not be made. Zerstoere
// destroys it where running short of memory is a failure of the report, not of a destructor; the destructor does so
// on the other paths.
template <class View>
class Bild {
 public:
  ~Bild() { Zerstoere(); }
  Bild(const Bild&) = delete;
  Bild& operator=(const Bild&) = delete;
  View* Control() const { return m_control; }
  void Zerstoere();

 protected:
  Bild() = default;
  View* m_control = nullptr;

 private:
  bool m_erzeugt = true;
};

// The 3D control of the system pictures (300 x 500).
class Bild3D : public Bild<CPlotwerk3D> {
 public:
  Bild3D();
};

// The 2D control of the result diagrams (500 x 200).
class Bild2D : public Bild<CPlotwerk2D> {
 public:
  Bild2D();
};

// The support-reaction tables of the load hand-over (the export writer in its
// report mode).
void LastweiterleitungTabellen(CKolumoData& data);

}  // namespace report
