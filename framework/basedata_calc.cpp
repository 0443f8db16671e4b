// The calculation road and output of a position: slots of BaseData that the calculate-and-store road and the
// generic results fill in. Until then a position is not calculated from here and shows no output.
#include "framework/basedata.h"
#include "platform/viduv/viduv.h"

void BaseData::CalcAndStore(CCalcAndStoreResult& result, BOOL, BOOL) { result = CCalcAndStoreResult{}; }

void BaseData::SilentCalc() {}

void BaseData::ShowOutput(CWnd*) {}

void BaseData::OpenOutput() {}

void BaseData::RecalcAndOpenOutput() {}

void BaseData::ReadResults(int document) {
  resultEntries.RemoveAll();
  resultMessage.Empty();
  int result = VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "result");
  if (result) resultMessage = VIDUV_GetString(result, "message");
}
