#pragma once

#include "raster/PixelSink.h"

#include <QImage>

#include <string>

// The frame as a QImage sharing the sink's pixels (no copy): valid while the sink
// lives and is not written. Its format is RGBX8888, the byte order the sink keeps.
QImage FrameImage(const CPixelSink& sink);

// Writes the frame as an RGB PNG, top row first. On failure returns false with
// the reason in error.
bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error);
