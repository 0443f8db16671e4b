#include "engine/rechner.h"

#include <cstdio>
#include <utility>

#include "engine/messages.h"
#include "engine/nachweis.h"
#include "engine/protocol.h"
#include "designcode/designcode.h"

int NORM = 0;
int NKOMBI = 0;
CStuetzenRechner g_rechner;

void CStuetzenRechner::Init()
{
    // A default-built object, kept once, is the cleared state (the object is too large for the stack).
    static const CStuetzenRechner kLeer;
    *this = kLeer;
}

void CStuetzenRechner::ZeigeSetupMeldungen(int code)
{
    switch (code) {
    case kSetupKeineKombinationen: EngineMessage("NKOMBI == 0"); break;
    case kSetupZuVieleStaebe: EngineMessage("Mehr als 100 Stababschnitte. Stabteilung bitte Reduzieren."); break;
    case kSetupSpeicher:
        EngineMessage(
            "Das System ist für die Arbeitsfelder der Berechnung zu groß. Bitte Stabteilung "
            "oder Anzahl der Kombinationen verringern.");
        break;
    case kSetupEingabe:
        EngineMessage(meldung.empty() ? "Die Eingabe übersteigt die Grenzen der Berechnung." : meldung.c_str());
        break;
    default: break;
    }
    for (const std::string& text : setupMeldungen)
        EngineMessage(text.c_str());
    setupMeldungen.clear();
}

void CStuetzenRechner::MeldeLaufFehler(int code)
{
    switch (code) {
    case 1: FehlerLog(g_errorLog, 1, "Fehler in der Elementmatrix"); break;
    case 2: FehlerLog(g_errorLog, 1, "Gleichungssystem instabil"); break;
    case 4: {
        // the older DIN 1045, which no input names, warns at 9 % as well
        const designcode::DesignCode* c = designcode::ByEngine(NORM);
        char text[128];
        std::snprintf(text, sizeof text,
                      "Achtung! Bewehrungsgrad > %d%%. Bitte Stützenabmessung bzw Betondeckung ändern.",
                      c ? c->maxRatioPercent : 9);
        EngineMessage(text);
        break;
    }
    case kCodeKnickt: FehlerLog(g_errorLog, 1, "Stuetze knickt"); break;
    case 99: {
        char text[96];
        std::snprintf(text, sizeof text, "Mehr als %d Gleichgewichts- oder Steifigkeitsiterationen", kMaxIterationen);
        FehlerLog(g_errorLog, 1, text);
        break;
    }
    default: break;
    }
}

void CStuetzenRechner::MeldeAuswahlFehler()
{
    EngineMessage(kombi.meldung.c_str());
}

void CStuetzenRechner::ZeigeNachweisHinweise()
{
    // taken first: a message may not add to the list it is read from
    const std::vector<int> hinweise = std::move(nachweisHinweise);
    nachweisHinweise.clear();
    for (int h : hinweise)
        if (const char* text = BrandHinweisText(h))
            EngineMessage(text);
}

void CStuetzenRechner::MeldeVorverformungen(int code)
{
    if (code == kVorverformungOhneBezug)
        EngineMessage("Achtung! Bezugknoten hat res. Verformung 0.0! Ausmitte kann nicht angesetzt werden!");
}

void CStuetzenRechner::MeldeDltr3DFehler(int code, bool elementFehler)
{
    if (elementFehler)
        EngineMessage("errind != 0");
    switch (code) {
    case 1: EngineMessage("Fehler beim aufstellen der Elementmatrizen.\nBitte Stützengeometrie überprüfen."); break;
    case 2:
        EngineMessage(
            "Fehler beim lösen des Gleichungssystems.\nBitte Lagerdefinitionen, Biegesteifigkeiten und "
            "Vorverformungen überprüfen.");
        break;
    case 3: EngineMessage("Fehler in der Bemessung.\nBitte Bemessungsangaben überprüfen."); break;
    case 4: break;  // the driver reports it
    case 5:
        EngineMessage(
            "Das System ist für die Arbeitsfelder der Berechnung zu groß. Bitte Stabteilung "
            "oder Anzahl der Kombinationen verringern.");
        break;
    case kCodeKnickt: EngineMessage(KnickMeldung().c_str()); break;
    case 99: EngineMessage(IterationsMeldung().c_str()); break;
    default:
        if (code > 0 && code < 100) {
            char text[64];
            std::snprintf(text, sizeof text, "Ende mit Fehlernummer = %d", code);
            EngineMessage(text);
        }
        break;
    }
}

std::string CStuetzenRechner::IterationsMeldung() const
{
    std::string text = "Anzahl der max. Iterationsschritte überschritten.";
    if (unruhe.feld <= 0)
        return text + "\nBitte vorh. Bewehrung erhöhen.";
    char zeile[160];
    const std::string wo = unruhe.mode != 1 ? KombiOrt(unruhe.lf) : "Kriechen";
    std::snprintf(zeile, sizeof zeile, ", Feld %d: %s kommen nach %d Iterationen nicht zur Ruhe.", unruhe.feld,
                  unruhe.steifigkeit ? "die Biegesteifigkeiten" : "die Schnittgrößen", kMaxIterationen);
    text += "\n" + wo + zeile;
    std::snprintf(zeile, sizeof zeile, "\nBitte vorh. Bewehrung in Feld %d erhöhen oder den Querschnitt vergrößern.",
                  unruhe.feld);
    return text + zeile;
}

std::string CStuetzenRechner::KombiOrt(int lf) const
{
    char zeile[48];
    std::snprintf(zeile, sizeof zeile, "Kombination %d", lf + 1);
    std::string wo = zeile;
    std::string titel, formel;
    if (KombiTexte(lf, titel, formel))
        wo += " (" + titel + ": " + formel + ")";
    return wo;
}

std::string CStuetzenRechner::KnickMeldung() const
{
    char zeile[200];
    std::snprintf(zeile, sizeof zeile,
                  ", Feld %d: die Stütze knickt. Mit der Biegesteifigkeit ihrer Querschnitte unter ihrer Normalkraft "
                  "ist sie nicht stabil.",
                  knicken.feld);
    return "Stabilitätsversagen.\n" + KombiOrt(knicken.lf) + zeile + "\nBitte den Querschnitt vergrößern.";
}

int CStuetzenRechner::Waehle(int kind, int mode, int stage)
{
    wahlArt = kind;
    wahlModus = mode;
    wahlStufe = stage;
    return kombi.WaehleKombinationen(kind, mode, stage, 0);
}

bool CStuetzenRechner::KombiTexte(int lf, std::string& titel, std::string& formel) const
{
    if (lf < 0 || lf >= kombi.nAusgewaehlt || wahlStufe < 0 || wahlStufe >= kKombiBlocks)
        return false;
    // the selection of the last Waehle, counted again in its block
    int n = 0;
    for (int c = 0; c < kombi.nKombi[wahlStufe] && c < kMaxKombinationen; ++c) {
        std::string t = kombi.titel[wahlStufe][c];
        const int nummer = kombi.sprache == 0 ? NachweisNummerDeutsch(kombi.namensCode, 0, t, 1)
                                              : NachweisNummerEnglisch(kombi.namensCode, 0, t, 1);
        if (!(wahlModus >= 3 ? nummer >= 2 : nummer == wahlArt))
            continue;
        if (n++ == lf) {
            titel = kombi.titel[wahlStufe][c];
            formel = kombi.formel[wahlStufe][c];
            return true;
        }
    }
    return false;
}
