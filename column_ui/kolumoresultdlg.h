// The results tab of the column's input dialog: the combinations of the selected construction stage grouped by
// verification, the result quantities that were calculated for the chosen one, and the chosen quantity drawn along
// the column with its largest and smallest value (the preview's Y-Z view draws it). It only reads what the last
// calculation stored.
#pragma once

#include <map>
#include <vector>

#include "column/kolumodata.h"
#include "platform/win/afx.h"

class CKolumoResultDlg : public CDialog {
 public:
  enum { IDD = 26004 };
  static constexpr UINT kIdErgebnisBaum = 26005;
  static constexpr UINT kIdKombiBaum = 26006;
  static constexpr UINT kIdText = 26007;
  static constexpr UINT kIdAusgabe = 26009;

  CKolumoResultDlg() : CDialog(IDD) {}

  BOOL OnInitDialog() override;
  // FALSE: the trees are built afresh from the data (selecting the stage's first "Ed" combination) and the page is
  // redrawn; TRUE: the text is read back.
  BOOL ExchangeData(BOOL saveAndValidate);

  // The combination tree of the data's current stage; with selection the first "Ed" combination is chosen.
  void BaueKombiBaum(bool mitAuswahl);
  // The result tree of the current kind and combination; with selection the normal force is chosen.
  void BaueErgebnisBaum(bool mitAuswahl);
  // Fills the diagram from the chosen quantity (the empty state when there is none) and draws it.
  void ZeigeErgebnis();
  // The empty state for results that no longer belong to the input: no combinations, no quantities, no diagram.
  void ShowNoResults();

  CTreeCtrl m_kombiBaum;
  CTreeCtrl m_ergebnisBaum;
  CString m_text;
  int m_art = 0;
  int m_nummer = 0;  // as the combination tree shows it
  int m_satzLK = 0;  // the records' number of that combination
  BOOL m_punktWerte = FALSE;
  CString m_titel;
  std::vector<double> m_stationen;
  std::vector<double> m_werte;
  double m_max = 0.0, m_min = 0.0;
  int m_code = 0;  // the quantity shown, 0 for none
  CKolumoData* m_pData = nullptr;
  const int* m_pStage = nullptr;  // the main dialog's stage; the data's own when absent

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnSelChangedKombi(NMHDR* header, LRESULT* result);
  void OnSelChangedErgebnis(NMHDR* header, LRESULT* result);
  void OnAusgabe();
  DECLARE_MESSAGE_MAP()

 private:
  int Stufe() const;
  std::map<int, int> m_kombiLK;  // combination item code -> record number
  bool m_baut = false;           // selections made while building are not the engineer's
};
