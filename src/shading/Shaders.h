#pragma once

#include "lighting/LightingModel.h"
#include "raster/Edge.h"
#include "raster/PixelRecords.h"
#include "raster/PixelSink.h"
#include "raster/Texture.h"
#include "shading/Interpolation.h"
#include "shading/SampleBatch.h"
#include "shading/SpanWrite.h"

#include <cassert>
#include <cstdint>
#include <limits>

// The shaders the facet filler calls for the samples it draws (see CPolygonFill).
// A shader collects the samples of a span and, when the span ends, interpolates
// their attributes across it several at a time. The Gouraud shader then writes
// its pixels at once; the others (kBatched) keep collecting and colour a whole
// batch at a time, writing the pixels in the order the samples were drawn: the
// texels are looked up, and the lit shaders light their samples, many samples to
// a call. Flush must follow the last facet.
//
// Derived supplies Interpolate(first, count), which fills in what the samples of
// a span are shaded from (colours, normals, texture coordinates), and kKeepsDepth
// for the filler (see CPolygonFill); when kBatched, Shade(), which colours the
// whole batch, and kLitPoints, whether the point lit, (column, scanline, depth),
// is needed; when not, WriteSpan(count), which colours the span and writes its
// pixels in one pass where no records are written. The colours written end up in
// m_colours: from Interpolate, or from Shade when kBatched.
//
// With records to write (RecordInto), every pixel written is also noted with the
// facet being filled and what the pixel was shaded from (Derived's Record). The
// samples of a batch must then all belong to that facet: the caller flushes after
// each facet.
template <class Derived, bool kBatched> class CSpanShader
{
public:
    void BeginSpan(double xL, double xR, int y)
    {
        m_xL = xL;
        m_xR = xR;
        if (y != m_nRowY) {
            m_nRowY = y;
            m_pRow = m_sink.Row(y);
        }
    }
    CSampleBatch::SSlots Slots() { return m_batch.Slots(); }
    // Where a batch ends changes no pixel, so one that cannot take the samples
    // is finished first; no batch takes more than its capacity.
    bool MakeRoom(double samples)
    {
        if (!(samples <= static_cast<double>(CSampleBatch::kCapacity)))
            return false;
        if (static_cast<double>(CSampleBatch::kCapacity - m_batch.Size()) < samples) {
            EndSpan();
            Flush();
        }
        return true;
    }
    void Append(std::size_t count)
    {
        m_batch.Grow(count);
        if (m_batch.Full()) {
            EndSpan();
            Flush();
        }
    }
    void EndSpan()
    {
        const std::size_t first = m_spanStart, count = m_batch.Size() - first;
        if (count > 0) {
            if constexpr (kBatched) {
                static_cast<Derived*>(this)->Interpolate(first, count);
                // The span's row is noted now, as the batch goes on over other
                // scanlines, where it is needed: for the point lit, (column,
                // scanline, depth), and for the records.
                if (Derived::kLitPoints || m_pRecords != nullptr) {
                    for (std::size_t i = first; i < first + count; ++i) {
                        if constexpr (Derived::kLitPoints)
                            m_batch.m_x[i] = m_batch.m_px[i];
                        m_batch.m_yd[i] = m_nRowY;
                    }
                }
                m_batch.m_spanRow[m_batch.m_nSpans] = m_pRow;
                m_batch.m_spanEnd[m_batch.m_nSpans++] = first + count;
            } else if (m_pRecords == nullptr) { // the current span is the whole batch
                static_cast<Derived*>(this)->WriteSpan(count);
                m_batch.Clear();
            } else {
                static_cast<Derived*>(this)->Interpolate(first, count);
                Write();
            }
        }
        m_spanStart = m_batch.Size();
    }
    // Notes what each pixel written from now on comes from; null stops it.
    void RecordInto(CPixelRecords* records) { m_pRecords = records; }
    // The facet whose samples are being collected, for the records.
    void SetFacet(int facet) { m_nFacet = facet; }

    // Colours and writes every sample collected so far.
    void Flush()
    {
        assert(m_spanStart == m_batch.Size());
        if constexpr (kBatched) {
            static_cast<Derived*>(this)->Shade();
            Write();
        }
    }

protected:
    CSpanShader(CPixelSink& sink, CSampleBatch& batch) : m_sink(sink), m_batch(batch) { m_batch.Clear(); }

    // Notes the facet of sample i and its colour at plane index at; shaders add
    // their attributes.
    void Record(std::size_t i, std::size_t at) { m_pRecords->Wrote(at, m_nFacet, m_batch.m_colours[i]); }
    void RecordAttributes(std::size_t at, double a0, double a1, double a2)
    {
        m_pRecords->m_attribute[0][at] = static_cast<float>(a0);
        m_pRecords->m_attribute[1][at] = static_cast<float>(a1);
        m_pRecords->m_attribute[2][at] = static_cast<float>(a2);
    }

    // The current span's row of the image.
    std::uint32_t* Row() const { return m_pRow; }

    CPixelSink& m_sink;
    CSampleBatch& m_batch;
    double m_xL = 0.0, m_xR = 0.0;
    CPixelRecords* m_pRecords = nullptr;
    int m_nFacet = CPixelRecords::kNone;

private:
    void Write()
    {
        if (m_pRecords)
            for (std::size_t i = 0; i < m_batch.Size(); ++i) {
                // A batch spans scanlines; a Gouraud one is the current span.
                const int y = kBatched ? static_cast<int>(m_batch.m_yd[i]) : m_nRowY;
                static_cast<Derived*>(this)->Record(i, m_pRecords->Index(m_batch.m_px[i], y));
            }
        if constexpr (kBatched) {
            WriteSpans(m_batch.m_colours.data(), m_batch.m_px.data(), m_batch.m_spanEnd.data(),
                       m_batch.m_spanRow.data(), m_batch.m_nSpans, CPixelSink::kOpaque);
        } else { // the current span, all on the current row
            const std::size_t end = m_batch.Size();
            WriteSpans(m_batch.m_colours.data(), m_batch.m_px.data(), &end, &m_pRow, 1, CPixelSink::kOpaque);
        }
        m_batch.Clear();
        m_spanStart = 0;
    }

    std::size_t m_spanStart = 0;                   // the first sample of the current span
    int m_nRowY = std::numeric_limits<int>::min(); // the scanline of m_pRow, none yet
    std::uint32_t* m_pRow = nullptr;
};

// The texel of a texture coordinate: plus 0.5, truncated, kept inside the image.
class CTexelLookup
{
public:
    explicit CTexelLookup(const CTexture& texture) : m_texture(texture) { assert(texture.HasTexels()); }

    // The column and row of the texel read for (cu, cv).
    void Address(double cu, double cv, int& u, int& v) const
    {
        TexelAddress(cu, cv, m_texture.Width(), m_texture.Height(), u, v);
    }

    // The texels of samples first .. first + count - 1 of the batch, whose texture
    // coordinates are in m_u and m_v, as colours 0x00bbggrr in m_colours.
    void LookUp(CSampleBatch& b, std::size_t first, std::size_t count) const;

private:
    const CTexture& m_texture;
};

// An edge's attribute at scanline y, interpolated between its two corners.
inline CVec3 EdgeNormal(const CEdge& e, double y)
{
    return InterpolateNormal(y, e.m_pStart->m_position.y, e.m_pEnd->m_position.y, e.m_pStart->m_normal,
                             e.m_pEnd->m_normal);
}
inline CPoint2D EdgeTexCoord(const CEdge& e, double y)
{
    return InterpolateTexCoord(y, e.m_pStart->m_position.y, e.m_pEnd->m_position.y, e.m_pStart->m_texCoord,
                               e.m_pEnd->m_texCoord);
}

// Vertex colours interpolated along the edges and across the spans.
class CGouraudShader : public CSpanShader<CGouraudShader, false>
{
public:
    static constexpr bool kKeepsDepth = false;

    CGouraudShader(CPixelSink& sink, CSampleBatch& batch) : CSpanShader(sink, batch) {}

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_left = InterpolateColor(y, f.m_pStart->m_position.y, f.m_pEnd->m_position.y,
                                  f.m_pStart->m_position.colour, f.m_pEnd->m_position.colour);
        m_right = InterpolateColor(y, s.m_pStart->m_position.y, s.m_pEnd->m_position.y,
                                   s.m_pStart->m_position.colour, s.m_pEnd->m_position.colour);
    }
    void Interpolate(std::size_t first, std::size_t count);
    // Interpolates the span's colours and writes them, without records.
    void WriteSpan(std::size_t count);
    // The facet and the colour interpolated before it became bytes.
    void Record(std::size_t i, std::size_t at);

private:
    CColor m_left, m_right;
};

// Texels copied unchanged.
class CTextureShader : public CSpanShader<CTextureShader, true>
{
public:
    static constexpr bool kLitPoints = false;
    static constexpr bool kKeepsDepth = false;

    CTextureShader(CPixelSink& sink, CSampleBatch& batch, const CTexture& texture)
        : CSpanShader(sink, batch), m_texels(texture)
    {
    }

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_left = EdgeTexCoord(f, y);
        m_right = EdgeTexCoord(s, y);
    }
    void Interpolate(std::size_t first, std::size_t count);
    void Shade();
    // The facet and the texel read.
    void Record(std::size_t i, std::size_t at);

private:
    CTexelLookup m_texels;
    CPoint2D m_left, m_right;
};

// Normals interpolated, the lighting evaluated at every pixel.
class CPhongShader : public CSpanShader<CPhongShader, true>
{
public:
    static constexpr bool kLitPoints = true;
    static constexpr bool kKeepsDepth = true;

    CPhongShader(CPixelSink& sink, CSampleBatch& batch, const CPoint3D& eye, const CLightingModel& lights,
                 const CMaterial& material)
        : CSpanShader(sink, batch), m_eye(eye), m_lights(lights), m_material(material)
    {
    }

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_left = EdgeNormal(f, y);
        m_right = EdgeNormal(s, y);
    }
    void Interpolate(std::size_t first, std::size_t count);
    void Shade();
    // The facet and the interpolated normal.
    void Record(std::size_t i, std::size_t at);

private:
    const CPoint3D m_eye;
    const CLightingModel& m_lights;
    const CMaterial& m_material;
    CVec3 m_left, m_right;
};

// Texels lit per pixel, each texel being the ambient, diffuse and specular
// reflectance of its point, with exponent 80.
class CLitTextureShader : public CSpanShader<CLitTextureShader, true>
{
public:
    static constexpr bool kLitPoints = true;
    static constexpr bool kKeepsDepth = true;

    CLitTextureShader(CPixelSink& sink, CSampleBatch& batch, const CTexture& texture, const CPoint3D& eye,
                      const CLightingModel& lights)
        : CSpanShader(sink, batch), m_texels(texture), m_eye(eye), m_lights(lights)
    {
    }

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_leftTex = EdgeTexCoord(f, y);
        m_rightTex = EdgeTexCoord(s, y);
        m_left = EdgeNormal(f, y);
        m_right = EdgeNormal(s, y);
    }
    void Interpolate(std::size_t first, std::size_t count);
    void Shade();
    // The facet, the interpolated normal and the texel read.
    void Record(std::size_t i, std::size_t at);

private:
    CTexelLookup m_texels;
    const CPoint3D m_eye;
    const CLightingModel& m_lights;
    CPoint2D m_leftTex, m_rightTex;
    CVec3 m_left, m_right;
};
