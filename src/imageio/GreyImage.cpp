#include "imageio/GreyImage.h"

#include "imageio/OutputFile.h"
#include "imageio/PngEncoder.h"

bool SaveGrey16Png(int width, int height, const std::vector<std::uint16_t>& levels, const std::string& path,
                   SFileError& error)
{
    if (width <= 0 || height <= 0) {
        error = SFileError::Of(SFileError::EKind::kEmptyFrame, "the picture is empty (width or height 0)");
        return false;
    }
    SPngPixels pixels;
    pixels.m_layout = SPngPixels::ELayout::kGrey16;
    pixels.m_nWidth = width;
    pixels.m_nHeight = height;
    pixels.m_pData = reinterpret_cast<const std::uint8_t*>(levels.data());
    pixels.m_nStride = static_cast<std::size_t>(width) * sizeof(std::uint16_t);
    // One picture: the smallest file is worth the time.
    std::vector<std::uint8_t> png;
    return EncodePng(pixels, PngCompression::kSmallest, png, error) && WriteWholeFile(path, png, error);
}
