// The editor of a position's document part: a child dialog with the formula-aware text control, two toolbars (the
// second with style, text-height and zoom combo boxes), formatting commands, the toolbar state read from the caret,
// zoom, keys, the data exchange with the document part and the document commands with their context menu.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/MainDlgBase.h"
#include "controls/PopupMenuBuilder.h"
#include "document/subdata.h"
#include "editor/formulatextctrl.h"
#include "platform/win/afx.h"

class DlgSymbol;
class MatCatalogue;
class SkribTextTarget;

class SkribToolBar : public CToolBar {
 public:
  ~SkribToolBar() override = default;
};

class SkribComboBar : public CToolBar {
 public:
  ~SkribComboBar() override = default;
  CComboBox style, height, zoom;
};

class SubDlg : public CDialog {
 public:
  enum : UINT { IDD = 11623, kTextId = 4677, kHoverId = 1000, kBar1 = 11506, kBar2 = 11508 };
  explicit SubDlg(CWnd* parent = nullptr);
  ~SubDlg() override;

  // TRUE: editor to document; FALSE: document to editor (with recalculation). Returns 1.
  virtual int TransferData(BOOL save);

  // Recalculates the document from the text; mode is the first number (-1 as 1).
  void Refresh(int mode);
  void UpdateToolbarState();
  void ApplyZoom();
  // "Seitenbreite" or a percentage at the start of the text; other values (below 11, from 250) are ignored.
  void ApplyZoomText(const CString& shown);
  // Shows the zoom in effect in the zoom box.
  void ShowZoom(int percent);
  // "Seitenbreite" and the 18 percentages.
  static constexpr int kZoomItems = 19;
  // The context menu at a point of the screen.
  void ShowContextMenu(CPoint at);
  // Its items; names receives the variable names behind the items 410 and on.
  void BuildContextMenu(CPopupMenuBuilder& menu, CStringArray& names);
  // A table of the position's taken-over values at the caret (a comment of the document with "ltHide").
  void LoadTransferProtocol();
  struct DatabaseValue {
    CString name, variable, value, unit;
  };
  // The active values chosen from the database, under the dialog's title, as a table at the caret.
  void InsertDatabaseValues(const CString& title, const std::vector<DatabaseValue>& values);
  // The definitions of the document's input values take their (edited) values and are evaluated again.
  void ApplyInputValues(SubData& part);
  // The selection as a position file of its own, made from the template of the user data folder.
  void SaveBuildingBlock();
  void SearchAgain();
  void ReplaceAgain();
  void PageBreak();

  // The commands that open a dialog; each ends without change when the dialog is cancelled.
  void Search();
  void Replace();
  void Settings();
  void Macros();
  void NewTable();
  void ChangeTable();
  void FormulaOverview();
  // The input values dialog on part (the editor's document when null); false when cancelled or there are none.
  bool InputValues(SubData* part = nullptr);
  void InputValuesAndRefresh();
  void ValueImport();
  void SingleValueImport();
  void DatabaseInsert();
  // folder: 0 the current folder, 1 the user's templates, 2 the libraries.
  void ImportDocument(int folder);
  void ShowSymbolDialog();
  DlgSymbol* SymbolDialog() const { return symbols_.get(); }
  int symbolShown = 0;

  SubData* document = nullptr;
  BaseData* position = nullptr;       // the position the document belongs to (may be null)
  MatCatalogue* catalogue = nullptr;  // the database dialog's entries; null: the databases
  SkribRichEdit text;
  // The document's text as it came in and as the control gave it back after loading: when neither the engineer
  // nor the recalculation on loading changed anything, the stored text is handed back untouched (the control
  // writes its own formatting).
  CRtfChunkList loadedText;
  std::string loadedShown;
  bool loadedStable = false;
  SkribToolBar bar1;
  SkribComboBar bar2;
  CButton hover;

  BOOL bold = FALSE, italic = FALSE, underline = FALSE, subscript = FALSE, superscript = FALSE, symbolFont = FALSE,
       formula = FALSE;
  int alignment = 0, style = 0, numbering = 0;
  long startIndent = 0, offset = 0;
  int lineSpacing = 0;
  int embedded = 1;

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  bool Execute(UINT id);
  void ToggleEffect(UINT id);
  void SetStyleLevel(int level);
  void OnTextHeight(int index);
  // The size typed into the text-height box, in whole points from 1 to 1638 as a word processor takes them, set
  // on the selection; false (nothing set) for any other text.
  bool ApplyTypedHeight();
  // Return in the text-height box: the typed size, then back to the text; a size out of range is said in a box
  // and stays to be mended.
  void TypedHeightReturned();
  void Resize();
  void CreateCombo(CComboBox& combo, UINT id, int width, DWORD kind);
  void LoadTransfers();

  bool ExecuteDialogCommand(UINT id);
  // The table rows' RTF written back into rtf from the last row to the first; new rows go before the position
  // returned by insertAt.
  static void RewriteTable(std::string& rtf, const std::vector<RtfTableRow>& rows, std::size_t insertAt);

  std::unique_ptr<DlgSymbol> symbols_;
  std::unique_ptr<SkribTextTarget> target_;
  CResizeHelper resizer_;
  bool resizerFilled_ = false;
  bool heightTyped_ = false;  // the text-height box holds typing not yet applied
};

// Registers the editor's dialog template, toolbars and texts (done once, by the first editor).
void RegisterEditorResources();
