// The concrete and reinforcing-steel grades of the column, chosen from the material catalogue's lists of the
// design code, and the button that starts the material editor. A choice is stored into the data as it is made.
#pragma once

#include "column/kolumodata.h"
#include "controls/OrmiGridCtrl.h"

class CKolumoSysMateGrid : public COrmiGridCtrl {
 public:
  enum Row { kRowBeton = 0, kRowStahl = 1, kRowEditor = 2 };

  // The catalogue's name of the grade lists of a design code; empty for a code without lists.
  static const char* KatalogNorm(int iNorm);

  void OnCellComboSelect(int row, int col, int item) override;
  void OnButtonClick(int row, int col) override;
  void Layout() override;
  // Either way the data's grades become those a calculation takes under the data's code (a grade the code's list
  // lacks is replaced as the calculation replaces it); FALSE then fills the lists from the catalogue for the code.
  // Other choices are stored as they are made.
  void ExchangeData(BOOL toData);

  CKolumoData* m_pData = nullptr;

 private:
  void AdoptCalculatedGrades();
  void Fill();
  void FillRow(int row, bool concrete, const CString& stored);
};
