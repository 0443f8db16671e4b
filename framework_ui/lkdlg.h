// The editors of a position's load combination data: the actions grid and the
// dialog that forms the combinations from it, the dialog that shows (or, by
// hand, edits) the combinations formed, and the load-case grid a module's loads
// page derives from.
#pragma once

#include <memory>

#include "controls/OrmiGridCtrl.h"
#include "framework/lkdata.h"
#include "platform/win/afx.h"

// Dialog templates and control ids.
enum : UINT {
  IDD_LKDLG = 510,
  IDD_KOLLEKTIVDLG = 511,
  IDC_LK_GRID = 25058,
  IDC_LK_GAMMA_INF = 11110,
  IDC_LK_GAMMA_SUP = 11111,
  IDC_LK_HOEHE = 11129,
  IDC_LK_HOEHE_LABEL = 11130,
  IDC_LK_ANSEHEN = 11054,
  IDC_LK_ERZEUGEN = 11055,
  IDC_KOLLEKTIV_GRID = 25059,
};

// The actions of a CLKData, one per row, and an empty last row for a new
// action.
class EinwirkungGrid : public COrmiGridCtrl {
 public:
  enum Col { kNr = 1, kLastfaelle, kGruppe, kKategorie, kKLED, kNichtAufteilen, kAlternativ, kBeiwerte, kCols };

  void SetData(CLKData* data) { m_pData = data; }
  void Layout() override;
  void InitRow(int row) override;
  // fromGrid: the rows become the data's actions; else the data's actions fill
  // the rows.
  void ExchangeData(BOOL fromGrid);
  void OnCellChanged(int row, int col, int type) override;
  void OnCellClick(int row, int col) override;
  void OnCellContextMenu(int row, int col, int command) override;
  BOOL PasteMakesRow(int col, const CString& text) override;
  BOOL HasEntryRow() const override { return TRUE; }
  CString NewRowsName(int count) const override;

  // The group of a row changed to list position g; filling: the grid is being
  // filled, no defaults are set.
  void OnGruppeChanged(int row, int g, bool filling);
  void OnKategorieChanged(int row, int c);

 private:
  void LockRow(int row, bool readonly, int generatorGroup);
  bool RowHasContent(int row, int col);
  CLKData* m_pData = nullptr;
  bool m_filling = false;
  // Refilling while the dialog is open keeps actions no load case uses yet:
  // they were just typed.
  bool m_keepUnused = false;
};

// The combinations of a CLKData: read-only unless they are edited by hand.
class KollektivGrid : public COrmiGridCtrl {
 public:
  enum Col { kNr = 1, kNachweis, kRegel, kCols };

  void SetData(CLKData* data) { m_pData = data; }
  void Layout() override;
  void InitRow(int row) override;
  void ExchangeData(BOOL fromGrid);
  void OnCellChanged(int row, int col, int type) override;
  void OnCellContextMenu(int row, int col, int command) override;
  BOOL PasteMakesRow(int col, const CString& text) override;
  BOOL HasEntryRow() const override { return TRUE; }
  CString NewRowsName(int count) const override;

 private:
  bool Manual() const { return m_pData && m_pData->manuelleKombinationen; }
  CLKData* m_pData = nullptr;
  bool m_filling = false;
};

class KollektivDlg : public CDialog {
 public:
  explicit KollektivDlg(CLKData* data, CWnd* parent = nullptr);
  KollektivGrid m_grid;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  CLKData* m_pData;
  DECLARE_MESSAGE_MAP()
};

class LKDlg : public CDialog {
 public:
  explicit LKDlg(CWnd* parent = nullptr);
  ~LKDlg() override;

  // The data edited in place; the owner sets it before the dialog opens and
  // assigns it to the copy.
  CLKData* m_pData = nullptr;
  // Taken before the dialog opens; assigned back to the edited data on cancel.
  std::unique_ptr<CLKData> m_pCopy = std::make_unique<CLKData>();
  // The combinations are edited by hand (the owner's setting, as the data's
  // switch).
  bool m_bManuell = false;
  // The view button formed the combinations in this dialog: OK does not form
  // them again.
  bool m_bKombisGebildet = false;

  EinwirkungGrid m_grid;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void OnAnsehen();
  void OnErzeugen();
  // Reads the option controls into the data; false, with a message and nothing
  // taken, when the height is no number.
  bool TakeOptions();
  void ShowKollektive();

  BOOL m_bGammaInf = FALSE;
  BOOL m_bGammaSup = FALSE;
  CString m_strHoehe;
  DECLARE_MESSAGE_MAP()
};

// The load cases and their actions; in mode 1 the action is one of two named
// kinds.
class LastfallGrid : public COrmiGridCtrl {
 public:
  enum Col { kLastfall = 1, kEinwirkung, kCols };

  void SetData(CLKData* data) { m_pData = data; }
  void Layout() override;
  void InitRow(int row) override;
  void ExchangeData(BOOL fromGrid);
  void SetNumLastfaelle(int n);
  // A load case without its action is no load case the calculation knows: an emptied action is refused.
  CString RefusedEmptied(int row, int col) override;
  // A row is a load case: "Lastfall 2, Einwirkung".
  CString CellName(int row, int col) const override;

 protected:
  void Renumber();
  CLKData* m_pData = nullptr;
};
