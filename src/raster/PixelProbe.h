#pragma once

#include <vector>

// Every depth test of one pixel, in drawing order: the samples of every facet
// whose column and scanline are the pixel's, written by the walk of the filler
// that fills the pixel's row. With the pixel's writes noted in the records, it
// is the pixel's whole history. Normal frames carry none.
struct SPixelProbe
{
    // One sample that landed on the pixel: the facet being filled (the filler's
    // tag), the sample's x, its depth, the depth it was tested against, and
    // whether it passed and was drawn.
    struct SSample
    {
        int facet = 0;
        double x = 0.0;
        double z = 0.0;
        double stored = 0.0;
        bool passed = false;
    };

    int m_nX = 0; // the pixel watched, logical (origin at the centre, y up)
    int m_nY = 0;
    std::vector<SSample> m_samples;
};
