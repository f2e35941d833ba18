// One whole frame at 800 x 600 per iteration, for every drawing operation, with
// the default torus and with the largest the panel allows. The frame includes
// creating and clearing its image, as the window does for every frame.

#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "render/TorusRenderer.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct CTorusSize
{
    int ringRadius;
    int sectionRadius;
    int steps;
};

constexpr CTorusSize kDefaultTorus{200, 80, 18};
constexpr CTorusSize kLargestTorus{300, 120, 36};

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
    renderer.ApplySettings(settings);
    renderer.SwitchLights();
    renderer.SetupCamera();
    if (mode == kModeTexture) {
        std::string error;
        if (!LoadTextureFile(ORBO_SOURCE_DIR "/Data/texture1.bmp", renderer.m_texture, error)) {
            state.SkipWithError(("texture: " + error).c_str());
            return;
        }
    }
    for (auto _ : state) {
        CPixelSink sink(800, 600);
        renderer.RenderFrame(sink);
        benchmark::DoNotOptimize(sink.Data());
        benchmark::ClobberMemory();
    }
    state.counters["facets"] = torus.steps * torus.steps;
}

#define ORBO_FRAME_BENCH(name, mode, light, shading)                                   \
    BENCHMARK_CAPTURE(Frame, name/default_torus, mode, light, shading, kDefaultTorus) \
        ->Unit(benchmark::kMillisecond);                                                \
    BENCHMARK_CAPTURE(Frame, name/largest_torus, mode, light, shading, kLargestTorus) \
        ->Unit(benchmark::kMillisecond)

ORBO_FRAME_BENCH(wireframe, kModeWireframe, kLightOn, kShadingGouraud);
ORBO_FRAME_BENCH(gouraud, kModeSurface, kLightOn, kShadingGouraud);
ORBO_FRAME_BENCH(phong, kModeSurface, kLightOn, kShadingPhong);
ORBO_FRAME_BENCH(texture_unlit, kModeTexture, kLightOff, kShadingPhong);
ORBO_FRAME_BENCH(texture_lit, kModeTexture, kLightOn, kShadingPhong);

} // namespace
