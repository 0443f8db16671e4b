// The load hand-over tables of the report come from the support-reaction export
// in its report mode.
#include "column/kolumodata.h"
#include "column/lagerexport.h"
#include "report/bilder.h"

namespace report {

void LastweiterleitungTabellen(CKolumoData& data) { WriteExports(data, data.doc, kReportModus); }

}  // namespace report
