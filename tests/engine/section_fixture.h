// Sections for the design tests, built from values typed in from the codes' own tables.
#pragma once

#include <cmath>
#include <vector>

#include "engine/bem.h"

namespace section_test {

constexpr double kPi = 3.14159265358979323846;

// EC2 C30/37 (EN 1992-1-1 Table 3.1): fck = 30 N/mm2, gamma_c = 1.5 -> fcd = 20 N/mm2 = 20000 kN/m2;
// eps_c2 = -2.0, eps_cu2 = -3.5 per mille, parabola exponent 2, Ecm = 33000 N/mm2.
constexpr double kFcd = 20000.0;
// B500B: fyd = 500/1.15 = 434.78 N/mm2, Es = 200000 N/mm2 -> eps_yd = 2.1739 per mille; eps_ud = 25.
constexpr double kFyd = 500000.0 / 1.15;
constexpr double kEpsYd = kFyd / 200000.0;
constexpr double kEpsUd = 25.0;

struct LawDef {
    double f, e1, ecu, e3, e4, n, E;
};

inline LawDef Parabola()
{
    return {kFcd, -2.0, -3.5, 0.0, 0.0, 2.0, 33000.0};
}
inline LawDef Stahl()
{
    return {kFyd, -kEpsYd, kEpsUd, 0.0, kEpsYd, 1.0, 0.0};
}

// Polygon in cm, counter-clockwise for outlines.
struct Poly {
    std::vector<double> y, z;
};

inline Poly Rechteck(double b, double h)
{
    return {{-b / 2, -b / 2, b / 2, b / 2}, {0.0, -h, -h, 0.0}};
}

// 20 points on a circle of radius r around (0, zc); s = -1 counter-clockwise, +1 clockwise.
inline Poly Kreis20(double r, double zc, double s)
{
    Poly p;
    for (int k = 0; k < 20; ++k) {
        p.y.push_back(std::sin(s * k * kPi / 10.0) * r);
        p.z.push_back(zc + std::cos(s * k * kPi / 10.0) * r);
    }
    return p;
}

// T: flange bf x hf on top of a web bw, total depth h; top at z = 0.
inline Poly TQuerschnitt(double bf, double hf, double bw, double h)
{
    return {{-bf / 2, -bf / 2, -bw / 2, -bw / 2, bw / 2, bw / 2, bf / 2, bf / 2},
            {0.0, -hf, -hf, -h, -h, -hf, -hf, 0.0}};
}

struct Stab {
    double y, z, a;  // cm, cm, m2
};

// A design object with concrete material 1, steel material 2, the polygons and bars given.
inline void Baue(cBem& b, const LawDef& beton, const std::vector<Poly>& polys, const std::vector<Stab>& staebe,
                 const LawDef& stahl = Stahl())
{
    b.SetzeMaterial(-1, nullptr);
    const double c[7] = {beton.f, beton.e1, beton.ecu, beton.e3, beton.e4, beton.n, beton.E};
    const double s[7] = {stahl.f, stahl.e1, stahl.ecu, stahl.e3, stahl.e4, stahl.n, stahl.E};
    b.SetzeMaterial(1, c);
    b.SetzeMaterial(2, s);
    b.SetzeMaterial(-2, nullptr);
    int g = 1;
    for (std::size_t k = 0; k < polys.size(); ++k)
        b.SetzeQuerGruppe(g++, static_cast<int>(polys[k].y.size()), 1, 1, polys[k].y.data(), polys[k].z.data(), nullptr,
                          k == 0 ? -1 : -11 - static_cast<int>(k));
    for (const Stab& st : staebe) {
        const double a = st.a;
        b.SetzeQuerGruppe(g++, 1, 2, 3, &st.y, &st.z, &a, 1);
    }
}

// Rectangle 30 x 50 cm with 8 bars of 20 mm (3.14 cm2) at 5 cm from the edges.
inline std::vector<Stab> AchtStaebe()
{
    const double a = 3.14159e-4;
    return {{10, -5, a},   {0, -5, a},   {-10, -5, a}, {10, -25, a},
            {-10, -25, a}, {10, -45, a}, {0, -45, a},  {-10, -45, a}};
}

}  // namespace section_test
