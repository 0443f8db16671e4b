// The variable definitions as a block of RTF: for the report, and as the text of the document part.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formula/vardef.h"
#include "platform/rtfx/rtfx.h"
#include "platform/win/base/paths.h"

namespace {

// The engineer's own texts go into RTF lines that carry control words: braces and backslashes in them must stay
// text, or the block stops being valid RTF.
CString RtfLiteral(const CString& text) { return rtfx::LiteralText(text.GetString()).c_str(); }

// Decimals as printf takes them; a damaged file must not ask for thousands of digits.
int Decimals(int digits) { return digits < 0 ? 0 : (digits > 15 ? 15 : digits); }

// The text a calculation line shows for a formula number: its expression, or the plain number's last formatted
// text. A number never formatted shows as "%lg", so that a line read from a file is not left without it.
CString FormulaText(CFormulaNumber& number) {
  if (number.m_bNumber && number.m_strText.IsEmpty()) return number.GetText();
  return number.m_strText;
}

enum class Layout { kNone, kValue, kImport };

class BlockWriter {
 public:
  explicit BlockWriter(bool documentPart) : documentPart_(documentPart) {}

  void Open(Layout layout) {
    if (open_ == layout) return;
    Close();
    static const double kValueWidths[2] = {6.0, 10.0};
    static const double kImportWidths[2] = {10.0, 6.0};
    RTFX_BeginTable(2, layout == Layout::kValue ? kValueWidths : kImportWidths);
    RTFX_HeaderRow(0);
    open_ = layout;
  }
  void Close() {
    if (open_ == Layout::kNone) return;
    RTFX_EndTable();
    open_ = Layout::kNone;
  }
  // Description line and value line of one value; the document part gives each value a layout of its own.
  void Value(Layout layout, CString description, const CVarDefEntry& entry, const CString& valueLine) {
    Open(layout);
    CString line = "\\ql " + description;
    CVarDefList::FormatEntryText(line, entry.format, entry.textHeight);
    RTFX_Text(line);
    RTFX_Text(valueLine);
    if (documentPart_) Close();
  }
  bool DocumentPart() const { return documentPart_; }

 private:
  bool documentPart_;
  Layout open_ = Layout::kNone;
};

// Hands a picture's bytes to the writer through a scratch file of the picture's extension. The file gets a name of
// its own in the temporary folder: a fixed name in the current folder would overwrite (and then delete) a file of
// the engineer's that happens to carry it, and two writers would share it. The reason when the picture could not
// be taken, else empty.
std::string InsertPicture(const CVarDefPictureBase& picture, const CString& name, const CString& extension) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return "kein Ordner für temporäre Dateien (" + error.message() + ")";
  std::string path = (folder / ("tempXXXXXX" + extension.str())).string();
  int fd = ::mkstemps(path.data(), extension.GetLength());
  if (fd < 0) return std::string("temporäre Datei nicht angelegt (") + std::strerror(errno) + ")";
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) {
    ::close(fd);
    std::remove(path.c_str());
    return "temporäre Datei nicht geöffnet";
  }
  bool written = std::fwrite(picture.GetFileBuffer(), 1, picture.GetBufferSize(), file) == picture.GetBufferSize();
  written = std::fclose(file) == 0 && written;
  std::string why = written ? rtfx::Picture(path.c_str(), name.GetString(), picture.dWidth, picture.dHeight)
                            : std::string("temporäre Datei nicht geschrieben");
  std::remove(path.c_str());
  return why;
}

// The extension of a picture's file name, from its last '.' ("" without one).
CString ExtensionOf(const CString& fileName) {
  int dot = fileName.ReverseFind('.');
  int separator = std::max(fileName.ReverseFind('\\'), fileName.ReverseFind('/'));
  return dot > separator ? fileName.Mid(dot) : CString();
}

}  // namespace

void CVarDefList::FormatEntryText(CString& text, int format, int textHeight) {
  static const struct {
    int bit;
    const char* prefix;
  } kPrefixes[] = {{1, "\\b "}, {2, "\\i "}, {4, "\\ul "}, {8, "\\qc "}, {16, "\\qr "}, {32, "\\qj "}};
  for (const auto& p : kPrefixes)
    if (format & p.bit) text = p.prefix + text;
  if (textHeight != 0) {
    CString sized;
    sized.Format("\\fs%ld %s", long(2 * textHeight), text.GetString());
    text = sized;
  }
}

void CVarDefList::WriteRtf(const char* path, int variant, std::vector<std::string>* failures) {
  const bool documentPart = variant != 0;
  if (!documentPart && !bReport) return;
  RTFX_BeginBlock(path, 0, 1, 0, "nologo");
  BlockWriter block(documentPart);
  // The value's colour and the blanks before the unit differ between the variants.
  const char* valueStart = documentPart ? "\\ql\\cf2 " : "\\ql ";
  const char* unitGap = documentPart ? "\\cf1  " : " ";
  // The report prints a definition that failed with why, never with the number that stands in for it. The
  // document part keeps its formulas: its text defines the names again.
  UpdateVariables();
  CString line;
  auto failed = [&](const CString& failure) {
    if (documentPart || failure.IsEmpty()) return false;
    line.Format("%s%s", valueStart, RtfLiteral(failure).GetString());
    return true;
  };

  for (int i = 0; i < GetSize(); ++i) {
    CVarDefEntry* entry = GetAt(i);
    if (!entry) continue;
    const int digits = Decimals(entry->digits);
    line.Empty();
    switch (entry->type) {
      case CVarDefEntry::kVariable: {
        auto& variable = static_cast<CVarDefVariable&>(*entry);
        double value = variable.value.GetValue();
        const bool plain = variable.value.m_bNumber;
        if (!failed(variable.failure))
          line.Format(plain ? "%s%s = %.0s%.*lf%s%s" : "%s%s = %s = %.*lf%s%s", valueStart,
                      RtfLiteral(variable.varName).GetString(), RtfLiteral(variable.value.m_strText).GetString(),
                      digits, value, unitGap, RtfLiteral(variable.unit).GetString());
        block.Value(Layout::kValue, RtfLiteral(variable.desc), *entry, line);
        break;
      }
      case CVarDefEntry::kBerechnung: {
        auto& calculation = static_cast<CVarDefBerechnung&>(*entry);
        double value = calculation.value.GetValue();
        line.Format("%s%s = %.*lf%s%s", valueStart, RtfLiteral(FormulaText(calculation.value)).GetString(), digits,
                    value, unitGap, RtfLiteral(calculation.unit).GetString());
        block.Value(Layout::kValue, RtfLiteral(calculation.desc), *entry, line);
        break;
      }
      case CVarDefEntry::kSummeTabelle: {
        auto& sum = static_cast<CVarDefSummeTabelle&>(*entry);
        if (!failed(sum.failure))
          line.Format("%s%s = %.*lf%s%s", valueStart, RtfLiteral(sum.varName).GetString(), digits, sum.sum, unitGap,
                      RtfLiteral(sum.unit).GetString());
        block.Value(Layout::kValue, RtfLiteral(sum.desc), *entry, line);
        break;
      }
      case CVarDefEntry::kWertUebernahme: {
        const CImportRecord& record = static_cast<CVarDefWertUebernahme&>(*entry).GetImport();
        CString description = record.varPath;
        description.Replace("\\", " - ");
        description = RtfLiteral(description);
        if (!failed(TakenOverFailure(record)))
          line.Format("%s%s %s %.*lf%s%s", valueStart, RtfLiteral(record.varName).GetString(),
                      documentPart ? "==" : "=", digits, record.value, unitGap, RtfLiteral(record.unit).GetString());
        block.Value(Layout::kImport, description, *entry, line);
        break;
      }
      case CVarDefEntry::kUeberschrift:
      case CVarDefEntry::kFreierText: {
        block.Close();
        const bool heading = entry->type == CVarDefEntry::kUeberschrift;
        CString text = RtfLiteral(heading ? static_cast<CVarDefUeberschrift&>(*entry).title
                                          : static_cast<CVarDefFreierText&>(*entry).text);
        FormatEntryText(text, entry->format, entry->textHeight);
        RTFX_Paragraph(heading ? -2 : 0, text);
        break;
      }
      case CVarDefEntry::kAbbildung:
      case CVarDefEntry::kKritzl: {
        if (documentPart) break;
        auto& picture = static_cast<CVarDefPictureBase&>(*entry);
        if (picture.GetBufferSize() == 0) break;
        block.Close();
        // a sketch is always a metafile; a picture is known by its file's name
        const bool sketch = entry->type == CVarDefEntry::kKritzl;
        const CString name = sketch ? CString("Kritzl") : static_cast<CVarDefAbbildung&>(*entry).fileName;
        const std::string why = InsertPicture(picture, name, sketch ? CString(".emf") : ExtensionOf(name));
        if (!why.empty() && failures) failures->push_back(std::string(name.GetString()) + ": " + why);
        break;
      }
      default: break;
    }
  }

  if (!documentPart) {
    block.Close();
    RTFX_EndTable();
    if (bPageBreak) RTFX_InsertRtf("{\\page}");
  }
  RTFX_EndDocument(0);
}

std::string VariablesScratchFile(const CString& positionFile, win::ScratchFolder& scratch, const std::string& name) {
  static constexpr const char* kPrefix = ".kolumo-variablen-";
  std::string folder = win::ToFsPath(positionFile.str());
  const std::size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash == 0 ? 1 : slash);
  std::string error;
  if (!scratch.Make(folder, kPrefix, error)) return {};
  return scratch.Path(name);
}

void CVarDefList::CreateSkribText(CSkribTarget& documentPart) {
  win::ScratchFolder scratch;
  const std::string fsPath = VariablesScratchFile(documentPart.GetPositionFileName(), scratch, "Variablen.rtf");
  if (fsPath.empty()) return;
  WriteRtf(fsPath.c_str(), 1);
  std::ifstream file(fsPath, std::ios::binary);
  if (!file) return;
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  CString rtf(std::move(text));
  rtf.Replace("\\red0\\green0\\blue255", "\\red7\\green13\\blue255");
  documentPart.TakeGeneratedText(rtf);
}
