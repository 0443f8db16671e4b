// The combination set: the load combinations of one kind of combination file, read per construction
// stage, and the selection of the combinations of one verification as (load case, factor) lists.
#pragma once

#include <cstdio>
#include <string>

// Capacities of the combination set.
constexpr int kKombiBlocks = 4;         // one block per construction stage
constexpr int kMaxLasten = 50;          // loads per block (NL)
constexpr int kMaxLastfaelle = 50;      // load cases per block (NF), load-case numbers 1..50
constexpr int kMaxKombinationen = 200;  // combinations per block (m)
constexpr int kMaxFaktorGruppen = 50;   // factor groups per formula text
constexpr int kMaxLfProGruppe = 50;     // load cases per factor group
constexpr int kKombiListe = 10000;      // start table, KolLf, KolFakt, running numbers, slot map

// Kinds of combination file ("Tr", "Gb", "Ed", "EdA", "EdB").
enum KombiArt { kArtTr = 0, kArtGb = 1, kArtEd = 2, kArtEdA = 3, kArtEdB = 4 };
const char* KombiArtText(int art);

class CKombiSatz {
public:
    int namensCode = 0;    // naming code of the last file read: selects the title table
    int nAusgewaehlt = 0;  // combinations selected by the last WaehleKombinationen
    int sprache = 0;       // 0 German titles, else English
    int nDatei = 0;        // count returned by the last file read

    int nLasten[kKombiBlocks] = {};                     // NL per block
    int nKombi[kKombiBlocks] = {};                      // m per block
    int nx[kKombiBlocks] = {};                          // NX per block
    int lastLf[kKombiBlocks][kMaxLasten] = {};          // load-case number (1-based) of each load
    int nLf[kKombiBlocks] = {};                         // NF per block
    int lfGruppe[kKombiBlocks][kMaxLastfaelle] = {};    // per load case: action group
    int lfVariabel[kKombiBlocks][kMaxLastfaelle] = {};  // per load case: 1 variable
    int lfAktion[kKombiBlocks][kMaxLastfaelle] = {};    // per load case: action index + 1 when variable
    int start[kKombiListe] = {};                        // selection c occupies KolLf[start[c] .. start[c+1])
    int KolLf[kKombiListe] = {};
    int laufNr[kKombiListe] = {};                  // running number of each combination (200 per block), -1 none
    int flags[kKombiBlocks][kMaxLastfaelle] = {};  // eight stage flags per block
    float KolFakt[kKombiListe] = {};
    float faktoren[7][kKombiBlocks][kMaxLastfaelle] = {};  // seven real columns per load case
    int slotLaufNr[kKombiListe] = {};                      // result slot -> running number
    std::string formel[kKombiBlocks][kMaxKombinationen];
    std::string titel[kKombiBlocks][kMaxKombinationen];
    std::string lastListe[kKombiBlocks][kMaxLastfaelle];  // "1,4,7": loads of each load case

    std::string meldung;  // the message buffer of the last file operation

    // Reads (direction 1) or writes (-1) the set from/to an open file. Returns the number of combinations
    // read, the count of the last block written, or -1 without a file or for a refused file (the reason
    // is in meldung; a refused file leaves the set as it was).
    int SICHERN(std::FILE* file, int direction);
    // Reads the set from file text; the same as SICHERN(file, 1).
    int Lesen(const std::string& text);
    // The file text of the set.
    std::string Schreiben() const;

    // Selects the combinations of block `stage` whose title has verification number `kind` (mode < 3)
    // or is any serviceability title (mode >= 3). Returns 0, or -1 when a capacity would be exceeded
    // (meldung says which; the selection stops there).
    int WaehleKombinationen(int kind, int mode, int stage, int base);
    void NummeriereKombinationen();

    // Number of (load case, factor) pairs of selected combination c; its first pair is at start[c].
    int PaarAnzahl(int c) const { return start[c + 1] - start[c]; }
};

// Parses a formula text such as "1,35*(1)+1,50*(2+3)+". lf[lc] = lc and fakt[lc] = factor for each
// load case lc (1..50) of a group whose factor is not 0; both tables have 51 entries. Adds
// (lc j + trunc(100 factor)) lc j of each pair (j its place in the group) to the checksum. Returns the
// number of pairs, kKombiFormelZuGross when the text exceeds the capacities (groups, load cases per
// group, load-case numbers), kKombiFormelDoppelt when two groups of factors other than 0 name the
// same load case.
constexpr int kKombiFormelZuGross = -1;
constexpr int kKombiFormelDoppelt = -2;
int ParseKombiFormel(const char* text, int* lf, float* fakt, double& pruefsumme);

// Title <-> verification number. direction 0 writes the title of `number` into title and returns
// number (or -1 when it has none); direction 1 returns the number of title (-1 when unknown).
int NachweisNummerDeutsch(int code, int number, std::string& title, int direction);
int NachweisNummerEnglisch(int code, int number, std::string& title, int direction);
