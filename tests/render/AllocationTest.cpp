// Frames reuse the buffers of the frames before: once a turn of the animation
// has sized them, the render pass allocates nothing.

// Replacing the global allocation functions makes GCC warn where it inlines them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include "render/TorusRenderer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(RenderPass, FramesAfterTheFirstAllocateNothing)
{
    const auto texture = std::make_shared<const CTexture>(8, 8, std::vector<std::uint8_t>(8 * 8 * 4, 90));
    const struct
    {
        int mode, light, shading;
    } drawings[] = {{kModeWireframe, kLightOn, kShadingGouraud}, {kModeSurface, kLightOn, kShadingGouraud},
                    {kModeSurface, kLightOn, kShadingPhong},     {kModeTexture, kLightOff, kShadingPhong},
                    {kModeTexture, kLightOn, kShadingPhong}};
    for (const auto& d : drawings) {
        CTorusRenderer view;
        // One thread: the renderer's own buffers are the same on every thread,
        // and a worker that joins a frame late on a busy machine may size its
        // slot's buffers after any warm-up.
        view.SetThreadCount(1);
        CRenderSettings settings;
        settings.m_nMode = d.mode;
        settings.m_nLight = d.light;
        settings.m_nShading = d.shading;
        CPixelSink sink(400, 300);
        for (int turn = 0; turn < 2; ++turn) { // the first turn sizes the buffers
            g_allocations = 0;
            g_counting = turn == 1;
            for (double angle = 0.0; angle < 360.0; angle += 15.0) {
                view.Setup(settings, angle, 0.0, texture); // a tick's hand-over allocates nothing either
                sink.Resize(400, 300);
                view.RenderFrame(sink);
            }
            g_counting = false;
        }
        EXPECT_EQ(g_allocations.load(), 0) << d.mode << " " << d.shading;
    }
}

} // namespace
