#include "ui/OrboView.h"

#include "imageio/DataPaths.h"
#include "imageio/FrameImage.h"
#include "imageio/TextureFile.h"
#include "raster/PixelMapping.h"
#include "raster/PixelSink.h"
#include "ui/FailureText.h"
#include "ui/FileListModel.h"
#include "ui/InspectorText.h"
#include "ui/OrboDoc.h"
#include "ui/PictureMimeData.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimerEvent>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <utility>
#include <vector>

namespace {

// Qt's own save dialog, as the texture chooser's: in the program's language on
// every desktop. It adds ".png" to a name typed without it and asks before
// replacing an existing file.
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath,
                        const QString& filter)
{
    QFileDialog dialog(parent, caption, QFileInfo(suggestedPath).absolutePath(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(QFileInfo(suggestedPath).fileName());
    CFileListModel::Install(dialog);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(720, 460)));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

// An angle moved back into 0..360 by whole turns (a whole turn back gives +0,
// not -0).
double WrapDegrees(double degrees)
{
    const double wrapped = std::fmod(degrees, 360.0);
    return wrapped < 0.0 ? wrapped + 360.0 : wrapped + 0.0;
}

} // namespace

COrboView::COrboView(COrboDoc& doc, std::function<bool()> readPlayFlag, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_readPlayFlag(std::move(readPlayFlag)),
      m_showMessage([](QWidget* owner, const QString& title, const QString& text) {
          QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
          box.button(QMessageBox::Ok)->setText(tr("确定"));
          box.exec();
      }),
      m_chooseSavePath(&GetSaveFileName)
{
    // Every paint covers the whole widget with one finished frame: nothing may
    // clear it first, or the picture would flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // Clicking the view gives it the keyboard focus, as F6 and Tab do: its arrow
    // keys turn the torus. The hand shows that the torus can be grabbed and turned.
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
    setAccessibleName(tr("圆环画面"));
    UpdateDescription();
    // The inspector follows the mouse without a button held.
    setMouseTracking(true);
    m_strTexturePath = DefaultTexturePath();
}

void COrboView::ShowMessage(const QString& text)
{
    if (m_showMessage)
        m_showMessage(window(), QGuiApplication::applicationDisplayName(), text);
}

void COrboView::OnInitialUpdate()
{
    LoadTexture();
    SetUpRenderer(m_renderer.AngleX(), m_renderer.AngleY());
}

void COrboView::SetUpRenderer(double angleX, double angleY)
{
    m_renderer.Setup(m_settings, angleX, angleY, m_texture);
}

void COrboView::TakeOverSettings(const CRenderSettings& settings)
{
    m_settings = settings;
    SetUpRenderer(m_renderer.AngleX(), m_renderer.AngleY());
}

void COrboView::RenderFrame(CPixelSink& sink)
{
    m_renderer.RenderFrame(sink);
}

QSize COrboView::DeviceSize() const
{
    const qreal ratio = devicePixelRatioF();
    return QSize(qRound(width() * ratio), qRound(height() * ratio));
}

QPoint COrboView::DevicePixelAt(QPointF point) const
{
    const qreal ratio = devicePixelRatioF();
    return QPoint(static_cast<int>(std::floor(point.x() * ratio)),
                  static_cast<int>(std::floor(point.y() * ratio)));
}

void COrboView::paintEvent(QPaintEvent*)
{
    const auto start = CFrameClock::Clock::now();
    // Re-armed by every frame: a running timer starts its 50 ms anew.
    m_timer.start(kTimerPeriodMs, this);
    // Two images, cleared by the renderer, in turn: no allocation per frame, and
    // the last whole frame stays shown when a frame cannot be drawn (memory
    // running out), until one can. They have the view's device pixels, so that a
    // scaled screen shows each image pixel as one of its own instead of
    // enlarging a smaller frame.
    const QSize device = DeviceSize();
    try {
        m_spare.Resize(device.width(), device.height());
        RenderFrame(m_spare);
        std::swap(m_frame, m_spare);
        m_strRenderFailure.clear();
        // The depth view presents the depth buffer the frame was drawn against.
        m_bDepthShown = false;
        m_bDepthShown = m_bDepthView && m_depths.Take(m_renderer, m_frame);
        if (m_bDepthShown)
            m_depths.Paint(m_depthPicture);
        m_frameClock.FrameDrawn(start, CFrameClock::Clock::now());
    } catch (const std::bad_alloc&) {
        m_strRenderFailure = tr("画面绘制失败：内存不足");
    } catch (const std::exception& e) {
        m_strRenderFailure = tr("画面绘制失败：%1").arg(QString::fromLocal8Bit(e.what()));
    }
    QPainter painter(this);
    if (QSize(m_frame.Width(), m_frame.Height()) != device)
        painter.fillRect(rect(), Qt::black); // a frame of another size, or none, failed to follow
    QImage image = FrameImage(Presented());
    image.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), image);
    // The keyboard's mark: a frame in the highlight colour along the edges,
    // under a tool's marks, which stay in sight to the last pixel.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    if (m_overlay && m_frame.Width() > 0 && m_frame.Height() > 0) {
        // The overlay paints in the frame's pixels.
        painter.save();
        painter.scale(static_cast<double>(width()) / m_frame.Width(),
                      static_cast<double>(height()) / m_frame.Height());
        m_overlay(painter, m_frame);
        painter.restore();
    }
    if (m_bDepthView)
        PaintDepthLegend(painter);
    painter.end();
    emit FramePainted();
    // The pixel under a still cursor changes with the animation.
    UpdateInspection();
}

QImage COrboView::OverlaidPicture() const
{
    QImage image = FrameImage(Presented()).convertToFormat(QImage::Format_RGB32);
    if (m_overlay && !image.isNull()) {
        QPainter painter(&image);
        m_overlay(painter, m_frame);
    }
    return image;
}

void COrboView::SetInspectCommand(bool on)
{
    m_bInspectCommand = on;
    if (!on)
        m_bKeyPixel = false;
    UpdateInspection();
}

void COrboView::SetDepthView(bool on)
{
    if (on == m_bDepthView)
        return;
    m_bDepthView = on;
    UpdateInspection(); // the records bring the depths
    UpdateDescription();
    update();
}

bool COrboView::InspectedLogicalPixel(int& x, int& y) const
{
    if (!InspectionActive() || !(m_bMouseInside || m_bKeyPixel))
        return false;
    const CPixelMapping mapping = m_frame.Mapping();
    x = mapping.X(m_cursor.x());
    y = mapping.Y(m_cursor.y());
    return mapping.Contains(x, y);
}

void COrboView::UpdateInspection()
{
    const bool records = NeedsRecords();
    if (records != m_renderer.Inspection()) {
        // The records are drawn with the frame: the next one brings them. Off,
        // their memory is given back and frames cost what they did.
        m_renderer.SetInspection(records);
        if (records)
            update();
    }
    QStringList facts;
    SPixelFacts pixel;
    int x = 0, y = 0;
    const bool inspecting = InspectedLogicalPixel(x, y);
    if (inspecting && m_renderer.Inspect(m_frame, x, y, pixel))
        facts = InspectorLines(pixel);
    UpdateHistory(inspecting && m_bInspectCommand, x, y);
    if (facts == m_inspected && m_bKeyPixel == m_bFactsHeld)
        return;
    m_bFactsHeld = m_bKeyPixel;
    m_inspected = facts;
    emit InspectionChanged(facts.join(QStringLiteral("  ")));
    if (facts.isEmpty())
        QToolTip::hideText();
    else // beside the pixel, not over it: the pixel stays in sight
        QToolTip::showText(mapToGlobal((QPointF(m_cursor) / devicePixelRatioF()).toPoint() + QPoint(16, 16)),
                           facts.join(QLatin1Char('\n')), this);
}

void COrboView::UpdateHistory(bool inspecting, int x, int y)
{
    std::vector<SHistoryEntry> history;
    if (!inspecting) {
        if (m_renderer.HasHistoryPixel())
            m_renderer.ClearHistoryPixel();
    } else if (!m_renderer.History(m_frame, x, y, history)) {
        // Gathered by the next frame, for this pixel only.
        m_renderer.SetHistoryPixel(x, y);
        update();
    }
    if (history.size() == m_history.size() &&
        std::equal(history.begin(), history.end(), m_history.begin(),
                   [](const SHistoryEntry& a, const SHistoryEntry& b) {
                       return a.order == b.order && a.tested == b.tested && a.x == b.x &&
                              a.depth == b.depth && a.testedAgainst == b.testedAgainst &&
                              a.passed == b.passed && a.hasColour == b.hasColour && a.colour == b.colour;
                   }))
        return;
    m_history = std::move(history);
    emit HistoryChanged();
}

bool COrboView::MoveInspectedPixel(QPoint step)
{
    if (!InspectionActive())
        return false;
    const QSize device = DeviceSize();
    // From the mouse's pixel, or the chosen one; the first press with neither
    // picks the centre, the origin of the frame.
    const CPixelMapping mapping(device.width(), device.height());
    QPoint pixel = m_bMouseInside || m_bKeyPixel
                       ? m_cursor + step
                       : QPoint(static_cast<int>(mapping.Column(0)), static_cast<int>(mapping.Row(0)));
    pixel.setX(std::clamp(pixel.x(), 0, std::max(device.width() - 1, 0)));
    pixel.setY(std::clamp(pixel.y(), 0, std::max(device.height() - 1, 0)));
    m_cursor = pixel;
    m_bKeyPixel = true;
    UpdateInspection();
    return true;
}

// The arrow keys turn the torus as a drag that way does, by the animation's
// step; with Shift they move the inspected pixel instead. Home turns it back.
void COrboView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift) {
        m_bShiftHeld = true;
        UpdateInspection();
    }
    const Qt::KeyboardModifiers others = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    QPoint step;
    switch (event->key()) {
    case Qt::Key_Left:
        step = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        step = QPoint(1, 0);
        break;
    case Qt::Key_Up:
        step = QPoint(0, -1);
        break;
    case Qt::Key_Down:
        step = QPoint(0, 1);
        break;
    default:
        break;
    }
    if (!step.isNull() && others == Qt::NoModifier) {
        if (event->modifiers() & Qt::ShiftModifier) {
            if (MoveInspectedPixel(step)) {
                event->accept();
                return;
            }
        } else {
            TurnByDegrees(step.x() * kDegreesPerKey, step.y() * kDegreesPerKey);
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_Escape && m_bKeyPixel && event->modifiers() == Qt::NoModifier) {
        // The held pixel is let go: the inspector follows the mouse again.
        m_bKeyPixel = false;
        UpdateInspection();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier) {
        SetUpRenderer(0.0, 0.0);
        if (!IsPlaying())
            update();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void COrboView::focusInEvent(QFocusEvent* event)
{
    update(); // the focus mark
    QWidget::focusInEvent(event);
}

void COrboView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void COrboView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift) {
        m_bShiftHeld = false;
        UpdateInspection();
    }
    QWidget::keyReleaseEvent(event);
}

void COrboView::enterEvent(QEnterEvent* event)
{
    m_bMouseInside = true;
    m_bKeyPixel = false;
    m_cursor = DevicePixelAt(event->position());
    m_bShiftHeld = (event->modifiers() & Qt::ShiftModifier) != 0;
    UpdateInspection();
    QWidget::enterEvent(event);
}

void COrboView::leaveEvent(QEvent* event)
{
    m_bMouseInside = false;
    UpdateInspection();
    QWidget::leaveEvent(event);
}

void COrboView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        OnTimer();
    else
        QWidget::timerEvent(event);
}

void COrboView::OnTimer()
{
    // Shift is seen even while another pane has the keyboard.
    if (m_bMouseInside) {
        const bool shift = (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
        if (shift != m_bShiftHeld) {
            m_bShiftHeld = shift;
            UpdateInspection();
        }
    }

    double angleX = m_renderer.AngleX();
    if (IsPlaying()) {
        angleX = NextAnimationAngle(angleX);
        m_settings = m_doc;
        update();
    }

    // A newly chosen texture is loaded at once, playing or not. The path is taken
    // over before loading, so a file that fails is not tried again (and its
    // message not shown again) until the user chooses another one.
    if (!m_doc.m_strTexturePath.empty() && m_doc.m_strTexturePath != m_strTexturePath) {
        m_strTexturePath = m_doc.m_strTexturePath;
        m_texture.reset();
        SetUpRenderer(angleX, m_renderer.AngleY()); // the old texels are gone while the message shows
        LoadTexture();
    }

    // The lights follow the light switch on every tick.
    SetUpRenderer(angleX, m_renderer.AngleY());
}

void COrboView::LoadTexture()
{
    CTexture texture;
    SFileError error;
    m_strTextureFailure.clear();
    if (LoadTextureFile(m_strTexturePath, texture, error)) {
        m_texture = std::make_shared<const CTexture>(std::move(texture));
        return;
    }
    // The box keeps its one-line text; the file and the reason follow below it.
    const QString path = QDir::toNativeSeparators(QFile::decodeName(m_strTexturePath.c_str()));
    m_strTextureFailure = FailureText(error);
    if (m_showMessage)
        m_showMessage(this, QGuiApplication::applicationDisplayName(),
                      tr("图片加载失败") + QLatin1Char('\n') + tr("%1：%2").arg(path, m_strTextureFailure));
}

QString COrboView::MissingTextureText() const
{
    if (m_renderer.Mode() != kModeTexture || (m_texture && m_texture->HasTexels()))
        return QString();
    const QString name = QFileInfo(QFile::decodeName(m_strTexturePath.c_str())).fileName();
    return m_strTextureFailure.isEmpty() ? tr("纹理模式没有纹理：%1").arg(name)
                                         : tr("纹理模式没有纹理：%1（%2）").arg(name, m_strTextureFailure);
}

void COrboView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_bDragging = true;
    m_dragFrom = event->position().toPoint();
    m_pressAt = m_dragFrom;
    setCursor(Qt::ClosedHandCursor);
}

void COrboView::mouseMoveEvent(QMouseEvent* event)
{
    m_bMouseInside = rect().contains(event->position().toPoint());
    // The mouse takes the inspector over again, unless the command holds a pixel.
    if (!(m_bInspectCommand && m_bKeyPixel)) {
        m_bKeyPixel = false;
        m_cursor = DevicePixelAt(event->position());
    }
    m_bShiftHeld = (event->modifiers() & Qt::ShiftModifier) != 0;
    UpdateInspection();
    if (!m_bDragging || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint to = event->position().toPoint();
    TurnBy(to - m_dragFrom);
    m_dragFrom = to;
}

void COrboView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_bDragging = false;
    setCursor(Qt::OpenHandCursor);
    // A click, not a drag, holds the pixel under it while the command is on.
    if (m_bInspectCommand && (event->position().toPoint() - m_pressAt).manhattanLength() <= 2) {
        m_cursor = DevicePixelAt(event->position());
        m_bKeyPixel = true;
        UpdateInspection();
    }
}

// Dragging right turns the front of the torus to the right, dragging down turns
// it down. While the animation plays its ticks draw the turned torus and go on
// from there; while stopped the frame follows the mouse. (Repainting on every
// move while playing would re-arm the timer each time and stall the ticks.)
void COrboView::TurnBy(QPoint delta)
{
    if (delta.isNull())
        return;
    TurnByDegrees(delta.x() * kDegreesPerPixel, delta.y() * kDegreesPerPixel);
}

void COrboView::TurnByDegrees(double aboutY, double aboutX)
{
    SetUpRenderer(WrapDegrees(m_renderer.AngleX() + aboutX), WrapDegrees(m_renderer.AngleY() + aboutY));
    if (!IsPlaying())
        update();
}

CPixelSink COrboView::ShownFrame()
{
    const QSize device = DeviceSize();
    if (m_frame.Width() == device.width() && m_frame.Height() == device.height() && !device.isEmpty())
        return Presented();
    CPixelSink sink(device.width(), device.height());
    RenderFrame(sink);
    CDepthImage depths;
    if (m_bDepthView && depths.Take(m_renderer, sink))
        depths.Paint(sink);
    return sink;
}

QImage COrboView::Picture()
{
    const CPixelSink shown = ShownFrame();
    return FrameImage(shown).convertToFormat(QImage::Format_RGB32);
}

bool COrboView::SavePicture(const CPixelSink& frame, const QString& path, QString& error)
{
    // A pipe nobody reads from is refused at once: the window never waits on a path.
    SFileError failure;
    // The user's one picture is worth the smallest file.
    if (!SaveFramePng(frame, QFile::encodeName(path).toStdString(), failure, EPipeOpen::kFailWithoutReader,
                      PngCompression::kSmallest)) {
        error = FailureText(failure);
        return false;
    }
    return true;
}

void COrboView::OnSavePicture()
{
    if (!m_chooseSavePath)
        return;
    // The frame the command was given for: the animation goes on while the
    // dialog is open.
    CPixelSink shown(0, 0);
    try {
        shown = ShownFrame();
    } catch (const std::bad_alloc&) {
        if (m_showMessage)
            m_showMessage(this, QGuiApplication::applicationDisplayName(), tr("图片保存失败：内存不足"));
        return;
    }
    QString folder = m_strSaveFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString path =
        m_chooseSavePath(this, tr("保存图片"), QDir(folder).filePath(tr("圆环.png")), tr("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return;
    m_strSaveFolder = QFileInfo(path).absolutePath();
    QString error;
    if (!SavePicture(shown, path, error) && m_showMessage)
        m_showMessage(this, QGuiApplication::applicationDisplayName(),
                      tr("图片保存失败：%1\n%2").arg(QDir::toNativeSeparators(path), error));
}

void COrboView::OnCopyPicture()
{
    try {
        QGuiApplication::clipboard()->setMimeData(new CPictureMimeData(ShownFrame()));
    } catch (const std::bad_alloc&) {
        if (m_showMessage)
            m_showMessage(this, QGuiApplication::applicationDisplayName(), tr("图片复制失败：内存不足"));
    }
}

void COrboView::SetKeysDescription(const QString& text)
{
    m_strKeysText = text;
    UpdateDescription();
}

void COrboView::UpdateDescription()
{
    QString text =
        m_strKeysText.isEmpty()
            ? tr("拖动或按方向键转动圆环，Home 键复位；按住 Shift 查看像素，Shift 加方向键移动所查看的像素")
            : m_strKeysText;
    if (m_bDepthView)
        text = tr("深度缓冲视图：灰度表示深度，越近越亮。") + text;
    if (accessibleDescription() != text)
        setAccessibleDescription(text);
}

void COrboView::PaintDepthLegend(QPainter& painter) const
{
    // In the view's own units, in the bottom left corner, on a dark plate, the
    // lines wrapped to the view's width.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    const int pad = line / 3;
    QStringList lines;
    if (!m_bDepthShown) {
        lines << (m_renderer.Drawing() == SPixelFacts::kLines
                      ? tr("线框没有深度缓冲：线条不做深度测试，按画出的先后覆盖。")
                      : tr("深度缓冲：下一帧带来深度。"));
    } else if (!m_depths.AnyDrawn()) {
        lines << tr("深度缓冲：还没有画出任何像素（每格仍是 -1000）");
    } else {
        lines << tr("深度缓冲（越大越近）：远 %1 … 近 %2")
                     .arg(m_depths.Least(), 0, 'f', 3)
                     .arg(m_depths.Greatest(), 0, 'f', 3);
        lines << tr("蓝色：没有画出的像素，深度仍是初值 -1000");
    }
    const int widest = std::max(line, width() - 4 * pad);
    int textWidth = 0, textHeight = 0;
    std::vector<QRect> boxes;
    for (const QString& text : lines) {
        const QRect box = metrics.boundingRect(QRect(0, 0, widest, 10 * line), Qt::TextWordWrap, text);
        boxes.push_back(box);
        textWidth = std::max(textWidth, box.width());
        textHeight += box.height();
    }
    const int barHeight = m_bDepthShown && m_depths.AnyDrawn() ? line / 2 + pad : 0;
    const QRect plate(pad, height() - pad - (textHeight + barHeight + 2 * pad), textWidth + 2 * pad,
                      textHeight + barHeight + 2 * pad);
    painter.fillRect(plate, QColor(0, 0, 0, 200));
    painter.setPen(Qt::white);
    int y = plate.top() + pad;
    if (barHeight > 0) {
        // The greys from the farthest to the nearest depth, left to right.
        const QRect bar(plate.left() + pad, y, textWidth, line / 2);
        QLinearGradient ramp(bar.topLeft(), bar.topRight());
        const QColor farthest(CDepthImage::kFarthestGrey, CDepthImage::kFarthestGrey,
                              CDepthImage::kFarthestGrey);
        ramp.setColorAt(0.0, farthest);
        ramp.setColorAt(1.0, Qt::white);
        painter.fillRect(bar, ramp);
        y += barHeight;
    }
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        painter.drawText(QRect(plate.left() + pad, y, textWidth, boxes[k].height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                         lines[static_cast<qsizetype>(k)]);
        y += boxes[k].height();
    }
    painter.restore();
}
