// One whole frame per iteration, for every drawing operation: the default torus
// and the largest the panel allows at 800 x 600, and the largest at 1400 x 1000
// (a maximised window), each on one thread and on all of the machine's. The frame
// includes creating and clearing its image, as the window does for every frame.

#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "render/SimdLimit.h"
#include "render/TorusRenderer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
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

struct CTorusSize
{
    int ringRadius;
    int sectionRadius;
    int steps;
    int width, height;
};

constexpr CTorusSize kDefaultTorus{200, 80, 18, 800, 600};
constexpr CTorusSize kLargestTorus{300, 120, 36, 800, 600};
constexpr CTorusSize kLargestMaximised{300, 120, 36, 1400, 1000};

// state.range(0): the thread count, 0 for the machine's.
void Frame(benchmark::State& state, int mode, int light, int shading, CTorusSize torus)
{
    CRenderSettings settings;
    settings.m_nRingRadius = torus.ringRadius;
    settings.m_nSectionRadius = torus.sectionRadius;
    settings.m_nSurfaceSteps = torus.steps;
    settings.m_nSectionSteps = torus.steps;
    settings.m_nMode = mode;
    settings.m_nLight = light;
    settings.m_nShading = shading;
    CTorusRenderer renderer;
    if (state.range(0) > 0)
        renderer.SetThreadCount(static_cast<int>(state.range(0)));
    std::shared_ptr<const CTexture> texture;
    if (mode == kModeTexture) {
        CTexture loaded;
        std::string error;
        if (!LoadTextureFile(ORBO_SOURCE_DIR "/Data/texture1.bmp", loaded, error)) {
            state.SkipWithError(("texture: " + error).c_str());
            return;
        }
        texture = std::make_shared<const CTexture>(std::move(loaded));
    }
    renderer.Setup(settings, 0.0, 0.0, texture);
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
