// The rich-text control's layout, drawing and printing at sizes 8 times apart: linear work takes 8 times as long,
// work that costs the square of the input 64 times.
//   PrintPages/N        N pages of one letter each printed into a PDF
//   PrintParagraph/N    one paragraph of N letters, the format changing with each, printed into a PDF
//   PageDownInCell/N    a Page Down with its repaint in the output view, over a table cell of N characters
//   ReadSharedRows/N    an RTF text with one row definition of N cells reused by N rows read and laid out
//   PrintSharedRows/N   the same text printed into a PDF, at sizes 4 times apart (16 times the time where each row
//                       draws every cell of the definition)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/richedit/layout.h"
#include "platform/richedit/richtext.h"
#include "platform/win/afx.h"
#include "platform/win/screen/headless.h"

namespace {

namespace fs = std::filesystem;

const char* const kHead = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\plain\\fs20 ";

void Print(benchmark::State& state, const std::string& rtf) {
  richdoc::Document doc;
  doc.ReadRtf(rtf);
  const fs::path pdf = fs::temp_directory_path() / ("richtext_bench_" + std::to_string(::getpid()) + ".pdf");
  for (auto _ : state) {
    std::string error;
    if (!richedit::PrintToPdf(doc, pdf.string(), "Bericht", &error)) state.SkipWithError(error.c_str());
  }
  std::error_code ec;
  state.counters["pdf_MB"] = double(fs::file_size(pdf, ec)) / 1e6;
  state.counters["rtf_KB"] = double(rtf.size()) / 1e3;
  fs::remove(pdf, ec);
}

void PrintPages(benchmark::State& state) {
  std::string rtf = kHead;
  for (int64_t i = 0; i < state.range(0); ++i) rtf += "a\\page ";
  Print(state, rtf + "}");
}

void PrintParagraph(benchmark::State& state) {
  std::string rtf = kHead;
  for (int64_t i = 0; i < state.range(0) / 2; ++i) rtf += i % 8 == 7 ? "a{\\b b} " : "a{\\b b}";
  Print(state, rtf + "\\par}");
}

void PageDownInCell(benchmark::State& state) {
  CWnd parent;
  parent.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 820, 620), nullptr, 0);
  CRichText view;
  view.Create("", WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 800, 600), &parent, 4679);
  std::string cell;
  while (int64_t(cell.size()) < state.range(0)) cell += "Bewehrung ";
  std::string rtf = std::string(kHead) + "Anfang\\par\r\n\\trowd\\trgaph70\\cellx1500\\cellx7500\\pard\\intbl Hinweis" +
                    "\\cell " + cell + "\\cell\\row\r\n\\pard Ende\\par}";
  view.StreamInRtf(rtf, false);
  win::RenderWindow(view.m_hWnd);
  for (auto _ : state) {
    const int before = view.GetScrollY();
    view.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    if (view.GetScrollY() == before) view.SendMessage(WM_VSCROLL, SB_TOP, 0);
    benchmark::DoNotOptimize(win::RenderWindow(view.m_hWnd));
  }
  view.DestroyWindow();
  parent.DestroyWindow();
}

// One row definition of n cells reused by n rows of one cell each.
std::string SharedRows(int64_t n) {
  std::string rtf = std::string(kHead) + "\\trowd\\trgaph70";
  for (int64_t c = 1; c <= n; ++c) rtf += "\\cellx" + std::to_string(1000 + c);
  for (int64_t r = 0; r < n; ++r) rtf += "\\pard\\intbl x\\cell\\row\r\n";
  return rtf + "\\pard Ende\\par}";
}

void PrintSharedRows(benchmark::State& state) { Print(state, SharedRows(state.range(0))); }

void ReadSharedRows(benchmark::State& state) {
  const std::string rtf = SharedRows(state.range(0));
  HDC dc = ::CreateCompatibleDC(nullptr);
  double held = 0;
  for (auto _ : state) {
    richdoc::Document doc;
    doc.ReadRtf(rtf);
    held = 0;
    for (const std::string& blob : doc.blobs) held += double(blob.size());
    benchmark::DoNotOptimize(richedit::detail::LayOut(doc, dc, 600, 1.0));
  }
  ::DeleteDC(dc);
  state.counters["rtf_KB"] = double(rtf.size()) / 1e3;
  state.counters["definitions_MB"] = held / 1e6;
}

}  // namespace

BENCHMARK(PrintPages)->Arg(5000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PrintParagraph)->Arg(40000)->Arg(320000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PageDownInCell)->Arg(15000)->Arg(120000)->Unit(benchmark::kMillisecond);
BENCHMARK(PrintSharedRows)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ReadSharedRows)->Arg(1500)->Arg(12000)->Unit(benchmark::kMillisecond)->Iterations(1);
