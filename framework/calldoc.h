// The interface call document: one small in-memory XML document that carries a call between the host and a
// module (or between modules): an action name and numbered, typed parameters. Pointers travel as handles
// (platform/win/base/handles.h); a parameter is valid only for the duration of the call.
#pragma once

#include "platform/win/afx.h"

// A new document with root "dummy" and its "action"; with warnIfNotImplemented the receiver reports an action it
// does not know ("NotImplementedWarning" = 1). 0 when the document cannot be made.
int CreateInterfaceCallDoc(const char* action, BOOL warnIfNotImplemented);
// Appends parameter number "numOfParams" with its type code ("int", "BOOL", "CWnd*", "CString*", ...) and value.
void AddInterfaceParam(int document, const char* type, int value);
// The action; empty without a root.
CString GetInterfaceAction(int document);
// "numOfParams"; 0 without a root.
int GetInterfaceNumOfParams(int document);
// Type and value of parameter `index`; both are left as they were when there is no such parameter.
void GetInterfaceParam(int document, int index, CString& type, int& value);
