// The calculation driver: one position document in, its results written back. It reads the column, writes the
// combination files, loads the engine with the system, runs a characteristic first-order pre-run and the design
// run, collects the results into the position's result records, writes the document and removes its temporary
// files on every path.
#pragma once

#include <string>

#include "engine/input.h"
#include "platform/win/base/afxcoll.h"
#include "platform/win/base/afxstr.h"

class CKolumoData;

// Line loads (uniform and trapezoidal) and point loads one construction stage is calculated with; a stage with
// more is refused.
inline constexpr int kMaxLineLoadsPerStage = 200;
inline constexpr int kMaxPointLoadsPerStage = 200;

// Calculates the position document; success is the new "result" element in it. Failures are shown as messages
// and leave the document as it was. Returns 1.
int Calculate(int document);

// The body of the module's export calcFunc: Calculate, with nothing thrown across the module's C boundary (a
// failure is shown as a message, and a write-back it cut short leaves no "result" element). The flag is not used.
// Returns 1; 0 when the calculation ran short of memory.
int KolumoCalc(int document, int flag);

// The engine's input of the column: fields from the foot up in the engine's units, the grades the calculation
// takes, and the supports and loads of the stages whose flag is set; combination files are named from `basis`.
engine::ColumnInput ColumnInputOf(CKolumoData& data, const std::string& basis, const int stageFlags[4]);

// Loads the engine with the column through its entry, for the design run's passes or for the first-order run (a
// characteristic pre-run, or an estimate of the work arrays). Returns 1 when the calculation must stop (the reason
// has been shown), 0 otherwise.
int PrepareSystem(CKolumoData& data, const std::string& basis, const int stageFlags[4], bool designPasses = false);

// The grade a calculation takes for the concrete or the steel of the column: the named one when it is among the
// first names of the code's list in the catalogue (30 concrete, 20 steel). A concrete the list lacks takes the
// list's third entry. A steel the list lacks takes the grade the catalogue renames it to under the code, else one
// of the same or lower ductility (the least ductile when its own is unknown), never a more ductile one.
struct UsedGrade {
  int index = 0;          // the engine's grade index: the position in the list of the grade taken
  CString name;           // the grade taken; the given name when the code has no list
  bool replaced = false;  // the given name is not among the list's names
  int listSize = 0;       // names GradesOfCalculation gives (0: the catalogue has none for the code)
  const char* norm = "";  // the code's name in the catalogue
};
UsedGrade GradeOfCalculation(int iNorm, bool concrete, const CString& given);
// The code's list of concrete or steel grades in the catalogue's order (its empty slots kept), as far as a
// calculation reaches into it: the names GradeOfCalculation takes as they are named. Empty for a code without one.
void GradesOfCalculation(int iNorm, bool concrete, CStringArray& list);
