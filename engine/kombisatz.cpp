#include "engine/kombisatz.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/protocol.h"
#include "platform/win/base/codepage.h"

namespace {

// Tokens of a combination file: separated by blanks and line ends.
class Tokens {
public:
    explicit Tokens(std::string_view text) : m_text(text) {}

    bool Next(std::string_view& token)
    {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size())
            return false;
        const std::size_t begin = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]))
            ++m_pos;
        token = m_text.substr(begin, m_pos - begin);
        return true;
    }
    // Reads one number in the C locale; false at the end or for a token that is not a number.
    template <class T>
    bool Number(T& value)
    {
        std::string_view token;
        if (!Next(token))
            return false;
        const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
        return ec == std::errc() && end == token.data() + token.size();
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Appends a real as "%f" does in the C locale, whatever the process locale.
void AppendFixed(std::string& out, double value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, ec == std::errc() ? end : buffer);
}

void AppendInt(std::string& out, int value)
{
    char buffer[16];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

const char* const kTitelDeutsch[][7] = {
    {"KNSW", "Regelb.", "Rißn.", nullptr, nullptr, nullptr, nullptr},
    {"Ed", "Ed,A", "Ed,quasi_ständig", "Ed,häufig", "Ed,nicht_häufig", "Ed,selten", nullptr},
    {"GZ1", "GZ2", "Ed,quasi_ständig", "Ed,häufig", "Ed,nicht_häufig", "Ed,selten", "GZ1"},
};
const char* const kTitelEnglisch[][7] = {
    {"KNSW", "Regelb.", "Rißn.", nullptr, nullptr, nullptr, nullptr},
    {"Ed", "Ed,A", "Ed,quasi_ständig", "Ed,häufig", "Ed,nicht_häufig", "Ed,selten", "GZ1"},
    {"Ed", "Ed,acc", "Ed,ser-l", "Ed,frequ", "Ed,infr", "Ed,rare", "GZ1"},
};

// Looks a title up in a row (the last match wins: "GZ1" at 0 and 6 gives 6) or writes one.
int TitelLookup(const char* const* row, int number, std::string& title, int direction)
{
    if (!row)
        return -1;
    if (direction == 0) {
        if (number < 0 || number > 6 || !row[number])
            return -1;
        title = row[number];
        return number;
    }
    const std::string wanted = win::AsUtf8(title);
    for (int n = 6; n >= 0; --n)
        if (row[n] && wanted == row[n])
            return n;
    return -1;
}

}  // namespace

const char* KombiArtText(int art)
{
    static const char* const kTexte[] = {"Tr", "Gb", "Ed", "EdA", "EdB"};
    return art >= 0 && art <= 4 ? kTexte[art] : "";
}

int NachweisNummerDeutsch(int code, int number, std::string& title, int direction)
{
    const char* const* row = nullptr;
    if (code == 0)
        row = kTitelDeutsch[0];
    else if (code == 1 || code == 2 || code == 3 || code == 11 || code == 12 || code == 13)
        row = kTitelDeutsch[1];  // the national annexes of EC2 (11, 12, 13) share the EC2 titles
    else if (code == 21)
        row = kTitelDeutsch[2];
    return TitelLookup(row, number, title, direction);
}

int NachweisNummerEnglisch(int code, int number, std::string& title, int direction)
{
    const char* const* row = nullptr;
    if (code == 0)
        row = kTitelEnglisch[0];
    else if (code == 1 || code == 2)
        row = kTitelEnglisch[1];
    else if (code == 3)
        row = kTitelEnglisch[2];
    return TitelLookup(row, number, title, direction);
}

int CKombiSatz::Lesen(const std::string& text)
{
    // Read into a copy so that a refused file leaves the set as it was.
    auto neu = std::make_unique<CKombiSatz>(*this);
    Tokens in(text);
    auto refuse = [this](const std::string& why) {
        meldung = why;
        return -1;
    };
    const std::string unvollstaendig = "Kombinationsdatei unvollständig oder fehlerhaft.";
    if (!in.Number(neu->namensCode))
        return refuse(unvollstaendig);
    int total = 0;
    for (int b = 0; b < kKombiBlocks; ++b) {
        int nl = 0, nf = 0, x = 0;
        if (!in.Number(nl) || !in.Number(nf) || !in.Number(x))
            return refuse(unvollstaendig);
        if (nl <= 0) {
            neu->nLasten[b] = 0;
            neu->nLf[b] = 0;
            neu->nx[b] = 0;
            continue;
        }
        if (nl > kMaxLasten)
            return refuse("Kombinationsdatei: mehr als 50 Lasten in einem Bauzustand.");
        if (nf < 0 || nf > kMaxLastfaelle)
            return refuse("Kombinationsdatei: mehr als 50 Lastfälle in einem Bauzustand.");
        neu->nLasten[b] = nl;
        neu->nLf[b] = nf;
        neu->nx[b] = x;
        for (int i = 0; i < nl; ++i)
            if (!in.Number(neu->lastLf[b][i]))
                return refuse(unvollstaendig);
        for (int(*row)[kMaxLastfaelle] : {neu->lfGruppe, neu->lfVariabel, neu->lfAktion})
            for (int i = 0; i < nf; ++i)
                if (!in.Number(row[b][i]))
                    return refuse(unvollstaendig);
        for (int i = 0; i < 8; ++i)
            if (!in.Number(neu->flags[b][i]))
                return refuse(unvollstaendig);
        for (int i = 0; i < nf; ++i)
            for (int c = 0; c < 7; ++c)
                if (!in.Number(neu->faktoren[c][b][i]))
                    return refuse(unvollstaendig);
        int m = 0;
        if (!in.Number(m) || m < 0)
            return refuse(unvollstaendig);
        if (m > kMaxKombinationen)
            return refuse("Kombinationsdatei: mehr als 200 Kombinationen in einem Bauzustand.");
        neu->nKombi[b] = m;
        for (int c = 1; c <= nf; ++c) {
            std::string& list = neu->lastListe[b][c - 1];
            list.clear();
            for (int i = 0; i < nl; ++i)
                if (neu->lastLf[b][i] == c) {
                    if (!list.empty())
                        list += ',';
                    AppendInt(list, i + 1);
                }
        }
        for (int c = 0; c < m; ++c) {
            std::string_view t, f;
            if (!in.Next(t) || !in.Next(f))
                return refuse(unvollstaendig);
            neu->titel[b][c] = win::AsUtf8(t);
            neu->formel[b][c] = std::string(f);
        }
        total += m;
    }
    neu->meldung = "SICHERN: typ = 1 RT = NKOMBI = " + std::to_string(total);
    *this = std::move(*neu);
    return total;
}

std::string CKombiSatz::Schreiben() const
{
    std::string out;
    out += ' ';
    AppendInt(out, namensCode);
    out += '\n';
    for (int b = 0; b < kKombiBlocks; ++b) {
        const int m = nKombi[b];
        const int nf = m > 0 ? nLf[b] : 0;
        // the load-case count NF stands where the reader expects it, so that a written file reads back
        for (int v : {nLasten[b], nf, nx[b]}) {
            out += ' ';
            AppendInt(out, m > 0 ? v : 0);
        }
        out += '\n';
        if (m <= 0)
            continue;
        for (int i = 0; i < nLasten[b]; ++i) {
            out += ' ';
            AppendInt(out, lastLf[b][i]);
        }
        out += '\n';
        for (const int(*row)[kMaxLastfaelle] : {lfGruppe, lfVariabel, lfAktion}) {
            for (int i = 0; i < nf; ++i) {
                out += ' ';
                AppendInt(out, row[b][i]);
            }
            out += '\n';
        }
        for (int i = 0; i < 8; ++i) {
            out += ' ';
            AppendInt(out, flags[b][i]);
        }
        out += '\n';
        for (int i = 0; i < nf; ++i) {
            for (int c = 0; c < 7; ++c) {
                out += ' ';
                AppendFixed(out, faktoren[c][b][i]);
            }
            out += '\n';
        }
        out += ' ';
        AppendInt(out, m);
        out += '\n';
        for (int c = 0; c < m; ++c)
            out += ' ' + titel[b][c] + ' ' + formel[b][c] + '\n';
    }
    return out;
}

int CKombiSatz::SICHERN(std::FILE* file, int direction)
{
    if (!file)
        return -1;
    if (direction == 1) {
        std::string text;
        char buffer[8192];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, n);
        return Lesen(text);
    }
    if (direction != -1)
        return -1;
    const std::string text = Schreiben();
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
        meldung = "Kombinationsdatei konnte nicht vollständig geschrieben werden.";
        return -1;
    }
    int last = 0;
    for (int b = 0; b < kKombiBlocks; ++b)
        if (nKombi[b] > 0)
            last = nKombi[b];
    meldung = "SICHERN: typ = -1 RT = NKOMBI = " + std::to_string(last);
    return last;
}

int ParseKombiFormel(const char* text, int* lf, float* fakt, double& pruefsumme)
{
    struct Gruppe {
        float faktor = 0.0f;
        int n = 0;
        int lf[kMaxLfProGruppe] = {};
    };
    std::vector<Gruppe> gruppen(1);
    std::string token;
    bool overflow = false;
    auto storeLf = [&]() {
        int value = 0;
        std::from_chars(token.data(), token.data() + token.size(), value);
        Gruppe& g = gruppen.back();
        if (g.n >= kMaxLfProGruppe)
            overflow = true;
        else
            g.lf[g.n++] = value;
        token.clear();
    };
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if ((c >= '0' && c <= '9') || c == '.') {
            token += c;
        } else if (c == ',') {
            token += '.';
        } else if (c == '*') {
            double value = 0.0;
            std::from_chars(token.data(), token.data() + token.size(), value);
            gruppen.back().faktor = static_cast<float>(value);
            token.clear();
        } else if (c == '+') {
            if (!token.empty())
                storeLf();
        } else if (c == ')') {
            storeLf();
            if (gruppen.size() >= kMaxFaktorGruppen + 1) {
                overflow = true;
                break;
            }
            gruppen.emplace_back();
        }
    }
    if (overflow)
        return kKombiFormelZuGross;
    int pairs = 0;
    bool genannt[kMaxLastfaelle + 1] = {};
    for (const Gruppe& g : gruppen) {
        // a term with factor 0 adds nothing; the terms after it still count
        if (g.faktor == 0.0f)
            continue;
        for (int j = 1; j <= g.n; ++j) {
            const int lc = g.lf[j - 1];
            if (lc == 0)
                continue;
            if (lc < 0 || lc > kMaxLastfaelle)
                return kKombiFormelZuGross;
            // a second factor would replace the first without a word
            if (genannt[lc])
                return kKombiFormelDoppelt;
            genannt[lc] = true;
            fakt[lc] = g.faktor;
            lf[lc] = lc;
            ++pairs;
            // the product in single precision, as the factors are kept, where it is a number; summed in doubles,
            // which hold any of them
            const float mal100 = g.faktor * 100.0f;
            const double wert = std::isfinite(mal100) ? mal100 : static_cast<double>(g.faktor) * 100.0;
            pruefsumme += (lc * j + std::trunc(wert)) * lc * j;
        }
    }
    return pairs;
}

int CKombiSatz::WaehleKombinationen(int kind, int mode, int stage, int base)
{
    for (int i = 0; i < 50; ++i)
        start[i] = 0;
    nAusgewaehlt = 0;
    int pos = 0;
    if (stage < 0 || stage >= kKombiBlocks)
        return 0;
    for (int c = 0; c < nKombi[stage]; ++c) {
        const int t = sprache == 0 ? NachweisNummerDeutsch(namensCode, 0, titel[stage][c], 1)
                                   : NachweisNummerEnglisch(namensCode, 0, titel[stage][c], 1);
        g_protokoll.Printf(" typ[%d] === %d NachwNr = %d extNachwNr = %d\n", c, t, kind, mode);
        const bool selected = mode >= 3 ? t >= 2 : t == kind;
        if (!selected)
            continue;
        int lf[kMaxLastfaelle + 1] = {};
        float fakt[kMaxLastfaelle + 1] = {};
        double pruefsumme = 0.0;
        const int paare = ParseKombiFormel(formel[stage][c].c_str(), lf, fakt, pruefsumme);
        if (paare == kKombiFormelDoppelt) {
            meldung = "Kombination '" + formel[stage][c] + "' nennt einen Lastfall mehrmals.";
            return -1;
        }
        if (paare < 0) {
            meldung = "Kombination '" + formel[stage][c] + "' übersteigt 50 Lastfälle oder Faktorgruppen.";
            return -1;
        }
        const int slot = nDatei * mode + nAusgewaehlt + base;
        int count = 0;
        for (int n = 1; n <= kMaxLastfaelle; ++n)
            count += lf[n] != 0 ? 1 : 0;
        if (pos + count > kKombiListe || nAusgewaehlt + 1 >= kKombiListe || slot < 0 || slot >= kKombiListe) {
            meldung = "Zu viele Kombinationen für die Kombinationsliste.";
            return -1;
        }
        for (int n = 1; n <= kMaxLastfaelle; ++n) {
            if (lf[n] == 0)
                continue;
            KolLf[pos] = n;
            KolFakt[pos] = fakt[n];
            g_protokoll.Printf(" n = %d il[%d] = %d fakt[%d] = %.2f\n", nAusgewaehlt, pos, n, pos,
                               static_cast<double>(fakt[n]));
            ++pos;
        }
        slotLaufNr[slot] = laufNr[stage * kMaxKombinationen + c];
        start[nAusgewaehlt + 1] = pos;
        ++nAusgewaehlt;
    }
    for (int i = 0; i < pos; ++i)
        g_protokoll.Printf("KolLf[%d] = %d KolFakt[%d] = %.2f\n", i, KolLf[i], i, static_cast<double>(KolFakt[i]));
    return 0;
}

void CKombiSatz::NummeriereKombinationen()
{
    for (int& n : laufNr)
        n = -1;
    int next = 1;
    for (int b = 0; b < kKombiBlocks; ++b)
        for (int c = 0; c < nKombi[b] && c < kMaxKombinationen; ++c)
            laufNr[b * kMaxKombinationen + c] = next++;
}
