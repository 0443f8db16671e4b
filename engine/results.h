// The result records of a column calculation that outlive the run, one array per kind in the
// container, and the section results the engine keeps for every analysed combination, from which the
// records are made. Units: kN, kNm, m, cm2, per mille; Kote is the height of the result point in m.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

using ResultColumn = std::vector<double>;
using ResultIntColumn = std::vector<int>;

class CResultSchnittgroessen {
public:
    CResultSchnittgroessen() { Reset(); }
    virtual ~CResultSchnittgroessen() = default;
    CResultSchnittgroessen(const CResultSchnittgroessen&) = default;
    CResultSchnittgroessen& operator=(const CResultSchnittgroessen&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, N, Vy, Vx, My, Mx, ErfAs, AsAb, By, Bx, Eta;
};

// Ultimate-check and strain-check records share their layout.
class CResultBruchschnittgroessen {
public:
    CResultBruchschnittgroessen() { Reset(); }
    virtual ~CResultBruchschnittgroessen() = default;
    CResultBruchschnittgroessen(const CResultBruchschnittgroessen&) = default;
    CResultBruchschnittgroessen& operator=(const CResultBruchschnittgroessen&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, N, My, Mx, eps1, eps2, epss, alfa;
};

class CResultDehnschnittgroessen : public CResultBruchschnittgroessen {
public:
    using CResultBruchschnittgroessen::CResultBruchschnittgroessen;
};

class CResultBrandschnittgroessen {
public:
    CResultBrandschnittgroessen() { Reset(); }
    virtual ~CResultBrandschnittgroessen() = default;
    CResultBrandschnittgroessen(const CResultBrandschnittgroessen&) = default;
    CResultBrandschnittgroessen& operator=(const CResultBrandschnittgroessen&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0, OK = 0;
    ResultColumn Kote, N, My, Mx, Nrd, alfa, minB, minDeck, As;
    // Where the tables are not met (OK 0, no rows): one entry per field and reason, the field (1 at Kote 0), the
    // reason (BrandCode), the least width and axis distance the table asks and those present (cm), and the
    // reinforcement ratio the fire design asked for (percent).
    ResultIntColumn FeldNr, Grund;
    ResultColumn erfB, erfA, vorhB, vorhA, Grad;
};

class CResultLagerkraefte {
public:
    CResultLagerkraefte() { Reset(); }
    virtual ~CResultLagerkraefte() = default;
    CResultLagerkraefte(const CResultLagerkraefte&) = default;
    CResultLagerkraefte& operator=(const CResultLagerkraefte&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, Apx, Apy, Apz, Amy, Amx;
};

class CResultVerformung {
public:
    CResultVerformung() { Reset(); }
    virtual ~CResultVerformung() = default;
    CResultVerformung(const CResultVerformung&) = default;
    CResultVerformung& operator=(const CResultVerformung&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    double Eigen[6] = {};  // the two lowest eigenvalues with the largest displacements of each shape
    ResultColumn Kote, u, v, w, phix, phiy, v0, w0;
};

class CResultSchub {
public:
    CResultSchub() { Reset(); }
    virtual ~CResultSchub() = default;
    CResultSchub(const CResultSchub&) = default;
    CResultSchub& operator=(const CResultSchub&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, ved, cot, vrdct, vrdmax, asb;
    // The strut's utilisation (VEd/VRd,max, with torsion the code's interaction) and the field number of the
    // row (1 at Kote 0, as in the "ErfAs" record).
    ResultColumn strebe;
    ResultIntColumn QuerNr;

    // Row i's strut crushes: the check is not fulfilled, whatever stirrups are laid.
    bool StrutFails(std::size_t i) const { return i < strebe.size() && strebe[i] > 1.0; }
};

class CResultRissnachweis {
public:
    CResultRissnachweis() { Reset(); }
    virtual ~CResultRissnachweis() = default;
    CResultRissnachweis(const CResultRissnachweis&) = default;
    CResultRissnachweis& operator=(const CResultRissnachweis&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, N, My, Mx, eps1, eps2, epss, sigma, azab, nue;
};

class CResultFundkraefte {
public:
    CResultFundkraefte() { Reset(); }
    virtual ~CResultFundkraefte() = default;
    CResultFundkraefte(const CResultFundkraefte&) = default;
    CResultFundkraefte& operator=(const CResultFundkraefte&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultIntColumn KNr;
    ResultColumn Kote, Apx, Apy, Apz, Amy, Amx, dAmy, dAmx;
};

class CResultErfAs {
public:
    CResultErfAs() { Reset(); }
    virtual ~CResultErfAs() = default;
    CResultErfAs(const CResultErfAs&) = default;
    CResultErfAs& operator=(const CResultErfAs&) = default;
    void Reset();

    ResultColumn Kote, As;
    ResultIntColumn QuerNr, LKNr, NachTyp;
};

// The ten record arrays, in the order of the child elements of "result".
class CResultContainer {
public:
    CResultContainer() = default;
    virtual ~CResultContainer() = default;
    CResultContainer(const CResultContainer&) = delete;
    CResultContainer& operator=(const CResultContainer&) = delete;

    std::vector<std::unique_ptr<CResultSchnittgroessen>> Schnittgroessen;
    std::vector<std::unique_ptr<CResultBruchschnittgroessen>> Bruchschnittgroessen;
    std::vector<std::unique_ptr<CResultBrandschnittgroessen>> Brandschnittgroessen;
    std::vector<std::unique_ptr<CResultDehnschnittgroessen>> Dehnschnittgroessen;
    std::vector<std::unique_ptr<CResultLagerkraefte>> Lagerkraefte;
    std::vector<std::unique_ptr<CResultVerformung>> Verformung;
    std::vector<std::unique_ptr<CResultSchub>> Schub;
    std::vector<std::unique_ptr<CResultRissnachweis>> Rissnachweis;
    std::vector<std::unique_ptr<CResultFundkraefte>> Fundkraefte;
    std::vector<std::unique_ptr<CResultErfAs>> ErfAs;
};

// The engine's own result container (its fire pass appends to it).
extern CResultContainer g_ergebnisse;

// A strut that crushes: the field (1 at Kote 0) and height of a shear row, its combination, VEd and VRd,max
// (kN) and the strut's utilisation (above 1).
struct StrutFailure {
    int field = 0;
    double kote = 0.0;
    int LK = 0, System = 0, Typ = 0;
    double ved = 0.0, vrdmax = 0.0, utilisation = 0.0;
};

// Every crushing strut of the shear records, in record and row order; one per field, height and combination
// (the end of one element and the start of the next share a height: the larger utilisation stands for both).
std::vector<StrutFailure> StrutFailures(const CResultContainer& ergebnisse);
// Result codes of the two fire table checks, and why a section or field fails them.
enum BrandCode {
    kBrandOk = 0,
    kBrandBewehrungsgrad = 1,  // the reinforcement ratio limit was reached
    kBrandAbmessungen = 2,     // the table cannot be met: dimensions or covers must change
    kBrandOhneTabellen = 3,    // the design code has no fire tables: the check cannot be made
};

// A field whose fire table is not met in a fire combination (LK, System, Typ of its record): one entry of the
// record's failure columns (CResultBrandschnittgroessen).
struct FireFailure {
    int LK = 0, System = 0, Typ = 0;
    int field = 0, reason = 0;
    double bRequired = 0.0, aRequired = 0.0, bPresent = 0.0, aPresent = 0.0;  // cm
    double ratio = 0.0;                                                       // percent
};

// The failing fields of one fire record (none where it is fulfilled), and those of every fire record in order.
std::vector<FireFailure> FireFailures(const CResultBrandschnittgroessen& record);
std::vector<FireFailure> FireFailures(const CResultContainer& ergebnisse);

// Heights (m) closer than this are one.
constexpr double kKoteGleich = 1e-6;

// ---- the section results the engine keeps for every analysed combination --------------------------------

// A strain plane of a section with the forces it carries, as the strain-state evaluation of the stiffness
// iteration or the ultimate check leaves it: forces kN, kNm; edge strains of the concrete (eps1, eps2) and of
// the steel (epss) in per mille, 0 where the design gives none; alfa the plane's angle in degrees.
struct SectionState {
    double N = 0.0, My = 0.0, Mz = 0.0;
    double eps1 = 0.0, eps2 = 0.0, epss = 0.0;
    double alfa = 0.0;
};

// Shear of a section: VEd (kN), cot theta, the resistance without shear reinforcement VRd,ct (kN; VRd under
// SIA 262), the strut's VRd,max (kN), the governing stirrups (cm2/m) and the strut's utilisation (above 1 it
// crushes).
struct SectionShear {
    double ved = 0.0, cot = 0.0, vrdct = 0.0, vrdmax = 0.0, asw = 0.0, strut = 0.0;
};

// The crack check of a section under a serviceability combination: strains in per mille as in SectionState,
// the steel stress (MN/m2), the tension zone's share of the concrete area and the steel ratio of the tension
// zone (percent).
struct SectionCrack {
    double eps1 = 0.0, eps2 = 0.0, epss = 0.0;
    double sigma = 0.0, tensionShare = 0.0, tensionRatio = 0.0;
};

// Everything one analysis leaves of one section. A second-order analysis fills strain, the stiffnesses (the
// strain state's, MNm2), ultimate and shear; the serviceability analysis fills crack.
struct SectionResults {
    SectionState strain;
    double By = 0.0, Bz = 0.0;
    SectionState ultimate;
    SectionShear shear;
    SectionCrack crack;
};

// The section results of one analysis of a combination: start section 2e and end section 2e + 1 of element e.
struct CombinationResults {
    std::vector<SectionResults> sections;
};

// The analyses whose section results are kept.
enum class KeptAnalysis {
    Serviceability,  // first order under a serviceability combination: the crack check
    SecondOrder,     // second order (persistent, accidental, fire): strain state, ultimate check, shear
};

// The section results of a run, by result slot (the work arrays' combination index) and analysis. A run
// starts it empty; each analysis that stores its results files its own.
class CombinationResultStore {
public:
    void Clear() { m_entries.clear(); }
    // Replaces what was kept for the slot and analysis.
    void File(int slot, KeptAnalysis analysis, CombinationResults results)
    {
        m_entries[{slot, analysis}] = std::move(results);
    }
    // nullptr where the run kept nothing.
    const CombinationResults* Find(int slot, KeptAnalysis analysis) const
    {
        const auto it = m_entries.find({slot, analysis});
        return it == m_entries.end() ? nullptr : &it->second;
    }
    bool Empty() const { return m_entries.empty(); }

private:
    std::map<std::pair<int, KeptAnalysis>, CombinationResults> m_entries;
};

extern CombinationResultStore g_combinationResults;

// Fills `out` with the records of the last run of the calculation object: first-order, creep, eigenvalue and
// second-order records, shear, crack check, fire, foundation loads and the required reinforcement, one
// record per combination and pass; records already in `out` stay in front. gbStart is the slot where the
// serviceability combinations begin: what RechneStuetze returned (after RechneRegelNachweis, what that
// returned). Reads the combination files again; shows no message. Returns 0.
int DruckeErgebnisse(int gbStart, CResultContainer& out);

// The number of members the last run divided each of `nFields` fields into, in the order of the data model's
// fields (the engine counts them from the other end); 0 for a field the run did not have.
std::vector<int> MembersPerField(int nFields);
