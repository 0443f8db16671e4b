// The design object of one cross-section: the section as numbered groups of points (outline polygons of
// concrete and sets of bars), each of one material with its stress-strain law, and the design state of
// the biaxial iterations. Groups, points and materials are numbered from 1. Lengths in m (entered in cm),
// areas in m2, strains in per mille, stresses and forces in the units of the material table (kN/m2, kN,
// kNm). The strain plane is eps(y, z) = m_eps0 + m_ky y + m_kz z in the section's own coordinates; the
// resultant moments are referred to the reference point (m_yr, m_zr), the centroid found by stbm3d.
#pragma once

#include <cstdio>
#include <vector>

#include "engine/results.h"

constexpr int kBemMaxGruppen = 100;
constexpr int kBemMaxPunkte = 100;
constexpr int kBemMaxMaterial = 30;
constexpr double kBemLeer = 1.0e9;  // "not given" for m_eps2b and the trace
// kNm: a moment at or below it is what the frame analysis leaves of an exact zero (the design's floor; the shear
// checks count a section as free of moment below it too)
constexpr double kBemMomentNull = 1e-6;

// Gross section values of the concrete polygons (m, m2, m4).
struct QuerschnittsWerte {
    double A = 0.0, ys = 0.0, zs = 0.0, Iy = 0.0, Iz = 0.0;
};

// The record handed to the frame analysis by HoleQuerschnittswerte.
struct QuerschnittsRecord {
    double A = 0.0, Iy = 0.0, Iz = 0.0, Imin = 0.0, E1000 = 0.0;
};

struct BemGesetz;  // the stress-strain law of one material, ready for the integration

// The modes of stbm3d that leave a result record, and that record's index in cBem::m_erg.
enum BemMode {
    kBemStrainState = 2,  // strain state under given forces, with the bending stiffnesses
    kBemUltimate = 3,     // ultimate safety of given forces
    kBemDesign = 4,       // reinforcement design
};

// The result slots of the design object (m_slots), filled with the results of every mode and read by later
// checks: the forces (kN, kNm), per reinforcement kind 1 and 2 four values (summed area in cm2, the kind,
// bwfakt, the area times bwfakt where that is above 1), the safety factor, the strain plane and edge strains
// (per mille), the neutral-axis width (cm) and the tension zone (m2).
enum BemSlot {
    kBemSlotN = 0,
    kBemSlotMy = 1,
    kBemSlotMz = 2,
    kBemSlotKind1 = 3,  // kind 2 four slots on
    kBemSlotsPerKind = 4,
    kBemSlotGamma = 11,
    kBemSlotEps0 = 12,
    kBemSlotKy = 13,
    kBemSlotKz = 14,
    kBemSlotEps1b = 15,
    kBemSlotEps2b = 16,
    kBemSlotEps2s = 17,
    kBemSlotNeutralWidth = 18,
    kBemSlotTensionZone = 19,
};

// Result record of one mode of stbm3d.
struct BemErgebnis {
    double N = 0.0, My = 0.0, Mz = 0.0;
    double faktor = 0.0, gamma = 0.0;  // mode 4 only
    double alfM = 0.0, alfK = 0.0;     // degrees
    double dmdk = 0.0;
    double nullinie = 0.0;  // neutral axis angle, degrees
    double y0 = 0.0, z0 = 0.0;
    double eps1b = 0.0, eps2b = 0.0, eps2s = 0.0;
    double asZug = 0.0, sigStahl = 0.0, zugzone = 0.0;  // mode 2 only
    double nullinienbreite = 0.0;                       // mode 2 only, m
};

// Resultants of a strain plane with their split into compression and tension.
struct Resultierende {
    double N = 0.0, My = 0.0, Mz = 0.0;
};

// A strain state is found to this strain (per mille) at the section's outermost points: a plane whose last
// step moves them by less is taken. A change below it is rounding to the section.
inline constexpr double kDehnungsAufloesung = 1e-4;

// Codes of the section routines at the engine boundary.
enum BemCode {
    kBemOk = 0,
    kBemDehnungUeberschritten = 1,  // DEHNZU: no strain state within the ultimate strains
    kBemKeineBewehrung = 3,         // design groups without area: nothing to scale
};

class cBem {
public:
    cBem();

    // ---- definition (section design core) ----
    int SetzeMaterial(int mode, const double* values);
    int SetzeQuerGruppe(int g, int npkt, int material, int type, const double* yCm, const double* zCm,
                        const double* areas, int kind);
    QuerschnittsWerte BerechneQuerschnittswerte() const;
    // Second moments of area of the bars (m4) about the concrete's centroid: Iy of their z, Iz of their y.
    void BewehrungsTraegheit(double& Iy, double& Iz) const;
    void HoleQuerschnittswerte(QuerschnittsRecord& record);
    double sigeps(double& sigStahlMax);
    int AsBewehrung(double As[5]);
    void SpeichereErgebnis(int mode, double N, double My, double Mz, double dmdk, double gamma, double mue);
    void DruckeBemTabellen(int mode, int part, double N, double My, double Mz, double dmdk, double gamma, double mue);
    void BerechneNullinienbreite(double& b0, double& zugflaeche);

    // ---- biaxial iterations ----
    int spareq(int kind, double alphaDeg, double k, double& N, double& My, double& Mz);
    int dehn12(double k, int& flag);
    int Sicher(double alpha0, double k0, double& N, double& My, double& Mz, double& gamma, int& code);
    // Derivatives of the resultants (rows N, Mz, My) of the current plane by (eps0, ky, kz), from the same
    // integration as spareq in kind 2 without domain mapping.
    void Tangente(double J[3][3]) const;
    int DEHNZU(double& N, double& My, double& Mz, double eps0, double ky, double kz, double& dmdk, int& code);
    int IteriereBewVerhaeltnis(double as, double N, double My, double Mz, double minmue, double maxmue, double& mue,
                               double& gamma, int& code);
    static double GammaAusDehnung(double eps);

    // ---- dispatcher ----
    int stbm3d(int mode, const int* intParams, const double* realParams);
    // Moment components that are round-off against the section's forces become exactly zero: within 1e-9 of
    // |N| h + |M| (h the section's largest coordinate, m) or below 1e-6 kNm.
    void OhneRundung(double N, double& My, double& Mz) const;
    void BerechneBezugspunkt();
    int WaehleBewehrungsbild(double N, double My, double Mz);

    // ---- what the records keep ----
    // The strain plane and forces that mode kBemStrainState or kBemUltimate left.
    SectionState StateOf(BemMode mode) const;
    // The crack check: the strain state a serviceability combination left.
    SectionCrack CrackState() const;

    // ---- reinforcement ----
    double HoleAS() const;
    double AsErhoeheung(double fakt);
    void SetzeAsMin(double aso);
    void MindestBewehrung(int code, double N);
    int SetzeAS(double asmax);
    int FaserSpannungen(double eps0, double epsT);

    // ---- helpers ----
    static double Vorzeichen(double a, double b);
    static int MatIndex(int k) { return 30 * k - 1; }
    static double PolygonFlaeche(int n, const double* y, const double* z, double& umfang);

    // Property k (0..5) of material m (1..30).
    double Mat(int k, int m) const { return m_mat[MatIndex(k) + m]; }
    bool IstBeton(int g) const { return m_istBeton[m_gmat[g]] != 0; }
    bool IstBewehrung(int g) const { return !IstBeton(g); }
    // Stress of material m at strain eps (offset included) with the concrete tension factor t.
    double Spannung(int m, double eps, double t) const;
    // The concrete tension factor of material m for the current m_eps2b.
    double ZugFaktor(int m, bool offsetAus) const;

    // ---- groups (1-based) ----
    int m_nqgr = 0;
    int m_gmat[kBemMaxGruppen + 1] = {};
    int m_npkt[kBemMaxGruppen + 1] = {};
    int m_gerst[kBemMaxGruppen + 1] = {};
    int m_gtyp[kBemMaxGruppen + 1] = {};
    int m_exbemgr[kBemMaxGruppen + 1] = {};
    int m_gpoly[kBemMaxGruppen + 1] = {};
    int m_bemgr[kBemMaxGruppen + 1] = {};
    double m_agr[kBemMaxGruppen + 1] = {};

    // ---- points (1-based) ----
    double m_py[kBemMaxPunkte + 1] = {};
    double m_pz[kBemMaxPunkte + 1] = {};
    double m_pa[kBemMaxPunkte + 1] = {};
    double m_peps[kBemMaxPunkte + 1] = {};
    double m_psig[kBemMaxPunkte + 1] = {};

    // ---- summary ----
    double m_ac = 0.0;     // total concrete area, m2
    double m_ymax = 0.0;   // largest |y|, m
    double m_zmax = 0.0;   // largest |z|, m
    double m_tiefe = 0.0;  // largest z range of a polygon group, m

    // ---- materials ----
    double m_mat[6 * kBemMaxMaterial] = {};
    int m_nmat = 0;
    int m_istBeton[kBemMaxMaterial + 1] = {};
    double m_E = 34000.0;  // modulus of material 1, N/mm2
    double m_epscu = 0.0, m_eps1c = 0.0, m_epsud = 0.0;

    // ---- design state ----
    int m_bwbild = 0;
    int m_druckbew = 0;
    double m_eps0 = 0.0, m_ky = 0.0, m_kz = 0.0;
    double m_eps1b = 0.0, m_eps2b = kBemLeer, m_eps2s = 0.0;
    double bwfakt = 1.0;
    double m_EIy = 0.0, m_EIz = 0.0;
    double m_By = 0.0, m_Bz = 0.0;
    // A plane of the strain state without curvature has no secant stiffness; its stiffness is the slope of its
    // moment at the section's axial force, which says whether a straight column stands (0 in a plane with curvature).
    double m_ByGerade = 0.0, m_BzGerade = 0.0;
    int m_zustand = 1;              // section state counter: 1 after a reset, 0 after stbm3d
    double m_yr = 0.0, m_zr = 0.0;  // reference point, m
    double m_steuer[6] = {};
    double m_gammaErf = 0.0;
    int m_code = 0;
    int m_kd = 0;
    int m_querTyp = 1;
    int m_norm = 1;
    int m_minBew = 0;                             // minimum reinforcement set
    double m_cOben = 0.0, m_cUnten = 0.0;         // covers of the upper and lower reinforcement, cm
    double m_minmue = 0.0, m_maxmue = 0.0;        // percent
    double m_mue = 0.0;                           // ratio of the last design, percent
    bool m_shortAtMaxRatio = false;               // the last design does not carry its forces at m_maxmue
    double m_nu = 0.0, m_myu = 0.0, m_mzu = 0.0;  // ultimate forces of the last design run
    double m_fyd = 0.0;  // design yield strength, kN/m2 (0: taken from the first steel material)

    // ---- Sicher normalisation ----
    double m_nn = 1.0, m_myn = 1.0, m_mzn = 1.0, m_ey0 = 0.0, m_ez0 = 0.0;
    // ---- partial resultants of the last spareq ----
    Resultierende m_druck, m_zug;
    // m, between the two resultants; 0 without a tension resultant (below 1 kN)
    double m_hebel = 0.0;
    int m_sicherSchritte = 0;                      // Newton steps of the last Sicher
    double m_sicherAlpha = 0.0, m_sicherK = 99.0;  // direction and domain where the last Sicher ended
    int m_limitErreicht = 0;                       // 1 when the last iteration stopped at its step limit (also traced)

    // ---- results ----
    BemErgebnis m_erg[5];  // modes 1..4
    double m_slots[30] = {};
    double m_dmdk = 0.0;
    // fibre evaluation
    double m_sigBetonMax = 0.0, m_sigBetonMin = 0.0, m_sigStahlMax = 0.0, m_asZugFaser = 0.0, m_frei = 0.0;

private:
    // Steps of WaehleBewehrungsbild.
    struct Bildlage;
    void ErfasseSpannungsbild(Bildlage& L) const;
    void PruefeDruckzone(Bildlage& L);
    void VerteileNurDruck(Bildlage& L) const;
    void OrdneGruppenZu(const Bildlage& L);
    void SkaliereGruppe(int g, double f);

    void SetzeSicherNormierung(double N, double My, double Mz);
    void SetzeSekantensteifigkeiten(const double ziel[3], double jac[3][4], double& dmdk);
    void SetzeSteifigkeitenOhneKruemmung();
    bool DehnzuAbsteigend(const double ziel[3], double x[3], double jac[3][4], double F[3]);

    // One evaluated plane of spareq(2, 0, k): what it was asked (the plane and k; the largest concrete strain
    // only where no domain mapping replaces it) and everything it left behind.
    struct Ebene {
        bool gueltig = false;
        double frage[5] = {};  // k, eps0, ky, kz, eps2b
        double N = 0.0, My = 0.0, Mz = 0.0;
        double eps0 = 0.0, ky = 0.0, kz = 0.0, eps1b = 0.0, eps2b = 0.0, eps2s = 0.0, hebel = 0.0;
        Resultierende druck, zug;
    };
    // Per state of the section (its fingerprint): the resultants of the unit planes that scale the capacity
    // search (centric at domains 0 and 33, domain 12 at -90, 90, 0 and 180 degrees), the strain state's
    // start of that search, and planes that come again: the last planes of the capacity search (the next
    // search starts where it ended; a uniaxial one meets its direction among its two probes) and the strain
    // state's start plane with its three difference planes (the same for every strain state while the
    // search before it ends at the same plane).
    struct Einheitsebenen {
        std::vector<unsigned char> abdruck;
        bool gueltig[6] = {};
        double F[6][3] = {};
        double startAlpha = 0.0, startK = 99.0;  // where the strain state's capacity search starts (99: none)
        Ebene suche[4];
        int sucheNaechste = 0;
        Ebene dehnStart[4];
    };
    static constexpr int kEintraege = 4;
    Einheitsebenen m_einheit[kEintraege];
    int m_einheitAktiv = 0, m_einheitNaechster = 0;

    // Per state of the section: the reference point and what its uniform shortening leaves behind. The
    // first design after a reset sees the concrete alone, the later ones the whole section: two entries.
    struct Bezugspunkt {
        std::vector<unsigned char> abdruck;
        double eps2b = 0.0;
        double yr = 0.0, zr = 0.0, eps1b = 0.0, eps2s = 0.0, hebel = 0.0;
        Resultierende druck, zug;
    };
    Bezugspunkt m_bezug[2];
    int m_bezugNaechster = 0;

    // add the group's compression and tension parts to the running sums
    void PolygonResultierende(int g, bool offsetAus, const double dir[2], const BemGesetz& law, Resultierende& druck,
                              Resultierende& zug) const;
    void PunktResultierende(int g, bool offsetAus, const BemGesetz& law, Resultierende& druck,
                            Resultierende& zug) const;
    void PolygonTangente(int g, bool offsetAus, const double dir[2], const BemGesetz& law, double T[6]) const;
    void PunktTangente(int g, bool offsetAus, const BemGesetz& law, double T[6]) const;
    void SetzeEinheitsebene(double alpha);
    // spareq(2, 0, k, ...) on the current plane, answered from one of the kept planes when it is that very
    // plane; else evaluated and kept in *ablage (when given): true then. Only valid while the fingerprint
    // that PruefeEinheitsebenen last checked stands.
    bool SpareqGemerkt(Ebene* gemerkt, int anzahl, Ebene* ablage, double k, double& N, double& My, double& Mz);
    void NormiereKraefte(double N, double My, double Mz, double& n, double& my, double& mz) const;
    void AuswertungNorm(double alpha, double k, double psi1, double psi2, double& e1, double& e2, double& rho,
                        double nmm[3]);
    double Randdehnungen();  // sets m_eps1b, m_eps2s; returns the largest concrete strain
    void Abdruck(std::vector<unsigned char>& out) const;
    void PruefeEinheitsebenen();
    // Sicher for a section whose fingerprint PruefeEinheitsebenen has just checked
    int SicherGeprueft(double alpha0, double k0, double& N, double& My, double& Mz, double& gamma, int& code);
    void Einheitsebene(int slot, double alpha, double k, double& N, double& My, double& Mz);
    bool SicherEinschliessen(double& alpha, double& k, double psi1, double psi2, bool biaxial, double& e1, double& e2,
                             double& rho, double nmm[3]);
    void DruckeZeile(char sep, const char* l1, double v1, const char* l2, double v2, const char* l3, double v3);
};
