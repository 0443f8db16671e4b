// The result records of a column calculation that outlive the run, one array per kind in the
// container. Units: kN, kNm, m, cm2, per mille; Kote is the height of the result point in m.
#pragma once

#include <memory>
#include <vector>

using ResultColumn = std::vector<double>;
using ResultIntColumn = std::vector<int>;

class CResultSchnittgroessen {
public:
    CResultSchnittgroessen() { Reset(); }
    virtual ~CResultSchnittgroessen() = default;
    CResultSchnittgroessen(const CResultSchnittgroessen&) = default;
    CResultSchnittgroessen& operator=(const CResultSchnittgroessen&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, N, Vy, Vx, My, Mx, ErfAs, AsAb, By, Bx, Eta;
};

// Ultimate-check and strain-check records share their layout.
class CResultBruchschnittgroessen {
public:
    CResultBruchschnittgroessen() { Reset(); }
    virtual ~CResultBruchschnittgroessen() = default;
    CResultBruchschnittgroessen(const CResultBruchschnittgroessen&) = default;
    CResultBruchschnittgroessen& operator=(const CResultBruchschnittgroessen&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, N, My, Mx, eps1, eps2, epss, alfa;
};

class CResultDehnschnittgroessen : public CResultBruchschnittgroessen {
public:
    using CResultBruchschnittgroessen::CResultBruchschnittgroessen;
};

class CResultBrandschnittgroessen {
public:
    CResultBrandschnittgroessen() { Reset(); }
    virtual ~CResultBrandschnittgroessen() = default;
    CResultBrandschnittgroessen(const CResultBrandschnittgroessen&) = default;
    CResultBrandschnittgroessen& operator=(const CResultBrandschnittgroessen&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0, OK = 0;
    ResultColumn Kote, N, My, Mx, Nrd, alfa, minB, minDeck, As;
};

class CResultLagerkraefte {
public:
    CResultLagerkraefte() { Reset(); }
    virtual ~CResultLagerkraefte() = default;
    CResultLagerkraefte(const CResultLagerkraefte&) = default;
    CResultLagerkraefte& operator=(const CResultLagerkraefte&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, Apx, Apy, Apz, Amy, Amx;
};

class CResultVerformung {
public:
    CResultVerformung() { Reset(); }
    virtual ~CResultVerformung() = default;
    CResultVerformung(const CResultVerformung&) = default;
    CResultVerformung& operator=(const CResultVerformung&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    double Eigen[6] = {};  // the two lowest eigenvalues with the largest displacements of each shape
    ResultColumn Kote, u, v, w, phix, phiy, v0, w0;
};

class CResultSchub {
public:
    CResultSchub() { Reset(); }
    virtual ~CResultSchub() = default;
    CResultSchub(const CResultSchub&) = default;
    CResultSchub& operator=(const CResultSchub&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, ved, cot, vrdct, vrdmax, asb;
};

class CResultRissnachweis {
public:
    CResultRissnachweis() { Reset(); }
    virtual ~CResultRissnachweis() = default;
    CResultRissnachweis(const CResultRissnachweis&) = default;
    CResultRissnachweis& operator=(const CResultRissnachweis&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultColumn Kote, N, My, Mx, eps1, eps2, epss, sigma, azab, nue;
};

class CResultFundkraefte {
public:
    CResultFundkraefte() { Reset(); }
    virtual ~CResultFundkraefte() = default;
    CResultFundkraefte(const CResultFundkraefte&) = default;
    CResultFundkraefte& operator=(const CResultFundkraefte&) = default;
    void Reset();

    int System = 0, LK = 0, Typ = 0;
    ResultIntColumn KNr;
    ResultColumn Kote, Apx, Apy, Apz, Amy, Amx, dAmy, dAmx;
};

class CResultErfAs {
public:
    CResultErfAs() { Reset(); }
    virtual ~CResultErfAs() = default;
    CResultErfAs(const CResultErfAs&) = default;
    CResultErfAs& operator=(const CResultErfAs&) = default;
    void Reset();

    ResultColumn Kote, As;
    ResultIntColumn QuerNr, LKNr, NachTyp;
};

// The ten record arrays, in the order of the child elements of "result".
class CResultContainer {
public:
    CResultContainer() = default;
    virtual ~CResultContainer() = default;
    CResultContainer(const CResultContainer&) = delete;
    CResultContainer& operator=(const CResultContainer&) = delete;

    std::vector<std::unique_ptr<CResultSchnittgroessen>> Schnittgroessen;
    std::vector<std::unique_ptr<CResultBruchschnittgroessen>> Bruchschnittgroessen;
    std::vector<std::unique_ptr<CResultBrandschnittgroessen>> Brandschnittgroessen;
    std::vector<std::unique_ptr<CResultDehnschnittgroessen>> Dehnschnittgroessen;
    std::vector<std::unique_ptr<CResultLagerkraefte>> Lagerkraefte;
    std::vector<std::unique_ptr<CResultVerformung>> Verformung;
    std::vector<std::unique_ptr<CResultSchub>> Schub;
    std::vector<std::unique_ptr<CResultRissnachweis>> Rissnachweis;
    std::vector<std::unique_ptr<CResultFundkraefte>> Fundkraefte;
    std::vector<std::unique_ptr<CResultErfAs>> ErfAs;
};

// The engine's own result container (its fire pass appends to it).
extern CResultContainer g_ergebnisse;
