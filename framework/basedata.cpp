#include "framework/basedata.h"

#include "formula/exportvalue.h"
#include "framework/fieldlist.h"
#include "framework/regsettings.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "BaseData", text)); }

int SettingInt(const char* name, int defaultValue) {
  int value = defaultValue;
  GetRegSettings().ReadInt("", name, &value, defaultValue);
  return value;
}

// The document part of a position whose module has no document editor.
class CEmptyDocumentPart : public CDocumentPart {
 public:
  explicit CEmptyDocumentPart(BaseData& owner) : owner_(owner) {}
  CString GetPositionFileName() const override { return VIDUV_GetCompleteFileName(owner_.doc); }
  void TakeGeneratedText(const CString&) override {}
  void Reset() override {}
  void ReadXML(int) override {}
  void WriteXML(int, int) override {}
  void DefineVariables(int) override {}
  int Calculate(COLORREF, int) override { return -1; }
  void ExportRtf(const char*, int, int, const char*, const char*) override {}
  bool IsEmpty() const override { return true; }
  bool HoldsText() const override { return false; }
  bool HasEditorLink() const override { return false; }

 private:
  BaseData& owner_;
};

// The load transfers of a position whose module has none.
class CEmptyLoadTransferList : public CLoadTransferList {
 public:
  void RemoveAll() override {}
  void ReadData(int) override {}
  void WriteData(int) override {}
  void Recalc() override {}
  void SetOwner(BaseData*) override {}
};

class CNoProgramLookup : public CProgramLookup {
 public:
  bool FindProg(const char*, const char*, CProgRecordInfo&) const override { return false; }
  bool IsStairProgram(const char*) const override { return false; }
  bool IsVariablesProgram(const char*) const override { return false; }
};

DocumentPartFactory& DocumentParts() {
  static DocumentPartFactory factory;
  return factory;
}

LoadTransferListFactory& LoadTransferLists() {
  static LoadTransferListFactory factory;
  return factory;
}

const CProgramLookup*& ProgramLookup() {
  static const CProgramLookup* lookup = nullptr;
  return lookup;
}

// The combination data stores its protocols in the document of its position.
const bool kInstalled = [] {
  SetLKOwnerDocumentFn([](const BaseData* owner) { return owner ? owner->doc : 0; });
  return true;
}();

// The position's own attributes of "info" (those it writes with fixed values are handled apart) and of "input".
template <class V, class D>
void InfoFields(const V& v, D& d) {
  v.String("comment", d.comment);
  v.String("owner", d.owner);
  v.String("creationdate", d.creationdate);
  v.String("lastuser", d.lastuser);
  v.Int("errors", d.errors);
  v.Int("materialgroup", d.materialgroup);
  v.Int("norm", d.norm);
  v.Int("laendercode", d.laendercode);
  v.Int("lknorm", d.lknorm);
}

template <class V, class D>
void InputFields(const V& v, D& d) {
  v.IntOr("nPage", d.nPage, 1);
  v.String("freeText", d.freeText);
  v.String("posDesc", d.posDesc);
  v.Flag("dickeLinie", d.dickeLinie);
}

}  // namespace

void SetDocumentPartFactory(DocumentPartFactory factory) { DocumentParts() = std::move(factory); }

void SetLoadTransferListFactory(LoadTransferListFactory factory) { LoadTransferLists() = std::move(factory); }

void SetProgramLookup(const CProgramLookup* lookup) { ProgramLookup() = lookup; }

const CProgramLookup& GetProgramLookup() {
  static const CNoProgramLookup none;
  return ProgramLookup() ? *ProgramLookup() : none;
}

BaseData::BaseData() {
  if (DocumentParts()) pSubData = DocumentParts()(*this);
  if (!pSubData) pSubData = std::make_unique<CEmptyDocumentPart>(*this);
  if (LoadTransferLists()) luDataList = LoadTransferLists()();
  if (!luDataList) luDataList = std::make_unique<CEmptyLoadTransferList>();
  luDataList->SetOwner(this);
  lastUeberlagerung.owner = this;
  variables.m_pParent = &GetGlobalVariableStore();
}

BaseData::~BaseData() {
  // The transfers refer to this object; they go first.
  luDataList.reset();
}

void BaseData::DefineVariables() {
  variables.RemoveAll();
  varDefs.DefineIn(variables);
  // The document's names are the position's whether or not the user's editor shows it.
  pSubData->DefineVariables(0);
}

int BaseData::ReadData(int document) {
  int root = VIDUV_GetRootElement(document);
  if (!root) return 0;

  CString readProgname = VIDUV_GetString(root, "progname");
  CString readModulename = VIDUV_GetString(root, "modulename");
  double readVersion = VIDUV_GetDouble(root, "version");
  const CProgramLookup& programs = GetProgramLookup();
  if (programs.IsStairProgram(readProgname) && readVersion == 12.0) readVersion = 7.0;

  CProgRecordInfo program;
  if (programs.FindProg(readProgname, readModulename, program) && program.progVersion < readVersion) {
    CString text;
    text.Format(Tr("Die einzulesende Datei ist mit der Version %.2lf\ndes Programms TQ-%s erstellt worden.\nDas "
                   "Programm liegt jedoch in Version %.2lf vor.\n\nEs wird versucht, die Datei einzulesen, Sie "
                   "sollten jedoch alle\nanderen geöffneten Positionen sichern und die Eingaben dieser\nPosition "
                   "überprüfen!")
                    .GetString(),
                readVersion, readProgname.GetString(), program.progVersion);
    AfxMessageBox(text);
  }

  int info = VIDUV_FindFirstChild(root, "info");
  if (!info) {
    AfxMessageBox(Tr("Die Datei enthält keine Positionsdaten (das Element \"info\" fehlt); sie wird nicht gelesen."));
    return 0;
  }
  progname = readProgname;
  modulename = readModulename;
  version = readVersion;

  int input = VIDUV_FindFirstChild(root, "input");
  if (input) {
    InputFields(FieldReader(input), *this);
  }

  InfoFields(FieldReader(info), *this);
  bIsTemplate = VIDUV_GetInt(info, "bIsTemplate");
  Modellhof = VIDUV_GetInt(info, "Modellhof") != 0;

  if (input) {
    // Taken-over values are refreshed from sources beside this position's file, wherever the program runs.
    varDefs.positionFile = VIDUV_GetCompleteFileName(document);
    varDefs.ReadData(input);
    if (int skrib = VIDUV_FindFirstChild(input, "Skrib")) pSubData->ReadXML(skrib);
  }
  if (SettingInt("bSkrib", 0) && progname != "Skrib" && !programs.IsVariablesProgram(progname) &&
      varDefs.GetSize() > 0 && pSubData->IsEmpty() && pSubData->HasEditorLink())
    varDefs.CreateSkribText(*pSubData);

  if (input) {
    if (bUsesLK) {
      lastUeberlagerung.ReadData(input);
      lastUeberlagerung.SetNorm(lknorm);
    }
    luDataList->ReadData(input);
    luDataList->SetOwner(this);
    luDataList->Recalc();
  }
  ReadResults(document);
  if (input) ReadAnnotations(input);
  return 1;
}

void BaseData::WriteData(int document) {
  int root = VIDUV_GetRootElement(document);
  if (!root) return;

  VIDUV_SetString(root, "progname", progname);
  VIDUV_SetString(root, "modulename", modulename);
  CProgRecordInfo program;
  const bool known = GetProgramLookup().FindProg(progname, modulename, program);
  if (known) version = program.progVersion;
  CString versionText;
  versionText.Format("%.2lf", version);
  VIDUV_SetString(root, "version", versionText);

  int info = VIDUV_FindOrAddChild(root, "info");
  InfoFields(FieldWriter(info), *this);
  VIDUV_SetInt(info, "bModularisieren", 1);
  VIDUV_SetInt(info, "bIsTemplate", 0);
  VIDUV_SetInt(info, "Modellhof", 0);
  if (known) VIDUV_SetString(info, "progDesc", program.progName);

  int input = VIDUV_FindOrAddChild(root, "input");
  // Every formula is bound to the definitions above it before its value is written and exported.
  varDefs.UpdateVariables();
  varDefs.WriteData(input);
  int exports = PrepareExportsElement(root);
  varDefs.WriteExports(exports);
  if (pSubData->HoldsText()) pSubData->WriteXML(VIDUV_FindOrAddChild(input, "Skrib"), exports);

  InputFields(FieldWriter(input), *this);
  if (bUsesLK) lastUeberlagerung.WriteData(input);
  luDataList->WriteData(input);
  WriteAnnotations(input);
}

void BaseData::SetDefaults() {
  resultMessage.Empty();
  variables.RemoveAll();
  variables.m_pParent = &GetGlobalVariableStore();
  varDefs.RemoveAll();
  pSubData->Reset();
  nPage = 1;
  freeText.Empty();
}

void BaseData::Redraw(BOOL) {}
void BaseData::Draw2D(BOOL) {}
void BaseData::Draw3D(BOOL) {}
void BaseData::PreviewHook1(int) {}
void BaseData::PreviewHook2(int) {}
int BaseData::PreviewQuery(int, int) { return 0; }
void BaseData::PickObject(CWnd*, int) {}
void BaseData::DragObject(CWnd*, int, double, double, double, int, int, int) {}
void BaseData::EndDrag(int) {}
void BaseData::OnCommandHook(CWnd*, int) {}
void BaseData::PreviewHook3() {}
bool BaseData::CheckInput(BaseVarList&, int) { return true; }

void BaseData::SetTabForDoc(int tab) { tabForDoc[doc] = tab; }

int BaseData::GetStartTab(int defaultTab) {
  if (SettingInt("bAlwaysSkribTab", 0)) return 0;
  int root = VIDUV_GetRootElement(doc);
  if (root && VIDUV_GetInt(root, "bJustLoaded")) {
    VIDUV_DeleteAttr(root, "bJustLoaded");
    return defaultTab;
  }
  int tab = defaultTab;
  return tabForDoc.Lookup(doc, tab) ? tab : defaultTab;
}

CString BaseData::GetVortextTabTitle() const {
  return Tr(SettingInt("bSkrib", 0) ? "Skrib Vortext" : "Vortexttabelle");
}

int BaseData::PrepareExportsElement(int root) {
  int exports = VIDUV_FindOrAddChild(root, "exports");
  RemoveExportedValues(exports);
  return exports;
}

void BaseData::ReadAnnotations(int input) {
  annotations.RemoveAll();
  int element = VIDUV_FindFirstChild(input, "annotations");
  int key = 0;
  for (int attr = VIDUV_GetFirstAttrHandle(element); attr; attr = VIDUV_GetNextAttrHandle(attr)) {
    CAnnotation annotation;
    annotation.key = key++;
    annotation.name = VIDUV_GetAttrNameByHandle(attr);
    annotation.text = VIDUV_GetStringByHandle(attr);
    annotations.Add(annotation);
  }
}

void BaseData::WriteAnnotations(int input) {
  while (int old = VIDUV_FindFirstChild(input, "annotations")) {
    if (!VIDUV_DeleteElement(old)) break;
  }
  if (annotations.IsEmpty()) return;
  int element = VIDUV_AddChildElement(input, "annotations");
  for (const CAnnotation& annotation : annotations) VIDUV_SetString(element, annotation.name, annotation.text);
}

CString BaseData::GetOutputFileName() const {
  // Only the extension is matched without case; the rest of the path keeps its case.
  CString name = VIDUV_GetCompleteFileName(doc);
  if (name.GetLength() >= 4 && name.Right(4).CompareNoCase(".tqx") == 0)
    return name.Left(name.GetLength() - 4) + ".rtf";
  return name + ".rtf";
}
