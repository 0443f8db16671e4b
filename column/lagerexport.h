// The column's support reactions as exported values of its position ("exports"): characteristic reactions per
// support and action group, their extremal superposition, and the design reactions of every combination. Other
// positions take them over as loads or single values. In report mode the per-group and extremal blocks are also
// printed as tables into the open RTF report. Units: kN, kNm.
#pragma once

#include "platform/win/afx.h"

class CKolumoData;

enum : int { kExportModus = 0, kReportModus = 1 };

// Replaces the column's reaction folders under the root's "exports" of `document` (values the common part wrote
// there stay) and, while the calculation writes its results with the foundation option set, writes the
// foundation position. `mode` kReportModus also prints the tables; any other value is export mode.
void WriteExports(CKolumoData& data, int document, int mode);

// A reaction block is printed as one table: its force part and, for x and y, the moment part under it.
enum : int { kKraftTeil = 0, kMomentTeil = 1, kReactionColumns = 8 };

// Opens one reaction table in the open report and writes its three header lines; direction 0 x, 1 y, 2 z; teil
// kKraftTeil for the force A, kMomentTeil for the moment Am.
void WriteReactionTableHeader(int direction, int teil);
// The three header lines of a part as the table's header rows (header) or, bold, as rows within its body.
void WriteReactionHeaderLines(int direction, int teil, bool header);

// The position file's name without its ".tqx" (any case); a name without that extension is kept whole.
CString PositionBasePath(const char* fileName);
