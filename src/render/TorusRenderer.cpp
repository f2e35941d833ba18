#include "render/TorusRenderer.h"

#include "raster/LineRasterizer.h"
#include "scene/TorusMesh.h"

CTorusRenderer::CTorusRenderer()
    : m_pLighting(std::make_unique<CLightingModel>(m_nLightCount)),
      m_pMaterial(std::make_unique<CMaterial>())
{
    m_pLighting->m_pLights[0].SetPosition(0.0, 0.0, 1000.0);
    for (int i = 0; i < m_nLightCount; ++i) {
        CLightSource& light = m_pLighting->m_pLights[i];
        light.m_diffuse = CColor(1.0, 1.0, 1.0);
        light.m_specular = CColor(0.828, 0.636, 0.366);
        light.m_attConstant = 1.0;
        light.m_attLinear = 1e-07;
        light.m_attQuadratic = 1e-08;
        light.m_bOn = m_nLight != 0 ? 1 : 0;
    }
    m_pMaterial->m_ambient = CColor(0.547, 0.4, 0.075);
    m_pMaterial->m_diffuse = CColor(0.912, 0.616, 0.116);
    m_pMaterial->m_specular = CColor(1.0, 1.0, 1.0);
    m_pMaterial->m_shininess = 100.0;
}

void CTorusRenderer::SwitchLights()
{
    if (m_nLight != kLightOff && m_nLight != kLightOn)
        return;
    for (int i = 0; i < m_nLightCount; ++i)
        m_pLighting->m_pLights[i].m_bOn = m_nLight;
}

void CTorusRenderer::BuildVertices()
{
    m_nSurfaceStepAngle = TorusMesh::StepAngle(m_nSurfaceSteps);
    m_nSectionStepAngle = TorusMesh::StepAngle(m_nSectionSteps);
    const int count = m_nSurfaceSteps * m_nSectionSteps;
    m_pVertices = std::make_unique<CPoint3D[]>(static_cast<std::size_t>(count));
    m_pVertexNormals = std::make_unique<CVec3[]>(static_cast<std::size_t>(count));
    TorusMesh::BuildVertices(m_pVertices.get(), m_nSurfaceSteps, m_nSectionSteps,
                             m_nSurfaceStepAngle, m_nSectionStepAngle, m_dRingRadius,
                             m_dSectionRadius);
    m_transform.SetPoints(m_pVertices.get(), count);
}

void CTorusRenderer::BuildFacets()
{
    m_ppFacets = std::make_unique<std::unique_ptr<CFacet[]>[]>(static_cast<std::size_t>(m_nSurfaceSteps));
    for (int i = 0; i < m_nSurfaceSteps; ++i) {
        m_ppFacets[i] = std::make_unique<CFacet[]>(static_cast<std::size_t>(m_nSectionSteps));
        for (int j = 0; j < m_nSectionSteps; ++j)
            TorusMesh::SetFacetCorners(m_ppFacets[i][j], i, j, m_nSurfaceSteps, m_nSectionSteps);
    }
}

void CTorusRenderer::RenderFrame(CPixelSink& sink)
{
    BuildVertices();
    BuildFacets();
    m_transform.RotateX(m_angleX);
    m_transform.RotateY(m_angleY);
    RenderPass(sink);
}

void CTorusRenderer::RenderPass(CPixelSink& sink)
{
    // One depth buffer for every facet of the frame: filled facets hide each other
    // whatever their order.
    m_pFill = std::make_unique<CPolygonFill>();
    m_pFill->InitDepthBuffer(1000, 1000, -1000.0);

    const CPoint3D& eye = m_camera.m_eye;

    // Vertex pass: normals and lit colours, in every mode.
    for (int i = 0; i < m_nSurfaceSteps; ++i) {
        for (int j = 0; j < m_nSectionSteps; ++j) {
            const int k = i * m_nSectionSteps + j;
            m_pVertexNormals[k] =
                TorusMesh::VertexNormal(m_pVertices.get(), m_nSurfaceSteps, m_nSectionSteps, i, j);
            m_pVertices[k].colour =
                m_pLighting->Illuminate(eye, m_pVertices[k], m_pVertexNormals[k], m_pMaterial.get());
        }
    }

    // Facet pass, rows in order: cull back faces against the eye, project, draw.
    for (int i = 0; i < m_nSurfaceSteps; ++i) {
        for (int j = 0; j < m_nSectionSteps; ++j) {
            CFacet& facet = m_ppFacets[i][j];
            const CPoint3D& p0 = m_pVertices[facet.m_pIndices[0]];
            const CPoint3D& p1 = m_pVertices[facet.m_pIndices[1]];
            const CPoint3D& p2 = m_pVertices[facet.m_pIndices[2]];
            const CVec3 toEye(p1, eye);
            facet.m_normal = FacetNormal(p0, p1, p2);
            if (Dot(toEye, facet.m_normal) < 0.0)
                continue;

            CScreenPointZ corners[CFacet::kCorners];
            CVec3 normals[CFacet::kCorners];
            for (int c = 0; c < CFacet::kCorners; ++c) {
                m_camera.Project(m_pVertices[facet.m_pIndices[c]]);
                corners[c] = m_camera.m_projected;
                normals[c] = m_pVertexNormals[facet.m_pIndices[c]];
            }
            DrawFacet(sink, i, j, corners, normals);
        }
    }

    ReleaseMesh();
}

void CTorusRenderer::DrawFacet(CPixelSink& sink, int i, int j, const CScreenPointZ corners[4],
                               const CVec3 normals[4])
{
    CPolygonFill& fill = *m_pFill;
    switch (m_nMode) {
    case kModeWireframe:
        DrawEdge(sink, corners[0], corners[1]);
        DrawEdge(sink, corners[1], corners[2]);
        DrawEdge(sink, corners[2], corners[3]);
        DrawEdge(sink, corners[3], corners[0]);
        break;
    case kModeSurface:
        if (m_nShading == kShadingGouraud) {
            fill.SetVertices(corners, 4);
            fill.BuildBuckets();
            fill.BuildEdges();
            fill.FillGouraud(sink);
            fill.Reset();
        } else if (m_nShading == kShadingPhong) {
            fill.SetVerticesWithNormals(corners, normals, 4);
            fill.BuildBuckets();
            fill.BuildEdgesWithNormals();
            fill.FillPhong(sink, m_camera.m_eye, m_pLighting.get(), m_pMaterial.get());
            fill.Reset();
        }
        break;
    case kModeTexture: {
        // Lit texture is drawn with Phong shading only; the panel never offers
        // texture with Gouraud, and that combination draws nothing.
        const bool unlit = m_nLight == kLightOff;
        const bool lit = m_nLight == kLightOn && m_nShading == kShadingPhong;
        if (!unlit && !lit)
            break;
        CPoint2D texCoords[4];
        TorusMesh::FacetTexCoords(i, j, m_nSurfaceStepAngle, m_nSectionStepAngle, texCoords);
        fill.SetVerticesWithTexture(corners, normals, texCoords, 4);
        fill.BuildBuckets();
        fill.BuildEdgesWithTexture();
        const std::uint8_t* texels = m_texture.HasTexels() ? m_texture.m_texels.data() : nullptr;
        if (unlit)
            fill.FillTexture(sink, fill, texels, m_texture.m_desc);
        else
            fill.FillTexturePhong(sink, fill, texels, m_texture.m_desc, m_camera.m_eye,
                                  m_pLighting.get());
        fill.Reset();
        break;
    }
    default:
        break;
    }
}

void CTorusRenderer::ReleaseMesh()
{
    m_pFill.reset();
    m_pVertices.reset();
    m_pVertexNormals.reset();
    m_ppFacets.reset();
    m_transform.SetPoints(nullptr, 0);
}
