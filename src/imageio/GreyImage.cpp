#include "imageio/GreyImage.h"

#include "imageio/OutputFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <cstring>
#include <new>
#include <span>

bool SaveGrey16Png(int width, int height, const std::vector<std::uint16_t>& levels, const std::string& path,
                   SFileError& error)
{
    using EKind = SFileError::EKind;
    if (width <= 0 || height <= 0) {
        error = SFileError::Of(EKind::kEmptyFrame, "the picture is empty (width or height 0)");
        return false;
    }
    QByteArray png;
    try {
        QImage grey(width, height, QImage::Format_Grayscale16);
        if (grey.isNull()) {
            error = SFileError::Of(EKind::kNoMemory, "not enough memory");
            return false;
        }
        for (int row = 0; row < height; ++row)
            std::memcpy(grey.scanLine(row), levels.data() + static_cast<std::size_t>(row) * width,
                        static_cast<std::size_t>(width) * sizeof(std::uint16_t));
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(grey)) {
            error = SFileError::Of(EKind::kNoMemory, "not enough memory");
            return false;
        }
    } catch (const std::bad_alloc&) {
        error = SFileError::Of(EKind::kNoMemory, "not enough memory");
        return false;
    }
    return WriteWholeFile(
        path, {reinterpret_cast<const std::uint8_t*>(png.constData()), static_cast<std::size_t>(png.size())},
        error);
}
