// The editor's commands that open one of its dialogs, and the editor's text control as the dialogs see it.
#include <cstdio>
#include <filesystem>

#include "editor/dbimportdlg.h"
#include "editor/docimportdlg.h"
#include "editor/editordlg.h"
#include "editor/formuladlg.h"
#include "editor/macrodlg.h"
#include "editor/searchdlg.h"
#include "editor/settingsdlg.h"
#include "editor/symboldlg.h"
#include "editor/tabledlg.h"
#include "formula/varstore.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/base/paths.h"
#include "transfer/importdlg.h"

namespace {

CString Tr(const char* text) { return EditorText("SubDlg", text); }

class TextTarget : public SkribTextTarget {
 public:
  explicit TextTarget(OleRichEditCtrl& text) : text_(text) {}
  void GetCharFormat(std::string& face, int& height) override {
    CHARFORMAT2 cf;
    const DWORD mask = text_.GetCharFormat(cf);
    face = (mask & CFM_FACE) ? cf.szFaceName : "";
    height = (mask & CFM_SIZE) ? int(cf.yHeight) : 0;
  }
  void GetSel(long& start, long& end) override { text_.GetSel(start, end); }
  void SetSel(long start, long end) override { text_.SetSel(start, end); }
  // A byte of the Symbol font, as the document holds it; the dialog sets the font on it next.
  void InsertText(const std::string& text) override { text_.ReplaceSel(text.c_str(), TRUE); }
  void SetFaceName(const std::string& face) override { text_.SetFaceName(face.c_str()); }
  void SetHeight(int twips) override { text_.SetHeight(twips); }

 private:
  OleRichEditCtrl& text_;
};

void Inform(HWND owner, const char* message) {
  ::MessageBox(owner, Tr(message), "TQ-Skrib", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

bool SubDlg::ExecuteDialogCommand(UINT id) {
  switch (id) {
    case 11539: Search(); return true;
    case 11540: Replace(); return true;
    case 40011: Settings(); return true;
    case 40003: Macros(); return true;
    case 11541: NewTable(); return true;
    case 11542: ChangeTable(); return true;
    case 11545: FormulaOverview(); return true;
    case 40052: InputValuesAndRefresh(); return true;
    case 11547: ValueImport(); return true;
    case 40043: DatabaseInsert(); return true;
    case 40051: ShowSymbolDialog(); return true;
    default: return false;
  }
}

namespace {

// The search and replace dialogs share their fields with the document's last search: shown, asked, kept. A search
// over the whole text starts at its beginning and runs down.
template <class Dialog>
bool AskSearch(Dialog& dialog, SubData& document, SkribRichEdit& text) {
  dialog.m_sText = document.searchText;
  dialog.m_bMatchCase = document.matchCase;
  dialog.m_bWholeWords = document.wholeWord;
  dialog.m_nDirection = document.direction;
  dialog.m_bWholeText = 1;
  if (dialog.DoModal() != IDOK) return false;
  if (dialog.m_bWholeText) {
    dialog.m_nDirection = 1;
    text.SetSel(0, 0);
  }
  document.searchText = dialog.m_sText;
  document.matchCase = dialog.m_bMatchCase;
  document.wholeWord = dialog.m_bWholeWords;
  document.direction = dialog.m_nDirection;
  return true;
}

}  // namespace

void SubDlg::Search() {
  if (!document) return;
  DlgSearch dialog(this);
  if (!AskSearch(dialog, *document, text)) return;
  text.FindTextEx(document->searchText, document->matchCase != 0, document->wholeWord != 0, document->direction != 0,
                  false);
}

void SubDlg::Replace() {
  if (!document) return;
  DlgReplace dialog(this);
  dialog.m_sReplacement = document->replaceText;
  if (!AskSearch(dialog, *document, text)) return;
  document->replaceText = dialog.m_sReplacement;
  text.Replace(document->searchText, document->replaceText, dialog.m_bReplaceAll != 0, dialog.m_bAsk != 0,
               document->matchCase != 0, document->wholeWord != 0, document->direction != 0);
}

void SubDlg::Settings() {
  if (!document) return;
  DlgSettings dialog(this);
  dialog.m_nFirstPage = document->page;
  if (dialog.DoModal() == IDOK) document->page = dialog.m_nFirstPage;
}

void SubDlg::Macros() {
  if (!document) return;
  DlgVBS dialog(this);
  document->GetMacroFileNames(dialog.m_sMakerFile, dialog.m_sUserFile);
  dialog.m_sMacroText = document->macroText;
  dialog.m_nSession = document->GetSession();
  // A macro text that does not load is offered again until it loads or the engineer gives up.
  while (dialog.DoModal() == IDOK) {
    GetRegSettings().WriteString("Skrib", "ormiMacroFile", dialog.m_sMakerFile);
    GetRegSettings().WriteString("Skrib", "userMacroFile", dialog.m_sUserFile);
    document->macroText = dialog.m_sMacroText;
    if (document->LoadMacros(false)) return;
    dialog.m_sMacroText = document->macroText;
  }
}

void SubDlg::RewriteTable(std::string& rtf, const std::vector<RtfTableRow>& rows, std::size_t insertAt) {
  insertAt = std::min(insertAt, rtf.size());
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    std::string out;
    if (!row->deleted) WriteRtfTableRow(*row, out);
    if (row->start >= 0 && row->end >= row->start && std::size_t(row->end) <= rtf.size()) {
      rtf.replace(std::size_t(row->start), std::size_t(row->end - row->start), out);
    } else if (!row->deleted) {
      // Rows of their own, added in the dialog, follow in their order: each goes before those written after it.
      rtf.insert(insertAt, out);
    }
  }
}

void SubDlg::NewTable() {
  if (!document) return;
  SkribTableProps& props = document->tableProps;
  std::vector<std::string> cells;
  for (const CString& c : props.defaultText) cells.push_back(c.GetString());
  std::string rtf;
  BuildTableRtf(props.nRow, props.nCol, props.colWidth, cells, rtf);
  GridDlg dialog(this);
  if (ParseRtfTable(rtf, dialog.m_rows) < 0) return;
  dialog.m_nCols = props.nCol;
  dialog.m_nRows = props.nRow;
  if (dialog.DoModal() != IDOK) return;
  props.nCol = dialog.m_nCols;
  props.nRow = dialog.m_nRows;
  if (!dialog.m_rows.empty()) {
    props.colWidth.clear();
    long before = 0;
    for (long b : dialog.m_rows.front().boundaries) {
      props.colWidth.push_back(int(b - before));
      before = b;
    }
  }
  const std::size_t end = rtf.rfind(kTableRtfEnd);
  RewriteTable(rtf, dialog.m_rows, end == std::string::npos ? rtf.size() : end);
  text.StreamInRtf(rtf, true);
  text.SetFocus();
}

void SubDlg::ChangeTable() {
  std::string rtf = text.StreamOutRtf(true);
  GridDlg dialog(this);
  const int parsed = ParseRtfTable(rtf, dialog.m_rows);
  if (parsed < 0) {
    Inform(m_hWnd, "Verschachtelte Tabellen bitte in MS-WORD bearbeiten.");
    return;
  }
  if (dialog.m_rows.empty()) {
    Inform(m_hWnd, "Bitte zunächst die zu ändernde Tabelle markieren.");
    return;
  }
  dialog.m_nCols = dialog.m_rows.front().cellCount;
  dialog.m_nRows = int(dialog.m_rows.size());
  if (dialog.DoModal() != IDOK) return;
  const std::size_t end = rtf.rfind('}');
  RewriteTable(rtf, dialog.m_rows, end == std::string::npos ? rtf.size() : end);
  text.StreamInRtf(rtf, true);
  text.SetFocus();
}

void SubDlg::FormulaOverview() {
  if (!document) return;
  CVariableStore temporary;
  CVariableStore& store = position ? position->variables : temporary;
  store.RemoveAll();
  document->DefineVariables(1);
  CRtfChunkList whole;
  text.StreamOut(whole, false);
  std::vector<SkribTextBlock> blocks;
  EvaluateText(whole, text.formulaColour, blocks, document->GetSession(), nullptr, &store, 1, "");
  DlgFormula dialog(this);
  dialog.m_grid.m_pUnits = &blocks;
  dialog.m_grid.m_pExports = &document->exportValues;
  dialog.m_grid.m_pInputs = &document->inputValues;
  dialog.DoModal();
  text.SetFocus();
}

bool SubDlg::InputValues(SubData* part) {
  SubData* target = part ? part : document;
  if (!target || target->inputValues.empty()) return false;
  DlgInputVal dialog(this);
  dialog.m_pInputs = &target->inputValues;
  if (dialog.DoModal() != IDOK) return false;
  ApplyInputValues(*target);
  return true;
}

void SubDlg::InputValuesAndRefresh() {
  if (!document) return;
  TransferData(TRUE);
  if (position && position->doc) position->WriteData(position->doc);
  InputValues();
  TransferData(FALSE);
  Refresh(-1);
}

void SubDlg::ValueImport() {
  if (!position) return;
  DlgImportVal dialog(this);
  dialog.SetPosition(position);
  if (dialog.DoModal() != IDOK) return;
  position->DefineVariables();
  Refresh(-1);
}

void SubDlg::SingleValueImport() {
  if (!position) return;
  DlgSimpleImportVal dialog(this);
  if (dialog.DoModal() != IDOK) return;
  text.InsertText(dialog.m_chosen.varName);
  dialog.AddToVarDefs(*position);
}

void SubDlg::DatabaseInsert() {
  if (!document) return;
  MatDlg dialog(this);
  dialog.m_pDocument = document;
  dialog.m_pCatalogue = catalogue;
  if (dialog.DoModal() != IDOK) return;
  std::vector<DatabaseValue> values;
  for (const MatValueRow& row : dialog.m_rows)
    if (row.active) values.push_back({row.name, row.variable, row.value, row.unit});
  InsertDatabaseValues(dialog.m_sTitle, values);
}

void SubDlg::ImportDocument(int folder) {
  CString start = GetCurrentDir();
  if (folder == 1) start = GetUserDataDir() + "\\Vorlagen\\Anwendervorlagen";
  if (folder == 2) start = GetUserDataDir() + "\\Vorlagen\\TQ-Skrib Bibliotheken";
  const std::string initial = start.GetString();
  CSkribDlgImportDoc dialog(this);
  dialog.m_ofn.lpstrInitialDir = initial.c_str();
  dialog.m_pPosition = position;
  dialog.m_inputValues = [this](SubData& part) { InputValues(&part); };
  // Browsing may move the current folder; the position's own folder stays the current one.
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  // The dialog leaves its choice on the clipboard; nothing chosen, nothing pasted (whatever the clipboard holds).
  const bool imported = dialog.DoModal() == IDOK && dialog.m_bImported;
  if (!error) std::filesystem::current_path(current, error);
  if (imported) text.SendMessage(WM_PASTE);
}

void SubDlg::ShowSymbolDialog() {
  if (!symbols_) {
    symbols_ = std::make_unique<DlgSymbol>(this);
    target_ = std::make_unique<TextTarget>(text);
    symbols_->m_pText = target_.get();
    symbols_->m_pShownFlag = &symbolShown;
    symbols_->Create(IDD_SKRIB_SYMBOLS, this);
  }
  symbolShown = 1;
  symbols_->ShowWindow(SW_SHOW);
}
