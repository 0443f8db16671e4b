// A value taken over from another position of the project: the reference to the value in the source position's
// "exports" tree, the variable name it has here, and the last value read. Refreshed from the source whenever the
// variable definitions are read or searched for lost sources.
#pragma once

#include <memory>

#include "formula/vardef.h"
#include "platform/win/afx.h"

class ImportData : public CImportRecord {
 public:
  ImportData() = default;
  // A copy of a record starts with an empty status.
  ImportData(const CImportRecord& other) : CImportRecord(other) {}
  ImportData(const ImportData& other) = default;
  ImportData& operator=(const ImportData& other) = default;

  std::unique_ptr<CImportRecord> Clone() const override;

  // The first part of varPath plus ".tqx" is the source file; every further part (empty ones too) goes to chain.
  static void SplitVarPath(const CString& varPath, CString& fileName, CStringArray& chain);
  // 0 found (or no reference), 1 source file missing or unreadable, 2 value missing, 3 the source's value is no
  // finite number, 4 the source exports it as failed (failure says why, the status stays empty: the source was
  // found); value and unit change only on 0. The source file lies beside positionFile.
  int Update() override;
};

// Makes ImportData the record of every taken-over value of the variable definitions.
void RegisterImportData();
