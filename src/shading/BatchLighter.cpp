#include "shading/Shaders.h"

void CBatchLighter::FlushSurface(const CMaterial& material)
{
    CSampleBatch& b = m_batch;
    for (std::size_t i = 0; i < b.Size(); ++i) {
        const CPoint3D p(b.m_x[i], b.m_yd[i], b.m_z[i]);
        b.m_colours[i] = m_lights.Illuminate(m_eye, p, CVec3(b.m_nx[i], b.m_ny[i], b.m_nz[i]), &material)
                             .ToColorRef();
    }
    Write();
}

void CBatchLighter::FlushTextured()
{
    CSampleBatch& b = m_batch;
    CMaterial material;
    material.m_shininess = 80.0;
    for (std::size_t i = 0; i < b.Size(); ++i) {
        const CColor k(b.m_kr[i], b.m_kg[i], b.m_kb[i]);
        material.m_ambient = k;
        material.m_diffuse = k;
        material.m_specular = k;
        const CPoint3D p(b.m_x[i], b.m_yd[i], b.m_z[i]);
        b.m_colours[i] = m_lights.Illuminate(m_eye, p, CVec3(b.m_nx[i], b.m_ny[i], b.m_nz[i]), &material)
                             .ToColorRef();
    }
    Write();
}

void CBatchLighter::Write()
{
    CSampleBatch& b = m_batch;
    for (std::size_t i = 0; i < b.Size(); ++i)
        m_sink.SetPixel(b.m_px[i], b.m_y[i], b.m_colours[i]);
    b.Clear();
}
