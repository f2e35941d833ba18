#include "imageio/TextureFile.h"

#include "imageio/BmpDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace {

// No texture file is larger: 64 M texels of 4 bytes plain, and a margin.
constexpr std::int64_t kMaxFileBytes = 320LL * 1024 * 1024;

// Qt refuses by default to allocate an image over 128 MB, half of what the
// texture limit allows; its limit is raised to the largest image our limit
// admits in its widest decoded form (8 bytes a pixel, 16-bit channels).
constexpr int kQtAllocationLimitMb = static_cast<int>(TextureLimits::kMaxTexels * 8 / (1024 * 1024));

enum class EFormat { kUnknown, kBmp, kPng, kJpeg };

EFormat FormatOf(std::span<const std::uint8_t> b)
{
    static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M')
        return EFormat::kBmp;
    if (b.size() >= sizeof kPng && std::equal(std::begin(kPng), std::end(kPng), b.begin()))
        return EFormat::kPng;
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return EFormat::kJpeg;
    return EFormat::kUnknown;
}

// A JPEG's decoder draws whatever is missing at the end of a truncated file in
// grey without failing. The file is complete when its marker segments, walked
// from the start, and the coded data after each scan header reach the end
// marker.
bool JpegIsComplete(std::span<const std::uint8_t> b)
{
    std::size_t at = 2; // after the start marker
    while (at < b.size()) {
        if (b[at] != 0xFF)
            return false;
        while (at < b.size() && b[at] == 0xFF) // fill bytes
            ++at;
        if (at >= b.size())
            return false;
        const std::uint8_t marker = b[at++];
        if (marker == 0xD9) // end of image
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) // no length
            continue;
        if (b.size() - at < 2)
            return false;
        const std::size_t length = static_cast<std::size_t>(b[at] << 8 | b[at + 1]);
        if (length < 2 || b.size() - at < length)
            return false;
        at += length;
        if (marker != 0xDA) // not a scan header: the next marker follows
            continue;
        // Coded data: a 0xFF in it is followed by 0 or a restart marker.
        while (at + 1 < b.size() &&
               !(b[at] == 0xFF && b[at + 1] != 0x00 && !(b[at + 1] >= 0xD0 && b[at + 1] <= 0xD7)))
            ++at;
        if (at + 1 >= b.size())
            return false;
    }
    return false;
}

// PNG and JPEG through Qt's readers, into an image of the reader's format filled
// with prefill beforehand, so that pixels the reader leaves unwritten show.
bool DecodeWithQt(std::span<const std::uint8_t> bytes, CDecodedImage& out, std::string& error,
                  std::uint8_t prefill)
{
    using namespace TextureLimits;
    QImageReader::setAllocationLimit(kQtAllocationLimitMb);
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    if (!reader.canRead()) {
        error = "not a readable image";
        return false;
    }
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        error = "the image has no size";
        return false;
    }
    if (size.width() > kMaxSide || size.height() > kMaxSide ||
        std::int64_t(size.width()) * size.height() > kMaxTexels) {
        error = "the image is too large (" + std::to_string(size.width()) + "x" +
                std::to_string(size.height()) + ")";
        return false;
    }
    QImage image;
    const QImage::Format format = reader.imageFormat();
    if (format != QImage::Format_Invalid) {
        image = QImage(size, format);
        if (!image.isNull())
            std::memset(image.bits(), prefill, static_cast<std::size_t>(image.sizeInBytes()));
    }
    if (!reader.read(&image) || image.isNull()) {
        error = reader.error() == QImageReader::InvalidDataError
                    ? "the file is truncated or corrupt"
                    : reader.errorString().toStdString();
        return false;
    }
    if (image.size() != size) {
        error = "the file is corrupt (its size changed while reading)";
        return false;
    }
    // RGB32 keeps every pixel as 0xffRRGGBB in memory order blue, green, red, 0xff.
    image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        error = "not enough memory for the image";
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 4;
    out.m_nWidth = image.width();
    out.m_nHeight = image.height();
    out.m_texels.resize(rowBytes * static_cast<std::size_t>(image.height()));
    for (int row = 0; row < image.height(); ++row)
        std::memcpy(out.m_texels.data() + rowBytes * static_cast<std::size_t>(row),
                    image.constScanLine(row), rowBytes);
    return true;
}

// Reads the whole of a regular file. Opening does not wait for a writer, so a
// pipe is seen as one and refused.
bool ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok)
        error = std::strerror(errno);
    else if (S_ISDIR(info.st_mode))
        ok = false, error = "it is a folder, not a file";
    else if (!S_ISREG(info.st_mode))
        ok = false, error = "not a regular file";
    else if (info.st_size == 0)
        ok = false, error = "the file is empty";
    else if (info.st_size > kMaxFileBytes)
        ok = false, error = "the file is too large for a texture";
    if (ok) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (ok && got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false, error = std::strerror(errno);
            else if (n == 0)
                bytes.resize(got); // shrank while being read: decode what is there
            else
                got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return ok;
}

} // namespace

bool DecodeTexture(std::span<const std::uint8_t> bytes, CTexture& texture, std::string& error,
                   std::uint8_t prefill)
{
    CDecodedImage image;
    bool ok = false;
    switch (FormatOf(bytes)) {
    case EFormat::kBmp:
        ok = DecodeBmp(bytes, image, error, prefill);
        break;
    case EFormat::kJpeg:
        ok = JpegIsComplete(bytes);
        if (!ok)
            error = "the file is truncated or corrupt";
        else
            ok = DecodeWithQt(bytes, image, error, prefill);
        break;
    case EFormat::kPng:
        ok = DecodeWithQt(bytes, image, error, prefill);
        break;
    case EFormat::kUnknown:
        error = std::string("not a ") + kTextureFormats + " image";
        break;
    }
    if (!ok)
        return false;

    texture = CTexture(image.m_nWidth, image.m_nHeight, std::move(image.m_texels));
    return true;
}

bool LoadTextureFile(const std::string& path, CTexture& texture, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(path, bytes, error))
        return false;
    if (bytes.empty()) {
        error = "the file is empty";
        return false;
    }
    try {
        return DecodeTexture(bytes, texture, error);
    } catch (const std::bad_alloc&) {
        error = "not enough memory for the image";
        return false;
    }
}
