// The input table of the loads of a member system: one row per load, whose editable cells, column titles and
// display units follow the load's type and whether it acts in a single direction; typing into the empty last
// row appends a load; a context menu deletes and copies loads. Modules derive from it to restrict the types,
// hide columns and move the loads into and out of their own data.
#pragma once

#include <vector>

#include "controls/OrmiGridCtrl.h"
#include "framework/load.h"

class BaseData;

class LoadGrid : public COrmiGridCtrl {
 public:
  static constexpr int kCols = 17;
  enum Column {
    kColAction = 1,
    kColCases = 2,
    kColText = 3,
    kColType = 4,
    kColNode = 5,
    kColOffset = 6,
    kColLength = 7,
    kColEy = 8,
    kColEz = 9,
    kColDirection = 10,
    kColValue0 = 11,
  };
  enum Command { kCmdDelete = 1, kCmdCopy = 2, kCmdImport = 3 };

  LoadGrid();

  // What a load of a type shows: the title of column 7, the titles, display formats ("" none) and editable
  // mask ('1' editable, one character per column) of the value columns. A direction outside 0-2 titles the
  // direction-bound values "---".
  static CString LengthTitle(int type);
  static CString ValueTitle(int type, bool single, int direction, int value);
  static CString ValueFormat(int type, bool single, int value);
  static const char* EditMask(int type, bool single);

  int LoadCount() const { return int(loads.size()); }
  void SetLoadCount(int n);
  // Node texts are format(node number from 1, value).
  void SetNodeList(LPCTSTR format, const std::vector<double>& values);
  // TRUE: the focus cell goes into its load; FALSE: every row is rebuilt from the loads.
  virtual void UpdateGrid(BOOL focusCellOnly);
  virtual void SetColumnTitles(int loadIndex);
  virtual void InitRowCells(int row);

  // The position of a type (direction) in its combo among the allowed ones, and back; -1 when not allowed.
  int TypeToCombo(int type) const;
  int ComboToType(int index) const;
  int DirectionToCombo(int direction) const;
  int ComboToDirection(int index) const;

  // ---- grid hooks
  void Layout() override;
  void InitRow(int row) override;
  void OnCellChanged(int row, int col, int type) override;
  void OnCellContextMenu(int row, int col, int command) override;
  void OnFocusCellChanged(int row, int col) override;
  void OnCellComboSelect(int row, int col, int item) override;
  void OnPasted() override;
  BOOL PasteMakesRow(int col, const CString& text) override;
  BOOL HasEntryRow() const override { return TRUE; }
  int RoomForRows(int wanted, CString& why) override;
  CString NewRowsName(int count) const override;

  // ---- hooks of derived grids
  virtual CString DisplayFormat(int row, int col, const CString& format) { return format; }
  virtual void OnLoadsChanged() {}
  virtual void InitNewLoad(int index) {}
  virtual void OnRowCellsSet(int row) {}
  // A value was taken over from another position into a cell.
  virtual void OnValueImported() {}
  // The reason the grid takes no further load like `load` (the position holds no more), naming the load it would
  // be; empty to take it. Asked for the load a value in the entry row makes and for a copy.
  virtual CString RefusedNewLoad(const Load& load) { return CString(); }

  std::vector<Load> loads;
  int allowedTypes[Load::kLoadTypeCount] = {};
  int allowedDirections[Load::kDirectionCount] = {1, 1, 1};
  std::vector<double> nodeValues;
  CString nodeFormat = "%d: %.2lf m";
  CStringArray actionNames;
  CString titles[kCols];
  int numericActions = 0;            // 1: the action is typed as a number, 0: chosen by name
  int loadCasesEditable = 0;         // 0: the load-case column is read-only
  double selfWeightDefault = 12.34;  // the first value of a load that becomes self weight
  void* ownerData = nullptr;
  // The position whose variable definitions take over values from other positions; nullptr: no value import.
  BaseData* importTarget = nullptr;

 protected:
  void FillRow(int row);
  // Stores one cell into its load; TRUE when the load changed.
  BOOL StoreCell(int row, int col);
  void BuildContextMenu();
  // OnLoadsChanged now, or once after the paste that runs.
  void LoadsChanged();
  // The value-import dialog for the cell; on OK the cell refers to the value by its variable name.
  void ImportValue(int row, int col);
};
