// Reading and writing the combination files of the engine's combination set.
#include <cstdio>
#include <memory>

#include "engine/rechner.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string CStuetzenRechner::KombiDateiName(int kind, int stage) const
{
    char name[64];
    std::snprintf(name, sizeof name, ".Vrb2%dLk%s%d.dat", dateiNummer + 1, KombiArtText(kind), stage);
    return basisPfad + name;
}

int CStuetzenRechner::OeffneKombiDatei(std::string& path, int kind, int stage, int direction)
{
    path = KombiDateiName(kind, stage);
    int result = 0;
    if (direction == 1) {
        File file(std::fopen(path.c_str(), "rb"));
        result = file ? kombi.SICHERN(file.get(), 1) : 0;
        if (result < 0)
            meldung = "Kombinationsdatei " + path + ": " + kombi.meldung;
    } else if (direction == -1) {
        // written beside the target and renamed, so that a failed write leaves no half file
        const std::string temp = path + ".tmp";
        File file(std::fopen(temp.c_str(), "wb"));
        if (!file) {
            kombi.meldung = "Datei " + path + " kann nicht zum Schreiben geöffnet werden !";
            meldung = kombi.meldung;
            result = -1;
        } else {
            const bool written = kombi.SICHERN(file.get(), -1) >= 0;
            const bool closed = std::fclose(file.release()) == 0;
            if (written && closed && std::rename(temp.c_str(), path.c_str()) == 0) {
                result = 0;
            } else {
                std::remove(temp.c_str());
                kombi.meldung = "Datei " + path + " kann nicht zum Schreiben geöffnet werden !";
                meldung = kombi.meldung;
                result = -1;
            }
        }
    }
    kombi.nDatei = result < 0 ? 0 : result;
    kombi.sprache = 0;
    return result;
}
