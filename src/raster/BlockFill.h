#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Fills of long runs of pixels and depth cells. std::fill stores one element at
// a time at the optimisation level the project builds with; storing a block of
// several at once lets the compiler use vector stores.

inline void FillWords(std::uint32_t* p, std::size_t n, std::uint32_t value)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint32_t block[8] = {value, value, value, value, value, value, value, value};
        std::memcpy(p + i, block, sizeof block);
    }
    for (; i < n; ++i)
        p[i] = value;
}

inline void FillDoubles(double* p, std::size_t n, double value)
{
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const double block[4] = {value, value, value, value};
        std::memcpy(p + i, block, sizeof block);
    }
    for (; i < n; ++i)
        p[i] = value;
}
