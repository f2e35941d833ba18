#pragma once

#include "cli/FramePattern.h"    // the -o pattern of --frames
#include "imageio/FrameFormat.h" // --format
#include "imageio/PngEncoder.h"  // --compression
#include "render/Animation.h"    // the angles of --frames and --bench
#include "scene/RenderSettings.h"

#include <string>
#include <vector>

// Everything orbo-render is asked to do, as read from its command line: the
// user's settings, with the window's defaults, and what to render and write. An
// empty m_strTexturePath stands for the default texture, looked up when needed.
struct CRenderOptions : CRenderSettings
{
    int m_nWidth = ViewSize::kWidth; // the window's view
    int m_nHeight = ViewSize::kHeight;
    double m_dAngleX = 0.0;
    double m_dAngleY = 0.0;
    std::string m_strOutput; // "-": the standard output
    EFrameFormat m_format = EFrameFormat::kPng;
    int m_nCompression = PngCompression::kDefault;
    int m_nFrames = 0;       // > 0: an animation written through the pattern in m_strOutput,
                             // or one frame after another to the standard output
    int m_nBench = 0;        // > 0: that many frames timed, nothing written
    int m_nThreads = 0;      // > 0: the threads that fill facets; 0: the renderer's choice
    bool m_bVerbose = false; // Qt's own warnings go to stderr
    bool m_bInspect = false; // print the facts of pixel (m_nInspectX, m_nInspectY)
    int m_nInspectX = 0;     // logical: origin at the frame's centre, y up
    int m_nInspectY = 0;
    int m_nFacets = -1;      // >= 0: only the first that many facets of the drawing order are drawn
    bool m_bHistory = false; // also print the history of pixel (m_nHistoryX, m_nHistoryY), the inspected one
    int m_nHistoryX = 0;
    int m_nHistoryY = 0;
    std::string m_strDepthImage; // not empty: the depth buffer written there as a 16-bit grey PNG
};

// What the command line accepts besides the panel's ranges (--threads goes up to
// CTorusRenderer::kMaxThreads).
namespace RenderLimits {
constexpr int kMaxSide = 16384;
constexpr int kMaxFrames = 100000;
} // namespace RenderLimits

struct CParseResult
{
    enum EStatus { kRun, kHelp, kVersion, kError };
    EStatus m_status = kRun;
    std::string m_strError; // one line, without the program name, when kError
    CRenderOptions m_options;
};

// Reads the arguments that follow the program name. Nothing is checked against
// the file system here; every other rule of the command line is.
CParseResult ParseCommandLine(const std::vector<std::string>& args);

// The text printed for -h / --help.
std::string UsageText();

// The lines printed for --version: the program's name and version, then its
// licence.
std::string VersionText();
