#pragma once

#include <vector>

// What the facet filler's walk held on one scanline of one facet, written by
// the walk itself while it fills that row: the active edges in list order and
// every sample of the row's spans with its depth test. Used to show how a
// facet is filled; normal frames carry none.
struct SScanlineProbe
{
    // An active edge as the walk holds it on the row.
    struct SEdge
    {
        double x = 0.0;  // its x on this row
        double dx = 0.0; // added to x for the next row
        int yMax = 0;    // it takes part in the rows below yMax
    };
    // One sample of a span: its x, its column, its depth and the depth it was
    // tested against; passed when it was drawn.
    struct SSample
    {
        double x = 0.0;
        int px = 0;
        double z = 0.0;
        double stored = 0.0;
        bool passed = false;
    };

    int m_nY = 0;            // the row to watch
    bool m_bReached = false; // the walk filled that row
    std::vector<SEdge> m_edges;
    std::vector<SSample> m_samples;

    void Clear()
    {
        m_bReached = false;
        m_edges.clear();
        m_samples.clear();
    }
};
