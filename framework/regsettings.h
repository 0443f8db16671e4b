// The suite's user settings: project folder and last project, the user's name, the default design code, the
// host window's layout, report header lines, and further named values that other parts keep in the registry.
// One global instance reads everything when the module is loaded and writes back, when changed, at unloading.
#pragma once

#include "platform/win/afx.h"

class CRegSettings {
 public:
  CRegSettings();
  virtual ~CRegSettings();
  CRegSettings(const CRegSettings&) = delete;
  CRegSettings& operator=(const CRegSettings&) = delete;

  // Writes every kept value back into the keys the constructor opened or created.
  void Save();

  // key = (otherBase, else baseKey) + "\" + section (an empty section: the base key itself); the key is opened
  // or created. A key that can be neither gives a message and nothing is written.
  void WriteString(const char* section, const char* name, const char* value, const char* otherBase = nullptr);
  // Stored as decimal text.
  void WriteInt(const char* section, const char* name, int value);
  // out = the stored value, else the default; nothing is created.
  void ReadString(const char* section, const char* name, CString& out, const char* defaultValue,
                  const char* otherBase = nullptr);
  // The stored text read as a decimal integer (leading digits), else the default.
  void ReadInt(const char* section, const char* name, int* out, int defaultValue);

  // Replaces the first "[$" root-and-path "]" in text by that registry string ("HLM\" selects
  // HKEY_LOCAL_MACHINE, else HKEY_CURRENT_USER; the part after the last '\' names the value).
  void ExpandRegistryReference(CString& text);

  CString GetDefaultNorm() const { return defaultNorm; }
  // The viewer the settings name until another is set: the suite's own, beside the program, which this platform
  // does not have.
  static CString DefaultViewerPath();

  static constexpr const char* kStartKey = "software\\Ormi\\Anlauf";
  static constexpr const char* kSuiteKey = "software\\Ormi\\Vernik2005";

  CString ProjectDir = "C:";
  CString baseKey = kSuiteKey;
  CString lister;
  CString annexoPath;
  CString vorlage;
  CString customer[5];
  CString LastProject2005;
  CString Name = "unbekannt";
  CString usermatdoc = "user.material.dat";
  CString defaultNorm = "DIN";
  CStringArray projectLRU;
  int mainWinRectX1 = 0;
  int mainWinRectY1 = 0;
  int mainWinRectX2 = 0;
  int mainWinRectY2 = 0;
  int mainSplitterPos = 200;
  int leftSplitterPos = 540;
  int leftTopSplitterPos = 210;
  int dispFlags = 127;
  int animFlag = 0;
  int posListCol = 31;
  int CreatePosWithVText = 0;
  bool geaendert = false;
  bool bShowInfoScreen = true;
  double progVersion = 2.42;

 private:
  CString SectionKey(const char* section, const char* otherBase) const;
};

// The module's settings object, built on first use.
CRegSettings& GetRegSettings();
