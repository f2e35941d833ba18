#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class COrboView;
class CPixelSink;
class QTimer;

// The "放大镜" tool window: the pixels of the picture the view presents (the
// frame, or its depth buffer, with the marks of a tool such as the stepper)
// around the cursor, each drawn as a square of zoom x zoom device pixels with a thin grid
// between them and the pixel under the cursor outlined. It follows the cursor
// (or the pixel the view's inspector was moved to with the keyboard) and every
// frame the view paints; it only reads the view's frame and never renders one.
// The mouse wheel, over it or over the view, and the + and - keys zoom from
// kMinZoom to kMaxZoom.
class CMagnifier : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMinZoom = 4;
    static constexpr int kMaxZoom = 16;
    static constexpr int kDefaultZoom = 8;

    CMagnifier(COrboView& view, QWidget* parent = nullptr);

    int Zoom() const { return m_nZoom; }
    void SetZoom(int zoom);

    // The frame pixel shown at the centre, in device pixels of the view.
    QPoint Centre() const { return m_centre; }
    // Shows the area around centre and stops following the cursor (for a
    // fixed look, and for tests).
    void ShowAround(QPoint centre);

    // The image of size: picture's pixels around centre, zoom times enlarged,
    // the centre pixel's square in the middle. Outside the picture is a dark grey.
    static QImage Magnified(const QImage& picture, QPoint centre, int zoom, QSize size);
    static QImage Magnified(const CPixelSink& frame, QPoint centre, int zoom, QSize size);
    // The top-left corner, in the image, of the square of the centre pixel.
    static QPoint CentreSquare(int zoom, QSize size);
    // Magnified with the grid and the centre's outline: what the window shows,
    // size in device pixels.
    static QImage Shown(const QImage& picture, QPoint centre, int zoom, QSize size);

    QSize sizeHint() const override { return QSize(264, 264); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The wheel and the zoom keys over the view zoom while the window is open.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowCursor();
    void ZoomByWheel(QWheelEvent* event);
    // + and -: one step of zoom; returns whether key was one of them.
    bool ZoomByKey(QKeyEvent* event);
    void UpdateTitle();

    COrboView& m_view;
    QTimer* m_pCursorTimer = nullptr;
    int m_nZoom = kDefaultZoom;
    QPoint m_centre;
    int m_nWheelRest = 0; // wheel movement short of a whole notch
};
