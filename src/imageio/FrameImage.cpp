#include "imageio/FrameImage.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

using EKind = SFileError::EKind;

// The frame as a binary PPM: "P6", the width, the height and the largest
// value, 255, as text, then each pixel's red, green and blue bytes.
bool EncodePpm(const CPixelSink& sink, std::vector<std::uint8_t>& ppm, SFileError& error)
{
    char header[48];
    const int headerSize =
        std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", sink.Width(), sink.Height());
    const std::size_t pixels =
        static_cast<std::size_t>(sink.Width()) * static_cast<std::size_t>(sink.Height());
    try {
        ppm.resize(static_cast<std::size_t>(headerSize) + pixels * 3);
    } catch (const std::bad_alloc&) {
        ppm.clear();
        error = SFileError::Of(EKind::kNoMemory, "not enough memory");
        return false;
    }
    std::memcpy(ppm.data(), header, static_cast<std::size_t>(headerSize));
    const std::uint8_t* from = reinterpret_cast<const std::uint8_t*>(sink.Data());
    std::uint8_t* to = ppm.data() + headerSize;
    for (std::size_t i = 0; i < pixels; ++i, from += 4, to += 3)
        std::memcpy(to, from, 3); // red, green, blue; the fourth byte is padding
    return true;
}

} // namespace

QImage FrameImage(const CPixelSink& sink)
{
    if (sink.Width() == 0 || sink.Height() == 0)
        return QImage(sink.Width(), sink.Height(), QImage::Format_RGBX8888);
    return QImage(reinterpret_cast<const uchar*>(sink.Data()), sink.Width(), sink.Height(),
                  static_cast<qsizetype>(sink.Width()) * 4, QImage::Format_RGBX8888);
}

SPngPixels FramePixels(const CPixelSink& sink)
{
    SPngPixels pixels;
    pixels.m_layout = SPngPixels::ELayout::kRgbx8;
    pixels.m_nWidth = sink.Width();
    pixels.m_nHeight = sink.Height();
    pixels.m_pData = reinterpret_cast<const std::uint8_t*>(sink.Data());
    pixels.m_nStride = static_cast<std::size_t>(sink.Width()) * 4;
    return pixels;
}

bool EncodeFrame(const CPixelSink& sink, EFrameFormat format, int compression,
                 std::vector<std::uint8_t>& bytes, SFileError& error)
{
    // Neither format holds an empty image: a 0-pixel frame is written as nothing at all.
    if (sink.Width() == 0 || sink.Height() == 0) {
        bytes.clear();
        error = SFileError::Of(EKind::kEmptyFrame, "the frame is empty (width or height 0)");
        return false;
    }
    if (format == EFrameFormat::kPpm)
        return EncodePpm(sink, bytes, error);
    return EncodePng(FramePixels(sink), compression, bytes, error);
}

bool SaveFramePng(const CPixelSink& sink, const std::string& path, SFileError& error, EPipeOpen pipes,
                  int compression)
{
    std::vector<std::uint8_t> png;
    return EncodeFrame(sink, EFrameFormat::kPng, compression, png, error) &&
           WriteWholeFile(path, png, error, pipes);
}

bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error)
{
    SFileError failure;
    const bool saved = SaveFramePng(sink, path, failure);
    if (!saved)
        error = failure.m_strText;
    return saved;
}
