#include "platform/catalogs/zurovo.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/viduv/viduv.h"
#include "platform/win/base/paths.h"

namespace {

constexpr const char* kRootName = "Materialdatenbank";

struct Offen {
  int document = 0;
  bool formeln = false;  // some property is given by a formula
};

struct State {
  std::map<int, Offen> offen;  // root element -> its database
  std::string lastError;
  std::string pathBuffer;
  std::string checkBuffer;
};

// Built when the library is loaded, so that it outlives the callers' global objects, which close their
// handles here while the process ends.
State g_state;
State& S() { return g_state; }

std::string StandardPath() { return win::JoinPath(win::InstallRoot(), "catalogs/material.xml"); }
std::string UserPath() { return win::JoinPath(win::InstallRoot(), "userMaterial.xml"); }

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// How the opens judge a property's value: a number or any text, and for a number whether it must be above zero.
enum class Art { Text, Zahl, Positiv };

// The properties the calculations read as numbers, sorted for the binary search (every property of the shipped
// catalogue is looked up once per open); the positive ones are those a calculation divides by or scales with.
Art ArtVon(std::string_view key) {
  static constexpr std::pair<std::string_view, Art> kArten[] = {
      {"E", Art::Positiv},         {"Ec0m", Art::Positiv},
      {"Ecm", Art::Positiv},       {"G", Art::Positiv},
      {"alpha_t", Art::Zahl},      {"beta_r", Art::Positiv},
      {"beta_s", Art::Positiv},    {"beta_wn", Art::Positiv},
      {"duk", Art::Zahl},          {"epsilon_c1", Art::Zahl},
      {"epsilon_c1u", Art::Zahl},  {"epsilon_c2", Art::Zahl},
      {"epsilon_c2u", Art::Zahl},  {"epsilon_d", Art::Zahl},
      {"epsilon_szul", Art::Zahl}, {"epsilon_u", Art::Zahl},
      {"epsilon_yd", Art::Zahl},   {"fbd", Art::Zahl},
      {"fck", Art::Positiv},       {"fck_cube", Art::Zahl},
      {"fcm", Art::Positiv},       {"fctk_005", Art::Zahl},
      {"fctk_095", Art::Zahl},     {"fctm", Art::Zahl},
      {"ftk", Art::Positiv},       {"fyk", Art::Positiv},
      {"gamma", Art::Positiv},     {"gamma_ca", Art::Positiv},
      {"gamma_caf", Art::Positiv}, {"gamma_cau", Art::Positiv},
      {"gamma_cg", Art::Positiv},  {"gamma_cgf", Art::Positiv},
      {"gamma_cgu", Art::Positiv}, {"gamma_sa", Art::Positiv},
      {"gamma_sg", Art::Positiv},  {"gamma_u", Art::Zahl},
      {"mue", Art::Zahl},          {"n", Art::Zahl},
      {"phi", Art::Zahl},          {"tau_cd", Art::Zahl},
      {"tau_cm", Art::Zahl}};
  static_assert(std::is_sorted(std::begin(kArten), std::end(kArten),
                               [](const auto& a, const auto& b) { return a.first < b.first; }));
  const auto* it = std::lower_bound(std::begin(kArten), std::end(kArten), key,
                                    [](const auto& e, std::string_view k) { return e.first < k; });
  return it != std::end(kArten) && it->first == key ? it->second : Art::Text;
}

// A value as the format writes it: a finite number with a decimal point, blanks around it allowed.
bool AlsZahl(const char* begin, double& wert) {
  char* end = nullptr;
  wert = std::strtod(begin, &end);
  if (end == begin) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0' && std::isfinite(wert);
}

// The fault of one value, empty when it is sound.
std::string WertFehler(const char* key, const char* text) {
  const Art art = ArtVon(key);
  if (art == Art::Text) return {};
  double wert = 0.0;
  const bool zahl = AlsZahl(text, wert);
  if (!zahl && (*text || art == Art::Positiv)) return std::string(key) + " = \"" + text + "\" ist keine Zahl.";
  if (zahl && art == Art::Positiv && !(wert > 0.0)) return std::string(key) + " = " + text + " muss größer als 0 sein.";
  return {};
}

// The names from the category down to `element`, as a fault message shows its place ("Wurzel" above them).
std::string Ort(const std::vector<std::string>& pfad) {
  if (pfad.empty()) return "Wurzel";
  std::string wo = pfad[0];
  for (std::size_t i = 1; i < pfad.size(); ++i) wo += " / " + pfad[i];
  return wo;
}

// The faults of the properties directly under `element`; the place is only spelt out for a fault, as a
// database of sound values is read on every start.
void PruefeEigenschaften(int element, const std::vector<std::string>& pfad, std::vector<std::string>& fehler,
                         bool& formeln) {
  for (int p = VIDUV_FindFirstChild(element, "Eigenschaft"); p; p = VIDUV_FindNextChild(p, "Eigenschaft")) {
    // a value given by a formula is known once the material handler has evaluated it
    if (*VIDUV_GetString(p, "Formel")) {
      formeln = true;
      continue;
    }
    const std::string fehlerText = WertFehler(VIDUV_GetString(p, "Kurzname"), VIDUV_GetString(p, "Wert01"));
    if (!fehlerText.empty()) fehler.push_back(Ort(pfad) + ": " + fehlerText);
  }
}

// Every property of the tree, in document order: under the root, the categories, subcategories, codes and
// their grades.
void PruefeWerte(int element, std::vector<std::string>& pfad, int ebene, std::vector<std::string>& fehler,
                 bool& formeln) {
  static const char* const kEbenen[] = {"Kategorie", "Unterkategorie", "Norm", "Objekt"};
  PruefeEigenschaften(element, pfad, fehler, formeln);
  if (ebene >= 4) return;
  for (int c = VIDUV_FindFirstChild(element, kEbenen[ebene]); c; c = VIDUV_FindNextChild(c, kEbenen[ebene])) {
    pfad.emplace_back(VIDUV_GetString(c, "Name"));  // the library keeps its answer for a few calls only
    PruefeWerte(c, pfad, ebene + 1, fehler, formeln);
    pfad.pop_back();
  }
}

int Open(const std::string& path, bool required) {
  State& s = S();
  s.lastError.clear();
  if (!FileExists(path)) {
    if (required) s.lastError = "Die Materialdatenbank '" + path + "' wurde nicht gefunden.";
    return 0;
  }
  int doc = VIDUV_OpenDoc(path.c_str());
  if (!doc) {
    s.lastError = "Die Materialdatenbank '" + path + "' kann nicht gelesen werden: " + VIDUV_GetLastError();
    return 0;
  }
  int root = VIDUV_GetRootElement(doc);
  if (!root || std::string(VIDUV_GetElementName(root)) != kRootName) {
    s.lastError = "Die Datei '" + path + "' ist keine Materialdatenbank (Wurzelelement \"" +
                  (root ? VIDUV_GetElementName(root) : "") + "\" statt \"" + kRootName + "\").";
    VIDUV_CloseDoc(doc);
    return 0;
  }
  // A value that makes no sense would be calculated into NaN or zero: the database is not used at all.
  std::vector<std::string> fehler;
  std::vector<std::string> pfad;
  bool formeln = false;
  PruefeWerte(root, pfad, 0, fehler, formeln);
  if (!fehler.empty()) {
    constexpr std::size_t kGezeigt = 10;
    s.lastError = "Die Materialdatenbank '" + path + "' enthält unbrauchbare Werte und wird nicht verwendet:";
    for (std::size_t i = 0; i < fehler.size() && i < kGezeigt; ++i) s.lastError += "\n- " + fehler[i];
    if (fehler.size() > kGezeigt) s.lastError += "\n(und " + std::to_string(fehler.size() - kGezeigt) + " weitere)";
    VIDUV_CloseDoc(doc);
    return 0;
  }
  s.offen[root] = Offen{doc, formeln};
  return root;
}

}  // namespace

extern "C" {

int ZUROVO_OpenStandard(void) { return Open(StandardPath(), true); }

int ZUROVO_OpenUser(void) { return Open(UserPath(), false); }

int ZUROVO_Close(int root) {
  State& s = S();
  auto it = s.offen.find(root);
  if (it == s.offen.end()) return 0;
  VIDUV_CloseDoc(it->second.document);
  s.offen.erase(it);
  return 1;
}

int ZUROVO_HasFormulas(int root) {
  auto it = S().offen.find(root);
  return it != S().offen.end() && it->second.formeln ? 1 : 0;
}

const char* ZUROVO_GetLastError(void) { return S().lastError.c_str(); }

const char* ZUROVO_CheckValue(const char* key, const char* text) {
  S().checkBuffer = WertFehler(key ? key : "", text ? text : "");
  return S().checkBuffer.c_str();
}

const char* ZUROVO_GetStandardPath(void) {
  S().pathBuffer = StandardPath();
  return S().pathBuffer.c_str();
}

const char* ZUROVO_GetUserPath(void) {
  S().pathBuffer = UserPath();
  return S().pathBuffer.c_str();
}

}  // extern "C"
