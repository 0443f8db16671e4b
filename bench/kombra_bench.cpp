// Generating every kind of combination for ten actions (target: well under 50 ms per run).
#include <benchmark/benchmark.h>

#include <vector>

#include "framework/lkdata.h"
#include "platform/kombra/kombra.h"

namespace {

// Ten actions: three permanent (both variants), five variable of different categories, one alternative
// with two load cases, one accidental with two load cases. Ed: 6 leaders * 2 * 8 = 96 combinations.
void defineTenActions(int session) {
  int lastfall = 1;
  for (int a = 1; a <= 3; ++a) {
    KOMBRA_SetLastfall(session, lastfall++, a);
    KOMBRA_DefEinw(session, a, 0, 0, 1);
  }
  const int categories[5] = {0, 2, 4, 8, 12};
  for (int a = 4; a <= 8; ++a) {
    KOMBRA_SetLastfall(session, lastfall++, a);
    KOMBRA_DefEinw(session, a, 1, categories[a - 4], 0);
  }
  KOMBRA_SetLastfall(session, lastfall++, 9);
  KOMBRA_SetLastfall(session, lastfall++, 9);
  KOMBRA_DefEinw(session, 9, 2, 11, 0);
  KOMBRA_SetLastfall(session, lastfall++, 10);
  KOMBRA_SetLastfall(session, lastfall++, 10);
  KOMBRA_DefEinw(session, 10, 3, 0, 0);
}

void BM_AllKindsTenActions(benchmark::State& state) {
  const int session = KOMBRA_StartSession();
  KOMBRA_SetNorm(session, "EC");
  std::vector<double> factors;
  for (auto _ : state) {
    KOMBRA_ClearLFEW(session);
    defineTenActions(session);
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
BENCHMARK(BM_AllKindsTenActions)->Unit(benchmark::kMillisecond);

// The same ten actions through CLKData (mode 3), as the actions dialog forms them.
void BM_CLKDataCalcTenActions(benchmark::State& state) {
  CLKData data;
  data.SetNorm(3);
  data.mitAlternativLasten = true;
  const int gruppen[10] = {0, 0, 0, 1, 1, 1, 1, 1, 2, 3};
  const int kategorien[10] = {0, 0, 0, 0, 2, 4, 8, 12, 11, 0};
  int lastfall = 1;
  for (int a = 0; a < 10; ++a) {
    CEinwirkung e;
    e.nr = a + 1;
    e.indexGruppe = e.indexGruppeHHHH = gruppen[a];
    e.indexKategorie = kategorien[a];
    data.einwirkungen.Add(e);
    for (int n = 0; n < (gruppen[a] >= 2 ? 2 : 1); ++n) data.lastfaelle.Add(CLKLastfall{lastfall++, a + 1});
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
BENCHMARK(BM_CLKDataCalcTenActions)->Unit(benchmark::kMillisecond);

}  // namespace
