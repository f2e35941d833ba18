#include "shading/SampleBatch.h"

CSampleBatch::CSampleBatch()
    : m_t(kCapacity), m_px(kCapacity), m_dest(kCapacity), m_x(kCapacity), m_yd(kCapacity), m_z(kCapacity),
      m_nx(kCapacity), m_ny(kCapacity), m_nz(kCapacity), m_u(kCapacity), m_v(kCapacity), m_kr(kCapacity),
      m_kg(kCapacity), m_kb(kCapacity), m_colours(kCapacity)
{
}
