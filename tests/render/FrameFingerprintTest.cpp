// Pins every frame of the table in frame_fingerprints.txt: the digests were made
// by a renderer whose frames equal an independent implementation pixel for pixel,
// so a digest that changes is a regression, whatever the change was for.

#include "FrameFingerprint.h"

#include "lighting/LightingBatch.h"
#include "scene/RenderSettings.h"
#include "shading/SpanInterpolation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

std::vector<SFrameCase> Table()
{
    std::vector<SFrameCase> frames;
    std::ifstream table(ORBO_SOURCE_DIR "/tests/render/frame_fingerprints.txt");
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        SFrameCase frame;
        if (!SFrameCase::FromLine(line, frame))
            ADD_FAILURE() << "bad table line: " << line;
        frames.push_back(frame);
    }
    return frames;
}

// The filled facets are drawn by several threads, each over its own band of
// rows: every frame must come out the same for any count, including counts that
// do not divide the image height and more threads than rows.
constexpr int kThreadCounts[] = {1, 2, 3, 8};

TEST(FrameFingerprint, EveryFrameOfTheTableIsUnchanged)
{
    const std::vector<SFrameCase> frames = Table();
    ASSERT_GE(frames.size(), 300u) << "cannot read the fingerprint table";
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const int threads = kThreadCounts[k % std::size(kThreadCounts)];
        EXPECT_EQ(RenderDigest(frames[k], ORBO_SOURCE_DIR, threads), frames[k].digest)
            << frames[k].ToLine() << " threads=" << threads;
    }
}

TEST(FrameFingerprint, EveryThreadCountDrawsTheSameFrames)
{
    const std::vector<SFrameCase> frames = Table();
    ASSERT_GE(frames.size(), 60u);
    for (std::size_t k = 0; k < 60; ++k)
        for (int threads : kThreadCounts)
            EXPECT_EQ(RenderDigest(frames[k], ORBO_SOURCE_DIR, threads), frames[k].digest)
                << frames[k].ToLine() << " threads=" << threads;
}

// The pixel inspector's records are written beside the frame and change none
// of its pixels: every fifth frame of the table, drawn with them.
TEST(FrameFingerprint, FramesWithInspectionOnAreUnchanged)
{
    const std::vector<SFrameCase> frames = Table();
    ASSERT_GE(frames.size(), 300u);
    for (std::size_t k = 0; k < frames.size(); k += 5) {
        const int threads = kThreadCounts[(k / 5) % std::size(kThreadCounts)];
        EXPECT_EQ(RenderDigest(frames[k], ORBO_SOURCE_DIR, threads, true), frames[k].digest)
            << frames[k].ToLine() << " threads=" << threads << " inspection on";
    }
}

// The lighting's reciprocal with its margin widened a million times, and the
// texture coordinates' a hundred million times: many more samples take the
// one-at-a-time evaluation and the exact coordinates, and every lit frame is
// unchanged.
TEST(FrameFingerprint, LitFramesHoldWithTheReciprocalMarginWidened)
{
    const std::vector<SFrameCase> frames = Table();
    ASSERT_GE(frames.size(), 300u);
    WidenShadingMarginForTest(1e6);
    WidenTexCoordMarginForTest(1e8);
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const SFrameCase& f = frames[k];
        if (f.light != kLightOn || f.shading != kShadingPhong || f.mode == kModeWireframe)
            continue;
        EXPECT_EQ(RenderDigest(f, ORBO_SOURCE_DIR, 2), f.digest) << f.ToLine() << " margin widened";
    }
    WidenShadingMarginForTest(1.0);
    WidenTexCoordMarginForTest(1.0);
}

// The table holds the generated cases one for one, in their order, each line
// reading back to the same settings (angles to the last bit): a missing, extra
// or reordered line fails here, whatever its digest.
TEST(FrameFingerprint, TableHoldsEveryGeneratedCaseInOrder)
{
    const std::vector<SFrameCase> cases = FingerprintCases();
    const std::vector<SFrameCase> frames = Table();
    for (std::size_t k = 0; k < std::max(cases.size(), frames.size()); ++k) {
        if (k >= frames.size()) {
            ADD_FAILURE() << "missing from the table: " << cases[k].ToLine();
            continue;
        }
        if (k >= cases.size()) {
            ADD_FAILURE() << "not a generated case: " << frames[k].ToLine();
            continue;
        }
        SFrameCase line = frames[k];
        line.digest.clear();
        EXPECT_EQ(line.ToLine(), cases[k].ToLine()) << "line " << k + 1;
        EXPECT_EQ(line.angleX, cases[k].angleX) << "line " << k + 1;
        EXPECT_EQ(line.angleY, cases[k].angleY) << "line " << k + 1;
    }
}

} // namespace
