#include "imageio/FrameImage.h"

#include <QFile>
#include <QImageWriter>
#include <QSaveFile>
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
    // The image goes to a temporary file beside the target that replaces it only
    // once complete: a failed write leaves neither a partial file nor a damaged
    // earlier one.
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    const QImage rgb = FrameImage(sink).convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        error = "not enough memory for the image";
        file.cancelWriting();
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(rgb)) {
        error = writer.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}
