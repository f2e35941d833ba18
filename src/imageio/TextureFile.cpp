#include "imageio/TextureFile.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstdint>
#include <cstring>

namespace {
// Larger images are refused before anything is decoded: a texture this size is
// already far beyond what the torus can show.
constexpr int kMaxTextureSide = 16384;
constexpr qint64 kMaxTextureTexels = 64LL * 1024 * 1024;

std::uint32_t ReadLE(const QByteArray& bytes, int at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Qt's BMP reader accepts a file that ends before its last pixel row and fills
// the missing rows with black. For a BMP whose size follows from its header
// (uncompressed, or compressed with the data size given) the file must be long
// enough. Returns false when it is not; anything it cannot judge passes.
bool BmpIsComplete(QFile& file)
{
    const QByteArray head = file.peek(38);
    if (head.size() < 26 || !head.startsWith("BM"))
        return true;
    const qint64 dataOffset = ReadLE(head, 10, 4);
    const std::uint32_t infoSize = ReadLE(head, 14, 4);
    qint64 width = 0, height = 0, bitsPerPixel = 0, compression = 0, imageSize = 0;
    if (infoSize == 12) { // OS/2 core header: 16-bit sizes, never compressed
        width = ReadLE(head, 18, 2);
        height = ReadLE(head, 20, 2);
        bitsPerPixel = ReadLE(head, 24, 2);
    } else if (infoSize >= 40 && head.size() >= 38) {
        width = static_cast<std::int32_t>(ReadLE(head, 18, 4));
        height = static_cast<std::int32_t>(ReadLE(head, 22, 4));
        bitsPerPixel = ReadLE(head, 28, 2);
        compression = ReadLE(head, 30, 4);
        imageSize = ReadLE(head, 34, 4);
    } else {
        return true;
    }
    if (height < 0)
        height = -height; // top-down rows
    // Sizes out of range are refused later, from the size the reader reports.
    if (width <= 0 || width > kMaxTextureSide || height > kMaxTextureSide || bitsPerPixel > 64)
        return true;
    qint64 end = 0;
    if (compression == 0 || compression == 3 || compression == 6) // plain or bit fields
        end = dataOffset + (width * bitsPerPixel + 31) / 32 * 4 * height;
    else if (compression == 1 || compression == 2) // run-length encoded
        end = dataOffset + imageSize;
    else
        return true;
    return file.size() >= end;
}
} // namespace

bool LoadTextureFile(const std::string& path, CTexture& texture, std::string& error)
{
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    if (file.size() == 0) {
        error = "the file is empty";
        return false;
    }
    if (!BmpIsComplete(file)) {
        error = "the file is truncated";
        return false;
    }
    QImageReader reader(&file);
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
