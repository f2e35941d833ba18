#pragma once

#include "raster/PixelRecords.h"
#include "raster/PixelSink.h"

#include <cstdint>

// A pixel sink that also notes, for every pixel it writes, the tag of what is
// being drawn, so that the line rasterizer can tell which facet's edge last
// touched a pixel without knowing what a facet is. The records must have the
// sink's size.
class CTaggedSink
{
public:
    CTaggedSink(CPixelSink& sink, CPixelRecords& records) : m_sink(sink), m_records(records)
    {
        assert(records.Width() == sink.Width() && records.Height() == sink.Height());
    }

    void SetTag(int tag) { m_nTag = tag; }

    // CPixelSink::SetPixel, and the tag noted where the pixel lies inside.
    void SetPixel(int x, int y, std::uint32_t colorRef)
    {
        if (!m_records.Contains(x, y))
            return;
        m_sink.SetPixel(x, y, colorRef);
        m_records.Wrote(m_records.Index(x, y), m_nTag, colorRef);
    }

private:
    CPixelSink& m_sink;
    CPixelRecords& m_records;
    int m_nTag = CPixelRecords::kNone;
};
