#pragma once

#include "geometry/Vec3.h"
#include "lighting/LightingModel.h"
#include "raster/DepthBuffer.h"
#include "raster/Edge.h"
#include "raster/PixelProbe.h"
#include "raster/PixelRecords.h"
#include "raster/PixelSink.h"
#include "raster/PolygonFill.h"
#include "raster/Texture.h"
#include "render/BandWorkers.h"
#include "render/DrawnFacet.h"
#include "render/PhasedWork.h"
#include "render/PixelFacts.h"
#include "render/PixelHistory.h"
#include "scene/Camera.h"
#include "scene/Facet.h"
#include "scene/RenderSettings.h"
#include "scene/ViewTransform.h"
#include "shading/SampleBatch.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

// All the state a frame is rendered from, and the rendering of a frame into a
// pixel sink: the torus mesh is built and rotated, lit per vertex, culled and
// projected, then drawn as lines or filled facets against a depth buffer.
//
// Filled facets are drawn band by band, bands of kBandRows image rows on several
// threads, every facet in every band in the same order: every pixel sees the same
// depth tests in the same order whatever the thread count, so the frame does not
// depend on it.
// The buffers of a frame are kept for the next one; nothing computed for a frame
// is read by the next.
class CTorusRenderer
{
public:
    // The camera is set up here, once: the eye and the viewing constants never change.
    CTorusRenderer();
    ~CTorusRenderer();

    // Sets up everything the next frames are drawn from, in the order a timer
    // tick hands it over: the angles, then the user's settings (the light switch,
    // the radii, the step counts, the mode and the shading), then the lights
    // follow the light switch, then the texture. Without texels (none given, or
    // an empty one) texture mode draws nothing. The settings' texture path is not
    // read: the caller loads the texture.
    void Setup(const CRenderSettings& settings, double angleX, double angleY,
               std::shared_ptr<const CTexture> texture = nullptr);

    // Builds and rotates the mesh, clears sink to black and draws the frame into
    // it. When anything fails on any thread (std::bad_alloc, as memory runs out)
    // the frame stops on every thread and the exception reaches the caller; the
    // sink then holds an incomplete frame, and the renderer draws the next
    // frame as usual.
    void RenderFrame(CPixelSink& sink);

    // What the next frame is drawn from, as Setup left it.
    int SurfaceSteps() const { return m_nSurfaceSteps; }
    int SectionSteps() const { return m_nSectionSteps; }
    double RingRadius() const { return m_dRingRadius; }
    double SectionRadius() const { return m_dSectionRadius; }
    double AngleX() const { return m_angleX; }
    double AngleY() const { return m_angleY; }
    int Mode() const { return m_nMode; }
    int Light() const { return m_nLight; }
    int Shading() const { return m_nShading; }
    const CCamera& Camera() const { return m_camera; }
    const CLightingModel& Lighting() const { return *m_pLighting; }
    const CMaterial& Material() const { return *m_pMaterial; }
    // The texture; an empty one while none is loaded.
    const CTexture& Texture() const { return m_texture ? *m_texture : kNoTexture; }
    // The drawing the next frame is: lines, a fill, or nothing (texture mode
    // without texels draws nothing).
    SPixelFacts::EDrawing Drawing() const;

    // The threads that fill facets. SetThreadCount asks for count threads (1 to
    // kMaxThreads); no more are made than the processors run at once, so
    // ThreadCount, the threads that really fill facets, may be fewer. At first,
    // one for each thread the processors run at once. Threads that cannot be
    // started leave fewer (one at least, the caller's): ThreadsAsked is then
    // larger than ThreadCount and ThreadStartFailure says why; a later
    // SetThreadCount tries again.
    static constexpr int kMaxThreads = 256;
    static constexpr int kBandRows = 64;
    void SetThreadCount(int count);
    int ThreadCount() const { return m_nThreads; }
    int ThreadsAsked() const;
    const std::string& ThreadStartFailure() const;

    // The facets that faced the eye in the last frame, and so were drawn (all of
    // them unless a facet limit stopped the frame early), in drawing order.
    int FacetsDrawn() const { return static_cast<int>(m_drawn.size()); }
    const SDrawnFacet& DrawnFacet(int k) const { return m_drawn[static_cast<std::size_t>(k)]; }

    // Partial frames, to watch a frame being drawn: only the first count facets
    // of the drawing order are drawn, in every band alike, so the frame is the
    // whole drawing stopped after them. kAllFacets, or any count past the end,
    // draws the whole frame; a negative count draws none.
    static constexpr int kAllFacets = INT_MAX;
    void SetFacetLimit(int count) { m_nFacetLimit = count; }
    int FacetLimit() const { return m_nFacetLimit; }
    // The last facet under the limit is filled only up to scanline row (logical
    // y; a facet is filled bottom up), as its walk stood there. kAllRows fills it
    // whole. Lines are drawn by facet only.
    static constexpr int kAllRows = INT_MAX;
    void SetRowLimit(int row) { m_nRowLimit = row; }
    int RowLimit() const { return m_nRowLimit; }
    // While set (and a row limit is), the fill of that last facet writes what its
    // walk held on the limit's row into probe, every frame anew.
    void SetScanlineProbe(SScanlineProbe* probe) { m_pProbe = probe; }

    // Inspection: while on, every frame also records what wrote each of its
    // pixels, for Inspect. The records' memory is taken only while it is on,
    // and the frames' pixels are the same either way.
    void SetInspection(bool on);
    bool Inspection() const { return m_bInspection; }

    // The facts of logical pixel (x, y) of frame, the sink the last frame was
    // drawn into. False outside the frame. Without records of that frame (drawn
    // with inspection off, or another size) only the position and colour are told.
    bool Inspect(const CPixelSink& frame, int x, int y, SPixelFacts& facts) const;

    // Pixel history: while a pixel is set, every frame also gathers what reached
    // logical pixel (x, y), in drawing order: each sample of a fill that landed
    // there with its depth test and, where it passed, the colour written; each
    // write of an edge's pixel with its colour. Frames are recorded as with
    // inspection on while it is set; the pixels are the same either way.
    void SetHistoryPixel(int x, int y);
    void ClearHistoryPixel();
    bool HasHistoryPixel() const { return m_bHistory; }
    // The history of logical pixel (x, y) of frame, the sink the last frame was
    // drawn into: false unless that frame gathered the history of that pixel.
    bool History(const CPixelSink& frame, int x, int y, std::vector<SHistoryEntry>& entries) const;

    // Whether the last frame, drawn into frame, has a depth buffer to tell:
    // recorded (see Inspect), and filled rather than lines.
    bool HasDepths(const CPixelSink& frame) const
    {
        return RecordsOf(frame) && m_recordedDrawing != SPixelFacts::kLines;
    }
    // The depth buffer of the last frame under every pixel of frame, in device
    // order (rows from the top): drawn[k] 1 where a filled facet drew pixel k,
    // with its depth in depths[k], else 0 (depths[k] left as it is). False,
    // writing nothing, where HasDepths is false; both arrays hold a frame's pixels.
    bool ReadDepths(const CPixelSink& frame, double* depths, std::uint8_t* drawn) const;

private:
    // What one thread keeps from band to band and frame to frame, on cache lines
    // of its own: the threads write their filler's and batch's counters for every
    // sample. The depth of the band being filled stays in the thread's cache from
    // band to band; the frame-wide buffer is used instead while inspection is on,
    // so that the last frame's depths can be told.
    struct alignas(64) SSlot
    {
        CPolygonFill fill;
        CSampleBatch batch;
        CDepthBuffer depth{kBandRows};
    };

    // The user's settings taken over, in the order the animation takes them.
    void ApplySettings(const CRenderSettings& settings);
    // Sets the on flag of every light from the light switch: 0 off, 1 on, any
    // other value leaves them as they are.
    void SwitchLights();
    void BuildVertices();
    void RenderPass(CPixelSink& sink);
    // The passes of a frame, in the order of its phases; the row passes over
    // surface steps iBegin to iEnd - 1.
    enum EPhase {
        kRotatingPhase,
        kFacingPhase,
        kPlacingPhase,
        kLightingPhase,
        kCornerPhase,
        kBandingPhase,
        kBandPhase
    };
    void RotateRows(int iBegin, int iEnd);
    void FacingRows(int iBegin, int iEnd);
    void PlaceFacets();
    void LightRows(int iBegin, int iEnd);
    void CornerRows(int iBegin, int iEnd);
    // Clears what no band clears, and draws the lines or cuts the bands: returns
    // how many bands to fill.
    int StartDrawing(CPixelSink& sink, const SScanClip& image);
    void FillBandOf(CPixelSink& sink, const SScanClip& image, int band, int slot);
    int CutBands(const SScanClip& image);
    void DrawLines(CPixelSink& sink) const;
    void DrawTaggedLines(CPixelSink& sink);
    void FillBand(CPixelSink& sink, const SScanClip& clip, SSlot& slot, CDepthBuffer& depth);
    template <class Shader>
    void FillFacets(const SScanClip& clip, SSlot& slot, CDepthBuffer& depth, Shader& shader);
    // How many facets of m_drawn this frame draws.
    std::size_t FacetsToDraw() const;

    int m_nSurfaceSteps = 18;
    int m_nSectionSteps = 18;
    double m_dRingRadius = 200.0;
    double m_dSectionRadius = 80.0;
    int m_nSurfaceStepAngle = 0;
    int m_nSectionStepAngle = 0;
    CCamera m_camera; // eye distance 1000, azimuth 0, polar angle 90, screen distance 800
    double m_angleX = 0.0;
    double m_angleY = 0.0;
    int m_nLightCount = 1;
    std::unique_ptr<CLightingModel> m_pLighting;
    std::unique_ptr<CMaterial> m_pMaterial;
    std::shared_ptr<const CTexture> m_texture; // null while none is given
    int m_nMode = kModeWireframe;
    int m_nLight = kLightOn;
    int m_nShading = kShadingGouraud;
    static const CTexture kNoTexture;

    std::vector<CPoint3D> m_vertices;
    std::vector<CVec3> m_vertexNormals;
    std::vector<CScreenPointZ> m_projected; // the lit vertices, projected
    std::vector<CFacet> m_facets;           // facet (i, j) at i * m_nSectionSteps + j, like the vertices
    std::vector<SDrawnFacet> m_drawn;
    // Facet k: first 1 where it faces the eye, else 0; then its place in m_drawn,
    // the one after it telling whether it is drawn.
    std::vector<std::uint32_t> m_facetPlace;
    CViewTransform m_rotateX, m_rotateY; // the frame's turns, about x and then about y
    CDepthBuffer m_depth;                // the whole frame's, while inspection is on
    int m_nThreads = 1;
    std::unique_ptr<CBandWorkers> m_pWorkers;
    CPhasedWork m_phases;
    std::vector<SSlot> m_slots;    // one for each thread
    std::vector<double> m_rowWork; // the change of the estimated work from row to row
    std::vector<int> m_bandRows;   // band b: rows m_bandRows[b] to m_bandRows[b + 1] - 1
    bool m_bInspection = false;
    bool m_bRecording = false; // this frame records: inspection or history is on
    CPixelRecords m_records;   // the last frame's, while inspection is on
    bool m_bRecorded = false;  // m_records and m_recordedDrawing describe the last frame
    SPixelFacts::EDrawing m_recordedDrawing = SPixelFacts::kNothing;
    int m_nFacetLimit = kAllFacets;
    int m_nRowLimit = kAllRows;
    SScanlineProbe* m_pProbe = nullptr;
    bool m_bHistory = false;
    SPixelProbe m_pixelProbe; // the history pixel's depth tests, while m_bHistory
    // Whether the records describe frame, the sink the last frame was drawn into.
    bool RecordsOf(const CPixelSink& frame) const
    {
        return m_bRecorded && m_records.Width() == frame.Width() && m_records.Height() == frame.Height();
    }
};
