#include "engine/workarrays.h"

double* g_workD = nullptr;
int* g_workI = nullptr;
int g_workDSize = 0;
int g_workISize = 0;

WorkArrays::WorkArrays(int doubles, int ints)
    : m_d(new double[static_cast<std::size_t>(doubles) + 1]()),
      m_i(new int[static_cast<std::size_t>(ints) + 1]()),
      m_prevD(g_workD), m_prevI(g_workI), m_prevDSize(g_workDSize), m_prevISize(g_workISize)
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
