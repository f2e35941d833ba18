#include "ui/Magnifier.h"

#include "raster/PixelSink.h"
#include "ui/OrboView.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The cursor is looked at this often: smooth to the eye, idle otherwise.
constexpr int kCursorPollMs = 30;
constexpr QRgb kOutside = 0xFF303030;
// Mid grey, half see-through: the grid shows on black and on white alike.
constexpr QColor kGrid(128, 128, 128, 120);

} // namespace

CMagnifier::CMagnifier(COrboView& view, QWidget* parent) : QWidget(parent, Qt::Tool), m_view(view)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kMaxZoom * 5, kMaxZoom * 5);
    resize(sizeHint());
    UpdateTitle();
    setAccessibleName(tr("放大镜"));
    m_view.installEventFilter(this);
    connect(&m_view, &COrboView::FramePainted, this, qOverload<>(&QWidget::update));
    m_pCursorTimer = new QTimer(this);
    connect(m_pCursorTimer, &QTimer::timeout, this, &CMagnifier::FollowCursor);
    m_pCursorTimer->start(kCursorPollMs);
}

void CMagnifier::SetZoom(int zoom)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_nZoom)
        return;
    m_nZoom = zoom;
    UpdateTitle();
    update();
}

void CMagnifier::ShowAround(QPoint centre)
{
    m_pCursorTimer->stop();
    m_centre = centre;
    update();
}

void CMagnifier::FollowCursor()
{
    if (!isVisible())
        return;
    const QPoint at = m_view.KeyboardChosePixel()
                          ? m_view.InspectedPixel()
                          : m_view.DevicePixelAt(m_view.mapFromGlobal(QCursor::pos()));
    if (at == m_centre)
        return;
    m_centre = at;
    update();
}

void CMagnifier::UpdateTitle()
{
    setWindowTitle(tr("放大镜 %1×").arg(m_nZoom));
}

QPoint CMagnifier::CentreSquare(int zoom, QSize size)
{
    return QPoint((size.width() - zoom) / 2, (size.height() - zoom) / 2);
}

QImage CMagnifier::Magnified(const CPixelSink& frame, QPoint centre, int zoom, QSize size)
{
    QImage picture(frame.Width(), frame.Height(), QImage::Format_RGB32);
    for (int row = 0; row < frame.Height(); ++row)
        for (int col = 0; col < frame.Width(); ++col) {
            const std::uint32_t c = frame.DevicePixel(col, row);
            picture.setPixel(col, row, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        }
    return Magnified(picture, centre, zoom, size);
}

QImage CMagnifier::Magnified(const QImage& picture, QPoint centre, int zoom, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const QPoint square = CentreSquare(zoom, size);
    for (int py = 0; py < size.height(); ++py) {
        // Floor division: squares left of and above the centre have negative offsets.
        const int dy = py - square.y();
        const int row = centre.y() + (dy >= 0 ? dy / zoom : -((-dy + zoom - 1) / zoom));
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        for (int px = 0; px < size.width(); ++px) {
            const int dx = px - square.x();
            const int col = centre.x() + (dx >= 0 ? dx / zoom : -((-dx + zoom - 1) / zoom));
            if (col < 0 || col >= picture.width() || row < 0 || row >= picture.height()) {
                line[px] = kOutside;
                continue;
            }
            line[px] = picture.pixel(col, row) | 0xFF000000u;
        }
    }
    return image;
}

QImage CMagnifier::Shown(const QImage& picture, QPoint centre, int zoom, QSize size)
{
    QImage image = Magnified(picture, centre, zoom, size);
    QPainter painter(&image);

    // The grid: a thin line on the first column and row of every square.
    const QPoint square = CentreSquare(zoom, size);
    painter.setPen(QPen(kGrid, 0));
    for (int x = square.x() % zoom; x < size.width(); x += zoom)
        painter.drawLine(x, 0, x, size.height() - 1);
    for (int y = square.y() % zoom; y < size.height(); y += zoom)
        painter.drawLine(0, y, size.width() - 1, y);

    // The pixel under the cursor, outlined just outside its square (on the grid
    // lines) in white on a dark pixel, black on a light one.
    const QRect outline(square, QSize(zoom, zoom));
    const QColor under = QColor::fromRgb(Magnified(picture, centre, 1, QSize(1, 1)).pixel(0, 0));
    painter.setPen(QPen(under.lightness() < 128 ? Qt::white : Qt::black, 0));
    painter.drawRect(outline.adjusted(-1, -1, 0, 0));
    return image;
}

// Drawn in device pixels, a frame pixel zoom of them wide on any screen scale.
void CMagnifier::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    // What the view presents, with the marks of a tool drawn over it.
    QImage image = Shown(m_view.OverlaidPicture(), m_centre, m_nZoom,
                         QSize(qRound(width() * ratio), qRound(height() * ratio)));
    image.setDevicePixelRatio(ratio);
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), image);
}

void CMagnifier::wheelEvent(QWheelEvent* event)
{
    ZoomByWheel(event);
}

void CMagnifier::keyPressEvent(QKeyEvent* event)
{
    if (!ZoomByKey(event))
        QWidget::keyPressEvent(event);
}

bool CMagnifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && isVisible()) {
        if (event->type() == QEvent::Wheel) {
            ZoomByWheel(static_cast<QWheelEvent*>(event));
            return true;
        }
        if (event->type() == QEvent::KeyPress && ZoomByKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CMagnifier::ZoomByWheel(QWheelEvent* event)
{
    // One step of zoom per notch (120 units); a touchpad's small steps add up.
    m_nWheelRest += event->angleDelta().y();
    const int steps = m_nWheelRest / 120;
    m_nWheelRest -= steps * 120;
    if (steps != 0)
        SetZoom(m_nZoom + steps);
    event->accept();
}

bool CMagnifier::ZoomByKey(QKeyEvent* event)
{
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: // + without Shift on most layouts
        SetZoom(m_nZoom + 1);
        break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        SetZoom(m_nZoom - 1);
        break;
    default:
        return false;
    }
    event->accept();
    return true;
}
