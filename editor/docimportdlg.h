// The document import: a file dialog over positions whose document text is previewed and then brought over, the
// selected part of it or the whole, with its formulas, after the engineer entered its input values.
#pragma once

#include <functional>
#include <string>

#include "document/subdata.h"
#include "platform/win/dialogs/afxdlgs.h"

// What the import needs of the preview, a read-only text control of the editor's kind.
class SkribPreview {
 public:
  virtual ~SkribPreview() = default;
  virtual void Clear() = 0;
  virtual void StreamIn(const std::string& rtf) = 0;
  virtual bool HasSelection() = 0;
  virtual void SelectAll() = 0;
  // The selection to the clipboard (WM_COPY); the editor pastes it after the dialog.
  virtual void Copy() = 0;
  virtual void ZoomToPageWidth() = 0;
};

// The element of an open position document that holds its document part: "input"/"Skrib", or "input" itself for
// a standalone document written before version 2.099; 0 when there is none.
int FindDocumentSource(int document);
// The document text of the position file; false (text empty) when the file cannot be read or holds none.
bool ReadDocumentText(const std::string& path, std::string& rtf);

class CSkribDlgImportDoc : public CFileDialog {
  DECLARE_DYNAMIC(CSkribDlgImportDoc)
 public:
  explicit CSkribDlgImportDoc(CWnd* owner = nullptr);

  int m_nMode = 0;  // 0 import, else only select a file
  CString m_sPath;
  SkribPreview* m_pPreview = nullptr;
  // The editor's input values run on the imported document part (its values written into its formulas).
  std::function<void(SubData&)> m_inputValues;
  // The position the temporary document part belongs to while it is read.
  BaseData* m_pPosition = nullptr;

  INT_PTR DoModal() override;
  // The file under the cursor changed: its text into the preview.
  void Preview(const std::string& path);
  // The chosen file confirmed: false when there was nothing to import.
  bool Import(const std::string& path);
};
