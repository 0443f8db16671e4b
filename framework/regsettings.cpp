#include "framework/regsettings.h"

#include <cstdio>

#include "formula/vardef.h"
#include "framework/registry.h"
#include "framework/utilities.h"
#include "platform/rtfx/rtfx.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "RegSettings", text)); }

void Log(const char* text) { CLogFile(GetInstallRoot() + "\\startup.log").WriteLine(text); }

void ReadStringKeep(CRegistry& reg, const char* name, CString& member) {
  CString value;
  if (reg.GetStringValue(name, value)) member = value;
}

void ReadDWordKeep(CRegistry& reg, const char* name, int& member) {
  DWORD value = 0;
  if (reg.GetDoubleWordValue(name, value)) member = int(value);
}

// Opens the key for writing, creating it when it is missing.
bool OpenOrCreate(CRegistry& reg, const char* key) {
  return reg.Connect(HKEY_CURRENT_USER) && (reg.Open(key, KEY_ALL_ACCESS) || reg.Create(key));
}

// The header lines live in the RTF library's own store.
void HeaderSetting(const char* key, CString& member, bool write) {
  char buffer[256] = {};
  std::snprintf(buffer, sizeof buffer, "%s", member.GetString());
  RTFX_Settings(CString(write ? "sets/" : "gets/") + key, buffer, 255);
  if (!write) member = buffer;
}

const char* const kCustomerKeys[5] = {"Customer0", "Customer1", "Customer2", "Customer3", "Customer4"};

// The variable definitions read their switches from these settings.
const bool kInstalled = [] {
  GetVarDefServices().readIntSetting = [](const char* name, int defaultValue) {
    int value = defaultValue;
    GetRegSettings().ReadInt("", name, &value, defaultValue);
    return value;
  };
  return true;
}();

}  // namespace

CRegSettings& GetRegSettings() {
  static CRegSettings settings;
  return settings;
}

CString CRegSettings::DefaultViewerPath() { return GetExeDir() + "\\annexo.exe"; }

CRegSettings::CRegSettings() {
  annexoPath = DefaultViewerPath();
  vorlage = GetUserDataDir() + "\\Standard Vorlage.rtf";
  Log("CRegSettings():29");

  Log("CRegSettings():50");
  {
    CRegistry reg;
    if (OpenOrCreate(reg, kStartKey)) {
      ReadStringKeep(reg, "ProjectDir", ProjectDir);
      ReadStringKeep(reg, "LastProject2005", LastProject2005);
      ReadStringKeep(reg, "Name", Name);
      ReadStringKeep(reg, "usermatdoc", usermatdoc);
      ReadDWordKeep(reg, "CreatePosWithVText", CreatePosWithVText);
      CString norm;
      reg.GetStringValue("defaultNorm", norm);
      defaultNorm = norm.IsEmpty() ? CString("DIN") : norm;
    }
  }

  Log("CRegSettings():66");
  {
    CRegistry reg;
    if (OpenOrCreate(reg, baseKey)) {
      CStringArray lru;
      if (reg.GetStringArrayValue("projectLRU", lru)) projectLRU = lru;
      ReadDWordKeep(reg, "dispFlags", dispFlags);
      ReadDWordKeep(reg, "mainWinRectX1", mainWinRectX1);
      ReadDWordKeep(reg, "mainWinRectY1", mainWinRectY1);
      ReadDWordKeep(reg, "mainWinRectX2", mainWinRectX2);
      ReadDWordKeep(reg, "mainWinRectY2", mainWinRectY2);
      ReadDWordKeep(reg, "mainSplitterPos", mainSplitterPos);
      ReadDWordKeep(reg, "leftSplitterPos", leftSplitterPos);
      DWORD leftTop = 0;
      if (!reg.GetDoubleWordValue("leftTopSplitterPos", leftTop)) {
        mainSplitterPos = 200;
        leftSplitterPos = 540;
        leftTopSplitterPos = 210;
        WriteInt("", "bLeftSplitterVertical", 0);
      } else {
        leftTopSplitterPos = int(leftTop);
      }
      ReadDWordKeep(reg, "animFlag", animFlag);
      ReadDWordKeep(reg, "posListCol", posListCol);
    }
    int showInfo = 1;
    ReadInt("", "bShowInfoScreen", &showInfo, 1);
    bShowInfoScreen = showInfo != 0;
  }

  Log("CRegSettings():86");
  HeaderSetting("Lister", lister, false);
  for (int i = 0; i < 5; ++i) HeaderSetting(kCustomerKeys[i], customer[i], false);
  HeaderSetting("Vorlage", vorlage, false);

  Log("CRegSettings():121");
  if (int doc = VIDUV_OpenDoc(GetInstallRoot() + "\\pi\\Vorhof.pi")) {
    if (int root = VIDUV_GetRootElement(doc)) progVersion = VIDUV_GetDouble(root, "progVersion");
    VIDUV_CloseDoc(doc);
  }
}

CRegSettings::~CRegSettings() {
  if (geaendert) Save();
}

void CRegSettings::Save() {
  {
    CRegistry reg;
    if (reg.Connect(HKEY_CURRENT_USER) && reg.Open(kStartKey, KEY_ALL_ACCESS)) {
      reg.SetStringValue("ProjectDir", ProjectDir);
      reg.SetStringValue("LastProject2005", LastProject2005);
      reg.SetStringValue("Name", Name);
      reg.SetStringValue("defaultNorm", defaultNorm);
      reg.SetDoubleWordValue("CreatePosWithVText", DWORD(CreatePosWithVText));
    }
  }
  {
    CRegistry reg;
    if (reg.Connect(HKEY_CURRENT_USER) && reg.Open(baseKey, KEY_ALL_ACCESS)) {
      reg.SetDoubleWordValue("dispFlags", DWORD(dispFlags));
      reg.SetStringArrayValue("projectLRU", projectLRU);
      reg.SetDoubleWordValue("mainWinRectX1", DWORD(mainWinRectX1));
      reg.SetDoubleWordValue("mainWinRectY1", DWORD(mainWinRectY1));
      reg.SetDoubleWordValue("mainWinRectX2", DWORD(mainWinRectX2));
      reg.SetDoubleWordValue("mainWinRectY2", DWORD(mainWinRectY2));
      reg.SetDoubleWordValue("mainSplitterPos", DWORD(mainSplitterPos));
      reg.SetDoubleWordValue("leftSplitterPos", DWORD(leftSplitterPos));
      reg.SetDoubleWordValue("leftTopSplitterPos", DWORD(leftTopSplitterPos));
      reg.SetDoubleWordValue("animFlag", DWORD(animFlag));
      reg.SetDoubleWordValue("posListCol", DWORD(posListCol));
    }
  }
  WriteInt("", "bShowInfoScreen", bShowInfoScreen ? 1 : 0);
  HeaderSetting("Lister", lister, true);
  for (int i = 0; i < 5; ++i) HeaderSetting(kCustomerKeys[i], customer[i], true);
  HeaderSetting("Vorlage", vorlage, true);
}

CString CRegSettings::SectionKey(const char* section, const char* otherBase) const {
  CString key = otherBase && *otherBase ? CString(otherBase) : baseKey;
  if (section && *section) key += CString("\\") + section;
  return key;
}

void CRegSettings::WriteString(const char* section, const char* name, const char* value, const char* otherBase) {
  CString key = SectionKey(section, otherBase);
  CRegistry reg;
  if (!OpenOrCreate(reg, key)) {
    CString text;
    text.Format(Tr("Fehler beim Anlegen des Registry-Schlüssels '%s' in '%s'").GetString(), name, key.GetString());
    AfxMessageBox(text);
    return;
  }
  reg.SetStringValue(name, value ? value : "");
}

void CRegSettings::WriteInt(const char* section, const char* name, int value) {
  CString text;
  text.Format("%ld", long(value));
  WriteString(section, name, text, nullptr);
}

void CRegSettings::ReadString(const char* section, const char* name, CString& out, const char* defaultValue,
                              const char* otherBase) {
  out = defaultValue ? defaultValue : "";
  CRegistry reg;
  if (!reg.Connect(HKEY_CURRENT_USER) || !reg.Open(SectionKey(section, otherBase), KEY_ALL_ACCESS)) return;
  CString value;
  if (reg.GetStringValue(name, value)) out = value;
}

void CRegSettings::ReadInt(const char* section, const char* name, int* out, int defaultValue) {
  if (!out) return;
  *out = defaultValue;
  CString text;
  ReadString(section, name, text, nullptr, nullptr);
  long value = 0;
  if (!text.IsEmpty() && std::sscanf(text, "%ld", &value) == 1) *out = int(value);
}

void CRegSettings::ExpandRegistryReference(CString& text) {
  int start = text.Find("[$");
  if (start < 0) return;
  int end = text.Find(']', start + 2);
  if (end < 0) return;
  CString reference = text.Mid(start + 2, end - start - 2);
  text.Delete(start + 2, end - start - 2);

  HKEY root = reference.Find("HLM\\") >= 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  reference.Replace("HLM\\", "");
  reference.Replace("HCU\\", "");
  int slash = reference.ReverseFind('\\');
  CString value;
  CRegistry reg;
  if (slash >= 0 && reg.Connect(root) && reg.Open(reference.Left(slash), KEY_READ))
    reg.GetStringValue(reference.Mid(slash + 1), value);
  text = text.Left(start + 2) + value + text.Mid(start + 3);
  text.Delete(start, 2);
}
