#pragma once

#include "raster/PixelSink.h"
#include "raster/Texture.h"
#include "render/TorusRenderer.h"
#include "scene/RenderSettings.h"

#include <memory>

// A renderer with what a test changes between frames: the settings, the angles
// and the texture, handed over with Setup before every frame, as a timer tick
// hands them over.
struct SRendererUnderTest
{
    CTorusRenderer renderer;
    CRenderSettings settings;
    double angleX = 0.0, angleY = 0.0;
    std::shared_ptr<const CTexture> texture;

    void Setup() { renderer.Setup(settings, angleX, angleY, texture); }
    void Draw(CPixelSink& sink)
    {
        Setup();
        renderer.RenderFrame(sink);
    }
};
