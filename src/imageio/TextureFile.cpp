#include "imageio/TextureFile.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstring>

namespace {
// Larger images are refused before anything is decoded: a texture this size is
// already far beyond what the torus can show.
constexpr int kMaxTextureSide = 16384;
constexpr qint64 kMaxTextureTexels = 64LL * 1024 * 1024;
} // namespace

bool LoadTextureFile(const std::string& path, CTexture& texture, std::string& error)
{
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(false);
    if (!reader.canRead()) {
        error = reader.errorString().toStdString();
        return false;
    }
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxTextureSide || size.height() > kMaxTextureSide ||
                           qint64(size.width()) * size.height() > kMaxTextureTexels)) {
        error = "image too large";
        return false;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        error = reader.errorString().toStdString();
        return false;
    }
    if (image.width() > kMaxTextureSide || image.height() > kMaxTextureSide ||
        qint64(image.width()) * image.height() > kMaxTextureTexels) {
        error = "image too large";
        return false;
    }
    // RGB32 keeps every pixel as 0xffRRGGBB in memory order blue, green, red, 0xff.
    image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        error = "out of memory";
        return false;
    }

    const int width = image.width();
    const int height = image.height();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> texels(rowBytes * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row)
        std::memcpy(texels.data() + rowBytes * static_cast<std::size_t>(row), image.constScanLine(row),
                    rowBytes);

    texture.m_desc.m_nType = 0;
    texture.m_desc.m_nWidth = width;
    texture.m_desc.m_nHeight = height;
    texture.m_desc.m_nBytesPerRow = static_cast<std::int32_t>(rowBytes);
    texture.m_desc.m_nPlanes = 1;
    texture.m_desc.m_nBitsPerTexel = 32;
    texture.m_texels = std::move(texels);
    return true;
}
