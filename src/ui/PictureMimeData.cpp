#include "ui/PictureMimeData.h"

#include "imageio/FrameImage.h"

#include <QImage>

#include <utility>
#include <vector>

namespace {

const QString kPngType = QStringLiteral("image/png");
const QString kQtImageType = QStringLiteral("application/x-qt-image");

} // namespace

CPictureMimeData::CPictureMimeData(CPixelSink frame) : m_frame(std::move(frame))
{
}

QStringList CPictureMimeData::formats() const
{
    return {kPngType};
}

bool CPictureMimeData::hasFormat(const QString& mimeType) const
{
    return mimeType == kPngType;
}

QVariant CPictureMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType == kQtImageType && type.id() == QMetaType::QImage)
        return FrameImage(m_frame).convertToFormat(QImage::Format_RGB32); // a copy of its own
    if (mimeType != kPngType)
        return QMimeData::retrieveData(mimeType, type);
    if (m_png.isEmpty()) {
        std::vector<std::uint8_t> png;
        SFileError error;
        if (!EncodeFrame(m_frame, EFrameFormat::kPng, PngCompression::kSmallest, png, error))
            return QVariant(); // an empty frame, or no memory: nothing to offer
        m_png = QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
    }
    return m_png;
}
