// The engine's two global work arrays: doubles and ints, addressed from index 1, tables column-major.
// The calculation driver allocates them once per calculation, sized to its model; every numeric routine of
// the engine addresses them by index. The index arithmetic lives only here.
#pragma once

#include <cassert>
#include <cstddef>
#include <memory>

// The largest work arrays a calculation may ask for (usable indices 1..size); a calculation allocates what its
// model needs, up to these.
constexpr int kWorkDoubleCount = 1500000;
constexpr int kWorkIntCount = 10000;

extern double* g_workD;  // double work array, g_workD[0] unused
extern int* g_workI;     // int work array, g_workI[0] unused
extern int g_workDSize;  // highest valid double index
extern int g_workISize;  // highest valid int index

// Entry i (1-based) of the double work array.
inline double& WD(int i)
{
    assert(g_workD != nullptr && i >= 1 && i <= g_workDSize);
    return g_workD[i];
}

// Entry i (1-based) of the int work array.
inline int& WI(int i)
{
    assert(g_workI != nullptr && i >= 1 && i <= g_workISize);
    return g_workI[i];
}

// Entry (row, col), both 1-based, of a column-major table of leading dimension ld starting at start.
inline double& WD2(int start, int ld, int row, int col)
{
    return WD(start + (col - 1) * ld + (row - 1));
}

inline int& WI2(int start, int ld, int row, int col)
{
    return WI(start + (col - 1) * ld + (row - 1));
}

// True when the double range [start, start + count) lies inside the work array.
inline bool WorkDFits(long long start, long long count)
{
    return start >= 1 && count >= 0 && start + count - 1 <= g_workDSize;
}

inline bool WorkIFits(long long start, long long count)
{
    return start >= 1 && count >= 0 && start + count - 1 <= g_workISize;
}

// Owns one calculation's zero-filled work arrays and installs them as the global ones for its lifetime.
class WorkArrays {
public:
    explicit WorkArrays(int doubles = kWorkDoubleCount, int ints = kWorkIntCount);
    ~WorkArrays();
    WorkArrays(const WorkArrays&) = delete;
    WorkArrays& operator=(const WorkArrays&) = delete;

    // Zero-fills both arrays again, so that a second run on them starts as on fresh ones.
    void Leere();

private:
    // Zeroed by the allocator.
    struct Frei {
        void operator()(void* p) const;
    };
    std::unique_ptr<double[], Frei> m_d;
    std::unique_ptr<int[], Frei> m_i;
    int m_nD;
    int m_nI;
    double* m_prevD;
    int* m_prevI;
    int m_prevDSize;
    int m_prevISize;
};
