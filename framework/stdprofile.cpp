#include "framework/stdprofile.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <string>
#include <utility>

#include "framework/registry.h"
#include "platform/catalogs/zvkreg.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

const char* Tr(const char* text) { return TOLK_Translate("Ormi Eingabe", "vernik_i_common", "CStdProfile", text); }

CString WithoutChar(CString text, char ch) {
  text.Remove(ch);
  return text;
}

// Sqs offsets.
enum { SQS_KIND = 0, SQS_TYPE = 4, SQS_HS = 8, SQS_TS = 16, SQS_BO = 88, SQS_TO = 112, SQS_BU = 120, SQS_TU = 144 };
const int kSqsPairs[][2] = {{32, 40}, {48, 56}, {64, 72}, {96, 104}, {128, 136}};
constexpr int kTqeRadii = 160;
constexpr int kTqsTorsion = 88;

const char* const kGqsNames[GQS_COUNT] = {"A",   "Ito", "Itg", "y0", "z0", "Ayy", "Ayz", "Azz", "Ayw",
                                          "Azw", "Aww", "phi", "ym", "zm", "Byy", "Bzz", "Bww"};

// The torsion constant of a doubly symmetric rolled I-section from its plates and the root radius r.
double RolledTorsionConstant(double h, double b, double s, double t, double r) {
  double d = ((s / 4 + r) * s + (t + r) * (t + r)) / (2 * r + t);
  double alpha = (0.145 + 0.1 * r / t) * s / t;
  return 2 * (alpha * std::pow(d, 4) + (1 - 0.63 * t / b) * b * t * t * t / 3) + (h - 2 * t) * s * s * s / 3;
}

// The profile-table program's entry, or nullptr when its library is not there. The library is looked for
// beside this module first, then on the loader's path.
using SektabelFunc = int (*)(int, int);
SektabelFunc LoadSektabel() {
  static void* library = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LoadSektabel), &info) && info.dli_fname) {
      std::string module = info.dli_fname;
      auto slash = module.rfind('/');
      std::string beside =
          (slash == std::string::npos ? std::string(".") : module.substr(0, slash)) + "/libsektabel.so";
      if (void* handle = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
    }
    return dlopen("libsektabel.so", RTLD_NOW | RTLD_LOCAL);
  }();
  return library ? reinterpret_cast<SektabelFunc>(dlsym(library, "Sektabel")) : nullptr;
}

using viduv::ScopedDoc;

}  // namespace

// --- CStdProfileEntry ---

CStdProfileEntry::CStdProfileEntry() {
  std::fill(m_Gqs, m_Gqs + GQS_COUNT, 0.0);
  std::memset(m_Sqs, 0, sizeof m_Sqs);
}

int CStdProfileEntry::SqsInt(int offset) const {
  int v;
  std::memcpy(&v, m_Sqs + offset, sizeof v);
  return v;
}

double CStdProfileEntry::SqsDouble(int offset) const {
  double v;
  std::memcpy(&v, m_Sqs + offset, sizeof v);
  return v;
}

void CStdProfileEntry::SetSqsInt(int offset, int value) { std::memcpy(m_Sqs + offset, &value, sizeof value); }

void CStdProfileEntry::SetSqsDouble(int offset, double value) { std::memcpy(m_Sqs + offset, &value, sizeof value); }

// --- CProfileDbCache ---

CProfileDbCache::~CProfileDbCache() {
  for (const auto& [handle, path] : m_pathOfHandle) ZVK_DB_Close(handle);
}

int CProfileDbCache::Open(const char* path, int mode) {
  auto known = m_handleOfPath.find(path);
  if (known != m_handleOfPath.end()) {
    ++m_count[known->second];
    return known->second;
  }
  int handle = ZVK_DB_Open(path, mode);
  if (handle == -1) return -1;
  m_handleOfPath[path] = handle;
  m_pathOfHandle[handle] = path;
  m_count[handle] = 1;
  return handle;
}

int CProfileDbCache::Close(int handle) {
  auto count = m_count.find(handle);
  int remaining = count == m_count.end() ? 0 : --count->second;
  if (remaining <= 0) {
    ZVK_DB_Close(handle);
    auto path = m_pathOfHandle.find(handle);
    if (path != m_pathOfHandle.end()) {
      m_handleOfPath.erase(path->second);
      m_pathOfHandle.erase(path);
    }
    if (count != m_count.end()) m_count.erase(count);
    remaining = 0;
  }
  return remaining;
}

CProfileDbCache& GetProfileDbCache() {
  static CProfileDbCache cache;
  return cache;
}

// --- CProfileCacheFile ---

CProfileCacheFile::~CProfileCacheFile() {
  if (m_document) VIDUV_CloseDoc(m_document);
}

bool CProfileCacheFile::Lookup(CStdProfileEntry& entry, CLogFile& log) {
  log.WriteLine("CStdProfile():1042");
  if (!m_document) {
    m_database = entry.m_database;
    char buffer[MAX_PATH] = {};
    if (ZVK_DB_GetFilePath(m_database, buffer, sizeof buffer) < 0) return false;
    CString dbPath(buffer);
    dbPath.TrimRight();
    if (dbPath.GetLength() < 4) return false;
    m_path = dbPath.Left(dbPath.GetLength() - 3) + "v2.qzb";
  }
  CString folderName = VIDUV_MakeValidElementName(WithoutChar(entry.m_folder, '\\'));
  if (entry.m_profName.IsEmpty()) return false;
  CString last = entry.m_profName.Mid(entry.m_profName.ReverseFind('\\') + 1);
  CString profileName = VIDUV_MakeValidElementName(WithoutChar(last, '/'));
  if (!m_document) {
    m_document = VIDUV_OpenDoc(m_path);
    if (!m_document) return false;
    m_root = VIDUV_GetRootElement(m_document);
    m_info = VIDUV_FindFirstChild(m_root, "info");
    entry.m_dblversion = VIDUV_GetDouble(m_info, "dblversion");
    entry.m_modulename = VIDUV_GetString(m_info, "modulename");
    entry.m_moduletype = VIDUV_GetInt(m_info, "moduletype");
    entry.m_moduleversion = VIDUV_GetInt(m_info, "moduleversion");
    entry.m_modulerevision = VIDUV_GetInt(m_info, "modulerevision");
  }
  int folder = VIDUV_FindFirstChild(m_root, folderName);
  if (!folder) return false;
  auto find = [&](const CString& name) {
    for (int e = VIDUV_FindFirstChild(folder, name); e; e = VIDUV_FindNextChild(e, name))
      if (CString(VIDUV_GetString(e, "profName")).CompareNoCase(entry.m_profName) == 0) return e;
    return 0;
  };
  int element = find(profileName);
  if (!element) element = find(WithoutChar(profileName, '_'));
  if (!element) return false;

  // Blocks of the wrong size are not read: a damaged cache falls back to the register.
  int pointBytes = VIDUV_GetBinDataLength(element, "drawingPoints");
  int plateBytes = VIDUV_GetBinDataLength(element, "blechradien");
  if (VIDUV_GetBinDataLength(element, "Gqs") != int(sizeof entry.m_Gqs) ||
      VIDUV_GetBinDataLength(element, "Sqs") != STDPROFILE_SQS_SIZE || pointBytes % 24 || plateBytes % 32)
    return false;
  std::vector<ZvkPoint> points(std::size_t(pointBytes / 24));
  std::vector<CStdProfilePlate> plates(std::size_t(plateBytes / 32));
  VIDUV_GetBinData(element, "drawingPoints", points.data());
  VIDUV_GetBinData(element, "blechradien", plates.data());
  VIDUV_GetBinData(element, "Gqs", entry.m_Gqs);
  VIDUV_GetBinData(element, "Sqs", entry.m_Sqs);
  entry.m_contourY.RemoveAll();
  entry.m_contourZ.RemoveAll();
  entry.m_contourKinds.RemoveAll();
  for (const auto& p : points) {
    entry.m_contourY.Add(p.y);
    entry.m_contourZ.Add(p.z);
    entry.m_contourKinds.Add(p.kind);
  }
  entry.m_plates.RemoveAll();
  for (const auto& p : plates) entry.m_plates.Add(p);
  entry.m_profileType = entry.SqsInt(SQS_TYPE);
  log.WriteLine("CStdProfile():1238");
  return true;
}

// --- CStdProfile ---

CStdProfile::CStdProfile() {
  // The handle cache and the XML library must outlive this object, which closes its handles when destroyed.
  GetProfileDbCache();
  VIDUV_GetLastError();
  CString root = GetInstallRoot();
  m_logFile = root + "\\startup.log";
  CLogFile log(m_logFile);
  log.WriteLine("CStdProfile():34");
  m_standardPath = root + "\\catalogs\\profil.qzw";
  CString userFolder;
  CRegistry registry;
  if (registry.Connect(HKEY_CURRENT_USER) && registry.Open("software\\Ormi\\Anlauf")) {
    registry.GetStringValue("userProfil", userFolder);
  }
  if (userFolder.IsEmpty()) userFolder = root;
  userFolder.Replace("\\userProfil.qzw", "");
  userFolder.Replace("/userProfil.qzw", "");
  m_userPath = userFolder + "\\userProfil.qzw";
  log.WriteLine("CStdProfile():41");
}

CStdProfile::~CStdProfile() {
  Clear();
  m_caches.clear();
}

int CStdProfile::OpenDatabase(const CString& path, bool required) {
  int handle = GetProfileDbCache().Open(path, 0);
  if (handle != -1) return handle;
  // A missing user database is the ordinary case; anything else is a fault the user must hear of.
  CString message = ZVK_GetLastError();
  if (!required && !CDirList::FileExists(path)) return -1;
  CLogFile(m_logFile).WriteLine("CStdProfile(): " + message);
  CString text;
  text.Format(Tr("Die Profildatenbank steht nicht zur Verfügung:\n%s"), message.GetString());
  AfxMessageBox(text, MB_OK | MB_ICONERROR);
  return -1;
}

void CStdProfile::Load() {
  CLogFile log(m_logFile);
  log.WriteLine("CStdProfile():132 start reading profil.qzw");
  m_standardDb = OpenDatabase(m_standardPath, true);
  log.WriteLine("CStdProfile():134 start reading userProfil.qzw");
  m_userFingerPrint.FromFile(m_userPath);
  m_userDb = OpenDatabase(m_userPath, false);
  log.WriteLine("CStdProfile():136 finish reading qzw");
  log.WriteLine("CStdProfile():144");
  log.WriteLine("CStdProfile():150");
  if (m_standardDb != -1) ReadDatabase(m_standardDb);
  if (m_userDb != -1) ReadDatabase(m_userDb);
  log.WriteLine("CStdProfile():215");
  m_loaded = TRUE;
}

void CStdProfile::ReadDatabase(int database) {
  std::deque<CString> folders{""};
  char name[256];
  while (!folders.empty()) {
    CString folder = folders.front();
    folders.pop_front();
    std::vector<CString> profiles;
    for (int kind = ZVK_DB_GetFirstFolderMember(database, folder, name, sizeof name); kind != -1;
         kind = ZVK_DB_GetNextFolderMember(database, name, sizeof name)) {
      if (kind == 0)
        profiles.emplace_back(name);
      else
        folders.push_back(folder + "\\" + name);
    }
    if (profiles.empty()) continue;
    auto series = std::make_unique<CStdProfileSeries>();
    CString trimmedFolder = folder;
    trimmedFolder.Trim();
    for (const CString& profile : profiles) {
      auto entry = std::make_unique<CStdProfileEntry>();
      entry->m_profName = profile;
      entry->m_profName.Trim();
      entry->m_folder = trimmedFolder;
      entry->m_database = database;
      series->m_entries.push_back(std::move(entry));
    }
    CString seriesName;
    if (!folder.IsEmpty()) {
      seriesName = folder.Mid(1);
    } else if (database == m_standardDb || database == m_userDb) {
      seriesName = database == m_standardDb ? m_standardPath : m_userPath;
      seriesName.Replace(".qzw", "");
    } else {
      seriesName = "root";
    }
    m_series.push_back(std::move(series));
    m_seriesNames.Add(seriesName);
  }
}

void CStdProfile::Clear() {
  m_series.clear();
  if (m_standardDb != -1) GetProfileDbCache().Close(m_standardDb);
  if (m_userDb != -1) GetProfileDbCache().Close(m_userDb);
  m_seriesNames.RemoveAll();
  m_standardDb = m_userDb = -1;
  m_loaded = FALSE;
}

void CStdProfile::CheckLoaded() {
  if (m_loaded) {
    CFingerPrint current;
    current.FromFile(m_userPath);
    if (current == m_userFingerPrint) return;
    Clear();
  }
  Load();
}

CProfileCacheFile& CStdProfile::CacheOf(int database) {
  char buffer[MAX_PATH] = {};
  ZVK_DB_GetFilePath(database, buffer, sizeof buffer);
  auto& cache = m_caches[CString(buffer)];
  if (!cache) cache = std::make_unique<CProfileCacheFile>();
  return *cache;
}

CStdProfileEntry* CStdProfile::Entry(int seriesIdx, int profileIdx) {
  if (seriesIdx < 0 || seriesIdx >= int(m_series.size())) return nullptr;
  auto& entries = m_series[std::size_t(seriesIdx)]->m_entries;
  if (profileIdx < 0 || profileIdx >= int(entries.size())) return nullptr;
  return entries[std::size_t(profileIdx)].get();
}

void CStdProfile::Compute(CStdProfileEntry& entry) {
  if (entry.IsComputed()) return;
  CLogFile log(m_logFile);
  int p = ZVK_PRO_Create();
  ZVK_DB_GetProject(entry.m_database, entry.m_folder + "\\" + entry.m_profName, p);
  std::fill(entry.m_Gqs, entry.m_Gqs + GQS_COUNT, 0.0);
  std::memset(entry.m_Sqs, 0, sizeof entry.m_Sqs);
  entry.m_plates.RemoveAll();
  std::vector<ZvkPoint> points;

  if (CacheOf(entry.m_database).Lookup(entry, log)) {
    for (int i = 0; i < entry.m_contourY.GetSize(); ++i)
      points.push_back({entry.m_contourY[i], entry.m_contourZ[i], entry.m_contourKinds[i], 0});
  } else {
    int n = 0;
    ZVK_PRO_GetDrawingPoints(p, nullptr, &n);
    if (n < 1) {
      ZVK_PRO_Delete(p);
      return;
    }
    points.resize(std::size_t(n));
    ZVK_PRO_GetDrawingPoints(p, points.data(), &n);
    points.resize(std::size_t(std::max(n, 0)));
    ZVK_PRO_Calculate(p);
    if (ZVK_PRO_GetResultSqs(p, entry.m_Sqs) == -1) entry.SetSqsInt(SQS_TYPE, -1);
    entry.m_profileType = entry.SqsInt(SQS_TYPE);
    ZVK_PRO_GetResultGqs(p, entry.m_Gqs);
    if (ZVK_PRO_GetnTqs(p) == 1) {
      int m = ZVK_PRO_GetnTqe(p, 0);
      double rmax = 0;
      unsigned char tqe[ZVK_TQE_SIZE];
      for (int i = 0; i < m; ++i) {
        std::memset(tqe, 0, sizeof tqe);
        ZVK_PRO_GetResultTqe(p, 0, i, tqe);
        CStdProfilePlate plate;
        std::memcpy(&plate, tqe + kTqeRadii, sizeof plate);
        rmax = std::max({rmax, plate.r0, plate.r1, plate.r2, plate.r3});
        entry.m_plates.Add(plate);
      }
      unsigned char tqs[ZVK_TQS_SIZE] = {};
      ZVK_PRO_GetResultTqs(p, 0, tqs);
      double bo = entry.SqsDouble(SQS_BO), bu = entry.SqsDouble(SQS_BU);
      double to = entry.SqsDouble(SQS_TO), tu = entry.SqsDouble(SQS_TU);
      if (entry.SqsInt(SQS_KIND) == 0 && entry.m_profileType == 0 && std::fabs(bo - bu) < 1e-5 &&
          std::fabs(to - tu) < 1e-5) {
        double it = RolledTorsionConstant(entry.SqsDouble(SQS_HS), bo, entry.SqsDouble(SQS_TS), to, rmax);
        std::memcpy(tqs + kTqsTorsion, &it, sizeof it);
      }
      std::memcpy(&entry.m_Gqs[GQS_Ito], tqs + kTqsTorsion, sizeof(double));
    }
  }

  // Everything relative to the centroid.
  double dy = entry.m_Gqs[GQS_y0], dz = entry.m_Gqs[GQS_z0];
  entry.m_Gqs[GQS_y0] = entry.m_Gqs[GQS_z0] = 0;
  entry.m_Gqs[GQS_ym] -= dy;
  entry.m_Gqs[GQS_zm] -= dz;
  for (const auto& pair : kSqsPairs) {
    entry.SetSqsDouble(pair[0], entry.SqsDouble(pair[0]) - dy);
    entry.SetSqsDouble(pair[1], entry.SqsDouble(pair[1]) - dz);
  }
  ZVK_PRO_Delete(p);
  entry.m_contourY.RemoveAll();
  entry.m_contourZ.RemoveAll();
  entry.m_contourKinds.RemoveAll();
  for (const auto& point : points) {
    entry.m_contourY.Add(point.y - dy);
    entry.m_contourZ.Add(point.z - dz);
    entry.m_contourKinds.Add(point.kind);
  }
}

int CStdProfile::GetSeriesCount() {
  CheckLoaded();
  return int(m_series.size());
}

CString CStdProfile::GetSeriesName(int seriesIdx) {
  CheckLoaded();
  return seriesIdx >= 0 && seriesIdx < m_seriesNames.GetSize() ? m_seriesNames[seriesIdx] : CString();
}

void CStdProfile::FindProfile(const char* seriesName, const char* profileName, int* seriesIdx, int* profileIdx) {
  CheckLoaded();
  *seriesIdx = -1;
  *profileIdx = -1;
  for (int i = 0; i < m_seriesNames.GetSize(); ++i) {
    if (m_seriesNames[i].CompareNoCase(seriesName) == 0) {
      *seriesIdx = i;
      break;
    }
  }
  if (*seriesIdx < 0) return;
  const auto& entries = m_series[std::size_t(*seriesIdx)]->m_entries;
  for (int j = 0; j < int(entries.size()); ++j)
    if (entries[std::size_t(j)]->m_profName.CompareNoCase(profileName) == 0) *profileIdx = j;
}

void CStdProfile::GetProfileNames(int seriesIdx, CStringArray& out, int kind) {
  CheckLoaded();
  out.RemoveAll();
  if (seriesIdx < 0 || seriesIdx >= int(m_series.size())) return;
  auto& entries = m_series[std::size_t(seriesIdx)]->m_entries;
  if (entries.empty()) return;
  bool standard = entries.front()->m_database == m_standardDb;
  if (kind != -1 && standard) {
    Compute(*entries.front());
    if (entries.front()->m_profileType != kind) return;
  }
  for (auto& entry : entries) {
    if (kind != -1 && !standard) {
      Compute(*entry);
      if (entry->m_profileType != kind) continue;
    }
    out.Add(entry->m_profName);
  }
}

void CStdProfile::GetProfileNamesOf(const char* seriesName, CStringArray& out, int kind) {
  CheckLoaded();
  int series = -1, profile = -1;
  FindProfile(seriesName, "", &series, &profile);
  if (series < 0) {
    out.RemoveAll();
    return;
  }
  GetProfileNames(series, out, kind);
}

void CStdProfile::GetProfile(int seriesIdx, int profileIdx, double* gqs, void* sqs, CArray<CStdProfilePlate>* plates) {
  CheckLoaded();
  CStdProfileEntry* entry = Entry(seriesIdx, profileIdx);
  if (!entry) return;
  Compute(*entry);
  if (gqs) std::copy(entry->m_Gqs, entry->m_Gqs + GQS_COUNT, gqs);
  if (sqs) std::memcpy(sqs, entry->m_Sqs, STDPROFILE_SQS_CALLER);
  if (plates) plates->Append(entry->m_plates);
}

int CStdProfile::GetProfileType(int seriesIdx, int profileIdx, CString* dbPath) {
  CheckLoaded();
  CStdProfileEntry* entry = Entry(seriesIdx, profileIdx);
  if (!entry) return -1;
  Compute(*entry);
  if (dbPath) {
    char buffer[MAX_PATH] = {};
    ZVK_DB_GetFilePath(entry->m_database, buffer, sizeof buffer);
    *dbPath = buffer;
    dbPath->TrimRight();
  }
  return entry->m_profileType;
}

void CStdProfile::WriteProfileData(int seriesIdx, int profileIdx, int element) {
  CheckLoaded();
  CStdProfileEntry* entry = Entry(seriesIdx, profileIdx);
  if (!entry || !element) return;
  Compute(*entry);
  VIDUV_SetString(element, "profName", entry->m_profName);
  VIDUV_SetString(element, "DBPath", entry->m_database == m_userDb ? m_userPath : m_standardPath);
  VIDUV_SetString(element, "folder", entry->m_folder);
  for (int i = 0; i < GQS_COUNT; ++i) VIDUV_SetDouble(element, kGqsNames[i], entry->m_Gqs[i]);
  VIDUV_SetDouble(element, "Ptyp", entry->m_profileType);
  VIDUV_SetDouble(element, "hs", entry->SqsDouble(SQS_HS));
  VIDUV_SetDouble(element, "ts", entry->SqsDouble(SQS_TS));
  VIDUV_SetDouble(element, "bo", entry->SqsDouble(SQS_BO));
  VIDUV_SetDouble(element, "to", entry->SqsDouble(SQS_TO));
  VIDUV_SetDouble(element, "bu", entry->SqsDouble(SQS_BU));
  VIDUV_SetDouble(element, "tu", entry->SqsDouble(SQS_TU));
  for (const auto& plate : entry->m_plates) {
    int child = VIDUV_AddChildElement(element, "blech");
    VIDUV_SetDouble(child, "r0", plate.r0);
    VIDUV_SetDouble(child, "r1", plate.r1);
    VIDUV_SetDouble(child, "r2", plate.r2);
    VIDUV_SetDouble(child, "r3", plate.r3);
  }
}

void CStdProfile::ShowProfileValues(int seriesIdx, int profileIdx, CStringArray& labels, CStringArray& symbols,
                                    CArray<double, double>& values, CStringArray& units) {
  CheckLoaded();
  if (!Entry(seriesIdx, profileIdx)) return;
  ScopedDoc doc(VIDUV_CreateDoc("sektabel.tqx"));
  int root = VIDUV_GetRootElement(doc.Get());
  int input = VIDUV_AddChildElement(root, "input");
  int profile = VIDUV_AddChildElement(input, "profile");
  int data = VIDUV_AddChildElement(profile, "sektabel");
  if (!data) return;
  WriteProfileData(seriesIdx, profileIdx, data);
  if (SektabelFunc sektabel = LoadSektabel()) sektabel(doc.Get(), 0);
  int result = VIDUV_FindFirstChild(root, "result");
  if (!result) return;
  static const struct {
    const char* label;
    const char* symbol;
    const char* attribute;
    const char* unit;
  } rows[] = {
      {"Querschnittsfläche", "A", "A", "cm\\super 2\\nosupersub "},
      {"Trägheitsmoment y", "I\\sub y\\nosupersub ", "Iy", "cm\\super 4\\nosupersub "},
      {"Trägheitsmoment z", "I\\sub z\\nosupersub ", "Iz", "cm\\super 4\\nosupersub "},
      {"Widerstandsmoment y", "W\\sub y\\nosupersub ", "Wy", "cm\\super 3\\nosupersub "},
      {"Widerstandsmoment z", "W\\sub z\\nosupersub ", "Wz", "cm\\super 3\\nosupersub "},
      {"Breite oben", "b\\sub o\\nosupersub ", "bo", "mm"},
      {"Breite unten", "b\\sub u\\nosupersub ", "bu", "mm"},
      {"Höhe", "h", "h", "mm"},
      {"Flanschdicke oben", "t\\sub o\\nosupersub ", "to", "mm"},
      {"Flanschdicke unten", "t\\sub u\\nosupersub ", "tu", "mm"},
      {"Stegdicke", "s", "s", "mm"},
      {"Torsionswiderstand", "I\\sub t\\nosupersub ", "It", "cm\\super 4\\nosupersub "},
      {"Plastisches Moment y", "M\\sub ply\\nosupersub ", "Mply", "kNm"},
      {"Plastisches Moment z", "M\\sub plz\\nosupersub ", "Mplz", "kNm"},
      {"Plastische Normalkraft", "N\\sub pl\\nosupersub ", "Npl", "kN"},
      {"Plastische Querkraft y", "Q\\sub ply\\nosupersub ", "Qply", "kN"},
      {"Plastische Querkraft z", "Q\\sub plz\\nosupersub ", "Qplz", "kN"},
  };
  for (const auto& row : rows) {
    labels.Add(Tr(row.label));
    symbols.Add(row.symbol);
    values.Add(VIDUV_GetDouble(result, row.attribute));
    units.Add(row.unit);
  }
}

CStdProfile& GetStdProfile() {
  static CStdProfile catalogue;
  return catalogue;
}
