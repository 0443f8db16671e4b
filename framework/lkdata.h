// Load-combination data of a position or of one construction stage: actions, the load cases assigned to
// them, the combination norm and mode, the factors of the norm, and the combinations formed by the
// combination generator. Persisted as the element "lastUeberlagerung".
#pragma once

#include <array>

#include "platform/win/afx.h"

class BaseData;

// One load case and the action it belongs to.
class CLKLastfall {
 public:
  int lf = 0;
  int einw = 0;
};

// Combination factors of one load category.
class CLKBeiwert {
 public:
  CString name;
  double psi0 = 0.0;
  double psi1 = 0.0;
  double psi2 = 0.0;

  void ReadData(int element);
  void WriteData(int element) const;
};

// One action. Copying takes every field but `readonly`: the target keeps its own flag (a new record's is
// false). Moving a record (inside a list) keeps it.
class CEinwirkung {
 public:
  int nr = 0;
  CString title;
  CString lastfaelle;
  int indexGruppe = 0;
  int indexGruppeHHHH = 0;
  int indexKategorie = 0;
  int indexKLED = 0;
  bool einwNichtAufteilen = false;
  int lastfallMax = 0;
  int lastfallMin = 0;
  int alternativgruppe = 0;
  CString desc;
  bool readonly = false;
  int maxmin = 0;
  int indexLuda = 0;

  CEinwirkung() = default;
  CEinwirkung(const CEinwirkung& other) { *this = other; }
  CEinwirkung(CEinwirkung&& other) noexcept = default;
  CEinwirkung& operator=(const CEinwirkung& other);
  CEinwirkung& operator=(CEinwirkung&& other) noexcept = default;
  ~CEinwirkung() = default;

  // Category of the national lists to the Eurocode list and back (for variable actions).
  static int KategorieNachEC(int kategorie);
  static int KategorieVonEC(int kategorie);
};

// One combination: type, the generator's rule, the rule as shown and used, a description, and (on request)
// the factor of every load case.
class CKombination {
 public:
  CString art;
  CString regel;
  CString regelUser;
  CString desc;
  CArray<double, double> faktoren;

  // Whether `art` is a kind the combination generator forms ("Ed", "Ed,A", "Ed,char", "Ed,frequ", "Ed,perm"); a
  // stored combination of any other kind was not formed by it and means nothing to a calculation.
  static bool IstBekannteArt(const CString& art);
};

class CLKData {
 public:
  CLKData();
  // A copy starts a session of its own and hands its norm to it.
  CLKData(const CLKData& other);
  CLKData& operator=(const CLKData& other);
  ~CLKData();

  void SetNorm(int code);
  void SetModus(int m);

  void ReadData(int parent);
  void WriteData(int parent);

  void GetLastGruppen(CStringArray& gruppen);
  void GetLastKategorien(CStringArray& kategorien, const CString& gruppe);
  void GetKLEDNamen(CStringArray& namen) const;
  void GetEinwirkungsTexte(CStringArray& texte);
  int GetLastGruppeIndex(int i) const;
  int FindLastGruppe(int g) const;
  int GetDefaultKLED(int g, int kategorie);
  bool GetDefaultNichtAufteilen(int kategorie);

  void UpdateLastfallZuordnung();
  bool CheckEinwirkungen() const;
  CString GetLastfallEinwirkungen(int nr) const;
  CEinwirkung GetEinwirkung(int nr) const;

  bool Calc();
  void WriteProtokolle();
  bool SetVereinfachteEinwirkungen();
  void GetKategorieBeiwerte();

  // The norm name handed to the generator for a norm code, or nullptr.
  static const char* NormName(int code);

  // Most load cases modes 1 and 2 generate.
  static constexpr int kMaxGenerierteLastfaelle = 256;
  // Highest action number the load-case assignment builds actions for.
  static constexpr int kMaxEinwirkungNr = 999;

  CStringArray variablenNamen;
  CArray<double, double> variablenWerte;
  BaseData* owner = nullptr;
  int lknorm = 1;
  int modus = 3;
  int session = 0;
  int version = 0;
  bool normGesetzt = false;
  bool unbenutzteEinwirkungenEntfernen = true;
  // Options of the actions dialog and the column data (columns shown in the actions grid).
  bool spalteLastfaelle = true;
  bool spalteKLED = false;
  bool spalteNichtAufteilen = true;
  bool spalteKategorie = true;
  bool mitAlternativLasten = false;
  bool mitAlternativGruppen = false;
  // Number of alternative groups the actions dialog offers.
  int maxAlternativgruppen = 9;
  bool mitGruppenTyp5 = false;
  bool mitGruppenTyp6 = false;
  bool kombinationGesperrt = false;
  // Option of the actions dialog: its view button is offered.
  bool ansichtButton = true;
  // Option of the actions dialog: the switch for permanent actions also with gamma_G,inf is offered.
  bool gammaInfOption = false;
  bool kombisWiederherstellen = false;
  bool protokollGammaPsi = true;
  bool protokollKombRegeln = true;
  // Option of the actions dialog: the combinations may be edited by hand.
  bool manuelleKombinationen = false;
  bool nachweisMitGammaInf = true;
  std::array<bool, 16> nachweisSchalter{true, true, false, true, true, true, true};
  bool ohneGammaPsi = false;
  bool mitFaktoren = false;
  CString gammaPsiDatei = "KOMBRA_GammaPsi.rtf";
  CString kombRegelnDatei = "KOMBRA_KombRegeln.rtf";
  double schneeHoehe = 0.0;
  double psi2_kran = 0.77;
  double GInfFactor = 1.0;
  CStringArray lastfallTexte;
  CArray<int, int> gruppenIndizes;
  CArray<CLKLastfall, const CLKLastfall&> lastfaelle;
  CArray<CEinwirkung, const CEinwirkung&> einwirkungen;
  CArray<CKombination, const CKombination&> kombinationen;
  CArray<CLKBeiwert, const CLKBeiwert&> beiwerte;
  double gamma_g_guenstig = 0.0;
  double gamma_g_unguenstig = 0.0;
  double gamma_q_guenstig = 0.0;
  double gamma_q_unguenstig = 0.0;
  double gamma_g_sup = 0.0;
  double gamma_g_inf = 0.0;
  double gamma_a = 0.0;
  double gamma_g_stb1 = 0.0;
  double gamma_g_stb2 = 0.0;
  double gamma_g_stb3 = 0.0;
  double gamma_g_dst1 = 0.0;
  double gamma_g_dst2 = 0.0;
  double gamma_g_dst3 = 0.0;
  double gamma_q_dst1 = 0.0;
  double gamma_q_dst2 = 0.0;
  double gamma_q_dst3 = 0.0;
  double gamma_g_1 = 0.0;
  double gamma_g_2 = 0.0;
  double gamma_g_3 = 0.0;
  double gamma_q_1 = 0.0;
  double gamma_q_2 = 0.0;
  double gamma_q_3 = 0.0;
  double gamma_e0g_1 = 0.0;
  double gamma_e0g_2 = 0.0;
  double gamma_e0g_3 = 0.0;

 private:
  void CopyFrom(const CLKData& other);
  void HandVariablesToGenerator();
};

// --- Stand-in until BaseData exists in framework/ --------------------------------------------------------
// WriteProtokolle stores the protocols in the owner's position document. BaseData installs how the document
// of an owner is found; without it (or for an owner without a document) WriteProtokolle does nothing.
using LKOwnerDocumentFn = int (*)(const BaseData* owner);
void SetLKOwnerDocumentFn(LKOwnerDocumentFn fn);
