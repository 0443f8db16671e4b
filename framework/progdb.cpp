#include "framework/progdb.h"

#include <cstdlib>
#include <set>
#include <vector>

#include "framework/calcdll.h"
#include "framework/calldoc.h"
#include "framework/fileident.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "ProgDB", text)); }

// The suite's programs: code, German description, icon.
constexpr ProgTableRow kProgTable[] = {
    {"KOLUMO", "Stahlbetonstütze Theorie II.Ordnung", 130},
    {ProgDB::kStairProgram, "Treppe", 131},
    {ProgDB::kVariablesProgram, "Variablen", 132},
    {"Skrib", "Dokument", 133},
    {"RTFPOS", "Freie Textposition", 106},
    {"VORRTF", "Freier Text", 106},
};

// Icon names of the description files.
constexpr std::pair<const char*, int> kIconNames[] = {{"stuetze", 130},  {"treppe", 131}, {"variablen", 132},
                                                      {"dokument", 133}, {"text", 106},   {"wert", 173}};

// Icons the catalogue shows besides the programs' own.
constexpr int kFixedIcons[] = {106, 173};

int IconFromName(const CString& name) {
  if (name.IsEmpty() || name == "-1") return -1;
  if (name.SpanIncluding("0123456789") == name) return std::atoi(name);
  for (const auto& [iconName, icon] : kIconNames)
    if (name.CompareNoCase(iconName) == 0) return icon;
  return -1;
}

bool IsAbsolute(const CString& path) {
  return (path.GetLength() > 1 && path[1] == ':') || (!path.IsEmpty() && (path[0] == '/' || path[0] == '\\'));
}

CString InExeDir(const CString& name) { return GetExeDir() + "/" + name; }

using viduv::ScopedDoc;

CString Str(int element, const char* name) { return CString(VIDUV_GetString(element, name)); }

// A record from a description file; false when the file lacks one of the required elements.
bool ReadRecord(int root, ProgDBEntry& e) {
  int iface = VIDUV_FindFirstChild(root, "interface");
  int files = VIDUV_FindFirstChild(root, "additionalFiles");
  if (!iface || !VIDUV_FindFirstChild(root, "icon") || !files) return false;
  e.shortProgName = Str(root, "shortProgName");
  e.progNameOrig = Str(root, "progName");
  e.progName = Tr(e.progNameOrig);
  e.shortModuleName = Str(root, "shortModuleName");
  e.moduleName = Tr(Str(root, "moduleName"));
  e.progGroup = Tr(Str(root, "progGroup"));
  e.progGroupNew = Tr(Str(root, "progGroupNew"));
  e.materialGroup = Str(root, "materialGroup");
  e.defaultTemplate = Str(root, "defaultTemplate");
  e.versionDoc = Str(root, "versionDoc");
  e.progType = VIDUV_GetInt(root, "progType");
  e.bNeverDeleteWnds = VIDUV_GetInt(root, "bNeverDeleteWnds");
  e.bOnlyForUpdate = VIDUV_GetInt(root, "bOnlyForUpdate");
  e.bInvisiblePos = VIDUV_GetInt(root, "bInvisiblePos");
  e.bModularisieren = VIDUV_GetInt(root, "bModularisieren");
  e.bUserPlugIn = VIDUV_GetInt(root, "bUserPlugIn");
  e.progVersion = VIDUV_GetDoubleWithDefault(root, "progVersion", 0.01, 0);
  e.iconName = Str(root, "iconName");
  e.icon = IconFromName(e.iconName);
  e.DLLName = Str(iface, "DLLName");
  e.ProcName = Str(iface, "ProcName");
  e.calcDLLName = Str(iface, "calcDLLName");
  e.calcProcName = Str(iface, "calcProcName");
  e.rtfDLLName = Str(iface, "rtfDLLName");
  e.rtfProcName = Str(iface, "rtfProcName");
  e.progGroupNet = Str(iface, "progGroupNet");
  if (e.progType == 6) {
    e.plugInExe = Str(iface, "plugInExe");
    e.plugInExt = Str(iface, "plugInExt");
    e.plugInTemplate = Str(iface, "plugInTemplate");
    e.projectPath = Str(iface, "projectPath");
    e.bNoQuotation = VIDUV_GetInt(iface, "bNoQuotation");
    e.bIncSubDir = VIDUV_GetInt(iface, "bIncSubDir");
    GetRegSettings().ExpandRegistryReference(e.plugInExe);
    GetRegSettings().ExpandRegistryReference(e.plugInTemplate);
  }
  for (int menu = VIDUV_FindFirstChild(root, "contextmenue"); menu; menu = VIDUV_FindNextChild(menu, "contextmenue"))
    e.contextMenu.Add(ProgContextMenuEntry{Str(menu, "desc"), Str(menu, "command")});
  int masks = VIDUV_GetInt(files, "num");
  for (int i = 0; i < masks; ++i) {
    CString name;
    name.Format("mask_%ld", long(i));
    e.additionalFiles.Add(Str(files, name));
  }
  return true;
}

// A small picture for an icon number: the headless window system has no icon resources.
void AddIconImage(CImageList& list, int icon) {
  std::vector<std::uint32_t> pixels(16 * 16);
  std::uint32_t colour = 0x00404040u + (std::uint32_t(icon) * 2654435761u & 0x00bfbfbfu);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      pixels[std::size_t(y * 16 + x)] = (x == 0 || y == 0 || x == 15 || y == 15) ? 0 : colour;
  CBitmap bitmap;
  bitmap.CreateBitmap(16, 16, 1, 32, pixels.data());
  list.Add(&bitmap, static_cast<CBitmap*>(nullptr));
}

class CProgDBLookup : public CProgramLookup {
 public:
  bool FindProg(const char* progname, const char* modulename, CProgRecordInfo& info) const override {
    const ProgDBEntry* entry = GetProgDB().FindProg(progname, modulename);
    if (!entry) return false;
    info.progName = entry->progNameOrig;
    info.progVersion = entry->progVersion;
    return true;
  }
  bool IsStairProgram(const char* progname) const override {
    return progname && CString(progname) == ProgDB::kStairProgram;
  }
  bool IsVariablesProgram(const char* progname) const override {
    return progname && CString(progname) == ProgDB::kVariablesProgram;
  }
};

const CProgDBLookup g_lookup;

const bool kLookupInstalled = [] {
  SetProgramLookup(&g_lookup);
  return true;
}();

}  // namespace

// --- ProgDBEntry ---

bool ProgDBEntry::IsInstalled() const {
  switch (progType) {
    case 0:
      if (DLLName.IsEmpty() || DLLName.CompareNoCase(kHostExecutableName) == 0) return true;
      return CDirList::FileExists(GetProgramLibraryPath(DLLName));
    case 2: {
      const ProgTableRow* row = ProgDB::FindProgTableRow(shortProgName);
      return row && CDirList::FileExists(InExeDir(CString(row->code) + ".EXE"));
    }
    case 6:
      return !plugInExe.IsEmpty() && CDirList::FileExists(IsAbsolute(plugInExe) ? plugInExe : InExeDir(plugInExe));
    default: return true;
  }
}

int ProgDBEntry::CallInterface(int document) {
  const viduv::ScopedDoc closer(document);
  CString message;
  InterfaceProc proc = nullptr;
  if (DLLName == kHostExecutableName) {
    proc = FindHostInterfaceProc(ProcName);
    if (!proc) message.Format(Tr("Interface im Modul %s nicht gefunden").GetString(), DLLName.GetString());
  } else {
    if (!hInterfaceLib) hInterfaceLib = OpenProgramLibrary(DLLName);
    if (!hInterfaceLib)
      message.Format(Tr("Modul %s nicht gefunden").GetString(), DLLName.GetString());
    else if (!(proc = reinterpret_cast<InterfaceProc>(FindProgramSymbol(hInterfaceLib, ProcName))))
      message.Format(Tr("Interface im Modul %s nicht gefunden").GetString(), DLLName.GetString());
  }
  if (!proc) {
    AfxMessageBox(message);
    return 0;
  }
  try {
    return proc(document);
  } catch (...) {
    // The calling side never sees an exception.
    AfxMessageBox(Tr("Fehler in der Rechenroutine."));
    return 0;
  }
}

int ProgDBEntry::CallGetData(CWnd* window, int value) {
  win::ScopedHandle<CWnd> handle(window);
  int document = CreateInterfaceCallDoc("GetData", TRUE);
  AddInterfaceParam(document, "CWnd*", handle.get());
  AddInterfaceParam(document, "int", value);
  return CallInterface(document);
}

// --- ProgDB ---

ProgDB::ProgDB() {
  Scan();
  AddFixedRecords();
}

ProgDB::~ProgDB() { Clear(); }

void ProgDB::Clear() {
  std::set<CWnd*> windows;
  for (auto& [key, entry] : m_entries) {
    if (entry->bNeverDeleteWnds) continue;
    if (entry->pWnd1) windows.insert(entry->pWnd1);
    if (entry->pWnd2) windows.insert(entry->pWnd2);
  }
  for (CWnd* window : windows) {
    window->DestroyWindow();
    delete window;
  }
  m_entries.clear();
  m_imageList.reset();
  m_iconIndex.clear();
}

void ProgDB::Reload() {
  Clear();
  Scan();
  AddFixedRecords();
}

void ProgDB::Scan() {
  CString pattern = GetInstallRoot() + "\\pi\\*.pi";
  std::unique_ptr<CStringList> files(CDirList().GetFileList(pattern));
  if (!files) return;
  for (POSITION pos = files->GetHeadPosition(); pos;) {
    CString path = files->GetNext(pos);
    ScopedDoc doc(VIDUV_OpenDoc(path));
    int root = VIDUV_GetRootElement(doc.Get());
    if (!root) continue;
    auto entry = std::make_unique<ProgDBEntry>();
    if (!ReadRecord(root, *entry)) continue;
    if (!entry->IsInstalled() || !entry->bModularisieren) continue;
    CString key = entry->shortProgName + entry->shortModuleName;
    auto it = m_entries.find(key);
    // The first file wins unless a later one has a strictly higher version.
    if (it != m_entries.end() && !(entry->progVersion > it->second->progVersion)) continue;
    m_entries[key] = std::move(entry);
  }
}

void ProgDB::AddFixedRecords() {
  ProgDBEntry text;
  text.shortProgName = "RTFPOS";
  text.progNameOrig = "Freie Textposition";
  text.progName = Tr(text.progNameOrig);
  text.progType = 1;
  text.progVersion = 1.0;
  text.icon = 106;
  AddProg(text.shortProgName, "", text);

  ProgDBEntry freeText;
  freeText.shortProgName = "VORRTF";
  freeText.progNameOrig = "Freier Text";
  freeText.progName = Tr(freeText.progNameOrig);
  freeText.progType = 4;
  freeText.progVersion = 1.0;
  freeText.icon = 106;
  AddProg(freeText.shortProgName, "", freeText);
}

const ProgTableRow* ProgDB::FindProgTableRow(const char* code) {
  if (!code) return nullptr;
  for (const ProgTableRow& row : kProgTable)
    if (CString(row.code) == code) return &row;
  return nullptr;
}

ProgDBEntry* ProgDB::FindProg(const char* progname, const char* modulename) {
  CString key = CString(progname ? progname : "") + (modulename ? modulename : "");
  auto it = m_entries.find(key);
  return it == m_entries.end() ? nullptr : it->second.get();
}

void ProgDB::AddProg(const char* progname, const char* modulename, const ProgDBEntry& entry) {
  CString key = CString(progname ? progname : "") + (modulename ? modulename : "");
  m_entries[key] = std::make_unique<ProgDBEntry>(entry);
}

ProgDBEntry* ProgDB::FindProgForFile(const char* path) {
  if (!path) return nullptr;
  CString extension = CDirList::GetExtension(path);
  CString progname;
  CString modulename;
  if (extension == "tqx") {
    CString version;
    ReadPositionHead(path, progname, modulename, &version);
    if (bConvertFiles && GetFileConverterRegistry().ConvertIfKnown(path, progname, modulename, version))
      ReadPositionHead(path, progname, modulename, &version);
  } else if (extension == "tq1") {
    progname = GetOldFormatProgramName(path);
    if (progname.Left(3) == "TQ-") progname = progname.Mid(3);
    modulename = "classic";
  } else if (extension == "rtf") {
    progname = "RTFPOS";
  } else {
    for (auto& [key, entry] : m_entries) {
      if (entry->progType == 6 && !entry->plugInExt.IsEmpty() && entry->plugInExt.CompareNoCase(extension) == 0) {
        progname = entry->shortProgName;
        modulename = entry->shortModuleName;
        break;
      }
    }
    if (progname.IsEmpty()) return nullptr;
  }
  return FindProg(progname, modulename);
}

CImageList* ProgDB::GetImageList() {
  if (m_imageList) return m_imageList.get();
  m_imageList = std::make_unique<CImageList>();
  if (!m_imageList->Create(16, 16, ILC_COLOR8 | ILC_MASK, 0, 8)) {
    m_imageList.reset();
    return nullptr;
  }
  std::set<int> icons(std::begin(kFixedIcons), std::end(kFixedIcons));
  for (const auto& [key, entry] : m_entries)
    if (entry->icon >= 0) icons.insert(entry->icon);
  for (int icon : icons) {
    m_iconIndex[icon] = m_imageList->GetImageCount();
    AddIconImage(*m_imageList, icon);
  }
  return m_imageList.get();
}

int ProgDB::GetIconIndex(int icon) {
  GetImageList();
  auto it = m_iconIndex.find(icon);
  return it == m_iconIndex.end() ? icon : it->second;
}

ProgDB& GetProgDB() {
  static ProgDB catalogue;
  return catalogue;
}

const CProgramLookup& GetProgDBLookup() { return g_lookup; }
