#pragma once

#include <cstdint>

// One event of a pixel's history in the last frame, in drawing order: a sample
// of a fill that landed on the pixel, with its depth test, or a pixel of a
// facet's edge written there.
struct SHistoryEntry
{
    int order = 0; // the facet's place in the drawing order
    int i = 0;     // the facet: surface step, section step
    int j = 0;
    bool tested = false; // a fill's sample: x, depth, testedAgainst and passed tell its depth test
    double x = 0.0;
    double depth = 0.0;
    double testedAgainst = 0.0; // what the depth buffer held there before
    bool passed = false;
    bool hasColour = false;   // a sample that passed, or an edge's pixel: the colour written
    std::uint32_t colour = 0; // 0x00bbggrr
};
