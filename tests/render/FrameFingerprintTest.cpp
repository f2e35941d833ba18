// Pins every frame of the table in frame_fingerprints.txt: the digests were made
// by a renderer whose frames equal an independent implementation pixel for pixel,
// so a digest that changes is a regression, whatever the change was for.

#include "FrameFingerprint.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(FrameFingerprint, EveryFrameOfTheTableIsUnchanged)
{
    std::ifstream table(ORBO_SOURCE_DIR "/tests/render/frame_fingerprints.txt");
    ASSERT_TRUE(table) << "cannot read the fingerprint table";
    std::string line;
    int checked = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        SFrameCase frame;
        ASSERT_TRUE(SFrameCase::FromLine(line, frame)) << "bad table line: " << line;
        EXPECT_EQ(RenderDigest(frame, ORBO_SOURCE_DIR), frame.digest) << line;
        ++checked;
    }
    EXPECT_GE(checked, 300);
}

// The table round-trips: what the generator writes, the test reads back to the
// same settings (angles to the last bit).
TEST(FrameFingerprint, TableLinesReadBackExactly)
{
    for (SFrameCase c : FingerprintCases()) {
        c.digest = "00";
        SFrameCase back;
        ASSERT_TRUE(SFrameCase::FromLine(c.ToLine(), back)) << c.ToLine();
        EXPECT_EQ(back.ToLine(), c.ToLine());
        EXPECT_EQ(back.angleX, c.angleX);
        EXPECT_EQ(back.angleY, c.angleY);
    }
}

} // namespace
