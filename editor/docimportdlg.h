// The document import: a file dialog over positions, grown by a preview of the chosen position's document text;
// what is selected in the preview (all of it when nothing is) is brought over, with its formulas, after the engineer
// entered its input values.
#pragma once

#include <functional>
#include <string>

#include "document/subdata.h"
#include "editor/formulatextctrl.h"
#include "platform/win/dialogs/afxdlgs.h"

// The element of an open position document that holds its document part: "input"/"Skrib", or "input" itself for
// a standalone document written before version 2.099; 0 when there is none.
int FindDocumentSource(int document);
// The document text of the position file; false (text empty) when the file cannot be read or holds none.
bool ReadDocumentText(const std::string& path, std::string& rtf);

// The file dialog's name field: it tells when its text changed, whether typed, pasted or set by a pick.
class ImportNameField : public CEdit {
 public:
  std::function<void()> m_changed;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool m_inside = false;
};

class CSkribDlgImportDoc : public CFileDialog {
  DECLARE_DYNAMIC(CSkribDlgImportDoc)
 public:
  static constexpr UINT kIdPreview = 4677;
  // What the dialog grows by for its preview, in pixels.
  static constexpr int kGrowWidth = 100, kGrowHeight = 500;

  explicit CSkribDlgImportDoc(CWnd* owner = nullptr);

  int m_nMode = 0;  // 0 import, else only select a file
  CString m_sPath;
  // After OK: the chosen text is on the clipboard for the editor to paste.
  bool m_bImported = false;
  // The editor's input values run on the imported document part (its values written into its formulas).
  std::function<void(SubData&)> m_inputValues;
  // The position the temporary document part belongs to while it is read.
  BaseData* m_pPosition = nullptr;
  // The preview, a read-only text of the editor's kind, while the dialog is shown.
  SkribRichEdit m_preview;
  ImportNameField m_nameField;

  BOOL OnInitDialog() override;
  void OnFileNameChange() override;
  BOOL OnFileNameOK() override;

 private:
  // Shows the file's text unless it is the one shown: a selection belongs to the text it was made in.
  void Preview(const std::string& path);
  std::string m_previewed;  // the file the preview shows
  void Import(const std::string& path);
};
