// The two grids of the column's loads page: the loads of the construction stage shown, restricted to what a
// column carries, and the creep factor of every load case of the final system.
#pragma once

#include <functional>
#include <vector>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "column/kombidateien.h"
#include "framework_ui/lkdlg.h"
#include "framework_ui/loadgrid.h"

// The most load cases a stage's load-case grid shows: as many as a stage can be calculated with. A load's case
// number beyond it sizes no grid (the grid holds a row per case up to the highest); the load keeps it, and the
// input check refuses it.
constexpr int kMaxLoadCases = kKombiMaxLastfaelle;

// The highest load case of `loads` that a grid shows, 0 for none.
template <class Loads>
int HighestShownLoadCase(const Loads& loads) {
  int highest = 0;
  for (const Load& load : loads)
    if (load.lc <= kMaxLoadCases && load.lc > highest) highest = load.lc;
  return highest;
}

class CKolumoLoadGrid : public LoadGrid {
 public:
  void Layout() override;
  void OnCellChanged(int row, int col, int type) override;
  // A value the calculation's input check refuses for the load (where it lies, its length, its values), with the
  // check's message.
  CString RefusedFormula(int row, int col, const CFormulaNumber& typed) override;
  // A row is a load: "Last 3, Länge".
  CString CellName(int row, int col) const override;
  // No line or point load beyond those a stage is calculated with.
  CString RefusedNewLoad(const Load& load) override;
  void OnCellContextMenu(int row, int col, int command) override;
  void OnValueImported() override;
  void OnLoadsChanged() override;
  void InitNewLoad(int index) override;
  void SetColumnTitles(int loadIndex) override;
  // TRUE: the grid's loads become the current stage's; FALSE: the stage's loads fill the grid.
  void UpdateGrid(BOOL toData) override;

  // One node at the start of every field: node 1 at 0, node k at the sum of the lengths of fields 1..k-1.
  static std::vector<double> FieldNodes(CKolumoData& data);

  CKolumoData* m_pData = nullptr;
  // The main dialog's current stage (-1 before the stage list was read).
  const int* m_pStage = nullptr;
  // The load-case grid of the page; it follows the highest load case of the stage.
  LastfallGrid* m_pLastfallGrid = nullptr;
  // The variables page moves the data into its controls after a value was taken over.
  std::function<void()> m_onVariablesChanged;

 private:
  int Stage() const;
  int HighestLoadCase() const;
  // The stage's highest load case becomes `highest`; the load-case grid follows.
  void SetMaxLoadCase(int stage, int highest);
  void ShowLoadCases(int stage);
};

class CKolumoLoadKriechGrid : public COrmiGridCtrl {
 public:
  void Layout() override;
  void InitRow(int row) override;
  void OnCellChanged(int row, int col, int type) override;
  // FALSE: one row per load case of the final system (missing creep entries are made); TRUE: only redraws.
  void UpdateGrid(BOOL toData);
  // Every creep entry takes the coefficient of the text (',' read as '.').
  void SetCreepNumber(const CString& text);
  void SetTitles();

  CKolumoData* m_pData = nullptr;
  CString m_kriechzahl = "2.5";

  // A text as a number, ',' read as '.'; 0 for what is no number.
  static double ReadNumber(const CString& text);
};
