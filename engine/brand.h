// Tabulated fire resistance of the column's sections: the smallest section dimension b and the axis
// distance a of the reinforcement against the tables of DIN 4102-4 (Table 31, for DIN 1045-1) and of
// DIN EN 1992-1-2 with its German annex (Table 5.2a), by fire resistance class and load level mu_fi, the
// fire normal force over the design resistance at normal temperature (the ultimate check of the section
// under its fire forces with the partial factors of the persistent situation). Where a section falls short,
// its resisting normal force is raised (lowering mu_fi) until the table is met, and the reinforcement is
// designed for that force at normal temperature. Results go to g_rechner.brandBlock.
#pragma once

#include "engine/results.h"  // BrandCode

class cBem;

// Marks the sections of nel elements as not checked because the design code has no fire tables.
void BrandOhneTabellen(int nel);

// Inputs as the verification driver passes them: engine code; elements; forces of the fire combination
// (7 per section, start section 2e then end section 2e + 1; kN, kNm); mode, factors and analysis mode
// (not used); gamma of the run; stride (7); node heights (m, node 0..nel); resistance class (0 R 30,
// 1 R 60, 2 R 90, 3 R 120, 4 R 180); exposure (0 one side, 1 more sides, negative: no table look-up, and
// nothing is required); a third parameter (not used).
int BrandTabelleDIN4102(int code, int nel, const double* forces, int mode, double gamma, int stride,
                        const double* faktoren, const double* knotenX, int analyseModus, int klasse, int seiten,
                        double param3);
int BrandTabelleEC2_DE(int code, int nel, const double* forces, int mode, double gamma, int stride,
                       const double* faktoren, const double* knotenX, int analyseModus, int klasse, int seiten,
                       double param3);

// The reinforcement (m2) the first pass records after designing a section whose design factor is at most
// 1: the area present (a factor below 1 also scales the groups' areas, as cBem::AsErhoeheung does).
double BrandBewehrungVorhanden(cBem& bem);

// Table value (mm, returned in cm) for load level mu and class (0..4) from a table of 15 values: rows for
// mu_fi 0.2, 0.5 and 0.7, five classes each (row r, class c at 5 r + c), linear between the rows.
double InterpoliereBrandtabelleMue(const double* tabelle, double mue, int klasse);
// The same from a table of 30 values whose first 15 hold the column lengths up to l1 and whose last 15
// those from l2 on, interpolated by the column length (m) between them; kind 0 rectangle (l1 = 2.0 m,
// l2 = 6.0 m), 1 any other section (1.7 m, 5.0 m).
double InterpoliereBrandtabelle(const double* tabelle, double mue, int klasse, int art, double laenge);
// Linear interpolation by the column length between the values at l1 and l2 of the kind.
double InterpoliereLaenge(double wertL1, double wertL2, int art, double laenge);

// The tables, in mm, columns R 30 .. R 180.
namespace brand_tabellen {
// DIN 4102-4 Table 31 (b and a, one side and more sides exposed), 30 values each.
extern const double kDinBEinseitig[30];
extern const double kDinAEinseitig[30];
extern const double kDinBMehrseitig[30];
extern const double kDinAMehrseitig[30];
// DIN EN 1992-1-2 Table 5.2a, two options of b with its a, 15 values each.
extern const double kEc2B1Einseitig[15];
extern const double kEc2A1Einseitig[15];
extern const double kEc2B1Mehrseitig[15];
extern const double kEc2A1Mehrseitig[15];
extern const double kEc2B2Mehrseitig[15];
extern const double kEc2A2Mehrseitig[15];
}  // namespace brand_tabellen
