// One step of the stepper: the frame redrawn after one scanline more of the facet
// half-way through the drawing order, with the walk of that row watched, and
// turned into the image the window presents. The largest torus in a maximised
// window, lit and textured (the dearest drawing), on one thread and on all.
// A step feels immediate when this stays well within the window's 50 ms tick.

#include "BenchScene.h"
#include "imageio/FrameImage.h"
#include "raster/PixelSink.h"
#include "render/TorusRenderer.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>

namespace {

void StepRedraw(benchmark::State& state, int mode, int light, int shading)
{
    CTorusRenderer renderer;
    if (!SetUpScene(state, renderer, mode, light, shading, kLargestMaximised, 30.0))
        return;
    CPixelSink sink(kLargestMaximised.width, kLargestMaximised.height);
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
