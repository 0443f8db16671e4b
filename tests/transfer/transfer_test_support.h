// Helpers of the transfer tests: source positions as other positions of a project store their actions and
// export their values.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/lkdata.h"
#include "platform/viduv/viduv.h"

namespace transfer_test {

namespace fs = std::filesystem;

inline CEinwirkung Action(int nr, int group, int category = 0, int alt = 0, const char* desc = "") {
  CEinwirkung a;
  a.nr = nr;
  a.indexGruppeHHHH = group;
  a.indexGruppe = group;
  a.indexKategorie = category;
  a.alternativgruppe = alt;
  a.desc = desc;
  return a;
}

struct SourceValue {
  const char* desc;
  double val;
  const char* unit;
};
struct SourceFolder {
  std::vector<const char*> path;  // below "exports"
  std::vector<SourceValue> values;
};

// A source column position as it stores its actions and exports its support reactions.
inline void WriteSource(const fs::path& file, const std::vector<CEinwirkung>& actions,
                        const std::vector<SourceFolder>& folders) {
  int doc = VIDUV_CreateDoc(file.string().c_str());
  ASSERT_NE(doc, 0);
  int root = VIDUV_GetRootElement(doc);
  VIDUV_SetString(root, "progname", "KOLUMO ");
  VIDUV_SetString(root, "modulename", "");
  VIDUV_AddChildElement(root, "info");
  int input = VIDUV_AddChildElement(root, "input");
  int stage = VIDUV_AddChildElement(VIDUV_AddChildElement(input, "Einwirkungen"), "BauZustand");
  VIDUV_SetInt(stage, "bzNr", 0);
  int lk = VIDUV_AddChildElement(stage, "lastUeberlagerung");
  VIDUV_SetInt(lk, "version", 2);
  VIDUV_SetInt(lk, "lknorm", 1);
  VIDUV_SetInt(lk, "modus", 3);
  VIDUV_SetInt(lk, "mitAlternativLasten", 1);
  int list = VIDUV_AddChildElement(lk, "einwirkungen");
  int cases = VIDUV_AddChildElement(lk, "lastfaelle");
  for (const CEinwirkung& a : actions) {
    int e = VIDUV_AddChildElement(list, "einwirkung");
    VIDUV_SetInt(e, "einw", a.nr);
    VIDUV_SetInt(e, "indexGruppe", a.indexGruppe);
    VIDUV_SetInt(e, "indexGruppeHHHH", a.indexGruppeHHHH);
    VIDUV_SetInt(e, "indexKategorie", a.indexKategorie);
    VIDUV_SetInt(e, "alternativgruppe", a.alternativgruppe);
    VIDUV_SetString(e, "desc", a.desc);
    int c = VIDUV_AddChildElement(cases, "lastfall");
    VIDUV_SetInt(c, "lf", a.nr);
    VIDUV_SetInt(c, "einw", a.nr);
  }
  int exports = VIDUV_AddChildElement(root, "exports");
  for (const SourceFolder& f : folders) {
    int element = exports;
    for (const char* name : f.path) {
      int found = VIDUV_FindFirstChildWithAttr(element, "desc", name);
      if (!found) {
        found = VIDUV_AddChildElement(element, "folder");
        VIDUV_SetString(found, "desc", name);
      }
      element = found;
    }
    for (const SourceValue& v : f.values) {
      int value = VIDUV_AddChildElement(element, "value");
      VIDUV_SetString(value, "desc", v.desc);
      VIDUV_SetString(value, "varName", "A");
      VIDUV_SetDouble(value, "val", v.val);
      VIDUV_SetString(value, "unit", v.unit);
    }
  }
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  VIDUV_CloseDoc(doc);
}

// Support 0 of a column carrying a permanent action (100 kN) and one variable action (`live` kN), as the
// column exports them: folders named by group number, Az values, and the extremal superposition.
inline std::vector<SourceFolder> ColumnExports(double live) {
  return {
      {{"Auflager0", "z-z", "1: ständig"}, {{"max Az", 100.0, "kN"}, {"min Az", 100.0, "kN"}}},
      {{"Auflager0", "z-z", "2: Verkehr add.1"}, {{"max Az", live, "kN"}, {"min Az", 0.0, "kN"}}},
      {{"Auflager0", "z-z", "extremal"},
       {{"max Az", 100.0 + live, "kN"},
        {"min Az", 100.0, "kN"},
        {"Az (g)", 100.0, "kN"},
        {"Az (max-g)", live, "kN"},
        {"Az (min-g)", 0.0, "kN"}}},
  };
}

inline const std::vector<CEinwirkung> kSourceActions = {Action(1, 0, 0, 0, "1: ständig"),
                                                        Action(2, 1, 1, 0, "2: veränderlich")};

// A position that exports one value at `path` (folders then the value's "desc", joined by "\") whose "val" is
// the text `val` as it stands, so that a source can hold what no number writer makes.
inline void WriteValueSource(const fs::path& file, const std::string& path, const char* val, const char* unit = "kN") {
  int doc = VIDUV_CreateDoc(file.string().c_str());
  ASSERT_NE(doc, 0);
  int element = VIDUV_AddChildElement(VIDUV_GetRootElement(doc), "exports");
  std::size_t start = 0;
  for (std::size_t slash; (slash = path.find('\\', start)) != std::string::npos; start = slash + 1) {
    element = VIDUV_AddChildElement(element, "folder");
    VIDUV_SetString(element, "desc", path.substr(start, slash - start).c_str());
  }
  int value = VIDUV_AddChildElement(element, "value");
  VIDUV_SetString(value, "desc", path.substr(start).c_str());
  VIDUV_SetString(value, "varName", "x");
  VIDUV_SetString(value, "val", val);
  VIDUV_SetString(value, "unit", unit);
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1);
  VIDUV_CloseDoc(doc);
}

// Runs the rest of a scope in another current folder, as a program started elsewhere does.
class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
  ~CurrentFolder() { fs::current_path(previous_); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  fs::path previous_;
};

}  // namespace transfer_test
