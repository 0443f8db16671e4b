#include "engine/utilities.h"

#include <cmath>
#include <numbers>

COLORREF g_farben[kFarbAnzahl] = {};

void SetzeFarben()
{
    static constexpr COLORREF kTabelle[kFarbAnzahl] = {0xFFFFFF, 0xF4F4F4, 0xC0C0C0, 0xA0A0A0, 0x808080,
                                                       0x323232, 0x000000, 0x003CEB, 0x0000FF, 0x6FFF6F,
                                                       0x009B00, 0xFF8000, 0xFF0000, 0xF7F7F7};
    for (int i = 0; i < kFarbAnzahl; ++i)
        g_farben[i] = kTabelle[i];
}

int Runde(double x)
{
    const int truncated = static_cast<int>(x);
    const double dropped = x - truncated;
    if (dropped > 0.499 || dropped < -0.499)
        return x > 0.0 ? truncated + 1 : truncated - 1;
    return truncated;
}

int RundeF(float x)
{
    const int truncated = static_cast<int>(x);
    const float dropped = x - static_cast<float>(truncated);
    if (dropped > 0.499f || dropped < -0.499f)
        return x > 0.0f ? truncated + 1 : truncated - 1;
    return truncated;
}

double Interpoliere(const double* y, const double* x, int n, double x0)
{
    if (n <= 0)
        return 0.0;
    if (n == 1)
        return y[0];
    const bool ascending = x[0] < x[1];
    if (ascending) {
        if (x0 <= x[0])
            return y[0];
        if (x0 >= x[n - 1])
            return y[n - 1];
    } else {
        if (x0 >= x[0])
            return y[0];
        if (x0 <= x[n - 1])
            return y[n - 1];
    }
    for (int i = 0; i + 1 < n; ++i) {
        const bool inside = ascending ? (x[i] <= x0 && x0 <= x[i + 1]) : (x[i] >= x0 && x0 >= x[i + 1]);
        if (inside && x[i + 1] == x[i])
            return y[i];
        if (inside)
            return y[i] + (y[i + 1] - y[i]) * (x0 - x[i]) / (x[i + 1] - x[i]);
    }
    return 0.0;
}

double engine::Angle(double y, double x)
{
    if (y == 0.0 && x == 0.0)
        return std::numbers::pi / 2.0;
    return std::atan2(y, x);
}
