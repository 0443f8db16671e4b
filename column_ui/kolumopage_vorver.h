// The pre-deformation page of the column's input dialog: how the imperfection of the column is taken into account
// in the construction stage shown. Every change is stored into the stage's record at once.
#pragma once

#include <map>

#include "column/kolumodata.h"
#include "controls/FieldRefusal.h"
#include "platform/win/afx.h"

class CKolumoVorverDlg : public CDialog {
 public:
  enum { IDD = 26028 };
  static constexpr UINT kIdArt0 = 26039, kIdArt1 = 26040, kIdArt2 = 26041, kIdArt3 = 26042;
  static constexpr UINT kIdGruppeArt = 26063, kIdGruppeDetail = 26064;
  static constexpr UINT kIdDirekt = 26043, kIdUmX = 26044, kIdUmY = 26045, kIdLabelX = 26046, kIdLabelY = 26047;
  static constexpr UINT kIdErklResultierend = 26048, kIdEinheitX = 26049, kIdEinheitY = 26050;
  static constexpr UINT kIdResultierend = 26051, kIdAusmitteModus = 26052, kIdBild = 26053;
  static constexpr UINT kIdErklAusmitte = 26054, kIdTeiler = 26055, kIdAusmitte = 26056, kIdEinheitCm = 26057;
  static constexpr UINT kIdLabelTeiler = 26058, kIdLabelAusmitte = 26059, kIdLabelBezug = 26060;
  static constexpr UINT kIdBezug = 26061, kIdTransportHinweis = 26062;
  // What the calculation takes of the inclination of the resulting direction (shown with that field).
  static constexpr UINT kIdAngesetzt = 26065;

  CKolumoVorverDlg() : CDialog(IDD) {}
  BOOL OnInitDialog() override;
  // FALSE: the current stage's record into the controls (a construction stage's first visit takes the final
  // system's settings first); TRUE: the controls into the bound members only.
  void ExchangeData(BOOL toData);
  // The controls into the current stage's record; false, storing nothing, when a number field holds no number
  // (that field and why are kept for the box).
  bool Store();
  // Return in a field takes the field first: a refused entry keeps the dialog open on it.
  BOOL PreTranslateMessage(MSG* msg) override;

  CKolumoData* m_pData = nullptr;
  // The main dialog's current stage (-1 before the stage list was read).
  const int* m_pStage = nullptr;

  int m_art = 0;
  int m_direkt = 1;
  CString m_umx = "-0.500", m_umy = "0.500", m_resultierend = "0.500";
  int m_ausmitteModus = 1;
  CString m_teiler = "200";
  CString m_ausmitte = "2.00";
  CKolumoVorver m_vorver;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnChange();
  void OnBezug();
  void Show(UINT id, bool show);
  void ShowNeigung();
  void ShowAusmitte();
  // The applied values as the fields show them: the inclination 1/n in %, the eigenmode divisor n.
  CString NeigungText() const;
  CString TeilerText();
  // The name a refusal box gives the field.
  static CString FieldName(UINT id);
  // Stores what the page shows and shows what was stored; a refused entry gets its box. False when refused.
  bool StoreShown();
  // While the page lays out its controls: each one's last word, applied at the end (a field hidden and shown
  // again on the way would lose the focus a click is giving it).
  std::map<UINT, bool>* m_pShowing = nullptr;
  // A field hidden while it has the focus loses it: that is no entry, and storing it would put what the controls
  // still show into the record being shown.
  bool m_bLayingOut = false;
  UINT m_refusedId = 0;
  CString m_refusal;
  CFieldRefusal m_refusing;
  DECLARE_MESSAGE_MAP()
};
