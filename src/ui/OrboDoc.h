#pragma once

#include <string>

// The user's current choices, shared by the control panel, which writes them on
// every slider move and button click, and the rendering view, which takes them
// over on its timer ticks. Nothing is read from or written to disk. The codes are
// those of the renderer: mode 0 wireframe, 1 surface, 2 texture; light 0 off,
// 1 on; shading 0 Gouraud, 1 Phong.
class COrboDoc
{
public:
    int m_nRingRadius = 200;
    int m_nSectionRadius = 80;
    int m_nSurfaceSteps = 18;
    int m_nSectionSteps = 18;
    int m_nMode = 0;
    int m_nLight = 1;
    int m_nShading = 0;
    // Full path of the texture chosen by the user, in the file system's encoding;
    // empty until a file has been chosen.
    std::string m_strTexturePath;
};
