#include "engine/rechner.h"

#include "engine/messages.h"
#include "engine/protocol.h"

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
    case kSetupKeineKombinationen:
        EngineMessage("NKOMBI == 0");
        break;
    case kSetupZuVieleStaebe:
        EngineMessage("Mehr als 100 Stababschnitte. Stabteilung bitte Reduzieren.");
        break;
    case kSetupSpeicher:
        EngineMessage("Das System ist für die Arbeitsfelder der Berechnung zu groß. Bitte Stabteilung "
                      "oder Anzahl der Kombinationen verringern.");
        break;
    case kSetupEingabe:
        EngineMessage(meldung.empty() ? "Die Eingabe übersteigt die Grenzen der Berechnung." : meldung.c_str());
        break;
    default:
        break;
    }
    for (const std::string& text : setupMeldungen)
        EngineMessage(text.c_str());
    setupMeldungen.clear();
}

void CStuetzenRechner::MeldeLaufFehler(int code)
{
    switch (code) {
    case 1:
        FehlerLog(g_errorLog, 1, "Fehler in der Elementmatrix");
        break;
    case 2:
        FehlerLog(g_errorLog, 1, "Gleichungssystem instabil");
        break;
    case 4:
        EngineMessage(NORM == 2 || NORM == 3
                          ? "Achtung! Bewehrungsgrad > 8%. Bitte Stützenabmessung bzw Betondeckung ändern."
                          : "Achtung! Bewehrungsgrad > 9%. Bitte Stützenabmessung bzw Betondeckung ändern.");
        break;
    case 99:
        FehlerLog(g_errorLog, 1, "Mehr als 300 Gleichgewichts- oder Steifigkeitsiterationen");
        break;
    default:
        break;
    }
}
