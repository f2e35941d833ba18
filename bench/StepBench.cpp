// One step of the stepper: the frame redrawn after one scanline more of the facet
// half-way through the drawing order, with the walk of that row watched, and
// turned into the image the window presents. The largest torus in a maximised
// window, lit and textured (the dearest drawing), on one thread and on all.
// A step feels immediate when this stays well within the window's 50 ms tick.

#include "imageio/FrameImage.h"
#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "render/TorusRenderer.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <memory>
#include <string>

namespace {

void StepRedraw(benchmark::State& state, int mode, int light, int shading)
{
    CRenderSettings settings;
    settings.m_nRingRadius = 300;
    settings.m_nSectionRadius = 120;
    settings.m_nSurfaceSteps = 36;
    settings.m_nSectionSteps = 36;
    settings.m_nMode = mode;
    settings.m_nLight = light;
    settings.m_nShading = shading;
    CTorusRenderer renderer;
    if (state.range(0) > 0)
        renderer.SetThreadCount(static_cast<int>(state.range(0)));
    CTexture texture;
    std::string error;
    if (mode == kModeTexture && !LoadTextureFile(ORBO_SOURCE_DIR "/Data/texture1.bmp", texture, error)) {
        state.SkipWithError(("texture: " + error).c_str());
        return;
    }
    renderer.Setup(settings, 30.0, 0.0, std::make_shared<const CTexture>(std::move(texture)));
    CPixelSink sink(1400, 1000);
    renderer.RenderFrame(sink);
    // The facet half-way, stepped through its scanlines from the lowest.
    const int facet = renderer.FacetsDrawn() / 2;
    const SDrawnFacet& drawn = renderer.DrawnFacet(facet - 1);
    int yLow = drawn.corners[0].m_position.y, yHigh = yLow;
    for (const CFillVertex& c : drawn.corners) {
        yLow = std::min(yLow, c.m_position.y);
        yHigh = std::max(yHigh, c.m_position.y);
    }
    SScanlineProbe probe;
    renderer.SetFacetLimit(facet);
    renderer.SetScanlineProbe(&probe);
    int row = yLow;
    for (auto _ : state) {
        renderer.SetRowLimit(row);
        renderer.RenderFrame(sink);
        QImage image = FrameImage(sink);
        benchmark::DoNotOptimize(image.constBits());
        row = row + 1 < yHigh ? row + 1 : yLow;
    }
    state.counters["threads"] = renderer.ThreadCount();
}

BENCHMARK_CAPTURE(StepRedraw, phong/largest_1400x1000, kModeSurface, kLightOn, kShadingPhong)
    ->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StepRedraw, texture_lit/largest_1400x1000, kModeTexture, kLightOn, kShadingPhong)
    ->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
