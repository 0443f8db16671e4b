// The report's pictures: a result diagram as the report draws it, turned into the PNG that the RTF file embeds,
// whole and in its steps (drawing at print size, encoding).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/pictor/pictor.h"
#include "platform/pictor/png_writer.h"
#include "platform/plotwerk/scene2d.h"

namespace {

namespace pw = plotwerk;

// A column of 7.7 m with its frame, a height axis, the diagram of one quantity over 60 stations and its value
// labels: the kind of drawing the report converts once per combination.
pw::Scene2D Diagram() {
  pw::Scene2D scene;
  scene.SetTransform({0, 0, 0, -2.17, -1, 0});
  scene.SetStyle({0, 4, 3, FALSE});
  scene.Add(pw::Kind2D::Rectangle, {0, -2.9, 7.7, 30.7});
  scene.SetStyle({0, 0, 3, FALSE});
  for (int k = 0; k <= 7; ++k) {
    scene.Add(pw::Kind2D::Line, {double(k), 30.4, double(k), 30.2});
    scene.Add(pw::Kind2D::Text, {k + 0.1, 30.0, -90, 0.79}, std::to_string(k) + ".00 m");
  }
  std::vector<double> outline = {0, 0};
  for (int i = 0; i <= 60; ++i) {
    const double x = 7.7 * i / 60;
    outline.push_back(x);
    outline.push_back(3.2 + 2.5 * std::sin(x));
  }
  outline.insert(outline.end(), {7.7, 0});
  scene.SetStyle({RGB(90, 90, 255), 0, 0, TRUE});
  scene.Add(pw::Kind2D::Polygon, outline);
  scene.SetStyle({0, 0, 3, FALSE});
  for (int i = 0; i <= 60; i += 6) {
    const double x = 7.7 * i / 60, v = 3.2 + 2.5 * std::sin(x);
    char label[32];
    std::snprintf(label, sizeof label, "%.2f", 100 * v);
    scene.Add(pw::Kind2D::ValueLabel, {x, v, x, v + 1.2, 0.79, 0}, label);
  }
  scene.Add(pw::Kind2D::Text, {8.2, 3.85, -90, 0.79}, "Moment Mx [kNm]");
  return scene;
}

std::string DiagramFile() {
  static const std::string file = [] {
    const auto path = std::filesystem::temp_directory_path() / "kolumo-picture-bench.p2d";
    Diagram().Save(path.string(), 500, 200);
    return path.string();
  }();
  return file;
}

void RenderDiagram(HDC dc, const RECT& r, const void* scene) {
  pw::View2D(*static_cast<const pw::Scene2D*>(scene), r, true).Render(dc);
}

// The whole step: reading the drawing, drawing it at print size, encoding.
void BM_ConvertDiagram(benchmark::State& state) {
  const std::string file = DiagramFile();
  std::vector<unsigned char> png;
  for (auto _ : state) {
    if (!pictor::ConvertToPng(file.c_str(), png)) state.SkipWithError("not converted");
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["png_kB"] = double(png.size()) / 1024;
}
BENCHMARK(BM_ConvertDiagram)->Unit(benchmark::kMillisecond);

void BM_DrawDiagramAtPrintSize(benchmark::State& state) {
  pw::Scene2D scene;
  int width = 0, height = 0;
  scene.Load(DiagramFile(), &width, &height);
  pictor::PrintSize(scene, width, width, height);
  pw::Offscreen picture;
  for (auto _ : state) benchmark::DoNotOptimize(picture.Render(width, height, 0xFFFFFF, &RenderDiagram, &scene).data());
  state.counters["pixels"] = double(width) * height;
}
BENCHMARK(BM_DrawDiagramAtPrintSize)->Unit(benchmark::kMillisecond);

void BM_EncodeDiagram(benchmark::State& state) {
  pw::Scene2D scene;
  int width = 0, height = 0;
  scene.Load(DiagramFile(), &width, &height);
  pictor::PrintSize(scene, width, width, height);
  const std::vector<std::uint32_t> pixels = pw::RenderOffscreen(width, height, 0xFFFFFF, &RenderDiagram, &scene);
  std::vector<unsigned char> png;
  for (auto _ : state) {
    pictor::EncodePng(pixels, width, height, png);
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["png_kB"] = double(png.size()) / 1024;
}
BENCHMARK(BM_EncodeDiagram)->Unit(benchmark::kMillisecond);

}  // namespace
