#include "editor/docimportdlg.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

IMPLEMENT_DYNAMIC(CSkribDlgImportDoc, CFileDialog)

namespace {

bool HasTqxExtension(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".tqx";
}

}  // namespace

int FindDocumentSource(int document) {
  const int root = document ? VIDUV_GetRootElement(document) : 0;
  const int input = root ? VIDUV_FindFirstChild(root, "input") : 0;
  if (!input) return 0;
  const std::string progname = VIDUV_GetString(root, "progname");
  if (progname == "Skrib" && VIDUV_GetDouble(root, "version") < 2.099) return input;
  return VIDUV_FindFirstChild(input, "Skrib");
}

bool ReadDocumentText(const std::string& path, std::string& rtf) {
  rtf.clear();
  if (!HasTqxExtension(path)) return false;
  const int doc = VIDUV_OpenDoc(path.c_str());
  if (!doc) return false;
  if (const int source = FindDocumentSource(doc)) {
    const int length = VIDUV_GetBinDataLength(source, "rtfData");
    if (length > 0) {
      std::vector<char> bytes(static_cast<std::size_t>(length));
      VIDUV_GetBinData(source, "rtfData", bytes.data());
      rtf.assign(bytes.data(), strnlen(bytes.data(), bytes.size()));
    }
  }
  VIDUV_CloseDoc(doc);
  return !rtf.empty();
}

LRESULT ImportNameField::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Reading the text is a message of its own, as is all the field sends itself while it handles one.
  if (m_inside || message == WM_GETTEXT || message == WM_GETTEXTLENGTH)
    return CEdit::WindowProc(message, wParam, lParam);
  m_inside = true;
  CString before;
  GetWindowText(before);
  const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
  CString after;
  if (m_hWnd) GetWindowText(after);
  m_inside = false;
  if (m_hWnd && m_changed && after != before) m_changed();
  return result;
}

CSkribDlgImportDoc::CSkribDlgImportDoc(CWnd* owner)
    : CFileDialog(TRUE, "tqx", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                  TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", "DlgImportDoc", "Positionen|*.tqx||"), owner) {}

BOOL CSkribDlgImportDoc::OnInitDialog() {
  CFileDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_Skrib", "DlgImportDoc", m_hWnd);
  m_bImported = false;
  CRect frame, client;
  GetWindowRect(&frame);
  GetClientRect(&client);
  // The preview takes the room below the file choice; on a low screen the dialog grows only as far as it fits.
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const int grow = std::max(200, std::min(kGrowHeight, screenHeight - frame.Height() - 40));
  SetWindowPos(nullptr, 0, 0, frame.Width() + kGrowWidth, frame.Height() + grow, SWP_NOMOVE | SWP_NOZORDER);
  CRect grown;
  GetClientRect(&grown);
  const CRect place(8, client.bottom, 8 + frame.Width() + kGrowWidth - 23, grown.bottom - 8);
  m_preview.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                       ES_WANTRETURN | ES_AUTOVSCROLL | ES_NOHIDESEL,
                   place, this, kIdPreview);
  m_preview.SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), 0);
  m_preview.NewDocument();
  m_preview.SetReadOnly(true);
  m_previewed.clear();
  if (m_nameField.SubclassDlgItem(IDC_FILE_NAME, this)) m_nameField.m_changed = [this] { OnFileNameChange(); };
  SetDlgItemText(IDOK, TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", "DlgImportDoc",
                                      m_nMode == 0 ? "Importieren" : "Auswählen"));
  return TRUE;
}

void CSkribDlgImportDoc::OnFileNameChange() { Preview(GetPathName().str()); }

BOOL CSkribDlgImportDoc::OnFileNameOK() {
  const std::string path = GetPathName().str();
  if (m_nMode == 0) Import(path);
  m_sPath = path.c_str();
  return FALSE;
}

void CSkribDlgImportDoc::Preview(const std::string& path) {
  if (!m_preview.m_hWnd || path == m_previewed) return;
  m_previewed = path;
  m_preview.StreamInRtf("{\\rtf1 }", false);
  std::string rtf;
  if (!ReadDocumentText(path, rtf)) return;
  // Loading the text takes the keyboard; the person typing a name keeps it.
  const HWND focus = ::GetFocus();
  m_preview.StreamInRtf(rtf, false);
  m_preview.OnTextLoaded();
  m_preview.SetSel(0, 0);
  if (focus && ::IsWindow(focus) && ::GetFocus() != focus) ::SetFocus(focus);
  // Page width, as the editor's zoom of that name.
  CRect r;
  m_preview.GetClientRect(&r);
  const int percent = r.Width() * 100 / 650;
  if (percent >= 11 && percent < 250) m_preview.SetZoom(percent);
}

void CSkribDlgImportDoc::Import(const std::string& path) {
  m_bImported = false;
  if (!m_preview.m_hWnd) return;
  // What is selected was selected in the text of the file previewed: another file is previewed first.
  Preview(path);
  const int doc = VIDUV_OpenDoc(path.c_str());
  const int source = doc ? FindDocumentSource(doc) : 0;
  if (!source) {
    if (doc) VIDUV_CloseDoc(doc);
    return;
  }
  long start = 0, end = 0;
  if (!m_preview.GetSel(start, end)) {
    // The whole part, with the engineer's input values written into its formulas.
    if (m_pPosition) {
      SubData part(*m_pPosition);
      part.ReadXML(source);
      if (m_inputValues) m_inputValues(part);
      m_preview.StreamInRtf(part.text.Text(), false);
      m_preview.OnTextLoaded();
    }
    if (!m_preview.GetSel(start, end)) m_preview.SetSel(0, -1);
  }
  VIDUV_CloseDoc(doc);
  m_preview.SendMessage(WM_COPY);
  m_bImported = m_preview.GetSel(start, end) != FALSE;
}
