#include "platform/catalogs/zurovo.h"

#include <sys/stat.h>

#include <map>
#include <string>

#include "platform/viduv/viduv.h"
#include "platform/win/paths.h"

namespace {

constexpr const char* kRootName = "Materialdatenbank";

struct State {
  std::map<int, int> documentOfRoot;  // root element -> document
  std::string lastError;
  std::string pathBuffer;
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
  s.documentOfRoot[root] = doc;
  return root;
}

}  // namespace

extern "C" {

int ZUROVO_OpenStandard(void) { return Open(StandardPath(), true); }

int ZUROVO_OpenUser(void) { return Open(UserPath(), false); }

int ZUROVO_Close(int root) {
  State& s = S();
  auto it = s.documentOfRoot.find(root);
  if (it == s.documentOfRoot.end()) return 0;
  VIDUV_CloseDoc(it->second);
  s.documentOfRoot.erase(it);
  return 1;
}

const char* ZUROVO_GetLastError(void) { return S().lastError.c_str(); }

const char* ZUROVO_GetStandardPath(void) {
  S().pathBuffer = StandardPath();
  return S().pathBuffer.c_str();
}

const char* ZUROVO_GetUserPath(void) {
  S().pathBuffer = UserPath();
  return S().pathBuffer.c_str();
}

}  // extern "C"
