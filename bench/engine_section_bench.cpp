// Speed of the section design: one stress resultant of a rectangle with 8 bars (target below 1 us) and
// of the 20-gon of a circle (below 5 us), and one design of a rectangle under biaxial bending (below 1 ms).
// The strain state of the stiffness iteration per section (first call and repeated calls under slowly
// changing forces, alternating the two laws as the iteration does) and per combination (every section of a
// column of six members, both laws); and the analytic slope of the resultants against the three extra
// resultants of difference quotients.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/bem.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// EC2 C30/37 (fcd 20 N/mm2, parabola to -2, ultimate -3.5) and B500B (fyd 434.8 N/mm2, eps_ud 25).
void Materialien(cBem& b) {
  b.SetzeMaterial(-1, nullptr);
  const double beton[7] = {20000.0, -2.0, -3.5, 0.0, 0.0, 2.0, 33000.0};
  const double fyd = 500000.0 / 1.15;
  const double stahl[7] = {fyd, -fyd / 200000.0, 25.0, 0.0, fyd / 200000.0, 1.0, 0.0};
  b.SetzeMaterial(1, beton);
  b.SetzeMaterial(2, stahl);
  b.SetzeMaterial(-2, nullptr);
}

void Stab(cBem& b, int g, double y, double z, double a) { b.SetzeQuerGruppe(g, 1, 2, 3, &y, &z, &a, 1); }

cBem Rechteck(int nStaebe) {
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

cBem Kreis() {
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
void Resultierende(benchmark::State& state, cBem& b) {
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

void BM_ResultantRectangle8Bars(benchmark::State& state) {
  cBem b = Rechteck(8);
  Resultierende(state, b);
}
BENCHMARK(BM_ResultantRectangle8Bars);

void BM_ResultantCircle20Gon(benchmark::State& state) {
  cBem b = Kreis();
  Resultierende(state, b);
}
BENCHMARK(BM_ResultantCircle20Gon);

void BM_DesignRectangleBiaxial(benchmark::State& state) {
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

// The concrete law of the strain state's first pass (exponent 1) or of the frame analysis (exponent 2).
void Beton(cBem& b, double n) {
  const double beton[7] = {20000.0, -2.0, -3.5, 0.0, 0.0, n, 33000.0};
  b.SetzeMaterial(1, beton);
  b.SetzeMaterial(-2, nullptr);
}

int Dehnungszustand(cBem& b, double N, double My, double Mz) {
  const int ip[4] = {1, 0, 0, 4};
  const double rp[7] = {N, 0.0, 0.0, 0.0, My, Mz, 0.0};
  return b.stbm3d(2, ip, rp);
}

void ErsterDehnungszustand(benchmark::State& state, const cBem& vorlage) {
  for (auto _ : state) {
    cBem b = vorlage;
    const int code = Dehnungszustand(b, -900.0, 60.0, 25.0);
    benchmark::DoNotOptimize(code);
    benchmark::DoNotOptimize(b.m_By);
  }
}

// As in the stiffness iteration: both laws per pass, forces a little different in each pass.
void WiederholterDehnungszustand(benchmark::State& state, cBem b) {
  int pass = 0;
  for (auto _ : state) {
    const double f = 1.0 + 0.002 * (pass++ % 16);
    Beton(b, 1.0);
    int code = Dehnungszustand(b, -900.0, 60.0 * f, 25.0 * f);
    Beton(b, 2.0);
    code += Dehnungszustand(b, -900.0, 60.0 * f, 25.0 * f);
    benchmark::DoNotOptimize(code);
    benchmark::DoNotOptimize(b.m_By);
  }
  state.SetItemsProcessed(2 * state.iterations());
}

void BM_StrainStateRectangleFirst(benchmark::State& state) { ErsterDehnungszustand(state, Rechteck(8)); }
BENCHMARK(BM_StrainStateRectangleFirst)->Unit(benchmark::kMicrosecond);

void BM_StrainStateCircleFirst(benchmark::State& state) { ErsterDehnungszustand(state, Kreis()); }
BENCHMARK(BM_StrainStateCircleFirst)->Unit(benchmark::kMicrosecond);

void BM_StrainStateRectangleRepeated(benchmark::State& state) { WiederholterDehnungszustand(state, Rechteck(8)); }
BENCHMARK(BM_StrainStateRectangleRepeated)->Unit(benchmark::kMicrosecond);

void BM_StrainStateCircleRepeated(benchmark::State& state) { WiederholterDehnungszustand(state, Kreis()); }
BENCHMARK(BM_StrainStateCircleRepeated)->Unit(benchmark::kMicrosecond);

// A column head under normal force alone: the frame analysis hands moments of round-off size whose sign changes
// from pass to pass.
void OhneMoment(benchmark::State& state, cBem b) {
  int pass = 0;
  for (auto _ : state) {
    const double s = (pass++ % 2) ? 1.0 : -1.0;
    Beton(b, 1.0);
    int code = Dehnungszustand(b, -900.0, s * 3e-16, -s * 1e-16);
    Beton(b, 2.0);
    code += Dehnungszustand(b, -900.0, -s * 2e-16, s * 4e-16);
    benchmark::DoNotOptimize(code);
    benchmark::DoNotOptimize(b.m_By);
  }
  state.SetItemsProcessed(2 * state.iterations());
}

void BM_StrainStateWithoutMomentRectangle(benchmark::State& state) { OhneMoment(state, Rechteck(8)); }
BENCHMARK(BM_StrainStateWithoutMomentRectangle)->Unit(benchmark::kMicrosecond);

void BM_StrainStateWithoutMomentCircle(benchmark::State& state) { OhneMoment(state, Kreis()); }
BENCHMARK(BM_StrainStateWithoutMomentCircle)->Unit(benchmark::kMicrosecond);

// One stiffness update of a combination: 12 sections (6 members) of a column 4 m high under N and moments
// growing to the foot, each with both laws; the forces grow by 0.1 % per update as a second-order run's do.
void Kombination(benchmark::State& state, const cBem& vorlage) {
  std::vector<cBem> schnitte(12, vorlage);
  int pass = 0;
  for (auto _ : state) {
    const double f = 1.0 + 0.001 * (pass++ % 32);
    int code = 0;
    for (int i = 0; i < 12; ++i) {
      const double x = (i / 2 + i % 2) / 6.0;
      const double My = f * (20.0 + 60.0 * x), Mz = f * (10.0 + 25.0 * x);
      Beton(schnitte[i], 1.0);
      code += Dehnungszustand(schnitte[i], -900.0, My, Mz);
      Beton(schnitte[i], 2.0);
      code += Dehnungszustand(schnitte[i], -900.0, My, Mz);
    }
    benchmark::DoNotOptimize(code);
  }
}

void BM_StrainStatesPerCombinationRectangle(benchmark::State& state) { Kombination(state, Rechteck(8)); }
BENCHMARK(BM_StrainStatesPerCombinationRectangle)->Unit(benchmark::kMillisecond);

void BM_StrainStatesPerCombinationCircle(benchmark::State& state) { Kombination(state, Kreis()); }
BENCHMARK(BM_StrainStatesPerCombinationCircle)->Unit(benchmark::kMillisecond);

// The slope of N, Mz, My by (eps0, ky, kz): analytic, or three more resultants of shifted planes.
void BM_SlopeAnalyticCircle(benchmark::State& state) {
  cBem b = Kreis();
  b.m_zustand = 0;
  b.m_eps0 = -0.8;
  b.m_ky = 3.0;
  b.m_kz = 6.0;
  for (auto _ : state) {
    double J[3][3];
    b.Tangente(J);
    benchmark::DoNotOptimize(J[0][0]);
  }
}
BENCHMARK(BM_SlopeAnalyticCircle);

void BM_SlopeDifferencesCircle(benchmark::State& state) {
  cBem b = Kreis();
  b.m_zustand = 0;
  for (auto _ : state) {
    double N, My, Mz;
    for (int j = 0; j < 3; ++j) {
      b.m_eps0 = j == 0 ? -0.81 : -0.8;
      b.m_ky = j == 1 ? 3.03 : 3.0;
      b.m_kz = j == 2 ? 6.06 : 6.0;
      b.spareq(2, 0.0, 99.0, N, My, Mz);
      benchmark::DoNotOptimize(N);
    }
  }
}
BENCHMARK(BM_SlopeDifferencesCircle);

}  // namespace
