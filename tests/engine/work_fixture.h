// Work arrays for a test: installed for the test's lifetime, smaller than a run's.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/workarrays.h"

class WorkArrayTest : public ::testing::Test {
protected:
    WorkArrays m_arrays{200000, 20000};

    // Copies values into the double work array from index start on.
    static void PutD(int start, const std::vector<double>& values)
    {
        for (std::size_t k = 0; k < values.size(); ++k)
            WD(start + static_cast<int>(k)) = values[k];
    }
    static std::vector<double> GetD(int start, int n)
    {
        std::vector<double> out(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k)
            out[static_cast<std::size_t>(k)] = WD(start + k);
        return out;
    }
};
