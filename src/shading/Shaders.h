#pragma once

#include "lighting/LightingModel.h"
#include "raster/Edge.h"
#include "raster/PixelSink.h"
#include "raster/Texture.h"
#include "shading/Interpolation.h"
#include "shading/SampleBatch.h"

#include <cassert>
#include <cstdint>

// The shaders the facet filler calls for the samples it draws (see CPolygonFill).
// Gouraud and texture colours are written at once; the lit shaders collect their
// samples and light them a batch at a time, writing the pixels in drawing order,
// so that Flush must follow the last facet.

// Vertex colours interpolated along the edges and across the spans.
class CGouraudShader
{
public:
    explicit CGouraudShader(CPixelSink& sink) : m_sink(sink) {}

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_left = InterpolateColor(y, f.m_start.m_position.y, f.m_end.m_position.y,
                                  f.m_start.m_position.colour, f.m_end.m_position.colour);
        m_right = InterpolateColor(y, s.m_start.m_position.y, s.m_end.m_position.y,
                                   s.m_start.m_position.colour, s.m_end.m_position.colour);
    }
    void BeginSpan(double xL, double xR)
    {
        m_xL = xL;
        m_xR = xR;
    }
    void Plot(double x, int px, int y, double)
    {
        m_sink.SetPixel(px, y, InterpolateColor(x, m_xL, m_xR, m_left, m_right).ToColorRef());
    }
    void Flush() {}

private:
    CPixelSink& m_sink;
    CColor m_left, m_right;
    double m_xL = 0.0, m_xR = 0.0;
};

// Texture coordinates interpolated like the colours; the nearest texel is taken.
class CTextureSampler
{
public:
    explicit CTextureSampler(const CTexture& texture) : m_texture(texture)
    {
        assert(texture.HasTexels() && texture.m_desc.m_nWidth > 0 && texture.m_desc.m_nHeight > 0);
    }

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_left = InterpolateTexCoord(y, f.m_start.m_position.y, f.m_end.m_position.y,
                                     f.m_start.m_texCoord, f.m_end.m_texCoord);
        m_right = InterpolateTexCoord(y, s.m_start.m_position.y, s.m_end.m_position.y,
                                      s.m_start.m_texCoord, s.m_end.m_texCoord);
    }
    void BeginSpan(double xL, double xR)
    {
        m_xL = xL;
        m_xR = xR;
    }

    // The texel at sample x: the coordinate plus 0.5, truncated, kept inside the image.
    const std::uint8_t* Texel(double x) const
    {
        const CPoint2D c = InterpolateTexCoord(x, m_xL, m_xR, m_left, m_right);
        const CTextureDesc& desc = m_texture.m_desc;
        int u = static_cast<int>(c.x + 0.5);
        int v = static_cast<int>(c.y + 0.5);
        if (u >= desc.m_nWidth)
            u = desc.m_nWidth - 1;
        if (v >= desc.m_nHeight)
            v = desc.m_nHeight - 1;
        // Exact arithmetic never goes below 0; rounding must never read before the buffer.
        if (u < 0)
            u = 0;
        if (v < 0)
            v = 0;
        const std::size_t index =
            4 * (static_cast<std::size_t>(v) * static_cast<std::size_t>(desc.m_nWidth) +
                 static_cast<std::size_t>(u));
        assert(index + 3 < m_texture.m_texels.size());
        return m_texture.m_texels.data() + index;
    }

    double XLeft() const { return m_xL; }
    double XRight() const { return m_xR; }

private:
    const CTexture& m_texture;
    CPoint2D m_left, m_right;
    double m_xL = 0.0, m_xR = 0.0;
};

// Texels copied unchanged.
class CTextureShader
{
public:
    CTextureShader(CPixelSink& sink, const CTexture& texture) : m_sink(sink), m_sampler(texture) {}

    void BeginScanline(const CEdge& f, const CEdge& s, double y) { m_sampler.BeginScanline(f, s, y); }
    void BeginSpan(double xL, double xR) { m_sampler.BeginSpan(xL, xR); }
    void Plot(double x, int px, int y, double)
    {
        const std::uint8_t* t = m_sampler.Texel(x);
        m_sink.SetPixel(px, y,
                        static_cast<std::uint32_t>(t[2]) | (static_cast<std::uint32_t>(t[1]) << 8) |
                            (static_cast<std::uint32_t>(t[0]) << 16));
    }
    void Flush() {}

private:
    CPixelSink& m_sink;
    CTextureSampler m_sampler;
};

// Lights a batch of samples and writes their pixels in order.
class CBatchLighter
{
public:
    CBatchLighter(CPixelSink& sink, CSampleBatch& batch, const CPoint3D& eye, const CLightingModel& lights)
        : m_sink(sink), m_batch(batch), m_eye(eye), m_lights(lights)
    {
        m_batch.Clear();
    }

    CSampleBatch& Batch() { return m_batch; }

    // Every sample lit with one material.
    void FlushSurface(const CMaterial& material);
    // Every sample lit with its reflectance as ambient, diffuse and specular
    // colour, black emission and exponent 80.
    void FlushTextured();

private:
    void Write();

    CPixelSink& m_sink;
    CSampleBatch& m_batch;
    const CPoint3D m_eye;
    const CLightingModel& m_lights;
};

// Normals interpolated, the lighting evaluated at every pixel.
class CPhongShader
{
public:
    CPhongShader(CPixelSink& sink, CSampleBatch& batch, const CPoint3D& eye, const CLightingModel& lights,
                 const CMaterial& material)
        : m_lighter(sink, batch, eye, lights), m_material(material)
    {
    }

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_left = InterpolateNormal(y, f.m_start.m_position.y, f.m_end.m_position.y, f.m_start.m_normal,
                                   f.m_end.m_normal);
        m_right = InterpolateNormal(y, s.m_start.m_position.y, s.m_end.m_position.y, s.m_start.m_normal,
                                    s.m_end.m_normal);
    }
    void BeginSpan(double xL, double xR)
    {
        m_xL = xL;
        m_xR = xR;
    }
    void Plot(double x, int px, int y, double z)
    {
        const CVec3 n = InterpolateNormal(x, m_xL, m_xR, m_left, m_right);
        m_lighter.Batch().Add(px, y, z, n.x, n.y, n.z);
        if (m_lighter.Batch().Full())
            Flush();
    }
    void Flush() { m_lighter.FlushSurface(m_material); }

private:
    CBatchLighter m_lighter;
    const CMaterial& m_material;
    CVec3 m_left, m_right;
    double m_xL = 0.0, m_xR = 0.0;
};

// Texels lit per pixel, each texel being the ambient, diffuse and specular
// reflectance of its point.
class CLitTextureShader
{
public:
    CLitTextureShader(CPixelSink& sink, CSampleBatch& batch, const CTexture& texture, const CPoint3D& eye,
                      const CLightingModel& lights)
        : m_lighter(sink, batch, eye, lights), m_sampler(texture)
    {
    }

    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        m_sampler.BeginScanline(f, s, y);
        m_left = InterpolateNormal(y, f.m_start.m_position.y, f.m_end.m_position.y, f.m_start.m_normal,
                                   f.m_end.m_normal);
        m_right = InterpolateNormal(y, s.m_start.m_position.y, s.m_end.m_position.y, s.m_start.m_normal,
                                    s.m_end.m_normal);
    }
    void BeginSpan(double xL, double xR) { m_sampler.BeginSpan(xL, xR); }
    void Plot(double x, int px, int y, double z)
    {
        constexpr double kByteToUnit = 0.00392156862745098; // 1/255
        const std::uint8_t* t = m_sampler.Texel(x);
        const CVec3 n = InterpolateNormal(x, m_sampler.XLeft(), m_sampler.XRight(), m_left, m_right);
        CSampleBatch& batch = m_lighter.Batch();
        batch.Add(px, y, z, n.x, n.y, n.z);
        batch.AddReflectance(t[2] * kByteToUnit, t[1] * kByteToUnit, t[0] * kByteToUnit);
        if (batch.Full())
            Flush();
    }
    void Flush() { m_lighter.FlushTextured(); }

private:
    CBatchLighter m_lighter;
    CTextureSampler m_sampler;
    CVec3 m_left, m_right;
};
