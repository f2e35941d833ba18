#include "render/TorusRenderer.h"

#include "raster/LineRasterizer.h"
#include "scene/TorusMesh.h"
#include "shading/Shaders.h"

#include <algorithm>
#include <thread>

const CTexture CTorusRenderer::kNoTexture;

CTorusRenderer::CTorusRenderer()
    : m_pLighting(std::make_unique<CLightingModel>(m_nLightCount)), m_pMaterial(std::make_unique<CMaterial>())
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
    m_camera.SetupCamera();
    SetThreadCount(static_cast<int>(std::thread::hardware_concurrency()));
}

CTorusRenderer::~CTorusRenderer() = default;

void CTorusRenderer::Setup(const CRenderSettings& settings, double angleX, double angleY,
                           std::shared_ptr<const CTexture> texture)
{
    m_angleX = angleX;
    m_angleY = angleY;
    ApplySettings(settings);
    SwitchLights();
    m_texture = std::move(texture);
}

void CTorusRenderer::ApplySettings(const CRenderSettings& settings)
{
    m_nLight = settings.m_nLight;
    m_dRingRadius = settings.m_nRingRadius;
    m_dSectionRadius = settings.m_nSectionRadius;
    m_nSurfaceSteps = settings.m_nSurfaceSteps;
    m_nSectionSteps = settings.m_nSectionSteps;
    m_nMode = settings.m_nMode;
    m_nShading = settings.m_nShading;
}

void CTorusRenderer::SwitchLights()
{
    if (m_nLight != kLightOff && m_nLight != kLightOn)
        return;
    for (int i = 0; i < m_nLightCount; ++i)
        m_pLighting->m_pLights[i].m_bOn = m_nLight;
}

void CTorusRenderer::SetThreadCount(int count)
{
    count = std::clamp(count, 1, std::min(kMaxThreads, CBandWorkers::MaxThreads()));
    if (m_pWorkers && count == m_pWorkers->Asked() && m_pWorkers->StartFailure().empty())
        return;
    m_pWorkers.reset();
    m_pWorkers = std::make_unique<CBandWorkers>(count);
    m_nThreads = m_pWorkers->Count();
    m_slots = std::vector<SSlot>(static_cast<std::size_t>(m_nThreads));
}

int CTorusRenderer::ThreadsAsked() const
{
    return m_pWorkers->Asked();
}

const std::string& CTorusRenderer::ThreadStartFailure() const
{
    return m_pWorkers->StartFailure();
}

void CTorusRenderer::BuildVertices()
{
    m_nSurfaceStepAngle = TorusMesh::StepAngle(m_nSurfaceSteps);
    m_nSectionStepAngle = TorusMesh::StepAngle(m_nSectionSteps);
    const std::size_t count =
        static_cast<std::size_t>(m_nSurfaceSteps) * static_cast<std::size_t>(m_nSectionSteps);
    // Fresh vertices every frame (white, weight 1): the storage is reused, the values never.
    m_vertices.assign(count, CPoint3D());
    m_vertexNormals.assign(count, CVec3());
    TorusMesh::BuildVertices(m_vertices.data(), m_nSurfaceSteps, m_nSectionSteps, m_nSurfaceStepAngle,
                             m_nSectionStepAngle, m_dRingRadius, m_dSectionRadius);
}

void CTorusRenderer::RenderFrame(CPixelSink& sink)
{
    BuildVertices();
    // Fresh facets every frame too; their corners are set row by row with the
    // rotation, in the first phase of the pass.
    m_facets.assign(static_cast<std::size_t>(m_nSurfaceSteps) * static_cast<std::size_t>(m_nSectionSteps),
                    CFacet());
    m_rotateX.SetRotationX(m_angleX);
    m_rotateY.SetRotationY(m_angleY);
    RenderPass(sink);
}

void CTorusRenderer::RotateRows(int iBegin, int iEnd)
{
    // Each vertex turned about x, then about y; and the corners of the rows' facets.
    const std::size_t steps = static_cast<std::size_t>(m_nSectionSteps);
    const std::span<CPoint3D> rows(m_vertices.data() + static_cast<std::size_t>(iBegin) * steps,
                                   static_cast<std::size_t>(iEnd - iBegin) * steps);
    m_rotateX.Apply(rows);
    m_rotateY.Apply(rows);
    for (int i = iBegin; i < iEnd; ++i)
        for (int j = 0; j < m_nSectionSteps; ++j)
            TorusMesh::SetFacetCorners(m_facets[static_cast<std::size_t>(i * m_nSectionSteps + j)], i, j,
                                       m_nSurfaceSteps, m_nSectionSteps);
}

void CTorusRenderer::RenderPass(CPixelSink& sink)
{
    m_facetPlace.resize(m_facets.size() + 1);
    m_projected.resize(m_vertices.size());

    if (m_pProbe != nullptr) {
        m_pProbe->Clear();
        m_pProbe->m_nY = m_nRowLimit;
    }

    m_bRecorded = false;
    m_bRecording = m_bInspection || m_bHistory;
    if (m_bRecording) {
        m_records.Reset(sink.Width(), sink.Height());
        m_recordedDrawing = Drawing();
        m_bRecorded = true;
    }
    // The history pixel's writes are noted in the records, its depth tests by
    // the filler of whichever thread fills its row.
    if (m_bHistory) {
        m_records.Watch(m_pixelProbe.m_nX, m_pixelProbe.m_nY);
        m_pixelProbe.m_samples.clear();
    }
    for (SSlot& slot : m_slots)
        slot.fill.SetPixelProbe(m_bHistory ? &m_pixelProbe : nullptr);

    // The passes over the rotated mesh, then the drawing, in one run of the threads: the
    // rows of the mesh in about four pieces a thread, so that the threads finish
    // together, and the image in bands.
    const int rows = m_nSurfaceSteps;
    const int rowPieces = std::min(rows, 4 * m_pWorkers->Count());
    const auto rowsOf = [&](int piece, auto&& pass) {
        pass(rows * piece / rowPieces, rows * (piece + 1) / rowPieces);
    };
    m_phases.Reset();
    m_phases.SetPieces(kRotatingPhase, rowPieces);
    m_phases.SetPieces(kFacingPhase, rowPieces);
    m_phases.SetPieces(kPlacingPhase, 1);
    m_phases.SetPieces(kLightingPhase, rowPieces);
    m_phases.SetPieces(kCornerPhase, rowPieces);
    m_phases.SetPieces(kBandingPhase, 1);
    const SScanClip image = ImageClip(sink);
    auto frame = [&](int, int slot) {
        m_phases.Take(kRotatingPhase,
                      [&](int piece) { rowsOf(piece, [&](int i0, int i1) { RotateRows(i0, i1); }); });
        m_phases.Take(kFacingPhase,
                      [&](int piece) { rowsOf(piece, [&](int i0, int i1) { FacingRows(i0, i1); }); });
        m_phases.Take(kPlacingPhase, [&](int) { PlaceFacets(); });
        m_phases.Take(kLightingPhase,
                      [&](int piece) { rowsOf(piece, [&](int i0, int i1) { LightRows(i0, i1); }); });
        m_phases.Take(kCornerPhase,
                      [&](int piece) { rowsOf(piece, [&](int i0, int i1) { CornerRows(i0, i1); }); });
        m_phases.Take(kBandingPhase, [&](int) { m_phases.SetPieces(kBandPhase, StartDrawing(sink, image)); });
        m_phases.Take(kBandPhase, [&](int band) { FillBandOf(sink, image, band, slot); });
    };
    // One call of frame per thread: each takes the phases' pieces as they come.
    // A piece that fails (memory running out) stops every thread; the frame is
    // then incomplete, its records are not to be read, and the failure reaches
    // the caller.
    m_pWorkers->Run(m_pWorkers->Count(), frame);
    if (m_phases.Stopped()) {
        m_bRecorded = false;
        m_phases.RethrowFailure();
    }
}

void CTorusRenderer::FacingRows(int iBegin, int iEnd)
{
    // Whether each facet faces the eye, from the rotated mesh, facet by facet.
    const CPoint3D& eye = m_camera.m_eye;
    for (int i = iBegin; i < iEnd; ++i) {
        for (int j = 0; j < m_nSectionSteps; ++j) {
            const std::size_t k = static_cast<std::size_t>(i * m_nSectionSteps + j);
            // Back faces are culled against the eye.
            CFacet& facet = m_facets[k];
            const CPoint3D& p0 = m_vertices[static_cast<std::size_t>(facet.m_pIndices[0])];
            const CPoint3D& p1 = m_vertices[static_cast<std::size_t>(facet.m_pIndices[1])];
            const CPoint3D& p2 = m_vertices[static_cast<std::size_t>(facet.m_pIndices[2])];
            facet.m_normal = FacetNormal(p0, p1, p2);
            m_facetPlace[k] = Dot(CVec3(p1, eye), facet.m_normal) < 0.0 ? 0 : 1;
        }
    }
}

void CTorusRenderer::PlaceFacets()
{
    // Each drawn facet's place in the drawing order: the facets that face the
    // eye, in the order of their rows.
    std::uint32_t drawn = 0;
    for (std::size_t k = 0; k < m_facets.size(); ++k) {
        const std::uint32_t faces = m_facetPlace[k];
        m_facetPlace[k] = drawn;
        drawn += faces;
    }
    m_facetPlace[m_facets.size()] = drawn;
    m_drawn.resize(drawn);
}

void CTorusRenderer::LightRows(int iBegin, int iEnd)
{
    // Vertex pass: normals, lit colours and projections, for the vertices of the
    // drawn facets only (the others are never read). Each vertex is computed on
    // its own from the rotated mesh, so the rows can be shared among the threads.
    // Only lines and Gouraud surfaces draw the vertices' colours: the other
    // drawings light their pixels and leave them unlit.
    const SPixelFacts::EDrawing drawing = Drawing();
    const bool coloured = drawing == SPixelFacts::kLines || drawing == SPixelFacts::kGouraud;
    const auto drawn = [&](int i, int j) {
        const std::size_t k = static_cast<std::size_t>(i * m_nSectionSteps + j);
        return m_facetPlace[k + 1] != m_facetPlace[k];
    };
    const CPoint3D& eye = m_camera.m_eye;
    for (int i = iBegin; i < iEnd; ++i) {
        const int iPrev = i == 0 ? m_nSurfaceSteps - 1 : i - 1;
        for (int j = 0; j < m_nSectionSteps; ++j) {
            // Vertex (i, j) is a corner of facets (i, j), (i, j - 1), (i - 1, j)
            // and (i - 1, j - 1).
            const int jPrev = j == 0 ? m_nSectionSteps - 1 : j - 1;
            if (!drawn(i, j) && !drawn(i, jPrev) && !drawn(iPrev, j) && !drawn(iPrev, jPrev))
                continue;
            const std::size_t k = static_cast<std::size_t>(i * m_nSectionSteps + j);
            m_vertexNormals[k] =
                TorusMesh::VertexNormal(m_vertices.data(), m_nSurfaceSteps, m_nSectionSteps, i, j);
            if (coloured)
                m_vertices[k].colour =
                    m_pLighting->Illuminate(eye, m_vertices[k], m_vertexNormals[k], m_pMaterial.get());
            m_projected[k] = m_camera.Project(m_vertices[k]);
        }
    }
}

void CTorusRenderer::CornerRows(int iBegin, int iEnd)
{
    // Facet pass: the facets that face the eye take their places in the drawing
    // order, and their corners their vertices' projections.
    for (int i = iBegin; i < iEnd; ++i) {
        for (int j = 0; j < m_nSectionSteps; ++j) {
            const std::size_t k = static_cast<std::size_t>(i * m_nSectionSteps + j);
            if (m_facetPlace[k + 1] == m_facetPlace[k])
                continue; // a back face
            SDrawnFacet& facet = m_drawn[m_facetPlace[k]];
            facet.i = i;
            facet.j = j;
            CPoint2D texCoords[CFacet::kCorners];
            TorusMesh::FacetTexCoords(i, j, m_nSurfaceStepAngle, m_nSectionStepAngle, texCoords);
            for (int c = 0; c < CFacet::kCorners; ++c) {
                const std::size_t v = static_cast<std::size_t>(m_facets[k].m_pIndices[c]);
                facet.corners[c].m_position = m_projected[v];
                facet.corners[c].m_normal = m_vertexNormals[v];
                facet.corners[c].m_texCoord = texCoords[c];
            }
        }
    }
}

int CTorusRenderer::StartDrawing(CPixelSink& sink, const SScanClip& image)
{
    if (m_nMode == kModeWireframe) {
        sink.ClearRows(0, sink.Height() - 1);
        if (m_bRecording)
            DrawTaggedLines(sink);
        else
            DrawLines(sink);
        return 0;
    }
    // Filled facets: the image in bands of rows, against one depth buffer for
    // the whole frame. Each thread clears its own rows of the image and of the
    // depth buffer, so that it finds them in its own cache; rows that no band
    // takes are cleared here.
    if (image.yMin <= image.yMax) {
        if (m_bRecording)
            m_depth.ClearOutside(image.yMin, image.yMax);
        sink.ClearRows(0, sink.DeviceRow(image.yMax) - 1);
        sink.ClearRows(sink.DeviceRow(image.yMin) + 1, sink.Height() - 1);
    } else {
        if (m_bRecording)
            m_depth.Clear();
        sink.ClearRows(0, sink.Height() - 1);
    }
    return CutBands(image);
}

void CTorusRenderer::FillBandOf(CPixelSink& sink, const SScanClip& image, int band, int slot)
{
    SScanClip clip = image;
    clip.yMin = m_bandRows[static_cast<std::size_t>(band)];
    clip.yMax = m_bandRows[static_cast<std::size_t>(band) + 1] - 1;
    SSlot& own = m_slots[static_cast<std::size_t>(slot)];
    CDepthBuffer& depth = m_bRecording ? m_depth : own.depth;
    if (m_bRecording) {
        m_depth.Clear(clip.yMin, clip.yMax);
    } else {
        own.depth.Clear(); // what the thread's last band left
        own.depth.Place(clip.yMin);
    }
    sink.ClearRows(sink.DeviceRow(clip.yMax), sink.DeviceRow(clip.yMin));
    FillBand(sink, clip, own, depth);
}

int CTorusRenderer::CutBands(const SScanClip& image)
{
    // Bands of at most kBandRows rows, so that a band's rows of the image and of
    // the depth buffer stay in its thread's cache while it walks every facet.
    // With several threads, bands that shrink as the frame goes on, so that the
    // threads, taking the next band as they finish one, finish together: a band
    // takes half of a thread's share of the work left, and at least a sixteenth
    // of its share of the whole. A row's work is estimated from the widths of
    // the facets that cross it, plus its clearing.
    const int rows = image.yMax >= image.yMin ? image.yMax - image.yMin + 1 : 0;
    m_rowWork.assign(static_cast<std::size_t>(rows) + 1, 0.0);
    const int threads = m_pWorkers->Count();
    if (threads > 1) {
        for (const SDrawnFacet& facet : m_drawn) {
            int yLow = facet.corners[0].m_position.y, yHigh = yLow;
            double xLow = facet.corners[0].m_position.x, xHigh = xLow;
            for (const CFillVertex& corner : facet.corners) {
                yLow = std::min(yLow, corner.m_position.y), yHigh = std::max(yHigh, corner.m_position.y);
                xLow = std::min(xLow, corner.m_position.x), xHigh = std::max(xHigh, corner.m_position.x);
            }
            yLow = std::max(yLow, image.yMin), yHigh = std::min(yHigh, image.yMax);
            if (yLow > yHigh || !(xHigh - xLow < 1e6))
                continue;
            m_rowWork[static_cast<std::size_t>(yLow - image.yMin)] += xHigh - xLow + 1.0;
            m_rowWork[static_cast<std::size_t>(yHigh - image.yMin) + 1] -= xHigh - xLow + 1.0;
        }
    }
    const double clearing = 0.05 * (image.xMax - image.xMin + 1); // a row's clear, in samples
    double total = 0.0, running = 0.0;
    for (int r = 0; r < rows; ++r)
        total += (running += m_rowWork[static_cast<std::size_t>(r)]) + clearing;
    const auto shareOf = [&](double left) {
        return threads > 1 ? std::max(left / (2.0 * threads), total / (16.0 * threads)) : total + 1.0;
    };
    m_bandRows.reserve(static_cast<std::size_t>(rows) + 2); // a band a row at most: no allocation later
    m_bandRows.clear();
    m_bandRows.push_back(image.yMin);
    double work = 0.0, done = 0.0;
    double share = shareOf(total);
    running = 0.0;
    for (int r = 0; r < rows; ++r) {
        work += (running += m_rowWork[static_cast<std::size_t>(r)]) + clearing;
        const int y = image.yMin + r;
        if (r + 1 < rows && (work >= share || y + 1 - m_bandRows.back() >= kBandRows)) {
            m_bandRows.push_back(y + 1);
            done += work;
            work = 0.0;
            share = shareOf(total - done);
        }
    }
    m_bandRows.push_back(image.yMax + 1);
    return rows > 0 ? static_cast<int>(m_bandRows.size()) - 1 : 0;
}

std::size_t CTorusRenderer::FacetsToDraw() const
{
    if (m_nFacetLimit <= 0)
        return 0;
    return std::min(m_drawn.size(), static_cast<std::size_t>(m_nFacetLimit));
}

void CTorusRenderer::DrawLines(CPixelSink& sink) const
{
    const std::size_t count = FacetsToDraw();
    for (std::size_t k = 0; k < count; ++k) {
        const CFillVertex* c = m_drawn[k].corners;
        DrawEdge(sink, c[0].m_position, c[1].m_position);
        DrawEdge(sink, c[1].m_position, c[2].m_position);
        DrawEdge(sink, c[2].m_position, c[3].m_position);
        DrawEdge(sink, c[3].m_position, c[0].m_position);
    }
}

void CTorusRenderer::DrawTaggedLines(CPixelSink& sink)
{
    CTaggedSink tagged(sink, m_records);
    const std::size_t count = FacetsToDraw();
    for (std::size_t k = 0; k < count; ++k) {
        const CFillVertex* c = m_drawn[k].corners;
        tagged.SetTag(static_cast<int>(k));
        DrawEdge(tagged, c[0].m_position, c[1].m_position);
        DrawEdge(tagged, c[1].m_position, c[2].m_position);
        DrawEdge(tagged, c[2].m_position, c[3].m_position);
        DrawEdge(tagged, c[3].m_position, c[0].m_position);
    }
}

template <class Shader>
void CTorusRenderer::FillFacets(const SScanClip& clip, SSlot& slot, CDepthBuffer& depth, Shader& shader)
{
    if (clip.yMin > clip.yMax || clip.xMin > clip.xMax)
        return;
    const std::size_t count = FacetsToDraw();
    // Under a row limit the last facet is filled apart: its walk stops after the
    // limit's row, which it reports to the probe.
    const std::size_t whole = count > 0 && m_nRowLimit != kAllRows ? count - 1 : count;
    if (m_bRecording) {
        // Each facet's samples are written before the next facet's are taken,
        // so that the records can name their facet. Where a batch ends changes
        // no pixel: samples are coloured one by one and written in drawing order.
        // Each thread writes the records of its own rows only.
        shader.RecordInto(&m_records);
        for (std::size_t k = 0; k < whole; ++k) {
            shader.SetFacet(static_cast<int>(k));
            slot.fill.SetTag(static_cast<int>(k));
            slot.fill.Fill(m_drawn[k].corners, CFacet::kCorners, depth, clip, shader);
            shader.Flush();
        }
    } else {
        for (std::size_t k = 0; k < whole; ++k)
            slot.fill.Fill(m_drawn[k].corners, CFacet::kCorners, depth, clip, shader);
        shader.Flush();
    }
    if (whole == count)
        return;
    SScanClip rows = clip;
    rows.yMax = std::min(clip.yMax, m_nRowLimit);
    if (rows.yMin > rows.yMax)
        return;
    if (m_bRecording) {
        shader.SetFacet(static_cast<int>(whole));
        slot.fill.SetTag(static_cast<int>(whole));
    }
    slot.fill.SetProbe(m_pProbe);
    slot.fill.Fill(m_drawn[whole].corners, CFacet::kCorners, depth, rows, shader);
    slot.fill.SetProbe(nullptr);
    shader.Flush();
}

void CTorusRenderer::FillBand(CPixelSink& sink, const SScanClip& clip, SSlot& slot, CDepthBuffer& depth)
{
    const CPoint3D& eye = m_camera.m_eye;
    switch (Drawing()) {
    case EDrawing::kGouraud: {
        CGouraudShader shader(sink, slot.batch);
        FillFacets(clip, slot, depth, shader);
        break;
    }
    case EDrawing::kPhong: {
        CPhongShader shader(sink, slot.batch, eye, *m_pLighting, *m_pMaterial);
        FillFacets(clip, slot, depth, shader);
        break;
    }
    case EDrawing::kTexture: {
        CTextureShader shader(sink, slot.batch, *m_texture);
        FillFacets(clip, slot, depth, shader);
        break;
    }
    case EDrawing::kLitTexture: {
        CLitTextureShader shader(sink, slot.batch, *m_texture, eye, *m_pLighting);
        FillFacets(clip, slot, depth, shader);
        break;
    }
    case EDrawing::kLines:
    case EDrawing::kNothing:
        break;
    }
}

SPixelFacts::EDrawing CTorusRenderer::Drawing() const
{
    const EDrawing drawing = DrawingOf(m_nMode, m_nLight, m_nShading);
    if ((drawing == EDrawing::kTexture || drawing == EDrawing::kLitTexture) && !Texture().HasTexels())
        return EDrawing::kNothing;
    return drawing;
}

void CTorusRenderer::SetInspection(bool on)
{
    m_bInspection = on;
    if (!on && !m_bHistory) {
        m_records.Release();
        m_bRecorded = false;
    }
}

bool CTorusRenderer::Inspect(const CPixelSink& frame, int x, int y, SPixelFacts& facts) const
{
    if (!frame.Mapping().Contains(x, y))
        return false;
    facts = SPixelFacts();
    facts.x = x;
    facts.y = y;
    facts.colour = frame.Pixel(x, y);
    if (!RecordsOf(frame))
        return true;

    facts.recorded = true;
    facts.drawing = m_recordedDrawing;
    const std::size_t at = m_records.Index(x, y);
    const int tag = m_records.m_tag[at];
    if (tag < 0 || static_cast<std::size_t>(tag) >= m_drawn.size())
        return true; // nothing was drawn here
    const SDrawnFacet& facet = m_drawn[static_cast<std::size_t>(tag)];
    facts.drawn = true;
    facts.i = facet.i;
    facts.j = facet.j;
    if (facts.drawing == SPixelFacts::kLines)
        return true; // lines are drawn without depth and carry no attributes

    // The depth buffer still holds this frame's depths: only the next filled
    // frame clears it. Filled pixels always lie inside it.
    facts.hasDepth = true;
    facts.depth = m_depth.Depth(x, y);
    const CVec3 attribute(m_records.m_attribute[0][at], m_records.m_attribute[1][at],
                          m_records.m_attribute[2][at]);
    if (facts.drawing == SPixelFacts::kPhong || facts.drawing == SPixelFacts::kLitTexture) {
        // Only its direction is lit: shown at length 1, it reads at a glance.
        facts.hasNormal = true;
        const double length = attribute.Length();
        facts.normal = length > 0.0 ? CVec3(attribute.x / length, attribute.y / length, attribute.z / length)
                                    : attribute;
    }
    if (facts.drawing == SPixelFacts::kGouraud) {
        facts.hasColour = true;
        facts.interpolated = CColor(attribute.x, attribute.y, attribute.z);
        for (int c = 0; c < CFacet::kCorners; ++c)
            facts.corners[c] = facet.corners[c].m_position.colour.ToColorRef();
    }
    if (facts.drawing == SPixelFacts::kTexture || facts.drawing == SPixelFacts::kLitTexture) {
        facts.hasTexel = true;
        facts.u = m_records.m_texelU[at];
        facts.v = m_records.m_texelV[at];
    }
    return true;
}

void CTorusRenderer::SetHistoryPixel(int x, int y)
{
    m_bHistory = true;
    m_pixelProbe.m_nX = x;
    m_pixelProbe.m_nY = y;
    m_pixelProbe.m_samples.clear();
}

void CTorusRenderer::ClearHistoryPixel()
{
    m_bHistory = false;
    std::vector<SPixelProbe::SSample>().swap(m_pixelProbe.m_samples);
    if (!m_bInspection) {
        m_records.Release();
        m_bRecorded = false;
    }
}

bool CTorusRenderer::History(const CPixelSink& frame, int x, int y, std::vector<SHistoryEntry>& entries) const
{
    entries.clear();
    if (!m_bHistory || x != m_pixelProbe.m_nX || y != m_pixelProbe.m_nY || !RecordsOf(frame) ||
        !frame.Mapping().Contains(x, y))
        return false;
    const auto facet = [&](int order, SHistoryEntry& entry) {
        entry.order = order;
        if (order >= 0 && static_cast<std::size_t>(order) < m_drawn.size()) {
            entry.i = m_drawn[static_cast<std::size_t>(order)].i;
            entry.j = m_drawn[static_cast<std::size_t>(order)].j;
        }
    };
    const std::vector<CPixelRecords::SWrite>& writes = m_records.Writes();
    if (m_recordedDrawing == SPixelFacts::kLines) {
        for (const CPixelRecords::SWrite& write : writes) {
            SHistoryEntry& entry = entries.emplace_back();
            facet(write.tag, entry);
            entry.hasColour = true;
            entry.colour = write.colour;
        }
        return true;
    }
    // The samples that passed were written in the order they were tested: the
    // n-th passed sample wrote the n-th colour.
    std::size_t written = 0;
    for (const SPixelProbe::SSample& sample : m_pixelProbe.m_samples) {
        SHistoryEntry& entry = entries.emplace_back();
        facet(sample.facet, entry);
        entry.tested = true;
        entry.x = sample.x;
        entry.depth = sample.z;
        entry.testedAgainst = sample.stored;
        entry.passed = sample.passed;
        if (sample.passed && written < writes.size()) {
            entry.hasColour = true;
            entry.colour = writes[written++].colour;
        }
    }
    return true;
}

bool CTorusRenderer::ReadDepths(const CPixelSink& frame, double* depths, std::uint8_t* drawn) const
{
    if (!HasDepths(frame))
        return false;
    const CPixelMapping mapping = frame.Mapping();
    const int* tags = m_records.m_tag.data();
    for (int row = 0, k = 0; row < frame.Height(); ++row) {
        const int y = mapping.Y(row);
        for (int col = 0; col < frame.Width(); ++col, ++k) {
            drawn[k] = tags[k] >= 0 ? 1 : 0;
            if (drawn[k] != 0) // a filled pixel always has a depth cell
                depths[k] = m_depth.Depth(mapping.X(col), y);
        }
    }
    return true;
}
