#pragma once

#include <string>
#include <vector>

// Everything orbo-render is asked to do, as read from its command line. The
// defaults are those of the window: the view's size, the torus and the drawing
// settings it starts with.
struct CRenderOptions
{
    int m_nWidth = 520;
    int m_nHeight = 600;
    int m_nRingRadius = 200;
    int m_nSectionRadius = 80;
    int m_nSurfaceSteps = 18;
    int m_nSectionSteps = 18;
    int m_nMode = 0;    // 0 wireframe, 1 surface, 2 texture
    int m_nLight = 1;   // 0 off, 1 on
    int m_nShading = 0; // 0 Gouraud, 1 Phong
    double m_dAngleX = 0.0;
    double m_dAngleY = 0.0;
    std::string m_strTexturePath = "./Data/texture1.bmp";
    std::string m_strOutput;
    int m_nFrames = 0; // > 0: an animation written through the pattern in m_strOutput
    int m_nBench = 0;  // > 0: that many frames timed, nothing written
    bool m_bVerbose = false; // Qt's own warnings go to stderr
};

// Ranges the command line accepts; the radii and step counts are those of the
// window's sliders.
namespace RenderLimits {
constexpr int kMinRingRadius = 100, kMaxRingRadius = 300;
constexpr int kMinSectionRadius = 20, kMaxSectionRadius = 120;
constexpr int kMinSteps = 6, kMaxSteps = 36;
constexpr int kMaxSide = 16384;
constexpr int kMaxFrames = 100000;
} // namespace RenderLimits

struct CParseResult
{
    enum EStatus { kRun, kHelp, kError };
    EStatus m_status = kRun;
    std::string m_strError; // one line, without the program name, when kError
    CRenderOptions m_options;
};

// Reads the arguments that follow the program name. Nothing is checked against
// the file system here; every other rule of the command line is.
CParseResult ParseCommandLine(const std::vector<std::string>& args);

// The text printed for -h / --help.
std::string UsageText();

// A file-name pattern for numbered frames: literal text with exactly one %d or
// %0Nd conversion (N a digit count, 1 to 20) and %% for a percent sign.
class CFramePattern
{
public:
    // Reads pattern; on failure returns false with the reason in error.
    bool Parse(const std::string& pattern, std::string& error);
    // The file name of frame number n (counted from 0).
    std::string Format(int n) const;

private:
    std::string m_strPrefix;
    std::string m_strSuffix;
    int m_nWidth = 0; // 0: no padding
};

// The next angle of the animation, as the window's timer advances it: 5 degrees
// a frame, and once 360 or more has been shown, back to 0.
double NextAnimationAngle(double angle);
