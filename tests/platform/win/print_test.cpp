// Printer DCs: page geometry, pages in the PDF, and failures that leave no file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"
#include "tests/support/dead_pid.h"
#include "tests/support/pdf_page_pixels.h"

namespace {

namespace fs = std::filesystem;

class PrintTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir = fs::temp_directory_path() / ("kolumo-print-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::remove_all(dir);
    WindowTest::TearDown();
  }
  // Files left in the folder (a failed job must leave none).
  std::vector<std::string> Files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    return out;
  }
  fs::path dir;
};

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The page objects of a PDF (each "/Type /Page" that is not "/Pages").
int PdfPages(const std::string& pdf) {
  std::regex page(R"(/Type\s*/Page[^s])");
  return int(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST_F(PrintTest, ThePrinterDcDescribesThePaperAtItsResolution) {
  struct Case {
    win::print::PageSetup setup;
    int horzres, vertres, physicalWidth;  // hand-worked: mm / 25.4 * dpi, less two margins
  };
  const Case cases[] = {
      // A4 at 300 dpi with 5 mm margins: 210 mm = 2480.3 -> 2480 px, 5 mm = 59.06 -> 59 px; 297 mm -> 3508 px.
      {{210, 297, 5, 300, false}, 2480 - 118, 3508 - 118, 2480},
      // A4 landscape at 100 dpi without margins: 297 mm = 1169.3 -> 1169 px, 210 mm = 826.8 -> 827 px.
      {{297, 210, 0, 100, false}, 1169, 827, 1169},
  };
  for (const Case& c : cases) {
    CDC dc;
    ASSERT_TRUE(dc.Attach(win::print::CreatePrinterDC(c.setup)));
    EXPECT_TRUE(dc.IsPrinting());
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), c.horzres);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), c.vertres);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALWIDTH), c.physicalWidth);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), c.setup.dpi);
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(dc.GetDeviceCaps(NUMCOLORS), -1);
    dc.DeleteDC();
  }
  win::print::PageSetup mono;
  mono.monochrome = true;
  HDC dc = win::print::CreatePrinterDC(mono);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), 2) << "a two-colour printer, as grids ask for";
  DeleteDC(dc);
  win::print::PageSetup bad;
  bad.marginMm = 120;  // more than half the paper
  EXPECT_EQ(win::print::CreatePrinterDC(bad), nullptr);
}

TEST_F(PrintTest, EveryPageOfTheJobIsAPageOfThePdf) {
  fs::path pdf = dir / "grid.pdf";
  win::print::Job job;
  std::vector<UINT> printed;
  job.begin = [](CDC*, CPrintInfo* info) { info->SetMaxPage(3); };
  job.page = [&](CDC* dc, CPrintInfo* info) {
    printed.push_back(info->m_nCurPage);
    dc->Rectangle(info->m_rectDraw.left + 10, 10, 200, 200);
    dc->TextOut(20, 20, "Seite");
  };
  win::print::PageSetup low;
  low.dpi = 72;
  ASSERT_TRUE(win::print::PrintDocument(pdf.string(), "Raster", job, low)) << win::print::LastError();
  EXPECT_EQ(printed, (std::vector<UINT>{1, 2, 3}));
  std::string bytes = Read(pdf);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_EQ(PdfPages(bytes), 3);
  EXPECT_EQ(Files(), std::vector<std::string>{"grid.pdf"}) << "no temporary file stays";
}

// What pdftotext reads of one page of the PDF.
std::string PdfText(const fs::path& pdf, int page) {
  const fs::path text = pdf.string() + ".txt";
  const std::string command = "pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                              pdf.string() + "' '" + text.string() + "'";
  if (std::system(command.c_str()) != 0) return "(pdftotext failed)";
  std::string out = Read(text);
  fs::remove(text);
  return out;
}

TEST_F(PrintTest, ThePrintedTextsCanBeReadFromThePdf) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
  fs::path pdf = dir / "text.pdf";
  win::print::Job job;
  job.begin = [](CDC*, CPrintInfo* info) { info->SetMaxPage(2); };
  job.page = [&](CDC* dc, CPrintInfo* info) {
    if (info->m_nCurPage == 1) {
      // A word drawn letter by letter, as a rich text is drawn, reads as the word; a text further along the line
      // stays a word of its own.
      const std::string word = "Stütze";
      int x = 100;
      for (char c : std::string("Bewehrung")) {
        dc->TextOut(x, 100, &c, 1);
        CSize size = dc->GetTextExtent(&c, 1);
        x += size.cx;
      }
      dc->TextOut(x + 400, 100, word.c_str(), int(word.size()));
    } else {
      dc->TextOut(100, 300, "Seite zwei");
    }
  };
  ASSERT_TRUE(win::print::PrintDocument(pdf.string(), "Text", job)) << win::print::LastError();
  const std::string first = PdfText(pdf, 1), second = PdfText(pdf, 2);
  EXPECT_NE(first.find("Bewehrung"), std::string::npos) << first;
  EXPECT_NE(first.find("Stütze"), std::string::npos) << first;
  EXPECT_EQ(first.find("Bewehrung St"), std::string::npos) << "the far text joined the word: " << first;
  EXPECT_EQ(first.find("zwei"), std::string::npos) << "a text of the next page on the first";
  EXPECT_NE(second.find("Seite zwei"), std::string::npos) << second;
}

// The fonts that pdffonts lists for a PDF, one name a line (the subset prefix "ABCDEF+" left off).
std::string PdfFonts(const fs::path& pdf) {
  const fs::path list = pdf.string() + ".fonts";
  if (std::system(("pdffonts '" + pdf.string() + "' > '" + list.string() + "'").c_str()) != 0) return "";
  std::istringstream lines(Read(list));
  std::string line, names;
  while (std::getline(lines, line)) {
    const std::size_t plus = line.find('+');
    if (plus == 6) names += line.substr(plus + 1, line.find(' ', plus) - plus - 1) + "\n";
  }
  return names;
}

// Italic text prints with the installed oblique faces (an upright face slanted by the rasterizer would print
// upright: a PDF draws the font's own outlines), bold italic with the bold one.
TEST_F(PrintTest, ItalicTextPrintsWithTheObliqueFaces) {
  if (std::system("command -v pdffonts >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdffonts";
  const fs::path pdf = dir / "italic.pdf";
  win::print::Job job;
  job.begin = [](CDC*, CPrintInfo* info) { info->SetMaxPage(1); };
  job.page = [&](CDC* dc, CPrintInfo*) {
    const struct {
      int weight;
      BYTE italic;
      const char* face;
    } fonts[] = {{FW_NORMAL, 0, "Arial"},
                 {FW_NORMAL, 1, "Arial"},
                 {FW_BOLD, 1, "Arial"},
                 {FW_NORMAL, 1, "Times New Roman"},
                 {FW_BOLD, 1, "Courier New"}};
    int y = 100;
    for (const auto& f : fonts) {
      CFont font;
      font.CreateFont(-40, 0, 0, 0, f.weight, f.italic, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, f.face);
      CFont* old = dc->SelectObject(&font);
      dc->TextOut(100, y, "Bewehrung");
      dc->SelectObject(old);
      y += 100;
    }
  };
  ASSERT_TRUE(win::print::PrintDocument(pdf.string(), "Kursiv", job)) << win::print::LastError();
  const std::string fonts = PdfFonts(pdf);
  for (const char* face : {"DejaVuSans\n", "DejaVuSans-Oblique\n", "DejaVuSans-BoldOblique\n", "DejaVuSerif-Italic\n",
                           "DejaVuSansMono-BoldOblique\n"})
    EXPECT_NE(fonts.find(face), std::string::npos) << face << "missing in:\n" << fonts;
  EXPECT_NE(PdfText(pdf, 1).find("Bewehrung"), std::string::npos);
}

// The face file of each kind: the installed oblique or italic one, else the upright face, to be slanted.
TEST_F(PrintTest, AnItalicWithoutItsFaceIsTheUprightFaceSlanted) {
  const fs::path all = dir / "all", upright = dir / "upright";
  fs::create_directories(all);
  fs::create_directories(upright);
  for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf",
                           "DejaVuSans-BoldOblique.ttf", "DejaVuSerif.ttf", "DejaVuSerif-Italic.ttf"})
    std::ofstream(all / file) << "font";
  for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf"})
    std::ofstream(upright / file) << "font";
  const struct {
    const fs::path& folder;
    const char* family;
    bool bold, italic;
    const char* file;
    bool slant;
  } cases[] = {
      {all, "DejaVu Sans", false, false, "DejaVuSans.ttf", false},
      {all, "DejaVu Sans", false, true, "DejaVuSans-Oblique.ttf", false},
      {all, "DejaVu Sans", true, true, "DejaVuSans-BoldOblique.ttf", false},
      {all, "DejaVu Serif", false, true, "DejaVuSerif-Italic.ttf", false},
      {upright, "DejaVu Sans", false, true, "DejaVuSans.ttf", true},
      {upright, "DejaVu Sans", true, true, "DejaVuSans-Bold.ttf", true},
      {upright, "DejaVu Serif", false, true, "DejaVuSerif.ttf", true},
      {upright, "DejaVu Sans", true, false, "DejaVuSans-Bold.ttf", false},
  };
  for (const auto& c : cases) {
    bool slant = !c.slant;
    EXPECT_EQ(win::FontFileFor(c.folder.string(), c.family, c.bold, c.italic, slant), (c.folder / c.file).string());
    EXPECT_EQ(slant, c.slant) << c.file;
  }
}

// The resident memory of this process, in bytes.
long ResidentBytes() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * ::sysconf(_SC_PAGESIZE);
}

// The pages go into the PDF as drawn: a print holds no picture of the page. The page area of A4 less 5 mm margins
// at 300 dpi is 2362 x 3390 pixels, 32.0 MB at four bytes a pixel.
TEST_F(PrintTest, APrintHoldsNoPictureOfThePage) {
  win::print::Job job;
  job.begin = [](CDC*, CPrintInfo* info) { info->SetMaxPage(1); };
  long during = 0;
  job.page = [&](CDC* dc, CPrintInfo*) {
    dc->Rectangle(100, 100, 2000, 3000);
    dc->TextOut(200, 200, "Bemessung");
    during = ResidentBytes();
  };
  // once before, so that the fonts are loaded when it is measured
  ASSERT_TRUE(win::print::PrintDocument((dir / "vorab.pdf").string(), "vorab", job)) << win::print::LastError();
  const long before = ResidentBytes();
  ASSERT_TRUE(win::print::PrintDocument((dir / "seite.pdf").string(), "Seite", job)) << win::print::LastError();
  EXPECT_LT(during - before, 8L << 20) << "bytes more while a page is printed";
}

// A colour ramp is printed on the page (at 72 dpi a device pixel is a point; the margin of 5 mm is 14 points).
TEST_F(PrintTest, AColourRampIsPrintedOnThePage) {
  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftoppm";
  const fs::path pdf = dir / "verlauf.pdf";
  win::print::Job job;
  job.begin = [](CDC*, CPrintInfo* info) { info->SetMaxPage(1); };
  job.page = [](CDC* dc, CPrintInfo*) {
    TRIVERTEX ends[2] = {{100, 100, 0xFF00, 0, 0, 0}, {301, 200, 0, 0, 0xFF00, 0}};
    GRADIENT_RECT rect{0, 1};
    dc->GradientFill(ends, 2, &rect, 1, GRADIENT_FILL_RECT_H);
  };
  win::print::PageSetup points;
  points.dpi = 72;
  ASSERT_TRUE(win::print::PrintDocument(pdf.string(), "Verlauf", job, points)) << win::print::LastError();
  const test_support::PagePixels page = test_support::RenderPdfPage(pdf, 1, 72, dir);
  ASSERT_GT(page.width, 0) << "pdftoppm failed";
  const struct {
    int x;
    int red, blue;  // over the 200 pixels red falls from 255 to 0 and blue rises: 127.5 in the middle
  } samples[] = {{100, 255, 0}, {200, 128, 128}, {300, 0, 255}};
  for (const auto& c : samples) {
    const std::uint32_t p = page.At(14 + c.x, 14 + 150);
    EXPECT_NEAR(int(p >> 16), c.red, 8) << c.x;
    EXPECT_NEAR(int((p >> 8) & 0xFF), 0, 8) << c.x;
    EXPECT_NEAR(int(p & 0xFF), c.blue, 8) << c.x;
  }
  EXPECT_EQ(page.At(14 + 150, 14 + 250), 0xFFFFFFu) << "below the ramp the paper stays white";
}

TEST_F(PrintTest, TheDocumentCallsWriteThePagesStartedAndEnded) {
  HDC dc = CreateDC("WINSPOOL", "PDF", nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  fs::path pdf = dir / "zwei.pdf";
  DOCINFO di{int(sizeof(DOCINFO)), "zwei", nullptr, nullptr, 0};
  std::string target = pdf.string();
  di.lpszOutput = target.c_str();
  EXPECT_EQ(StartPage(dc), SP_ERROR) << "no page outside a document";
  ASSERT_GT(StartDoc(dc, &di), 0);
  EXPECT_FALSE(fs::exists(pdf)) << "the file appears only when the document ends";
  for (int i = 0; i < 2; ++i) {
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndPage(dc), 0);
  }
  EXPECT_EQ(win::print::PageCount(dc), 2);
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_EQ(PdfPages(Read(pdf)), 2);
  DeleteDC(dc);
}

TEST_F(PrintTest, AnAbandonedDocumentLeavesNoFile) {
  HDC dc = win::print::CreatePrinterDC();
  std::string target = (dir / "weg.pdf").string();
  DOCINFO di{int(sizeof(DOCINFO)), "weg", target.c_str(), nullptr, 0};
  ASSERT_GT(StartDoc(dc, &di), 0);
  StartPage(dc);
  EndPage(dc);
  DeleteDC(dc);  // ends the DC with the document open
  EXPECT_TRUE(Files().empty());
}

TEST_F(PrintTest, AMissingFolderIsReportedAndNothingIsWritten) {
  win::print::Job job;
  job.page = [](CDC* dc, CPrintInfo*) { dc->TextOut(0, 0, "x"); };
  std::string target = (dir / "gibtsnicht" / "a.pdf").string();
  EXPECT_FALSE(win::print::PrintDocument(target, "a", job));
  EXPECT_NE(win::print::LastError().find("gibtsnicht"), std::string::npos) << win::print::LastError();
  EXPECT_TRUE(Files().empty());
}

TEST_F(PrintTest, AFullDiskIsReportedAndLeavesNeitherTheFileNorItsTemporary) {
  // The file-size limit makes every write beyond 2 KB fail as a full disk does (EFBIG instead of ENOSPC).
  fs::path pdf = dir / "voll.pdf";
  std::ofstream(pdf) << "the old print";
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldSignal = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 2048;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  win::print::Job job;
  job.begin = [](CDC*, CPrintInfo* info) { info->SetMaxPage(2); };
  job.page = [](CDC* dc, CPrintInfo*) {
    for (int i = 0; i < 40; ++i) dc->TextOut(10, 30 * i, "Eine Zeile Text, die Platz braucht 0123456789");
  };
  win::print::PageSetup low;
  low.dpi = 72;
  bool ok = win::print::PrintDocument(pdf.string(), "voll", job, low);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldSignal);
  EXPECT_FALSE(ok);
  EXPECT_NE(win::print::LastError().find("voll.pdf"), std::string::npos) << win::print::LastError();
  EXPECT_EQ(Files(), std::vector<std::string>{"voll.pdf"}) << "no temporary file stays";
  EXPECT_EQ(Read(pdf), "the old print") << "the earlier file is untouched";
}

// A print killed while it wrote leaves the folder of its temporary beside the file; the next print into that
// folder removes the marked folders of processes that are gone, and nothing else: not a print at work (its process
// alive, or its lock held from another process namespace), not a folder or a file of the user's named like one,
// nor the files named as the temporaries were before they had a folder of their own.
TEST_F(PrintTest, TheTemporariesOfAKilledPrintAreRemovedByTheNextPrintIntoItsFolder) {
  const std::string dead = std::to_string(test_support::DeadPid()), parent = std::to_string(::getppid());
  const struct {
    std::string name;
    bool ours;  // a marked folder a run left; else the user's file or folder
    bool removed;
  } entries[] = {
      {".kolumo-druck-" + dead + "-a1B2c3", true, true},
      {".kolumo-druck-" + parent + "-a1B2c3", true, false},  // a print at work
      {".kolumo-druck-" + dead + "-h0ld3n", true, false},    // held from another process namespace
      {".kolumo-druck-" + dead + "-u5er00", false, false},
      {"Pos.pdf.tmp" + dead, false, false},
  };
  for (const auto& e : entries) {
    if (e.ours) {
      ASSERT_TRUE(test_support::LeaveScratchFolder(dir, e.name));
    } else if (e.name[0] == '.') {
      fs::create_directory(dir / e.name);
      std::ofstream(dir / e.name / "Druck.pdf") << "the user's";
    } else {
      std::ofstream(dir / e.name) << "the user's";
    }
  }
  const int holder = ::open((dir / entries[2].name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  win::print::Job job;
  job.begin = [](CDC*, CPrintInfo* info) { info->SetMaxPage(1); };
  job.page = [](CDC* dc, CPrintInfo*) { dc->TextOut(0, 0, "x"); };
  win::print::PageSetup low;
  low.dpi = 72;
  ASSERT_TRUE(win::print::PrintDocument((dir / "Pos.pdf").string(), "Pos", job, low)) << win::print::LastError();
  ::close(holder);
  for (const auto& e : entries) EXPECT_EQ(fs::exists(dir / e.name), !e.removed) << e.name;
  EXPECT_TRUE(fs::exists(dir / "Pos.pdf"));
  EXPECT_EQ(Read(dir / ("Pos.pdf.tmp" + dead)), "the user's");
}

}  // namespace
