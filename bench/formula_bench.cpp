// Reading formula values: an expression is evaluated against its variable store on every read.
#include <benchmark/benchmark.h>

#include <string>

#include "formula/formulanumber.h"
#include "formula/varstore.h"

namespace {

// A store of 1,000 variables in folders, as a project's published values look; b and alpha among them.
void Fill(CVariableStore& store, int count) {
  for (int i = 0; i < count - 2; ++i) {
    std::string name = "Pos " + std::to_string(i / 50) + "\\Bauteil\\v" + std::to_string(i);
    store.SetVariable(name.c_str(), "Wert", "m", 0.5 * i);
  }
  store.SetVariable("Pos 1\\b", "Breite", "m", 0.3);
  store.SetVariable("Pos 1\\alpha", "Winkel", "", 0.7);
}

void BM_StoreEvaluate(benchmark::State& state) {
  CVariableStore store;
  Fill(store, int(state.range(0)));
  double result = 0;
  for (auto _ : state) {
    store.Evaluate("h = 2*b + sin(alpha)/3", &result);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_StoreEvaluate)->Arg(1000);

void BM_FormulaNumberRead(benchmark::State& state) {
  CVariableStore store;
  Fill(store, int(state.range(0)));
  CFormulaNumber h;
  h.m_pStore = &store;
  h = "h = 2*b + sin(alpha)/3";
  for (auto _ : state) benchmark::DoNotOptimize(h.GetValue());
}
BENCHMARK(BM_FormulaNumberRead)->Arg(1000);

// The same read through a position's store whose parent holds the 1,000 published variables.
void BM_FormulaNumberReadThroughParent(benchmark::State& state) {
  CVariableStore global, position;
  Fill(global, int(state.range(0)));
  position.m_pParent = &global;
  position.SetVariable("d", "Dicke", "m", 0.2);
  CFormulaNumber h;
  h.m_pStore = &position;
  h = "h = 2*b + sin(alpha)/3";
  for (auto _ : state) benchmark::DoNotOptimize(h.GetValue());
}
BENCHMARK(BM_FormulaNumberReadThroughParent)->Arg(1000);

// A change of one variable between reads: the price of refreshing the store's resolved view.
void BM_FormulaNumberReadAfterChange(benchmark::State& state) {
  CVariableStore store;
  Fill(store, int(state.range(0)));
  CFormulaNumber h;
  h.m_pStore = &store;
  h = "h = 2*b + sin(alpha)/3";
  double b = 0.3;
  for (auto _ : state) {
    b += 1e-3;
    store.SetVariable("Pos 1\\b", "Breite", "m", b);
    benchmark::DoNotOptimize(h.GetValue());
  }
}
BENCHMARK(BM_FormulaNumberReadAfterChange)->Arg(1000);

}  // namespace
