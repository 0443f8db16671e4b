#include <cstdio>

#include "framework/basedata.h"
#include "framework/calcdll.h"
#include "framework/plaudlg.h"
#include "framework/progdb.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "BaseData", text)); }

// With "bSaveAlways" the position is saved around each calculation; a save that fails (a full disk, a file another
// run changed meanwhile) is said, never passed over as if the results were on disk.
void SaveAlways(int doc) {
  if (VIDUV_SaveDoc(doc)) return;
  CString text;
  text.Format(Tr("Die Position konnte nicht gespeichert werden:\n%s").GetString(), VIDUV_GetLastError());
  AfxMessageBox(text, MB_OK | MB_ICONSTOP);
}

int SettingInt(const char* name, int defaultValue) {
  int value = defaultValue;
  GetRegSettings().ReadInt("", name, &value, defaultValue);
  return value;
}

void DeleteChild(int parent, const char* name) {
  if (int child = VIDUV_FindFirstChild(parent, name)) VIDUV_DeleteElement(child);
}

// A fingerprint stored in "info"; zero when missing or not 16 bytes long.
CFingerPrint StoredFingerprint(int document, const char* name) {
  CFingerPrint print;
  int info = VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "info");
  if (info && VIDUV_GetBinDataLength(info, name) == CFingerPrint::Size) VIDUV_GetBinData(info, name, print.GetData());
  return print;
}

void StoreFingerprint(int document, const char* name, const CFingerPrint& print) {
  int root = VIDUV_GetRootElement(document);
  if (!root) return;
  VIDUV_SetBinData(VIDUV_FindOrAddChild(root, "info"), name, CFingerPrint::Size, print.GetData(), 0);
}

// The busy flag is cleared on every way out.
class BusyGuard {
 public:
  explicit BusyGuard(int& flag) : m_flag(flag) { m_flag = 1; }
  ~BusyGuard() { m_flag = 0; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  int& m_flag;
};

}  // namespace

void BaseData::ResetInputFingerprint() { StoreFingerprint(doc, "input_fingerprint", CFingerPrint()); }

void BaseData::GetInputFingerprint(CFingerPrint& print) const {
  print.Clear();
  int input = VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input");
  if (input) print.FromElement(input);
}

bool BaseData::InputChanged() const {
  if (!VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "result")) return true;
  CFingerPrint current;
  GetInputFingerprint(current);
  return StoredFingerprint(doc, "input_fingerprint") != current;
}

void BaseData::SaveInputFingerprint() {
  CFingerPrint print;
  GetInputFingerprint(print);
  StoreFingerprint(doc, "input_fingerprint", print);
}

void BaseData::GetOutputFingerprint(CFingerPrint& print) const {
  if (!print.FromFile(GetOutputFileName())) print.Clear();
}

bool BaseData::OutputChanged() const {
  CFingerPrint current;
  GetOutputFingerprint(current);
  return StoredFingerprint(doc, "output_fingerprint") != current;
}

void BaseData::SaveOutputFingerprint() {
  CFingerPrint print;
  CString output = GetOutputFileName();
  if (CDirList::FileExists(output)) {
    if (std::FILE* file = std::fopen(win::ToFsPath(output.str()).c_str(), "ab")) {
      std::fclose(file);
      print.FromFile(output);
    }
  }
  StoreFingerprint(doc, "output_fingerprint", print);
}

void BaseData::ClearOutputFingerprint() { StoreFingerprint(doc, "output_fingerprint", CFingerPrint()); }

bool BaseData::StoreDocumentRtf() {
  if (progname == "Skrib" || !SettingInt("bSkrib", 0) || GetProgramLookup().IsVariablesProgram(progname)) return false;
  int root = VIDUV_GetRootElement(doc);
  CDocumentPart& part = GetSubData();
  if (!root || part.IsEmpty() || !part.HoldsText()) return true;
  win::ScratchFolder scratch;
  const CString temporary(VariablesScratchFile(GetOutputFileName(), scratch, "Dokument.rtf"));
  // Evaluated in the formula colour, numbered from the document's own first number.
  int index = part.Calculate(RGB(7, 13, 255), -1);
  bool valid = index >= 0 && index <= 9 && !temporary.IsEmpty();
  if (valid) part.ExportRtf(temporary, index, part.GetPage(), "", "");
  int files = VIDUV_FindOrAddChild(root, "rtfFiles");
  if (!valid || !VIDUV_StoreFileInAttr(files, "vardef", temporary, 1)) VIDUV_DeleteAttr(files, "vardef");
  return true;
}

void BaseData::StoreVardefRtf() {
  if (progname == "Skrib") return;
  int root = VIDUV_GetRootElement(doc);
  if (!root) return;
  if (StoreDocumentRtf()) return;
  if (varDefs.GetSize() == 0) return;
  win::ScratchFolder scratch;
  const std::string temporary = VariablesScratchFile(GetOutputFileName(), scratch, "Variablen.rtf");
  if (temporary.empty()) return;
  std::vector<std::string> failures;
  varDefs.WriteRtf(temporary.c_str(), 0, &failures);
  int files = VIDUV_FindOrAddChild(root, "rtfFiles");
  VIDUV_StoreFileInAttr(files, "vardef", temporary.c_str(), 1);
  // The report goes on without them, but never without saying so.
  if (!failures.empty()) {
    std::string list;
    for (const std::string& failure : failures) list += "\n- " + failure;
    CString text;
    text.Format(Tr("Diese Bilder der Vortexttabelle fehlen im Bericht:%s").GetString(), list.c_str());
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
  }
}

void BaseData::CalcAndStore(CCalcAndStoreResult& out, BOOL withOutput, BOOL redraw) {
  out = CCalcAndStoreResult{};
  if (busy) {
    out.inputAccepted = 1;
    return;
  }
  BusyGuard guard(busy);
  if (!doc) {
    out.inputAccepted = 1;
    return;
  }
  const bool saveAlways = SettingInt("bSaveAlways", 0) != 0;
  WriteData(doc);
  ProgDBEntry* program = GetProgDB().FindProg(progname, modulename);
  if (!program) {
    CString text;
    text.Format(Tr("Unbekannte Programm-Kennung %s/%s").GetString(), progname.GetString(), modulename.GetString());
    AfxMessageBox(text);
    return;
  }
  // The record may be replaced while dialogs run; what is needed of it is copied now.
  const CString calcDLLName = program->calcDLLName;
  const CString calcProcName = program->calcProcName;
  const CString rtfDLLName = program->rtfDLLName;
  const CString rtfProcName = program->rtfProcName;
  const int root = VIDUV_GetRootElement(doc);

  const bool inputChanged = InputChanged();
  bool outputStale = false;
  const CString outputFile = GetOutputFileName();
  if (withOutput) {
    outputStale = !inputChanged && CDirList::FileExists(outputFile) ? OutputChanged() : true;
    if (outputStale) std::remove(win::ToFsPath(outputFile.str()).c_str());
  }
  bool needCalc = inputChanged;
  if (rtfDLLName.IsEmpty() && rtfProcName.IsEmpty()) needCalc = inputChanged || outputStale;
  if (outputStale) {
    lastUeberlagerung.WriteProtokolle();
    StoreVardefRtf();
  }

  int calculated = 0;
  int ok = 0;
  int noResult = 0;
  int cancelled = 0;
  if (needCalc) {
    if (saveAlways) SaveAlways(doc);
    CStringArray texts;
    if (bPlausiV2) {
      BaseVarList messages;
      ok = CheckInput(messages, 0) ? 1 : 0;
      if (!ok || messages.CountWarnings() > 0) {
        PlauCtrlV2 dialog;
        dialog.SetMessageList(&messages);
        INT_PTR answer = dialog.DoModal();
        if (answer == 1) {
          if (const BaseVarEntry* chosen = dialog.GetSelectedMessage()) messages.GotoTarget(*chosen);
          ok = 0;
        } else if (answer != IDC_PLAUSI_START) {
          // "Abbrechen" and Escape: no calculation.
          cancelled = 1;
          ok = 0;
        }
        ResetInputFingerprint();
      }
    } else {
      ok = PrepareCalc(texts, 0) ? 1 : 0;
    }
    if (ok) {
      CalcDLL routine(calcDLLName, calcProcName);
      DeleteChild(root, "result");
      DeleteChild(root, "results");
      DeleteChild(root, "exports");
      routine.Call(doc, withOutput && rtfDLLName.IsEmpty() ? 1 : 0);
      int result = VIDUV_FindFirstChild(root, "result");
      if (!result) result = VIDUV_FindFirstChild(root, "results");
      if (result) {
        calculated = VIDUV_GetIntWithDefault(result, "abbruch", 0, 0) == 0 ? 1 : 0;
      } else {
        noResult = 1;
      }
      SaveInputFingerprint();
    } else if (!bPlausiV2) {
      outputStale = false;
      if (texts.GetSize() > 0) {
        PlauCtrlV1 dialog;
        dialog.SetMessages(texts);
        dialog.DoModal();
      }
      ResetInputFingerprint();
    }
  }
  if (outputStale && !rtfDLLName.IsEmpty() && !rtfProcName.IsEmpty()) {
    CalcDLL output(rtfDLLName, rtfProcName);
    output.Call(doc, 1);
  }
  if (withOutput)
    SaveOutputFingerprint();
  else if (needCalc)
    ClearOutputFingerprint();
  ReadResults(doc);
  if (!withOutput && redraw) Draw2D(FALSE);
  DeleteChild(root, "rtfFiles");
  if (saveAlways) SaveAlways(doc);
  out = CCalcAndStoreResult{calculated, ok, noResult, cancelled};
}

void BaseData::SilentCalc() {
  varDefs.CheckImportedValues();
  DefineVariables();
  CCalcAndStoreResult result;
  CalcAndStore(result, TRUE, TRUE);
  int root = VIDUV_GetRootElement(doc);
  int input = VIDUV_FindFirstChild(root, "input");
  if (!input) return;
  // The definitions' values are written anew, not added a second time beside those the position already holds.
  int exports = PrepareExportsElement(root);
  varDefs.WriteExports(exports);
  if (GetSubData().HoldsText()) GetSubData().WriteXML(VIDUV_FindOrAddChild(input, "Skrib"), exports);
}
