#include "imageio/FrameImage.h"

#include <QImageWriter>
#include <QString>

QImage FrameImage(const CPixelSink& sink)
{
    if (sink.Width() == 0 || sink.Height() == 0)
        return QImage(sink.Width(), sink.Height(), QImage::Format_RGBX8888);
    return QImage(reinterpret_cast<const uchar*>(sink.Data()), sink.Width(), sink.Height(),
                  static_cast<qsizetype>(sink.Width()) * 4, QImage::Format_RGBX8888);
}

bool SaveFramePng(const CPixelSink& sink, const std::string& path, std::string& error)
{
    // PNG cannot hold an empty image; a 0-pixel frame is written as nothing at all.
    if (sink.Width() == 0 || sink.Height() == 0) {
        error = "the frame is empty (width or height 0)";
        return false;
    }
    QImageWriter writer(QString::fromStdString(path), "png");
    if (!writer.write(FrameImage(sink).convertToFormat(QImage::Format_RGB888))) {
        error = writer.errorString().toStdString();
        return false;
    }
    return true;
}
