// The steel-profile catalogue: the series of named steel profiles of the standard and the user profile
// database of the profile register, with each profile's section values, dimensions, contour and plate radii
// computed on demand (or taken from a prepared cache file beside its database). It reloads itself when the
// user database file changes.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "framework/utilities.h"
#include "platform/win/afx.h"

// Plate radii of the thin-walled model of a profile.
struct CStdProfilePlate {
  double r0 = 0, r1 = 0, r2 = 0, r3 = 0;
};

// Section values (17 doubles, in this order; also the attribute names of the profile-data element), in cm
// units relative to the centroid: A area; Ito torsion constant; Itg that of the plate model; y0, z0 centroid
// (0 once computed); Ayy = Iz and Azz = Iy, Ayz product moment; Ayw, Azw, Aww sectorial moments (Aww warping
// constant); phi principal axis angle; ym, zm shear centre; Byy, Bzz, Bww Wagner integrals.
enum CStdProfileGqs {
  GQS_A,
  GQS_Ito,
  GQS_Itg,
  GQS_y0,
  GQS_z0,
  GQS_Ayy,
  GQS_Ayz,
  GQS_Azz,
  GQS_Ayw,
  GQS_Azw,
  GQS_Aww,
  GQS_phi,
  GQS_ym,
  GQS_zm,
  GQS_Byy,
  GQS_Bzz,
  GQS_Bww,
  GQS_COUNT
};
constexpr int STDPROFILE_SQS_SIZE = 184;    // bytes of the dimension block
constexpr int STDPROFILE_SQS_CALLER = 152;  // bytes of it that callers receive

class CStdProfileEntry {
 public:
  CStdProfileEntry();
  bool IsComputed() const { return m_contourY.GetSize() > 0; }
  int SqsInt(int offset) const;
  double SqsDouble(int offset) const;
  void SetSqsInt(int offset, int value);
  void SetSqsDouble(int offset, double value);

  double m_dblversion = 0;
  CString m_modulename;
  int m_moduletype = 0, m_moduleversion = 0, m_modulerevision = 0;
  CString m_profName;
  CString m_folder;
  int m_database = -1;
  CArray<double, double> m_contourY, m_contourZ;
  CArray<int, int> m_contourKinds;
  int m_profileType = -1;
  double m_Gqs[GQS_COUNT];
  unsigned char m_Sqs[STDPROFILE_SQS_SIZE];
  CArray<CStdProfilePlate> m_plates;
};

// The profiles of one register folder, in folder order.
class CStdProfileSeries {
 public:
  std::vector<std::unique_ptr<CStdProfileEntry>> m_entries;
};

// Register handles shared by database path, with reference counts.
class CProfileDbCache {
 public:
  ~CProfileDbCache();
  // The handle of the database (a known path: the same handle, counted once more); -1 when it cannot be opened.
  int Open(const char* path, int mode);
  // The remaining count; at 0, or for a handle it does not know, the register's database is closed.
  int Close(int handle);

 private:
  std::map<CString, int> m_handleOfPath;
  std::map<int, CString> m_pathOfHandle;
  std::map<int, int> m_count;
};
CProfileDbCache& GetProfileDbCache();

// The prepared cache file of one profile database ("<database minus its last three characters>v2.qzb").
class CProfileCacheFile {
 public:
  ~CProfileCacheFile();
  // Fills the entry's contour, blocks and plates from the cache; false when the cache cannot deliver it.
  bool Lookup(CStdProfileEntry& entry, CLogFile& log);

  int m_database = -1;
  int m_document = 0;
  int m_root = 0;
  int m_info = 0;
  CString m_path;
};

class CStdProfile {
 public:
  CStdProfile();
  virtual ~CStdProfile();
  CStdProfile(const CStdProfile&) = delete;
  CStdProfile& operator=(const CStdProfile&) = delete;

  void CheckLoaded();
  int GetSeriesCount();
  CString GetSeriesName(int seriesIdx);
  void FindProfile(const char* seriesName, const char* profileName, int* seriesIdx, int* profileIdx);
  void GetProfileNames(int seriesIdx, CStringArray& out, int kind);
  void GetProfileNamesOf(const char* seriesName, CStringArray& out, int kind);
  // Section values (gqs[GQS_COUNT]), the first STDPROFILE_SQS_CALLER bytes of the dimensions, and with a
  // plate array the profile's plates appended to it.
  void GetProfile(int seriesIdx, int profileIdx, double* gqs, void* sqs, CArray<CStdProfilePlate>* plates);
  int GetProfileType(int seriesIdx, int profileIdx, CString* dbPath);
  void WriteProfileData(int seriesIdx, int profileIdx, int element);
  void ShowProfileValues(int seriesIdx, int profileIdx, CStringArray& labels, CStringArray& symbols,
                         CArray<double, double>& values, CStringArray& units);

  const CString& GetStandardPath() const { return m_standardPath; }
  const CString& GetUserPath() const { return m_userPath; }

 private:
  void Load();
  void Clear();
  void ReadDatabase(int database);
  void Compute(CStdProfileEntry& entry);
  CStdProfileEntry* Entry(int seriesIdx, int profileIdx);
  CProfileCacheFile& CacheOf(int database);
  int OpenDatabase(const CString& path, bool required);

  CString m_logFile;
  BOOL m_loaded = FALSE;
  std::vector<std::unique_ptr<CStdProfileSeries>> m_series;
  CStringArray m_seriesNames;
  CString m_standardPath;
  CString m_userPath;
  int m_standardDb = -1;
  int m_userDb = -1;
  CFingerPrint m_userFingerPrint;
  // One prepared cache per database, by the database's file path.
  std::map<CString, std::unique_ptr<CProfileCacheFile>> m_caches;
};

// The module's one profile catalogue, built on first use and destroyed at unload.
CStdProfile& GetStdProfile();
