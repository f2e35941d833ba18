#pragma once

#include "raster/PixelSink.h"

#include <QImage>

#include <string>

// The frame as a QImage sharing the sink's pixels (no copy): valid while the sink
// lives and is not written. Its format is RGBX8888, the byte order the sink keeps.
QImage FrameImage(const CPixelSink& sink);

// Writes the frame as an RGB PNG, top row first, to the file named by path (its
// bytes, whatever their encoding). The image is encoded in memory first. An
// existing regular file is replaced only once the new one is complete; a pipe
// or a device is written into. On failure (also for a frame with width or
// height 0, which PNG cannot hold) returns false with the reason in error and
// leaves no partial file behind.
bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error);

// The same to an open descriptor, for standard output.
bool WriteFramePng(const CPixelSink& sink, int fd, std::string& error);
