#pragma once

#include "raster/PixelSink.h"

#include <QImage>

#include <string>

// The frame as a QImage sharing the sink's pixels (no copy): valid while the sink
// lives and is not written. Its format is RGBX8888, the byte order the sink keeps.
QImage FrameImage(const CPixelSink& sink);

// Writes the frame as an RGB PNG, top row first. An existing file is replaced
// only once the new one is complete. On failure (also for a frame with width or
// height 0, which PNG cannot hold) returns false with the reason in error and
// leaves no file behind.
bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error);
