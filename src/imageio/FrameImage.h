#pragma once

#include "imageio/FileError.h"
#include "imageio/OutputFile.h"
#include "raster/PixelSink.h"

#include <QImage>

#include <string>

// The frame as a QImage sharing the sink's pixels (no copy): valid while the sink
// lives and is not written. Its format is RGBX8888, the byte order the sink keeps.
QImage FrameImage(const CPixelSink& sink);

// Writes the frame as an RGB PNG, top row first, to the file named by path (its
// bytes, whatever their encoding), as WriteWholeFile writes it. The image is
// encoded in memory first, in the calling thread. On failure (also for a frame
// with width or height 0, which PNG cannot hold, and for a frame too large for
// the memory left) returns false with the reason in error.
bool SaveFramePng(const CPixelSink& sink, const std::string& path, SFileError& error,
                  EPipeOpen pipes = EPipeOpen::kWaitForReader);
bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error);

// The same to an open descriptor, for standard output.
bool WriteFramePng(const CPixelSink& sink, int fd, SFileError& error);
