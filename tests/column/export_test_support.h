// Helpers of the export tests: a cantilever column with hand-worked foundation-load records, reading the exports
// tree back, and the foundation module's default-input template.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "column/kolumodata.h"
#include "column_test_support.h"
#include "platform/viduv/viduv.h"

namespace export_test {

// One row of a foundation-load record: support number and the reactions (kN, kNm).
struct Row {
  int knr;
  double apx, apy, apz, amy, amx, damy = 0.0, damx = 0.0;
};

inline void AddRecord(CKolumoData& d, int lk, int system, std::initializer_list<Row> rows) {
  auto record = std::make_unique<CResultFundkraefte>();
  record->LK = lk;
  record->System = system;
  for (const Row& r : rows) {
    record->KNr.push_back(r.knr);
    record->Kote.push_back(r.knr == 1 ? 0.0 : 4.0);
    record->Apx.push_back(r.apx);
    record->Apy.push_back(r.apy);
    record->Apz.push_back(r.apz);
    record->Amy.push_back(r.amy);
    record->Amx.push_back(r.amx);
    record->dAmy.push_back(r.damy);
    record->dAmx.push_back(r.damx);
  }
  d.ergebnisse.Fundkraefte.push_back(std::move(record));
}

inline void AddAction(CLKData& lk, int nr, int kind) {
  CEinwirkung e;
  e.nr = nr;
  e.indexGruppe = kind;
  e.indexGruppeHHHH = kind;
  lk.einwirkungen.Add(e);
}

inline void AddLoadCase(CLKData& lk, int einw) {
  CLKLastfall lf;
  lf.lf = int(lk.lastfaelle.GetSize()) + 1;
  lf.einw = einw;
  lk.lastfaelle.Add(lf);
}

inline void AddCombination(CLKData& lk, const char* formel) {
  CKombination k;
  k.art = "Ed";
  k.regel = formel;
  lk.kombinationen.Add(k);
}

// A cantilever 4 m high, fixed at its foot (support 1, Kote 0), free at its head: a single field.
// (A column in compression has a negative Apz: its support pushes up, Az = -Apz.)
//   load case 1, action 1 permanent:             G  = 500 kN axial        -> Apz = -500
//   load case 2, action 2 variable additive:     Hy = 10 kN at the head   -> Apy = 10, Amy = 10 * 4 = 40
//   load case 3, action 3 variable alternative:  Hx = 5 kN at the head    -> Apx = 5,  Amx = 5 * 4 = 20
// Combinations of the final system (the first one is not evaluated):
//   0: 1.35*(1)   1: 1.35*(1)+1.50*(2)   2: 1.35*(1)+1.50*(3)+1.05*(2)   3: 1.00*(1)+1.50*(3)
// Design records (first-order sums; dAmy, dAmx second-order increments given):
//   LK 1: Apz = -1.35*500 = -675, Apy = 1.5*10 = 15, Amy = 1.5*40 = 60, dAmy = 2.5
//   LK 2: Apz = -675, Apx = 1.5*5 = 7.5, Amx = 1.5*20 = 30, dAmx = 1.2, Apy = 1.05*10 = 10.5, Amy = 1.05*40 = 42,
//         dAmy = 1.8
//   LK 3: Apz = -500, Apx = 7.5, Amx = 30, dAmx = 0.9
inline void FillCantilever(CKolumoData& d) {
  d.SetFieldCount(1);
  d.fieldLengths[0] = 4.0;
  d.querschnitte[0].type = 0;
  d.querschnitte[0].bx = 40.0;
  d.querschnitte[0].dy = 35.0;
  CLKData& lk = d.lastUeberlagerungBZ[0];
  lk.lastfaelle.RemoveAll();
  lk.einwirkungen.RemoveAll();
  lk.kombinationen.RemoveAll();
  AddAction(lk, 1, 0);
  AddAction(lk, 2, 1);
  AddAction(lk, 3, 2);
  for (int einw : {1, 2, 3}) AddLoadCase(lk, einw);
  for (const char* formel : {"1.35*(1)", "1.35*(1)+1.50*(2)", "1.35*(1)+1.50*(3)+1.05*(2)", "1.00*(1)+1.50*(3)"})
    AddCombination(lk, formel);
  d.maxLF[0] = 3;
  d.ergebnisse.Fundkraefte.clear();
  AddRecord(d, -1, 0, {{1, 0, 0, -500, 0, 0}});
  AddRecord(d, -2, 0, {{1, 0, 10, 0, 40, 0}});
  AddRecord(d, -3, 0, {{1, 5, 0, 0, 0, 20}});
  AddRecord(d, 1, 0, {{1, 0, 15, -675, 60, 0, 2.5, 0}});
  AddRecord(d, 2, 0, {{1, 7.5, 10.5, -675, 42, 30, 1.8, 1.2}});
  AddRecord(d, 3, 0, {{1, 7.5, 0, -500, 0, 30, 0, 0.9}});
}

// Every value of the exports tree by its path ("folder\folder\desc"), with its variable name and unit.
struct ExportValue {
  double val = 0.0;
  std::string varName;
  std::string unit;
  bool operator==(const ExportValue&) const = default;
};
using ExportMap = std::map<std::string, ExportValue>;

inline void CollectValues(int element, const std::string& prefix, ExportMap& out) {
  for (int child = VIDUV_GetFirstChild(element); child; child = VIDUV_GetNextChild(child)) {
    const std::string name = VIDUV_GetElementName(child);
    const std::string desc = VIDUV_GetString(child, "desc");
    if (name == "folder") CollectValues(child, prefix + desc + "\\", out);
    if (name == "value")
      out[prefix + desc] = {VIDUV_GetDouble(child, "val"), VIDUV_GetString(child, "varName"),
                            VIDUV_GetString(child, "unit")};
  }
}

inline ExportMap Exports(int document) {
  ExportMap values;
  CollectValues(VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "exports"), "", values);
  return values;
}

// A foundation module's default-input template: the elements the foundation export needs, with the codes given.
inline void WriteFoundationTemplate(const std::filesystem::path& path, const char* progname = "FUND",
                                    const char* modulename = "platte2", bool withGeom = true) {
  std::filesystem::create_directories(path.parent_path());
  const int doc = VIDUV_CreateDoc(path.c_str());
  ASSERT_NE(doc, 0);
  const int root = VIDUV_GetRootElement(doc);
  VIDUV_SetString(root, "progname", progname);
  VIDUV_SetString(root, "modulename", modulename);
  VIDUV_SetString(root, "version", "2012.01");
  VIDUV_SetInt(VIDUV_AddChildElement(root, "info"), "errors", 0);
  const int input = VIDUV_AddChildElement(root, "input");
  VIDUV_SetInt(VIDUV_AddChildElement(input, "wahl"), "berart", 0);
  if (withGeom) VIDUV_SetDouble(VIDUV_AddChildElement(input, "geom"), "afu", 1.0);
  const int last = VIDUV_AddChildElement(input, "last");
  VIDUV_SetString(VIDUV_AddChildElement(last, "lastgruppe"), "bezeichnung", "aus der Vorlage");
  ASSERT_EQ(VIDUV_SaveDoc(doc), 1) << VIDUV_GetLastError();
  VIDUV_CloseDoc(doc);
}

inline std::string FileBytes(const std::filesystem::path& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

// The column tests' scratch folder, with the user data folder (and so the foundation template) inside it.
class ExportTest : public column_test::ColumnTest {
 protected:
  void SetUp() override {
    ColumnTest::SetUp();
    const char* old = std::getenv("KOLUMO_COMMON_DATA");
    hadCommonData_ = old != nullptr;
    if (old) oldCommonData_ = old;
    setenv("KOLUMO_COMMON_DATA", (folder_ / "common").c_str(), 1);
    std::filesystem::create_directories(folder_ / "common" / "ormi");
  }
  void TearDown() override {
    if (hadCommonData_)
      setenv("KOLUMO_COMMON_DATA", oldCommonData_.c_str(), 1);
    else
      unsetenv("KOLUMO_COMMON_DATA");
    ColumnTest::TearDown();
  }
  std::filesystem::path TemplatePath() const {
    return folder_ / "common" / "ormi" / "Vorlagen" / "TQ-FUND_platte2 Vorbelegung.tqx";
  }

 private:
  bool hadCommonData_ = false;
  std::string oldCommonData_;
};

}  // namespace export_test
