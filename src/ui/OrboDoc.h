#pragma once

#include "scene/RenderSettings.h"

// The user's current choices, shared by the control panel, which writes them on
// every slider move and button click, and the rendering view, which takes them
// over on its timer ticks. Nothing is read from or written to disk.
class COrboDoc : public CRenderSettings
{
};
