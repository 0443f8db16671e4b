// Identification of position files of the suite's programs in their three generations (current XML position files,
// an older format whose first line names the program, zipped files of another product line), and the converters
// that bring current files of retired modules up to date in place.
#pragma once

#include <map>
#include <memory>

#include "platform/win/afx.h"

// Reads at most the first 127 bytes of a position file and takes "progname" and "modulename" from them, and the
// "version" (when asked) from the text that starts at the first "root", past the XML declaration's own version.
// A file that cannot be read leaves the outputs as they were. Always 1.
int ReadPositionHead(const char* path, CString& progname, CString& modulename, CString* version);
// The value of the first occurrence of `name` in a head: from two characters past the name up to the next '"';
// empty when the name is absent.
CString GetHeadAttribute(const char* text, const char* name);
// The program named by the first line of an older-format file (display name where the program code is known);
// empty when the file cannot be read or names none.
CString GetOldFormatProgramName(const char* path);
// The module type recorded in the first "Vemo..." entry of a zipped file; 0 when none is found.
int ReadZipModuleType(const char* path);
// "info" of the document's root gets "bModularisieren" = 1.
void SetModularisieren(int document);

// Rewrites one position file in place (or splits it in two).
class CFileConverter {
 public:
  virtual ~CFileConverter() = default;
  virtual void Convert(const char* path) {}
  CString version;  // the head's version, set before each call
};

// The converters by key: the program code followed directly by the module code, as in a file's head.
class CFileConverterRegistry {
 public:
  CFileConverterRegistry();
  CFileConverterRegistry(const CFileConverterRegistry&) = delete;
  CFileConverterRegistry& operator=(const CFileConverterRegistry&) = delete;

  // Unknown key: false, nothing done. Known: the converter runs on the file and the result is true; the caller
  // reads the head again.
  bool ConvertIfKnown(const char* path, const char* progname, const char* modulename, const char* version);
  int GetCount() const { return int(m_converters.size()); }
  bool IsKnown(const char* key) const { return m_converters.count(CString(key)) != 0; }

 private:
  std::map<CString, std::unique_ptr<CFileConverter>> m_converters;
};

// The module's registry, built on first use.
CFileConverterRegistry& GetFileConverterRegistry();

// Names in the configuration table that callers and tests refer to.
namespace fileident {
// The older roof module's dialog library below the installation root ("\prog\" + this name).
inline constexpr const char* kOldRoofDialogLibrary = "dachalt_dlg.dll";
inline constexpr const char* kOldRoofProgram = "DACHALT";
}  // namespace fileident
