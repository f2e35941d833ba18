#include "imageio/TextureFile.h"

#include "imageio/BmpDecoder.h"
#include "imageio/PngDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QtGlobal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// No texture file is larger: 64 M texels of 4 bytes plain, and a margin.
constexpr std::int64_t kMaxFileBytes = 320LL * 1024 * 1024;

// Qt refuses by default to allocate an image over 128 MB, half of what the
// texture limit allows; its limit is raised past the largest JPEG our limit
// admits (decoded at 4 bytes a pixel), with room to spare.
constexpr int kQtAllocationLimitMb = static_cast<int>(TextureLimits::kMaxTexels * 8 / (1024 * 1024));

enum class EFormat { kUnknown, kBmp, kPng, kJpeg };

// A decoder's words on one line: control characters (which a damaged file may
// bring into a message) become escapes, \n, \t, \r, \e or \xHH, as the
// programs print file names.
std::string OneLine(const std::string& text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7F) {
            out += ch;
            continue;
        }
        out += '\\';
        switch (c) {
        case '\n':
            out += 'n';
            break;
        case '\t':
            out += 't';
            break;
        case '\r':
            out += 'r';
            break;
        case 0x1B:
            out += 'e';
            break;
        default:
            out += 'x';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

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

// What the marker segments of a JPEG say, walked from the start. A JPEG's
// decoder draws whatever is missing at the end of a truncated file in grey
// without failing: the file is complete when the segments, and the coded data
// after each scan header, reach the end marker.
struct SJpegFacts
{
    bool m_bComplete = false;
    bool m_bArithmetic = false; // arithmetic coding, which needs far fewer bits than Huffman's
    int m_nWidth = 0;           // from the first frame header
    int m_nHeight = 0;
};

SJpegFacts ReadJpegFacts(std::span<const std::uint8_t> b)
{
    SJpegFacts facts;
    std::size_t at = 2; // after the start marker
    while (at < b.size()) {
        if (b[at] != 0xFF)
            return facts;
        while (at < b.size() && b[at] == 0xFF) // fill bytes
            ++at;
        if (at >= b.size())
            return facts;
        const std::uint8_t marker = b[at++];
        if (marker == 0xD9) { // end of image
            facts.m_bComplete = true;
            return facts;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) // no length
            continue;
        if (b.size() - at < 2)
            return facts;
        const std::size_t length = static_cast<std::size_t>(b[at] << 8 | b[at + 1]);
        if (length < 2 || b.size() - at < length)
            return facts;
        // Frame headers: C0 to CF but for C4 (Huffman tables), C8 and CC (arithmetic tables).
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && facts.m_nWidth == 0 && length >= 7) {
            facts.m_nHeight = b[at + 3] << 8 | b[at + 4];
            facts.m_nWidth = b[at + 5] << 8 | b[at + 6];
            facts.m_bArithmetic = marker >= 0xC9;
        }
        at += length;
        if (marker != 0xDA) // not a scan header: the next marker follows
            continue;
        // Coded data: a 0xFF in it is followed by 0 or a restart marker.
        while (at + 1 < b.size() &&
               !(b[at] == 0xFF && b[at + 1] != 0x00 && !(b[at + 1] >= 0xD0 && b[at + 1] <= 0xD7)))
            ++at;
        if (at + 1 >= b.size())
            return facts;
    }
    return facts;
}

// Whether a JPEG of this many bytes can hold the pixels it claims. Each 8 x 8
// block of the full-resolution component takes at least one bit of Huffman-coded
// data; arithmetic coding is given a thousand times more room. A file far below
// the bound would be decoded into a huge grey image from nothing.
bool JpegSizeIsPlausible(const SJpegFacts& facts, std::size_t bytes)
{
    const std::uint64_t blocks = (static_cast<std::uint64_t>(facts.m_nWidth) + 7) / 8 *
                                 ((static_cast<std::uint64_t>(facts.m_nHeight) + 7) / 8);
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes) * 8;
    return facts.m_bArithmetic ? bits * 1024 >= blocks : bits >= blocks;
}

// Collects what Qt's image readers say on this thread while it lives (libjpeg's
// "Corrupt JPEG data"), and passes every message on to the handler that was
// installed before.
class CReaderWarnings
{
public:
    CReaderWarnings()
    {
        t_pActive = this;
        s_previous = qInstallMessageHandler(&Handle);
    }
    ~CReaderWarnings()
    {
        qInstallMessageHandler(s_previous);
        t_pActive = nullptr;
    }
    CReaderWarnings(const CReaderWarnings&) = delete;
    CReaderWarnings& operator=(const CReaderWarnings&) = delete;

    bool Any() const { return !m_strFirst.empty(); }
    // The first message, without the library's name in front.
    const std::string& First() const { return m_strFirst; }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (t_pActive && type != QtDebugMsg && type != QtInfoMsg && t_pActive->m_strFirst.empty()) {
            const QString text = message.trimmed();
            t_pActive->m_strFirst =
                text.isEmpty() ? std::string("no reason given") : OneLine(text.toStdString());
        }
        if (s_previous)
            s_previous(type, context, message);
        else if (type == QtFatalMsg)
            std::abort();
        else if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }

    static thread_local CReaderWarnings* t_pActive;
    static inline QtMessageHandler s_previous = nullptr;
    std::string m_strFirst;
};

thread_local CReaderWarnings* CReaderWarnings::t_pActive = nullptr;

using EKind = SFileError::EKind;

SFileError Corrupt(std::string detail = {})
{
    std::string text = "the file is truncated or corrupt";
    if (!detail.empty())
        text += " (" + detail + ")";
    return SFileError::Of(EKind::kCorrupt, std::move(text), std::move(detail));
}

// Refuses a size the header does not give, one too large, or one the file's
// bytes cannot plausibly hold, before anything is allocated for it.
bool SizeIsAcceptable(const QSize& size, std::span<const std::uint8_t> bytes, const SJpegFacts& jpeg,
                      const CReaderWarnings& warnings, SFileError& error)
{
    using namespace TextureLimits;
    if (!size.isValid() || size.isEmpty()) {
        // The header could not be read.
        error = Corrupt(warnings.First());
        return false;
    }
    if (size.width() > kMaxSide || size.height() > kMaxSide ||
        std::int64_t(size.width()) * size.height() > kMaxTexels) {
        error =
            SFileError::Of(EKind::kImageTooLarge, "the image is too large (" + std::to_string(size.width()) +
                                                      "x" + std::to_string(size.height()) + ")");
        return false;
    }
    if (!JpegSizeIsPlausible(jpeg, bytes.size())) {
        error = Corrupt("its " + std::to_string(bytes.size()) + " bytes cannot hold " +
                        std::to_string(size.width()) + "x" + std::to_string(size.height()) + " pixels");
        return false;
    }
    return true;
}

// The decoded image's pixels as texels: blue, green, red and one ignored byte.
bool CopyTexels(QImage image, CDecodedImage& out, SFileError& error)
{
    // RGB32 keeps every pixel as 0xffRRGGBB in memory order blue, green, red, 0xff.
    image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        error = SFileError::Of(EKind::kNoMemory, "not enough memory for the image");
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 4;
    out.m_nWidth = image.width();
    out.m_nHeight = image.height();
    out.m_texels.resize(rowBytes * static_cast<std::size_t>(image.height()));
    for (int row = 0; row < image.height(); ++row)
        std::memcpy(out.m_texels.data() + rowBytes * static_cast<std::size_t>(row), image.constScanLine(row),
                    rowBytes);
    return true;
}

// JPEG through Qt's reader, into an image of the reader's format filled with
// prefill beforehand, so that pixels the reader leaves unwritten show. A file
// the reader complains about while reading is refused even when the reader
// fills in what it could not read.
bool DecodeJpeg(std::span<const std::uint8_t> bytes, CDecodedImage& out, SFileError& error,
                std::uint8_t prefill, const SJpegFacts& jpeg)
{
    using namespace TextureLimits;
    QImageReader::setAllocationLimit(kQtAllocationLimitMb);
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const CReaderWarnings warnings;
    if (!reader.canRead()) {
        error = SFileError::Of(EKind::kNotAnImage, "not a readable image");
        return false;
    }
    const QSize size = reader.size();
    if (!SizeIsAcceptable(size, bytes, jpeg, warnings, error))
        return false;
    QImage image;
    const QImage::Format format = reader.imageFormat();
    if (format != QImage::Format_Invalid) {
        image = QImage(size, format);
        if (!image.isNull())
            std::memset(image.bits(), prefill, static_cast<std::size_t>(image.sizeInBytes()));
    }
    if (!reader.read(&image) || image.isNull()) {
        std::string why = warnings.First();
        if (why.empty() && reader.error() != QImageReader::InvalidDataError)
            why = OneLine(reader.errorString().toStdString());
        error = Corrupt(why);
        return false;
    }
    if (warnings.Any()) {
        error = Corrupt(warnings.First());
        return false;
    }
    if (image.size() != size) {
        error = Corrupt("its size changed while reading");
        return false;
    }
    return CopyTexels(image, out, error);
}

// The PNG decoder's reason, sorted into a kind.
SFileError PngError(const std::string& text)
{
    if (text.rfind("the image is too large", 0) == 0)
        return SFileError::Of(EKind::kImageTooLarge, text);
    return Corrupt(text);
}

// The BMP decoder's reason, sorted into a kind.
SFileError BmpError(const std::string& text)
{
    if (text.rfind("the image is too large", 0) == 0)
        return SFileError::Of(EKind::kImageTooLarge, text);
    if (text.rfind("not a BMP", 0) == 0 || text.rfind("unsupported", 0) == 0)
        return SFileError::Of(EKind::kNotAnImage, text, text);
    return SFileError::Of(EKind::kCorrupt, text, text);
}

// Reads the whole of a regular file. Opening does not wait for a writer, so a
// pipe is seen as one and refused.
bool ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes, SFileError& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        struct stat info
        {
        };
        error = code == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)
                    ? SFileError::Of(EKind::kSocket, "it is a socket, not a file")
                    : SFileError::System(code);
        return false;
    }
    struct stat info
    {
    };
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok)
        error = SFileError::System(errno);
    else if (S_ISDIR(info.st_mode))
        ok = false, error = SFileError::Of(EKind::kFolder, "it is a folder, not a file");
    else if (!S_ISREG(info.st_mode))
        ok = false, error = SFileError::Of(EKind::kNotRegular, "not a regular file");
    else if (info.st_size == 0)
        ok = false, error = SFileError::Of(EKind::kEmpty, "the file is empty");
    else if (info.st_size > kMaxFileBytes)
        ok = false, error = SFileError::Of(EKind::kFileTooLarge, "the file is too large for a texture");
    if (ok) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (ok && got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false, error = SFileError::System(errno);
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

bool DecodeTexture(std::span<const std::uint8_t> bytes, CTexture& texture, SFileError& error,
                   std::uint8_t prefill)
{
    CDecodedImage image;
    bool ok = false;
    switch (FormatOf(bytes)) {
    case EFormat::kBmp: {
        std::string reason;
        ok = DecodeBmp(bytes, image, reason, prefill);
        if (!ok)
            error = BmpError(reason);
        break;
    }
    case EFormat::kJpeg: {
        const SJpegFacts facts = ReadJpegFacts(bytes);
        ok = facts.m_bComplete;
        if (!ok)
            error = Corrupt();
        else
            ok = DecodeJpeg(bytes, image, error, prefill, facts);
        break;
    }
    case EFormat::kPng: {
        std::string reason;
        ok = DecodePng(bytes, image, reason, prefill);
        if (!ok)
            error = PngError(reason);
        break;
    }
    case EFormat::kUnknown:
        error = SFileError::Of(EKind::kNotAnImage, std::string("not a ") + kTextureFormats + " image");
        break;
    }
    if (!ok)
        return false;

    texture = CTexture(image.m_nWidth, image.m_nHeight, std::move(image.m_texels));
    return true;
}

bool DecodeTexture(std::span<const std::uint8_t> bytes, CTexture& texture, std::string& error,
                   std::uint8_t prefill)
{
    SFileError failure;
    const bool ok = DecodeTexture(bytes, texture, failure, prefill);
    if (!ok)
        error = failure.m_strText;
    return ok;
}

bool LoadTextureFile(const std::string& path, CTexture& texture, SFileError& error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(path, bytes, error))
        return false;
    if (bytes.empty()) {
        error = SFileError::Of(EKind::kEmpty, "the file is empty");
        return false;
    }
    try {
        return DecodeTexture(bytes, texture, error);
    } catch (const std::bad_alloc&) {
        error = SFileError::Of(EKind::kNoMemory, "not enough memory for the image");
        return false;
    }
}

bool LoadTextureFile(const std::string& path, CTexture& texture, std::string& error)
{
    SFileError failure;
    const bool ok = LoadTextureFile(path, texture, failure);
    if (!ok)
        error = failure.m_strText;
    return ok;
}
