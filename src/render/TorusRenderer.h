#pragma once

#include "geometry/Vec3.h"
#include "lighting/LightingModel.h"
#include "raster/PixelSink.h"
#include "raster/PolygonFill.h"
#include "raster/Texture.h"
#include "scene/Camera.h"
#include "scene/Facet.h"
#include "scene/ViewTransform.h"

#include <memory>
#include <string>

// Drawing modes, light switch and shading methods shared by the panel, the
// document and the renderer.
enum : int { kModeWireframe = 0, kModeSurface = 1, kModeTexture = 2 };
enum : int { kLightOff = 0, kLightOn = 1 };
enum : int { kShadingGouraud = 0, kShadingPhong = 1 };

// All the state a frame is rendered from, and the rendering of a frame into a
// pixel sink. The mesh and the facet filler exist only while a frame is drawn.
class CTorusRenderer
{
public:
    CTorusRenderer();

    // Computes the viewing constants and the eye once, before the first frame.
    void SetupCamera() { m_camera.SetupCamera(); }

    // Builds and rotates the mesh and draws it into sink (cleared by its owner).
    void RenderFrame(CPixelSink& sink);

    // Sets the on flag of every light from the light switch: 0 off, 1 on, any
    // other value leaves them as they are.
    void SwitchLights();

    // The steps of RenderFrame, public so that they can be checked one by one.
    void BuildVertices();
    void BuildFacets();
    void RenderPass(CPixelSink& sink);

    int m_nSurfaceSteps = 18;
    int m_nSectionSteps = 18;
    double m_dRingRadius = 200.0;
    double m_dSectionRadius = 80.0;
    int m_nSurfaceStepAngle = 0;
    int m_nSectionStepAngle = 0;
    std::unique_ptr<CPoint3D[]> m_pVertices;
    std::unique_ptr<CVec3[]> m_pVertexNormals;
    std::unique_ptr<std::unique_ptr<CFacet[]>[]> m_ppFacets; // rows of facets
    CCamera m_camera; // eye distance 1000, azimuth 0, polar angle 90, screen distance 800
    double m_angleX = 0.0;
    double m_angleY = 0.0;
    int m_nLightCount = 1;
    std::unique_ptr<CLightingModel> m_pLighting;
    std::unique_ptr<CMaterial> m_pMaterial;
    CViewTransform m_transform;
    std::unique_ptr<CPolygonFill> m_pFill;
    CTexture m_texture;
    std::string m_strTexturePath = "./Data/texture1.bmp";
    int m_nMode = kModeWireframe;
    int m_nLight = kLightOn;
    int m_nShading = kShadingGouraud;

private:
    void DrawFacet(CPixelSink& sink, int i, int j, const CScreenPointZ corners[4],
                   const CVec3 normals[4]);
    void ReleaseMesh();
};
