#pragma once

#include "render/PixelFacts.h"

#include <QStringList>

// The pixel inspector's facts as the window shows them, one fact a line: the
// tooltip shows the lines, the status-bar pane shows them side by side.
QStringList InspectorLines(const SPixelFacts& facts);
