// The modeless symbol dialog: buttons with the characters of the Symbol font; a click puts the character at the
// caret of the editor's text, in the Symbol font and a little larger, and typing goes on in the normal font.
#pragma once

#include <string>

#include "platform/win/afx.h"

inline constexpr UINT IDD_SKRIB_SYMBOLS = 11513;
inline constexpr int IDC_SYMBOL_SIZE = 1001, IDC_SYMBOL_SPIN = 1003, IDC_SYMBOL_FIRST = 11570, IDC_SYMBOL_LAST = 11714;

// What the symbol dialog needs of the editor's text control.
class SkribTextTarget {
 public:
  virtual ~SkribTextTarget() = default;
  // Face and height (twips) of the character format at the caret.
  virtual void GetCharFormat(std::string& face, int& height) = 0;
  virtual void GetSel(long& start, long& end) = 0;
  virtual void SetSel(long start, long end) = 0;
  // Replaces the selection.
  virtual void InsertText(const std::string& text) = 0;
  virtual void SetFaceName(const std::string& face) = 0;
  virtual void SetHeight(int twips) = 0;
};

// The caption of a symbol button: 'a'..'z', 'A'..'Z', the codes 161..252, then '^'.
char SymbolOfButton(int id);

class DlgSymbol : public CDialog {
 public:
  // Created modeless by the editor: Create(IDD_SKRIB_SYMBOLS, editor).
  explicit DlgSymbol(CWnd* parent = nullptr);

  SkribTextTarget* m_pText = nullptr;
  int* m_pShownFlag = nullptr;  // the editor's "symbol dialog shown", cleared on close
  int m_nSizeIncrease = 2;      // points

  // The character of button id into the text at the caret.
  void InsertSymbol(int id);

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
