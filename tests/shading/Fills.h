#pragma once

#include "lighting/LightingModel.h"
#include "raster/DepthBuffer.h"
#include "raster/Edge.h"
#include "raster/PixelSink.h"
#include "raster/PolygonFill.h"
#include "raster/Texture.h"

// Test helpers: one facet filled into the sink against the depth buffer, every sample of the
// image that the depth buffer covers, with one of the four shadings. The render
// pass keeps its shaders from facet to facet instead; these are for a facet on
// its own.

// Vertex colours interpolated along the edges and across the spans.
void FillGouraud(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
                 CPixelSink& sink);
// Normals interpolated, the lighting evaluated at every pixel.
void FillPhong(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
               CPixelSink& sink, const CPoint3D& eye, const CLightingModel& lights, const CMaterial& material);
// Texels copied unchanged; nothing is drawn without texels.
void FillTexture(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
                 CPixelSink& sink, const CTexture& texture);
// Texels lit per pixel, each texel being the ambient, diffuse and specular
// reflectance of the point, with exponent 80; nothing is drawn without texels.
void FillTexturePhong(CPolygonFill& fill, const CFillVertex* corners, int count, CDepthBuffer& depth,
                      CPixelSink& sink, const CTexture& texture, const CPoint3D& eye,
                      const CLightingModel& lights);
