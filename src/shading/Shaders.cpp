#include "shading/Shaders.h"

#include "lighting/LightingBatch.h"
#include "shading/SpanInterpolation.h"

namespace {

// Interpolates the normals of samples first .. first + count - 1 across the span.
void SpanNormals(CSampleBatch& b, std::size_t first, std::size_t count, double xL, double xR,
                 const CVec3& left, const CVec3& right)
{
    const double a0[3] = {left.x, left.y, left.z};
    const double a1[3] = {right.x, right.y, right.z};
    double* const out[3] = {b.m_nx.data() + first, b.m_ny.data() + first, b.m_nz.data() + first};
    InterpolateAttributes(b.m_t.data() + first, count, xL, xR, 3, a0, a1, out);
}

void SpanTexCoords(CSampleBatch& b, std::size_t first, std::size_t count, double xL, double xR,
                   const CPoint2D& left, const CPoint2D& right)
{
    const double a0[2] = {left.x, left.y};
    const double a1[2] = {right.x, right.y};
    double* const out[2] = {b.m_u.data() + first, b.m_v.data() + first};
    InterpolateAttributes(b.m_t.data() + first, count, xL, xR, 2, a0, a1, out);
}

} // namespace

void CTexelLookup::LookUp(CSampleBatch& b, std::size_t first, std::size_t count) const
{
    LookUpTexels(b.m_u.data() + first, b.m_v.data() + first, count, m_texture, b.m_colours.data() + first);
}

namespace {

CShadingSamples SamplesOf(const CSampleBatch& b)
{
    CShadingSamples s;
    s.px = b.m_x.data();
    s.y = b.m_yd.data();
    s.z = b.m_z.data();
    s.nx = b.m_nx.data();
    s.ny = b.m_ny.data();
    s.nz = b.m_nz.data();
    return s;
}

} // namespace

void CGouraudShader::Interpolate(std::size_t first, std::size_t count)
{
    CSampleBatch& b = m_batch;
    const double a0[3] = {m_left.r, m_left.g, m_left.b};
    const double a1[3] = {m_right.r, m_right.g, m_right.b};
    InterpolateColourRefs(b.m_t.data() + first, count, m_xL, m_xR, a0, a1, b.m_colours.data() + first);
}

void CGouraudShader::WriteSpan(std::size_t count)
{
    const double a0[3] = {m_left.r, m_left.g, m_left.b};
    const double a1[3] = {m_right.r, m_right.g, m_right.b};
    InterpolateColourPixels(m_batch.m_t.data(), m_batch.m_px.data(), count, m_xL, m_xR, a0, a1,
                            CPixelSink::kOpaque, Row());
}

void CTextureShader::Interpolate(std::size_t first, std::size_t count)
{
    SpanTexCoords(m_batch, first, count, m_xL, m_xR, m_left, m_right);
}

void CTextureShader::Shade()
{
    m_texels.LookUp(m_batch, 0, m_batch.Size());
}

void CPhongShader::Interpolate(std::size_t first, std::size_t count)
{
    SpanNormals(m_batch, first, count, m_xL, m_xR, m_left, m_right);
}

void CPhongShader::Shade()
{
    ShadeSurface(SamplesOf(m_batch), m_batch.Size(), m_eye, m_lights, m_material, m_batch.m_colours.data());
}

void CLitTextureShader::Interpolate(std::size_t first, std::size_t count)
{
    CSampleBatch& b = m_batch;
    const double tex0[2] = {m_leftTex.x, m_leftTex.y}, tex1[2] = {m_rightTex.x, m_rightTex.y};
    const double n0[3] = {m_left.x, m_left.y, m_left.z}, n1[3] = {m_right.x, m_right.y, m_right.z};
    double* const texOut[2] = {b.m_u.data() + first, b.m_v.data() + first};
    double* const normalOut[3] = {b.m_nx.data() + first, b.m_ny.data() + first, b.m_nz.data() + first};
    InterpolateTexCoordsAndNormals(b.m_t.data() + first, count, m_xL, m_xR, tex0, tex1, n0, n1, texOut,
                                   normalOut);
}

void CLitTextureShader::Shade()
{
    CSampleBatch& b = m_batch;
    m_texels.LookUp(b, 0, b.Size());
    // Each colour replaces its texel.
    ShadeTextured(SamplesOf(b), b.m_colours.data(), b.Size(), m_eye, m_lights, b.m_colours.data());
}

void CGouraudShader::Record(std::size_t i, std::size_t at)
{
    CSpanShader::Record(i, at);
    // Written at the end of its span, while the span's ends are still at hand.
    const CColor c = InterpolateColor(m_batch.m_t[i], m_xL, m_xR, m_left, m_right);
    RecordAttributes(at, c.r, c.g, c.b);
}

void CTextureShader::Record(std::size_t i, std::size_t at)
{
    CSpanShader::Record(i, at);
    m_texels.Address(m_batch.m_u[i], m_batch.m_v[i], m_pRecords->m_texelU[at], m_pRecords->m_texelV[at]);
}

void CPhongShader::Record(std::size_t i, std::size_t at)
{
    CSpanShader::Record(i, at);
    RecordAttributes(at, m_batch.m_nx[i], m_batch.m_ny[i], m_batch.m_nz[i]);
}

void CLitTextureShader::Record(std::size_t i, std::size_t at)
{
    CSpanShader::Record(i, at);
    RecordAttributes(at, m_batch.m_nx[i], m_batch.m_ny[i], m_batch.m_nz[i]);
    m_texels.Address(m_batch.m_u[i], m_batch.m_v[i], m_pRecords->m_texelU[at], m_pRecords->m_texelV[at]);
}
