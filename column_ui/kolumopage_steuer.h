// The control values page of the column's input dialog: design code, column type and the buttons that open the
// general, output and fire settings. It edits what all construction stages share.
#pragma once

#include "column/kolumodata.h"
#include "platform/win/afx.h"

class CKolumoSteuDlg : public CDialog {
 public:
  enum { IDD = 26013 };
  static constexpr UINT kIdNormDin = 26023, kIdNormEc2 = 26025, kIdNormSia = 26027, kIdNormNa = 14328;
  static constexpr UINT kIdOrtbeton = 26024, kIdFertigteil = 26026;
  static constexpr UINT kIdLand = 14329;
  static constexpr UINT kIdAllgemein = 26029, kIdNumAus = 26031, kIdGrafAus = 26033, kIdBrand = 26036;
  static constexpr UINT kIdBildDin = 26034, kIdBildEc2 = 26035, kIdBildSia = 26037, kIdBildNaDe = 26038,
                        kIdBildNaAndere = 26039;

  CKolumoSteuDlg();
  BOOL OnInitDialog() override;
  // FALSE: the data into the controls; TRUE: the controls into the data. The pictures and the fire button
  // follow the code shown either way.
  void ExchangeData(BOOL toData);

  CKolumoData* m_pData = nullptr;
  int m_norm = 0;  // 0 DIN 1045-1, 1 EC2, 2 SIA 262, 3 EC2 with a national annex
  int m_typ = 0;   // 0 cast in place, 1 precast
  int m_land = 0;  // national annex: 0 Germany, 1 France, 2 United Kingdom

  // The settings dialogs behind the four buttons; each receives the data and writes into it itself. Unset
  // entries leave the button without effect.
  struct Openers {
    void (*allgemein)(CKolumoData&) = nullptr;
    void (*numerisch)(CKolumoData&) = nullptr;
    void (*grafisch)(CKolumoData&) = nullptr;
    void (*brand)(CKolumoData&) = nullptr;
  };
  static Openers s_openers;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnAuswahl() { ExchangeData(TRUE); }
  void OnLandChange();
  void Open(void (*opener)(CKolumoData&)) {
    if (opener && m_pData) opener(*m_pData);
  }
  void OnAllgemein() { Open(s_openers.allgemein); }
  void OnNumAus() { Open(s_openers.numerisch); }
  void OnGrafAus() { Open(s_openers.grafisch); }
  void OnBrand() { Open(s_openers.brand); }
  void Show(UINT id, bool show);
  // The picture of the chosen code, the country list and the fire button (only the codes with a fire check).
  void ShowCode();
  DECLARE_MESSAGE_MAP()
};
