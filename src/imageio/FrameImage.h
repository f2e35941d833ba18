#pragma once

#include "imageio/FileError.h"
#include "imageio/FrameFormat.h"
#include "imageio/OutputFile.h"
#include "imageio/PngEncoder.h"
#include "raster/PixelSink.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

// The frame as a QImage sharing the sink's pixels (no copy): valid while the sink
// lives and is not written. Its format is RGBX8888, the byte order the sink keeps.
QImage FrameImage(const CPixelSink& sink);

// The pixels of the frame as the PNG encoder takes them.
SPngPixels FramePixels(const CPixelSink& sink);

// The frame as the bytes of a file of the given format, top row first, in bytes
// (what it held is replaced; its storage is reused); compression is the PNG's
// (see PngCompression). Runs in the calling thread. On failure (also for a frame
// with width or height 0, which neither format holds, and for a frame too large
// for the memory left) returns false with the reason in error.
bool EncodeFrame(const CPixelSink& sink, EFrameFormat format, int compression,
                 std::vector<std::uint8_t>& bytes, SFileError& error);

// Writes the frame as an RGB PNG to the file named by path (its bytes, whatever
// their encoding), as WriteWholeFile writes it, encoded in memory first, in the
// calling thread. Fails as EncodeFrame and WriteWholeFile fail.
bool SaveFramePng(const CPixelSink& sink, const std::string& path, SFileError& error,
                  EPipeOpen pipes = EPipeOpen::kWaitForReader, int compression = PngCompression::kDefault);
bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error);
