// The RTF report of a column position: title block, free texts, input echo,
// system pictures, the result tables of every stage and verification and the
// result diagrams, written through the RTF library from the position's data and
// result records. Units as in the data: m, cm, cm², kN, kNm, per mille.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/afx.h"
#include "platform/win/base/leftovers.h"

class CKolumoData;
class CPlotwerk2D;
class CPlotwerk3D;

namespace report {

struct BildLage;

// Writes the report of a position document beside its file; with bOutput 0 the
// document is only read.
void RtfKolumo(int document, int bOutput);

// The report file of a position file: ".tqx" (any case) replaced by ".rtf",
// else ".rtf" appended.
std::string ReportFileName(const std::string& positionFile);

}  // namespace report

class CRtf_Ausgabe {
 public:
  CRtf_Ausgabe() = default;
  virtual ~CRtf_Ausgabe();
  CRtf_Ausgabe(const CRtf_Ausgabe&) = delete;
  CRtf_Ausgabe& operator=(const CRtf_Ausgabe&) = delete;

  // Writes the whole report of the data read from the document.
  void Ausgabe(int document);
  void SystemBilder(CPlotwerk3D* view3D);

  // Input echo.
  void Geometrie();
  void Lager();
  void Querschnitte();
  void Materialien();
  void Belastung();
  void Lastkollektive();
  void Vorverformungen();
  void Kriechen();

  // Results chapter.
  void KonstruktiveRegeln();
  void MassgebendeFaelle();
  void ErforderlicheBewehrung(CPlotwerk2D* view2D);
  void ErgebnisseBruch(CPlotwerk2D* view2D);
  void ErgebnisseVerformung(CPlotwerk2D* view2D);
  void ErgebnisseKriechen(CPlotwerk2D* view2D);
  void ErgebnisseRiss();
  void ErgebnisseBrand();
  void ErgebnisseFundament();

  // Result tables of one combination: running number k, result type t, stage s.
  void Lagerkraefte(int k, int t, int s);
  void Eigenwerte(int k, int t, int s);
  void Verformungen(int k, int t, int s, int mode);
  void Stabschnittkraefte(int k, int t, int s, int mode, int diagramm, CPlotwerk2D* view2D);
  void Bruchnachweis(int k, int t, int s);
  void Dehnungsnachweis(int k, int t, int s);
  void Schubnachweis(int k, int t, int s);
  void Brandschutz(int k, int t, int s);
  void Rissnachweis(int k, int t, int s);
  void Fundamentlasten(int k, int t, int s);

  // Governing case per cross-section (index = cross-section number - 1).
  std::vector<int> m_massgLK;
  std::vector<int> m_massgBZ;
  std::vector<int> m_massgTyp;
  std::vector<double> m_massgAs;  // cm²
  std::vector<CString> m_massgText;

  CKolumoData* m_pData = nullptr;  // not owned

  // The folder (with a trailing separator) and name stem of the picture files;
  // set by Ausgabe from the report's path, so that pictures lie beside the
  // report.
  std::string m_bildOrdner;
  std::string m_bildStamm;

 private:
  bool StufeVorhanden(int stage) const;
  bool HatErgebnisse() const;
  // The combination walk of the ultimate-limit-state and deformation chapters
  // (kind 0 ultimate, 1 deformation).
  void KombinationsDurchlauf(int kapitel, CPlotwerk2D* view2D);
  bool GiltFilter(int stage, int nummer, int typ1, int typ2) const;
  // The diagram of the required reinforcement along the column.
  void ErfAsDiagramm(CPlotwerk2D* view2D);
  std::string BildPfad(const std::string& name) const;
  // A picture is drawn into a file of this report's own folder beside the report and read from there, so that two
  // reports of the position written at once never read each other's picture; it takes its name (BildPfad) when the
  // report is written. The folder holds the report's other temporaries too; a killed run's folder is removed by
  // the next report in that folder.
  std::string EigenesBild(const std::string& name) const;
  win::ScratchFolder m_eigene;
  void BildAblegen(const std::string& eigenes, const std::string& name);
  std::string m_bildFehler;
  // Writes the report under a name of its own, then gives the pictures and the report their names; or says why it
  // could not (a read-only folder, a full disk, a folder in the way) and removes only its own files, so that the
  // report standing there, if any, keeps its pictures.
  void Abschluss();
  std::string m_bericht;                                      // the report file
  std::vector<std::pair<std::string, std::string>> m_bilder;  // this report's pictures: own file, name to take
  // art: the kind of force whose diagrams share one scale across the report (report::DiagrammArt); 0 the
  // diagram's own scale.
  void Diagramm(const std::vector<double>& stationen, const std::vector<double>& werte, double offset,
                CPlotwerk2D* view2D, const char* titel, int art = 0);
  // The frame of a result picture: along the column 0..hoehe, across from -3/8
  // hoehe to ende (m).
  void DiagrammRahmen(double hoehe, double ende, CPlotwerk2D* view2D);
  void DiagrammEinfuegen(CPlotwerk2D* view2D, const std::string& name, const char* caption);
  std::shared_ptr<report::BildLage> m_bild;  // the result picture being drawn and the report's shared scales
};
