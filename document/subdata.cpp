#include "document/subdata.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "document/rtfheader.h"
#include "framework/exports.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/rtfx/rtfx.h"
#include "platform/tolkar/tolkar.h"
#include "platform/tqscript/tqscript.h"
#include "platform/viduv/viduv.h"
#include "platform/win/base/paths.h"
#include "platform/win/base/replace.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/window/action.h"

namespace {

// More entries than any table or list of the editor holds: a count beyond it is damage, not data.
constexpr int kMaxCount = 10000;

int Count(int element, const char* name) { return std::clamp(VIDUV_GetInt(element, name), 0, kMaxCount); }

CString ReadBytes(int element, const char* name) {
  const int length = VIDUV_GetBinDataLength(element, name);
  if (length <= 0) return CString();
  std::string bytes(std::size_t(length), '\0');
  VIDUV_GetBinData(element, name, bytes.data());
  return CString(bytes.c_str());
}

void WriteBytes(int element, const char* name, const CString& value) {
  VIDUV_SetBinData(element, name, value.GetLength(), value.GetString(), 0);
}

int Renew(int parent, const char* name) {
  while (int old = VIDUV_FindFirstChild(parent, name))
    if (!VIDUV_DeleteElement(old)) break;
  return VIDUV_AddChildElement(parent, name);
}

void ReadValues(int parent, const char* listName, const char* itemName, std::vector<SubDataValue>& values) {
  const int list = VIDUV_FindFirstChild(parent, listName);
  if (!list) return;
  values.clear();
  for (int item = VIDUV_FindFirstChild(list, itemName); item; item = VIDUV_FindNextChild(item, itemName)) {
    SubDataValue value;
    value.desc = VIDUV_GetString(item, "desc");
    value.varName = VIDUV_GetString(item, "varName");
    value.value = VIDUV_GetDouble(item, "val");
    value.unit = VIDUV_GetString(item, "unit");
    values.push_back(value);
  }
}

void WriteValues(int parent, const char* listName, const char* itemName, const std::vector<SubDataValue>& values) {
  const int list = Renew(parent, listName);
  for (const SubDataValue& value : values) {
    const int item = VIDUV_AddChildElement(list, itemName);
    VIDUV_SetString(item, "desc", value.desc);
    VIDUV_SetString(item, "varName", value.varName);
    VIDUV_SetDouble(item, "val", value.value);
    VIDUV_SetString(item, "unit", value.unit);
  }
}

std::string Tr(const char* text) { return TOLK_Translate("Ormi Eingabe", "vernik_i_Skrib", "SubData", text); }

// The document part is switched on: its editor shows, its text shows its evaluated formulas and its event macros
// run. Switched off, reading, calculating and writing a position run no event; the formulas still define the
// position's names (with the macros they call).
bool ScriptsOn() {
  int value = 0;
  GetRegSettings().ReadInt("", "bSkrib", &value, 0);
  return value != 0;
}

// A text as a VBScript string literal: its quotes doubled, so that a name cannot end the literal early.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    if (c == '\r' || c == '\n') c = ' ';
    out += c;
  }
  return out + "\"";
}

}  // namespace

SubData::SubData(BaseData& owner) : owner(owner), session(TQSCRIPT_StartSession()) {}

SubData::~SubData() { TQSCRIPT_EndSession(session); }

CString SubData::GetPositionFileName() const { return VIDUV_GetCompleteFileName(owner.doc); }

void SubData::TakeGeneratedText(const CString& rtf) {
  text.SetText(rtf.str());
  isEmpty = 0;
  recalculationPending = 1;
}

void SubData::Reset() {
  text.Clear();
  exportValues.clear();
  inputValues.clear();
  isEmpty = 1;
  macroText.Empty();
  libraryModule.Empty();
  page = 1;
  messages.clear();
  macrosLoaded = false;
}

void SubData::ReadXML(int element) {
  if (!element) return;
  page = VIDUV_GetIntWithDefault(element, "iPage", 1, 1);
  const int length = VIDUV_GetBinDataLength(element, "rtfData");
  if (length > 0) {
    char* buffer = text.Alloc(length);
    VIDUV_GetBinData(element, "rtfData", buffer);
  }
  if (VIDUV_GetBinDataLength(element, "VBScript") > 0) macroText = ReadBytes(element, "VBScript");
  if (VIDUV_GetBinDataLength(element, "sLibModul") > 0) libraryModule = ReadBytes(element, "sLibModul");
  isEmpty = VIDUV_GetInt(element, "isEmpty");

  if (const int props = VIDUV_FindFirstChild(element, "tableProp")) {
    tableProps.nCol = VIDUV_GetInt(props, "nCol");
    tableProps.nRow = VIDUV_GetInt(props, "nRow");
    tableProps.nWidth = VIDUV_GetInt(props, "nWidth");
    tableProps.colWidth.assign(std::size_t(std::clamp(tableProps.nCol, 0, kMaxCount)), 0);
    char key[32];
    for (std::size_t i = 0; i < tableProps.colWidth.size(); ++i) {
      std::snprintf(key, sizeof key, "colWidth_%ld", long(i));
      tableProps.colWidth[i] = VIDUV_GetInt(props, key);
    }
    tableProps.defaultText.assign(std::size_t(Count(props, "numOfDefaultText")), CString());
    for (std::size_t i = 0; i < tableProps.defaultText.size(); ++i) {
      std::snprintf(key, sizeof key, "defaultText_%ld", long(i));
      tableProps.defaultText[i] = VIDUV_GetString(props, key);
    }
  }
  if (const int search = VIDUV_FindFirstChild(element, "searchReplaceSettings")) {
    searchText = VIDUV_GetString(search, "searchStr");
    replaceText = VIDUV_GetString(search, "replaceStr");
    wholeWord = VIDUV_GetInt(search, "bWord");
    matchCase = VIDUV_GetInt(search, "bCase");
    direction = VIDUV_GetInt(search, "bDirection");
  }
  if (const int material = VIDUV_FindFirstChild(element, "matImportSettings")) {
    lastMaterialPath = VIDUV_GetString(material, "lastPath");
    lastMaterialObject = VIDUV_GetString(material, "lastObj");
    pathChecks.clear();
    for (int check = VIDUV_FindFirstChild(material, "pathCheck"); check;
         check = VIDUV_FindNextChild(check, "pathCheck"))
      pathChecks[VIDUV_GetString(check, "path")] = VIDUV_GetInt(check, "check");
  }
  ReadValues(element, "exportValues", "exportValue", exportValues);
  ReadValues(element, "inputValues", "inputValue", inputValues);
  // Values taken from other positions move into the variable definitions, which store them from now on.
  if (const int imports = VIDUV_FindFirstChild(element, "importValues")) {
    for (int item = VIDUV_FindFirstChild(imports, "importValue"); item;
         item = VIDUV_FindNextChild(item, "importValue")) {
      auto entry = std::make_unique<CVarDefWertUebernahme>();
      entry->ReadData(item);
      owner.varDefs.Add(std::move(entry));
    }
  }
  // The macros of the text just read replace those of any earlier one, even when they are not run now.
  macrosLoaded = false;
  if (!ScriptsOn()) return;
  TQScriptBudget budget;
  LoadMacros(true);
  RunEventMacro(1);
}

void SubData::WriteXML(int element, int exportsElement) {
  if (!element) return;
  VIDUV_SetInt(element, "iPage", page);
  const int length = text.GetCount() > 0 ? text.GetSize(0) : 0;
  VIDUV_SetBinData(element, "rtfData", length, length > 0 ? text.GetBuffer(0) : "", 0);
  WriteBytes(element, "VBScript", macroText);
  WriteBytes(element, "sLibModul", libraryModule);
  VIDUV_SetInt(element, "isEmpty", isEmpty);

  const int props = Renew(element, "tableProp");
  VIDUV_SetInt(props, "nCol", tableProps.nCol);
  VIDUV_SetInt(props, "nRow", tableProps.nRow);
  VIDUV_SetInt(props, "nWidth", tableProps.nWidth);
  char key[32];
  for (std::size_t i = 0; i < tableProps.colWidth.size(); ++i) {
    std::snprintf(key, sizeof key, "colWidth_%ld", long(i));
    VIDUV_SetInt(props, key, tableProps.colWidth[i]);
  }
  VIDUV_SetInt(props, "numOfDefaultText", int(tableProps.defaultText.size()));
  for (std::size_t i = 0; i < tableProps.defaultText.size(); ++i) {
    std::snprintf(key, sizeof key, "defaultText_%ld", long(i));
    VIDUV_SetString(props, key, tableProps.defaultText[i]);
  }
  const int search = Renew(element, "searchReplaceSettings");
  VIDUV_SetString(search, "searchStr", searchText);
  VIDUV_SetString(search, "replaceStr", replaceText);
  VIDUV_SetInt(search, "bWord", wholeWord);
  VIDUV_SetInt(search, "bCase", matchCase);
  VIDUV_SetInt(search, "bDirection", direction);
  const int material = Renew(element, "matImportSettings");
  VIDUV_SetString(material, "lastPath", lastMaterialPath);
  VIDUV_SetString(material, "lastObj", lastMaterialObject);
  for (const auto& [path, check] : pathChecks) {
    const int item = VIDUV_AddChildElement(material, "pathCheck");
    VIDUV_SetString(item, "path", path.c_str());
    VIDUV_SetInt(item, "check", check);
  }
  // What the document gives now is exported, never the number of an earlier evaluation (of other values).
  std::vector<CString> failures;
  for (SubDataValue& value : exportValues) failures.push_back(EvaluateExport(value));
  WriteValues(element, "exportValues", "exportValue", exportValues);
  WriteValues(element, "inputValues", "inputValue", inputValues);
  // The imported values were handed to the variable definitions when read; kept here they would be taken over
  // a second time at the next reading.
  while (int old = VIDUV_FindFirstChild(element, "importValues"))
    if (!VIDUV_DeleteElement(old)) break;

  if (exportsElement) {
    for (std::size_t i = 0; i < exportValues.size(); ++i) {
      const SubDataValue& value = exportValues[i];
      // A value without a description is exported under its variable name.
      const CString desc = value.desc.IsEmpty() ? value.varName : value.desc;
      if (desc.IsEmpty()) continue;  // nothing to find it by
      WriteExportValue(exportsElement, "", desc, value.varName, value.value, value.unit, failures[i]);
    }
  }
  TQScriptBudget budget;
  RunEventMacro(2);
}

CString SubData::EvaluateExport(SubDataValue& value) {
  if (value.varName.IsEmpty()) return CString();  // no definition to read: it keeps its number
  double number = 0.0;
  CVariableStore& store = owner.variables;
  // A failure keeps the stored number beside it, which the export does not write.
  if (!store.Evaluate(value.varName, &number)) return store.LastFailure();
  if (!store.LastFailure().IsEmpty()) return store.LastFailure();
  value.value = number;
  return CString();
}

std::vector<std::string> SubData::FailedExports() {
  std::vector<std::string> lines;
  if (!HoldsText()) return lines;
  for (SubDataValue value : exportValues)
    if (const CString failure = EvaluateExport(value); !failure.IsEmpty())
      lines.push_back(value.varName.str() + ": " + failure.str());
  return lines;
}

void SubData::GetMacroFileNames(CString& makerFile, CString& userFile) const {
  CString root = GetInstallRoot();
  if (!root.IsEmpty() && root.Right(1) != "\\" && root.Right(1) != "/") root += "\\";
  CString makerDefault, userDefault;
  makerDefault.Format("%sVBScriptOrmi.bas", root.GetString());
  userDefault.Format("%sVBScriptUSER.bas", root.GetString());
  GetRegSettings().ReadString("Skrib", "ormiMacroFile", makerFile, makerDefault);
  GetRegSettings().ReadString("Skrib", "userMacroFile", userFile, userDefault);
}

int SubData::LoadMacros(bool silent) {
  TQSCRIPT_ClearSession(session);
  macrosLoaded = true;
  CString makerFile, userFile;
  GetMacroFileNames(makerFile, userFile);
  int line = 0, column = 0;
  for (const CString& file : {makerFile, userFile}) {
    // A missing macro file is no error: most installations have none.
    if (std::FILE* probe = std::fopen(win::ToFsPath(file.str()).c_str(), "rb"))
      std::fclose(probe);
    else
      continue;
    TQSCRIPT_LoadMacroFile(session, win::ToFsPath(file.str()).c_str());
    ReportIfStopped(Tr("beim Laden der Makros"));
    if (silent) continue;
    const std::string error = TQSCRIPT_GetLastError(session, line, column);
    if (error.empty()) continue;
    std::string content;
    if (std::FILE* in = std::fopen(win::ToFsPath(file.str()).c_str(), "rb")) {
      char buffer[4096];
      for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) content.append(buffer, n);
      std::fclose(in);
    }
    const std::string edited = TQSCRIPT_EditMacro(session, content, error, line, column);
    // the repair replaces the file whole or not at all, and never one marked read-only
    win::ReplaceOptions options;
    options.scratchPrefix = ".kolumo-makro-";
    std::string why;
    if (edited != content && !win::ReplaceFile(win::ToFsPath(file.str()), edited, options, why))
      AfxMessageBox((Tr("Die Makrodatei wurde nicht gespeichert:") + "\n" + win::ReplaceErrorInGerman(why)).c_str(),
                    MB_ICONSTOP);
    return 0;
  }
  if (!macroText.IsEmpty()) {
    TQSCRIPT_AddMacro(session, macroText);
    ReportIfStopped(Tr("beim Laden der Makros"));
    if (!silent) {
      const std::string error = TQSCRIPT_GetLastError(session, line, column);
      if (!error.empty()) {
        macroText = TQSCRIPT_EditMacro(session, macroText.str(), error, line, column).c_str();
        return 0;
      }
    }
  }
  return 1;
}

void SubData::RunEventMacro(int event) {
  static const char* const kEvents[] = {"", "OnInitDocument", "OnExitDocument", "OnStartCalculation",
                                        "OnEndCalculation"};
  if (event < 1 || event > 4 || !ScriptsOn()) return;
  if (!macrosLoaded) LoadMacros(true);
  // The evaluation has spent its time for macros: the events left cost nothing.
  if (TQScriptBudget::Spent()) return;
  const char* complete = VIDUV_GetCompleteFileName(owner.doc);
  const std::string file = complete ? complete : "";
  const std::size_t slash = file.find_last_of("\\/");
  std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  name = name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string();
  const std::string folder = slash == std::string::npos ? std::string() : file.substr(0, slash);
  const std::string statement = std::string(kEvents[event]) + "( " + Quoted(name) + ", " + Quoted(folder) + ")";
  TQSCRIPT_Execute(session, statement.c_str());
  ReportIfStopped(Tr("im Ereignis") + " " + kEvents[event]);
  ReportEventError(kEvents[event]);
}

void SubData::ReportEventError(const std::string& event) const {
  if (TQSCRIPT_RanOutOfTime(session)) return;  // said once for the whole action
  int line = 0, column = 0;
  const std::string error = TQSCRIPT_GetLastError(session, line, column);
  // A document without a procedure for the event has nothing to run: the call of the statement itself is unknown.
  if (error.empty() || (line == 1 && error.rfind("Unbekannte Funktion: " + event + " ", 0) == 0)) return;
  AfxMessageBox(
      (Tr("Das Ereignis") + " " + event + " " + Tr("des Dokuments wurde mit einem Fehler abgebrochen:") + "\n" + error)
          .c_str(),
      MB_ICONWARNING);
}

void SubData::ReportIfStopped(const std::string& where) const {
  if (!TQSCRIPT_RanOutOfTime(session)) return;
  int line = 0, column = 0;
  ReportScriptsStopped(where, TQSCRIPT_GetLastError(session, line, column));
}

std::shared_ptr<void> SubData::OpenEvaluation() { return std::make_shared<TQScriptBudget>(); }

void SubData::Evaluate(unsigned long colour, int firstNumber, bool keepText) {
  if (!macrosLoaded) LoadMacros(true);
  std::vector<SkribTextBlock> blocks;
  std::optional<CRtfChunkList> copy;
  if (keepText) copy.emplace(text);
  EvaluateText(copy ? *copy : text, colour, blocks, session, nullptr, &owner.variables, firstNumber, "");
  messages.clear();
  for (const SkribTextBlock& block : blocks) {
    // The stop of the macros has been said once; the units it left without a value show it in the text.
    if (block.message.empty() || block.scriptsStopped) continue;
    std::string unit = block.plain;
    while (!unit.empty() && unit.back() == ' ') unit.pop_back();
    while (!unit.empty() && unit.front() == ' ') unit.erase(0, 1);
    messages.push_back(unit + ": " + block.message);
  }
}

void SubData::DefineVariables(int definitionOnly) {
  if (text.GetCount() != 1) return;
  CArray<CImportRecord> imports;
  owner.varDefs.GetImportData(imports);
  for (INT_PTR i = 0; i < imports.GetSize(); ++i) {
    const CImportRecord& record = imports[i];
    const std::string path = record.varPath.str();
    const std::size_t slash = path.rfind('\\');
    const std::string fullName =
        (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + record.varName.str();
    owner.variables.SetVariable(fullName.c_str(), record.desc, record.unit, record.value);
  }
  if (definitionOnly) return;
  TQScriptBudget budget;
  // Switched off, nobody sees the text: its formulas define their names, and it is stored as it was read.
  Evaluate(kFormulaColour, 1, !ScriptsOn());
}

void SubData::CheckAndDefineVariables() {
  owner.varDefs.CheckImportedValues();
  DefineVariables(0);
}

int SubData::Calculate(COLORREF colour, int firstNumber) {
  const int first = firstNumber == -1 ? 1 : firstNumber;
  owner.variables.RemoveAll();
  // The position's own definitions stay visible: the report must evaluate the document as the calculation did.
  owner.varDefs.DefineIn(owner.variables);
  DefineVariables(1);
  TQScriptBudget budget;
  RunEventMacro(3);
  Evaluate(colour, first, false);
  RunEventMacro(4);
  // Every export stays, also one whose definition fails now (the engineer may be in the middle of an edit): the
  // write exports it as failed, with why, and once its definition gives a number again, that number.
  for (SubDataValue& value : exportValues) EvaluateExport(value);
  return first;
}

void SubData::ExportRtf(const char* path, int firstNumber, int page, const char* version, const char*) {
  if (!path) return;
  CRtfChunkList copy(text);
  // The report's own tables: those of the settings' template when it can be read, else the library's own.
  std::string header;
  char templatePath[1024] = "";
  RTFX_Settings("gets/Vorlage", templatePath, sizeof templatePath);
  RTFX_NewDocument();
  if (!ReadTemplateFile(templatePath, header)) header = rtfx::CurrentHeader();
  ReportHeaderTables tables;
  PrepareForReport(header, copy, tables);
  std::string output = path;
  if (output.size() >= 4) output.replace(output.size() - 4, 4, ".rtf");
  RTFX_NewDocument();
  RTFX_SetOutputFile(output.c_str());
  // Fonts and colours the document needs beyond the report's own go into the report's tables.
  for (int i = tables.colours.GetCount() - tables.addedColours; i < tables.colours.GetCount(); ++i)
    rtfx::AddHeaderEntry("\\colortbl", tables.colours.GetEntry(i));
  for (int i = tables.fonts.GetCount() - tables.addedFonts; i < tables.fonts.GetCount(); ++i)
    rtfx::AddHeaderEntry("\\fonttbl", tables.fonts.GetEntry(i));
  const std::string product = "TQ-\\i S\\i0 krib";
  std::string block = std::string("nologo") + '\0' + "Name=" + product + '\0' + "Titel=Skrib" + '\0' + "Version=V " +
                      (version ? version : "") + '\0' + '\0';
  RTFX_BeginDocument("", 0, firstNumber, page, block.c_str());
  RTFX_InsertRtf(copy.Text().c_str());
  RTFX_EndDocument(0);
}

CString SubData::GetMessages() const {
  std::string all;
  for (const std::string& line : messages) all += (all.empty() ? "" : "\n") + line;
  return CString(all.c_str());
}

void RegisterDocumentPart() {
  SetDocumentPartFactory([](BaseData& owner) { return std::make_unique<SubData>(owner); });
}

void InstallActionBudgets() {
  win::SetActionOpener([](bool own) -> std::shared_ptr<void> {
    if (own) return std::make_shared<TQScriptActionBudget>();
    return std::make_shared<TQScriptBudget>();
  });
}

void RemoveActionBudgets() { win::SetActionOpener(nullptr); }
