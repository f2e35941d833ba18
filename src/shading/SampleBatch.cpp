#include "shading/SampleBatch.h"

#include "shading/SpanInterpolation.h"

namespace {
// Room for the span kernels to work on whole vectors past the last sample.
constexpr std::size_t kRoom = CSampleBatch::kCapacity + kSpanPadding;
} // namespace

CSampleBatch::CSampleBatch()
    : m_t(kRoom), m_px(kRoom), m_x(kRoom), m_yd(kRoom), m_z(kRoom), m_nx(kRoom), m_ny(kRoom), m_nz(kRoom),
      m_u(kRoom), m_v(kRoom), m_colours(kRoom), m_spanRow(kCapacity), m_spanEnd(kCapacity)
{
}
