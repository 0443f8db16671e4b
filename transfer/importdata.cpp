#include "transfer/importdata.h"

#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "ImportData", text)); }

using viduv::ScopedDoc;

}  // namespace

std::unique_ptr<CImportRecord> ImportData::Clone() const { return std::make_unique<ImportData>(*this); }

void ImportData::SplitVarPath(const CString& varPath, CString& fileName, CStringArray& chain) {
  fileName.Empty();
  chain.RemoveAll();
  if (varPath.IsEmpty()) return;
  int start = 0;
  int slash = varPath.Find('\\');
  fileName = (slash < 0 ? varPath : varPath.Left(slash)) + ".tqx";
  while (slash >= 0) {
    start = slash + 1;
    slash = varPath.Find('\\', start);
    chain.Add(slash < 0 ? varPath.Mid(start) : varPath.Mid(start, slash - start));
  }
}

int ImportData::Update() {
  CString fileName;
  CStringArray chain;
  SplitVarPath(varPath, fileName, chain);
  status.Empty();
  if (fileName.IsEmpty()) return 0;

  int result = 2;
  {
    ScopedDoc source(fileName);
    if (!source.Get()) {
      result = 1;
    } else if (int element = VIDUV_FindFirstChild(VIDUV_GetRootElement(source.Get()), "exports")) {
      for (INT_PTR i = 0; element && i < chain.GetSize(); ++i)
        element = VIDUV_FindFirstChildWithAttr(element, "desc", chain[i]);
      // A reference must reach a value: a folder, or the exports element itself, holds none.
      if (element && !chain.IsEmpty() && *VIDUV_GetString(element, "val") != '\0') {
        value = VIDUV_GetDouble(element, "val");
        unit = VIDUV_GetString(element, "unit");
        result = 0;
      }
    }
  }

  if (result == 1) {
    status.Format(Tr("Datei '%s' nicht gefunden (alter Wert %s=%.2lf %s).").GetString(), fileName.GetString(),
                  varName.GetString(), value, unit.GetString());
  } else if (result == 2) {
    const CString& missing = chain.IsEmpty() ? varName : chain[chain.GetSize() - 1];
    status.Format(Tr("Datei '%s': Variable '%s' nicht gefunden (alter Wert:%.2lf %s).").GetString(),
                  fileName.GetString(), missing.GetString(), value, unit.GetString());
  }
  return result;
}

void RegisterImportData() {
  GetVarDefServices().createImportRecord = [] { return std::make_unique<ImportData>(); };
}
