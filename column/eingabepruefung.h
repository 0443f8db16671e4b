// The input check of a column before it is calculated. Input that the calculation would read as zeros, drop or
// cut without a word is refused here; every problem names its field and its value.
#pragma once

#include <string>
#include <vector>

class CFormulaNumber;
class CKolumoData;
class CKolumoQuer;
class Load;

// The problems of the column's input, empty when it can be calculated. `document` is the position the data was
// read from: loads in a stage the column does not have are seen only there.
std::vector<std::string> EingabeFehler(CKolumoData& data, int document);

// Those of the problems above that name a name without a value: one the position defines nowhere ("... val0 =
// \"NXX\": 'NXX' nicht definiert") or one whose definition failed ("... val0 = \"a\": a = 1/0: Division durch
// Null."). The report and the input dialog say them as the calculation does.
std::vector<std::string> UndefinierteNamen(CKolumoData& data, int document);

// The problems of one cross-section as the check above finds them in field `field` of `data`'s column: the input
// dialog refuses a typed value with the same rule and the same words.
std::vector<std::string> QuerschnittFehler(CKolumoData& data, const CKolumoQuer& quer, int field);

// The same for the length of field `field` (from 0): the system page refuses a typed length with them.
std::vector<std::string> FeldlaengeFehler(CKolumoData& data, const CFormulaNumber& length, int field);

// The same for load `index` (from 0) of stage `stage`, as it would lie on `data`'s column, all but its load case
// (the load grid raises the stage's number of load cases to a new one itself): the load grid refuses a typed value
// with them.
std::vector<std::string> LastFehler(CKolumoData& data, int stage, const Load& load, int index);

// The problem of the load case of load `index` (from 0) of stage `stage` as the check above words it: a load case
// that does not exist; "" when it exists.
std::string LastfallFehler(CKolumoData& data, int stage, int index);

// The problems of `nachher` that `vorher` did not have, one a line ("" when there are none): what a typed value
// brings, so that a problem the input had already does not block the edit that mends it.
std::string NeueFehler(const std::vector<std::string>& vorher, const std::vector<std::string>& nachher);

// Shows the problems in one message box; false when there were any (the calculation must not run).
bool PruefeEingabe(CKolumoData& data, int document);

// Where the engineer forms the actions and combinations anew after the load cases changed, as a request.
std::string EinwirkungenNeuBilden();

// A combination as the input check and the calculation's messages name it, in the words of the report: the stage,
// its number in the stage's list, its kind and formula ("Endsystem, Kombination 3 (Ed) "1.35*(1)+1.50*(2)"").
std::string KombinationsText(const CKolumoData& data, int stage, int index);

// A combination formula as the engine reads it: terms "factor*(load case+load case...)" joined by "+"; a decimal
// comma is a decimal point. False, with the reason, for anything else.
struct KombiGlied {
  double faktor = 0.0;
  std::vector<int> lastfaelle;
};
bool LeseKombiFormel(const std::string& formel, std::vector<KombiGlied>& glieder, std::string& grund);
