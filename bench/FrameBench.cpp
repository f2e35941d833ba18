// One whole frame per iteration, for every drawing operation: the default torus
// and the largest the panel allows at 800 x 600, and the largest at 1400 x 1000
// (a maximised window), each on one thread and on all of the machine's. The frame
// includes creating and clearing its image, as the window does for every frame.

#include "BenchScene.h"
#include "raster/PixelSink.h"
#include "render/SimdLimit.h"
#include "render/TorusRenderer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// ORBO_SIMD=avx2 holds the SIMD kernels to AVX2 for the whole run.
[[maybe_unused]] const bool kSimdLimited = [] {
    std::string error;
    if (LimitSimdFromEnvironment(error))
        return true;
    std::fprintf(stderr, "orbo-bench: %s: %s\n", kSimdLimitVariable, error.c_str());
    std::exit(2);
}();

// state.range(0): the thread count, 0 for the machine's.
void Frame(benchmark::State& state, int mode, int light, int shading, CTorusSize torus)
{
    CTorusRenderer renderer;
    if (!SetUpScene(state, renderer, mode, light, shading, torus, 0.0))
        return;
    CPixelSink sink(0, 0);
    for (auto _ : state) {
        sink.Resize(torus.width, torus.height); // the renderer clears it
        renderer.RenderFrame(sink);
        benchmark::DoNotOptimize(sink.Data());
        benchmark::ClobberMemory();
    }
    state.counters["facets"] = torus.steps * torus.steps;
    state.counters["threads"] = renderer.ThreadCount();
}

#define ORBO_FRAME_BENCH(name, mode, light, shading)                                           \
    BENCHMARK_CAPTURE(Frame, name/default_torus, mode, light, shading, kDefaultTorus)         \
        ->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);                                        \
    BENCHMARK_CAPTURE(Frame, name/largest_torus, mode, light, shading, kLargestTorus)         \
        ->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);                                        \
    BENCHMARK_CAPTURE(Frame, name/largest_1400x1000, mode, light, shading, kLargestMaximised) \
        ->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)

ORBO_FRAME_BENCH(wireframe, kModeWireframe, kLightOn, kShadingGouraud);
ORBO_FRAME_BENCH(gouraud, kModeSurface, kLightOn, kShadingGouraud);
ORBO_FRAME_BENCH(phong, kModeSurface, kLightOn, kShadingPhong);
ORBO_FRAME_BENCH(texture_unlit, kModeTexture, kLightOff, kShadingPhong);
ORBO_FRAME_BENCH(texture_lit, kModeTexture, kLightOn, kShadingPhong);

} // namespace
