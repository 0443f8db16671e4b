// The window behind the script host's edit call: the macro text in a fixed-pitch edit, the last error with its
// line and column above it and the caret placed there; OK gives the edited text back, "Abbrechen" the old one.
#pragma once

#include <string>

#include "platform/win/afx.h"

inline constexpr UINT IDD_MACRO_EDITOR = 11730;
inline constexpr int IDC_MACRO_EDITOR_TEXT = 11731, IDC_MACRO_EDITOR_ERROR = 11732;

class DlgMacroEditor : public CDialog {
 public:
  explicit DlgMacroEditor(CWnd* parent = nullptr);

  // In: the text to edit, the error (may be empty) and where it is (line and column from 1; below 1 none).
  // Out after OK: the edited text, with the line ends the text came with.
  std::string m_text;
  std::string m_error;
  int m_line = -1;
  int m_column = -1;

  CEdit m_edit;

  // Where the caret goes for a line and column counted from 1, in a text with "\r\n" line ends.
  static int CaretIndex(const std::string& editText, int line, int column);
  // The error line as shown: the error text, with "(Zeile n, Spalte m)" added when it does not name the place.
  static std::string ErrorLine(const std::string& error, int line, int column);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  CFont m_font;
  bool m_crlf = false;  // the text came with "\r\n" line ends
};

// The script host's edit call shown as the window above (modal, over the active window).
std::string EditMacroInWindow(int session, const std::string& text, const std::string& error, int line, int column);
// Installs the window as the script host's macro editor, and takes it out again.
void InstallMacroEditor();
void RemoveMacroEditor();
