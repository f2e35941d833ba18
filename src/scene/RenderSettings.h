#pragma once

#include <array>
#include <string>
#include <string_view>

// The codes of the drawing mode, the light switch and the shading method, shared
// by the panel, the document, the renderer and the command line.
enum : int { kModeWireframe = 0, kModeSurface = 1, kModeTexture = 2 };
enum : int { kLightOff = 0, kLightOn = 1 };
enum : int { kShadingGouraud = 0, kShadingPhong = 1 };

// The command-line word of each code, indexed by the code.
inline constexpr std::array<std::string_view, 3> kModeNames{"wireframe", "surface", "texture"};
inline constexpr std::array<std::string_view, 2> kLightNames{"off", "on"};
inline constexpr std::array<std::string_view, 2> kShadingNames{"gouraud", "phong"};

// Texture mode is drawn with Phong shading: the panel selects Phong whenever it
// selects texture mode, and the command line does the same without --shading.
inline constexpr int kTextureShading = kShadingPhong;

// Which drawing a frame is: the one decision of mode, light switch and shading.
// The lit texture is drawn with Phong only, so texture mode with the light on and
// Gouraud draws nothing, as does any mode or shading value outside the codes.
enum class EDrawing { kLines, kGouraud, kPhong, kTexture, kLitTexture, kNothing };

constexpr EDrawing DrawingOf(int mode, int light, int shading)
{
    if (mode == kModeWireframe)
        return EDrawing::kLines;
    if (mode == kModeSurface)
        return shading == kShadingGouraud ? EDrawing::kGouraud
               : shading == kShadingPhong ? EDrawing::kPhong
                                          : EDrawing::kNothing;
    if (mode != kModeTexture)
        return EDrawing::kNothing;
    if (light == kLightOff)
        return EDrawing::kTexture;
    return light == kLightOn && shading == kTextureShading ? EDrawing::kLitTexture : EDrawing::kNothing;
}

// The ranges the panel's sliders offer, and their start values (the defaults of
// CRenderSettings below).
namespace RenderLimits {
constexpr int kMinRingRadius = 100, kMaxRingRadius = 300;
constexpr int kMinSectionRadius = 20, kMaxSectionRadius = 120;
constexpr int kMinSteps = 6, kMaxSteps = 36;
} // namespace RenderLimits

// The view's size when the window first opens, beside the control panel: the
// frame orbo-render draws unless told another size.
namespace ViewSize {
constexpr int kWidth = 520, kHeight = 600;
} // namespace ViewSize

// What the user chooses: the torus, the way it is drawn and the texture file.
// The document holds one set, the command line reads one, and the renderer takes
// one over with CTorusRenderer::ApplySettings.
struct CRenderSettings
{
    int m_nRingRadius = 200;
    int m_nSectionRadius = 80;
    int m_nSurfaceSteps = 18;
    int m_nSectionSteps = 18;
    int m_nMode = kModeWireframe;
    int m_nLight = kLightOn;
    int m_nShading = kShadingGouraud;
    // The texture file in the file system's encoding; empty until one is chosen.
    std::string m_strTexturePath;
};
