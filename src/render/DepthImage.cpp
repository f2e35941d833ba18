#include "render/DepthImage.h"

#include "render/TorusRenderer.h"

#include <algorithm>

bool CDepthImage::Take(const CTorusRenderer& renderer, const CPixelSink& frame)
{
    m_nWidth = m_nHeight = 0;
    m_bAny = false;
    m_dLeast = m_dGreatest = 0.0;
    if (!renderer.HasDepths(frame)) {
        m_depth.clear();
        m_drawn.clear();
        return false;
    }
    m_nWidth = frame.Width();
    m_nHeight = frame.Height();
    const std::size_t count = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    m_depth.assign(count, 0.0);
    m_drawn.assign(count, 0);
    renderer.ReadDepths(frame, m_depth.data(), m_drawn.data());
    for (std::size_t k = 0; k < count; ++k) {
        if (m_drawn[k] == 0)
            continue;
        m_dLeast = m_bAny ? std::min(m_dLeast, m_depth[k]) : m_depth[k];
        m_dGreatest = m_bAny ? std::max(m_dGreatest, m_depth[k]) : m_depth[k];
        m_bAny = true;
    }
    return true;
}

double CDepthImage::Share(double depth) const
{
    const double range = m_dGreatest - m_dLeast;
    return range > 0.0 ? (depth - m_dLeast) / range : 1.0;
}

std::uint16_t CDepthImage::Level(int col, int row) const
{
    const std::size_t at = Index(col, row);
    if (m_drawn[at] == 0)
        return kUndrawnLevel;
    // Rounded to the nearest level: the share is never negative.
    return static_cast<std::uint16_t>(1 + static_cast<int>(Share(m_depth[at]) * (kNearestLevel - 1) + 0.5));
}

std::vector<std::uint16_t> CDepthImage::Levels() const
{
    std::vector<std::uint16_t> levels(m_depth.size());
    for (int row = 0; row < m_nHeight; ++row)
        for (int col = 0; col < m_nWidth; ++col)
            levels[Index(col, row)] = Level(col, row);
    return levels;
}

void CDepthImage::Paint(CPixelSink& sink) const
{
    sink.Resize(m_nWidth, m_nHeight);
    const CPixelMapping mapping = sink.Mapping();
    for (int row = 0; row < m_nHeight; ++row) {
        std::uint32_t* pixels = sink.Row(mapping.Y(row)) + mapping.XMin();
        for (int col = 0; col < m_nWidth; ++col) {
            const std::size_t at = Index(col, row);
            std::uint32_t colour = kUndrawnColour;
            if (m_drawn[at] != 0) {
                const auto grey = static_cast<std::uint32_t>(
                    kFarthestGrey + static_cast<int>(Share(m_depth[at]) * (255 - kFarthestGrey) + 0.5));
                colour = grey | grey << 8 | grey << 16;
            }
            pixels[col] = colour | CPixelSink::kOpaque;
        }
    }
}
