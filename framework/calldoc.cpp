#include "framework/calldoc.h"

#include "platform/viduv/viduv.h"

int CreateInterfaceCallDoc(const char* action, BOOL warnIfNotImplemented) {
  int document = VIDUV_CreateDoc("dummy");
  if (!document) return 0;
  int root = VIDUV_GetRootElement(document);
  if (!root) return document;
  VIDUV_SetString(root, "action", action ? action : "");
  if (warnIfNotImplemented) VIDUV_SetInt(root, "NotImplementedWarning", 1);
  return document;
}

void AddInterfaceParam(int document, const char* type, int value) {
  int root = VIDUV_GetRootElement(document);
  if (!root) return;
  int count = VIDUV_GetInt(root, "numOfParams");
  int param = VIDUV_AddChildElement(root, "param");
  if (!param) return;
  VIDUV_SetInt(param, "num", count);
  VIDUV_SetString(param, "type", type ? type : "");
  VIDUV_SetInt(param, "value", value);
  VIDUV_SetInt(root, "numOfParams", count + 1);
}

CString GetInterfaceAction(int document) { return CString(VIDUV_GetString(VIDUV_GetRootElement(document), "action")); }

int GetInterfaceNumOfParams(int document) { return VIDUV_GetInt(VIDUV_GetRootElement(document), "numOfParams"); }

void GetInterfaceParam(int document, int index, CString& type, int& value) {
  CString number;
  number.Format("%ld", long(index));
  int param = VIDUV_FindFirstChildWithAttr(VIDUV_GetRootElement(document), "num", number);
  if (!param) return;
  type = VIDUV_GetString(param, "type");
  value = VIDUV_GetInt(param, "value");
}
