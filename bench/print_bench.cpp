// Printing a report into a PDF as "drucken" does: the RTF read, laid out on its pages and written. Counters: the
// pages, the time per page and the size of the PDF. ReadReport reads the report whole, as "kolumo report" reads it
// back before it replaces the previous one. The report is the file named by KOLUMO_PRINT_RTF (print_bench.sh
// makes the example's report and passes it), else a report-like text of tables and Greek letters made here.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/richedit/richeditctrl.h"

namespace {

namespace fs = std::filesystem;

std::string Report() {
  const char* path = std::getenv("KOLUMO_PRINT_RTF");
  if (path && *path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech\\fcharset2 Symbol;}}\\paperw11906\\paperh16838"
      "\\margl1418\\margr851\\margt1134\\margb1134\\sectd{\\header\\pard\\plain\\fs16 Kopf\\tab Seite "
      "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} von {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}\r\n";
  for (int i = 0; i < 2000; ++i) {
    rtf += "\\trowd\\trgaph70\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl\\fs18 " + std::to_string(i * 0.05) +
           "\\cell {\\f1 s}{\\sub c} = " + std::to_string(i) + "\\cell Wert\\cell\\row\r\n";
  }
  return rtf + "}";
}

void PrintReport(benchmark::State& state) {
  richdoc::Document doc;
  doc.ReadRtf(Report());
  const fs::path pdf = fs::temp_directory_path() / ("print_bench_" + std::to_string(::getpid()) + ".pdf");
  for (auto _ : state) {
    std::string error;
    if (!richedit::PrintToPdf(doc, pdf.string(), "Bericht", &error)) state.SkipWithError(error.c_str());
  }
  const std::string count =
      "pdfinfo '" + pdf.string() + "' 2>/dev/null | awk '/^Pages:/ {print $2}' > '" + pdf.string() + ".pages'";
  int pages = 0;
  if (std::system(count.c_str()) == 0) std::ifstream(pdf.string() + ".pages") >> pages;
  std::error_code ec;
  const double bytes = double(fs::file_size(pdf, ec));
  state.counters["pages"] = pages;
  state.counters["pdf_MB"] = bytes / 1e6;
  if (pages > 0)
    state.counters["s_per_page"] =
        benchmark::Counter(double(pages), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  // KOLUMO_PRINT_PDF keeps the printed PDF there, to be looked at.
  if (const char* keep = std::getenv("KOLUMO_PRINT_PDF"); keep && *keep)
    fs::copy_file(pdf, keep, fs::copy_options::overwrite_existing, ec);
  fs::remove(pdf, ec);
  fs::remove(pdf.string() + ".pages", ec);
}
BENCHMARK(PrintReport)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReadReport(benchmark::State& state) {
  const std::string rtf = Report();
  for (auto _ : state) {
    richdoc::Document doc;
    doc.ReadRtf(rtf);
    benchmark::DoNotOptimize(doc.text.data());
  }
  state.counters["rtf_MB"] = double(rtf.size()) / 1e6;
}
BENCHMARK(ReadReport)->Unit(benchmark::kMillisecond);

}  // namespace
