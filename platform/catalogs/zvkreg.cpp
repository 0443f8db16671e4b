#include "platform/catalogs/zvkreg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "platform/catalogs/isection.h"
#include "platform/viduv/viduv.h"
#include "platform/win/base/paths.h"

namespace {

using catalogs::Fillet;
using catalogs::ISection;

struct Member {
  std::string name;
  int kind = ZVK_MEMBER_PROFILE;
  int profile = -1;  // index into Database::profiles for a profile
};

struct ProfileDef {
  std::string name;
  ISection sec;                         // cm
  std::map<std::string, double> table;  // tabulated values as the file gives them (cm units)
};

struct Database {
  std::string path;
  std::map<std::string, std::vector<Member>> folders;  // folder path -> members in file order
  std::vector<std::string> folderOrder;
  std::vector<ProfileDef> profiles;
  const std::vector<Member>* listing = nullptr;
  std::size_t listingPos = 0;
};

struct Result {
  std::vector<ZvkPoint> contour;
  double gqs[17] = {};
  unsigned char sqs[ZVK_SQS_SIZE] = {};
  struct Plate {
    double y1, z1, y2, z2, t, length;
    double radii[4];
  };
  std::vector<Plate> plates;
  double partArea = 0;
  double partIt = 0;
};

struct Project {
  bool loaded = false;
  ProfileDef def;
  bool calculated = false;
  Result result;
};

struct State {
  std::map<int, std::unique_ptr<Database>> dbs;
  std::map<int, std::unique_ptr<Project>> projects;
  int nextDb = 1;
  int nextProject = 1;
  std::string lastError;
};

// Built when the library is loaded, so that it outlives the callers' global objects, which close their
// handles here while the process ends.
State g_state;
State& S() { return g_state; }

Database* Db(int handle) {
  auto it = S().dbs.find(handle);
  return it == S().dbs.end() ? nullptr : it->second.get();
}

Project* Pro(int handle) {
  auto it = S().projects.find(handle);
  return it == S().projects.end() ? nullptr : it->second.get();
}

std::string Trim(const std::string& s) {
  auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      out.push_back(Trim(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  out.push_back(Trim(cur));
  return out;
}

void CopyOut(const std::string& text, char* buffer, int size) {
  if (!buffer || size <= 0) return;
  std::size_t n = std::min(text.size(), std::size_t(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

// "key=value key=value": false with a message on a malformed pair or number.
bool ParsePairs(const std::string& text, std::map<std::string, double>& out, std::string& error) {
  std::istringstream in(text);
  std::string pair;
  while (in >> pair) {
    auto eq = pair.find('=');
    if (eq == std::string::npos || eq == 0) {
      error = "\"" + pair + "\" ist kein Wert der Form Name=Zahl";
      return false;
    }
    std::string key = pair.substr(0, eq), value = pair.substr(eq + 1);
    double v = 0;
    auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
    if (ec != std::errc() || p != value.data() + value.size() || !std::isfinite(v)) {
      error = "\"" + value + "\" ist keine Zahl (" + key + ")";
      return false;
    }
    out[key] = v;
  }
  return true;
}

std::string NormaliseFolder(std::string folder) {
  folder = Trim(folder);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (!folder.empty() && folder.front() != '\\') folder.insert(folder.begin(), '\\');
  return folder;
}

void EnsureFolder(Database& db, const std::string& folder) {
  if (db.folders.count(folder)) return;
  db.folders[folder];
  db.folderOrder.push_back(folder);
  if (folder.empty()) return;
  auto slash = folder.rfind('\\');
  std::string parent = folder.substr(0, slash);
  EnsureFolder(db, parent);
  db.folders[parent].push_back(Member{folder.substr(slash + 1), ZVK_MEMBER_FOLDER, -1});
}

bool ParseProfile(const std::vector<std::string>& fields, ProfileDef& def, std::string& error) {
  if (fields.size() < 3 || fields.size() > 4) {
    error = "ein Profil braucht \"Name | Typ | Abmessungen [| Tabellenwerte]\"";
    return false;
  }
  def.name = fields[0];
  if (def.name.empty()) {
    error = "Profil ohne Namen";
    return false;
  }
  if (fields[1] != "I") {
    error = "unbekannter Querschnittstyp \"" + fields[1] + "\"";
    return false;
  }
  std::map<std::string, double> dims;
  if (!ParsePairs(fields[2], dims, error)) return false;
  if (fields.size() == 4 && !ParsePairs(fields[3], def.table, error)) return false;
  auto need = [&](const char* key, double& out) {
    auto it = dims.find(key);
    if (it == dims.end()) {
      error = std::string("Abmessung ") + key + " fehlt";
      return false;
    }
    out = it->second / 10;  // mm -> cm
    return true;
  };
  ISection& s = def.sec;
  if (!need("h", s.h) || !need("tw", s.tw) || !need("r", s.r)) return false;
  if (dims.count("b")) {
    if (!need("b", s.bo) || !need("tf", s.to)) return false;
    s.bu = s.bo;
    s.tu = s.to;
  } else if (!need("bo", s.bo) || !need("to", s.to) || !need("bu", s.bu) || !need("tu", s.tu)) {
    return false;
  }
  if (!s.IsValid()) {
    error = "die Abmessungen ergeben keinen gültigen I-Querschnitt";
    return false;
  }
  return true;
}

bool ReadDatabase(const std::string& path, Database& db, std::string& error) {
  const std::string fsPath = win::ToFsPath(path);
  std::ifstream in(fsPath, std::ios::binary);
  if (!in) {
    error = "Die Profildatenbank '" + fsPath + "' wurde nicht gefunden.";
    return false;
  }
  auto fail = [&](int line, const std::string& what) {
    error = "Die Profildatenbank '" + fsPath + "' ist fehlerhaft (Zeile " + std::to_string(line) + "): " + what + ".";
    return false;
  };
  db.path = path;
  EnsureFolder(db, "");
  std::string folder, raw;
  bool header = false;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (!header) {
      if (line != "ZVKREG 1") return fail(lineNo, "Kennung \"ZVKREG 1\" fehlt");
      header = true;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']') return fail(lineNo, "Ordnerzeile ohne \"]\"");
      folder = NormaliseFolder(line.substr(1, line.size() - 2));
      EnsureFolder(db, folder);
      continue;
    }
    ProfileDef def;
    std::string what;
    if (!ParseProfile(Split(line, '|'), def, what)) return fail(lineNo, what);
    db.profiles.push_back(def);
    db.folders[folder].push_back(Member{def.name, ZVK_MEMBER_PROFILE, int(db.profiles.size()) - 1});
  }
  if (!header) return fail(lineNo, "Kennung \"ZVKREG 1\" fehlt");
  return true;
}

// --- Calculation ---

void PutInt(unsigned char* block, int offset, int v) { std::memcpy(block + offset, &v, sizeof v); }
void PutDouble(unsigned char* block, int offset, double v) { std::memcpy(block + offset, &v, sizeof v); }

void AddArc(std::vector<ZvkPoint>& pts, double cy, double cz, double r, double fromDeg, double toDeg) {
  const int segments = 6;
  for (int i = 0; i <= segments; ++i) {
    double a = (fromDeg + (toDeg - fromDeg) * i / segments) * std::numbers::pi / 180;
    pts.push_back(
        {cy + r * std::cos(a), cz + r * std::sin(a), i == 0 || i == segments ? ZVK_POINT_CORNER : ZVK_POINT_ARC, 0});
  }
}

// Wagner integral of z (y^2 + z^2) over a rectangle [y1, y2] x [z1, z2].
double WagnerRect(double y1, double y2, double z1, double z2) {
  return (z2 * z2 - z1 * z1) / 2 * (y2 * y2 * y2 - y1 * y1 * y1) / 3 +
         (y2 - y1) * (std::pow(z2, 4) - std::pow(z1, 4)) / 4;
}

void Calculate(const ProfileDef& def, Result& res) {
  const ISection& s = def.sec;
  double bmax = std::max(s.bo, s.bu), ya = bmax / 2;  // web axis
  double wl = ya - s.tw / 2, wr = ya + s.tw / 2, zt = s.to, zb = s.h - s.tu;

  // Contour, clockwise in the picture (y right, z down), fillets as arcs.
  auto& c = res.contour;
  c.clear();
  c.push_back({ya - s.bo / 2, 0, ZVK_POINT_CORNER, 0});
  c.push_back({ya + s.bo / 2, 0, ZVK_POINT_CORNER, 0});
  c.push_back({ya + s.bo / 2, zt, ZVK_POINT_CORNER, 0});
  if (s.r > 0)
    AddArc(c, wr + s.r, zt + s.r, s.r, 270, 180);
  else
    c.push_back({wr, zt, ZVK_POINT_CORNER, 0});
  if (s.r > 0)
    AddArc(c, wr + s.r, zb - s.r, s.r, 180, 90);
  else
    c.push_back({wr, zb, ZVK_POINT_CORNER, 0});
  c.push_back({ya + s.bu / 2, zb, ZVK_POINT_CORNER, 0});
  c.push_back({ya + s.bu / 2, s.h, ZVK_POINT_CORNER, 0});
  c.push_back({ya - s.bu / 2, s.h, ZVK_POINT_CORNER, 0});
  c.push_back({ya - s.bu / 2, zb, ZVK_POINT_CORNER, 0});
  if (s.r > 0)
    AddArc(c, wl - s.r, zb - s.r, s.r, 90, 0);
  else
    c.push_back({wl, zb, ZVK_POINT_CORNER, 0});
  if (s.r > 0)
    AddArc(c, wl - s.r, zt + s.r, s.r, 0, -90);
  else
    c.push_back({wl, zt, ZVK_POINT_CORNER, 0});
  c.push_back({ya - s.bo / 2, zt, ZVK_POINT_CORNER, 0});

  double zs = s.CentroidZ(), zm = s.ShearCentreZ();
  auto table = [&](const char* key, double computed) {
    auto it = def.table.find(key);
    return it == def.table.end() ? computed : it->second;
  };

  // Wagner integral about the centroid; the fillets are taken as lumped at their centroids.
  double bzz = WagnerRect(-s.bo / 2, s.bo / 2, -zs, s.to - zs) + WagnerRect(-s.bu / 2, s.bu / 2, zb - zs, s.h - zs) +
               WagnerRect(-s.tw / 2, s.tw / 2, zt - zs, zb - zs);
  double af = Fillet::Area(s.r), e = Fillet::Offset(s.r), yf = s.tw / 2 + e;
  for (double zf : {zt + e - zs, zb - e - zs}) bzz += 2 * af * zf * (yf * yf + zf * zf);

  double* g = res.gqs;
  std::fill(g, g + 17, 0.0);
  g[0] = table("A", s.Area());
  g[1] = table("It", s.ItPlates());
  g[2] = s.ItPlates();
  g[3] = ya;
  g[4] = zs;
  g[5] = table("Iz", s.Iz());
  g[6] = 0;
  g[7] = table("Iy", s.Iy());
  g[8] = g[9] = 0;
  g[10] = table("Iw", s.Iw());
  g[11] = 0;
  g[12] = ya;
  g[13] = zm;
  g[14] = 0;
  g[15] = bzz;
  g[16] = 0;

  unsigned char* q = res.sqs;
  std::memset(q, 0, ZVK_SQS_SIZE);
  PutInt(q, 0, 0);
  PutInt(q, 4, ZVK_TYPE_I);
  PutDouble(q, 8, s.h);
  PutDouble(q, 16, s.tw);
  PutDouble(q, 24, s.r);
  PutDouble(q, 32, ya);
  PutDouble(q, 40, s.to / 2);
  PutDouble(q, 48, ya);
  PutDouble(q, 56, (zt + zb) / 2);
  PutDouble(q, 64, ya);
  PutDouble(q, 72, s.h - s.tu / 2);
  PutDouble(q, 88, s.bo);
  PutDouble(q, 96, ya - s.bo / 2);
  PutDouble(q, 104, s.to / 2);
  PutDouble(q, 112, s.to);
  PutDouble(q, 120, s.bu);
  PutDouble(q, 128, ya - s.bu / 2);
  PutDouble(q, 136, s.h - s.tu / 2);
  PutDouble(q, 144, s.tu);

  double z1 = s.to / 2, z2 = s.h - s.tu / 2;
  res.plates = {
      {ya - s.bo / 2, z1, ya + s.bo / 2, z1, s.to, s.bo, {s.r, s.r, 0, 0}},
      {ya, z1, ya, z2, s.tw, z2 - z1, {s.r, s.r, s.r, s.r}},
      {ya - s.bu / 2, z2, ya + s.bu / 2, z2, s.tu, s.bu, {s.r, s.r, 0, 0}},
  };
  res.partArea = s.bo * s.to + s.bu * s.tu + (z2 - z1) * s.tw;
  res.partIt = s.ItPlates();
}

bool EnsureCalculated(Project& p) {
  if (!p.loaded) return false;
  if (!p.calculated) {
    if (!p.def.sec.IsValid()) return false;
    Calculate(p.def, p.result);
    p.calculated = true;
  }
  return true;
}

std::string WithoutChar(std::string s, char ch) {
  s.erase(std::remove(s.begin(), s.end(), ch), s.end());
  return s;
}

}  // namespace

extern "C" {

int ZVK_DB_Open(const char* path, int mode) {
  State& s = S();
  s.lastError.clear();
  auto db = std::make_unique<Database>();
  if (!path || !*path) {
    s.lastError = "Kein Dateiname für die Profildatenbank.";
    return -1;
  }
  if (!ReadDatabase(path, *db, s.lastError)) return -1;
  int handle = s.nextDb++;
  s.dbs[handle] = std::move(db);
  return handle;
}

int ZVK_DB_Close(int db) { return S().dbs.erase(db) ? 0 : -1; }

int ZVK_DB_GetFilePath(int db, char* buffer, int size) {
  Database* d = Db(db);
  if (!d) return -1;
  CopyOut(d->path, buffer, size);
  return int(d->path.size());
}

int ZVK_DB_GetFirstFolderMember(int db, const char* folder, char* name, int size) {
  Database* d = Db(db);
  if (!d) return ZVK_MEMBER_END;
  auto it = d->folders.find(NormaliseFolder(folder ? folder : ""));
  d->listing = it == d->folders.end() ? nullptr : &it->second;
  d->listingPos = 0;
  return ZVK_DB_GetNextFolderMember(db, name, size);
}

int ZVK_DB_GetNextFolderMember(int db, char* name, int size) {
  Database* d = Db(db);
  if (!d || !d->listing || d->listingPos >= d->listing->size()) return ZVK_MEMBER_END;
  const Member& m = (*d->listing)[d->listingPos++];
  CopyOut(m.name, name, size);
  return m.kind;
}

int ZVK_DB_GetProject(int db, const char* path, int project) {
  Database* d = Db(db);
  Project* p = Pro(project);
  if (!d || !p || !path) return -1;
  std::string full(path);
  auto slash = full.rfind('\\');
  std::string folder = slash == std::string::npos ? "" : NormaliseFolder(full.substr(0, slash));
  std::string name = Trim(slash == std::string::npos ? full : full.substr(slash + 1));
  auto it = d->folders.find(folder);
  if (it == d->folders.end()) return -1;
  // The last profile of that name, as a later entry replaces an earlier one.
  const Member* found = nullptr;
  for (const Member& m : it->second)
    if (m.kind == ZVK_MEMBER_PROFILE && m.name == name) found = &m;
  if (!found) return -1;
  p->def = d->profiles[std::size_t(found->profile)];
  p->loaded = true;
  p->calculated = false;
  return 0;
}

int ZVK_DB_WriteCacheFile(int db, const char* cachePath) {
  State& s = S();
  s.lastError.clear();
  Database* d = Db(db);
  if (!d || !cachePath) {
    s.lastError = "Unbekannte Profildatenbank.";
    return 0;
  }
  int doc = VIDUV_CreateDoc("qzbcache");
  if (!doc) {
    s.lastError = VIDUV_GetLastError();
    return 0;
  }
  int root = VIDUV_GetRootElement(doc);
  int info = VIDUV_AddChildElement(root, "info");
  VIDUV_SetDouble(info, "dblversion", 2.0);
  VIDUV_SetString(info, "modulename", "ZvkReg");
  VIDUV_SetInt(info, "moduletype", 1);
  VIDUV_SetInt(info, "moduleversion", 2);
  VIDUV_SetInt(info, "modulerevision", 0);
  Project p;
  for (const std::string& folder : d->folderOrder) {
    int folderElement = 0;
    for (const Member& m : d->folders[folder]) {
      if (m.kind != ZVK_MEMBER_PROFILE) continue;
      if (!folderElement) {
        std::string elementName = VIDUV_MakeValidElementName(WithoutChar(folder, '\\').c_str());
        folderElement = VIDUV_AddChildElement(root, elementName.c_str());
      }
      p.def = d->profiles[std::size_t(m.profile)];
      p.loaded = true;
      p.calculated = false;
      if (!EnsureCalculated(p)) continue;
      std::string last = m.name.substr(m.name.rfind('\\') == std::string::npos ? 0 : m.name.rfind('\\') + 1);
      std::string elementName = VIDUV_MakeValidElementName(WithoutChar(last, '/').c_str());
      int e = VIDUV_AddChildElement(folderElement, elementName.c_str());
      VIDUV_SetString(e, "profName", m.name.c_str());
      const Result& r = p.result;
      VIDUV_SetBinData(e, "drawingPoints", int(r.contour.size() * sizeof(ZvkPoint)), r.contour.data(), 0);
      VIDUV_SetBinData(e, "Gqs", ZVK_GQS_SIZE, r.gqs, 0);
      VIDUV_SetBinData(e, "Sqs", ZVK_SQS_SIZE, r.sqs, 0);
      std::vector<double> radii;
      for (const auto& plate : r.plates) radii.insert(radii.end(), plate.radii, plate.radii + 4);
      VIDUV_SetBinData(e, "blechradien", int(radii.size() * sizeof(double)), radii.data(), 0);
    }
  }
  int ok = VIDUV_SaveDocAs(doc, cachePath);
  if (!ok) s.lastError = VIDUV_GetLastError();
  VIDUV_CloseDoc(doc);
  return ok;
}

const char* ZVK_GetLastError(void) { return S().lastError.c_str(); }

int ZVK_PRO_Create(void) {
  State& s = S();
  int handle = s.nextProject++;
  s.projects[handle] = std::make_unique<Project>();
  return handle;
}

int ZVK_PRO_Delete(int project) { return S().projects.erase(project) ? 0 : -1; }

int ZVK_PRO_GetDrawingPoints(int project, ZvkPoint* buffer, int* count) {
  Project* p = Pro(project);
  if (!count) return -1;
  if (!p || !EnsureCalculated(*p)) {
    *count = 0;
    return -1;
  }
  const auto& c = p->result.contour;
  if (!buffer) {
    *count = int(c.size());
    return 0;
  }
  int n = std::clamp(*count, 0, int(c.size()));
  std::copy(c.begin(), c.begin() + n, buffer);
  *count = n;
  return 0;
}

int ZVK_PRO_Calculate(int project) {
  Project* p = Pro(project);
  return p && EnsureCalculated(*p) ? 0 : -1;
}

int ZVK_PRO_GetResultSqs(int project, void* sqs) {
  Project* p = Pro(project);
  if (!p || !sqs || !p->calculated) return -1;
  std::memcpy(sqs, p->result.sqs, ZVK_SQS_SIZE);
  return 0;
}

int ZVK_PRO_GetResultGqs(int project, double* gqs) {
  Project* p = Pro(project);
  if (!p || !gqs || !p->calculated) return -1;
  std::copy(p->result.gqs, p->result.gqs + 17, gqs);
  return 0;
}

int ZVK_PRO_GetnTqs(int project) {
  Project* p = Pro(project);
  return p && p->calculated ? 1 : 0;
}

int ZVK_PRO_GetnTqe(int project, int part) {
  Project* p = Pro(project);
  return p && p->calculated && part == 0 ? int(p->result.plates.size()) : 0;
}

int ZVK_PRO_GetResultTqe(int project, int part, int plate, void* tqe) {
  Project* p = Pro(project);
  if (!p || !p->calculated || part != 0 || !tqe || plate < 0 || plate >= int(p->result.plates.size())) return -1;
  const auto& pl = p->result.plates[std::size_t(plate)];
  unsigned char* b = static_cast<unsigned char*>(tqe);
  std::memset(b, 0, ZVK_TQE_SIZE);
  const double head[6] = {pl.y1, pl.z1, pl.y2, pl.z2, pl.t, pl.length};
  std::memcpy(b, head, sizeof head);
  std::memcpy(b + 160, pl.radii, sizeof pl.radii);
  return 0;
}

int ZVK_PRO_GetResultTqs(int project, int part, void* tqs) {
  Project* p = Pro(project);
  if (!p || !p->calculated || part != 0 || !tqs) return -1;
  unsigned char* b = static_cast<unsigned char*>(tqs);
  std::memset(b, 0, ZVK_TQS_SIZE);
  PutDouble(b, 0, p->result.partArea);
  PutDouble(b, 88, p->result.partIt);
  return 0;
}

}  // extern "C"
