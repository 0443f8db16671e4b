#include "formula/vardef.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "formula/exportvalue.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "CVarDefList", text)); }

// A file cannot sensibly hold more definitions; a larger count is taken as damage, not as an allocation.
constexpr int kMaxEntries = 65536;

// The folder part of a reference: up to and including its last '\'.
CString FolderPart(const CString& path) {
  int slash = path.ReverseFind('\\');
  return slash < 0 ? CString() : path.Left(slash + 1);
}

// Why the definition of `name` by `number` gives no value ("a = 1/0: Division durch Null."); empty when it gave
// one. Read right after the number's GetValue, whose evaluation its store still holds.
CString DefinitionFailure(const CString& name, const CFormulaNumber& number) {
  if (number.m_bNumber || !number.m_pStore || number.m_pStore->LastFailure().IsEmpty()) return CString();
  return FailedDefinitionText(name, number.m_strText, number.m_pStore->LastFailure());
}

int GetIntOr(int element, const char* name, int defaultValue) {
  return VIDUV_GetIntWithDefault(element, name, defaultValue, 1);
}

}  // namespace

// --- Services of the layers above ---

CVarDefServices& GetVarDefServices() {
  static CVarDefServices services;
  return services;
}

// --- Taken-over value record ---

CImportRecord::CImportRecord(const CImportRecord& other)
    : varPath(other.varPath),
      desc(other.desc),
      varName(other.varName),
      value(other.value),
      unit(other.unit),
      failure(other.failure) {}

CImportRecord& CImportRecord::operator=(const CImportRecord& other) {
  varPath = other.varPath;
  desc = other.desc;
  varName = other.varName;
  value = other.value;
  unit = other.unit;
  failure = other.failure;
  return *this;
}

CString TakenOverFailure(const CImportRecord& record) {
  if (record.failure.IsEmpty()) return CString();
  const int slash = record.varPath.Find('\\');
  const CString source = slash < 0 ? record.varPath : record.varPath.Left(slash);
  CString why;
  why.Format(Tr("Definition in %s fehlgeschlagen: %s").GetString(), source.GetString(), record.failure.GetString());
  return FailedDefinitionText(record.varName, record.varPath, why);
}

std::unique_ptr<CImportRecord> CImportRecord::Clone() const { return std::make_unique<CImportRecord>(*this); }

void CImportRecord::ReadData(int element) {
  varPath = VIDUV_GetString(element, "varPath");
  desc = VIDUV_GetString(element, "desc");
  varName = VIDUV_GetString(element, "varName");
  value = VIDUV_GetDouble(element, "value");
  unit = VIDUV_GetString(element, "unit");
}

void CImportRecord::WriteData(int element) const {
  VIDUV_SetString(element, "varPath", varPath);
  VIDUV_SetString(element, "desc", desc);
  VIDUV_SetString(element, "varName", varName);
  VIDUV_SetDouble(element, "value", value);
  VIDUV_SetString(element, "unit", unit);
}

int CImportRecord::Update() {
  status.Empty();
  return 0;
}

// --- Entries ---

std::unique_ptr<CVarDefEntry> CVarDefEntry::Create(int typeCode) {
  switch (typeCode) {
    case kVariable: return std::make_unique<CVarDefVariable>();
    case kUeberschrift: return std::make_unique<CVarDefUeberschrift>();
    case kBerechnung: return std::make_unique<CVarDefBerechnung>();
    case kFreierText: return std::make_unique<CVarDefFreierText>();
    case kAbbildung: return std::make_unique<CVarDefAbbildung>();
    case kKritzl: return std::make_unique<CVarDefKritzl>();
    case kWertUebernahme: return std::make_unique<CVarDefWertUebernahme>();
    case kSummeTabelle: return std::make_unique<CVarDefSummeTabelle>();
    default: return nullptr;
  }
}

void CVarDefEntry::CopyFrom(const CVarDefEntry&) {}

void CVarDefEntry::ReadData(int element) {
  if (VIDUV_GetInt(element, "type") != type) AfxMessageBox("Wrong class type in CVarDefEntry::ReadData");
  format = GetIntOr(element, "format", 0);
  textHeight = GetIntOr(element, "textHeight", 0);
  digits = GetIntOr(element, "digits", 2);
}

void CVarDefEntry::WriteData(int element) {
  VIDUV_SetInt(element, "type", type);
  VIDUV_SetInt(element, "format", format);
  VIDUV_SetInt(element, "textHeight", textHeight);
  VIDUV_SetInt(element, "digits", digits);
}

const CString* CVarDefEntry::GetImportText() const { return nullptr; }

CVarDefVariable::CVarDefVariable() : CVarDefEntry(kVariable) {}

void CVarDefVariable::CopyFrom(const CVarDefEntry& other) {
  auto* source = dynamic_cast<const CVarDefVariable*>(&other);
  if (!source) return;
  desc = source->desc;
  varName = source->varName;
  value = source->value;
  unit = source->unit;
  bExported = source->bExported;
}

void CVarDefVariable::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  desc = VIDUV_GetString(element, "desc");
  varName = VIDUV_GetString(element, "varName");
  value.ReadXML(element, "val");
  unit = VIDUV_GetString(element, "unit");
  bExported = VIDUV_GetInt(element, "bExported");
}

void CVarDefVariable::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  VIDUV_SetString(element, "desc", desc);
  VIDUV_SetString(element, "varName", varName);
  SetXmlFormulaNumber(element, "val", value);
  VIDUV_SetString(element, "unit", unit);
  VIDUV_SetInt(element, "bExported", bExported);
}

void CVarDefUeberschrift::CopyFrom(const CVarDefEntry& other) {
  if (auto* source = dynamic_cast<const CVarDefUeberschrift*>(&other)) title = source->title;
}

void CVarDefUeberschrift::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  title = VIDUV_GetString(element, "title");
}

void CVarDefUeberschrift::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  VIDUV_SetString(element, "title", title);
}

void CVarDefBerechnung::CopyFrom(const CVarDefEntry& other) {
  auto* source = dynamic_cast<const CVarDefBerechnung*>(&other);
  if (!source) return;
  desc = source->desc;
  unit = source->unit;
  value = source->value;
}

void CVarDefBerechnung::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  desc = VIDUV_GetString(element, "desc");
  value.ReadXML(element, "val");
  unit = VIDUV_GetString(element, "unit");
}

void CVarDefBerechnung::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  VIDUV_SetString(element, "desc", desc);
  SetXmlFormulaNumber(element, "val", value);
  VIDUV_SetString(element, "unit", unit);
}

void CVarDefFreierText::CopyFrom(const CVarDefEntry& other) {
  if (auto* source = dynamic_cast<const CVarDefFreierText*>(&other)) text = source->text;
}

void CVarDefFreierText::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  text = VIDUV_GetString(element, "text");
}

void CVarDefFreierText::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  VIDUV_SetString(element, "text", text);
}

void CVarDefPictureBase::FreeFileBuffer() {
  fileBuffer.reset();
  bufferSize = 0;
}

void CVarDefPictureBase::SetFileBuffer(const void* data, unsigned size) {
  FreeFileBuffer();
  if (size == 0) return;
  fileBuffer = std::make_unique<unsigned char[]>(size);
  if (data) std::memcpy(fileBuffer.get(), data, size);
  bufferSize = size;
}

void CVarDefPictureBase::CopyPicture(const CVarDefPictureBase& other) {
  SetFileBuffer(other.fileBuffer.get(), other.bufferSize);
  dWidth = other.dWidth;
  dHeight = other.dHeight;
}

void CVarDefPictureBase::ReadBuffer(int element) {
  FreeFileBuffer();
  int length = VIDUV_GetBinDataLength(element, "fileBuffer");
  if (length <= 0) return;
  SetFileBuffer(nullptr, unsigned(length));
  if (VIDUV_GetBinData(element, "fileBuffer", fileBuffer.get()) != length) FreeFileBuffer();
}

void CVarDefAbbildung::CopyFrom(const CVarDefEntry& other) {
  auto* source = dynamic_cast<const CVarDefAbbildung*>(&other);
  if (!source) return;
  CopyPicture(*source);
  fileName = source->fileName;
}

void CVarDefAbbildung::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  ReadBuffer(element);
  fileName = VIDUV_GetString(element, "fileName");
  dWidth = VIDUV_GetDouble(element, "dWidth");
  dHeight = VIDUV_GetDouble(element, "dHeight");
}

void CVarDefAbbildung::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  VIDUV_SetBinData(element, "fileBuffer", int(bufferSize), fileBuffer.get(), 1);
  VIDUV_SetString(element, "fileName", fileName);
  VIDUV_SetDouble(element, "dWidth", dWidth);
  VIDUV_SetDouble(element, "dHeight", dHeight);
}

void CVarDefKritzl::CopyFrom(const CVarDefEntry& other) {
  if (auto* source = dynamic_cast<const CVarDefKritzl*>(&other)) CopyPicture(*source);
}

void CVarDefKritzl::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  ReadBuffer(element);
  dWidth = VIDUV_GetDouble(element, "dWidth");
  dHeight = VIDUV_GetDouble(element, "dHeight");
}

void CVarDefKritzl::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  VIDUV_SetBinData(element, "fileBuffer", int(bufferSize), fileBuffer.get(), 1);
  VIDUV_SetDouble(element, "dWidth", dWidth);
  VIDUV_SetDouble(element, "dHeight", dHeight);
}

CVarDefWertUebernahme::CVarDefWertUebernahme() : CVarDefEntry(kWertUebernahme) {
  auto& create = GetVarDefServices().createImportRecord;
  if (create) import = create();
  if (!import) import = std::make_unique<CImportRecord>();
}

void CVarDefWertUebernahme::CopyFrom(const CVarDefEntry& other) {
  if (auto* source = dynamic_cast<const CVarDefWertUebernahme*>(&other)) *import = *source->import;
}

void CVarDefWertUebernahme::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  import->ReadData(element);
  import->Update();
}

void CVarDefWertUebernahme::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  import->WriteData(element);
}

const CString* CVarDefWertUebernahme::GetImportText() const { return &import->status; }

void CVarDefSummeTabelle::CopyFrom(const CVarDefEntry& other) {
  auto* source = dynamic_cast<const CVarDefSummeTabelle*>(&other);
  if (!source) return;
  desc = source->desc;
  varName = source->varName;
  unit = source->unit;
  bExported = source->bExported;
}

void CVarDefSummeTabelle::ReadData(int element) {
  CVarDefEntry::ReadData(element);
  desc = VIDUV_GetString(element, "desc");
  varName = VIDUV_GetString(element, "varName");
  unit = VIDUV_GetString(element, "unit");
  sum = VIDUV_GetDouble(element, "val");
  bExported = VIDUV_GetInt(element, "bExported");
}

void CVarDefSummeTabelle::WriteData(int element) {
  CVarDefEntry::WriteData(element);
  VIDUV_SetString(element, "desc", desc);
  VIDUV_SetString(element, "varName", varName);
  VIDUV_SetString(element, "unit", unit);
  VIDUV_SetDouble(element, "val", sum);
  VIDUV_SetInt(element, "bExported", bExported);
}

// --- The list ---

CVarDefList::CVarDefList() { store.m_pParent = &GetGlobalVariableStore(); }

CVarDefList::~CVarDefList() { RemoveAll(); }

CVarDefEntry* CVarDefList::GetAt(int i) const {
  if (i < 0 || i >= GetSize()) return nullptr;
  return entries[std::size_t(i)].get();
}

int CVarDefList::GetEntryCount() const {
  int count = 0;
  for (const auto& entry : entries)
    if (entry) ++count;
  return count;
}

void CVarDefList::RemoveAll() {
  entries.clear();
  bPageBreak = FALSE;
  bLostValuesShown = FALSE;
}

void CVarDefList::SetSize(int n) { entries.resize(std::size_t(n > 0 ? n : 0)); }

void CVarDefList::SetEntryType(int i, int typeCode) {
  if (i < 0 || i >= GetSize()) return;
  auto& slot = entries[std::size_t(i)];
  if (slot && slot->type == typeCode) return;
  slot = CVarDefEntry::Create(typeCode);
}

void CVarDefList::SetAt(int i, std::unique_ptr<CVarDefEntry> entry) {
  if (i < 0) {
    entries.push_back(std::move(entry));
    return;
  }
  if (i >= GetSize()) SetSize(i + 1);
  entries[std::size_t(i)] = std::move(entry);
}

void CVarDefList::InsertAt(int i, std::unique_ptr<CVarDefEntry> entry) {
  if (i < 0 || i >= GetSize()) {
    SetAt(i < 0 ? -1 : i, std::move(entry));
    return;
  }
  entries.insert(entries.begin() + i, std::move(entry));
}

void CVarDefList::RemoveAt(int i) {
  if (i >= 0 && i < GetSize()) entries.erase(entries.begin() + i);
}

namespace {

// The slot count a file announces, kept within what a list can hold.
int CheckedSlotCount(int announced, const char* attribute) {
  if (announced >= 0 && announced <= kMaxEntries) return announced;
  CString text;
  text.Format(Tr("Die Variablendefinitionen geben %s = %d an; gelesen werden höchstens %d Einträge.").GetString(),
              attribute, announced, kMaxEntries);
  AfxMessageBox(text);
  return announced < 0 ? 0 : kMaxEntries;
}

void ReportBadIndex(const char* element, int idx, int count) {
  CString text;
  text.Format(Tr("Variablendefinition \"%s\" mit idx %d liegt außerhalb von 0 bis %d und wird übergangen.").GetString(),
              element, idx, count - 1);
  AfxMessageBox(text);
}

// The single "vardef" child of parent; 0 when there is none or more than one.
int FindSingleVardef(int parent) {
  int vardef = VIDUV_FindFirstChild(parent, "vardef");
  if (!vardef) return 0;
  if (VIDUV_FindNextChild(vardef, "vardef")) {
    AfxMessageBox(Tr("Die Datei enthält mehrere Variablendefinitionen; sie werden nicht gelesen."));
    return 0;
  }
  return vardef;
}

}  // namespace

void CVarDefList::ReadData(int parent) {
  int vardef = FindSingleVardef(parent);
  if (!vardef) return;
  if (VIDUV_GetDouble(vardef, "version") == 0.0) {
    ReadOldData(parent);
    return;
  }
  // Built aside, so that the list stays as it was until the element has been read whole.
  std::vector<std::unique_ptr<CVarDefEntry>> read(
      std::size_t(CheckedSlotCount(VIDUV_GetInt(vardef, "numOfEntries"), "numOfEntries")));
  for (int element = VIDUV_FindFirstChild(vardef, "entry"); element; element = VIDUV_FindNextChild(element, "entry")) {
    int idx = VIDUV_GetInt(element, "idx");
    auto entry = CVarDefEntry::Create(VIDUV_GetInt(element, "type"));
    if (!entry) continue;
    if (idx < 0 || std::size_t(idx) >= read.size()) {
      ReportBadIndex("entry", idx, int(read.size()));
      continue;
    }
    if (auto* taken = dynamic_cast<CVarDefWertUebernahme*>(entry.get())) taken->GetImport().positionFile = positionFile;
    entry->ReadData(element);
    read[std::size_t(idx)] = std::move(entry);
  }
  entries = std::move(read);
  bPageBreak = VIDUV_GetInt(vardef, "bPageBreak");
  ReportNotRefreshed();
}

void CVarDefList::ReportNotRefreshed() const {
  CString lines;
  for (const auto& entry : entries) {
    const CString* importText = entry ? entry->GetImportText() : nullptr;
    if (importText && !importText->IsEmpty()) lines += "\n" + *importText;
  }
  // A value that was not refreshed must not go into a calculation unnoticed; it does not stop one either.
  if (!lines.IsEmpty())
    AfxMessageBox(Tr("Übernommene Werte wurden nicht aktualisiert; es wird mit ihren alten Werten gerechnet:") + lines,
                  MB_ICONWARNING);
  // One whose source has no value has none here: an input that reads it is refused.
  CString failed;
  for (const auto& entry : entries)
    if (const auto* taken = dynamic_cast<const CVarDefWertUebernahme*>(entry.get()))
      if (const CString failure = TakenOverFailure(taken->GetImport()); !failure.IsEmpty()) failed += "\n" + failure;
  if (!failed.IsEmpty())
    AfxMessageBox(
        Tr("Übernommene Werte haben keinen Wert, weil ihre Definition in der Quelle fehlgeschlagen ist:") + failed,
        MB_ICONWARNING);
}

void CVarDefList::ReadOldData(int parent) {
  int vardef = FindSingleVardef(parent);
  if (!vardef) return;
  std::vector<std::unique_ptr<CVarDefEntry>> read(
      std::size_t(CheckedSlotCount(VIDUV_GetInt(vardef, "numOfVars"), "numOfVars")));
  for (int element = VIDUV_FindFirstChild(vardef, "var"); element; element = VIDUV_FindNextChild(element, "var")) {
    int idx = VIDUV_GetInt(element, "idx");
    if (idx < 0 || std::size_t(idx) >= read.size()) {
      ReportBadIndex("var", idx, int(read.size()));
      continue;
    }
    if (VIDUV_GetInt(element, "bHeader")) {
      auto heading = std::make_unique<CVarDefUeberschrift>();
      heading->title = VIDUV_GetString(element, "name");
      read[std::size_t(idx)] = std::move(heading);
    } else {
      auto variable = std::make_unique<CVarDefVariable>();
      variable->desc = VIDUV_GetString(element, "name");
      variable->varName = VIDUV_GetString(element, "shortName");
      variable->value.ReadXML(element, "val");
      variable->unit = VIDUV_GetString(element, "unit");
      read[std::size_t(idx)] = std::move(variable);
    }
  }
  entries = std::move(read);
}

void CVarDefList::WriteData(int parent) {
  while (int old = VIDUV_FindFirstChild(parent, "vardef")) {
    if (!VIDUV_DeleteElement(old)) break;
  }
  if (entries.empty()) return;
  int vardef = VIDUV_AddChildElement(parent, "vardef");
  if (!vardef) return;
  VIDUV_SetDouble(vardef, "version", 1.1);
  VIDUV_SetInt(vardef, "numOfEntries", GetSize());
  for (int i = 0; i < GetSize(); ++i) {
    CVarDefEntry* entry = GetAt(i);
    if (!entry) continue;
    int element = VIDUV_AddChildElement(vardef, "entry");
    VIDUV_SetInt(element, "idx", i);
    VIDUV_SetInt(element, "type", entry->type);
    entry->WriteData(element);
  }
  VIDUV_SetInt(vardef, "bPageBreak", bPageBreak);
}

void CVarDefList::WriteExports(int element) {
  for (int i = 0; i < GetSize(); ++i) {
    if (auto* variable = GetAs<CVarDefVariable>(i); variable && variable->bExported)
      AddExportedValue(element, variable->desc, variable->varName, variable->value.m_dValue, variable->unit,
                       variable->failure);
    else if (auto* sum = GetAs<CVarDefSummeTabelle>(i); sum && sum->bExported)
      AddExportedValue(element, sum->desc, sum->varName, sum->sum, sum->unit, sum->failure);
  }
}

std::vector<std::string> CVarDefList::FailedExports() {
  UpdateVariables();
  std::vector<std::string> lines;
  for (int i = 0; i < GetSize(); ++i) {
    const CString* name = nullptr;
    const CString* failure = nullptr;
    if (auto* variable = GetAs<CVarDefVariable>(i); variable && variable->bExported) {
      name = &variable->varName;
      failure = &variable->failure;
    } else if (auto* sum = GetAs<CVarDefSummeTabelle>(i); sum && sum->bExported) {
      name = &sum->varName;
      failure = &sum->failure;
    }
    if (failure && !failure->IsEmpty()) lines.push_back(name->str() + ": " + failure->str());
  }
  return lines;
}

void CVarDefList::UpdateVariables() {
  // The definitions on a cycle say so: c1 = c2 + 1 above c2 = c1 + 1 has no value because of the cycle, not because
  // c2 is defined only below it. The first walk finds the cycles, the second gives their definitions that reason and
  // lets the rows above read a name of a cycle defined below as one without a value for it.
  std::map<std::string, std::string> cycles;
  for (int walk = 0; walk < 2; ++walk) {
    if (walk == 1 && cycles.empty()) break;
    WalkDefinitions(cycles, walk == 0);
  }
}

void CVarDefList::WalkDefinitions(std::map<std::string, std::string>& cycles, bool findCycles) {
  for (auto& entry : entries) {
    if (auto* variable = dynamic_cast<CVarDefVariable*>(entry.get())) variable->store.RemoveAll();
    if (auto* sum = dynamic_cast<CVarDefSummeTabelle*>(entry.get())) sum->store.RemoveAll();
  }
  store.RemoveAll();
  store.m_pParent = &GetGlobalVariableStore();
  if (!findCycles) store.SetCycleReasons(cycles);

  for (auto& entry : entries) {
    if (auto* taken = dynamic_cast<CVarDefWertUebernahme*>(entry.get())) {
      const CImportRecord& record = taken->GetImport();
      const CString name = FolderPart(record.varPath) + record.varName;
      store.SetVariable(name, record.desc, record.unit, record.value);
      if (const CString failure = TakenOverFailure(record); !failure.IsEmpty()) store.SetFailed(name, failure);
    }
  }

  // The failed definitions walked so far, by name (a later one of a name in its place), with what each read without
  // a value.
  std::map<std::string, std::pair<const CVarDefVariable*, UnvaluedReads>> failed;
  std::map<std::string, std::size_t> cycleSteps;
  std::set<std::string> readUndefined;  // names the failed definitions read while no row above defined them
  const auto readsOf = [&failed](const std::string& name) -> const UnvaluedReads* {
    const auto it = failed.find(name);
    return it == failed.end() ? nullptr : &it->second.second;
  };
  double runningSum = 0.0;
  CString sumFailure;
  CVariableStore* current = &store;
  for (auto& entry : entries) {
    if (!entry) continue;
    switch (entry->type) {
      case CVarDefEntry::kVariable: {
        auto& variable = static_cast<CVarDefVariable&>(*entry);
        variable.value.m_pStore = current;
        variable.store.m_pParent = current;
        double value = variable.value.GetValue();
        variable.failure = DefinitionFailure(variable.varName, variable.value);
        const std::string name = variable.varName.str();
        if (variable.failure.IsEmpty()) {
          failed.erase(name);
        } else if (const auto cycle = cycles.find(name); !findCycles && cycle != cycles.end()) {
          variable.failure = cycle->second.c_str();
        } else if (findCycles) {
          failed[name] = {&variable, current->LastUnvaluedReads()};
          const std::vector<std::string>& undefined = failed[name].second.undefined;
          readUndefined.insert(undefined.begin(), undefined.end());
          // a cycle closes only where a row above read the name before it; one on several cycles says a shortest
          const std::vector<std::string> steps =
              readUndefined.count(name) ? DefinitionCycle(name, readsOf) : std::vector<std::string>();
          for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
            if (const auto known = cycleSteps.find(steps[i]);
                known != cycleSteps.end() && known->second <= steps.size())
              continue;
            cycleSteps[steps[i]] = steps.size();
            const CFormulaNumber& formula = failed[steps[i]].first->value;
            cycles[steps[i]] =
                FailedDefinitionText(steps[i].c_str(), formula.m_strText, CycleText(steps, steps[i]).c_str()).str();
          }
        }
        variable.store.SetVariable(variable.varName, variable.desc, variable.unit, value);
        if (!variable.failure.IsEmpty()) variable.store.SetFailed(variable.varName, variable.failure);
        current = &variable.store;
        runningSum += value;
        if (sumFailure.IsEmpty()) sumFailure = variable.failure;
        break;
      }
      case CVarDefEntry::kBerechnung: {
        auto& calculation = static_cast<CVarDefBerechnung&>(*entry);
        calculation.value.m_pStore = current;
        runningSum += calculation.value.GetValue();
        if (sumFailure.IsEmpty()) sumFailure = DefinitionFailure(calculation.desc, calculation.value);
        break;
      }
      case CVarDefEntry::kWertUebernahme: {
        const CImportRecord& record = static_cast<CVarDefWertUebernahme&>(*entry).GetImport();
        runningSum += record.value;
        if (sumFailure.IsEmpty()) sumFailure = TakenOverFailure(record);
        break;
      }
      case CVarDefEntry::kSummeTabelle: {
        auto& sum = static_cast<CVarDefSummeTabelle&>(*entry);
        sum.sum = runningSum;
        sum.failure = sumFailure;
        sum.store.m_pParent = current;
        sum.store.SetVariable(sum.varName, sum.desc, sum.unit, sum.sum);
        if (!sum.failure.IsEmpty()) sum.store.SetFailed(sum.varName, sum.failure);
        current = &sum.store;
        break;
      }
      default:
        runningSum = 0.0;
        sumFailure.Empty();
        break;
    }
  }
}

void CVarDefList::DefineIn(CVariableStore& target) {
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  GetVariables(names, descriptions, units, values, FALSE);
  // GetVariables lists the entries that define a name in list order; a name given twice takes the later entry's
  // value and mark.
  INT_PTR next = 0;
  for (int i = 0; i < GetSize() && next < names.GetSize(); ++i) {
    CString failure;
    if (auto* variable = GetAs<CVarDefVariable>(i))
      failure = variable->failure;
    else if (auto* sum = GetAs<CVarDefSummeTabelle>(i))
      failure = sum->failure;
    else if (auto* taken = GetAs<CVarDefWertUebernahme>(i))
      failure = TakenOverFailure(taken->GetImport());
    else
      continue;
    target.SetVariable(names[next], descriptions[next], units[next], values[next]);
    if (!failure.IsEmpty()) target.SetFailed(names[next], failure);
    ++next;
  }
}

void CVarDefList::GetVariables(CStringArray& names, CStringArray& descriptions, CStringArray& units,
                               CArray<double, double>& values, BOOL onlyExported) {
  UpdateVariables();
  names.RemoveAll();
  descriptions.RemoveAll();
  units.RemoveAll();
  values.RemoveAll();
  auto add = [&](const CString& name, const CString& desc, const CString& unit, double value) {
    names.Add(name);
    descriptions.Add(desc);
    units.Add(unit);
    values.Add(value);
  };
  for (int i = 0; i < GetSize(); ++i) {
    if (auto* variable = GetAs<CVarDefVariable>(i)) {
      if (!onlyExported || variable->bExported)
        add(variable->varName, variable->desc, variable->unit, variable->value.GetValue());
    } else if (auto* sum = GetAs<CVarDefSummeTabelle>(i)) {
      if (!onlyExported || sum->bExported) add(sum->varName, sum->desc, sum->unit, sum->sum);
    } else if (auto* taken = GetAs<CVarDefWertUebernahme>(i)) {
      const CImportRecord& record = taken->GetImport();
      add(FolderPart(record.varPath) + record.varName, record.desc, record.unit, record.value);
    }
  }
}

void CVarDefList::CheckImportedValues() {
  CStringArray lines;
  CArray<int, int> indices;
  for (int i = 0; i < GetSize(); ++i) {
    CVarDefEntry* entry = GetAt(i);
    if (!entry) continue;
    if (auto* taken = dynamic_cast<CVarDefWertUebernahme*>(entry)) {
      taken->GetImport().positionFile = positionFile;
      taken->GetImport().Update();
    }
    const CString* importText = entry->GetImportText();
    if (!importText || importText->IsEmpty()) continue;
    const CImportRecord& record = static_cast<CVarDefWertUebernahme*>(entry)->GetImport();
    CString line;
    line.Format("%s [%s] = %.2lf", record.varPath.GetString(), record.unit.GetString(), record.value);
    lines.Add(line);
    indices.Add(i);
  }

  const auto& services = GetVarDefServices();
  int warn = services.readIntSetting ? services.readIntSetting("bLTWarning", 1) : 1;
  if (!bLostValuesShown && warn && lines.GetSize() > 0) {
    bLostValuesShown = TRUE;
    if (services.showLostValues && services.showLostValues(lines)) {
      INT_PTR n = std::min(lines.GetSize(), indices.GetSize());
      for (INT_PTR k = n - 1; k >= 0; --k)
        if (lines[k].IsEmpty()) RemoveAt(indices[k]);
    }
  }
  UpdateVariables();
}
