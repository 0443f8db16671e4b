// Section values of I-sections with straight flanges and root fillets (rolled H and I profiles, and
// welded I-sections with unequal flanges when the fillet radius is 0 or small). Shared by the profile
// register and the profile-table program. All lengths in cm; z is measured down from the top edge, y from
// the web axis.
#pragma once

namespace catalogs {

struct ISection {
  double h = 0;   // overall height
  double bo = 0;  // upper flange width
  double to = 0;  // upper flange thickness
  double bu = 0;  // lower flange width
  double tu = 0;  // lower flange thickness
  double tw = 0;  // web thickness
  double r = 0;   // root radius between web and flanges

  // A usable section: positive dimensions, flanges wider than the web, room for the fillets.
  bool IsValid() const;

  double WebHeight() const { return h - to - tu; }  // clear height between the flanges
  double Area() const;
  double CentroidZ() const;  // depth of the centroid below the top edge
  double Iy() const;         // second moment about the horizontal centroidal axis
  double Iz() const;         // second moment about the web axis
  double ShearCentreZ() const;
  double Iw() const;          // warping constant about the shear centre
  double ItPlates() const;    // torsion constant of the plate model, sum of l t^3 / 3 over the centre lines
  double WplY() const;        // plastic section modulus about the horizontal axis (plastic neutral axis)
  double WplZ() const;        // plastic section modulus about the web axis
  double ShearAreaZ() const;  // shear area for a force parallel to the web
  double ShearAreaY() const;  // shear area for a force parallel to the flanges
  // Width of the section at depth z (0 outside).
  double Width(double z) const;
};

// One root fillet (the area between the corner of web and flange and the quarter circle of radius r).
struct Fillet {
  static double Area(double r);          // (1 - pi/4) r^2
  static double FirstMoment(double r);   // about the flange or web face it stands on: (5/6 - pi/4) r^3
  static double SecondMoment(double r);  // about that face: (1 - 5 pi/16) r^4
  static double Offset(double r) { return r > 0 ? FirstMoment(r) / Area(r) : 0; }  // centroid from the face
};

}  // namespace catalogs
