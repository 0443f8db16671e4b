// The pixels of one page of a PDF as pdftoppm renders it, for tests that look at what a print put on the paper.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_support {

struct PagePixels {
  int width = 0, height = 0;
  std::string rgb;  // three bytes a pixel, rows from the top
  // 0xRRGGBB of a pixel on the page.
  std::uint32_t At(int x, int y) const {
    const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (std::size_t(y) * width + x) * 3;
    return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
  }
};

// Page `page` of the PDF at `dpi` (72: a pixel a point), rendered into the folder; empty when it cannot be.
inline PagePixels RenderPdfPage(const std::filesystem::path& pdf, int page, int dpi,
                                const std::filesystem::path& folder) {
  PagePixels out;
  const std::filesystem::path stem = folder / "rendered-page";
  const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
                              std::to_string(page) + " -singlefile '" + pdf.string() + "' '" + stem.string() + "'";
  if (std::system(command.c_str()) != 0) return out;
  std::ifstream in(stem.string() + ".ppm", std::ios::binary);
  std::string magic;
  int depth = 0;
  in >> magic >> out.width >> out.height >> depth;
  in.get();
  out.rgb.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (magic != "P6" || depth != 255 || out.rgb.size() != std::size_t(out.width) * out.height * 3) out = {};
  return out;
}

}  // namespace test_support
