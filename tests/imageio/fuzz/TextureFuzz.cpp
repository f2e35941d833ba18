// libFuzzer target for the texture loader: any bytes go in, a texture or a
// refusal comes out. Besides the sanitizers' own checks it stops on a texture
// whose texels depend on what the buffers held before decoding (texels the file
// never defined) and on one whose size disagrees with its description.

#include "imageio/TextureFile.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

// Qt's readers warn about every corrupt file; at thousands of files a second
// that output only slows the run down.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    CTexture first, second;
    std::string error;
    const bool loaded = DecodeTexture(bytes, first, error, 0x55);
    if (DecodeTexture(bytes, second, error, 0xAA) != loaded) {
        std::fprintf(stderr, "the same bytes loaded once and failed once\n");
        std::abort();
    }
    if (!loaded)
        return 0;
    // A decoded texture is whole: CTexture refuses anything else.
    if (!first.HasTexels()) {
        std::fprintf(stderr, "a decoded texture without texels\n");
        std::abort();
    }
    if (first.Texels() != second.Texels()) {
        std::fprintf(stderr, "texels the file did not define: they follow the buffer's old bytes\n");
        std::abort();
    }
    return 0;
}
