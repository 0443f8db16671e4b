#include "engine/protocol.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstring>

DebugProtocol g_protokoll;
DebugProtocol g_trace;
DebugProtocol* g_errorLog = nullptr;
int g_errorLogLines = 0;

namespace {
constexpr std::size_t kFlushSize = 1 << 16;

// The protocol writes thousands of lines per run, nearly all with %d, %s and %f: those are written here, the
// same characters as printf's, at a fraction of its cost. A format with anything else goes to printf whole.
constexpr int kMaxPrecision = 20;

bool Einfach(const char* f)
{
    for (; *f; ++f) {
        if (*f != '%')
            continue;
        ++f;
        if (*f == '%')
            continue;
        if (*f == '-')
            ++f;
        if (*f == '0')  // a zero flag, not a width
            return false;
        for (int stellen = 0; std::isdigit(static_cast<unsigned char>(*f)); ++f)
            if (++stellen > 3)
                return false;
        bool genau = false;
        if (*f == '.') {
            ++f;
            int p = 0;
            if (!std::isdigit(static_cast<unsigned char>(*f)))
                return false;
            while (std::isdigit(static_cast<unsigned char>(*f)))
                p = p * 10 + (*f++ - '0');
            if (p > kMaxPrecision)
                return false;
            genau = true;
        }
        if (*f == 'l' && f[1] == 'f')
            ++f;
        if (*f == 'f' || ((*f == 'd' || *f == 's') && !genau))
            continue;
        return false;
    }
    return true;
}

void Schreibe(std::string& out, const char* f, va_list args)
{
    char zahl[512];  // the largest double in %f with the largest precision and its sign
    while (*f) {
        if (*f != '%') {
            const char* ende = f;
            while (*ende && *ende != '%')
                ++ende;
            out.append(f, static_cast<std::size_t>(ende - f));
            f = ende;
            continue;
        }
        ++f;
        if (*f == '%') {
            out += '%';
            ++f;
            continue;
        }
        const bool links = *f == '-';
        if (links)
            ++f;
        std::size_t breite = 0;
        while (std::isdigit(static_cast<unsigned char>(*f)))
            breite = breite * 10 + static_cast<std::size_t>(*f++ - '0');
        int genauigkeit = 6;
        if (*f == '.') {
            genauigkeit = 0;
            for (++f; std::isdigit(static_cast<unsigned char>(*f));)
                genauigkeit = genauigkeit * 10 + (*f++ - '0');
        }
        if (*f == 'l')
            ++f;
        const char* text = zahl;
        std::size_t laenge = 0;
        if (*f == 's') {
            text = va_arg(args, const char*);
            if (!text)
                text = "(null)";
            laenge = std::strlen(text);
        } else if (*f == 'd') {
            laenge = static_cast<std::size_t>(std::to_chars(zahl, zahl + sizeof zahl, va_arg(args, int)).ptr - zahl);
        } else {
            const double wert = va_arg(args, double);
            if (std::isfinite(wert))
                laenge = static_cast<std::size_t>(
                    std::to_chars(zahl, zahl + sizeof zahl, wert, std::chars_format::fixed, genauigkeit).ptr - zahl);
            else
                laenge = static_cast<std::size_t>(std::snprintf(zahl, sizeof zahl, "%.*f", genauigkeit, wert));
        }
        ++f;
        if (!links && breite > laenge)
            out.append(breite - laenge, ' ');
        out.append(text, laenge);
        if (links && breite > laenge)
            out.append(breite - laenge, ' ');
    }
}

std::string& Path()
{
    static std::string path = "kolumoorg.txt";
    return path;
}
}  // namespace

const std::string& ProtocolPath()
{
    return Path();
}

void SetProtocolPath(const std::string& path)
{
    Path() = path;
}

DebugProtocol::~DebugProtocol()
{
    Close();
}

bool DebugProtocol::Open(const char* path)
{
    Close();
    m_buffer.clear();
    m_file = std::fopen(path, "w+");
    return m_file != nullptr;
}

void DebugProtocol::OpenInMemory()
{
    Close();
    m_buffer.clear();
    m_inMemory = true;
}

void DebugProtocol::Close()
{
    if (m_file) {
        Flush();
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_inMemory = false;
}

void DebugProtocol::Flush()
{
    if (m_file && !m_buffer.empty()) {
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file);
        m_buffer.clear();
    }
}

void DebugProtocol::Printf(const char* format, ...)
{
    if (!IsOpen())
        return;
    va_list args;
    va_start(args, format);
    if (Einfach(format)) {
        Schreibe(m_buffer, format, args);
        va_end(args);
        if (m_file && m_buffer.size() >= kFlushSize)
            Flush();
        return;
    }
    char local[512];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(local, sizeof local, format, args);
    va_end(args);
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof local) {
        m_buffer.append(local, static_cast<std::size_t>(n));
    } else if (n >= 0) {
        std::string big(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(big.data(), big.size(), format, copy);
        m_buffer.append(big.data(), static_cast<std::size_t>(n));
    }
    va_end(copy);
    if (m_file && m_buffer.size() >= kFlushSize)
        Flush();
}

int FehlerLog(DebugProtocol* stream, int level, const char* text)
{
    if (!stream)
        return 0;
    ++g_errorLogLines;
    if (level > 0)
        stream->Printf("FEHLER:  %s\n", text);
    else if (level == 0)
        stream->Printf("WARNUNG: %s\n", text);
    return level;
}
