#pragma once

#include "raster/ScanlineProbe.h"
#include "scene/RenderSettings.h"
#include "ui/OrboView.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>

class COrboDoc;
class COrboView;
class CPixelSink;
class QAction;
class QComboBox;
class QLabel;
class QPainter;
class QSlider;
class QSpinBox;
class QTableWidget;
class QTimer;
class QToolButton;

// The "逐步绘制" panel: the view shows its frame as it stood after the first N
// facets of the drawing order, and, within facet N of a filled drawing, after
// each of its scanlines. The facet being drawn is outlined over the picture,
// its corners numbered; on a scanline the active edges are marked beside the
// row and each sample's depth test above it, passed or failed, every mark in
// sight. The panel lists the facet's corners with what the fill interpolates
// between them, and the active edge table as the fill's own walk held it on
// that row; it can play the steps at a chosen rate.
//
// While it runs it follows the panel's settings (the frame is rebuilt and N kept
// where it still exists); Stop gives the view back its whole frames.
class CStepper : public QWidget
{
    Q_OBJECT

public:
    // Mark colours: none of them is a colour of the torus's material or light.
    static const QColor kOutline;
    static const QColor kEdgeMark;
    static const QColor kPassed;
    static const QColor kFailed;

    CStepper(COrboView& view, COrboDoc& doc, QWidget* parent = nullptr);
    ~CStepper() override;

    // Takes the view over, at the frame before its first facet; Stop gives it back.
    void Start();
    void Stop();
    bool Running() const { return m_bRunning; }

    // Facets drawn: 0 .. Count(), the facets of the last frame that face the eye.
    int Facet() const { return m_nFacet; }
    int Count() const;
    // The scanline of facet Facet() drawn last, or CTorusRenderer::kAllRows when
    // the facet is drawn whole.
    int Row() const { return m_nRow; }

    // Shows the frame after facet n (clamped to 0 .. Count()), drawn whole.
    void SetFacet(int n);
    void StepFacet(int delta) { SetFacet(m_nFacet + delta); }
    // One scanline on (delta 1) or back (-1) through the drawing: the rows of a
    // facet bottom up, then the facet whole, then the next facet's first row.
    // Lines have no scanlines: it steps facets there.
    void StepRow(int delta);
    // Shows the frame up to scanline y of facet n (1-based), or the facet whole
    // where it has no such row (and in a wireframe): where a sample of a pixel's
    // history was drawn.
    void ShowScanline(int n, int y);

    // Playing: a step every 1000 / rate ms, of facets or of scanlines, until the
    // frame is whole; any step by hand goes on from where it leads.
    enum class EPlayUnit { Facets, Scanlines };
    void Play(bool on);
    bool Playing() const;
    void SetPlayRate(int stepsPerSecond);
    void SetPlayUnit(EPlayUnit unit);

    // "面片 37 / 162 · i = 2, j = 1", with the scanline while one is shown.
    QString StatusText() const;
    // What the fill's walk held on the current scanline (nothing reached while
    // the facet is drawn whole).
    const SScanlineProbe& Probe() const { return m_probe; }

    // The marks over the frame, in its pixels: the facet's outline and corner
    // numbers, the active edges beside the current row and each sample's
    // depth test above it. Where two samples share a column their marks stand
    // one above the other; the edge marks keep clear of them.
    void PaintOverlay(QPainter& painter, const CPixelSink& frame) const;
    // The frame row (device, top 0) and column of the mark of the k-th sample
    // of the probe, the upper of its two rows: for the tests.
    QPoint SampleMark(const CPixelSink& frame, std::size_t k) const;

    QSize sizeHint() const override { return QSize(400, 640); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The status line changed; empty once the stepper has stopped.
    void StatusChanged(const QString& text);

private:
    void BuildControls();
    void BuildPlayControls(QWidget* row);
    QToolButton* AddButton(QWidget* row, const QString& text, const QString& name, const QKeySequence& key,
                           int icon, void (CStepper::*slot)());
    void First() { SetFacet(0); }
    void Previous() { StepFacet(-1); }
    void Next() { StepFacet(1); }
    void Last() { SetFacet(Count()); }
    void PreviousRow() { StepRow(-1); }
    void NextRow() { StepRow(1); }
    void TogglePlay() { Play(!Playing()); }
    void PlayStep();
    // The scanlines of facet n (1-based) are yLow .. yHigh - 1; false when it has none.
    bool FacetRows(int n, int& yLow, int& yHigh) const;
    bool Filled() const;
    // Hands N and the scanline to the renderer and asks for a frame.
    void Apply();
    // After each frame: N kept where it still exists, the controls and text updated.
    void FramePainted();
    void FollowSettings();
    void UpdateControls();
    void UpdateCorners(bool hasFacet);
    void UpdateRowText(bool hasFacet, bool onRow);
    void UpdateEdgeTable(bool onRow);
    // How many marks stand above sample k: the samples before it in its column.
    std::vector<int> MarkLevels() const;
    void PaintOutline(QPainter& painter, const CPixelSink& frame) const;

    COrboView& m_view;
    QPointer<COrboView> m_pViewAlive;
    COrboDoc& m_doc;
    bool m_bRunning = false;
    int m_nFacet = 0;
    int m_nRow;
    SScanlineProbe m_probe;
    CRenderSettings m_applied; // the settings the frames are drawn with
    std::string m_strTexture;  // the texture they were drawn with
    QTimer* m_pSettingsTimer = nullptr;
    QTimer* m_pPlayTimer = nullptr;
    EPlayUnit m_playUnit = EPlayUnit::Facets;
    QSlider* m_pSlider = nullptr;
    QLabel* m_pHeading = nullptr;
    QLabel* m_pCountLabel = nullptr;
    QLabel* m_pRowLabel = nullptr;
    QLabel* m_pCornersLabel = nullptr;
    QLabel* m_pDepthLabel = nullptr;
    QLabel* m_pColumnNote = nullptr;
    QTableWidget* m_pCorners = nullptr;
    QTableWidget* m_pEdges = nullptr;
    QToolButton* m_pPrevRow = nullptr;
    QToolButton* m_pNextRow = nullptr;
    QToolButton* m_pPlay = nullptr;
    QComboBox* m_pPlayUnit = nullptr;
    QSpinBox* m_pPlayRate = nullptr;
};
