#include "platform/catalogs/isection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace catalogs {

namespace {
constexpr double kPi = std::numbers::pi;

// Rectangle [y1, y2] x [z1, z2] seen from the horizontal axis at depth zr.
double RectIy(double width, double z1, double z2, double zr) {
  double t = z2 - z1, zc = (z1 + z2) / 2 - zr;
  return width * t * t * t / 12 + width * t * zc * zc;
}
}  // namespace

double Fillet::Area(double r) { return (1 - kPi / 4) * r * r; }
double Fillet::FirstMoment(double r) { return (5.0 / 6.0 - kPi / 4) * r * r * r; }
double Fillet::SecondMoment(double r) { return (1 - 5 * kPi / 16) * r * r * r * r; }

bool ISection::IsValid() const {
  return h > 0 && bo > 0 && to > 0 && bu > 0 && tu > 0 && tw > 0 && r >= 0 && bo >= tw && bu >= tw &&
         WebHeight() > 2 * r && bo >= tw + 2 * r && bu >= tw + 2 * r;
}

double ISection::Area() const { return bo * to + bu * tu + WebHeight() * tw + 4 * Fillet::Area(r); }

double ISection::CentroidZ() const {
  double af = Fillet::Area(r), e = Fillet::Offset(r), hw = WebHeight();
  double s =
      bo * to * to / 2 + bu * tu * (h - tu / 2) + hw * tw * (to + hw / 2) + 2 * af * (to + e) + 2 * af * (h - tu - e);
  return s / Area();
}

double ISection::Iy() const {
  double zs = CentroidZ(), hw = WebHeight();
  double af = Fillet::Area(r), sf = Fillet::FirstMoment(r), jf = Fillet::SecondMoment(r);
  double iy = RectIy(bo, 0, to, zs) + RectIy(bu, h - tu, h, zs) + RectIy(tw, to, to + hw, zs);
  // Fillets under the upper flange stand on the face z = to and reach down; those above the lower flange
  // stand on z = h - tu and reach up. About an axis at distance c from the face: c^2 A -+ 2 c S + J.
  double cTop = zs - to;         // face above the axis: the fillet lies between face and axis
  double cBottom = h - tu - zs;  // face below the axis
  iy += 2 * (cTop * cTop * af - 2 * cTop * sf + jf);
  iy += 2 * (cBottom * cBottom * af - 2 * cBottom * sf + jf);
  return iy;
}

double ISection::Iz() const {
  double af = Fillet::Area(r), sf = Fillet::FirstMoment(r), jf = Fillet::SecondMoment(r);
  double c = tw / 2;
  return (to * bo * bo * bo + bu * bu * bu * tu + WebHeight() * tw * tw * tw) / 12 + 4 * (c * c * af + 2 * c * sf + jf);
}

double ISection::ShearCentreZ() const {
  double z1 = to / 2, z2 = h - tu / 2;
  double i1 = to * bo * bo * bo / 12, i2 = tu * bu * bu * bu / 12;
  return z1 + (z2 - z1) * i2 / (i1 + i2);
}

double ISection::Iw() const {
  double hs = h - to / 2 - tu / 2;
  double i1 = to * bo * bo * bo / 12, i2 = tu * bu * bu * bu / 12;
  return hs * hs * i1 * i2 / (i1 + i2);
}

double ISection::ItPlates() const {
  return (bo * to * to * to + bu * tu * tu * tu + (h - to / 2 - tu / 2) * tw * tw * tw) / 3;
}

double ISection::Width(double z) const {
  if (z < 0 || z > h) return 0;
  if (z <= to) return bo;
  if (z >= h - tu) return bu;
  double w = tw;
  auto fillet = [this](double u) {  // width of one fillet at distance u from its face
    if (u >= r) return 0.0;
    double v = r - u;
    return r - std::sqrt(std::max(0.0, r * r - v * v));
  };
  w += 2 * fillet(z - to) + 2 * fillet(h - tu - z);
  return w;
}

double ISection::WplY() const {
  // Plastic neutral axis halves the area; the moduli are integrated over thin strips of the exact width.
  const int n = 200000;
  double dz = h / n, half = Area() / 2, acc = 0, zp = h / 2;
  for (int i = 0; i < n; ++i) {
    double a = Width((i + 0.5) * dz) * dz;
    if (acc + a >= half) {
      zp = i * dz + (half - acc) / a * dz;
      break;
    }
    acc += a;
  }
  double w = 0;
  for (int i = 0; i < n; ++i) {
    double z = (i + 0.5) * dz;
    w += Width(z) * dz * std::fabs(z - zp);
  }
  return w;
}

double ISection::WplZ() const {
  double af = Fillet::Area(r), sf = Fillet::FirstMoment(r);
  return to * bo * bo / 4 + tu * bu * bu / 4 + WebHeight() * tw * tw / 4 + 4 * (af * tw / 2 + sf);
}

double ISection::ShearAreaZ() const {
  // Rolled sections: A - 2 b tf + (tw + 2 r) tf, with the two flanges taken each at its own size.
  double av = Area() - bo * to - bu * tu + (tw + 2 * r) * (to + tu) / 2;
  return std::max(av, WebHeight() * tw);
}

double ISection::ShearAreaY() const { return bo * to + bu * tu; }

}  // namespace catalogs
