// The foundation restraint of the column foot: soil, stiffness modulus, Poisson's ratio and footing size give the
// five foundation springs. The values travel as texts; the dialog reads them from the column data and writes back
// only what the engineer changed, so that OK without a change leaves the data as it was.
#pragma once

#include "column/kolumodata.h"
#include "platform/win/afx.h"

namespace fundament {

constexpr int kBoeden = 17;
struct Boden {
  const char* name;
  int esMin, esMax;  // kN/m²
};
extern const Boden kBodenListe[kBoeden];

// The subgrade modulus (kN/m³) of a footing with sides a >= b (m) on a layer of depth d (m) with modulus es;
// false (and ks untouched) when the ratios fall outside every row or column.
bool Bettungsziffer(double a, double b, double d, double es, double& ks);
// The shape factor of the horizontal springs at side ratio r.
double Beta(double r);

struct Federn {
  double cz = 0, cx = 0, cy = 0, cmx = 0, cmy = 0;
};
// The springs of a footing bx x by (m) on soil es (kN/m²) with Poisson's ratio nue. The caller has checked the
// input (CheckEingabe); without a subgrade modulus cz uses 1000 kN/m³ and *ohneBettung is set.
Federn Berechne(double bx, double by, double es, double nue, bool* ohneBettung = nullptr);
// Why the input cannot give springs, or empty when it can.
CString CheckEingabe(double bx, double by, double es, double nue);

}  // namespace fundament

class CPyloFundDlg : public CDialog {
 public:
  enum { IDD = 11216 };
  enum : UINT {
    kIdNue = 14299,
    kIdEs = 14300,
    kIdBoden = 14301,
    kIdCz = 14307,
    kIdBx = 14305,
    kIdBy = 14306,
    kIdHoehe = 14308,
    kIdCx = 14311,
    kIdCmx = 14312,
    kIdCy = 14313,
    kIdCmy = 14314,
    kIdBerechnen = 11266,
    kIdFudPos = 11267,
    kIdFaktor = 11268,
  };

  explicit CPyloFundDlg(CWnd* parent = nullptr);

  // The data's values as the dialog's texts, and back: a text the engineer did not touch keeps the stored value.
  void FromData(const CKolumoData& data);
  void ToData(CKolumoData& data) const;

  // Runs the dialog on the data; true when the engineer took the values (the data changes only then).
  static bool Bearbeite(CKolumoData& data, CWnd* parent);

  BOOL OnInitDialog() override;
  void OnOK() override;

  int m_boden = -1;
  CString m_es, m_nue, m_bx, m_by, m_hoehe, m_cz, m_cx, m_cy, m_cmx, m_cmy, m_faktor;
  int m_fudPos = 0;
  // Springs the engineer may edit.
  BOOL m_editCx = TRUE, m_editCy = TRUE, m_editCz = TRUE, m_editCmx = TRUE, m_editCmy = TRUE;

 protected:
  void OnSelChangeBoden();
  void OnBerechnen();
  void Show();
  void Read();
  DECLARE_MESSAGE_MAP()

 private:
  // The texts as FromData made them.
  CString m_initial[11];
  int m_initialBoden = -1;
};
