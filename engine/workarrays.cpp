#include "engine/workarrays.h"

#include <cstdlib>
#include <cstring>
#include <new>

double* g_workD = nullptr;
int* g_workI = nullptr;
int g_workDSize = 0;
int g_workISize = 0;

namespace {
template <typename T>
T* Genullt(int n)
{
    void* p = std::calloc(static_cast<std::size_t>(n) + 1, sizeof(T));
    if (!p)
        throw std::bad_alloc();
    return static_cast<T*>(p);
}
}  // namespace

void WorkArrays::Frei::operator()(void* p) const
{
    std::free(p);
}

WorkArrays::WorkArrays(int doubles, int ints)
    : m_d(Genullt<double>(doubles)),
      m_i(Genullt<int>(ints)),
      m_nD(doubles),
      m_nI(ints),
      m_prevD(g_workD),
      m_prevI(g_workI),
      m_prevDSize(g_workDSize),
      m_prevISize(g_workISize)
{
    g_workD = m_d.get();
    g_workI = m_i.get();
    g_workDSize = doubles;
    g_workISize = ints;
}

WorkArrays::~WorkArrays()
{
    g_workD = m_prevD;
    g_workI = m_prevI;
    g_workDSize = m_prevDSize;
    g_workISize = m_prevISize;
}

void WorkArrays::Leere()
{
    std::memset(m_d.get(), 0, (static_cast<std::size_t>(m_nD) + 1) * sizeof(double));
    std::memset(m_i.get(), 0, (static_cast<std::size_t>(m_nI) + 1) * sizeof(int));
}
