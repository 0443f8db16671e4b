// Section values of I-sections: closed forms against strip integration and against the profile tables.
#include "platform/catalogs/isection.h"

#include <gtest/gtest.h>

#include <cmath>

using catalogs::Fillet;
using catalogs::ISection;

namespace {

ISection Rolled(double h, double b, double tw, double tf, double r) { return {h, b, tf, b, tf, tw, r}; }

// Area, centroid and Iy by summing thin horizontal strips of the section's width.
struct Strips {
  double area = 0, zs = 0, iy = 0;
  explicit Strips(const ISection& s) {
    const int n = 400000;
    double dz = s.h / n, sz = 0;
    for (int i = 0; i < n; ++i) {
      double z = (i + 0.5) * dz, w = s.Width(z) * dz;
      area += w;
      sz += w * z;
    }
    zs = sz / area;
    for (int i = 0; i < n; ++i) {
      double z = (i + 0.5) * dz;
      iy += s.Width(z) * dz * (z - zs) * (z - zs);
    }
  }
};

TEST(ISection, FilletMomentsMatchTheirIntegrals) {
  // A fillet of radius 1 at distance u from its face is 1 - sqrt(1 - (1 - u)^2) wide.
  const int n = 200000;
  double a = 0, s = 0, j = 0, du = 1.0 / n;
  for (int i = 0; i < n; ++i) {
    double u = (i + 0.5) * du, w = 1 - std::sqrt(1 - (1 - u) * (1 - u));
    a += w * du;
    s += w * u * du;
    j += w * u * u * du;
  }
  EXPECT_NEAR(Fillet::Area(1), a, 1e-6);
  EXPECT_NEAR(Fillet::FirstMoment(1), s, 1e-6);
  EXPECT_NEAR(Fillet::SecondMoment(1), j, 1e-6);
  EXPECT_NEAR(Fillet::Offset(2), 2 * s / a, 1e-5);
}

TEST(ISection, ClosedFormsAgreeWithStripIntegration) {
  const ISection cases[] = {
      Rolled(20, 20, 0.9, 1.5, 1.8),     // HEB 200
      Rolled(30, 15, 0.71, 1.07, 1.5),   // IPE 300
      {30, 20, 2.0, 10, 1.0, 0.8, 0},    // welded, unequal flanges
      {45, 30, 2.5, 18, 1.2, 1.1, 1.2},  // unequal flanges with fillets
  };
  for (const auto& s : cases) {
    Strips ref(s);
    EXPECT_NEAR(s.Area(), ref.area, 1e-4 * ref.area);
    EXPECT_NEAR(s.CentroidZ(), ref.zs, 1e-4 * s.h);
    EXPECT_NEAR(s.Iy(), ref.iy, 1e-4 * ref.iy);
  }
}

TEST(ISection, UnequalFlangesPutCentroidAndShearCentreTowardsTheWiderFlange) {
  ISection s{30, 20, 2.0, 10, 1.0, 0.8, 0};
  // Centroid: (20*2*1 + 10*1*29.5 + 27*0.8*15.5) / (40 + 10 + 21.6)
  EXPECT_NEAR(s.CentroidZ(), (40.0 + 295.0 + 334.8) / 71.6, 1e-12);
  // Shear centre between the flange centres 1 and 29.5, weighted by the flanges' Iz (2*8000/12, 1*1000/12).
  double i1 = 2 * 8000 / 12.0, i2 = 1000 / 12.0;
  EXPECT_NEAR(s.ShearCentreZ(), 1 + 28.5 * i2 / (i1 + i2), 1e-12);
  EXPECT_NEAR(s.Iw(), 28.5 * 28.5 * i1 * i2 / (i1 + i2), 1e-9);
  EXPECT_NEAR(s.Iz(), (2 * 8000 + 1000 + 27 * 0.512) / 12, 1e-9);
}

// EN 10365 printed values of HEB 200: Wpl,y 642.5, Wpl,z 305.8 cm³, Av,z 24.83 cm².
TEST(ISection, PlasticModuliAndShearAreaOfHeb200) {
  ISection s = Rolled(20, 20, 0.9, 1.5, 1.8);
  EXPECT_NEAR(s.WplY(), 642.5, 0.1);
  EXPECT_NEAR(s.WplZ(), 305.8, 0.1);
  EXPECT_NEAR(s.ShearAreaZ(), 24.83, 0.01);
}

TEST(ISection, PlasticNeutralAxisOfAnUnequalSectionHalvesTheArea) {
  // Flanges 20x2 (top), 10x1 (bottom), web 27x0.8, no fillets: A = 71.6, half 35.8 lies in the web at
  // z = 2 + (35.8 - 40)/0.8 < 2, so inside the top flange at z = 35.8/20 = 1.79.
  ISection s{30, 20, 2.0, 10, 1.0, 0.8, 0};
  double zp = 1.79;
  double expected = 20 * zp * zp / 2 + 20 * (2 - zp) * (2 - zp) / 2 + 0.8 * 27 * (2 + 13.5 - zp) + 10 * (29.5 - zp);
  EXPECT_NEAR(s.WplY(), expected, 1e-3 * expected);
}

TEST(ISection, ValidityRefusesImpossibleDimensions) {
  EXPECT_TRUE(Rolled(20, 20, 0.9, 1.5, 1.8).IsValid());
  EXPECT_FALSE(Rolled(20, 20, 0.9, 10.5, 1.8).IsValid());  // flanges overlap
  EXPECT_FALSE(Rolled(20, 0.5, 0.9, 1.5, 0).IsValid());    // web wider than flange
  EXPECT_FALSE(Rolled(20, 20, 0.9, 1.5, -1).IsValid());
  EXPECT_FALSE(Rolled(0, 20, 0.9, 1.5, 1).IsValid());
  EXPECT_FALSE(Rolled(20, 3, 0.9, 1.5, 1.8).IsValid());  // no room for the fillets
}

}  // namespace
