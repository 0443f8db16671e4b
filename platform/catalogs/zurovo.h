// ZURovo: the material library. It opens the two material databases, the standard one shipped with the
// installation and the user's own, and hands back the root element of each as an element handle of the
// XML document library (platform/viduv), under which the material tree stands:
//   Kategorie (Name, Prioritaet) > Unterkategorie > Norm > Objekt, with Eigenschaft elements (Name, Kurzname,
//   Wert01, Formel, Einheit) under the objects or any level above them.
// Files: "<root>/catalogs/material.xml" (standard) and "<root>/userMaterial.xml" (user), <root> being the
// installation root (win::InstallRoot). The format is described in data/catalogs/README.md.
#pragma once

#if defined(__GNUC__)
#define ZUROVO_API __attribute__((visibility("default")))
#else
#define ZUROVO_API
#endif

extern "C" {

// Root element of the standard / user database, 0 when it is not available. A missing user database is
// not an error; a missing standard database, or either file unreadable or not a material database, leaves
// a message for ZUROVO_GetLastError, and so does a value that makes no sense (a strength, modulus, unit weight or
// partial factor at or below zero, text where a number belongs): such a database is not opened. The document stays open until ZUROVO_Close.
ZUROVO_API int ZUROVO_OpenStandard(void);
ZUROVO_API int ZUROVO_OpenUser(void);
// Closes the database whose root element is given. 1 when it was open.
ZUROVO_API int ZUROVO_Close(int root);
// 1 when a property of the open database whose root element is given has a formula (its value is only known once
// the material handler evaluates it), 0 when none has or the database is not open.
ZUROVO_API int ZUROVO_HasFormulas(int root);
// The message of the last failed open (German, with the file path); "" when the last open had no fault.
ZUROVO_API const char* ZUROVO_GetLastError(void);
// The fault of a property's value as the opens judge it ("fck = 0 muss größer als 0 sein."); "" when the value
// is sound. For values that formulas give, which only the material handler evaluates.
ZUROVO_API const char* ZUROVO_CheckValue(const char* key, const char* text);
// The files the two opens read.
ZUROVO_API const char* ZUROVO_GetStandardPath(void);
ZUROVO_API const char* ZUROVO_GetUserPath(void);
}
