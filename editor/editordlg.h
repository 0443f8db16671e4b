// The editor of a position's document part: a child dialog with the formula-aware text control, two toolbars (the
// second with style, text-height and zoom combo boxes), formatting commands, the toolbar state read from the caret,
// zoom, keys, the data exchange with the document part and the document commands with their context menu.
#pragma once

#include <string>
#include <vector>

#include "controls/MainDlgBase.h"
#include "controls/PopupMenuBuilder.h"
#include "document/subdata.h"
#include "editor/formulatextctrl.h"
#include "platform/win/afx.h"

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
  void ApplyInputValues();
  // The selection as a position file of its own, made from the template of the user data folder.
  void SaveBuildingBlock();
  void SearchAgain();
  void ReplaceAgain();
  void PageBreak();

  SubData* document = nullptr;
  BaseData* position = nullptr;  // the position the document belongs to (may be null)
  SkribRichEdit text;
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
  void Resize();
  void CreateCombo(CComboBox& combo, UINT id, int width, DWORD kind);
  void LoadTransfers();

  CResizeHelper resizer_;
  bool resizerFilled_ = false;
};

// Registers the editor's dialog template, toolbars and texts (done once, by the first editor).
void RegisterEditorResources();
