#include "raster/PolygonFill.h"

void CPolygonFill::SetVertices(const CFillVertex* corners, int count)
{
    m_corners.assign(corners, corners + (count > 0 ? count : 0));
}

void CPolygonFill::BuildBuckets()
{
    m_nBucketCount = 0;
    if (m_corners.empty())
        return;
    int yLow = m_corners[0].m_position.y;
    int yHigh = yLow;
    for (const CFillVertex& c : m_corners) {
        yLow = std::min(yLow, c.m_position.y);
        yHigh = std::max(yHigh, c.m_position.y);
    }
    m_nBucketCount = static_cast<std::size_t>(static_cast<long long>(yHigh) - yLow + 1);
    if (m_buckets.size() < m_nBucketCount)
        m_buckets.resize(m_nBucketCount);
    for (std::size_t b = 0; b < m_nBucketCount; ++b) {
        m_buckets[b].m_nY = yLow + static_cast<int>(b);
        m_buckets[b].m_edges.clear();
    }
}

void CPolygonFill::BuildEdges()
{
    if (m_nBucketCount == 0)
        return;
    const int yLow = m_buckets[0].m_nY;
    const std::size_t count = m_corners.size();
    for (std::size_t i = 0; i < count; ++i) {
        const CFillVertex& from = m_corners[i];
        const CFillVertex& to = m_corners[(i + 1) % count];
        const CScreenPointZ& p = from.m_position;
        const CScreenPointZ& q = to.m_position;
        if (p.y == q.y)
            continue; // horizontal edges never enter the table
        CEdge edge;
        int yStart;
        if (p.y < q.y) {
            edge.m_dX = p.x;
            edge.m_nYMax = q.y;
            edge.m_dDx = (q.x - p.x) / (q.y - p.y);
            yStart = p.y;
        } else {
            edge.m_dX = q.x;
            edge.m_nYMax = p.y;
            edge.m_dDx = (p.x - q.x) / (p.y - q.y);
            yStart = q.y;
        }
        edge.m_pStart = &from;
        edge.m_pEnd = &to;
        const std::size_t bucket = static_cast<std::size_t>(yStart - yLow);
        assert(bucket < m_nBucketCount);
        m_buckets[bucket].m_edges.push_back(edge);
    }
}

void CPolygonFill::SortManyActiveEdges()
{
    // Insertion sort: stable, and the list is nearly in order from one scanline to
    // the next. It yields the same order as repeated adjacent swaps with this key.
    const auto before = EdgeBefore;
    for (std::size_t i = 1; i < m_active.size(); ++i) {
        if (!before(m_active[i], m_active[i - 1]))
            continue;
        CEdge moving = m_active[i];
        std::size_t j = i;
        while (j > 0 && before(moving, m_active[j - 1])) {
            m_active[j] = m_active[j - 1];
            --j;
        }
        m_active[j] = moving;
    }
}
