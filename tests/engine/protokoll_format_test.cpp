// The protocol writes the formats it handles itself character for character as printf does; the reference
// is the C library's own snprintf, over hand-picked values (halves that round to even, negative zero, the
// largest double, non-finite values) and a sweep of values of every magnitude.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "engine/protocol.h"

namespace {

std::string Referenz(const char* format, auto... args)
{
    char text[1024];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string Protokoll(const char* format, auto... args)
{
    DebugProtocol p;
    p.OpenInMemory();
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    p.Printf(format, args...);
#pragma GCC diagnostic pop
    return p.Text();
}

const char* const kDoubleFormate[] = {"%f",    "%lf",    "%.2f",     "%.3f",       "%.4f",  "%.5f",
                                      "%9.5f", "%10.3f", "%-10.3f|", "%.0f",       "%.20f", "%10.3e",
                                      "%.2e",  "%g",     "a%%b %f",  "x = %.3f\n", "%3.1f", "%05.1f"};

}  // namespace

TEST(ProtokollFormat, DoublesAsPrintf)
{
    const double max = std::numeric_limits<double>::max();
    const double werte[] = {0.0,
                            -0.0,
                            0.125,
                            0.375,
                            2.5,
                            -2.5,
                            0.005,
                            1.0005,
                            1e-300,
                            -1e-7,
                            123456.5,
                            1e22,
                            max,
                            -max,
                            0.1 + 0.2,
                            -0.0049999,
                            9.9995,
                            1e15,
                            HUGE_VAL,
                            -HUGE_VAL,
                            std::nan(""),
                            -std::nan(""),
                            4503599627370497.5};
    for (const char* format : kDoubleFormate)
        for (double wert : werte)
            EXPECT_EQ(Protokoll(format, wert), Referenz(format, wert)) << format << " " << wert;
}

TEST(ProtokollFormat, SweepOfMagnitudes)
{
    std::mt19937_64 zufall(37);
    std::uniform_real_distribution<double> mantisse(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    const char* const formate[] = {"%f", "%.2f", "%.3f", "%10.3f", "%9.5f"};
    int fehler = 0;
    for (int i = 0; i < 20000 && fehler < 5; ++i) {
        const double wert = mantisse(zufall) * std::pow(10.0, exponent(zufall));
        for (const char* format : formate)
            if (Protokoll(format, wert) != Referenz(format, wert)) {
                ADD_FAILURE() << format << " " << wert;
                ++fehler;
            }
    }
}

TEST(ProtokollFormat, IntegersTextsAndMixedLines)
{
    const int ganze[] = {0, 7, -5, 123, -2147483647 - 1, 2147483647};
    for (int n : ganze)
        for (const char* format : {"%d", "%3d", "%-4d|", "lf = %d\n", "%5d%d", "%+d", "%05d", "%.3d", "%ld"}) {
            if (std::string(format) == "%5d%d")
                EXPECT_EQ(Protokoll(format, n, n), Referenz(format, n, n)) << format;
            else if (std::string(format) == "%ld")
                EXPECT_EQ(Protokoll(format, long(n)), Referenz(format, long(n))) << format;
            else
                EXPECT_EQ(Protokoll(format, n), Referenz(format, n)) << format << " " << n;
        }
    EXPECT_EQ(Protokoll("FEHLER:  %s\n", "Text"), "FEHLER:  Text\n");
    EXPECT_EQ(Protokoll("[%6s|%-6s]", "ab", "cd"), Referenz("[%6s|%-6s]", "ab", "cd"));
    EXPECT_EQ(Protokoll("%.2s", "abcdef"), "ab");  // a precision on a text goes to printf
    EXPECT_EQ(Protokoll("iqu= %d : AS0 = %.2f mit %s%%", 3, 12.345, "bw"),
              Referenz("iqu= %d : AS0 = %.2f mit %s%%", 3, 12.345, "bw"));
}
