// Concrete and reinforcing-steel values of a design code and grade, for the report (characteristic
// values), the frame analysis and verification (design values of the stress-strain laws) and the shear
// checks. Strengths are returned in kN/m2 (the catalogue holds N/mm2), strains in per mille.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/input.h"

// ---- Catalogue access -------------------------------------------------------------------------------
// MaterialKatalog, the catalogue as the engine sees it, is part of the engine's input (engine/input.h).

// ---- User materials ----------------------------------------------------------------------------------
// The user-material switch and the two user tables are model input of the calculation object
// (CStuetzenRechner::userMaterial, userBeton, userStahl); with the switch at 1 the values come from them
// instead of the catalogue.

// ---- Values of the stress-strain laws -----------------------------------------------------------------
// Concrete of engine code `code` (0, 1, 2, 3, 11, 12, 13) and grade index `grade`: fck, fcd (kN/m2), the
// strain at the end of the curve eps1 and the ultimate strain eps2 (per mille, negative), Ecm (N/mm2) and
// the exponent of the curve (form). `mode` 2 selects the law for the frame analysis. Returns 0.
int HoleBetonRechenwerte(int code, int fireSwitch, int shapeClass, int mode, int grade, double& fck, double& fcd,
                         double& eps1, double& eps2, double& Ecm, double& form, double factor, int accidental);
// Steel: fyd (kN/m2), yield strain (per mille, negative), strain limit (per mille), E (N/mm2), fyk (kN/m2).
int HoleStahlRechenwerte(int code, int grade, double& fyd, double& epsy, double& epsu, double& E, double& fyk,
                         double factor, int accidental);
// The same for the report and the preparation of the sections (accidental partial factors of the catalogue).
int HoleBetonKennwerte(int code, int fireSwitch, int shapeClass, int mode, int grade, double& fck, double& fcd,
                       double& eps1, double& eps2, double& Ecm, double& form, double factor, int accidental);
int HoleStahlKennwerte(int code, int grade, double& fyd, double& epsy, double& epsu, double& E, double& fyk,
                       double factor, int accidental);

// ---- Laws of a section's design object -----------------------------------------------------------------
// Seven values each: strength f (kN/m2), eps1, eps_u, eps3, eps4 (per mille), exponent n, modulus E (N/mm2;
// 0 for the steel).
// Concrete of the ultimate check and the design: linear up to eps1, then constant, no tension.
void BetonGesetzBruch(int code, int shapeClass, int grade, int accidental, double gesetz[7]);
// Reinforcing steel, elastic-plastic: `brand` 1 the steel of the fire pass (the design values of its accidental
// situation), 0 the steel of the persistent situation.
void StahlGesetz(int code, int grade, int brand, double gesetz[7]);

// One concrete value in N/mm2 for the shear checks; `what`: 0 fck, 1 fcd, 2 fcm, 3 modulus, 4 fctm,
// 5 0.7 fctm, 6 1.3 fctm, 7 zero, 8 tau_cd, 9 gamma x 1000, 10 9.5e6 (fcm/1000)^(1/3).
double HoleBetonBemessungswerte(int code, int grade, int what, int ecmMode, int fireSwitch, double factor,
                                int accidental);
// fyd (what 0) or fyk (what 1) in N/mm2; 0 for any other what.
double HoleStahlBemessungswerte(int code, int grade, int what, int accidental);

// Grade names of a code for the input dialogs: at most 30 concrete and 20 steel names, each cut to 15
// characters, in consecutive slots of 15 characters (buffers need 15 x count + 1 characters).
int HoleMaterialListen(int code, char* betonNamen, char* stahlNamen, int& nBeton, int& nStahl);

// The catalogue code name of an engine code ("" for an unknown code).
const char* KatalogNorm(int code);
