#include "editor/macroeditor.h"

#include "platform/tolkar/tolkar.h"
#include "platform/tqscript/tqscript.h"

namespace {

const char* Tr(const char* text) { return TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", "DlgMacroEditor", text); }

win::DialogTemplate EditorTemplate() {
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.cx = 400;
  t.cy = 260;
  t.caption = "Makro bearbeiten";
  using I = win::DialogItem;
  t.items = {
      I{IDC_MACRO_EDITOR_ERROR, "Static", "", SS_LEFT, 7, 7, 386, 18},
      I{IDC_MACRO_EDITOR_TEXT, "Edit", "",
        ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER |
            WS_TABSTOP,
        7, 28, 386, 205},
      I{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 289, 239, 50, 14},
      I{IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 343, 239, 50, 14},
  };
  return t;
}

const win::DialogTemplateRegistrar kTemplate(IDD_MACRO_EDITOR, EditorTemplate());

// The edit control breaks lines at "\r\n"; a macro file usually has "\n".
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

std::string WithoutCr(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace

DlgMacroEditor::DlgMacroEditor(CWnd* parent) : CDialog(IDD_MACRO_EDITOR, parent) {}

int DlgMacroEditor::CaretIndex(const std::string& editText, int line, int column) {
  if (line < 1) return 0;
  std::size_t start = 0;
  for (int l = 1; l < line; ++l) {
    std::size_t end = editText.find('\n', start);
    if (end == std::string::npos) return int(editText.size());  // past the last line: its end
    start = end + 1;
  }
  std::size_t end = editText.find('\n', start);
  if (end == std::string::npos) end = editText.size();
  if (end > start && editText[end - 1] == '\r') --end;
  // Columns count characters; an umlaut is two bytes.
  std::size_t at = start;
  for (int c = 1; c < column && at < end; ++c) {
    ++at;
    while (at < end && (static_cast<unsigned char>(editText[at]) & 0xC0) == 0x80) ++at;
  }
  return int(at);
}

std::string DlgMacroEditor::ErrorLine(const std::string& error, int line, int column) {
  if (error.empty()) return std::string();
  if (line < 1 || error.find("Zeile") != std::string::npos) return error;
  CString place;
  place.Format(Tr("(Zeile %d, Spalte %d)"), line, std::max(column, 1));
  return error + " " + place.str();
}

BOOL DlgMacroEditor::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_Skrib", "DlgMacroEditor", m_hWnd);
  m_edit.SubclassDlgItem(IDC_MACRO_EDITOR_TEXT, this);
  m_font.CreatePointFont(90, "Courier New");
  m_edit.SetFont(&m_font);
  m_crlf = m_text.find("\r\n") != std::string::npos;
  const std::string shown = WithCrLf(m_text);
  m_edit.SetWindowText(shown.c_str());
  SetDlgItemText(IDC_MACRO_EDITOR_ERROR, ErrorLine(m_error, m_line, m_column).c_str());
  m_edit.SetFocus();
  const int caret = CaretIndex(shown, m_line, m_column);
  m_edit.SetSel(caret, caret);
  return FALSE;  // the focus is set
}

void DlgMacroEditor::OnOK() {
  CString text;
  m_edit.GetWindowText(text);
  m_text = m_crlf ? text.str() : WithoutCr(text.str());
  CDialog::OnOK();
}

std::string EditMacroInWindow(int, const std::string& text, const std::string& error, int line, int column) {
  DlgMacroEditor dialog(CWnd::GetActiveWindow());
  dialog.m_text = text;
  dialog.m_error = error;
  dialog.m_line = line;
  dialog.m_column = column;
  return dialog.DoModal() == IDOK ? dialog.m_text : text;
}

void InstallMacroEditor() { TQSCRIPT_SetEditor(&EditMacroInWindow); }

void RemoveMacroEditor() { TQSCRIPT_SetEditor(nullptr); }
