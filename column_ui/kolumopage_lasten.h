// The loads page of the column's input dialog: the loads of the construction stage shown, its load cases with
// their actions, the creep factors of the final system's load cases, and the command that forms the load
// combinations through the actions dialog.
#pragma once

#include <functional>

#include "column/kolumodata.h"
#include "column_ui/kolumoloadgrid.h"
#include "framework_ui/lkdlg.h"
#include "platform/win/afx.h"

class CKolumoloaddlg : public CDialog {
 public:
  enum { IDD = 26015 };
  static constexpr UINT kIdLoadGrid = 26019, kIdLastfallGrid = 26021, kIdKriechGrid = 26024;
  static constexpr UINT kIdKriechLabel = 26064, kIdKriechzahl = 26065;
  static constexpr UINT kIdKombinationen = 26063, kIdLastuebernahme = 26066, kIdManuell = 26069;

  CKolumoloaddlg() : CDialog(IDD) {}
  BOOL OnInitDialog() override;
  // FALSE: the current stage into the grids and controls; TRUE: the grids and controls into the stage.
  void ExchangeData(BOOL toData);
  // The combination code of the generator that goes with a design code; -1 for a code without one.
  static int KombiCode(int iNorm);

  CKolumoData* m_pData = nullptr;
  // The main dialog's current stage (-1 before the stage list was read).
  const int* m_pStage = nullptr;
  // After values were taken over: every page shows the data again (set by the main dialog).
  std::function<void()> m_onValuesImported;

  CString m_kriechzahl = "2.5";
  BOOL m_manuell = FALSE;
  CKolumoLoadGrid m_loadGrid;
  CKolumoLoadKriechGrid m_kriechGrid;
  LastfallGrid m_lastfallGrid;

  void OnKombinationen();
  void OnLastuebernahme();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnKriechzahlChanged();
  void OnManuell();
  void OnSize(UINT type, int cx, int cy);
  int Stage() const;
  DECLARE_MESSAGE_MAP()

 private:
  bool m_filling = false;
  int m_laidOutWidth = 0;  // pixels; the page's width the controls were last laid out for
};
