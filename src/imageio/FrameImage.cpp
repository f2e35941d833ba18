#include "imageio/FrameImage.h"

#include "imageio/OutputFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <cstdint>
#include <span>

namespace {

// The frame as PNG bytes; false with the reason when it cannot be encoded.
bool EncodePng(const CPixelSink& sink, QByteArray& png, std::string& error)
{
    // PNG cannot hold an empty image; a 0-pixel frame is written as nothing at all.
    if (sink.Width() == 0 || sink.Height() == 0) {
        error = "the frame is empty (width or height 0)";
        return false;
    }
    const QImage rgb = FrameImage(sink).convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        error = "not enough memory for the image";
        return false;
    }
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(rgb)) {
        error = writer.errorString().toStdString();
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

bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error)
{
    QByteArray png;
    return EncodePng(sink, png, error) && WriteWholeFile(path, Bytes(png), error);
}

bool WriteFramePng(const CPixelSink& sink, int fd, std::string& error)
{
    QByteArray png;
    return EncodePng(sink, png, error) && WriteAllTo(fd, Bytes(png), error);
}
