#include "imageio/FrameImage.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <cstdint>
#include <cstring>
#include <new>
#include <span>

namespace {

using EKind = SFileError::EKind;

// The frame as RGB888, converted here row by row: Qt's own conversion hands a
// large image to worker threads and waits for them, for ever when memory is too
// tight to start one.
QImage RgbCopy(const CPixelSink& sink)
{
    QImage rgb(sink.Width(), sink.Height(), QImage::Format_RGB888);
    if (rgb.isNull())
        return rgb;
    for (int row = 0; row < sink.Height(); ++row) {
        const std::uint8_t* from = reinterpret_cast<const std::uint8_t*>(sink.Data()) +
                                   static_cast<std::size_t>(row) * static_cast<std::size_t>(sink.Width()) * 4;
        uchar* to = rgb.scanLine(row);
        for (int col = 0; col < sink.Width(); ++col, from += 4, to += 3)
            std::memcpy(to, from, 3); // red, green, blue; the fourth byte is padding
    }
    return rgb;
}

// The frame as PNG bytes; false with the reason when it cannot be encoded.
bool EncodePng(const CPixelSink& sink, QByteArray& png, SFileError& error)
{
    // PNG cannot hold an empty image; a 0-pixel frame is written as nothing at all.
    if (sink.Width() == 0 || sink.Height() == 0) {
        error = SFileError::Of(EKind::kEmptyFrame, "the frame is empty (width or height 0)");
        return false;
    }
    try {
        const QImage rgb = RgbCopy(sink);
        if (rgb.isNull()) {
            error = SFileError::Of(EKind::kNoMemory, "not enough memory");
            return false;
        }
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(rgb)) {
            // The buffer that cannot grow is the usual reason.
            error = writer.error() == QImageWriter::DeviceError
                        ? SFileError::Of(EKind::kNoMemory, "not enough memory")
                        : SFileError::Of(EKind::kCorrupt, writer.errorString().toStdString());
            return false;
        }
    } catch (const std::bad_alloc&) {
        error = SFileError::Of(EKind::kNoMemory, "not enough memory");
        return false;
    }
    return true;
}

std::span<const std::uint8_t> Bytes(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

} // namespace

QImage FrameImage(const CPixelSink& sink)
{
    if (sink.Width() == 0 || sink.Height() == 0)
        return QImage(sink.Width(), sink.Height(), QImage::Format_RGBX8888);
    return QImage(reinterpret_cast<const uchar*>(sink.Data()), sink.Width(), sink.Height(),
                  static_cast<qsizetype>(sink.Width()) * 4, QImage::Format_RGBX8888);
}

bool SaveFramePng(const CPixelSink& sink, const std::string& path, SFileError& error, EPipeOpen pipes)
{
    QByteArray png;
    return EncodePng(sink, png, error) && WriteWholeFile(path, Bytes(png), error, pipes);
}

bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error)
{
    SFileError failure;
    const bool saved = SaveFramePng(sink, path, failure);
    if (!saved)
        error = failure.m_strText;
    return saved;
}

bool WriteFramePng(const CPixelSink& sink, int fd, SFileError& error)
{
    QByteArray png;
    return EncodePng(sink, png, error) && WriteAllTo(fd, Bytes(png), error);
}
