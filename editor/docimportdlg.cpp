#include "editor/docimportdlg.h"

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

CSkribDlgImportDoc::CSkribDlgImportDoc(CWnd* owner)
    : CFileDialog(TRUE, "tqx", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                  TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", "DlgImportDoc", "Positionen|*.tqx||"), owner) {}

INT_PTR CSkribDlgImportDoc::DoModal() {
  const INT_PTR answer = CFileDialog::DoModal();
  if (answer != IDOK) return answer;
  const std::string path(GetPathName());
  if (m_nMode != 0) {
    m_sPath = path.c_str();
    return IDOK;
  }
  Preview(path);
  Import(path);
  return IDOK;
}

void CSkribDlgImportDoc::Preview(const std::string& path) {
  if (!m_pPreview) return;
  m_pPreview->Clear();
  std::string rtf;
  if (!ReadDocumentText(path, rtf)) return;
  m_pPreview->StreamIn(rtf);
  m_pPreview->ZoomToPageWidth();
}

bool CSkribDlgImportDoc::Import(const std::string& path) {
  m_sPath = path.c_str();
  if (!m_pPreview) return false;
  const int doc = VIDUV_OpenDoc(path.c_str());
  const int source = doc ? FindDocumentSource(doc) : 0;
  if (!source) {
    if (doc) VIDUV_CloseDoc(doc);
    return false;
  }
  if (!m_pPreview->HasSelection() && m_pPosition) {
    // The other position's part, with the engineer's input values written into its formulas.
    SubData part(*m_pPosition);
    part.ReadXML(source);
    if (m_inputValues) m_inputValues(part);
    m_pPreview->Clear();
    m_pPreview->StreamIn(part.text.Text());
    if (!m_pPreview->HasSelection()) m_pPreview->SelectAll();
  } else if (!m_pPreview->HasSelection()) {
    m_pPreview->SelectAll();
  }
  VIDUV_CloseDoc(doc);
  m_pPreview->Copy();
  return true;
}
