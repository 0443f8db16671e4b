// Evaluating a position's document: one formula line after another, each defining a variable that the store
// keeps. The time per line must not grow with the document.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "document/formulatext.h"
#include "document/rtfchunks.h"
#include "formula/varstore.h"

namespace {

constexpr unsigned long kFormula = 7ul + 256ul * 13ul + 65536ul * 255ul;

// A document of `lines` formula lines made by `line` (its number in, the line's text out).
template <typename Line>
std::string Document(int lines, Line line) {
  std::string text =
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech Symbol;}}\r\n"
      "{\\colortbl ;\\red0\\green0\\blue0;\\red7\\green13\\blue255;}\r\n\\pard\\f0 ";
  for (int i = 0; i < lines; ++i) text += "\\cf2 " + line(i) + "\\par\r\n";
  return text + "}";
}

void Evaluate(benchmark::State& state, const std::string& document) {
  CVariableStore global;
  global.SetVariable("Pos 1\\b", "Breite", "m", 0.3);
  for (auto _ : state) {
    CVariableStore store;
    store.m_pParent = &global;
    CRtfChunkList list;
    list.SetText(document);
    std::vector<SkribTextBlock> blocks;
    EvaluateText(list, kFormula, blocks, 0, nullptr, &store, 1, "");
    benchmark::DoNotOptimize(blocks.data());
  }
  state.SetComplexityN(state.range(0));
  state.counters["lines"] = double(state.range(0));
}

// "a17 = 17": a definition per line.
void BM_DocumentDefinitions(benchmark::State& state) {
  Evaluate(state, Document(int(state.range(0)), [](int i) {
             const std::string n = std::to_string(i);
             return "a" + n + " = " + n;
           }));
}
BENCHMARK(BM_DocumentDefinitions)->Arg(1000)->Arg(20000)->Arg(160000)->Unit(benchmark::kMillisecond)->Complexity();

// "s17 = SUMME(1) + a16 = 0.00" after a definition: sums and reads of earlier variables.
void BM_DocumentSums(benchmark::State& state) {
  Evaluate(state, Document(int(state.range(0)), [](int i) {
             const std::string n = std::to_string(i);
             if (i % 2 == 0) return "a" + n + " = " + n;
             return "s" + n + " = SUMME(1) + a" + std::to_string(i - 1) + " = 0.00";
           }));
}
BENCHMARK(BM_DocumentSums)->Arg(1000)->Arg(20000)->Arg(160000)->Unit(benchmark::kMillisecond)->Complexity();

// "t17 = SUMME + 1 = ?": sums without a count in a text that marks no sum range, their results asked for.
void BM_DocumentOpenSums(benchmark::State& state) {
  Evaluate(state, Document(int(state.range(0)), [](int i) { return "t" + std::to_string(i) + " = SUMME + 1 = ?"; }));
}
BENCHMARK(BM_DocumentOpenSums)->Arg(1000)->Arg(20000)->Arg(160000)->Unit(benchmark::kMillisecond)->Complexity();

// "s17 = SUMME(17) = 0": each line sums all lines before it.
void BM_DocumentSumsOfAllBefore(benchmark::State& state) {
  Evaluate(state, Document(int(state.range(0)), [](int i) {
             const std::string n = std::to_string(i);
             return "s" + n + " = SUMME(" + n + ") = 0";
           }));
}
BENCHMARK(BM_DocumentSumsOfAllBefore)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

// "s17 = Summe = 0" in one sum range: each line sums the range up to itself.
void BM_DocumentSumsOfOneRange(benchmark::State& state) {
  std::string text = Document(int(state.range(0)), [](int i) { return "s" + std::to_string(i) + " = Summe = 0"; });
  text.insert(text.find("\\cf2 "), "/*S+*/");
  text.insert(text.rfind('}'), "/*S-*/");
  Evaluate(state, text);
}
BENCHMARK(BM_DocumentSumsOfOneRange)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
