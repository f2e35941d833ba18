// The per-pixel lighting, per sample: one sample at a time (Illuminate, then the
// packing to bytes) against the batch shading, for the Phong surface and the lit
// texture, with the program's light, material and eye. Samples lie in a torus's
// screen footprint with normals facing the eye, as the samples that pass the depth
// test do.

#include "lighting/LightingBatch.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kPool = 1 << 16; // samples cycled through, beyond the caches' reach

struct CShadingScene
{
    CLightingModel lights{1};
    CMaterial surface;
    CPoint3D eye{0.0, 0.0, 1000.0};
    std::vector<double> px, y, z, nx, ny, nz;
    std::vector<std::uint32_t> texels; // 0x00bbggrr
    std::vector<std::uint32_t> out;

    CShadingScene()
    {
        CLightSource& l = lights.m_pLights[0];
        l.SetPosition(0.0, 0.0, 1000.0);
        l.m_diffuse = CColor(1.0, 1.0, 1.0);
        l.m_specular = CColor(0.828, 0.636, 0.366);
        l.m_attLinear = 1e-07;
        l.m_attQuadratic = 1e-08;
        surface.m_ambient = CColor(0.547, 0.4, 0.075);
        surface.m_diffuse = CColor(0.912, 0.616, 0.116);
        surface.m_specular = CColor(1.0, 1.0, 1.0);
        surface.m_shininess = 100.0;

        std::mt19937_64 rng(1);
        std::uniform_int_distribution<int> col(-400, 400), row(-300, 300), byte(0, 255);
        std::uniform_real_distribution<double> depth(-300.0, 300.0), unit(-1.0, 1.0),
            shorter(0.9, 1.0);
        for (std::size_t i = 0; i < kPool; ++i) {
            px.push_back(col(rng));
            y.push_back(row(rng));
            z.push_back(depth(rng));
            double a = unit(rng), b = unit(rng), c = std::fabs(unit(rng));
            const double s = shorter(rng) / std::sqrt(a * a + b * b + c * c + 1e-12);
            nx.push_back(a * s);
            ny.push_back(b * s);
            nz.push_back(c * s);
            texels.push_back(static_cast<std::uint32_t>(byte(rng) | byte(rng) << 8 | byte(rng) << 16));
        }
        out.resize(kPool);
    }
    CShadingSamples Samples(std::size_t first) const
    {
        return {px.data() + first, y.data() + first, z.data() + first,
                nx.data() + first, ny.data() + first, nz.data() + first};
    }
};

CShadingScene& Scene()
{
    static CShadingScene scene;
    return scene;
}

void ScalarSurface(benchmark::State& state)
{
    const CShadingScene& s = Scene();
    std::size_t i = 0;
    for (auto _ : state) {
        const CPoint3D p(s.px[i], s.y[i], s.z[i]);
        const CVec3 n(s.nx[i], s.ny[i], s.nz[i]);
        benchmark::DoNotOptimize(s.lights.Illuminate(s.eye, p, n, &s.surface).ToColorRef());
        i = (i + 1) % kPool;
    }
    state.SetItemsProcessed(state.iterations());
}

void ScalarTextured(benchmark::State& state)
{
    const CShadingScene& s = Scene();
    CMaterial m;
    m.m_emission = CColor(0.0, 0.0, 0.0);
    m.m_shininess = 80.0;
    std::size_t i = 0;
    for (auto _ : state) {
        const CPoint3D p(s.px[i], s.y[i], s.z[i]);
        const CVec3 n(s.nx[i], s.ny[i], s.nz[i]);
        const auto reflectance = [&](int shift) { return ((s.texels[i] >> shift) & 0xFF) * kByteToUnit; };
        m.m_ambient = CColor(reflectance(0), reflectance(8), reflectance(16));
        m.m_diffuse = m.m_ambient;
        m.m_specular = m.m_ambient;
        benchmark::DoNotOptimize(s.lights.Illuminate(s.eye, p, n, &m).ToColorRef());
        i = (i + 1) % kPool;
    }
    state.SetItemsProcessed(state.iterations());
}

// Batches of state.range(0) samples; items are samples, and "fallbacks" counts those
// the batch had to evaluate one at a time.
void BatchSurface(benchmark::State& state)
{
    CShadingScene& s = Scene();
    const auto batch = static_cast<std::size_t>(state.range(0));
    std::size_t first = 0, fallbacks = 0;
    for (auto _ : state) {
        fallbacks += ShadeSurface(s.Samples(first), batch, s.eye, s.lights, s.surface,
                                  s.out.data() + first);
        benchmark::ClobberMemory();
        first = first + 2 * batch <= kPool ? first + batch : 0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["fallbacks"] = static_cast<double>(fallbacks);
}

void BatchTextured(benchmark::State& state)
{
    CShadingScene& s = Scene();
    const auto batch = static_cast<std::size_t>(state.range(0));
    std::size_t first = 0, fallbacks = 0;
    for (auto _ : state) {
        fallbacks += ShadeTextured(s.Samples(first), s.texels.data() + first, batch, s.eye, s.lights,
                                   s.out.data() + first);
        benchmark::ClobberMemory();
        first = first + 2 * batch <= kPool ? first + batch : 0;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["fallbacks"] = static_cast<double>(fallbacks);
}

BENCHMARK(ScalarSurface);
BENCHMARK(ScalarTextured);
BENCHMARK(BatchSurface)->Arg(13)->Arg(64)->Arg(256);
BENCHMARK(BatchTextured)->Arg(13)->Arg(64)->Arg(256);

} // namespace
