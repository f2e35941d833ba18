#include "cli/RenderOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, DefaultsAreThoseOfTheWindow)
{
    const CParseResult r = ParseCommandLine({"-o", "out.png"});
    ASSERT_EQ(r.m_status, CParseResult::kRun) << r.m_strError;
    const CRenderOptions& o = r.m_options;
    EXPECT_EQ(o.m_nWidth, 520);
    EXPECT_EQ(o.m_nHeight, 600);
    EXPECT_EQ(o.m_nRingRadius, 200);
    EXPECT_EQ(o.m_nSectionRadius, 80);
    EXPECT_EQ(o.m_nSurfaceSteps, 18);
    EXPECT_EQ(o.m_nSectionSteps, 18);
    EXPECT_EQ(o.m_nMode, 0);
    EXPECT_EQ(o.m_nLight, 1);
    EXPECT_EQ(o.m_nShading, 0);
    EXPECT_EQ(o.m_dAngleX, 0.0);
    EXPECT_EQ(o.m_strTexturePath, ""); // the default texture, looked up by the program
    EXPECT_EQ(o.m_strOutput, "out.png");
    EXPECT_EQ(o.m_nFrames, 0);
    EXPECT_EQ(o.m_nBench, 0);
}

TEST(CommandLineTest, ReadsEveryOptionInBothForms)
{
    const CParseResult r = ParseCommandLine(
        {"--size", "0x16384", "--ring-radius=300", "--section-radius", "20", "--surface-steps", "6",
         "--section-steps=36", "--mode", "surface", "--light", "off", "--shading=phong", "--angle-x",
         "-30.5", "--angle-y", "1e3", "--texture", "t.bmp", "--frames", "+4", "--output=f%d.png"});
    ASSERT_EQ(r.m_status, CParseResult::kRun) << r.m_strError;
    const CRenderOptions& o = r.m_options;
    EXPECT_EQ(o.m_nWidth, 0);
    EXPECT_EQ(o.m_nHeight, 16384);
    EXPECT_EQ(o.m_nRingRadius, 300);
    EXPECT_EQ(o.m_nSectionRadius, 20);
    EXPECT_EQ(o.m_nSurfaceSteps, 6);
    EXPECT_EQ(o.m_nSectionSteps, 36);
    EXPECT_EQ(o.m_nMode, 1);
    EXPECT_EQ(o.m_nLight, 0);
    EXPECT_EQ(o.m_nShading, 1);
    EXPECT_EQ(o.m_dAngleX, -30.5);
    EXPECT_EQ(o.m_dAngleY, 1000.0);
    EXPECT_EQ(o.m_strTexturePath, "t.bmp");
    EXPECT_EQ(o.m_nFrames, 4);
    EXPECT_EQ(o.m_strOutput, "f%d.png");
}

TEST(CommandLineTest, ModesAndHelp)
{
    // Texture mode is drawn with Phong, as the window's panel sets it.
    EXPECT_EQ(ParseCommandLine({"--mode", "texture", "-o", "a.png"}).m_options.m_nShading, 1);
    // An explicit choice is kept, in either order.
    EXPECT_EQ(ParseCommandLine({"--shading", "gouraud", "--mode", "texture", "-o", "a.png"})
                  .m_options.m_nShading,
              0);
    EXPECT_EQ(ParseCommandLine({"--bench", "3"}).m_status, CParseResult::kRun);
    EXPECT_EQ(ParseCommandLine({"--size", "5x5", "--help"}).m_status, CParseResult::kHelp);
    EXPECT_EQ(ParseCommandLine({"-h"}).m_status, CParseResult::kHelp);
}

struct BadCase
{
    Args args;
    std::string mentions; // part of the message: the option and what it allows
};

TEST(CommandLineTest, BadInputIsRefusedWithAMessageNamingTheOption)
{
    const std::string kRing = "--ring-radius must be a whole number from 100 to 300";
    const std::string kSize = "--size must be WIDTHxHEIGHT";
    const std::string kAngle = "--angle-x must be a finite number";
    const BadCase cases[] = {
        {{"--colour", "red", "-o", "a.png"}, "unknown option '--colour'"},
        {{"-o", "a.png", "--ring-radius"}, "missing value after --ring-radius"},
        {{"--ring-radius", "99", "-o", "a.png"}, kRing},
        {{"--ring-radius", "301", "-o", "a.png"}, kRing},
        {{"--ring-radius", "200.0", "-o", "a.png"}, kRing},
        {{"--ring-radius", "abc", "-o", "a.png"}, kRing},
        {{"--ring-radius", " 200", "-o", "a.png"}, kRing},
        {{"--ring-radius", "", "-o", "a.png"}, kRing},
        {{"--ring-radius", "99999999999999999999", "-o", "a.png"}, kRing},
        {{"--section-radius", "121", "-o", "a.png"}, "from 20 to 120"},
        {{"--surface-steps", "5", "-o", "a.png"}, "--surface-steps must be a whole number from 6 to 36"},
        {{"--section-steps", "37", "-o", "a.png"}, "--section-steps must be a whole number from 6 to 36"},
        {{"--angle-x", "nan", "-o", "a.png"}, kAngle},
        {{"--angle-x", "-inf", "-o", "a.png"}, kAngle},
        {{"--angle-x", "1e999", "-o", "a.png"}, kAngle},
        {{"--angle-x", "30deg", "-o", "a.png"}, kAngle},
        {{"--angle-y", "infinity", "-o", "a.png"}, "--angle-y must be a finite number"},
        {{"--size", "800", "-o", "a.png"}, kSize},
        {{"--size", "800x", "-o", "a.png"}, kSize},
        {{"--size", "-1x600", "-o", "a.png"}, kSize},
        {{"--size", "16385x600", "-o", "a.png"}, "from 0 to 16384"},
        {{"--size", "800x600x2", "-o", "a.png"}, kSize},
        {{"--mode", "solid", "-o", "a.png"}, "--mode must be wireframe, surface or texture"},
        {{"--light", "1", "-o", "a.png"}, "--light must be off or on"},
        {{"--frames", "0", "-o", "f%d.png"}, "--frames must be a whole number from 1"},
        {{"--frames", "3", "-o", "frame.png"}, "has no frame number"},
        {{"--frames", "3", "-o", "f%d-%d.png"}, "more than one frame number"},
        {{"--frames", "3", "-o", "f%5d.png"}, "bad conversion"},
        {{"--frames", "3", "-o", "f%s%d.png"}, "bad conversion"},
        {{"--frames", "3", "-o", "f%d%"}, "bad conversion"},
        {{"--mode", "surface"}, "missing -o"},
        {{"-o", ""}, "-o needs a file name"},
        {{"--bench", "5", "-o", "a.png"}, "--bench writes no files"},
        {{"--bench", "5", "--frames", "5"}, "cannot be combined"},
        {{"-o", "a.png", "b.png"}, "unexpected argument 'b.png'"},
        {{"--help=yes"}, "--help takes no value"},
    };
    for (const BadCase& c : cases) {
        std::string line;
        for (const std::string& arg : c.args)
            line += "[" + arg + "] ";
        SCOPED_TRACE(line);
        const CParseResult r = ParseCommandLine(c.args);
        EXPECT_EQ(r.m_status, CParseResult::kError);
        EXPECT_NE(r.m_strError.find(c.mentions), std::string::npos) << r.m_strError;
        EXPECT_EQ(r.m_strError.find('\n'), std::string::npos) << r.m_strError;
    }
}

// A value is echoed with its control characters escaped, so the message stays
// one line and sends nothing to the terminal; a value too small for a double is
// 0, not an error.
TEST(CommandLineTest, EchoedValuesAreEscapedAndTinyAnglesAccepted)
{
    CParseResult r = ParseCommandLine({"--ring-radius", "200\n", "-o", "a.png"});
    ASSERT_EQ(r.m_status, CParseResult::kError);
    EXPECT_NE(r.m_strError.find("(got '200\\n')"), std::string::npos) << r.m_strError;
    r = ParseCommandLine({"--mode", "\x1b[31mred\xff", "-o", "a.png"});
    EXPECT_NE(r.m_strError.find("'\\e[31mred\\xff'"), std::string::npos) << r.m_strError;

    r = ParseCommandLine({"--angle-x", "1e-400", "--angle-y", "-1e-400", "-o", "a.png"});
    ASSERT_EQ(r.m_status, CParseResult::kRun) << r.m_strError;
    EXPECT_EQ(r.m_options.m_dAngleX, 0.0);
    EXPECT_EQ(r.m_options.m_dAngleY, 0.0);
    EXPECT_EQ(ParseCommandLine({"--angle-x", "-1e400", "-o", "a.png"}).m_status, CParseResult::kError);

    EXPECT_TRUE(ParseCommandLine({"--verbose", "-o", "-"}).m_options.m_bVerbose);
    EXPECT_EQ(ParseCommandLine({"--verbose=1", "-o", "a.png"}).m_status, CParseResult::kError);
}

TEST(FramePatternTest, NumbersFramesFromThePattern)
{
    CFramePattern pattern;
    std::string error;
    ASSERT_TRUE(pattern.Parse("out/f%03d.png", error)) << error;
    EXPECT_EQ(pattern.Format(0), "out/f000.png");
    EXPECT_EQ(pattern.Format(12345), "out/f12345.png");
    ASSERT_TRUE(pattern.Parse("100%%-%d%%.png", error)) << error;
    EXPECT_EQ(pattern.Format(7), "100%-7%.png");
}

TEST(AnimationTest, AngleAdvancesAsTheWindowTimerDoes)
{
    double angle = 0.0;
    for (int tick = 0; tick < 72; ++tick)
        angle = NextAnimationAngle(angle);
    EXPECT_EQ(angle, 360.0); // 360 is shown for one frame
    EXPECT_EQ(NextAnimationAngle(angle), 0.0);
    EXPECT_EQ(NextAnimationAngle(357.0), 362.0);
    EXPECT_EQ(NextAnimationAngle(362.0), 0.0);
}

} // namespace
