// The report driver: file names, title block, the variables' RTF and the
// chapters in their order.
#include "report/rtfausgabe.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "column/eingabepruefung.h"
#include "column/kolumodata.h"
#include "platform/richedit/richdoc.h"
#include "platform/rtfx/rtfx.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/base/leftovers.h"
#include "platform/win/base/paths.h"
#include "platform/win/base/replace.h"
#include "report/bilder.h"
#include "report/rtfhilfe.h"

using namespace report;

namespace report {

namespace {

bool EndetMitTqx(const std::string& path) {
  return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".tqx") == 0;
}

// Removes a file when it goes out of scope, on every path.
class TempDatei {
 public:
  explicit TempDatei(std::string path) : m_path(std::move(path)) {}
  ~TempDatei() { std::remove(m_path.c_str()); }
  TempDatei(const TempDatei&) = delete;
  TempDatei& operator=(const TempDatei&) = delete;
  const std::string& Pfad() const { return m_path; }

 private:
  std::string m_path;
};

// The folder of a report's own files beside the report (".kolumo-bericht-<pid>-XXXXXX").
constexpr const char* kEigenerOrdner = ".kolumo-bericht-";

// The file whole, in one read where its size is known (a report's read-back reads megabytes; character by character
// that was a noticeable part of it).
std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string text;
  if (const std::streamoff size = in.tellg(); size > 0) {
    text.resize(std::size_t(size));
    in.seekg(0);
    in.read(text.data(), size);
    text.resize(std::size_t(in.gcount()));
    // a file that grew meanwhile: the rest as it comes
    if (in) text.append(std::istreambuf_iterator<char>(in), {});
    return text;
  }
  in.seekg(0);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A document that ends without a paragraph mark (as a typed one often does) would run on into the report's first
// heading: its last paragraph is closed inside its own group, with its own paragraph format. Empty, or why the block
// could not be rewritten.
std::string CloseLastParagraph(const std::string& path) {
  std::string rtf = FileText(path);
  richdoc::Document read;
  try {
    read.ReadRtf(rtf);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    return {};  // the report's reading back says what is wrong with it
  }
  const std::string& text = read.text;
  if (text.size() < 2 || text[text.size() - 2] == richdoc::kPara || text[text.size() - 2] == richdoc::kRow) return {};
  const std::size_t last = rtf.rfind('}');
  if (last == std::string::npos) return {};
  rtf.insert(last, "\\par ");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out << rtf && out.flush()) return {};
  return path + ": " + std::strerror(errno);
}

// Why the report file cannot be read as a report; empty when it reads.
std::string WhyUnreadable(const std::string& path) {
  try {
    richdoc::Document().ReadRtf(FileText(path));
  } catch (const std::bad_alloc&) {
    throw;  // a shortage is no fault of the file
  } catch (const std::exception& error) {
    return error.what();
  }
  return {};
}

}  // namespace

std::string ReportFileName(const std::string& positionFile) {
  if (EndetMitTqx(positionFile)) return positionFile.substr(0, positionFile.size() - 4) + ".rtf";
  return positionFile + ".rtf";
}

void RtfKolumo(int document, int bOutput) {
  auto data = std::make_unique<CKolumoData>();
  // the document's macros of reading and reporting share one time budget
  const auto evaluation = data->GetSubData().OpenEvaluation();
  data->SetDefaults();
  data->doc = document;
  data->ReadData(document);
  if (bOutput == 0) return;
  // A value given by a name the position defines nowhere has no value to print: refused as the calculation refuses
  // it, and the previous report stays.
  if (const std::vector<std::string> namen = UndefinierteNamen(*data, document); !namen.empty()) {
    std::string liste;
    for (const std::string& name : namen) liste += "\n- " + name;
    CString text;
    text.Format(Tr("Der Bericht wurde nicht geschrieben:%s"), liste.c_str());
    AfxMessageBox(text, MB_OK | MB_ICONERROR);
    return;
  }
  // A position reported outside the input dialog's calculate-and-store has no stored block of its variables or
  // its document yet: the report makes it as that road does, and leaves the position as it was.
  const int rtfFiles = VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "rtfFiles");
  const bool stored = rtfFiles && VIDUV_GetBinDataLength(rtfFiles, "vardef") > 0;
  if (!stored) {
    data->StoreVardefRtf();
    // the document's evaluation leaves only its own variables defined; the report's input echo needs them all
    data->DefineVariables();
  }
  auto ausgabe = std::make_unique<CRtf_Ausgabe>();
  ausgabe->m_pData = data.get();
  ausgabe->Ausgabe(document);
  if (!stored) {
    const int files = VIDUV_FindFirstChild(VIDUV_GetRootElement(document), "rtfFiles");
    VIDUV_DeleteAttr(files, "vardef");
    if (!rtfFiles && files && !VIDUV_GetFirstAttrHandle(files) && !VIDUV_GetFirstChild(files))
      VIDUV_DeleteElement(files);
  }
}

}  // namespace report

bool CRtf_Ausgabe::StufeVorhanden(int stage) const {
  return stage >= 0 && stage < CKolumoData::kStages && m_pData->lastUeberlagerungBZ[stage].lastfaelle.GetSize() > 0;
}

bool CRtf_Ausgabe::HatErgebnisse() const {
  const CResultContainer& e = m_pData->ergebnisse;
  return !e.Schnittgroessen.empty() || !e.Bruchschnittgroessen.empty() || !e.Brandschnittgroessen.empty() ||
         !e.Dehnschnittgroessen.empty() || !e.Lagerkraefte.empty() || !e.Verformung.empty() || !e.Schub.empty() ||
         !e.Rissnachweis.empty() || !e.Fundkraefte.empty() || !e.ErfAs.empty();
}

std::string CRtf_Ausgabe::BildPfad(const std::string& name) const { return m_bildOrdner + m_bildStamm + name; }

std::string CRtf_Ausgabe::EigenesBild(const std::string& name) const {
  // without the folder the picture fails where it is read, and the report says why
  return m_eigene.Made() ? m_eigene.Path(name) : m_bildOrdner + kEigenerOrdner + "/" + name;
}

// A report left unfinished (an error thrown) is not written either: its own folder goes with what it holds.
CRtf_Ausgabe::~CRtf_Ausgabe() = default;

void CRtf_Ausgabe::Abschluss() {
  const std::string eigener = EigenesBild("Bericht.rtf");
  std::string grund = m_bildFehler;
  // taken before the writing, which ends the document
  const std::vector<std::string> fehlend = rtfx::PicturesLeftOut();
  // A folder standing where a picture or the report goes would stop the swap half done; a file marked read-only
  // there is kept, and the report with it is not written.
  std::vector<std::string> namen{m_bericht};
  for (const auto& bild : m_bilder) namen.push_back(bild.second);
  for (const std::string& name : namen) {
    struct stat status {};
    if (grund.empty() && ::stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
      grund = name + ": " + std::strerror(EISDIR);
    if (grund.empty() && win::MarkedReadOnly(name))
      grund = name + ": " + Tr("die Datei ist schreibgeschützt; sie bleibt, wie sie ist").str();
  }
  if (grund.empty()) {
    RTFX_SetOutputFile(eigener.c_str());
    if (!RTFX_EndDocument(0)) {
      grund = RTFX_GetLastError();
      // the engineer knows the report by its name
      win::ReplaceAll(grund, eigener, m_bericht);
    }
  }
  // A picture the report asked for and could not take would be missing from a report that reads whole. Where the
  // writing failed too, its reason comes first: it is mostly the pictures' too (a full disk, a limit on file sizes).
  if (grund.empty()) {
    for (std::string fehlt : fehlend) {
      // the engineer knows a picture by the name it takes beside the report
      for (const auto& [eigenes, name] : m_bilder) win::ReplaceAll(fehlt, eigenes, name);
      grund += (grund.empty() ? "" : "\n") + fehlt;
    }
  }
  // A report that does not read is no report: it never takes the previous one's place.
  if (const std::string lesen = grund.empty() ? WhyUnreadable(eigener) : std::string(); !lesen.empty())
    grund = m_bericht + ": " + Tr("Der Bericht ist kein lesbarer RTF-Text").str() + " (" + lesen + ")";
  for (const auto& [eigenes, name] : m_bilder) {
    // a picture that was not drawn was left out where it was to be read, and that refused the report
    if (!grund.empty() || std::rename(eigenes.c_str(), name.c_str()) == 0 || errno == ENOENT) continue;
    grund = name + ": " + std::strerror(errno);
  }
  if (grund.empty() && std::rename(eigener.c_str(), m_bericht.c_str()) != 0)
    grund = m_bericht + ": " + std::strerror(errno);
  if (grund.empty()) {
    m_bilder.clear();
    return;
  }
  // Its own files belong to no report: left there, they would keep a full disk full.
  m_bilder.clear();
  m_eigene.Remove();
  CString text;
  text.Format(Tr("Der Bericht wurde nicht geschrieben:\n%s"), grund.c_str());
  AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

void CRtf_Ausgabe::BildAblegen(const std::string& eigenes, const std::string& name) {
  m_bilder.emplace_back(eigenes, BildPfad(name));
}

void CRtf_Ausgabe::Ausgabe(int document) {
  if (!m_pData) return;
  CKolumoData& d = *m_pData;

  RTFX_NewDocument();
  const char* complete = VIDUV_GetCompleteFileName(document);
  const std::string position = win::ToFsPath(complete ? complete : "");
  // A document without a file has no place for its report.
  if (position.empty()) return;
  const std::string reportFile = ReportFileName(position);
  const std::size_t slash = reportFile.rfind('/');
  m_bildOrdner = slash == std::string::npos ? std::string() : reportFile.substr(0, slash + 1);
  // The pictures carry the position's name without its extension letters, the
  // dot kept ("Stuetze.").
  m_bildStamm = reportFile.substr(m_bildOrdner.size(), reportFile.size() - m_bildOrdner.size() - 3);
  m_bericht = reportFile;
  std::string grund;
  if (!m_eigene.Make(m_bildOrdner, kEigenerOrdner, grund)) m_bildFehler = m_bericht + ": " + grund;

  const int root = VIDUV_GetRootElement(document);
  const std::string name = std::string("TQ-") + VIDUV_GetString(root, "progname");
  const CString titel = Tr("Stahlbetonstütze Theorie II.Ordnung, veränderl. Querschn.");
  CString version;
  version.Format("V %.2lf", VIDUV_GetDouble(root, "version"));
  RTFX_SetOutputFile(reportFile.c_str());

  int ersteSeite = 1;
  std::string kopf = "Name=" + name + '\0' + "Titel=" + titel.str() + '\0' + "Version=" + version.str() + '\0';
  const int input = VIDUV_FindFirstChild(root, "input");
  if (input && !VIDUV_FindNextChild(input, "input")) {
    ersteSeite = VIDUV_GetInt(input, "nPage");
    kopf += std::string("@T=") + VIDUV_GetString(input, "freeText") + '\0';
  }
  // The page header names the position as its file is named, with the description the engineer gave it.
  std::string stamm = complete;
  if (const std::size_t ende = stamm.find_last_of("/\\"); ende != std::string::npos) stamm.erase(0, ende + 1);
  if (const std::size_t punkt = stamm.rfind('.'); punkt != std::string::npos && punkt > 0) stamm.erase(punkt);
  kopf += "Position=" + stamm + '\0';
  if (input) kopf += std::string("Bezeichnung=") + VIDUV_GetString(input, "posDesc") + '\0';
  kopf += '\0';
  RTFX_BeginDocument("", 0, 0, ersteSeite, kopf.c_str());

  const int rtfFiles = VIDUV_FindFirstChild(root, "rtfFiles");
  if (rtfFiles && VIDUV_GetBinDataLength(rtfFiles, "vardef") > 0) {
    // in the report's own folder: two reports of the position written at once never share it
    TempDatei variablen(EigenesBild("Variablen.rtf"));
    if (VIDUV_LoadFileFromAttr(rtfFiles, "vardef", variablen.Pfad().c_str())) {
      // a block cut short by a full disk would pass for a whole one
      if (const std::string grund = CloseLastParagraph(variablen.Pfad()); !grund.empty() && m_bildFehler.empty())
        m_bildFehler = grund;
      RTFX_InsertRtfFile(variablen.Pfad().c_str(), "", 10, 0);
    }
  }

  {
    Bild3D bild;
    if (d.graf_System || d.num_System) {
      Bemerkung(d.anmerkungen.GetSize() > 1 ? d.anmerkungen[1] : CString());
      Bemerkung(d.anmerkungen.GetSize() > 2 ? d.anmerkungen[2] : CString());
      Absatz(kKapitel, Tr(d.Fertigteil ? "Eingabedaten Fertigteilstütze" : "Eingabedaten Ortbetonstütze"));
    }
    if (d.graf_System) {
      Absatz(kAbschnitt, Tr("Systemdarstellung"));
      SystemBilder(bild.Control());
    }
    bild.Zerstoere();
  }

  if (d.num_System) {
    Geometrie();
    Lager();
    Querschnitte();
    Materialien();
    Belastung();
    Lastkollektive();
    Vorverformungen();
    Kriechen();
  }

  const int numErgebnisse[] = {d.num_Regel_Lager,     d.num_Regel_Verform,  d.num_Regel_Schnitt,  d.num_Kriech_Lager,
                               d.num_Kriech_Verform,  d.num_Kriech_Schnitt, d.num_KNSW_Eigen,     d.num_KNSW_Lager,
                               d.num_KNSW_Verform,    d.num_KNSW_Schnitt,   d.num_KNSW_Bruch,     d.num_KNSW_Dehn,
                               d.num_KNSW_Schub,      d.num_Riss,           d.num_Brand,          d.num_Fundament,
                               d.num_FundLastw,       d.num_ErfAs,          d.graf_Regel_Schnitt, d.graf_KNSW_Schnitt,
                               d.graf_Kriech_Schnitt, d.graf_ErfAs};
  bool ergebnisKapitel = false;
  for (int schalter : numErgebnisse) ergebnisKapitel = ergebnisKapitel || schalter != 0;
  MassgebendeFaelle();
  const bool ergebnisse = HatErgebnisse();
  if (ergebnisKapitel) {
    Bemerkung(d.anmerkungen.GetSize() > 5 ? d.anmerkungen[5] : CString());
    Absatz(kKapitel, Tr("Ergebnisdaten"));
    KonstruktiveRegeln();
    // A position that was not calculated still reports its input; it says why
    // the results are missing.
    if (!ergebnisse)
      Absatz(kText, Tr("Keine Ergebnisse vorhanden: die Position ist noch "
                       "nicht berechnet."));
  }
  // A report of nothing would pass for a position without input: it says where its chapters are chosen.
  if (!ergebnisKapitel && !d.graf_System && !d.num_System)
    Absatz(kText, Tr("Keine Ausgabe gewählt: die Kapitel des Berichts werden in den Dialogen \"Steuerung der "
                     "numerische Ausgabe\" und \"Steuerung der grafischen Ausgabe\" gewählt (Seite \"Steuerwerte\")."));
  if (!ergebnisse) {
    Abschluss();
    return;
  }

  Bild2D bild;
  CPlotwerk2D* view2D = bild.Control();
  if (d.num_Regel_Lager || d.num_Regel_Verform || d.num_Regel_Schnitt || d.graf_Regel_Schnitt) ErgebnisseBruch(view2D);
  if (d.vorver[0].type > 1 &&
      (d.graf_Kriech_Schnitt || d.num_Kriech_Lager || d.num_Kriech_Verform || d.num_Kriech_Schnitt))
    ErgebnisseKriechen(view2D);
  if (d.num_KNSW_Eigen || d.num_KNSW_Lager || d.num_KNSW_Verform || d.num_KNSW_Schnitt || d.num_KNSW_Bruch ||
      d.num_KNSW_Dehn || d.num_KNSW_Schub || d.graf_KNSW_Schnitt)
    ErgebnisseVerformung(view2D);
  if (d.num_Riss) ErgebnisseRiss();
  if (!d.ergebnisse.Brandschnittgroessen.empty() && d.num_Brand) ErgebnisseBrand();
  if (d.num_Fundament) {
    Absatz(kAbschnitt, Tr("\\b Ergebnisse Fundamentlasten"));
    ErgebnisseFundament();
  }
  if (d.num_FundLastw) {
    Absatz(kAbschnitt, Tr("\\b Ergebnisse Lastweiterleitung (charakteristisch, Zustand I)"));
    LastweiterleitungTabellen(d);
  }
  if (d.num_ErfAs || d.graf_ErfAs) {
    Absatz(kAbschnitt, Tr("\\b Erforderliche Bewehrung"));
    ErforderlicheBewehrung(view2D);
  }
  bild.Zerstoere();
  Abschluss();
}
