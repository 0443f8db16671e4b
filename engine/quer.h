// The engine's cross-section object: input (type, dimensions, grades, edge distances, reinforcement
// description), outline polygon with openings, section values, torsion core and the design object that
// it fills with materials, groups and points. Dimensions in cm, areas in m2 unless stated.
#pragma once

#include <new>

#include "engine/bem.h"
#include "engine/protocol.h"
#include "engine/rechner.h"

constexpr int kQuerMaxUmriss = 24;  // outline points of the built-in types
constexpr int kQuerMaxOeffnungen = 4;
constexpr int kQuerMaxStaebe = 40;  // bars of the layouts

class cQuer {
public:
    // Stores the input fields; the further value only when it is positive.
    void SetzeEingabe(int typ, int betonGuete, int stahlGuete, int wort, const double d[4], int flag1, int flag2,
                      int flag3, double weiter);
    void HoleEingabe(int& typ, int& betonGuete, int& stahlGuete, int& wort, double d[4], int& flag) const;
    // Builds outline, openings, bars and the design object. r1, r2: reinforcement values (cm2 per pair of
    // bars), c1, c2: edge distances of the bars (cm). Returns 1 when only prepared (design flag < 1), else 0;
    // -1 when the design object refused the section.
    int Bereite(int code, int typ, int betonGuete, int stahlGuete, int wort, const double d[4], int flag,
                int designFlag, double r1, double r2, double c1, double c2);
    // Outline of type 5 (cm); taken over as it is.
    void SetzePolygon(int n, const double* y, const double* z);
    void Torsionskern();
    // Distance (cm) of a circle's or ring's torsion core line from the outline: D/12, and for a ring at most half
    // its wall, so that the effective wall (twice the distance) never reaches into the opening.
    static double KreisKernAbstand(const double d[4]);

    // Circle of 20 points around (y0, z0): s = -1 for outlines, +1 for openings.
    static void Kreispolygon(double y0, double z0, double r, double s, double* y, double* z);

    // ---- input ----
    int m_norm = 1, m_stahlGuete = 0, m_wort = 0, m_flag = 0, m_typ = 1;
    int m_betonGuete = 0;
    double m_r1 = 0.0, m_r2 = 0.0, m_weiter = 0.0;
    double m_d[4] = {};
    double m_dn[11] = {};  // normalised dimensions
    double m_c1 = 0.0, m_c2 = 0.0;
    double m_abstandOben = 0.0, m_abstandUnten = 0.0;  // stored default distances (3.0 where 0)

    // ---- outline ----
    int m_nUmriss = 0, m_nZweit = 0;
    double m_uy[kQuerMaxUmriss] = {}, m_uz[kQuerMaxUmriss] = {};
    double m_zy[kQuerMaxUmriss] = {}, m_zz[kQuerMaxUmriss] = {};  // second polygon (type 1 with D3)
    int m_nOeffnungen = 0;
    int m_oArt[kQuerMaxOeffnungen] = {};
    double m_oMass[kQuerMaxOeffnungen][2] = {};
    int m_oN[kQuerMaxOeffnungen] = {};
    double m_oy[kQuerMaxOeffnungen][20] = {}, m_oz[kQuerMaxOeffnungen][20] = {};

    // ---- section values ----
    // m_Ac is the outline's area and m_Aoeff that of the first opening (or of type 1's second polygon, which
    // is no opening); the concrete is the outline less every opening.
    double m_Ac = 0.0, m_Aoeff = 0.0, m_umfang = 0.0, m_umfangOeff = 0.0;
    double m_AcNetto = 0.0;
    double BetonFlaeche() const { return m_AcNetto; }

    // ---- torsion core ----
    int m_nKern = 0;
    double m_ky[20] = {}, m_kz[20] = {};

    // ---- bars ----
    int m_nStaebe = 0;
    double m_sy[kQuerMaxStaebe] = {}, m_sz[kQuerMaxStaebe] = {}, m_sa[kQuerMaxStaebe] = {};
    double m_asGesamt = 0.0;  // recorded total, cm2

    cBem m_bem;

private:
    void NormiereAbmessungen();
    void BaueUmriss();
    void BaueStaebe();
    void Werte();
};

// The engine's 200 sections: member e owns 2e (start) and 2e + 1 (end). Each is built on its first use: a
// model uses a few of them, and building all of them when the module is loaded would write every page of them.
class QuerFeld {
public:
    QuerFeld() = default;
    ~QuerFeld();
    QuerFeld(const QuerFeld&) = delete;
    QuerFeld& operator=(const QuerFeld&) = delete;

    cQuer& operator[](int i) { return m_gebaut[i] ? *Zeiger(i) : Baue(i); }
    // the whole range, every section built
    cQuer* begin();
    cQuer* end() { return begin() + kMaxQuerschnitte; }

private:
    cQuer* Zeiger(int i) { return std::launder(reinterpret_cast<cQuer*>(m_speicher)) + i; }
    cQuer& Baue(int i);

    alignas(cQuer) unsigned char m_speicher[sizeof(cQuer) * kMaxQuerschnitte];
    bool m_gebaut[kMaxQuerschnitte] = {};
};
extern QuerFeld g_quer;

// Prepares both sections of every member of the model (g_rechner.nStaebe) once per calculation.
int SetzeQuerUm();

// ---- Reinforcement of the sections ----
// The seven design parameters N/g, Vy, Vz, 0, My/g, Mz/g, g from the seven section forces.
void Bemessungsparameter(const double forces[7], double gamma, double out[7]);
// Whether a section's forces (divided by gamma) are all below 1 kN and 1 kNm: Bemessungsparameter gives such a
// section a small compression in their place.
bool OhneLast(const double forces[7], double gamma);
// Reinforcement determination of section iq: design, raised by fakt until stbm3d succeeds. 0 or -1.
int RechneBem(int code, int iq, int mode, double gamma, double fakt, const double forces[7]);
// RechneBem for both sections of every element; forces holds 14 per element.
int RechneBemAlle(int code, int nel, const double* forces, int mode, double gamma);
// Trace list of the reinforcement of both sections of every element.
void BewehrungsListe(DebugProtocol& stream, int nel);
