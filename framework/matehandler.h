// The material handler: the one gateway to the material catalogue. It lists categories, subcategories,
// design codes and materials of the standard and the user material database in priority order, fetches
// the property set of one material with its formulas evaluated (the last one kept as a one-entry cache),
// and runs the outside material editor.
#pragma once

#include "platform/win/afx.h"

// The property set of one material.
class CMateProps {
 public:
  CMateProps();
  CMateProps(const CMateProps& other);
  CMateProps& operator=(const CMateProps& other);
  virtual ~CMateProps() = default;

  // The value text of a property; empty when the material has none of that short name.
  CString GetValue(const char* key) const;
  void SetValue(const char* key, const char* text);

  CMapStringToString m_values;    // Kurzname -> Wert01
  CMapStringToString m_formulas;  // Kurzname -> Formel, only non-empty formulas
  int m_bUser = 0;                // 1 when found in the user database
  int m_element = 0;              // the Objekt element; 0 when none
  CArray<int, int> m_properties;  // every Eigenschaft element read, in reading order
  int m_priority = 1;             // the object's Prioritaet; a loaded record without one has -1
};

class CMateHandler {
 public:
  // Opens both databases; a standard database that is missing or unreadable, or a user database that
  // exists but is unreadable, is reported once in a message box.
  CMateHandler();
  virtual ~CMateHandler();
  CMateHandler(const CMateHandler&) = delete;
  CMateHandler& operator=(const CMateHandler&) = delete;

  void OpenStandardDB(BOOL bOpen);
  void OpenUserDB(BOOL bOpen);

  // Names ordered by priority; slots of unused priorities stay empty. Each returns the list size.
  int GetKategorien(CStringArray& out);
  int GetUnterkategorien(const char* kat, CStringArray& out);
  int GetNormen(const char* kat, const char* ukat, CStringArray& out);
  int GetObjekte(const char* kat, const char* ukat, const char* norm, CStringArray& out);

  // The material's property set into out (empty when there is none). The object name may be renamed in
  // place (older rebar grade names under the EC2 codes).
  CMateProps& GetMaterial(CMateProps& out, const char* kat, const char* ukat, const char* norm, CString& objekt);
  // The same for a path "kat\ukat\norm\objekt".
  CMateProps& GetMaterial(const char* path, CMateProps& out);

  // Runs the material editor on that material and reads the databases again when it has ended. A missing
  // editor program is reported and changes nothing.
  void MateEdit(const char* kat, const char* ukat, const char* norm, CString& objekt, BOOL bOrmiMode);

  static CString CorrectNormName(const char* norm);
  static void CorrectRebarGradeName(const char* kat, const char* ukat, const char* norm, CString& objekt);

 private:
  void ListByPriority(int level, const char* kat, const char* ukat, CStringArray& out);
  void LoadRecord(CMateProps& record, int element, int bUser);
  void ReportOpenFailure();
  // The faults of the values the database's formulas give, as one message; empty when all are sound.
  CString FormulaFaults(int root, int bUser);
  // Opens one database and refuses it when its formulas give values that make no sense.
  void Open(int& handle, int (*open)(), const char* path, int bUser);
  void SetHandle(int& handle, int value);

  CMateProps m_cache;
  CString m_cacheKey;
  int m_databases[3] = {0, 0, 0};  // standard root, user root, terminating 0
};

// The module's one material handler, built on first use and destroyed at unload.
CMateHandler& GetMateHandler();
