// The report from the input dialog: "Ausgabe erzeugen" on the results page and the preview's output tab with its
// "bearbeiten" and "drucken", on the example column, through the program database and the module as the host has
// them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "column_ui/kolumopage_steuer.h"
#include "column_ui/kolumovorschau.h"
#include "document/subdata.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/richedit/richdoc.h"
#include "tests/column_ui/column_dialog_fixture.h"

namespace {

using column_dialog_test::FileBytes;
namespace fs = std::filesystem;

// The text of an RTF file as the rich-text reader sees it (without the closing paragraph mark).
std::string ReportText(const fs::path& rtf) {
  richdoc::Document doc;
  doc.ReadRtf(FileBytes(rtf));
  return doc.PlainText(0, doc.Length() - 1);
}

class ReportFromDialogTest : public column_dialog_test::ColumnDialogTest {
 protected:
  void SetUp() override {
    ColumnDialogTest::SetUp();
    position_ = Open();
    report_ = position_;
    report_.replace_extension(".rtf");
  }
  void TearDown() override {
    if (preview_ && preview_->GetSafeHwnd()) preview_->DestroyWindow();
    preview_.reset();
    ColumnDialogTest::TearDown();
  }
  // The host's "kolumo report" on a copy of the position as it stands now, in a folder of its own.
  std::string HostReport(const char* folder) {
    const fs::path copy = folder_ / folder / position_.filename();
    fs::create_directories(copy.parent_path());
    EXPECT_TRUE(VIDUV_SaveDocAs(doc_, copy.c_str()));
    const std::string command =
        "env -u DISPLAY timeout 120 '" KOLUMO_HOST "' report '" + copy.string() + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    fs::path rtf = copy;
    return FileBytes(rtf.replace_extension(".rtf"));
  }
  // The module's preview beside the dialog, on its output tab.
  void OpenOutputTab() {
    preview_ = std::make_unique<CKolumoVorschauDlg>(dialog_.m_data);
    preview_->m_bCombined = TRUE;
    preview_->m_nViewMask =
        CPreviewDlg::k3D | CPreviewDlg::kXZ | CPreviewDlg::kYZ | CPreviewDlg::kQuer | CPreviewDlg::kAusgabe;
    preview_->m_pInputDlg = &dialog_;
    ASSERT_TRUE(preview_->Create(CPreviewDlg::IDD, nullptr));
    preview_->SetWindowPos(nullptr, 0, 0, 700, 600, SWP_NOZORDER);
    ASSERT_EQ(preview_->m_tab.GetItemCount(), 2);
    preview_->m_tab.SetCurSel(1);
    preview_->UpdatePreview();
  }
  void Click(CWnd& window, UINT id) {
    CWnd* button = window.GetDlgItem(int(id));
    ASSERT_NE(button, nullptr);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button->m_hWnd));
  }

  fs::path position_, report_;
  std::unique_ptr<CKolumoVorschauDlg> preview_;
};

TEST_F(ReportFromDialogTest, AusgabeErzeugenWritesTheHostsReportAndOpensIt) {
  ShowTab(5);
  // A report of something else stands there: it must give way to the new one, never be shown as it.
  std::ofstream(report_) << "{\\rtf1 alt\\par}";
  testing::internal::CaptureStderr();
  Click(dialog_.m_resultDlg, CKolumoResultDlg::kIdAusgabe);
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(fs::exists(report_)) << err;
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();
  const std::string written = FileBytes(report_);
  EXPECT_NE(written.find("Eingabedaten Ortbetonst"), std::string::npos);
  EXPECT_EQ(written, HostReport("host"));
  // Without a screen the viewer is only told of, naming the report.
  EXPECT_NE(err.find("Betrachter: "), std::string::npos) << err;
  EXPECT_NE(err.find(report_.string()), std::string::npos) << err;
}

TEST_F(ReportFromDialogTest, TheOutputTabShowsTheReportAsText) {
  ASSERT_FALSE(fs::exists(report_));
  OpenOutputTab();
  ASSERT_TRUE(fs::exists(report_)) << "the output tab made no report";
  CRichText& box = preview_->m_rich;
  EXPECT_TRUE(box.GetStyle() & WS_VISIBLE);
  const std::string shown = box.GetText().str();
  EXPECT_EQ(shown, ReportText(report_));
  EXPECT_EQ(shown.find("Eingabedaten Ortbetonst"), 0u);
  EXPECT_EQ(shown.find("{\\rtf"), std::string::npos) << "the RTF source is shown, not the report";
  // The box paints the report: dark text on its white.
  const win::Image image = win::RenderWindow(box.m_hWnd);
  win::SavePng(image, ::testing::TempDir() + "report_output_tab.png");
  int dark = 0;
  for (std::uint32_t px : image.pixels)
    if ((px & 0xFF) < 0x60 && ((px >> 8) & 0xFF) < 0x60 && ((px >> 16) & 0xFF) < 0x60) ++dark;
  EXPECT_GT(dark, 500);
  // A viewer: typing changes nothing.
  box.SendMessage(WM_CHAR, 'x', 0);
  box.SendMessage(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(box.GetText().str(), shown);
}

TEST_F(ReportFromDialogTest, TheOutputTabTakesTheDialogsValuesFirst) {
  // "Fertigteil" chosen on the control page, not yet stored into the data: the report is of what the page shows.
  ShowTab(1);
  CWnd* page = dialog_.Page(1);
  ASSERT_NE(page, nullptr);
  page->CheckRadioButton(CKolumoSteuDlg::kIdOrtbeton, CKolumoSteuDlg::kIdFertigteil, CKolumoSteuDlg::kIdFertigteil);
  ASSERT_FALSE(dialog_.m_data.Fertigteil);
  OpenOutputTab();

  EXPECT_TRUE(dialog_.m_data.Fertigteil);
  EXPECT_EQ(preview_->m_rich.GetText().str().find("Eingabedaten Fertigteilst"), 0u);
}

TEST_F(ReportFromDialogTest, BearbeitenOpensAndDruckenPrintsTheReport) {
  OpenOutputTab();
  ASSERT_TRUE(fs::exists(report_));
  testing::internal::CaptureStderr();
  Click(*preview_, CPreviewDlg::kIdEdit);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Betrachter: "), std::string::npos) << err;
  EXPECT_NE(err.find(report_.string()), std::string::npos) << err;

  // No printer here: a PDF beside the position, named in a message.
  const char* path = std::getenv("PATH");
  const std::string savedPath = path ? path : "";
  ::setenv("PATH", (folder_ / "no-printer").c_str(), 1);
  win::msgbox::QueueAnswer(IDOK);
  Click(*preview_, CPreviewDlg::kIdPrint);
  ::setenv("PATH", savedPath.c_str(), 1);
  fs::path pdf = report_;
  pdf.replace_extension(".pdf");
  ASSERT_TRUE(fs::exists(pdf));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find(pdf.string()), std::string::npos) << Boxes()[0];
  const fs::path text = folder_ / "pdf.txt";
  ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + text.string() + "'").c_str()), 0);
  const std::string printed = FileBytes(text);
  for (const char* heading : {"Eingabedaten Ortbetonstütze", "Ergebnisdaten", "Lagerkräfte und Knotengleichgewicht",
                              "Erforderliche Bewehrung"})
    EXPECT_NE(printed.find(heading), std::string::npos) << heading;
  // The pictures' captions ("Bewehrung", "Endsystem") are italic on paper as on screen: the oblique face prints them.
  const fs::path fonts = folder_ / "pdf.fonts";
  ASSERT_EQ(std::system(("pdffonts '" + pdf.string() + "' > '" + fonts.string() + "'").c_str()), 0);
  EXPECT_NE(FileBytes(fonts).find("DejaVuSans-Oblique"), std::string::npos) << FileBytes(fonts);
}

TEST_F(ReportFromDialogTest, APositionWithoutAReportSaysSo) {
  // No program record for the position: nothing calculates, and no report exists.
  dialog_.m_data.progname = "Unbekannt";
  win::msgbox::QueueAnswer(IDOK);
  OpenOutputTab();
  EXPECT_FALSE(fs::exists(report_));
  EXPECT_EQ(preview_->m_rich.GetText().str(), "\r\n\r\nAusgabedatei nicht vorhanden!");
}

// The document part must be known before the dialog (and so its data) is made.
struct DocumentParts {
  DocumentParts() { RegisterDocumentPart(); }
  ~DocumentParts() { SetDocumentPartFactory(nullptr); }
};

// A position with one variable row as "kolumo edit" saves it, and a document; the dialog shows the variables' grid
// or, with the document part switched on, the document editor.
struct VariablesAndDocument {
  bool documentPart;
  const char* shown;   // in the report once, before its first chapter
  const char* absent;  // in the report never
};

class ReportOfVariablesAndDocumentTest : private DocumentParts,
                                         public ReportFromDialogTest,
                                         public testing::WithParamInterface<VariablesAndDocument> {
 protected:
  void SetUp() override {
    GetRegSettings().WriteInt("", "bSkrib", GetParam().documentPart ? 1 : 0);
    ReportFromDialogTest::SetUp();
    position_ = Open([](CKolumoData& d) {
      d.varDefs.Add(CVarDefEntry::Create(CVarDefEntry::kVariable));
      auto& b = *d.varDefs.GetAs<CVarDefVariable>(d.varDefs.GetSize() - 1);
      b.desc = "Breite der Stuetze";
      b.varName = "b";
      b.unit = "m";
      b.value = "0.35*2";
      d.DefineVariables();
    });
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Notiz zur St\\'fctze\\par}";
    const int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc_), "input");
    if (const int old = VIDUV_FindFirstChild(input, "Skrib")) VIDUV_DeleteElement(old);
    const int skrib = VIDUV_AddChildElement(input, "Skrib");
    VIDUV_SetBinData(skrib, "rtfData", int(rtf.size()) + 1, rtf.c_str(), 0);
    VIDUV_SetInt(skrib, "isEmpty", 0);
    ASSERT_TRUE(VIDUV_SaveDoc(doc_));
    dialog_.m_data.SetDefaults();
    dialog_.m_data.doc = doc_;
    dialog_.m_data.ReadData(doc_);
    dialog_.ExchangeData(FALSE);
  }
  void TearDown() override {
    ReportFromDialogTest::TearDown();
    GetRegSettings().WriteInt("", "bSkrib", 0);
  }
};

INSTANTIATE_TEST_SUITE_P(DocumentPart, ReportOfVariablesAndDocumentTest,
                         testing::Values(VariablesAndDocument{false, "b = 0.35*2 = 0.70 m", "Notiz zur St"},
                                         VariablesAndDocument{true, "Notiz zur St\xfctze", "0.35*2"}),
                         [](const auto& info) { return info.param.documentPart ? "On" : "Off"; });

// The command writes what "Ausgabe erzeugen" writes, with the variables' table or the document.
TEST_P(ReportOfVariablesAndDocumentTest, TheCommandWritesTheDialogsReport) {
  ShowTab(5);
  testing::internal::CaptureStderr();
  Click(dialog_.m_resultDlg, CKolumoResultDlg::kIdAusgabe);
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(Boxes().empty()) << Boxes().front();
  const std::string dialog = FileBytes(report_);
  const std::string text = ReportText(report_);
  // bytes too many to show: the text tells where they differ
  EXPECT_TRUE(HostReport("command") == dialog)
      << ReportText(folder_ / "command" / "position.rtf").substr(0, 300) << "\n---\n"
      << text.substr(0, 300);
  const std::size_t at = text.find(GetParam().shown);
  ASSERT_NE(at, std::string::npos) << text.substr(0, 600);
  EXPECT_EQ(text.find(GetParam().shown, at + 1), std::string::npos);
  EXPECT_EQ(text.find(GetParam().absent), std::string::npos) << text.substr(0, 600);
  if (!GetParam().documentPart) {
    EXPECT_LT(text.find("Breite der Stuetze"), at);
  }
  EXPECT_LT(at, text.find("Eingabedaten Ortbetonst"));
}

}  // namespace
