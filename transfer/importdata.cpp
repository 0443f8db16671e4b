#include "transfer/importdata.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <system_error>

#include "formula/exportvalue.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "transfer/sourcefile.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "ImportData", text)); }

// The number a whole text stands for (blanks around it allowed); none for a text that is no number, or for one
// that is not finite ("nan", "inf", an overflow): such a value is never taken over.
std::optional<double> FiniteNumber(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double number = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(number))
    return std::nullopt;
  return number;
}

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
  failure.Empty();
  if (fileName.IsEmpty()) return 0;

  // The messages name the file where the source was looked for.
  const std::string path = SourcePositionFile(positionFile.str(), fileName.str());
  const CString shown = path.empty() ? fileName : CString(path.c_str());
  const CString& missing = chain.IsEmpty() ? varName : chain[chain.GetSize() - 1];
  int result = 2;
  CString found;  // the text the source holds where a number belongs
  std::string unread;
  {
    const SourceDocument source(path, fileName.str());
    if (!source.Get()) {
      result = 1;
      unread = source.Failure();
    } else if (int element = VIDUV_FindFirstChild(VIDUV_GetRootElement(source.Get()), "exports")) {
      for (INT_PTR i = 0; element && i < chain.GetSize(); ++i)
        element = VIDUV_FindFirstChildWithAttr(element, "desc", chain[i]);
      // A reference must reach a value: a folder, or the exports element itself, holds none.
      found = element && !chain.IsEmpty() ? VIDUV_GetString(element, "val") : "";
      if (const CString why = chain.IsEmpty() ? CString() : ExportedFailure(element); !why.IsEmpty()) {
        // The source's definition failed: its number is none, here as there.
        failure = why;
        unit = VIDUV_GetString(element, "unit");
        result = 4;
      } else if (!found.IsEmpty()) {
        if (const std::optional<double> number = FiniteNumber(found.str())) {
          value = *number;
          unit = VIDUV_GetString(element, "unit");
          result = 0;
        } else {
          result = 3;
        }
      }
    }
  }

  if (result == 1) {
    status.Format(Tr("%s (alter Wert %s=%.2lf %s).").GetString(), unread.c_str(), varName.GetString(), value,
                  unit.GetString());
  } else if (result == 2) {
    status.Format(Tr("Datei '%s': Variable '%s' nicht gefunden (alter Wert:%.2lf %s).").GetString(), shown.GetString(),
                  missing.GetString(), value, unit.GetString());
  } else if (result == 3) {
    status.Format(
        Tr("Datei '%s': Variable '%s' hat keinen gültigen Zahlenwert ('%s') (alter Wert:%.2lf %s).").GetString(),
        shown.GetString(), missing.GetString(), found.GetString(), value, unit.GetString());
  }
  return result;
}

void RegisterImportData() {
  GetVarDefServices().createImportRecord = [] { return std::make_unique<ImportData>(); };
}
