#include "shading/Fills.h"

#include "shading/Shaders.h"

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
    if (!texture.HasTexels())
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
    if (!texture.HasTexels())
        return;
    CSampleBatch batch;
    CLitTextureShader shader(sink, batch, texture, eye, lights);
    fill.Fill(corners, count, depth, ImageClip(sink), shader);
    shader.Flush();
}
