// Speed of the section design: one stress resultant of a rectangle with 8 bars (target below 1 us) and
// of the 20-gon of a circle (below 5 us), and one design of a rectangle under biaxial bending (below 1 ms).
#include <benchmark/benchmark.h>

#include <cmath>

#include "engine/bem.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// EC2 C30/37 (fcd 20 N/mm2, parabola to -2, ultimate -3.5) and B500B (fyd 434.8 N/mm2, eps_ud 25).
void Materialien(cBem& b)
{
    b.SetzeMaterial(-1, nullptr);
    const double beton[7] = {20000.0, -2.0, -3.5, 0.0, 0.0, 2.0, 33000.0};
    const double fyd = 500000.0 / 1.15;
    const double stahl[7] = {fyd, -fyd / 200000.0, 25.0, 0.0, fyd / 200000.0, 1.0, 0.0};
    b.SetzeMaterial(1, beton);
    b.SetzeMaterial(2, stahl);
    b.SetzeMaterial(-2, nullptr);
}

void Stab(cBem& b, int g, double y, double z, double a)
{
    b.SetzeQuerGruppe(g, 1, 2, 3, &y, &z, &a, 1);
}

cBem Rechteck(int nStaebe)
{
    cBem b;
    Materialien(b);
    const double y[4] = {-15, -15, 15, 15}, z[4] = {0, -50, -50, 0};
    b.SetzeQuerGruppe(1, 4, 1, 1, y, z, nullptr, -1);
    const double a = 3.14159e-4;
    const double sy[8] = {10, 0, -10, 10, -10, 10, 0, -10}, sz[8] = {-5, -5, -5, -25, -25, -45, -45, -45};
    const int idx4[4] = {0, 2, 5, 7};
    for (int k = 0; k < nStaebe; ++k) {
        const int i = nStaebe == 4 ? idx4[k] : k;
        Stab(b, 2 + k, sy[i], sz[i], a);
    }
    b.m_norm = 2;
    b.m_querTyp = 1;
    b.m_cOben = b.m_cUnten = 5.0;
    return b;
}

cBem Kreis()
{
    cBem b;
    Materialien(b);
    double y[20], z[20];
    for (int k = 0; k < 20; ++k) {
        y[k] = -std::sin(k * kPi / 10.0) * 20.0;
        z[k] = -20.0 + std::cos(k * kPi / 10.0) * 20.0;
    }
    b.SetzeQuerGruppe(1, 20, 1, 1, y, z, nullptr, -1);
    for (int k = 0; k < 8; ++k)
        Stab(b, 2 + k, -std::sin(k * kPi / 4.0) * 15.0, -20.0 + std::cos(k * kPi / 4.0) * 15.0, 3.14159e-4);
    b.m_querTyp = 3;
    return b;
}

// Planes that cross every branch of the laws, cycled so that no result is reused.
void Resultierende(benchmark::State& state, cBem& b)
{
    b.m_zustand = 0;
    const double planes[4][3] = {{-1.0, 8.0, 12.0}, {0.5, -20.0, 6.0}, {-2.5, 3.0, -9.0}, {1.5, 15.0, 25.0}};
    int k = 0;
    for (auto _ : state) {
        b.m_eps0 = planes[k][0];
        b.m_ky = planes[k][1];
        b.m_kz = planes[k][2];
        k = (k + 1) & 3;
        double N, My, Mz;
        b.spareq(2, 0.0, 99.0, N, My, Mz);
        benchmark::DoNotOptimize(N);
        benchmark::DoNotOptimize(My);
        benchmark::DoNotOptimize(Mz);
    }
}

void BM_ResultantRectangle8Bars(benchmark::State& state)
{
    cBem b = Rechteck(8);
    Resultierende(state, b);
}
BENCHMARK(BM_ResultantRectangle8Bars);

void BM_ResultantCircle20Gon(benchmark::State& state)
{
    cBem b = Kreis();
    Resultierende(state, b);
}
BENCHMARK(BM_ResultantCircle20Gon);

void BM_DesignRectangleBiaxial(benchmark::State& state)
{
    const cBem vorlage = Rechteck(4);
    const int ip[4] = {1, 0, 0, 4};
    const double rp[7] = {-600.0, 0.0, 0.0, 0.0, 140.0, 70.0, 1.5};
    for (auto _ : state) {
        cBem b = vorlage;
        const int code = b.stbm3d(4, ip, rp);
        benchmark::DoNotOptimize(code);
        benchmark::DoNotOptimize(b.bwfakt);
    }
}
BENCHMARK(BM_DesignRectangleBiaxial)->Unit(benchmark::kMicrosecond);

}  // namespace
