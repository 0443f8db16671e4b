#include "framework/matehandler.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "formula/formulanumber.h"
#include "formula/varstore.h"
#include "framework/utilities.h"
#include "platform/catalogs/zurovo.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "designcode/designcode.h"

namespace {

const char* Tr(const char* text) { return TOLK_Translate("Ormi Eingabe", "vernik_i_common", "CMateHandler", text); }

void Log(const char* text) {
  CLogFile log(GetInstallRoot() + "\\startup.log");
  log.WriteLine(text);
}

// Children of `parent` whose "Name" is `name`: of element `elementName` at the category level, of any element
// name below it.
std::vector<int> ChildrenNamed(int parent, const char* name, const char* elementName) {
  std::vector<int> out;
  for (int c = VIDUV_FindFirstChildWithAttr(parent, "Name", name); c; c = VIDUV_FindNextChildWithAttr(c, "Name", name))
    if (!elementName || CString(VIDUV_GetElementName(c)) == elementName) out.push_back(c);
  return out;
}

std::vector<int> ChildrenOfElement(int parent, const char* elementName) {
  std::vector<int> out;
  for (int c = VIDUV_FindFirstChild(parent, elementName); c; c = VIDUV_FindNextChild(c, elementName)) out.push_back(c);
  return out;
}

// The elements below a database root at the end of the path (category, subcategory, code).
std::vector<int> Descend(int root, const std::vector<CString>& path) {
  std::vector<int> level{root};
  for (std::size_t i = 0; i < path.size(); ++i) {
    std::vector<int> next;
    for (int e : level)
      for (int c : ChildrenNamed(e, path[i], i == 0 ? "Kategorie" : nullptr)) next.push_back(c);
    level = std::move(next);
  }
  return level;
}

const char* const kLevelElement[] = {"Kategorie", "Unterkategorie", "Norm", "Objekt"};

// The editor program: beside the host program, else on the search path; empty when there is none.
std::string FindEditor(const char* program) {
  auto executable = [](const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
  };
  std::string beside = win::JoinPath(GetExeDir().str(), program);
  if (executable(beside)) return beside;
  const char* env = std::getenv("PATH");
  std::string dirs = env ? env : "";
  std::size_t start = 0;
  while (!dirs.empty() && start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = win::JoinPath(end > start ? dirs.substr(start, end - start) : ".", program);
    if (executable(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

// --- CMateProps ---

CMateProps::CMateProps() = default;

CMateProps::CMateProps(const CMateProps& other) { *this = other; }

CMateProps& CMateProps::operator=(const CMateProps& other) {
  if (this == &other) return *this;
  m_values.RemoveAll();
  m_formulas.RemoveAll();
  CString key, value;
  for (POSITION pos = other.m_values.GetStartPosition(); pos;) {
    other.m_values.GetNextAssoc(pos, key, value);
    m_values.SetAt(key, value);
  }
  for (POSITION pos = other.m_formulas.GetStartPosition(); pos;) {
    other.m_formulas.GetNextAssoc(pos, key, value);
    m_formulas.SetAt(key, value);
  }
  m_bUser = other.m_bUser;
  m_element = other.m_element;
  m_properties.Copy(other.m_properties);
  m_priority = other.m_priority;
  return *this;
}

CString CMateProps::GetValue(const char* key) const {
  CString value;
  return m_values.Lookup(key, value) ? value : CString();
}

void CMateProps::SetValue(const char* key, const char* text) { m_values.SetAt(key, text); }

// --- CMateHandler ---

CMateHandler::CMateHandler() {
  Log("CMateHandler():110");
  OpenStandardDB(TRUE);
  Log("CMateHandler():115");
  OpenUserDB(TRUE);
  Log("CMateHandler():117");
}

CMateHandler::~CMateHandler() {
  OpenStandardDB(FALSE);
  OpenUserDB(FALSE);
}

void CMateHandler::SetHandle(int& handle, int value) {
  handle = value;
  m_cacheKey.Empty();
}

void CMateHandler::ReportOpenFailure() {
  CString message = ZUROVO_GetLastError();
  if (message.IsEmpty()) return;
  Log("CMateHandler(): " + message);
  CString text;
  text.Format(Tr("Die Materialdatenbank steht nicht zur Verfügung:\n%s"), message.GetString());
  AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

CString CMateHandler::FormulaFaults(int root, int bUser) {
  // without a formula every value was judged as the database was opened
  if (!ZUROVO_HasFormulas(root)) return CString();
  static const char* const kLevels[] = {"Kategorie", "Unterkategorie", "Norm", "Objekt"};
  std::vector<std::string> faults;
  // depth first through the levels; each grade with a formula among its properties is evaluated
  struct Node {
    int element;
    std::string where;
    int level;
  };
  std::vector<Node> open{{root, "", 0}};
  while (!open.empty()) {
    const Node n = open.back();
    open.pop_back();
    if (n.level == 4) {
      CMateProps record;
      LoadRecord(record, n.element, bUser);
      CString key, formula;
      for (POSITION pos = record.m_formulas.GetStartPosition(); pos;) {
        record.m_formulas.GetNextAssoc(pos, key, formula);
        const CString value = record.GetValue(key);
        const std::string fault = ZUROVO_CheckValue(key, value);
        if (!fault.empty()) faults.push_back(n.where + ": " + fault + " (Formel " + formula.str() + ")");
      }
      continue;
    }
    for (int c = VIDUV_FindFirstChild(n.element, kLevels[n.level]); c; c = VIDUV_FindNextChild(c, kLevels[n.level]))
      open.push_back({c, n.where + (n.level ? " / " : "") + VIDUV_GetString(c, "Name"), n.level + 1});
  }
  CString text;
  for (const std::string& fault : faults) text += CString("\n- ") + fault.c_str();
  return text;
}

void CMateHandler::Open(int& handle, int (*open)(), const char* path, int bUser) {
  SetHandle(handle, open());
  if (!handle) {
    ReportOpenFailure();
    return;
  }
  const CString faults = FormulaFaults(handle, bUser);
  if (faults.IsEmpty()) return;
  ZUROVO_Close(handle);
  SetHandle(handle, 0);
  CString text;
  text.Format(Tr("Die Materialdatenbank steht nicht zur Verfügung:\nDie Materialdatenbank '%s' enthält unbrauchbare "
                 "Werte und wird nicht verwendet:%s"),
              path, faults.GetString());
  Log("CMateHandler(): " + text);
  AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

void CMateHandler::OpenStandardDB(BOOL bOpen) {
  if (bOpen && !m_databases[0]) {
    Open(m_databases[0], ZUROVO_OpenStandard, ZUROVO_GetStandardPath(), 0);
  } else if (!bOpen && m_databases[0]) {
    ZUROVO_Close(m_databases[0]);
    SetHandle(m_databases[0], 0);
  }
}

void CMateHandler::OpenUserDB(BOOL bOpen) {
  if (bOpen && !m_databases[1]) {
    Open(m_databases[1], ZUROVO_OpenUser, ZUROVO_GetUserPath(), 1);
  } else if (!bOpen && m_databases[1]) {
    ZUROVO_Close(m_databases[1]);
    SetHandle(m_databases[1], 0);
  }
}

CString CMateHandler::CorrectNormName(const char* norm) {
  if (!norm) return CString();
  for (const designcode::DesignCode& c : designcode::kCodes)
    if (std::strcmp(norm, c.gradeList) == 0) return c.catalogue;
  return norm;
}

void CMateHandler::CorrectRebarGradeName(const char* kat, const char* ukat, const char* norm, CString& objekt) {
  if (CString(kat) != "Stahl" || CString(ukat) != "Betonstahl") return;
  bool eurocode = false;
  for (const designcode::DesignCode& c : designcode::kCodes)
    if (norm && c.eurocode && std::strcmp(norm, c.catalogue) == 0) eurocode = true;
  if (!eurocode) return;
  if (objekt == "BSt 500 SA" || objekt == "BSt 500 MA")
    objekt = "B500A";
  else if (objekt == "BSt 500 SB" || objekt == "BSt 500 MB")
    objekt = "B500B";
}

// Level 0 categories, 1 subcategories, 2 codes, 3 objects.
void CMateHandler::ListByPriority(int level, const char* kat, const char* ukat, CStringArray& out) {
  std::vector<CString> path;
  if (level >= 1) path.push_back(kat);
  if (level >= 2) path.push_back(ukat);
  struct Named {
    CString name;
    int priority;
  };
  std::vector<Named> names;  // first occurrence in document order
  auto find = [&names](const CString& name) -> Named* {
    for (auto& n : names)
      if (n.name == name) return &n;
    return nullptr;
  };
  int top = 0;
  for (int i = 0; m_databases[i]; ++i) {
    for (int parent : Descend(m_databases[i], path)) {
      for (int e : ChildrenOfElement(parent, kLevelElement[level])) {
        CString name = VIDUV_GetString(e, "Name");
        int priority = VIDUV_GetInt(e, "Prioritaet");
        if (priority > top) top = priority;
        if (!find(name)) names.push_back({name, priority});
      }
    }
  }
  out.RemoveAll();
  out.SetSize(top + 1);
  for (const auto& n : names) {
    // A negative priority has no slot: refused like any other priority outside the list.
    if (n.priority < 0) {
      AfxMessageBox("mateHandler: priority mismatch!", MB_OK);
    } else if (out[n.priority].IsEmpty()) {
      out[n.priority] = n.name;
    } else {
      out.Add(n.name);
    }
  }
}

int CMateHandler::GetKategorien(CStringArray& out) {
  ListByPriority(0, "", "", out);
  return int(out.GetSize());
}

int CMateHandler::GetUnterkategorien(const char* kat, CStringArray& out) {
  ListByPriority(1, kat, "", out);
  return int(out.GetSize());
}

int CMateHandler::GetNormen(const char* kat, const char* ukat, CStringArray& out) {
  ListByPriority(2, kat, ukat, out);
  return int(out.GetSize());
}

int CMateHandler::GetObjekte(const char* kat, const char* ukat, const char* norm, CStringArray& out) {
  std::vector<CString> path{kat, ukat, CorrectNormName(norm)};
  struct Named {
    CString name;
    int priority;
  };
  std::vector<Named> names;  // the last occurrence of a name sets its priority
  int counter = 0;
  for (int i = 0; m_databases[i]; ++i) {
    for (int parent : Descend(m_databases[i], path)) {
      for (int e : ChildrenOfElement(parent, "Objekt")) {
        CString name = VIDUV_GetString(e, "Name");
        CString text = VIDUV_GetString(e, "Prioritaet");
        text.Trim();
        int priority = text.IsEmpty() ? counter : std::atoi(text);
        if (priority + 1 > counter) counter = priority + 1;
        bool known = false;
        for (auto& n : names)
          if (n.name == name) {
            n.priority = priority;
            known = true;
          }
        if (!known) names.push_back({name, priority});
      }
    }
  }
  out.RemoveAll();
  out.SetSize(counter);
  for (const auto& n : names) {
    if (n.priority < 0 || n.priority >= counter) {
      AfxMessageBox("mateHandler: priority mismatch!", MB_OK);
      continue;
    }
    out[n.priority] = n.name;
  }
  return int(out.GetSize());
}

void CMateHandler::LoadRecord(CMateProps& record, int element, int bUser) {
  record = CMateProps();
  record.m_element = element;
  record.m_bUser = bUser;
  record.m_priority = -1;
  for (int e = element; e; e = VIDUV_GetParentElement(e)) {
    for (int p = VIDUV_FindFirstChild(e, "Eigenschaft"); p; p = VIDUV_FindNextChild(p, "Eigenschaft")) {
      CString key = VIDUV_GetString(p, "Kurzname");
      record.m_values.SetAt(key, VIDUV_GetString(p, "Wert01"));
      CString formula = VIDUV_GetString(p, "Formel");
      if (!formula.IsEmpty()) record.m_formulas.SetAt(key, formula);
      record.m_properties.Add(p);
    }
  }
  if (!element) return;
  CString priority = VIDUV_GetString(element, "Prioritaet");
  if (!priority.IsEmpty()) record.m_priority = std::atoi(priority);
  if (record.m_formulas.IsEmpty()) return;

  // Values without a formula are the variables the formulas may use; two passes settle a formula that
  // refers to one evaluated after it.
  CVariableStore store;
  CString key, text;
  for (POSITION pos = record.m_values.GetStartPosition(); pos;) {
    record.m_values.GetNextAssoc(pos, key, text);
    CString formula;
    if (!record.m_formulas.Lookup(key, formula)) store.SetVariable(key, "", "", std::atof(text));
  }
  bool changed = false;
  for (int pass = 0; pass < 2; ++pass) {
    CString formula;
    for (POSITION pos = record.m_formulas.GetStartPosition(); pos;) {
      record.m_formulas.GetNextAssoc(pos, key, formula);
      if (formula.IsEmpty()) continue;
      CFormulaNumber number;
      number.m_pStore = &store;
      number = formula.GetString();
      CString result;
      result.Format("%lg", number.GetValue());
      CString old;
      if (record.m_values.Lookup(key, old) && old != result) changed = true;
      record.m_values.SetAt(key, result);
      store.SetVariable(key, "", "", std::atof(result));
    }
  }
  if (!changed) return;
  for (int p : record.m_properties) {
    CString k = VIDUV_GetString(p, "Kurzname");
    CString value, formula;
    record.m_values.Lookup(k, value);
    record.m_formulas.Lookup(k, formula);
    VIDUV_SetString(p, "Wert01", value);
    VIDUV_SetString(p, "Formel", formula);
  }
}

CMateProps& CMateHandler::GetMaterial(CMateProps& out, const char* kat, const char* ukat, const char* norm,
                                      CString& objekt) {
  CString corrected = CorrectNormName(norm);
  CorrectRebarGradeName(kat, ukat, norm, objekt);
  CString key;
  key.Format("%s\\%s\\%s\\%s", kat, ukat, norm, objekt.GetString());
  if (!m_cacheKey.IsEmpty() && key == m_cacheKey) {
    out = m_cache;
    return out;
  }
  int found = 0, bUser = 0;
  std::vector<CString> path{kat, ukat, corrected};
  for (int i = 0; m_databases[i] && !found; ++i) {
    for (int code : Descend(m_databases[i], path)) {
      int object = VIDUV_FindFirstChildWithAttr(code, "Name", objekt);
      if (object) {
        found = object;
        bUser = i == 1;
        break;
      }
    }
  }
  LoadRecord(m_cache, found, bUser);
  m_cacheKey = key;
  out = m_cache;
  return out;
}

CMateProps& CMateHandler::GetMaterial(const char* path, CMateProps& out) {
  CString parts[4];
  CString text(path);
  int start = 0;
  for (int i = 0; i < 3; ++i) {
    int slash = text.Find('\\', start);
    if (slash < 0) {
      out = CMateProps();
      out.m_priority = -1;
      return out;
    }
    parts[i] = text.Mid(start, slash - start);
    start = slash + 1;
  }
  parts[3] = text.Mid(start);
  return GetMaterial(out, parts[0], parts[1], parts[2], parts[3]);
}

void CMateHandler::MateEdit(const char* kat, const char* ukat, const char* norm, CString& objekt, BOOL bOrmiMode) {
  CString corrected = CorrectNormName(norm);
  CorrectRebarGradeName(kat, ukat, norm, objekt);
  std::string editor = FindEditor("mateEdit");
  if (editor.empty()) {
    AfxMessageBox(Tr("Der Materialeditor \"mateEdit\" wurde nicht gefunden."), MB_OK | MB_ICONERROR);
    return;
  }
  // Each name is one argument as it stands, whatever it holds; no command line is built and split again.
  std::vector<std::string> args{editor, std::string("kat=") + kat, std::string("ukat=") + ukat,
                                "norm=" + corrected.str(), "objekt=" + objekt.str()};
  if (bOrmiMode) args.push_back("ormiMode");
  bool standardOpen = m_databases[0] != 0;
  OpenStandardDB(FALSE);
  OpenUserDB(FALSE);
  RunProcessAndWait(std::move(args), SW_SHOWNORMAL);
  if (standardOpen) OpenStandardDB(TRUE);
  // The editor may have made the user's first database, so it is looked for even when there was none.
  OpenUserDB(TRUE);
}

CMateHandler& GetMateHandler() {
  static CMateHandler handler;
  return handler;
}
