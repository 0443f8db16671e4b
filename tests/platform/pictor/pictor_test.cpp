// The report's picture library: one picture at a time, and the controls' picture files embedded by the RTF writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "framework_ui/plotwerk.h"
#include "platform/pictor/pictor.h"
#include "platform/plotwerk/controls.h"
#include "platform/plotwerk/scene2d.h"
#include "platform/rtfx/rtfx.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/platform/pictor/png_decode.h"

namespace fs = std::filesystem;

namespace {

class PictorTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir_ = fs::temp_directory_path() / ("pictor-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    Pictor_Destroy();
    fs::remove_all(dir_);
    WindowTest::TearDown();
  }
  static std::string ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }
  // Width and height from a PNG's header.
  static std::pair<long, long> PngSize(const std::vector<unsigned char>& png) {
    auto be = [&](int at) {
      return long(png[at]) << 24 | long(png[at + 1]) << 16 | long(png[at + 2]) << 8 | png[at + 3];
    };
    return {be(16), be(20)};
  }
  fs::path dir_;
};

}  // namespace

TEST_F(PictorTest, OnePictureAtATime) {
  EXPECT_EQ(Pictor_GetPlotwerk3DPtr(), nullptr);
  ASSERT_EQ(Pictor_Create3D(300, 500, 1), 1);
  CPlotwerk3D* view = Pictor_GetPlotwerk3DPtr();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(Pictor_GetPlotwerk2DPtr(), nullptr);
  EXPECT_FALSE(view->GetParent()->IsWindowVisible()) << "the picture's window is hidden";
  CRect r;
  view->GetClientRect(&r);
  EXPECT_EQ(r.Width(), 300);
  EXPECT_EQ(r.Height(), 500);
  HWND hwnd = view->m_hWnd;
  ASSERT_EQ(Pictor_Create2D(500, 200, 1), 1);
  EXPECT_FALSE(::IsWindow(hwnd)) << "a new picture replaces the old one";
  EXPECT_EQ(Pictor_GetPlotwerk3DPtr(), nullptr);
  ASSERT_NE(Pictor_GetPlotwerk2DPtr(), nullptr);
  Pictor_Destroy();
  EXPECT_EQ(Pictor_GetPlotwerk2DPtr(), nullptr);
  Pictor_Destroy();  // nothing left: no harm
}

TEST_F(PictorTest, TheThreeDViewIsSavedAsABitmapThatConvertsToPng) {
  ASSERT_EQ(Pictor_Create3D(300, 500, 1), 1);
  CPlotwerk3D* view = Pictor_GetPlotwerk3DPtr();
  const float corners[6] = {0, 0, 0, 0.3f, 0.3f, 3.0f};
  view->AddLine(corners, 1, 1);
  const std::string file = (dir_ / "stuetzeEndsystem.bmp").string();
  view->SaveImage(file.c_str());
  std::vector<unsigned char> png;
  ASSERT_TRUE(pictor::ConvertToPng(file.c_str(), png));
  EXPECT_EQ(PngSize(png), std::make_pair(600L, 1000L)) << "saved at twice the control's size, for print";
}

TEST_F(PictorTest, TheTwoDMetafileIsEmbeddedInTheReport) {
  ASSERT_EQ(Pictor_Create2D(500, 200, 1), 1);
  CPlotwerk2D* plot = Pictor_GetPlotwerk2DPtr();
  plot->Clear();
  plot->Invoke39(0, 0, 0, -1, -1, 0);
  plot->SetStyle(0, 4, 3, 0);
  plot->AddRectangle(0, -1, 4, 7);
  plot->Invoke55();
  plot->AddLine(0, 1, 4, 2);
  plot->Refresh();
  const std::string metafile = (dir_ / "Bewehrung").string();
  plot->SetTitle(metafile.c_str());
  ASSERT_TRUE(fs::exists(metafile)) << "SetTitle writes the drawing to the file it names";

  std::vector<unsigned char> png;
  ASSERT_TRUE(pictor::ConvertToPng(metafile.c_str(), png));
  // Three times the control's width, 1500 px; the drawing is 8 wide (y from -1 to 7) and 4 high (x from 0 to 4),
  // so its plot of 1500 - 2 x 14 px is 736 px high, and the picture 736 + 2 x 14.
  EXPECT_EQ(PngSize(png), std::make_pair(1500L, 764L)) << "as high as the drawing needs at the print width";

  // The RTF writer asks the library for files it cannot read itself.
  const fs::path report = dir_ / "bericht.rtf";
  ASSERT_TRUE(RTFX_BeginBlock(report.c_str(), 0, 1, 0, "nologo"));
  RTFX_Picture(metafile.c_str(), 1, 10.0, 0.0);
  ASSERT_TRUE(RTFX_EndDocument(0));
  std::string rtf = ReadAll(report);
  EXPECT_NE(rtf.find("\\pngblip\\picw1500\\pich764"), std::string::npos);
}

TEST_F(PictorTest, OtherFilesAreNotPictures) {
  const fs::path text = dir_ / "notiz.txt";
  std::ofstream(text) << "BM but not a bitmap";
  std::vector<unsigned char> png;
  EXPECT_FALSE(pictor::ConvertToPng(text.c_str(), png));
  EXPECT_FALSE(pictor::ConvertToPng((dir_ / "fehlt.bmp").c_str(), png));
  EXPECT_FALSE(pictor::ConvertToPng(nullptr, png));
}

// A diagram as the report draws it: coloured fills, hatching, lines and texts (whose edges bring dozens of
// shades). What the report embeds decodes to the very pixels that drawing the file at the print size gives.
TEST_F(PictorTest, ADiagramIsEmbeddedPixelForPixel) {
  namespace pw = plotwerk;
  const auto draw = [](const pw::Scene2D& scene, int width, int height) {
    return pw::RenderOffscreen(
        width, height, 0xFFFFFF,
        [](HDC dc, const RECT& r, const void* s) {
          pw::View2D(*static_cast<const pw::Scene2D*>(s), r, true).Render(dc);
        },
        &scene);
  };
  const auto diagram = [&](double lean, const char* name) {
    pw::Scene2D scene;
    scene.title = "LK[2] Bruchnachweis Ed Moment My [kNm]";
    scene.SetStyle({RGB(128, 128, 128), 0, 1, FALSE});
    scene.Add(pw::Kind2D::Rectangle, {0, -1, 4, 7});
    scene.SetStyle({RGB(90, 90, 255), 0, 0, TRUE});
    scene.Add(pw::Kind2D::Polygon, {0, 0, lean, 0.5, 0.2 + lean, 3, 0, 3});
    scene.SetStyle({RGB(0, 0, 0), 1, 3, FALSE});
    scene.Add(pw::Kind2D::Line, {0, 0, 4, 6});
    for (int k = 0; k < 4; ++k) scene.Add(pw::Kind2D::Text, {1.0 * k, 5, 0, 0.4}, "M = -12,5" + std::to_string(k));
    const std::string file = (dir_ / name).string();
    EXPECT_TRUE(scene.Save(file, 500, 200));
    return file;
  };
  const std::string first = diagram(1.5, "Schnitt-LK1"), second = diagram(-0.7, "Schnitt-LK2");

  std::vector<unsigned char> png, again, other;
  ASSERT_TRUE(pictor::ConvertToPng(first.c_str(), png));
  ASSERT_TRUE(pictor::ConvertToPng(second.c_str(), other));
  ASSERT_TRUE(pictor::ConvertToPng(first.c_str(), again));
  EXPECT_EQ(again, png) << "a picture converted after another is the same";

  for (const auto& [file, bytes] : {std::pair{first, png}, std::pair{second, other}}) {
    pw::Scene2D scene;
    int width = 0, height = 0;
    ASSERT_TRUE(scene.Load(file, &width, &height));
    pictor::PrintSize(scene, width, width, height);
    const std::vector<std::uint32_t> pixels = draw(scene, width, height);
    const pictor::test::Decoded decoded = pictor::test::Decode(bytes);
    ASSERT_EQ(decoded.width, width);
    ASSERT_EQ(decoded.height, height);
    EXPECT_TRUE(decoded.pixels == pixels) << file << ": the embedded picture differs from the drawing";
    std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
    EXPECT_GT(colours.size(), 10u) << "texts' edges and fills: a picture of many colours";
  }
}
