// Generating every kind of combination for a realistic position (target: well under 50 ms per run).
//
// Every variable action may also be absent, so ten actions (three permanent, five variable, wind from two
// sides, one accidental) would give (5 * 2^4 * 3 + 2 * 2^5 + 1) * 8 = 2440 Ed combinations, far beyond the
// 200 a kind may hold. The benchmark takes a realistic mix within it: three permanent actions, imposed
// load, snow and wind from two sides (alternatives of one action: four variable load cases), and an
// accidental action with two load cases.
#include <benchmark/benchmark.h>

#include <vector>

#include "framework/lkdata.h"
#include "platform/kombra/kombra.h"

namespace {

// Per permanent variant (2^3 = 8): imposed leading, snow present or absent, wind by either side or absent
// (2 * 3); snow leading likewise (6); wind leading by either side, imposed and snow each present or absent
// (2 * 4); the permanent actions alone (1): 21. Ed: 21 * 8 = 168 combinations.
constexpr int kGruppen[7] = {0, 0, 0, 1, 1, 2, 3};
constexpr int kKategorien[7] = {0, 0, 0, 0, 8, 11, 0};  // EN 1990: category A, snow, wind
constexpr int kLastfaelle[7] = {1, 1, 1, 1, 1, 2, 2};

void defineSevenActions(int session) {
  int lastfall = 1;
  for (int a = 0; a < 7; ++a) {
    for (int n = 0; n < kLastfaelle[a]; ++n) KOMBRA_SetLastfall(session, lastfall++, a + 1);
    KOMBRA_DefEinw(session, a + 1, kGruppen[a], kKategorien[a], kGruppen[a] == 0 ? 1 : 0);
  }
}

void BM_AllKindsSevenActions(benchmark::State& state) {
  const int session = KOMBRA_StartSession();
  KOMBRA_SetNorm(session, "EC");
  std::vector<double> factors;
  for (auto _ : state) {
    KOMBRA_ClearLFEW(session);
    defineSevenActions(session);
    for (int kind = 0; kind < KOMBRA_NUM_NACHWEISE; ++kind) KOMBRA_EnableNachweis(session, kind, 1);
    if (KOMBRA_Calc(session) != 0) {
      state.SkipWithError(KOMBRA_GetLastError(session));
      break;
    }
    const int count = KOMBRA_GetNumOfKombi(session);
    factors.resize(static_cast<std::size_t>(KOMBRA_GetNumOfFaktoren(session)));
    for (int k = 0; k < count; ++k) {
      benchmark::DoNotOptimize(KOMBRA_GetKombiStr(session, k));
      KOMBRA_GetKombi(session, k, factors.data());
    }
    state.counters["combinations"] = count;
  }
  KOMBRA_CloseSession(session);
}
BENCHMARK(BM_AllKindsSevenActions)->Unit(benchmark::kMillisecond);

// Ten actions within the limit: six permanent actions taken with gamma_G,sup only (no favourable variant), the
// same imposed load, snow and wind, and one accidental load case. Ed: 21 combinations.
constexpr int kGruppen10[10] = {0, 0, 0, 0, 0, 0, 1, 1, 2, 3};
constexpr int kKategorien10[10] = {0, 0, 0, 0, 0, 0, 0, 8, 11, 0};
constexpr int kLastfaelle10[10] = {1, 1, 1, 1, 1, 1, 1, 1, 2, 1};

void BM_AllKindsTenActions(benchmark::State& state) {
  const int session = KOMBRA_StartSession();
  KOMBRA_SetNorm(session, "EC");
  for (auto _ : state) {
    KOMBRA_ClearLFEW(session);
    int lastfall = 1;
    for (int a = 0; a < 10; ++a) {
      for (int n = 0; n < kLastfaelle10[a]; ++n) KOMBRA_SetLastfall(session, lastfall++, a + 1);
      KOMBRA_DefEinw(session, a + 1, kGruppen10[a], kKategorien10[a], 0);
    }
    for (int kind = 0; kind < KOMBRA_NUM_NACHWEISE; ++kind) KOMBRA_EnableNachweis(session, kind, 1);
    if (KOMBRA_Calc(session) != 0) {
      state.SkipWithError(KOMBRA_GetLastError(session));
      break;
    }
    state.counters["combinations"] = KOMBRA_GetNumOfKombi(session);
  }
  KOMBRA_CloseSession(session);
}
BENCHMARK(BM_AllKindsTenActions)->Unit(benchmark::kMillisecond);

// The same seven actions through CLKData (mode 3), as the actions dialog forms them.
void BM_CLKDataCalcSevenActions(benchmark::State& state) {
  CLKData data;
  data.SetNorm(3);
  data.mitAlternativLasten = true;
  int lastfall = 1;
  for (int a = 0; a < 7; ++a) {
    CEinwirkung e;
    e.nr = a + 1;
    e.indexGruppe = e.indexGruppeHHHH = kGruppen[a];
    e.indexKategorie = kKategorien[a];
    data.einwirkungen.Add(e);
    for (int n = 0; n < kLastfaelle[a]; ++n) data.lastfaelle.Add(CLKLastfall{lastfall++, a + 1});
  }
  data.nachweisSchalter[2] = true;
  for (auto _ : state) {
    if (!data.Calc()) {
      state.SkipWithError("CLKData::Calc refused");
      break;
    }
    state.counters["combinations"] = double(data.kombinationen.GetSize());
  }
}
BENCHMARK(BM_CLKDataCalcSevenActions)->Unit(benchmark::kMillisecond);

}  // namespace
