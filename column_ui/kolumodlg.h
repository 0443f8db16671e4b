// The column's input dialog that the host embeds in its window: it owns the position's column data for its whole
// life, keeps the tabs, the construction-stage box and the data in step, and moves a position document into the
// data and back. Its tab pages join it later and take part in the data exchange and the page changes.
#pragma once

#include "column/kolumodata.h"
#include "column_ui/kolumopage_lasten.h"
#include "column_ui/kolumopage_steuer.h"
#include "column_ui/kolumopage_system.h"
#include "column_ui/kolumopage_vorver.h"
#include "column_ui/kolumoresultdlg.h"
#include "column_ui/kolumovorschau.h"
#include "controls/MainDlgBase.h"
#include "editor/editordlg.h"
#include "framework_ui/dlgvardef.h"
#include "platform/win/afx.h"

// A page whose input is not built yet: it holds its tab's place in the exchange order and says so.
class CKolumoPlatzhalterDlg : public CDialog {
 public:
  enum { IDD = 26090 };
  CKolumoPlatzhalterDlg() : CDialog(IDD) {}
  void ExchangeData(BOOL) {}
};

class CKolumoDlg : public CMainDlgBase, public CKolumoDataOwner {
  DECLARE_DYNCREATE(CKolumoDlg)

 public:
  enum { IDD = 26001 };
  static constexpr int kTabs = 6;
  static constexpr int kSystemTab = 2;
  static constexpr int kResultTab = 5;
  static constexpr UINT kIdTab = 26000;
  static constexpr UINT kIdFrame = 26012;
  static constexpr UINT kIdStage = 26014;
  static constexpr UINT kIdDeleteStage = 26062;

  explicit CKolumoDlg(CWnd* parent = nullptr);
  ~CKolumoDlg() override;

  BOOL OnInitDialog() override;

  // The pages and the dialog exchange their values with the data: FALSE data to controls, TRUE controls to data.
  virtual void ExchangeData(BOOL saveAndValidate);
  // Shows the page of the selected tab and lets the other pages store first.
  void OnPageChange() override;
  // Empties the current stage's supports, loads, combinations and imperfections.
  void DeleteStage();
  // After a position was read: a stage's number of load cases, or a load's case number, beyond what the load-case
  // grid holds, and a value given by a name defined nowhere, are said in one message (in the input check's words);
  // the stage then has the cases that exist, the load keeps its number and the value its stored number and formula
  // for the engineer to mend.
  void CheckInputRead();
  // OK of the window that holds the dialog, before it saves: the pages store, and the values given by a name that
  // has no value are said in one message, in the input check's words. The position is saved all the same.
  void OnOK() override;

  // The annotation of the selected tab (kept with the data's annotations); false, changing nothing, when no tab
  // is selected.
  bool SetAnnotation(const CString& text);
  bool GetAnnotation(CString& text) const;

  int GetStageSelection() const override;
  bool HasPreview() const override { return m_pPreview != nullptr; }
  void StoreInput() override { ExchangeData(TRUE); }
  void DrawPreview2D() override;
  void DrawPreview3D() override;

  // The preview beside the dialog (not owned; nullptr for none). It draws this dialog's data, and what a drag
  // changes in the data the pages show at once.
  void SetPreview(CKolumoVorschauDlg* preview);
  CKolumoVorschauDlg* GetPreview() const { return m_pPreview; }
  CTabCtrl& GetTabCtrl() { return m_tabCtrl; }
  CComboBox& GetStageBox() { return m_stageBox; }

  // The tip file of a tab, as the host's tip callback receives it; the help topic of a tab.
  static const char* TipFile(int tab);
  // Hands a tip file to the host's callback, when one is registered.
  static void ShowRtfTip(const char* file);
  static const char* HelpTopic(int tab);

  // The pages in tab order: variables, control values, system, pre-deformation, loads, results.
  DlgVarDef m_varDlg;
  SubDlg m_skribDlg;  // the document editor, shown on the variables page instead of its grid
  CKolumoSteuDlg m_steuDlg;
  CKolumoSysDlg m_sysDlg;
  CKolumoVorverDlg m_vorverDlg;
  CKolumoloaddlg m_loadDlg;
  CKolumoResultDlg m_resultDlg;
  CDialog* Page(int tab);

  CKolumoData m_data;
  // The position annotation the host exchanges.
  CString m_posAnnotation;
  // The current construction stage; -1 until the stage box was read the first time.
  int m_aktBauZustand = -1;
  // The host's tip-file callback (a handle), registered through the module's interface; 0 for none.
  static int s_showRtfTip;
  // The tab shown before the last page change, shared by every dialog of the module.
  static int s_previousTab;

 protected:
  void OnSelChangeTab(NMHDR* header, LRESULT* result);
  void OnSelChangeStage();
  void ShowTip(int tab) const;
  void OnSize(UINT type, int cx, int cy);
  void Layout();
  LRESULT OnHelp(WPARAM, LPARAM);
  // Every page but the one of the tab stores (TRUE) or shows (FALSE), in the exchange order of that tab.
  void ExchangePage(int tab, BOOL toData);
  // What the preview shows for the tab: the results diagram beside the Y-Z view on the results tab, the side
  // views and the section on every other.
  void PreviewForTab(int tab);
  DECLARE_MESSAGE_MAP()

 private:
  CTabCtrl m_tabCtrl;
  CComboBox m_stageBox;
  CResizeHelper m_resize;
  bool m_layoutRegistered = false;
  CKolumoVorschauDlg* m_pPreview = nullptr;
};
