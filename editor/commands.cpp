// The editor's document commands that build text: the load-transfer protocol, database values and input values.
#include <cstdio>

#include "editor/editordlg.h"
#include "formula/varstore.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/rtfx/rtfx.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/base/paths.h"

namespace {

CString Tr(const char* text) { return EditorText("SubDlg", text); }

// Text put into RTF as it stands, every character of it.
std::string Escaped(const CString& text) { return rtfx::LiteralText(text.GetString()); }

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + with.size()))
    text.replace(p, what.size(), with);
  return text;
}

}  // namespace

void SubDlg::LoadTransferProtocol() {
  CArray<CImportRecord> records;
  if (position) position->varDefs.GetImportData(records);
  if (records.GetSize() == 0) {
    ::MessageBox(m_hWnd, Tr("Es sind keine Lastübernahmen in der aktuellen Position vorhanden!"), "TQ-Skrib",
                 MB_OK | MB_ICONINFORMATION);
    return;
  }
  int hide = 0, command = 0;
  GetRegSettings().ReadInt("Skrib", "ltHide", &hide, 0);
  GetRegSettings().ReadInt("Skrib", "ltCmd", &command, 0);
  if (hide) text.InsertText("/*");
  std::vector<std::string> cells;
  for (INT_PTR i = 0; i < records.GetSize(); ++i) {
    const CImportRecord& r = records[i];
    std::string first = Escaped(Replaced(r.varPath.GetString(), "\\", " - ").c_str());
    if (command) {
      // In the RTF a doubled backslash reads as one, so the command names the path as it is.
      const std::string call = "$C_LT(\"" + Escaped(r.varPath) + "\",\"" + Escaped(r.varName) + "\")";
      first += hide ? call : "\\v " + call + "\\v0 ";
    }
    cells.push_back(first);
    cells.push_back("\\cf2 " + Escaped(r.varName));
    cells.push_back("==");
    cells.push_back("\\qr #.##");
    cells.push_back("\\qr [" + Escaped(r.unit) + "]\\cf0 ");
  }
  text.InsertTable(int(records.GetSize()), 5, {4422, 2268, 397, 1134, 850}, cells);
  if (hide) text.InsertText("*/");
}

void SubDlg::InsertDatabaseValues(const CString& title, const std::vector<DatabaseValue>& values) {
  const int k = int(values.size());
  if (k == 0) return;
  std::vector<std::string> cells;
  if (k >= 2) cells = {"\\b " + Escaped(title) + "\\b0", "", "", "", ""};
  for (const DatabaseValue& v : values) {
    cells.push_back(k == 1 ? Escaped(title) + " - " + Escaped(v.name) : Escaped(v.name));
    cells.push_back("\\cf2 " + Escaped(v.variable));
    cells.push_back("=");
    cells.push_back("\\qr " + Escaped(v.value));
    cells.push_back("\\qr [" + Escaped(v.unit) + "]\\cf0 ");
  }
  text.InsertTable(k >= 2 ? k + 1 : 1, 5, {4535, 1701, 397, 1134, 1304}, cells);
  text.SetFocus();
}

void SubDlg::ApplyInputValues(SubData& part) {
  if (part.inputValues.empty()) return;
  std::string rtf = part.text.Text();
  std::vector<SkribTextBlock> blocks;
  SplitText(rtf, blocks, text.formulaColour);
  for (SkribTextBlock& block : blocks) ClassifyBlock(block);
  CVariableStore temporary;
  CVariableStore& store = position ? position->variables : temporary;
  for (const SubDataValue& input : part.inputValues)
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      SkribTextBlock& block = blocks[i];
      if (block.type != 2 || block.resultPosition < 0 || block.name != input.varName.GetString()) continue;
      char shown[64];
      std::snprintf(shown, sizeof shown, "%.*f", block.decimals < 0 ? 2 : block.decimals, input.value);
      block.formula = block.result = shown;
      EvaluateBlock(blocks, int(i), part.GetSession(), store, 1, "");
    }
  JoinText(rtf, blocks);
  part.text.SetText(rtf);
}

void SubDlg::SaveBuildingBlock() {
  long start = 0, end = 0;
  if (!text.GetSel(start, end)) {
    ::MessageBox(m_hWnd, Tr("Bitte zunächst den gewünschten Bereich markieren!"), "TQ-Skrib",
                 MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The block is a position made from the template (the user's own, else the shipped one), holding the selection
  // as its document text; without a usable template nothing is written, and the engineer is told so.
  const CString templateFile = FindVorbelegungFile("Skrib", nullptr);
  if (templateFile.IsEmpty()) {
    CString message;
    message.Format(Tr("Die Vorlage '%s' fehlt. Der Baustein kann nicht gespeichert werden."),
                   GetVorbelegungFile("Skrib", nullptr).GetString());
    ::MessageBox(m_hWnd, message, "TQ-Skrib", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  CFileDialog dialog(FALSE, ".tqx", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, Tr("TQ-VERNIK Positionen|*.tqx||"),
                     this);
  if (dialog.DoModal() != IDOK) return;
  TransferData(TRUE);
  CRtfChunkList selection;
  text.StreamOut(selection, true);
  const int doc = VIDUV_OpenDoc(win::ToFsPath(templateFile.GetString()).c_str());
  const int input = doc ? VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input") : 0;
  const int skrib = input ? VIDUV_FindFirstChild(input, "Skrib") : 0;
  bool saved = false;
  if (skrib) {
    VIDUV_SetBinData(skrib, "rtfData", selection.GetSize(0), selection.GetBuffer(0), 0);
    saved = VIDUV_SaveDocAs(doc, win::ToFsPath(dialog.GetPathName().GetString()).c_str()) != 0;
  }
  if (doc) VIDUV_CloseDoc(doc);
  if (saved) return;
  CString message;
  message.Format(skrib ? Tr("Der Baustein kann nicht unter '%s' gespeichert werden.")
                       : Tr("Die Vorlage '%s' enthält keinen Dokumentteil. Der Baustein wird nicht gespeichert."),
                 skrib ? dialog.GetPathName().GetString() : templateFile.GetString());
  ::MessageBox(m_hWnd, message, "TQ-Skrib", MB_OK | MB_ICONEXCLAMATION);
}
