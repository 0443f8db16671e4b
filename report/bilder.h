// The report's pictures: the picture library's one control at a time, held for
// a stretch of the report and destroyed on every path.
#pragma once

class CPlotwerk2D;
class CPlotwerk3D;
class CKolumoData;

namespace report {

// The 3D control of the system pictures (300 x 500, hidden); nullptr when it
// could not be made.
class Bild3D {
 public:
  Bild3D();
  ~Bild3D();
  Bild3D(const Bild3D&) = delete;
  Bild3D& operator=(const Bild3D&) = delete;
  CPlotwerk3D* Control() const { return m_control; }

 private:
  CPlotwerk3D* m_control = nullptr;
};

// The 2D control of the result diagrams (500 x 200, hidden); nullptr when it
// could not be made.
class Bild2D {
 public:
  Bild2D();
  ~Bild2D() { Zerstoere(); }
  Bild2D(const Bild2D&) = delete;
  Bild2D& operator=(const Bild2D&) = delete;
  CPlotwerk2D* Control() const { return m_control; }
  void Zerstoere();

 private:
  CPlotwerk2D* m_control = nullptr;
  bool m_erzeugt = false;
};

// The support-reaction tables of the load hand-over (the export writer in its
// report mode).
void LastweiterleitungTabellen(CKolumoData& data);

}  // namespace report
