// The cross-section of one field: shape, reinforcement layout, dimensions, offsets, cover, reinforcement, strut
// inclination and subdivision in one two-column grid. A value the calculation would refuse is refused where it is
// typed; every finished edit checks the values against the design code's minimum dimensions and reinforcement and
// offers a correction; the caller's cross-section changes on OK only.
#pragma once

#include <array>
#include <vector>

#include "column/kolumodata.h"
#include "controls/OrmiGridCtrl.h"
#include "platform/win/afx.h"

class CKolumoQuerGrid : public COrmiGridCtrl {
 public:
  enum Row { kTyp = 0, kBewTyp = 1, kErste = 2, kRows = 11 };

  void Layout() override;
  // FALSE shows the copy, TRUE stores the cells into it with the checks.
  BOOL ExchangeData(BOOL save);
  void OnCellComboSelect(int row, int col, int item) override;
  void OnCellChanged(int row, int col, int type) override;
  // A value the calculation's input check refuses, with the check's message.
  CString RefusedFormula(int row, int col, const CFormulaNumber& typed) override;

  CKolumoQuer m_quer;
  int m_fertigteil = 0;
  int m_norm = 0;
  // The position and the field the section belongs to: a value the calculation's input check refuses is refused
  // as its cell is left, with the check's message.
  CKolumoData* m_data = nullptr;
  int m_field = 0;

 private:
  void Show();
  void Store();
  void StoreTeilung(int row);
  void CheckBewehrung();
  // A question is asked when the values it is about change, once: not again at each later edit or on OK after "Nein",
  // nor for values the dialog opened with.
  enum Frage { kFrageTyp, kFrageSeite, kFrageBewehrung, kFragen };
  std::vector<double> Werte(Frage frage);
  bool Neu(Frage frage) { return Werte(frage) != m_gesehen[frage]; }
  void MerkeWerte();
  std::array<std::vector<double>, kFragen> m_gesehen;
  // A translated Yes/No question; true on Yes.
  bool Ask(const CString& text);
  CString Tr(const char* text) const;
};

class CKolumoQuerDlg : public CDialog {
 public:
  enum { IDD = 26011, kIdGrid = 26017, kIdSkizze = 26032 };

  explicit CKolumoQuerDlg(CWnd* parent = nullptr);
  ~CKolumoQuerDlg() override;

  // Runs the dialog on the cross-section of a field with the position's precast flag and design code; true
  // when the engineer took the values.
  static bool Bearbeite(CKolumoData& data, int field, CWnd* parent);
  // The same on a copy of the field's section that the caller holds (a page not yet stored into the data).
  static bool Bearbeite(CKolumoData& data, int field, CKolumoQuer& quer, CWnd* parent);

  BOOL OnInitDialog() override;
  void OnOK() override;
  virtual void ExchangeData(BOOL save);

  CKolumoQuerGrid m_grid;

 private:
  HBITMAP m_skizze = nullptr;
};
