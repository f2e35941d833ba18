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
    EXPECT_EQ(o.m_format, EFrameFormat::kPng);
    EXPECT_EQ(o.m_nCompression, PngCompression::kDefault);
}

// The format is PNG unless --format or a name ending in .ppm says PPM; the
// standard output takes a sequence too.
TEST(CommandLineTest, FormatAndCompression)
{
    const struct
    {
        Args args;
        EFrameFormat format;
        int compression;
    } cases[] = {
        {{"--compression", "9", "-o", "a.png"}, EFrameFormat::kPng, 9},
        {{"--compression=0", "--frames", "3", "-o", "-"}, EFrameFormat::kPng, 0},
        {{"-o", "a.PPM"}, EFrameFormat::kPpm, PngCompression::kDefault},
        {{"--frames", "2", "-o", "f%d.ppm"}, EFrameFormat::kPpm, PngCompression::kDefault},
        {{"--format", "ppm", "--frames", "2", "-o", "-"}, EFrameFormat::kPpm, PngCompression::kDefault},
        {{"--format", "png", "-o", "a.ppm"}, EFrameFormat::kPng, PngCompression::kDefault},
    };
    for (const auto& c : cases) {
        const CParseResult r = ParseCommandLine(c.args);
        ASSERT_EQ(r.m_status, CParseResult::kRun) << r.m_strError;
        EXPECT_EQ(r.m_options.m_format, c.format) << c.args.back();
        EXPECT_EQ(r.m_options.m_nCompression, c.compression) << c.args.back();
    }
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
    EXPECT_EQ(ParseCommandLine({"--mode", "surface", "--version"}).m_status, CParseResult::kVersion);
    EXPECT_EQ(VersionText(), std::string("orbo-render ") + ORBO_VERSION + "\nLicence: MIT");
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
        {{"--inspect", "10"}, "--inspect must be X,Y"},
        {{"--inspect", "1,2,3"}, "--inspect must be X,Y"},
        {{"--inspect", "1.5,2"}, "--inspect must be X,Y"},
        {{"--inspect", ""}, "--inspect must be X,Y"},
        {{"--inspect", "260,0"}, "x goes from -260 to 259, y from -299 to 300"},
        {{"--inspect", "0,-300"}, "lies outside the 520x600 frame"},
        {{"--inspect", "0,0", "--size", "0x10"}, "needs a frame with pixels"},
        {{"--inspect", "0,0", "--bench", "2"}, "cannot be combined with --bench"},
        {{"--inspect", "0,0", "--frames", "2", "-o", "f%d.png"}, "cannot be combined with --frames"},
        {{"--inspect", "0,0", "-o", "-"}, "--inspect prints to the standard output"},
        {{"--facets", "-1", "-o", "a.png"}, "--facets must be a whole number from 0 to 2147483647"},
        {{"--facets", "1.5", "-o", "a.png"}, "--facets must be a whole number"},
        {{"--facets", "", "-o", "a.png"}, "--facets must be a whole number"},
        {{"--facets", "2147483648", "-o", "a.png"}, "--facets must be a whole number"},
        {{"--compression", "10", "-o", "a.png"}, "--compression must be a whole number from 0 to 9"},
        {{"--format", "gif", "-o", "a.png"}, "--format must be png or ppm"},
        {{"--compression", "3", "-o", "a.ppm"}, "PPM images are not compressed"},
        {{"--bench", "2", "--format", "png"}, "--bench writes no files; leave out --format"},
        {{"--inspect", "0,0", "--compression", "1"}, "--compression is for the image written with -o"},
        {{"--frames", "3", "-o", "--"}, "with --frames, -o must be a file-name pattern or -"},
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

// --inspect needs no -o; the frame's corners are inside, whatever its size.
TEST(CommandLineTest, InspectTakesAPixelOfTheFrame)
{
    const struct
    {
        Args args;
        int x, y;
        std::string output;
    } cases[] = {
        {{"--inspect", "-260,300"}, -260, 300, ""},
        {{"--inspect=259,-299", "-o", "a.png"}, 259, -299, "a.png"},
        {{"--size", "1x1", "--inspect", "+0,-0"}, 0, 0, ""},
        {{"--size", "3x2", "--inspect", "1,0"}, 1, 0, ""},
    };
    for (const auto& c : cases) {
        const CParseResult r = ParseCommandLine(c.args);
        ASSERT_EQ(r.m_status, CParseResult::kRun) << r.m_strError;
        EXPECT_TRUE(r.m_options.m_bInspect);
        EXPECT_EQ(r.m_options.m_nInspectX, c.x);
        EXPECT_EQ(r.m_options.m_nInspectY, c.y);
        EXPECT_EQ(r.m_options.m_strOutput, c.output);
    }
    EXPECT_FALSE(ParseCommandLine({"-o", "a.png"}).m_options.m_bInspect);
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

TEST(CommandLineTest, ThreadsAreAWholeNumberUpToTheRenderersLimit)
{
    EXPECT_EQ(ParseCommandLine({"-o", "a.png"}).m_options.m_nThreads, 0); // the renderer's own count
    EXPECT_EQ(ParseCommandLine({"--threads", "3", "-o", "a.png"}).m_options.m_nThreads, 3);
    EXPECT_EQ(ParseCommandLine({"--threads=256", "--bench", "1"}).m_options.m_nThreads, 256);
    for (const std::string bad : {"0", "257", "-1", "2.0", "", "all"}) {
        SCOPED_TRACE(bad);
        const CParseResult r = ParseCommandLine({"--threads", bad, "--bench", "1"});
        EXPECT_EQ(r.m_status, CParseResult::kError);
        EXPECT_NE(r.m_strError.find("--threads must be a whole number from 1 to 256"), std::string::npos)
            << r.m_strError;
    }
}

// Every occurrence of an option is checked and the last one counts; the word
// after an option is its value whatever it looks like; "--name=" gives an empty
// value; --help wins over any mistake.
TEST(CommandLineTest, RepeatsValuesThatLookLikeOptionsAndEmptyInlineValues)
{
    CParseResult r = ParseCommandLine(
        {"--ring-radius", "150", "--ring-radius=250", "-o", "a.png", "--output", "b.png"});
    ASSERT_EQ(r.m_status, CParseResult::kRun) << r.m_strError;
    EXPECT_EQ(r.m_options.m_nRingRadius, 250);
    EXPECT_EQ(r.m_options.m_strOutput, "b.png");
    r = ParseCommandLine({"--ring-radius", "99", "--ring-radius", "200", "-o", "a.png"});
    EXPECT_NE(r.m_strError.find("(got '99')"), std::string::npos) << r.m_strError;

    r = ParseCommandLine({"--texture", "--mode", "-o", "--help"});
    ASSERT_EQ(r.m_status, CParseResult::kRun) << r.m_strError;
    EXPECT_EQ(r.m_options.m_strTexturePath, "--mode");
    EXPECT_EQ(r.m_options.m_strOutput, "--help");

    r = ParseCommandLine({"--texture=", "-o", "a.png"});
    EXPECT_NE(r.m_strError.find("--texture needs a file name"), std::string::npos) << r.m_strError;
    r = ParseCommandLine({"--section-steps=", "-o", "a.png"});
    EXPECT_NE(r.m_strError.find("from 6 to 36 (got '')"), std::string::npos) << r.m_strError;
    for (const char* flag : {"--verbose=0", "--verbose=true", "--verbose="}) {
        r = ParseCommandLine({"-o", "a.png", flag});
        EXPECT_NE(r.m_strError.find("--verbose takes no value"), std::string::npos) << flag << r.m_strError;
    }

    EXPECT_EQ(ParseCommandLine({"--ring-radius", "1", "--help"}).m_status, CParseResult::kHelp);
    EXPECT_EQ(ParseCommandLine({"--bogus", "-h"}).m_status, CParseResult::kHelp);
}

TEST(CommandLineTest, HelpExplainsEveryOptionAndTheExitStatus)
{
    const std::string help = UsageText();
    for (const char* option : {"--size WxH", "--ring-radius N", "--section-radius N", "--surface-steps N",
                               "--section-steps N", "--mode MODE", "--light off|on", "--shading METHOD",
                               "--angle-x DEG", "--angle-y DEG", "--texture FILE", "--frames N",
                               "--bench N", "--threads N", "--output OUT", "--format png|ppm",
                               "--compression N", "--verbose", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_NE(help.find("wireframe, surface or texture (default wireframe)"), std::string::npos);
    EXPECT_NE(help.find("1 to 256"), std::string::npos);
    EXPECT_NE(help.find("--option=VALUE"), std::string::npos);
    EXPECT_NE(help.find("Exit status: 0 done, 1 the texture could not be read"), std::string::npos);
    EXPECT_NE(help.find("2 bad command line"), std::string::npos);
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
