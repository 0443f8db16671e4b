// The document import through its dialog: where a position file keeps its document text, the file dialog grown by
// the preview, the preview following the file picked, and what the import copies.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "editor/docimportdlg.h"
#include "platform/viduv/viduv.h"
#include "tests/editor/editor_test_util.h"

namespace {

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
};

// A position file: root with progname and version; text under input/Skrib, or under input itself.
std::string WritePosition(const std::string& dir, const char* name, const char* progname, double version,
                          const std::string& rtf, bool inInput) {
  const std::string path = dir + "/" + name;
  const int doc = VIDUV_CreateDoc(path.c_str());
  const int root = VIDUV_GetRootElement(doc);
  VIDUV_SetString(root, "progname", progname);
  VIDUV_SetDouble(root, "version", version);
  const int input = VIDUV_AddChildElement(root, "input");
  if (!rtf.empty()) {
    const int source = inInput ? input : VIDUV_AddChildElement(input, "Skrib");
    VIDUV_SetBinData(source, "rtfData", int(rtf.size()) + 1, rtf.c_str(), 0);
  }
  EXPECT_TRUE(VIDUV_SaveDoc(doc));
  VIDUV_CloseDoc(doc);
  return path;
}

RECT RectIn(HWND dialog, HWND control) {
  RECT r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string PreviewText(HWND dialog) {
  auto* preview = dynamic_cast<CRichEditCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, 4677)));
  return preview ? preview->Doc().PlainText(0, preview->Doc().Length() - 1) : "(no preview)";
}

// A click on the file's line in the dialog's file list, as the user picks it.
void PickFile(HWND dialog, const std::string& name) {
  HWND list = ::GetDlgItem(dialog, IDC_FILE_LIST);
  const int at = int(::SendMessage(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(name.c_str())));
  ASSERT_GE(at, 0) << name << " is not listed";
  RECT item;
  ::SendMessage(list, LB_GETITEMRECT, WPARAM(at), LPARAM(&item));
  win::input::Click(list, item.left + 5, (item.top + item.bottom) / 2);
  win::PumpMessages();
}

// The name typed into "Dateiname" over what it held, key by key.
void TypeName(HWND dialog, const std::string& name) {
  win::input::ClickCenter(::GetDlgItem(dialog, IDC_FILE_NAME));
  win::input::KeyWith(VK_CONTROL, 'A');
  win::input::Type(name);
  win::PumpMessages();
}

// The preview's first line selected by keys, as the user selects it.
void SelectFirstLine(HWND dialog) {
  win::input::ClickCenter(::GetDlgItem(dialog, 4677));
  win::input::KeyWith(VK_CONTROL, VK_HOME);
  win::input::KeyWith(VK_SHIFT, VK_END);
  win::PumpMessages();
}

void Press(HWND dialog, int id) {
  win::input::ClickCenter(::GetDlgItem(dialog, id));
  win::PumpMessages();
}

class DocumentImportTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterDocumentPart();
    dir = editortest::ScratchDir("docimport");
    first =
        WritePosition(dir, "Erste.tqx", "Kolumo", 3.0, "{\\rtf1 Stahlbeton erste Position\\par b = 0,30\\par}", false);
    second = WritePosition(dir, "Zweite.tqx", "Kolumo", 3.0, "{\\rtf1 Holz zweite Position\\par}", false);
    none = WritePosition(dir, "Leer.tqx", "Kolumo", 3.0, "", false);
    dlg.m_ofn.lpstrInitialDir = dir.c_str();
    dlg.m_pPosition = &position;
    dlg.m_inputValues = [this](SubData& part) {
      ++asked;
      part.text.SetText("{\\rtf1 Stahlbeton erste Position\\par b = 0,35\\par}");
    };
    win::SetClipboardText("Fremd");
  }
  void TearDown() override {
    SetDocumentPartFactory(nullptr);
    WindowTest::TearDown();
  }
  std::string dir, first, second, none;
  Position position;
  CSkribDlgImportDoc dlg;
  int asked = 0;
};

TEST_F(DocumentImportTest, TheTextIsFoundWhereTheWritingVersionPutIt) {
  const std::string rtf = "{\\rtf1 b = 0,30\\par}";
  struct Case {
    const char* name;
    const char* progname;
    double version;
    bool inInput;
    bool found;
  };
  const Case cases[] = {
      {"neu.tqx", "Kolumo", 3.0, false, true},
      {"alt.tqx", "Skrib", 2.098, true, true},      // a standalone document of 2.098 keeps it in "input"
      {"grenze.tqx", "Skrib", 2.099, true, false},  // from 2.099 on only "input/Skrib" counts
      {"fremd.tqx", "Kolumo", 2.0, true, false},    // other programs never used "input" itself
  };
  for (const Case& c : cases) {
    const std::string path = WritePosition(dir, c.name, c.progname, c.version, rtf, c.inInput);
    std::string read;
    EXPECT_EQ(ReadDocumentText(path, read), c.found) << c.name;
    EXPECT_EQ(read, c.found ? rtf : "") << c.name;
  }
  std::string read;
  EXPECT_FALSE(ReadDocumentText(none, read));
  EXPECT_FALSE(ReadDocumentText(dir + "/fehlt.tqx", read));
}

// The file dialog grown by the preview: 100 pixels wider with the file list, the preview below the file choice,
// read-only, OK captioned for what it does.
TEST_F(DocumentImportTest, TheDialogGrowsByAPreviewBelowTheFileChoice) {
  RECT plainFrame{}, plainList{}, plainClient{};
  CFileDialog plain(TRUE, "tqx", nullptr, OFN_FILEMUSTEXIST, "Positionen|*.tqx||");
  plain.m_ofn.lpstrInitialDir = dir.c_str();
  win::script::QueueFileDialogScript([&](HWND d) {
    ::GetWindowRect(d, &plainFrame);
    ::GetClientRect(d, &plainClient);
    plainList = RectIn(d, ::GetDlgItem(d, IDC_FILE_LIST));
    EXPECT_EQ(::GetDlgItem(d, 4677), nullptr);
    Press(d, IDCANCEL);
  });
  EXPECT_EQ(plain.DoModal(), IDCANCEL);

  for (int mode : {0, 1}) {
    CSkribDlgImportDoc grown;
    grown.m_nMode = mode;
    grown.m_ofn.lpstrInitialDir = dir.c_str();
    win::script::QueueFileDialogScript([&](HWND d) {
      RECT frame, list, folders, ok;
      ::GetWindowRect(d, &frame);
      EXPECT_EQ(frame.right - frame.left, plainFrame.right - plainFrame.left + 100);
      // the headless screen is 1080 high: room for the whole 500
      EXPECT_EQ(frame.bottom - frame.top, plainFrame.bottom - plainFrame.top + 500);
      list = RectIn(d, ::GetDlgItem(d, IDC_FILE_LIST));
      EXPECT_EQ(list.right - list.left, plainList.right - plainList.left + 100);
      EXPECT_EQ(list.bottom - list.top, plainList.bottom - plainList.top);
      // what stood right of the list moved along with it, nothing overlaps it
      folders = RectIn(d, ::GetDlgItem(d, IDC_FILE_FOLDERS));
      EXPECT_GT(folders.left, list.right);
      ok = RectIn(d, ::GetDlgItem(d, IDOK));
      EXPECT_GE(ok.left, list.right);
      char caption[32] = "";
      ::GetDlgItemText(d, IDOK, caption, sizeof caption);
      EXPECT_STREQ(caption, mode == 0 ? "Importieren" : "Auswählen");

      HWND preview = ::GetDlgItem(d, 4677);
      ASSERT_NE(preview, nullptr);
      EXPECT_TRUE(::IsWindowVisible(preview));
      const RECT p = RectIn(d, preview);
      EXPECT_EQ(p.left, 8);
      EXPECT_GE(p.top, plainClient.bottom) << "the preview covers the file choice";
      EXPECT_EQ(p.right - p.left, plainFrame.right - plainFrame.left + 77);
      EXPECT_GT(p.bottom - p.top, 400);
      RECT client;
      ::GetClientRect(d, &client);
      EXPECT_LE(p.bottom, client.bottom);
      EXPECT_LE(p.right, client.right);
      const LONG style = ::GetWindowLong(preview, GWL_STYLE);
      for (LONG bit : {LONG(ES_MULTILINE), LONG(ES_WANTRETURN), LONG(WS_VSCROLL), LONG(WS_HSCROLL)})
        EXPECT_TRUE(style & bit) << std::hex << bit;
      auto* text = dynamic_cast<SkribRichEdit*>(CWnd::FromHandlePermanent(preview));
      ASSERT_NE(text, nullptr) << "the preview is no text of the editor's kind";
      EXPECT_TRUE(text->IsReadOnly());
      editortest::SavePicture(d, mode == 0 ? "docimport_grown" : "docimport_select");
      Press(d, IDCANCEL);
    });
    EXPECT_EQ(grown.DoModal(), IDCANCEL);
  }
}

// Every file picked shows its own text; a file without one empties the preview; Abbrechen imports nothing.
TEST_F(DocumentImportTest, ThePreviewFollowsTheFilePicked) {
  win::script::QueueFileDialogScript([&](HWND d) {
    EXPECT_EQ(PreviewText(d), "");
    PickFile(d, "Erste.tqx");
    EXPECT_EQ(PreviewText(d), "Stahlbeton erste Position\r\nb = 0,30\r\n");
    editortest::SavePicture(d, "docimport_preview");
    PickFile(d, "Zweite.tqx");
    EXPECT_EQ(PreviewText(d), "Holz zweite Position\r\n");
    PickFile(d, "Leer.tqx");
    EXPECT_EQ(PreviewText(d), "");
    PickFile(d, "Erste.tqx");
    EXPECT_EQ(PreviewText(d), "Stahlbeton erste Position\r\nb = 0,30\r\n");
    Press(d, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_FALSE(dlg.m_bImported);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(win::ClipboardText(), "Fremd");
}

// Only what is selected in the preview is brought over, as it stands (no input values asked for a part).
TEST_F(DocumentImportTest, ThePreviewsSelectionIsWhatIsImported) {
  win::script::QueueFileDialogScript([&](HWND d) {
    PickFile(d, "Erste.tqx");
    SelectFirstLine(d);
    Press(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(dlg.m_bImported);
  EXPECT_EQ(std::string(dlg.m_sPath), first);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(win::ClipboardText(), "Stahlbeton erste Position");
}

// A name typed into "Dateiname" is previewed as a picked one is, with or without its extension, a folder and all;
// a name of no position empties the preview.
TEST_F(DocumentImportTest, ANameTypedIsPreviewedAsAPickedOneIs) {
  const std::string sub = dir + "/Unterordner";
  std::filesystem::create_directories(sub);
  WritePosition(sub, "Dritte.tqx", "Kolumo", 3.0, "{\\rtf1 Mauerwerk dritte Position\\par}", false);
  const struct {
    std::string typed;
    std::string shown;
  } cases[] = {
      {"Zweite.tqx", "Holz zweite Position\r\n"},
      {"Erste", "Stahlbeton erste Position\r\nb = 0,30\r\n"},
      {"Fehlt.tqx", ""},
      {"Unterordner/Dritte.tqx", "Mauerwerk dritte Position\r\n"},
      {second, "Holz zweite Position\r\n"},
      {"Leer.tqx", ""},
  };
  win::script::QueueFileDialogScript([&](HWND d) {
    for (const auto& c : cases) {
      TypeName(d, c.typed);
      EXPECT_EQ(PreviewText(d), c.shown) << c.typed;
      if (c.typed == "Unterordner/Dritte.tqx") editortest::SavePicture(d, "docimport_typed");
    }
    Press(d, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(asked, 0);
}

// A selection belongs to the text it was made in: once another file is named, by typing or by picking, the
// import takes that file whole, never the other file's selected line.
TEST_F(DocumentImportTest, ASelectionIsNeverImportedFromAnotherFile) {
  dlg.m_inputValues = [this](SubData&) { ++asked; };
  const struct {
    const char* name;
    std::function<void(HWND)> other;  // names Zweite.tqx after the selection in Erste.tqx
  } cases[] = {
      {"typed", [](HWND d) { TypeName(d, "Zweite.tqx"); }},
      {"typed without the extension", [](HWND d) { TypeName(d, "Zweite"); }},
      {"picked", [](HWND d) { PickFile(d, "Zweite.tqx"); }},
  };
  for (const auto& c : cases) {
    win::SetClipboardText("Fremd");
    asked = 0;
    win::script::QueueFileDialogScript([&](HWND d) {
      PickFile(d, "Erste.tqx");
      SelectFirstLine(d);
      c.other(d);
      Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK) << c.name;
    EXPECT_EQ(std::string(dlg.m_sPath), second) << c.name;
    EXPECT_TRUE(dlg.m_bImported) << c.name;
    EXPECT_EQ(asked, 1) << c.name << ": the whole part, with its input values";
    EXPECT_EQ(win::ClipboardText(), "Holz zweite Position\r\n") << c.name;
  }
}

// Nothing selected: the whole part, after its input values were entered and written into it.
TEST_F(DocumentImportTest, WithoutASelectionTheWholePartIsImportedWithItsInputValues) {
  win::script::QueueFileDialogScript([&](HWND d) {
    PickFile(d, "Erste.tqx");
    Press(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(dlg.m_bImported);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(win::ClipboardText(), "Stahlbeton erste Position\r\nb = 0,35\r\n");

  // A path typed and confirmed is picked the same way.
  win::script::QueueFileDialog(second);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(std::string(dlg.m_sPath), second);
}

// A file without document text imports nothing: the clipboard keeps what it held; select-only takes the path only.
TEST_F(DocumentImportTest, AFileWithoutTextImportsNothingAndSelectOnlyTakesThePath) {
  win::script::QueueFileDialog(none);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(dlg.m_bImported);
  EXPECT_EQ(win::ClipboardText(), "Fremd");

  dlg.m_nMode = 1;
  win::script::QueueFileDialogScript([&](HWND d) {
    PickFile(d, "Zweite.tqx");
    EXPECT_EQ(PreviewText(d), "Holz zweite Position\r\n");
    Press(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(std::string(dlg.m_sPath), second);
  EXPECT_FALSE(dlg.m_bImported);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(win::ClipboardText(), "Fremd");
}

}  // namespace
