// The editable rich-text control: RTF round trips of hand-written files, formats, editing, find, the clipboard (UTF-8
// and RTF with other programs), typed characters, drawing.
#include "platform/richedit/richeditctrl.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/richedit/richtext.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/support/clipboard_screen.h"

namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(std::string(KOLUMO_TEST_DATA) + "/richedit/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The paragraph text of a document with marks as '|', cells as '^' and rows as '#'.
std::string Shape(const richdoc::Document& d) {
  std::string s;
  for (char c : d.text)
    s += c == richdoc::kPara     ? '|'
         : c == richdoc::kCell   ? '^'
         : c == richdoc::kRow    ? '#'
         : c == richdoc::kObject ? '@'
                                 : c;
  return s;
}

class RichEditTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
    ASSERT_TRUE(edit_.Create(WS_VISIBLE | WS_BORDER, CRect(0, 0, 400, 280), &parent_, 4677));
  }
  void Load(const std::string& rtf) { ASSERT_TRUE(edit_.StreamInRtf(rtf, false)); }
  CWnd parent_;
  CRichEditCtrl edit_;
};

// Each file is written in the control's own dialect, so reading and writing it again must give every byte back;
// the shape and a format per file show the reader understood it rather than copied it.
TEST(RichDocRoundTrip, GoldenFilesAreStableByteForByte) {
  struct Case {
    const char* file;
    const char* shape;
  } cases[] = {
      {"tables.rtf", "Lasten|Gk^g = 5,0^kN^#Qk^^^#Ende||"},
      {"numbering.rtf", "Liste|Erstens|Zweitens|Punkt|Mitte|Rechts||"},
      {"headings_hidden.rtf",
       "Querschnitt|Text verborgen sichtbar kursiv, unter, tief, hoch, \xc6 16|Bewehrung|\xe4\xf6\xfc \\ { }||"},
      {"picture.rtf", "Bild: @|@||"},
  };
  for (const Case& c : cases) {
    const std::string original = ReadFile(c.file);
    ASSERT_FALSE(original.empty()) << c.file;
    richdoc::Document d;
    d.ReadRtf(original);
    EXPECT_EQ(Shape(d), c.shape) << c.file;
    EXPECT_EQ(d.WriteRtf(), original) << c.file;
  }
}

TEST(RichDocRoundTrip, WhatTheFilesMean) {
  richdoc::Document t;
  t.ReadRtf(ReadFile("tables.rtf"));
  const int g = int(t.text.find("g = 5"));
  EXPECT_EQ(t.colours[std::size_t(t.CharAt(g).colour)].b, 255);
  EXPECT_TRUE(t.ParaAt(g).inTable);
  EXPECT_FALSE(t.ParaAt(int(t.text.find("Ende"))).inTable);
  EXPECT_EQ(t.blobs[std::size_t(t.extra[t.text.find(richdoc::kRow)])],
            "\\trowd\\trgaph28\\trpaddl28\\cellx1000\\cellx1500\\cellx2200");

  richdoc::Document n;
  n.ReadRtf(ReadFile("numbering.rtf"));
  const richdoc::ParaFormat& second = n.ParaAt(int(n.text.find("Zweitens")));
  EXPECT_EQ(second.numbering, 2);
  EXPECT_EQ(second.left, 567);
  EXPECT_EQ(second.first, -567);
  EXPECT_EQ(n.ParaAt(int(n.text.find("Punkt"))).numbering, 1);
  EXPECT_EQ(n.ParaAt(int(n.text.find("Mitte"))).align, 1);
  EXPECT_EQ(n.ParaAt(int(n.text.find("Rechts"))).spacing, 360);

  richdoc::Document h;
  h.ReadRtf(ReadFile("headings_hidden.rtf"));
  EXPECT_EQ(h.ParaAt(0).heading, 1);
  EXPECT_EQ(h.ParaAt(int(h.text.find("Bewehrung"))).heading, 2);
  EXPECT_TRUE(h.CharAt(int(h.text.find("verborgen"))).hidden);
  EXPECT_FALSE(h.CharAt(int(h.text.find("sichtbar"))).hidden);
  EXPECT_TRUE(h.CharAt(int(h.text.find("tief"))).sub);
  EXPECT_TRUE(h.CharAt(int(h.text.find("hoch"))).super);
  EXPECT_EQ(h.fonts[std::size_t(h.CharAt(int(h.text.find('\xc6'))).font)].name, "Symbol");

  richdoc::Document p;
  p.ReadRtf(ReadFile("picture.rtf"));
  const std::size_t pict = p.text.find(richdoc::kObject);
  EXPECT_EQ(p.blobs[std::size_t(p.extra[pict])].substr(0, 14), "{\\pict\\pngblip");
  EXPECT_EQ(p.blobs[std::size_t(p.extra[pict])].back(), '}');
}

TEST_F(RichEditTest, MalformedRtfIsRefusedAndTheTextStays) {
  Load(ReadFile("tables.rtf"));
  const std::string before = edit_.StreamOutRtf(false);
  struct Case {
    const char* rtf;
    const char* reason;
  } cases[] = {
      {"plain words", "does not begin"},
      {"{\\rtf1 abc", "closing brace"},
      {"{\\rtf1 a\\'4", "incomplete"},
      {"{\\rtf1{\\fonttbl{\\x Arial;}} a}", "font table"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(edit_.StreamInRtf(c.rtf, false, &error)) << c.rtf;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(edit_.StreamOutRtf(false), before);
  }
}

TEST(RichDocRoundTrip, ControlBytesAndBlanksInFontEntries) {
  // Raw and escaped control bytes cannot pose as cell or row marks (\\u7 shows '?' and skips its fallback "d");
  // "{\\f0 Arial;}" keeps its blank.
  richdoc::Document d;
  d.ReadRtf(
      "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f01\\fnil Symbol;}}a\x07"
      "b\\'07c\\u7 d\\par\r\n}");
  EXPECT_EQ(d.text, "abc?\r\r");
  EXPECT_EQ(d.fonts[0].name, "Arial");
  EXPECT_EQ(d.fonts[1].name, "Symbol");
  EXPECT_NE(d.WriteRtf().find("{\\f0 Arial;}{\\f1\\fnil Symbol;}"), std::string::npos);
}

TEST_F(RichEditTest, AMixedSelectionClearsTheMaskBitOfWhatDiffers) {
  Load("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}\\pard\\b ab\\b0 cd\\i\\f1 ef\\par\r\n}");
  struct Case {
    long start, end;
    DWORD present, absent;
  } cases[] = {
      {0, 2, CFM_BOLD | CFM_ITALIC | CFM_FACE, 0},  // all bold, none italic
      {0, 4, CFM_ITALIC | CFM_FACE | CFM_SIZE, CFM_BOLD},
      {2, 6, CFM_BOLD | CFM_COLOR, CFM_ITALIC | CFM_FACE},
  };
  for (const Case& c : cases) {
    edit_.SetSel(c.start, c.end);
    CHARFORMAT2 cf;
    const DWORD mask = edit_.GetSelectionCharFormat(cf);
    EXPECT_EQ(mask & c.present, c.present) << c.start << ".." << c.end;
    EXPECT_EQ(mask & c.absent, 0u) << c.start << ".." << c.end;
  }
  edit_.SetSel(0, 1);
  CHARFORMAT2 cf;
  edit_.GetSelectionCharFormat(cf);
  EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
}

TEST_F(RichEditTest, TypingUndoAndRedo) {
  edit_.SetFocus();
  win::input::Type("ab\ncd");
  EXPECT_EQ(std::string(edit_.GetPlainText()), "ab\r\ncd");
  edit_.ReplaceSel("\x01\x07", TRUE);  // bytes of the text's own marks are not typed
  EXPECT_EQ(std::string(edit_.GetPlainText()), "ab\r\ncd");
  EXPECT_TRUE(edit_.Undo());
  win::input::Key(VK_BACK);
  EXPECT_EQ(std::string(edit_.GetPlainText()), "ab\r\nc");
  EXPECT_TRUE(edit_.Undo());
  EXPECT_EQ(std::string(edit_.GetPlainText()), "ab\r\ncd");
  EXPECT_TRUE(edit_.Undo());
  EXPECT_EQ(std::string(edit_.GetPlainText()), "ab\r\nc");
  EXPECT_TRUE(edit_.Redo());
  EXPECT_EQ(std::string(edit_.GetPlainText()), "ab\r\ncd");
  // A paragraph split keeps the paragraph's format on both halves.
  edit_.SetSel(0, 0);
  PARAFORMAT2 pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = PFA_CENTER;
  edit_.SetParaFormat(pf);
  edit_.SetSel(1, 1);
  edit_.ReplaceSel("\n", TRUE);
  EXPECT_EQ(edit_.Doc().ParaAt(0).align, 1);
  EXPECT_EQ(edit_.Doc().ParaAt(2).align, 1);
  EXPECT_EQ(edit_.Doc().ParaAt(edit_.GetTextLength() - 1).align, 0);
  // Start indent 100 with the further lines 567 right of it: \li667\fi-567; a new start indent keeps the hang.
  struct Step {
    DWORD mask;
    long start, offset;
    int left, first;
  } steps[] = {{PFM_OFFSET, 0, 567, 567, -567}, {PFM_STARTINDENT, 100, 0, 667, -567}, {PFM_OFFSET, 0, 0, 100, 0}};
  edit_.SetSel(0, 0);
  for (const Step& s : steps) {
    PARAFORMAT2 indent;
    indent.dwMask = s.mask;
    indent.dxStartIndent = s.start;
    indent.dxOffset = s.offset;
    edit_.SetParaFormat(indent);
    EXPECT_EQ(edit_.Doc().ParaAt(0).left, s.left);
    EXPECT_EQ(edit_.Doc().ParaAt(0).first, s.first);
  }
}

TEST_F(RichEditTest, FindHonoursCaseWordsAndDirection) {
  Load("{\\rtf1 Last last Lastfall last\\par\r\n}");
  struct Case {
    const char* what;
    bool matchCase, whole, down;
    long from, hit;
  } cases[] = {
      {"last", false, false, true, 0, 0},  {"last", true, false, true, 0, 5},     {"last", false, true, true, 6, 19},
      {"last", false, false, true, 6, 10}, {"last", false, false, false, 19, 10}, {"fehlt", false, false, true, 0, -1},
  };
  for (const Case& c : cases) {
    long end = 0;
    EXPECT_EQ(edit_.FindText(c.what, c.matchCase, c.whole, c.down, c.from, end), c.hit) << c.what << " " << c.from;
    if (c.hit >= 0) {
      EXPECT_EQ(end, c.hit + 4);
    }
  }
}

// The text holds its letters as bytes of the code page and Greek as letters of the Symbol font; the search text is
// UTF-8. Letters are compared as they show; without case umlauts fold as ASCII letters do (the capital sharp s to ß),
// and to whole-word search umlauts and ß are letters while a dash is not.
TEST_F(RichEditTest, FindTakesUmlautsSharpSAndGreekAsTheyShow) {
  // 0 Prüfung, 8 Wärmedehnzahl, 22 ÖLDRUCK, 30 öldruck, 38 Übermaß, 46 Maß, 50 Wärme, 55 the dash, 56 Dehnung,
  // 64 WÄRMEDEHNZAHL, 78 σ (the Symbol font's s), 80 Große, 86 GROẞE (its capital sharp s beyond the code page)
  Load(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}\\f0 Pr\\'fcfung W\\'e4rmedehnzahl \\'d6LDRUCK "
      "\\'f6ldruck \\'dcberma\\'df Ma\\'df W\\'e4rme\\'96Dehnung W\\'c4RMEDEHNZAHL {\\f1 s} Gro\\'dfe "
      "GRO\\u7838?E\\par}");
  struct Case {
    const char* what;
    bool matchCase, whole, down;
    long from, hit, end;
  } cases[] = {
      {"Prüfung", true, false, true, 0, 0, 7},
      {"prüfung", false, false, true, 0, 0, 7},
      {"PRÜFUNG", false, false, true, 0, 0, 7},
      {"prüfung", true, false, true, 0, -1, -1},
      {"Wärmedehnzahl", false, false, true, 9, 64, 77},
      {"wÄrmedehnzahl", false, false, false, 91, 64, 77},
      {"Wärmedehnzahl", true, false, true, 9, -1, -1},
      {"öldruck", false, false, true, 0, 22, 29},
      {"Öldruck", false, false, false, 40, 30, 37},
      {"ÖLDRUCK", true, false, true, 23, -1, -1},
      {"übermaß", false, false, true, 0, 38, 45},
      {"maß", false, false, true, 0, 42, 45},
      {"maß", false, true, true, 0, 46, 49},  // not the end of Übermaß, a part of a word
      {"dehnzahl", false, true, true, 0, -1, -1},
      {"wärme", false, true, true, 0, 50, 55},  // the dash ends the word
      {"dehnung", false, true, false, 91, 56, 63},
      {"σ", true, false, true, 0, 78, 79},
      {"Σ", false, false, true, 0, 78, 79},
      {"große", false, true, true, 0, 80, 85},
      {"große", false, true, true, 81, 86, 91},
      {"große", true, true, true, 81, -1, -1},
  };
  ASSERT_EQ(edit_.Doc().ShownText(0, 91),
            "Prüfung Wärmedehnzahl ÖLDRUCK öldruck Übermaß Maß Wärme–Dehnung "
            "WÄRMEDEHNZAHL σ Große GROẞE");
  for (const Case& c : cases) {
    long end = 0;
    EXPECT_EQ(edit_.FindText(c.what, c.matchCase, c.whole, c.down, c.from, end), c.hit) << c.what << " " << c.from;
    EXPECT_EQ(end, c.end) << c.what << " " << c.from;
  }
}

TEST_F(RichEditTest, ClipboardCarriesRtfAndTextAndObjectsStayByteForByte) {
  Load(ReadFile("picture.rtf"));
  const std::string blob = edit_.Doc().blobs[std::size_t(edit_.Doc().extra[6])];
  edit_.SetSel(0, 7);  // "Bild: " and the picture
  edit_.Copy();
  EXPECT_EQ(win::ClipboardText(), "Bild: ");
  edit_.SetSel(-1, -1);
  edit_.Paste();
  const richdoc::Document& d = edit_.Doc();
  EXPECT_EQ(Shape(d), "Bild: @|@|Bild: @|");
  int pictures = 0;
  for (std::size_t i = 0; i < d.text.size(); ++i)
    if (d.text[i] == richdoc::kObject && d.blobs[std::size_t(d.extra[i])] == blob) ++pictures;
  EXPECT_EQ(pictures, 2);
  // Plain text alone pastes as text.
  win::SetClipboardText("x\r\ny");
  edit_.SetSel(0, 0);
  edit_.Paste();
  EXPECT_EQ(Shape(edit_.Doc()).substr(0, 4), "x|yB");
}

TEST_F(RichEditTest, HeadingsAndZoom) {
  Load("{\\rtf1 eins\\par\r\nzwei\\par\r\n}");
  edit_.SetSel(6, 6);
  edit_.SetHeading(3);  // heading 2
  PARAFORMAT2 pf;
  edit_.SetSel(5, 9);
  edit_.GetParaFormat(pf);
  EXPECT_EQ(pf.sStyle, -3);
  EXPECT_TRUE(edit_.Doc().CharAt(5).bold);
  EXPECT_FALSE(edit_.Doc().CharAt(0).bold);
  edit_.SetSel(0, 9);
  EXPECT_EQ(edit_.GetParaFormat(pf) & PFM_STYLE, 0u);  // two paragraphs, two styles
  EXPECT_EQ(edit_.StreamOutRtf(false).find("\\pard\\s2\\b zwei"), edit_.StreamOutRtf(false).find("\\pard\\s2"));
  EXPECT_TRUE(edit_.SetZoom(150, 100));
  int num = 0, den = 0;
  edit_.GetZoom(num, den);
  EXPECT_EQ(num * 100 / den, 150);
  EXPECT_FALSE(edit_.SetZoom(1, 100));  // below the smallest ratio
  // One undo takes the heading back whole: its style and its boldness.
  EXPECT_TRUE(edit_.Undo());
  EXPECT_EQ(edit_.Doc().ParaAt(5).heading, 0);
  EXPECT_FALSE(edit_.Doc().CharAt(5).bold);
}

TEST_F(RichEditTest, LongParagraphsWrapWhenDrawn) {
  std::string words;
  for (int i = 0; i < 40; ++i) words += "Bewehrung ";
  Load("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red7\\green13\\blue255;}\\pard\\fs20 " + words +
       "\\par\r\n\\cf1 b = 0,30\\par\r\n}");
  const std::string png = ::testing::TempDir() + "richedit_wrap.png";
  ASSERT_TRUE(win::SaveWindowPng(edit_.m_hWnd, png));
  // 400 characters cannot stand on one line of 400 pixels; every line starts after a blank.
  ASSERT_GE(edit_.LineStarts().size(), 4u);
  for (std::size_t i = 1; i + 2 < edit_.LineStarts().size(); ++i)
    EXPECT_EQ(edit_.Doc().text[std::size_t(edit_.LineStarts()[i] - 1)], ' ');
  // The formula line is drawn in the formula colour.
  const win::Image image = win::RenderWindow(edit_.m_hWnd);
  int blue = 0;
  for (std::uint32_t px : image.pixels)
    if (px == 0x00070DFFu) ++blue;
  EXPECT_GT(blue, 10);
}

TEST_F(RichEditTest, NumberingHiddenTextAndScriptsAreDrawn) {
  Load(ReadFile("numbering.rtf"));
  const win::Image numbered = win::RenderWindow(edit_.m_hWnd);
  win::SavePng(numbered, ::testing::TempDir() + "richedit_numbering.png");
  Load(ReadFile("headings_hidden.rtf"));
  const win::Image hidden = win::RenderWindow(edit_.m_hWnd);
  win::SavePng(hidden, ::testing::TempDir() + "richedit_headings.png");
  // Hidden text takes no room: "sichtbar" starts where "verborgen" would have stood.
  const int v = int(edit_.Doc().text.find("verborgen")), s = int(edit_.Doc().text.find("sichtbar"));
  const int lineOfV =
      int(std::upper_bound(edit_.LineStarts().begin(), edit_.LineStarts().end(), v) - edit_.LineStarts().begin());
  const int lineOfS =
      int(std::upper_bound(edit_.LineStarts().begin(), edit_.LineStarts().end(), s) - edit_.LineStarts().begin());
  EXPECT_EQ(lineOfV, lineOfS);
  // The numbered paragraphs show their labels in the hanging room left of the text, which starts 567 twips
  // (38 pixels) in: dark pixels in the first 20 columns of the second and third lines are the labels "1." and "2.".
  int dark = 0;
  for (int y = 23; y < 54; ++y)
    for (int x = 0; x < 20; ++x)
      if ((numbered.pixels[std::size_t(y * numbered.width + x)] & 0xFF) < 0x60) ++dark;
  EXPECT_GT(dark, 5);
}

TEST_F(RichEditTest, TheCaretStaysInViewAndTheWheelScrolls) {
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += "Zeile " + std::to_string(i) + "\\par\r\n";
  Load("{\\rtf1 " + lines + "}");
  win::RenderWindow(edit_.m_hWnd);
  EXPECT_EQ(edit_.GetScrollY(), 0);
  edit_.SetSel(-1, -1);  // the end, 40 lines of about 17 pixels below a window of 280
  win::RenderWindow(edit_.m_hWnd);
  const int atEnd = edit_.GetScrollY();
  EXPECT_GT(atEnd, 400);
  edit_.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);  // one notch up
  win::RenderWindow(edit_.m_hWnd);
  EXPECT_EQ(edit_.GetScrollY(), atEnd - 48);
  edit_.SetSel(0, 0);
  win::RenderWindow(edit_.m_hWnd);
  EXPECT_EQ(edit_.GetScrollY(), 0);
}

// With Ctrl held the wheel zooms instead of scrolling: a notch up adds 10 % of the natural size, a notch down takes
// it away, from 10 % to 500 %; a finer wheel's part of a notch still takes a step.
TEST_F(RichEditTest, CtrlAndTheWheelZoomTheText) {
  Load("{\\rtf1 Zeile\\par}");
  const auto wheel = [this](int delta) {
    edit_.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(short(delta))), 0);
  };
  const auto percent = [this] {
    int num = 0, den = 0;
    edit_.GetZoom(num, den);
    return den ? num * 100 / den : 100;
  };
  const struct { int delta, expected; } steps[] = {{120, 110}, {360, 140}, {-120, 130}, {30, 140}, {-240, 120}};
  for (const auto& step : steps) {
    wheel(step.delta);
    EXPECT_EQ(percent(), step.expected) << step.delta;
  }
  EXPECT_EQ(edit_.GetScrollY(), 0);
  edit_.SetZoom(495, 100);
  wheel(120);
  EXPECT_EQ(percent(), 500);
  wheel(120);
  EXPECT_EQ(percent(), 500);
  edit_.SetZoom(15, 100);
  wheel(-120);
  EXPECT_EQ(percent(), 10);
  wheel(-120);
  EXPECT_EQ(percent(), 10);
}

// Numbers beyond what a word processor keeps are read as its limits (list starts and line spacing 32767, indents
// and cell boundaries 22 inches = 31680 twips, sizes 1638 points, colours 255). Read, drawn, printed and written
// back, none of them overflows an int or swells the text: a Roman list starting at two billion would give each item
// a label of two million letters.
TEST_F(RichEditTest, NumbersBeyondTheirRangeAreReadAsTheirLimits) {
  const std::string head =
      "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red999\\green-5\\blue9223372036854775807;}";
  auto list = [](const char* kind, const char* start) {
    const std::string pn =
        std::string("{\\*\\pn\\pnlvlbody\\pnf0\\pnindent567\\pnstart") + start + kind + "{\\pntxta.}}";
    return "\\pard\\li567\\fi-567" + pn + "Eins\\par " + pn + "Zwei\\par\\pard Ende\\par";
  };
  // 32767 in Roman letters: 32 thousands, then D CC L X V II.
  const std::string roman = std::string(32, 'M') + "DCCLXVI";
  const struct {
    std::string body;
    std::vector<std::string> written;
  } cases[] = {
      // The second item counts on from the largest start.
      {list("\\pndec", "2147483647"), {"\\pnstart32767\\pndec", " 32767.\\tab}", " 32768.\\tab}"}},
      {list("\\pnucrm", "2000000000"), {"\\pnstart32767\\pnucrm", " " + roman + "I.\\tab}", " " + roman + "II.\\tab}"}},
      // A negative line spacing (exact in other programs) is single spacing here.
      {"\\pard\\sl2147483647\\slmult1 Hoch\\par\\pard\\sl-2147483647\\slmult1 Tief\\par",
       {"\\sl32767\\slmult1 Hoch", "\\pard Tief"}},
      {"\\pard\\li2147483647\\fi2147483647\\ri-2147483648 Weit\\par", {"\\li31680\\fi31680\\ri-31680 Weit"}},
      {"\\pard\\fs2147483647\\sub Klein\\par", {"\\fs3276\\sub Klein"}},
      // The row's definition is kept as written; its boundaries are drawn at 22 inches.
      {"\\trowd\\cellx99999999999\\cellx-99999999999\\pard\\intbl A\\cell B\\cell\\row\\pard Ende\\par",
       {"\\cellx99999999999\\cellx-99999999999"}},
  };
  const std::string pdf = ::testing::TempDir() + "richedit_limits_" + std::to_string(::getpid()) + ".pdf";
  for (const auto& c : cases) {
    Load(head + c.body + "}");
    win::RenderWindow(edit_.m_hWnd);
    std::string error;
    EXPECT_TRUE(richedit::PrintToPdf(edit_.Doc(), pdf, "Grenzen", &error)) << error;
    const std::string out = edit_.Doc().WriteRtf();
    EXPECT_LT(out.size(), 1000u) << c.body;
    EXPECT_NE(out.find("\\red255\\green0\\blue255;"), std::string::npos) << out;
    for (const std::string& part : c.written) EXPECT_NE(out.find(part), std::string::npos) << part << " in " << out;
  }
  std::filesystem::remove(pdf);
}

// What pdftotext reads of a PDF (one page, or all with page 0).
std::string PdfText(const std::string& pdf, int page) {
  const std::string text = pdf + ".txt";
  const std::string pages = page > 0 ? "-f " + std::to_string(page) + " -l " + std::to_string(page) + " " : "";
  if (std::system(("pdftotext " + pages + "'" + pdf + "' '" + text + "'").c_str()) != 0) return "(pdftotext failed)";
  std::ifstream in(text, std::ios::binary);
  std::string out{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::filesystem::remove(text);
  return out;
}

TEST(RichTextPrinting, ADocumentIsPrintedOnAsManyPagesAsItNeeds) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
  const std::string pdf = ::testing::TempDir() + "richedit_print_" + std::to_string(::getpid()) + ".pdf";
  // 120 lines of 12 points do not stand on one A4 page; a page break starts a page of its own.
  std::string lines;
  for (int i = 1; i <= 120; ++i) lines += "Zeile " + std::to_string(i) + "\\par\r\n";
  richdoc::Document doc;
  doc.ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\b Kopf\\b0\\par\r\n" + lines + "\\page Schluss\\par\r\n}");
  std::string error;
  ASSERT_TRUE(richedit::PrintToPdf(doc, pdf, "Probe", &error)) << error;
  const std::string all = PdfText(pdf, 0);
  const int pages = int(std::count(all.begin(), all.end(), '\f'));
  EXPECT_GE(pages, 3);
  const std::string first = PdfText(pdf, 1), last = PdfText(pdf, pages);
  EXPECT_EQ(first.find("Kopf"), 0u) << first;
  EXPECT_NE(first.find("Zeile 1\n"), std::string::npos);
  EXPECT_EQ(first.find("Zeile 120"), std::string::npos);
  // Every line once, none lost or doubled at a page's foot.
  for (int i : {1, 50, 51, 52, 53, 119, 120}) {
    const std::string line = "Zeile " + std::to_string(i) + "\n";
    const std::size_t at = all.find(line);
    EXPECT_NE(at, std::string::npos) << line;
    EXPECT_EQ(all.find(line, at + 1), std::string::npos) << line << " twice";
  }
  EXPECT_NE(last.find("Schluss"), std::string::npos) << last;
  EXPECT_EQ(last.find("Zeile"), std::string::npos) << "the page break did not start a page: " << last;
  std::filesystem::remove(pdf);
}

// Text between the controls and other programs, and typed characters: UTF-8 on the clipboard both ways, every
// character a key gives by its Unicode value, each kept as the document holds it (Windows-1252 bytes, Greek letters
// in the Symbol font).
class RichUnicodeTest : public RichEditTest {
 protected:
  void SetUp() override {
    RichEditTest::SetUp();
    edit_.SetFocus();
  }
  // The document's bytes with the Symbol font's characters in brackets ("[abg]" for alpha, beta, gamma) and each
  // character beyond both as its UTF-8 in braces ("{Ж}").
  std::string Held() const {
    const richdoc::Document& d = edit_.Doc();
    std::string out;
    bool inSymbol = false;
    for (int i = 0; i < d.Length(); ++i) {
      const bool symbol = d.fonts[std::size_t(d.CharAt(i).font)].name == "Symbol";
      if (symbol != inSymbol) out += symbol ? '[' : ']';
      inSymbol = symbol;
      if (d.text[std::size_t(i)] == richdoc::kWide)
        out += "{" + std::string(d.WideAt(i)) + "}";
      else
        out += d.text[std::size_t(i)];
    }
    return out;
  }
};

constexpr const char* kFonts = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech Symbol;}}";

// Copied text is UTF-8 as the text shows it, from the editor as from the output view: umlauts, the euro sign,
// dashes and quotes of Windows-1252, and the Symbol font's letters as the Greek letters they show (its digits and
// blanks as themselves).
TEST_F(RichUnicodeTest, CopiedTextIsUtf8AsShownWithSymbolLettersAsGreek) {
  CRichText box;
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 10002));
  struct Case {
    CRichEditCtrl* control;
    const char* body;
    const char* copied;
  } cases[] = {
      {&edit_, "Die St\\'fctze steht \\'96 \\'84gut\\'93 \\'80 {\\f1 abgefjn 2}}",
       "Die Stütze steht – „gut“ € αβγεφϕν 2"},
      {&box, "\\b Stabschnittkr\\'e4fte\\b0  {\\f1 s}}", "Stabschnittkräfte σ"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.control->StreamInRtf(std::string(kFonts) + c.body, false));
    c.control->SetSel(0, -1);
    c.control->SendMessage(WM_COPY, 0, 0);
    EXPECT_EQ(win::ClipboardText(), c.copied);
  }
  box.DestroyWindow();
}

// What another program copied (UTF-8) arrives as the same characters; Greek as the document holds Greek, in the
// Symbol font; a character of neither the code page nor the Symbol font as itself; bytes that are no UTF-8 are read
// as Windows-1252. Copied out again, the text is what came in. Pasted after a Symbol run, Latin letters stay Latin.
TEST_F(RichUnicodeTest, PastedUtf8ArrivesAsTheSameCharacters) {
  struct Case {
    const char* body;  // the document before; the caret at its end
    const char* pasted;
    const char* held;
    const char* again;  // copied out again (empty: as pasted)
  } cases[] = {
      {"}", "Decke über EG, Süd – αβγ €",
       "Decke \xfc"
       "ber EG, S\xfc"
       "d \x96 [abg] \x80\r",
       ""},
      {"}", "Zeile 1\r\nZeile 2\n", "Zeile 1\rZeile 2\r\r", "Zeile 1\r\nZeile 2\r\n"},
      {"}", "Ma\xdf \x84x\x93", "Ma\xdf \x84x\x93\r", "Maß „x“"},
      {"}", "Stütze 漢 Жук łő", "St\xfctze {漢} {Ж}{у}{к} {ł}{ő}\r", ""},
      {"{\\f1 p}}", "Decke", "[p]Decke\r", ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + c.body, false));
    win::SetClipboardText(c.pasted);
    const long end = edit_.GetTextLength();
    edit_.SetSel(end, end);
    edit_.SendMessage(WM_PASTE, 0, 0);
    EXPECT_EQ(Held(), c.held) << c.pasted;
    edit_.SetSel(end, -1);
    edit_.SendMessage(WM_COPY, 0, 0);
    EXPECT_EQ(win::ClipboardText(), *c.again ? c.again : c.pasted);
  }
}

// Typed characters arrive by their Unicode value: the euro sign, German quotes, the en dash as Windows-1252, Greek
// letters in the Symbol font; what is typed after a Greek letter is in the font typed before it. In a Symbol run that
// the engineer chose, a typed Latin letter shows its Greek one, as in a word processor; a new paragraph leaves it.
TEST_F(RichUnicodeTest, TypedCharactersBeyondLatin1AreKept) {
  struct Case {
    const char* body;
    const char* typed;
    const char* held;
  } cases[] = {
      {"}", "5 € „a“ – ü°²µ",
       "5 \x80 \x84"
       "a\x93 \x96 \xfc\xb0\xb2\xb5\r"},
      {"}", "σ = 2 αβ", "[s] = 2 [ab]\r"},
      {"}", "αx", "[a]x\r"},
      {"{\\f1 p}}", "aα\nb", "[paa]\rb\r"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + c.body, false));
    const long end = edit_.GetTextLength();
    edit_.SetSel(end, end);
    win::input::Type(c.typed);
    EXPECT_EQ(Held(), c.held) << c.typed;
  }
  // A character by its message alone, as a screen's keyboard sends it; a value that is no character adds nothing.
  edit_.SendMessage(WM_CHAR, 0x20AC, 0);
  EXPECT_EQ(edit_.Doc().text[std::size_t(edit_.GetTextLength() - 1)], '\x80');
  const long length = edit_.GetTextLength();
  for (WPARAM none : {WPARAM(0xD83D), WPARAM(0x110000)}) edit_.SendMessage(WM_CHAR, none, 0);
  EXPECT_EQ(edit_.GetTextLength(), length);
  // Kept in the document's RTF: the euro sign as its Windows-1252 byte, alpha in the Symbol font.
  const std::string rtf = edit_.StreamOutRtf(false);
  EXPECT_NE(rtf.find("\\'80"), std::string::npos) << rtf;
}

// Characters that neither Windows-1252 nor the Symbol font holds (Cyrillic, Polish, Hungarian, CJK, beyond the basic
// plane), typed and pasted, are kept: saved as RTF Unicode escapes with a fallback, read back, and copied out as the
// same UTF-8. A sign that the Symbol font holds (the almost-equal sign) keeps going there.
TEST_F(RichUnicodeTest, CharactersBeyondTheCodePageAreKeptThroughSaveReadAndCopy) {
  ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + "}", false));
  const std::string typed = "Жук ≈ łódź ő 中";
  win::input::Type(typed);
  edit_.SendMessage(WM_CHAR, 0x1F600, 0);  // beyond the basic plane, as the screen's keyboard sends it
  const std::string pasted = " Дом Ω €";
  win::SetClipboardText(pasted);
  edit_.SendMessage(WM_PASTE, 0, 0);
  const std::string all = typed + "\xf0\x9f\x98\x80" + pasted;
  EXPECT_EQ(Held(),
            "{Ж}{у}{к} [\xbb] {ł}\xf3"
            "d{ź} {ő} {中}{\xf0\x9f\x98\x80} {Д}{о}{м} [W] \x80\r");

  // Saved: signed 16-bit escapes, a surrogate pair beyond the basic plane, each with its fallback.
  const std::string rtf = edit_.StreamOutRtf(false);
  for (const char* escape : {"\\uc1\\u1046?\\u1091?\\u1082?", "\\u322?", "\\u378?", "\\u337?", "\\u20013?",
                             "\\u-10179?\\u-8704?", "\\u1044?"})
    EXPECT_NE(rtf.find(escape), std::string::npos) << escape << " in " << rtf;

  // Read back into another control: the same characters, the same RTF, the same UTF-8 copied out.
  CRichEditCtrl again;
  ASSERT_TRUE(again.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4678));
  ASSERT_TRUE(again.StreamInRtf(rtf, false));
  EXPECT_EQ(again.StreamOutRtf(false), rtf);
  again.SetSel(0, -1);
  again.SendMessage(WM_COPY, 0, 0);
  EXPECT_EQ(win::ClipboardText(), all);
  // Copied within the program (RTF on the clipboard) and pasted: still the same characters.
  edit_.SetSel(0, -1);
  edit_.SendMessage(WM_COPY, 0, 0);
  again.SetSel(-1, -1);
  again.SendMessage(WM_PASTE, 0, 0);
  again.SetSel(0, -1);
  again.SendMessage(WM_COPY, 0, 0);
  EXPECT_EQ(win::ClipboardText(), all + all);
  // The text in the code page (the calls that take and give Windows-1252) has the fallback for each.
  EXPECT_EQ(std::string(edit_.GetPlainText()).substr(0, 4), "??? ");
  again.DestroyWindow();
}

// Such characters are drawn as themselves in the run's face and take their own width: the picture of "Жук łő" differs
// from that of the fallback "??? ??", and the line is as wide as the letters are.
TEST_F(RichUnicodeTest, CharactersBeyondTheCodePageAreDrawnAsThemselves) {
  ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + "\\fs40 }", false));
  win::input::Type("Жук łő");
  const win::Image shown = win::RenderWindow(edit_.m_hWnd);
  win::SavePng(shown, ::testing::TempDir() + "richedit_beyond_code_page.png");
  const long wideRight = edit_.PosFromChar(6).x;
  ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + "\\fs40 ??? ??}", false));
  const win::Image fallback = win::RenderWindow(edit_.m_hWnd);
  const long fallbackRight = edit_.PosFromChar(6).x;
  int differing = 0;
  for (std::size_t k = 0; k < shown.pixels.size(); ++k) differing += shown.pixels[k] != fallback.pixels[k];
  EXPECT_GT(differing, 100);
  // Ж, у, к, ł and ő of DejaVu Sans at 20 points are wider together than five question marks.
  EXPECT_GT(wideRight, fallbackRight);
}

// Ctrl+Insert copies, Shift+Insert pastes and Shift+Delete cuts, as in the grids; the output view only copies.
TEST_F(RichUnicodeTest, TheOlderClipboardKeysWork) {
  ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + "Decke \\'fcber EG}", false));
  edit_.SetSel(6, 10);
  win::input::KeyWith(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(win::ClipboardText(), "über");
  edit_.SetSel(0, 6);
  win::input::KeyWith(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(win::ClipboardText(), "Decke ");
  EXPECT_EQ(std::string(edit_.GetPlainText()),
            "\xfc"
            "ber EG");
  edit_.SetSel(-1, -1);
  win::input::KeyWith(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(std::string(edit_.GetPlainText()),
            "\xfc"
            "ber EGDecke ");

  CRichText box;
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 10002));
  box.ShowText("Bericht");
  box.SetFocus();
  box.SetSel(0, 3);
  win::input::KeyWith(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(win::ClipboardText(), "Ber");
  win::input::KeyWith(VK_SHIFT, VK_DELETE);
  win::input::KeyWith(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(std::string(box.GetText()), "Bericht");
  box.DestroyWindow();
}

// Two paragraphs: a bold word, an italic one at 16 points in a fixed face, then a centred line.
constexpr const char* kFormatted =
    "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\\f0\\fs20 "
    "Die \\b St\\'fctze\\b0  ist {\\i\\f1\\fs32 schlank}.\\par\\qc Zweite Zeile\\par}";

// As a word processor copies a bold line and a line of 14-point italics: style sheet, information and generator
// groups, Unicode escapes with their fallbacks, a font that this system does not have.
constexpr const char* kFromWordProcessor =
    "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f4\\froman\\fprq2\\fcharset0 Liberation Serif;}"
    "{\\f5\\fswiss\\fprq2\\fcharset0 Liberation Sans;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\n"
    "{\\stylesheet{\\s0\\snext0\\widctlpar\\hyphpar0\\ltrpar\\cf0\\kerning1\\dbch\\af5\\langfe2052\\dbch\\af6"
    "\\afs24\\alang1081\\loch\\f4\\hich\\af4\\fs24\\lang1031 Normal;}}\n"
    "{\\*\\generator Textverarbeitung 7.4;}{\\info{\\creatim\\yr2026\\mo12\\dy8\\hr18\\min2}}"
    "\\deftab709\\viewscale100\n"
    "{\\*\\pgdsctbl{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Default Page Style;}}\n"
    "\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134\\margb1134\\sectd\\sbknone\\pgndec\n"
    "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\widctlpar\\loch\\f4\\fs24\\lang1031"
    "{\\b\\ab\\rtlch \\ltrch\\loch Fette St\\u252\\'fctze \\u8364\\'80 5}\n"
    "\\par \\pard\\plain \\s0\\widctlpar\\loch\\f5\\fs28{\\i\\ai\\rtlch \\ltrch\\loch Kursiv \\u1046\\'3f}\n"
    "\\par }";

// The rich-text controls and another program on the screen's clipboard: a copy offers RTF beside the UTF-8 text
// (bold, italics, sizes, fonts and paragraphs in it), a paste takes the other program's RTF first with its formats,
// and RTF that does not read, or reads as nothing, gives way to the text.
class ClipboardRtfTest : public RichEditTest {
 protected:
  void SetUp() override {
    RichEditTest::SetUp();
    edit_.SetFocus();
  }
  // The control's text from start to end as the engineer reads it (paragraphs as '|').
  static std::string Shown(const CRichEditCtrl& c) {
    std::string s = c.Doc().ShownText(0, c.Doc().Length() - 1);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s.compare(i, 2, "\r\n") == 0) {
        out += '|';
        ++i;
      } else {
        out += s[i];
      }
    }
    return out;
  }
  static int At(const CRichEditCtrl& c, const char* what) {
    const std::size_t at = c.Doc().text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return int(at);
  }
  static std::string FaceAt(const CRichEditCtrl& c, int at) {
    return c.Doc().fonts[std::size_t(c.Doc().CharAt(at).font)].name;
  }
  test::ClipboardScreen screen_;
};

// The editor's control and the read-only box of the output view both offer RTF beside the text; read back by the
// same reader it holds the bold word, the italic one with its size and face, and both paragraphs with the centring.
TEST_F(ClipboardRtfTest, ACopyOffersRtfWithItsFormats) {
  CRichText box;
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 10002));
  for (CRichEditCtrl* control : {static_cast<CRichEditCtrl*>(&edit_), static_cast<CRichEditCtrl*>(&box)}) {
    ASSERT_TRUE(control->StreamInRtf(kFormatted, false));
    control->SetSel(0, -1);
    screen_.offered.reset();
    control->SendMessage(WM_COPY, 0, 0);
    ASSERT_TRUE(screen_.offered.has_value());
    EXPECT_EQ(screen_.offered->text, "Die Stütze ist schlank.\r\nZweite Zeile\r\n");
    const std::string& rtf = screen_.offered->rtf;
    EXPECT_NE(rtf.find("\\b "), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\i"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\fs32"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Courier New;"), std::string::npos) << rtf;

    CRichEditCtrl reader;
    ASSERT_TRUE(reader.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4678));
    ASSERT_TRUE(reader.StreamInRtf(rtf, false)) << rtf;
    EXPECT_EQ(Shown(reader), "Die Stütze ist schlank.|Zweite Zeile|");
    const richdoc::Document& d = reader.Doc();
    EXPECT_TRUE(d.CharAt(At(reader, "St")).bold);
    EXPECT_FALSE(d.CharAt(At(reader, "ist")).bold);
    EXPECT_TRUE(d.CharAt(At(reader, "schlank")).italic);
    EXPECT_EQ(d.CharAt(At(reader, "schlank")).size, 32);
    EXPECT_EQ(d.CharAt(At(reader, "Die")).size, 20);
    EXPECT_EQ(FaceAt(reader, At(reader, "schlank")), "Courier New");
    EXPECT_EQ(FaceAt(reader, At(reader, "Die")), "Arial");
    EXPECT_EQ(d.ParaAt(At(reader, "Zweite")).align, 1);
    EXPECT_EQ(d.ParaAt(At(reader, "Die")).align, 0);
    reader.DestroyWindow();
  }
  box.DestroyWindow();
}

// A word processor's bold line pasted arrives bold, its italic line in its size and face, each character by its
// Unicode value; the text it offers beside is not used. Copied out again, the other program gets the formats back.
TEST_F(ClipboardRtfTest, APasteTakesTheOtherProgramsRtfFirst) {
  ASSERT_TRUE(edit_.StreamInRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Vorher}", false));
  edit_.SetSel(-1, -1);
  screen_.Copies("Fette Stütze € 5\nKursiv Ж\n", kFromWordProcessor);
  edit_.SendMessage(WM_PASTE, 0, 0);
  EXPECT_EQ(Shown(edit_), "VorherFette Stütze € 5|Kursiv Ж|");
  const richdoc::Document& d = edit_.Doc();
  EXPECT_FALSE(d.CharAt(At(edit_, "Vorher")).bold);
  EXPECT_TRUE(d.CharAt(At(edit_, "Fette")).bold);
  EXPECT_TRUE(d.CharAt(At(edit_, "5")).bold);
  EXPECT_FALSE(d.CharAt(At(edit_, "Fette")).italic);
  EXPECT_TRUE(d.CharAt(At(edit_, "Kursiv")).italic);
  EXPECT_FALSE(d.CharAt(At(edit_, "Kursiv")).bold);
  EXPECT_EQ(d.CharAt(At(edit_, "Kursiv")).size, 28);
  EXPECT_EQ(FaceAt(edit_, At(edit_, "Fette")), "Liberation Serif");
  EXPECT_EQ(FaceAt(edit_, At(edit_, "Kursiv")), "Liberation Sans");

  edit_.SetSel(At(edit_, "Fette"), At(edit_, "Kursiv") + 6);
  edit_.SendMessage(WM_COPY, 0, 0);
  ASSERT_TRUE(screen_.offered.has_value());
  EXPECT_EQ(screen_.offered->text, "Fette Stütze € 5\r\nKursiv");
  CRichEditCtrl reader;
  ASSERT_TRUE(reader.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4678));
  ASSERT_TRUE(reader.StreamInRtf(screen_.offered->rtf, false));
  EXPECT_TRUE(reader.Doc().CharAt(At(reader, "Fette")).bold);
  EXPECT_TRUE(reader.Doc().CharAt(At(reader, "Kursiv")).italic);
  EXPECT_EQ(reader.Doc().CharAt(At(reader, "Kursiv")).size, 28);
  reader.DestroyWindow();
}

// RTF that is no RTF, or reads as no text, gives way to the text offered beside it; hostile RTF (nesting beyond any
// depth, a binary run longer than the text, numbers beyond their range) is read within the reader's limits or
// refused; without text beside it a refused RTF leaves the control as it was. Never nothing where there was text.
TEST_F(ClipboardRtfTest, RtfThatDoesNotReadGivesWayToTheText) {
  const std::string deep = "{\\rtf1 " + std::string(100000, '{') + "tief" + std::string(100000, '}') + "}";
  struct Case {
    std::string rtf;
    const char* text;
    const char* shown;  // the control's text after the paste (before it: "Vorher|")
  } cases[] = {
      {"Das ist kein RTF", "Notiz", "VorherNotiz"},
      {"{\\rtf1 {\\*\\generator Programm;}{\\info{\\title Titel}}}", "Notiz", "VorherNotiz"},
      {"{\\rtf1 }", "Notiz", "VorherNotiz"},
      {"", "Notiz", "VorherNotiz"},
      {"Das ist kein RTF", "", "Vorher"},
      {"{\\rtf1 \\b fett", "fett", "Vorherfett"},              // unclosed: what it holds
      {"{\\rtf1 vor\\bin99999999 x}", "vor x", "Vorhervorx"},  // no binary run beyond the text
      {"{\\rtf1 \\fs999999999 gross\\par}", "gross", "Vorhergross|"},
      {deep, "tief", "Vorhertief"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(edit_.StreamInRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Vorher}", false));
    edit_.SetSel(-1, -1);
    screen_.Copies(c.text, c.rtf);
    edit_.SendMessage(WM_PASTE, 0, 0);
    EXPECT_EQ(Shown(edit_), c.shown) << c.rtf.substr(0, 60);
    EXPECT_EQ(edit_.CanUndo(), std::string(c.shown) != "Vorher") << c.rtf.substr(0, 60);
    if (c.rtf.find("\\fs") != std::string::npos) {
      EXPECT_LE(edit_.Doc().CharAt(At(edit_, "gross")).size, 3276) << "a size beyond a word processor's range";
    }
  }
}

// Word processors name faces of several words, often with a second name or a description in a group of its own:
// the face is the whole name, and it stays so when pasted into a document and written again.
TEST_F(ClipboardRtfTest, FacesOfSeveralWordsKeepTheirWholeNames) {
  struct Case {
    const char* entry;  // between "{\\f1" and "}"
    const char* face;
  } cases[] = {
      {"\\froman\\fprq2\\fcharset0 Times New Roman;", "Times New Roman"},
      {"\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt Arial};", "Liberation Sans"},
      {"\\fswiss{\\*\\panose 020b0604020202020204}Arial;", "Arial"},
      {"\\fnil\\fcharset2 Symbol;", "Symbol"},
      {"\\fmodern DejaVu Sans Mono ;", "DejaVu Sans Mono"},
      {"\\froman Gr\\'f6\\'dfe Schrift;",
       "Gr\xf6\xdf"
       "e Schrift"},
  };
  for (const Case& c : cases) {
    const std::string rtf = std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1") + c.entry + "}}\\f1 Wort\\par}";
    ASSERT_TRUE(edit_.StreamInRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Vorher}", false));
    edit_.SetSel(-1, -1);
    screen_.Copies("Wort", rtf);
    edit_.SendMessage(WM_PASTE, 0, 0);
    EXPECT_EQ(FaceAt(edit_, At(edit_, "Wort")), c.face) << c.entry;
    CHARFORMAT2 cf;
    edit_.SetSel(At(edit_, "Wort"), At(edit_, "Wort") + 4);
    edit_.GetSelectionCharFormat(cf);
    EXPECT_STREQ(cf.szFaceName, c.face) << c.entry;
    CRichEditCtrl again;
    ASSERT_TRUE(again.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4678));
    ASSERT_TRUE(again.StreamInRtf(edit_.StreamOutRtf(false), false));
    EXPECT_EQ(FaceAt(again, At(again, "Wort")), c.face) << c.entry;
    again.DestroyWindow();
  }
}

}  // namespace
