#pragma once

// The scenes the benchmarks draw, and a renderer set up for one of them.

#include "imageio/TextureFile.h"
#include "render/TorusRenderer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

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

// Sets renderer up to draw torus at angleX about x, with the default texture in
// texture mode, on state.range(0) threads (0 for the machine's). False, with the
// benchmark skipped and the reason given, when the texture does not load.
inline bool SetUpScene(benchmark::State& state, CTorusRenderer& renderer, int mode, int light, int shading,
                       const CTorusSize& torus, double angleX)
{
    CRenderSettings settings;
    settings.m_nRingRadius = torus.ringRadius;
    settings.m_nSectionRadius = torus.sectionRadius;
    settings.m_nSurfaceSteps = torus.steps;
    settings.m_nSectionSteps = torus.steps;
    settings.m_nMode = mode;
    settings.m_nLight = light;
    settings.m_nShading = shading;
    if (state.range(0) > 0)
        renderer.SetThreadCount(static_cast<int>(state.range(0)));
    std::shared_ptr<const CTexture> texture;
    if (mode == kModeTexture) {
        CTexture loaded;
        std::string error;
        if (!LoadTextureFile(ORBO_SOURCE_DIR "/Data/texture1.bmp", loaded, error)) {
            state.SkipWithError(("texture: " + error).c_str());
            return false;
        }
        texture = std::make_shared<const CTexture>(std::move(loaded));
    }
    renderer.Setup(settings, angleX, 0.0, texture);
    return true;
}
