// The engine's calculation object: one global CStuetzenRechner holds the column's model input, the
// member model built from it, the combination set, the partition of the work arrays and the state of
// a run. Units: m, kN, kNm; reinforcement areas in m2 inside the engine.
#pragma once

#include <string>
#include <vector>

#include "engine/input.h"
#include "engine/kombisatz.h"

class CDC;

// Capacities of the fixed arrays.
constexpr int kMaxFelder = 100;        // fields of the column
constexpr int kMaxStaebe = 100;        // members (each has a start and an end section)
constexpr int kMaxKnoten = 200;        // nodes
constexpr int kMaxQuerschnitte = 200;  // sections: 2e start, 2e + 1 end of member e
constexpr int kMaxQuerWechsel = 100;   // section-change records
constexpr int kMaxLinienlasten = 200;  // line loads per stage
constexpr int kMaxEinzellasten = 200;  // point loads per stage
constexpr int kMaxLager = 100;         // support definitions
constexpr int kMaxKriech = 50;         // creep entries
constexpr int kStufen = 4;             // construction stages
constexpr int kMaxIterationen = 300;   // equilibrium passes and stiffness updates of an analysis
constexpr int kCodeKnickt = 6;         // analysis code: not stable with the sections' stiffness at their axial force
constexpr int kIndexGroesse = 80;      // entries of the index table INDEX

// Design-code number of the engine: 0 DIN 1045, 1 DIN 1045-1, 2 EC2, 3 SIA 262, 11/12/13 EC2 with the
// national annex of Germany/France/United Kingdom.
extern int NORM;
// The current number of combinations; sizes the result areas.
extern int NKOMBI;

// One line load of a stage: from xa over its length, linear from qa to qe (kN/m or kNm/m).
struct LinienlastEingabe {
    double xa = 0.0;      // start, m from the foot
    double laenge = 0.0;  // m
    double qa = 0.0;
    double qe = 0.0;
    int lastfall = 0;  // load case (1-based)
    int richtung = 0;  // which pair it loads: 0 axial qx, 1 qy, 2 qz, 3 torque mx
};

// One point load of a stage at a field end.
struct EinzellastEingabe {
    int position = 0;      // 0 the top (L), 1 the foot (koor[0]), k + 1 the end of field k
    int lastfall = 0;      // load case (1-based)
    double werte[5] = {};  // kN / kNm on the degrees of freedom u, v, w, rotation y, rotation z
};

// A section change inside a field: a discontinuity from koor[feld] + abstand over laenge.
struct QuerWechsel {
    int feld = 0;
    double abstand = 0.0;  // m
    double laenge = 0.0;   // m
};

// The cross-section of a field as the driver enters it; type numbers of the member section (0 rectangle,
// 1 and 2 circle, 3 type 4, 4 polygon).
struct StabQuerschnitt {
    int typ = 0;
    double d[4] = {};  // cm
    int betonGuete = 0, stahlGuete = 0;
    int wort = 0;               // reinforcement layout word
    double bewehrung = 0.0;     // stored reinforcement value, cm2
    double c1 = 0.0, c2 = 0.0;  // edge distances of the bars, cm
    double weiter = 0.0;
};

struct QuerschnittsEingabe {
    StabQuerschnitt feld[kMaxFelder];  // per field
};

// The per-section arrays of the frame analysis (section 2e starts member e, 2e + 1 ends it): filled by
// SetzeQuerUm, E and the bending stiffnesses renewed by every analysis run.
struct QuerschnittsFelder {
    double A[kMaxQuerschnitte] = {};   // m2
    double Iy[kMaxQuerschnitte] = {};  // m4
    double Iz[kMaxQuerschnitte] = {};  // m4
    double It[kMaxQuerschnitte] = {};  // m4 (the smaller bending inertia)
    double E[kMaxQuerschnitte] = {};   // kN/m2
    // bending stiffnesses E*I/1000 (MNm2): current and those before the last update
    double By[kMaxQuerschnitte] = {}, Bz[kMaxQuerschnitte] = {};
    double ByAlt[kMaxQuerschnitte] = {}, BzAlt[kMaxQuerschnitte] = {};
};

// Imperfection and creep-eccentricity input of one construction stage.
struct ImperfektionsEingabe {
    int art = 0;            // 0 inclination, 1 eigenmode-affine, 2 and 3 the same plus creep; else none
    int komponenten = 0;    // 1: the inclination is given as its two components
    double neigungW = 0.0;  // rad, first component (acts on w)
    double neigungV = 0.0;  // rad, second component (acts on v)
    double neigung = 0.0;   // rad, magnitude shared by the modes
    double teiler = 0.0;    // eigenmode amplitude = total length / teiler
    int Kriech_CKAusm = 0;  // 0: the amplitude is the eccentricity at the reference node
    int Kriech_Bzkn = 0;    // reference field: the node at koor[Kriech_Bzkn]
    double ausmitte = 0.0;  // eccentricity e at the reference node, cm
};

// Fire-check result of one section, as the fire check leaves it (N, moments, resisting force, load
// level, required width and axis distance, reinforcement) for SpeichereBrandErgebnis.
struct BrandErgebnisBlock {
    double NEdfi = 0.0;  // kN
    double My = 0.0;     // kNm
    double Mz = 0.0;     // kNm
    double NR = 0.0;     // kN
    double muefi = 0.0;  // load level
    double bErf = 0.0;   // cm; where the table is not met, what it asks at the lowest load level tried
    double aErf = 0.0;   // cm
    double As = 0.0;     // m2
    int OK = 0;          // 1 satisfied
    // Why a section fails (BrandCode), the least width and axis distance it has (cm) and the reinforcement
    // ratio the fire design asked for (percent).
    int grund = 0;
    double bVorh = 0.0, aVorh = 0.0, grad = 0.0;
};

// Result of RechneVorverformungen when the first buckling mode leaves the reference node of an eccentricity
// in place: the eccentricity cannot be scaled to it and adds nothing.
constexpr int kVorverformungOhneBezug = 1;

// The combination index that names the creep load to an eigenvalue run: its buckling modes and first-order
// deformation give the imperfection the creep run applies.
constexpr int kKriechLast = -1;

// Results of the model set-up that its caller turns into messages.
enum SetupCode {
    kSetupOk = 0,
    kSetupKeineKombinationen = 1,  // NKOMBI == 0; the run goes on with empty areas
    kSetupZuVieleStaebe = 2,       // more nodes or members than the fixed arrays hold
    kSetupSpeicher = 3,            // records or partition do not fit into the work arrays
    kSetupEingabe = 4,             // field, load or section-change input beyond the capacities
};

// Work areas of one frame analysis, laid out after the partition, for K nodes, E members and F fields.
void RahmenArbeitsbedarf(int K, int E, int F, long long& doubles, long long& ints);

class CStuetzenRechner {
public:
    // ---- model input (filled by the calculation driver; cleared by Init) ----
    int nFelder = 0;
    double feldLaenge[kMaxFelder] = {};  // m, from the foot upwards
    int feldStaebe[kMaxFelder] = {};     // members per field
    // offset of the field's axis against the axis of the field below (the lowest field: against the
    // supports), m; it acts as a rigid link at the node where the field begins
    double feldEz[kMaxFelder] = {};  // along z
    double feldEy[kMaxFelder] = {};  // along y
    int nQuerWechsel = 0;
    QuerWechsel querWechsel[kMaxQuerWechsel];
    int stufeAktiv[kStufen] = {};  // 1..3: stage present (stage 0 always is)
    int kriechSchalter = 0;        // creep runs when above 0
    int rechenSchalter[20] = {};   // the twenty pass switches
    double ersteKombiLast = 0.0;   // 25.0 when the driver's option is on
    int protokollSchalter = 0;     // protocol detail input
    double zeichenHoehe = 0.0;     // input of the report drawing scale
    int nLinienlasten[kStufen] = {};
    LinienlastEingabe linienlast[kStufen][kMaxLinienlasten];
    int nEinzellasten[kStufen] = {};
    EinzellastEingabe einzellast[kStufen][kMaxEinzellasten];
    // supports: per stage and model node (field end 0..nFelder) the support number (1-based, 0 none),
    // per support seven values (negative rigid, positive spring stiffness, 0 free)
    int lagerAnKnoten[kStufen][kMaxFelder + 1] = {};
    int nLager = 0;
    double lagerWerte[kMaxLager][7] = {};
    double gammaBeton = 0.0;  // unit weight of the concrete, kN/m3
    // per stage the load case of the own weight (1-based); 0: the stage has no own weight
    int eigengewichtLf[kStufen] = {};
    int eigengewichtQuer = 0;  // 1: self weight acts along z, else along the axis
    double kriechZahl = 0.0;   // creep coefficient phi
    int nKriech = 0;           // creep entries: load case and factor
    int kriechLf[kMaxKriech] = {};
    double kriechFakt[kMaxKriech] = {};
    std::string basisPfad;            // base path of the combination files
    int dateiNummer = 0;              // files are named with dateiNummer + 1
    QuerschnittsEingabe querEingabe;  // the sections of the fields
    ImperfektionsEingabe imperfektion[kStufen];
    // material values: 1 takes them from the two user tables instead of the catalogue
    int userMaterial = 0;
    // "Ecm", "Ec0m", "G", "fck", "tau_cm", "fctm", "epsilon_c1u", "epsilon_c1", "epsilon_c2u", "epsilon_c2",
    // "phi", "fbd", "gamma_cg", "gamma_ca", "gamma_cgu", "gamma_cau", "gamma_cgf", "gamma_caf", "gamma",
    // "gamma_u", "mue", "alpha_t" (catalogue units: N/mm2, per mille)
    double userBeton[22] = {};
    // "E", "gamma", "fyk", "ftk", "gamma_sg", "gamma_sa", "alpha_t", "epsilon_yd", "epsilon_szul", "duk"
    double userStahl[10] = {};
    // compression-reinforcement switch: 1 lets the layout choice weaken the compression side
    int druckBewSchalter = 0;
    // passed through to the verification: three material selectors, the fire switch and its parameters
    // (resistance class 0..4, exposure, a third value)
    int materialWahl[3] = {};
    int brandSchalter = 0;
    double brandParameter[3] = {};

    // ---- the combination set ----
    CKombiSatz kombi;

    // ---- per section, kept across passes ----
    double AusAs[kMaxQuerschnitte] = {};
    int LKBem[kMaxQuerschnitte][2] = {};
    double bwFaktor[kMaxQuerschnitte] = {};           // largest first-order design factor of each section
    QuerschnittsFelder querFelder;                    // the frame analysis's section values and stiffnesses
    BrandErgebnisBlock brandBlock[kMaxQuerschnitte];  // the last fire check of each section

    // ---- run state ----
    int rissSchalter = 0;                           // 1 during the serviceability pass
    int aussergewoehnlich = 0;                      // 1 while accidental-situation material values apply
    int aktSystem = 0;                              // construction stage in hand
    int textX = 0, textY = 0;                       // position of the closing note
    int fortschrittX = 5, fortschrittY = 30;        // position of the progress line of an analysis
    int protokollDetail = 0;                        // 1: the imperfections write their detail lines
    int rissBasis = 0;                              // first result slot of the serviceability pass
    int akzZweiteOrdnung[kStufen] = {};             // accidental combinations of each stage in the second-order pass
    int wahlArt = 0, wahlModus = 0, wahlStufe = 0;  // the last selection of the passes
    int INDEX[kIndexGroesse] = {};
    std::string meldung;                      // the engine's message buffer
    bool letzteAnalyseElementFehler = false;  // the last analysis met a refused element matrix
    // Where the last analysis that ran out of iterations stopped: its mode and combination (lf of the selection),
    // the field (numbered from the head as the input numbers them; 0 unknown) and whether the stiffnesses or
    // the end forces did not settle.
    struct Unruhe {
        int mode = 0, lf = -1, feld = 0;
        bool steifigkeit = true;
    };
    Unruhe unruhe;
    // Where the last analysis found its column not stable with the stiffness its sections have at their axial
    // force, with no steel left to raise: its combination (lf of the selection) and the field (numbered from the head).
    struct Knicken {
        int lf = -1, feld = 0;
    };
    Knicken knicken;
    std::vector<int> nachweisHinweise;  // hints of the verification (BrandHinweis), not yet shown
    // The creep load's own analysis before the creep run (from its eigenvalue run): the first-order node
    // deformations (7 per node), the eigenvalue block (12) and the four modes (28 per node); and the imperfection
    // the creep run applies (4 per node, as a combination's).
    std::vector<double> kriechVerformung, kriechEigen, kriechFormen, kriechVorverformung;

    // ---- the member model (built by BaueModell) ----
    double koor[kMaxFelder + 1] = {};  // field-end coordinates, koor[0] = 0
    double L = 0.0;                    // total length
    int nKnoten = 0;
    int nStaebe = 0;
    double x[kMaxKnoten] = {};      // node coordinates, ascending from the foot
    int stabFeld[kMaxKnoten] = {};  // field of each member
    // offsets of each member at its start node: its field's on the field's first member, else 0 (m)
    double stabEz[kMaxKnoten] = {};
    double stabEy[kMaxKnoten] = {};
    int nErgebnisPlaetze = 0;                 // combinations the result areas of the partition hold
    int nLastSaetze = 0;                      // line-load records
    int nPunktSaetze = 0;                     // point-load records
    float zeichenMassstab = 0.0f;             // read by the report drawing
    std::vector<std::string> setupMeldungen;  // notes of the set-up for the user

    // Clears every input, model, state and result-index group.
    void Init();

    // ---- combination files ----
    // Builds the file name into path; direction 1 reads (returns the number of combinations, 0 when
    // the file does not open, -1 for a refused file with the reason in meldung), -1 writes (0, or -1).
    int OeffneKombiDatei(std::string& path, int kind, int stage, int direction);
    std::string KombiDateiName(int kind, int stage) const;

    // ---- model set-up ----
    void BerechneFeldKoordinaten();
    int BaueModell();
    int ErzeugeKnoten(int first, int& nKoor, int firstExtra, int nExtra);
    void SortiereKoordinaten(int first, int n);
    int VerteileLinienlasten();
    int VerteileEinzellasten();
    int KnotenBeiKoordinate(int i) const;
    int ZaehleKombinationen();
    // What a run with nKombi combinations asks of the work arrays, from the model input alone (no work array
    // is touched): the nodes, load records, partition and frame areas the set-up and the analyses lay out.
    ArbeitsBedarf Arbeitsbedarf(int nKombi, int nFirstFree) const;

    // ---- load images and supports of one analysis ----
    // Enters the factors of combination lf (mode 0, -1, 2) or of the creep entries (mode 1) into the
    // load records; returns the number of load images minus one (-1 when none).
    int aktlast(int mode, int lf);
    // Factor of the own weight: its load case's factor in combination lf of the current stage (mode 0, -1,
    // 2; 0 when the combination lacks that load case) or in the creep load (mode 1).
    double EigengewichtFaktor(int mode, int lf) const;
    // Adds the fixed-end forces of the member loads of element e (length L, m) to its load vector and
    // stored fixed-end forces; q8 is a scratch of eight doubles.
    void StabLasten(int e, double L, int load, int fixed, int q8);
    // Adds factor x values of every loaded node-load record to the load vector (7 per node).
    void KnotenLasten(int load);
    // Fills the spring vector (7 per finite-element node) and the support flags (int, per node) from
    // the supports of the current system; model nodes at xModel (m), finite-element nodes at xFe.
    void Lager(int springs, int xModel, int nModel, int xFe, int nFe, int flags);
    // Adds the imperfection forces of element e for combination comb to the nodal load vector.
    void ImperfektionsLasten(int e, int load, int endForces, int comb);
    // The same from the pre-deformation values `vor` (4 per node: v0, w0, psiy, psiz).
    void ImperfektionsLasten(int e, int load, int endForces, const double* vor);
    // Whether a run of `mode` for lf carries the creep load: the creep run, and the eigenvalue run of kKriechLast.
    static bool KriechLast(int mode, int lf) { return mode == 1 || (mode == -1 && lf == kKriechLast); }

    // ---- results of one analysis ----
    // Stores the support reactions (7 per node), node deformations (7 per node) and member-end forces
    // (14 per member) of combination k + base of a run in mode 0, 1 or 2 into the slots of its mode,
    // and in first order without the crack switch keeps the governing combinations of reactions and
    // deformations (slots 60 and 61).
    void SpeichereSystemErgebnisse(int mode, int k, int base, int reactions, int displacements, int forces);

    // ---- the pass sequence ----
    // The full calculation over every stage and kind of combination file; returns the number of result
    // slots of the ultimate passes ("Tr", every accidental combination, fire), which is the first slot of
    // the serviceability results, or 0 when the run failed. No two passes share a slot.
    int RechneStuetze(CDC* dc, int nSteps, int nFirstFree, int bAccidentalFinal);
    // The first-order run alone; returns the number of "Tr" combinations computed, or 0 on failure.
    int RechneRegelNachweis(CDC* dc, int nSteps, int nFirstFree);
    // Keeps the governing reinforcement of every section after an analysis of kind `kind` (0, 1 first
    // order, 2 second order, 3 serviceability, 4 fire, 5 accidental second order); before != 0: nothing.
    void MerkeMassgebend(int k, int base, int kind, int before = 0);
    // Raises the reinforcement field by field: mode 0 by the first-order design factors, mode 1 to the
    // largest area of the field.
    void AsAusRegelbemessung(int mode);
    // Appends the fire record of the last fire combination to the result container.
    void SpeichereBrandErgebnis();

    // Selects the combinations of a stage and remembers the selection mode.
    int Waehle(int kind, int mode, int stage);
    // Title and formula text of selected combination lf; false when it cannot be found.
    bool KombiTexte(int lf, std::string& titel, std::string& formel) const;

    // ---- frame analysis ----
    // One analysis of combination lf of the selection in mode -1 (eigenvalues), 0 (first order), 1 (creep)
    // or 2 (second order); base offsets the combination's result slots. Returns 0, 1 element matrix,
    // 2 equation system, 3 design, 4 reinforcement ratio, 5 work arrays too small, 99 iteration limit, or
    // the negative code of a failed eigen solution.
    // Raises no message: the code (and letzteAnalyseElementFehler) go to MeldeDltr3DFehler.
    int RechneDltr3D(CDC* dc, int mode, int lf, int base);
    // RechneDltr3D with the messages of its code, as the drivers run it.
    int RechneDltr3DUndMelde(CDC* dc, int mode, int lf, int base);
    // Stores the design values of every section of combination lf after an analysis (modes 0 and 2) and
    // keeps the governing combination of each section; endForces: the run's 14 end forces per member.
    // Per section (2E values per combination and slot):
    //   first order  50 N, 51 My, 52 Mz (kN, kNm), 53 required As (cm2: present As x bwfakt, at least the
    //                code minimum), 54 the code minimum As of the design (cm2), 55 present safety
    //                factor, 56 ratio mue (%), 57 smallest concrete strain, 58 largest steel strain (per
    //                mille); governing combination: int slot 62 the smallest safety factor of the design,
    //                63 the largest steel strain of the strain check (serviceability pass)
    //   second order 23 N, 24 My, 25 Mz, 26..37 the design object's result values 3..14 (areas and kinds of
    //                the two reinforcement groups, gamma, strain plane), 38 present safety factor,
    //                39 present As (cm2), 40 smallest concrete strain; int slot 66 the combination with
    //                the smallest safety factor
    void SpeichereBemessungswerte(int mode, int lf, int endForces);

    // ---- imperfections and factors ----
    // Returns 0, or kVorverformungOhneBezug (the values are set without the eccentricity); raises no message.
    int RechneVorverformungen(int comb, int stage);
    // The final system's imperfection under the creep load, from its own eigenvalue run, into kriechVorverformung;
    // returns as RechneVorverformungen.
    int RechneKriechVorverformung();
    // The message of a code of RechneVorverformungen.
    void MeldeVorverformungen(int code);
    static void PSIFAKT(double fakteig, double alfa0, double alfaE, double& fy, double& fz, double& f1, double& f2);
    static void SetzeGamma(double& g1, double& g2, double& g3, double& g4);
    double LastFaktor(int norm, int mode, int k) const;

    // Shows the message of an analysis code (and of a refused element matrix) as the analysis ends.
    void MeldeDltr3DFehler(int code, bool elementFehler);
    // The message of code 99: where the iteration did not settle (unruhe) and what the engineer can change.
    std::string IterationsMeldung() const;
    std::string KnickMeldung() const;
    std::string KombiOrt(int lf) const;  // "Kombination n (title: formula)" of the selection in hand

    // Reports a failed analysis code of a run: codes 1, 2 and 99 to the error log, code 4 (reinforcement
    // ratio beyond the code's limit) as a message to the user; other codes report nothing.
    void MeldeLaufFehler(int code);

    // Shows why the combination set refused a selection (its meldung).
    void MeldeAuswahlFehler();

    // Shows the hints the verification left (nachweisHinweise) in their order, and forgets them.
    void ZeigeNachweisHinweise();

    // The user-facing texts of a set-up code and of the set-up's notes, raised in one place.
    void ZeigeSetupMeldungen(int code);

    // Work-array slot of the partition: start of combination c in slot `slot` of per-combination size.
    int Slot(int slot, int c, int perCombination) const { return INDEX[slot] + c * perCombination; }
};

extern CStuetzenRechner g_rechner;
