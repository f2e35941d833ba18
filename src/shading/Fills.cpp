#include "shading/Fills.h"

#include "shading/Shaders.h"

#include <algorithm>

SScanClip ImageClip(const CPixelSink& sink)
{
    // Logical column x is device column x + w/2, logical y is row h/2 - y.
    const int w = sink.Width(), h = sink.Height();
    SScanClip clip;
    clip.xMin = std::max(-(w / 2), -CDepthBuffer::kHalf);
    clip.xMax = std::min(w - 1 - w / 2, CDepthBuffer::kHalf - 1);
    clip.yMin = std::max(h / 2 - h + 1, -CDepthBuffer::kHalf);
    clip.yMax = std::min(h / 2, CDepthBuffer::kHalf - 1);
    return clip;
}

void FillGouraud(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
                 CPixelSink& sink)
{
    CSampleBatch batch;
    CGouraudShader shader(sink, batch);
    fill.Fill(corners, count, depth, ImageClip(sink), shader);
    shader.Flush();
}

void FillPhong(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
               CPixelSink& sink, const CPoint3D& eye, const CLightingModel& lights, const CMaterial& material)
{
    CSampleBatch batch;
    CPhongShader shader(sink, batch, eye, lights, material);
    fill.Fill(corners, count, depth, ImageClip(sink), shader);
    shader.Flush();
}

void FillTexture(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
                 CPixelSink& sink, const CTexture& texture)
{
    if (!texture.HasTexels() || texture.m_desc.m_nWidth <= 0 || texture.m_desc.m_nHeight <= 0)
        return;
    CSampleBatch batch;
    CTextureShader shader(sink, batch, texture);
    fill.Fill(corners, count, depth, ImageClip(sink), shader);
    shader.Flush();
}

void FillTexturePhong(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
                      CPixelSink& sink, const CTexture& texture, const CPoint3D& eye,
                      const CLightingModel& lights)
{
    if (!texture.HasTexels() || texture.m_desc.m_nWidth <= 0 || texture.m_desc.m_nHeight <= 0)
        return;
    CSampleBatch batch;
    CLitTextureShader shader(sink, batch, texture, eye, lights);
    fill.Fill(corners, count, depth, ImageClip(sink), shader);
    shader.Flush();
}
