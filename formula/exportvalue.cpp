#include "formula/exportvalue.h"

#include <cstring>

#include "platform/viduv/viduv.h"

namespace {

void Fill(int element, const char* varName, double value, const char* unit, const char* failure) {
  VIDUV_SetString(element, "varName", varName ? varName : "");
  // An element that keeps its kind (a folder written onto) keeps no number beside a failure, nor a reason beside one.
  if (failure && *failure) {
    VIDUV_DeleteAttr(element, "val");
    VIDUV_SetString(element, "reason", failure);
  } else {
    VIDUV_DeleteAttr(element, "reason");
    VIDUV_SetDouble(element, "val", value);
  }
  VIDUV_SetString(element, "unit", unit ? unit : "");
}

bool Failed(const char* failure) { return failure && *failure; }

bool IsKind(int element, const char* kind) {
  const char* name = VIDUV_GetElementName(element);
  return name && std::strcmp(name, kind) == 0;
}

}  // namespace

int AddExportedValue(int parent, const char* desc, const char* varName, double value, const char* unit,
                     const char* failure) {
  const int element = VIDUV_AddChildElement(parent, Failed(failure) ? kFailedExportedValue : kExportedValue);
  if (!element) return 0;
  VIDUV_SetString(element, "desc", desc ? desc : "");
  Fill(element, varName, value, unit, failure);
  return element;
}

int SetExportedValue(int element, const char* varName, double value, const char* unit, const char* failure) {
  if (!element) return 0;
  const char* other = Failed(failure) ? kExportedValue : kFailedExportedValue;
  if (IsKind(element, other)) {
    // A number must not stay beside a failure, nor a failure beside a number: the element is made anew. Any other
    // element of that desc (a folder) takes the attributes as it is.
    const int parent = VIDUV_GetParentElement(element);
    const CString desc = VIDUV_GetString(element, "desc");
    if (!parent || !VIDUV_DeleteElement(element)) return 0;
    return AddExportedValue(parent, desc, varName, value, unit, failure);
  }
  Fill(element, varName, value, unit, failure);
  return element;
}

CString ExportedFailure(int element) {
  if (!element || !IsKind(element, kFailedExportedValue)) return CString();
  const CString reason = VIDUV_GetString(element, "reason");
  return reason.IsEmpty() ? CString("?") : reason;
}

void RemoveExportedValues(int parent) {
  for (const char* kind : {kExportedValue, kFailedExportedValue})
    for (int value = VIDUV_FindFirstChild(parent, kind); value;) {
      const int next = VIDUV_FindNextChild(value, kind);
      VIDUV_DeleteElement(value);
      value = next;
    }
}
