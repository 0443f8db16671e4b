// Kombra: the load-combination generator.
//
// Flat C calls over int session handles. A session holds one norm, its actions and load cases, and the
// combinations of its last run. Texts are zero-terminated UTF-8; a returned text stays valid until the
// next call that changes what it describes (for combination texts: the next KOMBRA_Calc,
// KOMBRA_SetNumOfKombi or KOMBRA_CloseSession). Invalid handles and indices never crash: they give
// 0, "" or zero factors and leave an error text (KOMBRA_GetLastError).
//
// Norm names: "DIN 1055-100", "DIN 18800" (treated with the rules of DIN 1055-100), "SIA 260:2003",
// "EC" (EN 1990), "EC_NAD" and "EC_NAF" (EN 1990 with the category list of the national annexes).
//
// Load groups (index, type): 0 permanent (0), 1 variable additive (1), 2 variable alternative (2),
// 3 accidental (3), 4 permanent, every load case on its own (4). The load cases of one permanent or
// additive action act together; those of an alternative or accidental action exclude one another, and
// two accidental load cases never act together. A variable action acts only where it is unfavourable:
// every combination is also formed without it, down to the permanent actions alone; an accidental
// combination always holds its accidental load case.
//
// Verification kinds: 0 fundamental "Ed", 1 accidental "Ed,A" (without an accidental action when none
// is defined), 2 characteristic "Ed,char", 3 frequent "Ed,frequ", 4 quasi-permanent "Ed,perm";
// kinds 5 to 15 are accepted and form nothing.
//
// Situations of KOMBRA_GetGamma: 0 persistent and transient (the fundamental combination), 1 accidental,
// 6/7/8 the three partial-factor sets (equilibrium, structure, ground) of persistent situations,
// 9/10/11 the same sets in accidental situations. Pairs are (favourable, unfavourable); action kinds
// are the group types (0 and 4 permanent, 1 and 2 variable, 3 accidental).
//
// Variables: "psi2_kran" (psi2 of crane loads, 0..1), "GInfFactor" (multiplies gamma_G,inf of the
// fundamental combination, above 0), "h" and any other name are kept.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Most combinations of one kind a run may form; the engine holds this many per stage.
#define KOMBRA_MAX_KOMBI_JE_ART 200
// Highest load-case number a session accepts.
#define KOMBRA_MAX_LASTFALL 9999
#define KOMBRA_NUM_NACHWEISE 16

int KOMBRA_StartSession(void);
void KOMBRA_CloseSession(int session);
// The error text of the last failing call, "" after a successful KOMBRA_Calc.
const char* KOMBRA_GetLastError(int session);

void KOMBRA_SetNorm(int session, const char* normName);
void KOMBRA_SetVariable(int session, const char* name, double value);

int KOMBRA_GetNumOfLastGruppen(int session);
const char* KOMBRA_GetLastGruppe(int session, int group);
int KOMBRA_GetLastGruppeType(int session, int group);
void KOMBRA_SetLastGruppe(int session, const char* groupName);
int KOMBRA_GetNumOfLastKat(int session);
const char* KOMBRA_GetLastKat(int session, int category);
// psi0, psi1, psi2 of a category of a variable group; zeros otherwise.
void KOMBRA_GetPsi(int session, int group, int category, double psi[3]);
void KOMBRA_GetGamma(int session, int actionKind, int situation, double gamma[2]);

void KOMBRA_ClearLFEW(int session);
// Without partial and combination factors: every factor is 1.
void KOMBRA_SetNoGammaPsi(int session, int withoutFactors);
void KOMBRA_SetLastfall(int session, int lastfall, int einwirkung);
// withGammaInf: a permanent action is also formed with its favourable factor.
void KOMBRA_DefEinw(int session, int einwirkung, int group, int category, int withGammaInf);
void KOMBRA_EnableNachweis(int session, int kind, int enable);

// Forms the combinations of every enabled kind. 0 on success; -1 with an error text and no
// combinations when the data is not usable or a kind would exceed KOMBRA_MAX_KOMBI_JE_ART.
int KOMBRA_Calc(int session);
int KOMBRA_GetNumOfKombi(int session);
const char* KOMBRA_GetKombiTypStr(int session, int kombi);
// Terms "%.2f*(%d)" (factor, load case) in load-case order, joined by "+".
const char* KOMBRA_GetKombiStr(int session, int kombi);
// Length of every factor list: the highest load-case number known to the session.
int KOMBRA_GetNumOfFaktoren(int session);
// Fills KOMBRA_GetNumOfFaktoren entries: entry i is the factor of load case i + 1, 0 where absent.
void KOMBRA_GetKombi(int session, int kombi, double* factors);

// Stored combinations handed back (for the protocol).
void KOMBRA_SetNumOfKombi(int session, int count);
void KOMBRA_SetKombiStr(int session, int kombi, const char* rule);
void KOMBRA_SetKombiTypStr(int session, int kombi, const char* type);

// Writes an RTF protocol: the factor tables and/or the combination rules with the combinations.
void KOMBRA_Protokoll(int session, int withFactors, int withRules, const char* fileName);

#ifdef __cplusplus
}
#endif
