#include "framework/fileident.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/utilities.h"
#include "platform/viduv/viduv.h"

namespace {

// Only a regular file (or a link to one) is read: opening a FIFO would wait for a writer, a device may never end.
bool IsRegularFile(const char* path) {
  struct stat status {};
  return path && ::stat(win::ToFsPath(path).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The first `limit` bytes of a regular file; empty when it cannot be read or is no regular file.
std::string ReadFileStart(const char* path, std::size_t limit) {
  if (!path) return {};
  // not blocking on a FIFO put in the file's place after any earlier look; refused below
  const int file = ::open(win::ToFsPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) return {};
  struct stat status {};
  std::string bytes;
  if (::fstat(file, &status) == 0 && S_ISREG(status.st_mode)) {
    bytes.assign(limit, '\0');
    std::size_t count = 0;
    while (count < limit) {
      const ssize_t got = ::read(file, bytes.data() + count, limit - count);
      if (got <= 0) break;
      count += std::size_t(got);
    }
    bytes.resize(count);
  }
  ::close(file);
  // The head is text: it ends at its first zero byte.
  if (auto zero = bytes.find('\0'); zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

// Up to `count` characters from `start`; characters past the end of the text end the piece.
std::string Piece(const std::string& text, std::size_t start, std::size_t count) {
  return start >= text.size() ? std::string() : text.substr(start, count);
}
using viduv::ScopedDoc;

constexpr int kMissing = -999999;

int IntAt(int root, const char* path, const char* attribute) {
  return VIDUV_GetIntByPath(root, path, attribute, kMissing);
}

// --- Converter kinds ---------------------------------------------------------------------------------------

// The module name is replaced by a fixed code; the modular kinds first mark the file as modular.
class CFixedCodeConverter : public CFileConverter {
 public:
  CFixedCodeConverter(const char* code, bool modular) : m_code(code), m_modular(modular) {}
  void Convert(const char* path) override {
    ScopedDoc doc(path);
    if (!doc.Root()) return;
    if (m_modular) SetModularisieren(doc.Get());
    VIDUV_SetString(doc.Root(), "modulename", m_code);
    VIDUV_SaveDoc(doc.Get());
  }

 private:
  CString m_code;
  bool m_modular;
};

// Files of versions strictly between 1.0 and 2012.019 were made under the national code: "DIN" is appended.
class CVersionSuffixConverter : public CFileConverter {
 public:
  void Convert(const char* path) override {
    double v = std::atof(version);
    if (!(v > 1.0 && v < 2012.019)) return;
    ScopedDoc doc(path);
    if (!doc.Root()) return;
    CString module = VIDUV_GetString(doc.Root(), "modulename");
    VIDUV_SetString(doc.Root(), "modulename", module + "DIN");
    VIDUV_SaveDoc(doc.Get());
  }
};

// The module name chosen by an int of the input. A value that the table does not know leaves the file as it is:
// an empty module name would make the position unreadable.
class CIntSelectConverter : public CFileConverter {
 public:
  using Select = std::function<CString(int)>;
  CIntSelectConverter(const char* path, const char* attribute, Select select, const char* progname = "",
                      bool modular = false)
      : m_path(path), m_attribute(attribute), m_select(std::move(select)), m_progname(progname), m_modular(modular) {}
  void Convert(const char* path) override {
    ScopedDoc doc(path);
    if (!doc.Root()) return;
    CString code = m_select(IntAt(doc.Root(), m_path, m_attribute));
    if (code.IsEmpty()) return;
    if (m_modular) SetModularisieren(doc.Get());
    if (!m_progname.IsEmpty()) VIDUV_SetString(doc.Root(), "progname", m_progname);
    VIDUV_SetString(doc.Root(), "modulename", code);
    VIDUV_SaveDoc(doc.Get());
  }

 private:
  CString m_path;
  CString m_attribute;
  Select m_select;
  CString m_progname;
  bool m_modular;
};

CIntSelectConverter::Select Table(std::vector<std::pair<int, const char*>> rows) {
  return [rows = std::move(rows)](int value) {
    for (const auto& [key, code] : rows)
      if (key == value) return CString(code);
    return CString();
  };
}

// Roof positions move to the older roof program under norm 5, the roof type choosing the module. The guarded kind
// does so only where that program's dialog library is installed and the norm is not one it cannot take.
class CRoofConverter : public CFileConverter {
 public:
  CRoofConverter(bool guarded, const char* const* codes) : m_guarded(guarded), m_codes(codes) {}
  void Convert(const char* path) override {
    ScopedDoc doc(path);
    if (!doc.Root()) return;
    int root = doc.Root();
    if (m_guarded) {
      CString library = GetInstallRoot() + "\\prog\\" + fileident::kOldRoofDialogLibrary;
      int norm = IntAt(root, "info", "norm");
      if (!CDirList::FileExists(library) || norm == 3 || norm == 4 || norm == 5 || norm == 32) return;
    }
    static constexpr int kCodeOfType[7] = {1, 2, 3, 4, 4, 5, 6};
    int type = IntAt(root, "input\\steu", "dachtyp");
    if (type < 0 || type > 6) return;
    VIDUV_SetString(root, "progname", fileident::kOldRoofProgram);
    VIDUV_SetIntByPath(root, "info", "norm", 5);
    VIDUV_SetString(root, "modulename", m_codes[kCodeOfType[type] - 1]);
    VIDUV_SaveDoc(doc.Get());
  }

 private:
  bool m_guarded;
  const char* const* m_codes;  // six codes
};

// A position with a bracket or a beam becomes that module; one with both is split into two positions.
class CBracketBeamConverter : public CFileConverter {
 public:
  CBracketBeamConverter(const char* bracketCode, const char* beamCode) : m_bracket(bracketCode), m_beam(beamCode) {}
  void Convert(const char* path) override {
    ScopedDoc doc(path);
    if (!doc.Root()) return;
    int root = doc.Root();
    // A missing flag counts as set.
    bool bracket = IntAt(root, "input\\geom", "mitkonsole") != 0;
    bool beam = IntAt(root, "input\\geom", "mitbalken") != 0;
    if (bracket && beam) {
      Split(doc.Get(), path);
      return;
    }
    if (bracket) VIDUV_SetString(root, "modulename", m_bracket);
    if (beam) VIDUV_SetString(root, "modulename", m_beam);
    VIDUV_SaveDoc(doc.Get());
  }

 private:
  // The source goes only when both new files are saved; a failed split leaves the source and no half of it.
  void Split(int document, const char* path) {
    CString source = path;
    if (source.GetLength() < 4 || source.Right(4).CompareNoCase(".tqx") != 0) return;
    CString stem = source.Left(source.GetLength() - 4);
    CString bracketPath = stem + " (konsole).tqx";
    CString beamPath = stem + " (balken).tqx";
    int root = VIDUV_GetRootElement(document);
    VIDUV_SetString(root, "modulename", m_bracket);
    if (!VIDUV_SaveDocAs(document, bracketPath)) return;
    VIDUV_SetString(root, "modulename", m_beam);
    if (!VIDUV_SaveDocAs(document, beamPath)) {
      std::remove(win::ToFsPath(bracketPath.str()).c_str());
      return;
    }
    std::remove(win::ToFsPath(source.str()).c_str());
  }

  CString m_bracket;
  CString m_beam;
};

// The two-letter module codes of a retired program map to two-character codes of its successor.
class CMappedModularConverter : public CFileConverter {
 public:
  void Convert(const char* path) override {
    static constexpr std::pair<const char*, const char*> kMap[7] = {
        {"za", "Z1"}, {"zb", "Z2"}, {"zc", "Z3"}, {"zd", "Z4"}, {"ze", "Z5"}, {"zf", "Z6"}, {"zg", "Z7"}};
    ScopedDoc doc(path);
    if (!doc.Root()) return;
    CString module = VIDUV_GetString(doc.Root(), "modulename");
    for (const auto& [from, to] : kMap) {
      if (module != from) continue;
      SetModularisieren(doc.Get());
      VIDUV_SetString(doc.Root(), "modulename", to);
      VIDUV_SaveDoc(doc.Get());
      return;
    }
  }
};

constexpr const char* kRoofCodes[6] = {"sparrendach", "pfettendach", "kehlbalkendach",
                                       "walmdach",    "pultdach",    "flachdach"};
constexpr const char* kRoofModules[7] = {"m1", "m2", "m3", "m4", "m5", "m6", "m7"};

// The older format's program codes (the last four characters of the name in the first line).
constexpr std::pair<const char*, const char*> kOldFormatPrograms[7] = {
    {"PLAT", "Platte"}, {"WAND", "Wandscheibe"}, {"TRAG", "Durchlauftraeger"},
    {"RAHM", "Rahmen"}, {"FUND", "Fundament"},   {"STUE", "Stuetze"},
    {"DECK", "Decke"}};
// A program whose first line carries only its code.
constexpr const char* kOldFormatCodeOnly = "HOLZ";
constexpr const char* kOldFormatCodeOnlyName = "Holzbalken";

}  // namespace

int ReadPositionHead(const char* path, CString& progname, CString& modulename, CString* version) {
  std::string head = ReadFileStart(path, 127);
  if (head.empty()) return 1;
  progname = GetHeadAttribute(head.c_str(), "progname");
  modulename = GetHeadAttribute(head.c_str(), "modulename");
  if (version) {
    auto root = head.find("root");
    *version = root == std::string::npos ? CString() : GetHeadAttribute(head.c_str() + root, "version");
  }
  return 1;
}

CString GetHeadAttribute(const char* text, const char* name) {
  if (!text || !name || !*name) return CString();
  std::string head = text;
  auto at = head.find(name);
  if (at == std::string::npos) return CString();
  std::size_t start = at + std::char_traits<char>::length(name) + 2;
  if (start >= head.size()) return CString();
  auto end = head.find('"', start);
  return CString(head.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

CString GetOldFormatProgramName(const char* path) {
  std::string text = ReadFileStart(path, 88);
  if (auto lineEnd = text.find_first_of("\r\n"); lineEnd != std::string::npos) text.resize(lineEnd);
  std::string name;
  if (auto apostrophe = text.find('\''); apostrophe != std::string::npos) {
    name = Piece(text, apostrophe + 1, 7);
  } else if (auto dash = text.find('-'); dash != std::string::npos) {
    name = Piece(text, dash >= 2 ? dash - 2 : 0, 7);
  } else if (text.find(kOldFormatCodeOnly) != std::string::npos) {
    name = kOldFormatCodeOnlyName;
  }
  if (name.size() >= 4) {
    CString code = CString(name.substr(name.size() - 4));
    for (const auto& [program, display] : kOldFormatPrograms)
      if (code.CompareNoCase(program) == 0) return CString(display);
  }
  return CString(name);
}

int ReadZipModuleType(const char* path) {
  if (!IsRegularFile(path)) return 0;
  unzFile zip = unzOpen(win::ToFsPath(path).c_str());
  if (!zip) return 0;
  int result = 0;
  unz_global_info global{};
  bool found = false;
  if (unzGetGlobalInfo(zip, &global) == UNZ_OK && global.number_entry > 0 && unzGoToFirstFile(zip) == UNZ_OK) {
    while (true) {
      // One byte is kept for the end of the name: a longer name is cut, never left unterminated.
      char name[512] = {};
      unz_file_info info{};
      if (unzGetCurrentFileInfo(zip, &info, name, sizeof(name) - 1, nullptr, 0, nullptr, 0) != UNZ_OK) break;
      if (std::char_traits<char>::length(name) >= 10 && std::string(name, 4) == "Vemo") {
        found = true;
        break;
      }
      if (unzGoToNextFile(zip) != UNZ_OK) break;
    }
  }
  if (found && unzOpenCurrentFile(zip) == UNZ_OK) {
    std::string text(8192, '\0');
    int count = unzReadCurrentFile(zip, text.data(), unsigned(text.size()));
    if (count > 0) {
      text.resize(std::size_t(count));
      if (auto word = text.find("ModuleType"); word != std::string::npos) {
        std::string digits = Piece(text, word + 12, 3);
        if (std::sscanf(digits.c_str(), "%d", &result) != 1) result = 0;
      }
    }
    unzCloseCurrentFile(zip);
  }
  unzClose(zip);
  return result;
}

void SetModularisieren(int document) {
  int root = VIDUV_GetRootElement(document);
  if (!root) return;
  int info = VIDUV_FindOrAddChild(root, "info");
  VIDUV_SetInt(info, "bModularisieren", 1);
}

CFileConverterRegistry::CFileConverterRegistry() {
  auto add = [this](const char* key, std::unique_ptr<CFileConverter> converter) {
    m_converters[CString(key)] = std::move(converter);
  };
  auto fixed = [](const char* code, bool modular = false) {
    return std::make_unique<CFixedCodeConverter>(code, modular);
  };
  add("PLATTEalt", fixed("einachsig"));
  add("PLATTEzweiachsig_alt", fixed("zweiachsig"));
  add("WANDmauerwerk", std::make_unique<CVersionSuffixConverter>());
  add("WANDbeton", std::make_unique<CVersionSuffixConverter>());
  add("SAEULEstandard",
      std::make_unique<CIntSelectConverter>("input\\geom", "form",
                                            Table({{0, "rechteck"}, {1, "kreis"}, {2, "ring"}, {3, "polygon"}})));
  add("BALKENeinfeld", fixed("durchlauf"));
  add("BALKENkragarm", fixed("kragarm2"));
  add("RAHMENalt",
      std::make_unique<CIntSelectConverter>("input\\steu", "system",
                                            Table({{0, "eben"}, {1, "raeumlich"}, {2, "traegerrost"}}), "TRAGWERK"));
  add("STURZstandard",
      std::make_unique<CIntSelectConverter>(
          "input\\steu", "berart",
          Table({{0, "ortbeton"}, {1, "ortbeton"}, {2, "ortbeton"}, {3, "fertigteil"}, {4, "ortbeton"}})));
  add("ANKERstandard", fixed("anker2"));
  for (const char* module : kRoofModules) {
    add(CString("DACHNEU") + module, std::make_unique<CRoofConverter>(true, kRoofCodes));
    add(CString("DACHPLUS") + module, std::make_unique<CRoofConverter>(false, kRoofCodes));
  }
  add("KONSOLEkombi", std::make_unique<CBracketBeamConverter>("konsole", "balken"));
  add("NACHWEISstandard",
      std::make_unique<CIntSelectConverter>("input\\nago", "vereinfacht", Table({{0, "genau"}, {1, "vereinfacht"}})));
  add("MAUERalt", std::make_unique<CFileConverter>());
  add("MAUERneu", std::make_unique<CFileConverter>());
  add("HOLZbalken", fixed("biegetraeger", true));
  add("HOLZstuetze", fixed("druckstab", true));
  add("STAHLtraeger", fixed("walzprofil", true));
  add("STAHLstuetze", fixed("knickstab", true));
  add("FUNDeinzel", fixed("einzel2", true));
  add("FUNDstreifen", fixed("streifen2", true));
  add("FUNDkoecher", fixed("koecher2", true));
  add("FUNDplatte", fixed("platte2", true));
  add("VERBUNDtraeger",
      std::make_unique<CIntSelectConverter>(
          "input\\system", "Querschnitt", [](int v) { return CString(v < 2 ? "offen" : "geschlossen"); }, "", true));
  add("SCHEIBEstandard",
      std::make_unique<CIntSelectConverter>(
          "input\\system", "Typ", [](int v) { return CString(v == 0 ? "wand" : "decke"); }, "", true));
  add("LASTstandard", fixed("lastannahme", true));
  add("BEMESSalt", fixed("QUER", true));
  for (const char* module : {"za", "zb", "zc", "zd", "ze", "zf", "zg"})
    add(CString("ZUGGLIED") + module, std::make_unique<CMappedModularConverter>());
}

bool CFileConverterRegistry::ConvertIfKnown(const char* path, const char* progname, const char* modulename,
                                            const char* version) {
  CString key;
  key.Format("%s%s", progname ? progname : "", modulename ? modulename : "");
  auto it = m_converters.find(key);
  if (it == m_converters.end()) return false;
  it->second->version = version ? version : "";
  it->second->Convert(path);
  return true;
}

CFileConverterRegistry& GetFileConverterRegistry() {
  static CFileConverterRegistry registry;
  return registry;
}
