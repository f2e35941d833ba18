#include "ui/OrboView.h"

#include "imageio/DataPaths.h"
#include "imageio/FrameImage.h"
#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "ui/InspectorText.h"
#include "ui/OrboDoc.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimerEvent>
#include <QToolTip>

#include <cmath>
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
          box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
          box.exec();
      }),
      m_chooseSavePath(&GetSaveFileName)
{
    // Every paint covers the whole widget with one finished frame: nothing may
    // clear it first, or the picture would flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // Clicking the view gives it the keyboard focus, as F6 does; the hand shows
    // that the torus can be grabbed and turned.
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::OpenHandCursor);
    // The inspector follows the mouse without a button held.
    setMouseTracking(true);
    m_strTexturePath = DefaultTexturePath();
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

void COrboView::RenderFrame(CPixelSink& sink)
{
    m_renderer.RenderFrame(sink);
}

void COrboView::paintEvent(QPaintEvent*)
{
    const auto start = CFrameClock::Clock::now();
    // One image for every frame, cleared by the renderer: no allocation per frame.
    m_frame.Resize(width(), height());
    // Re-armed by every frame: a running timer starts its 50 ms anew.
    m_timer.start(kTimerPeriodMs, this);
    RenderFrame(m_frame);
    m_frameClock.FrameDrawn(start, CFrameClock::Clock::now());
    QPainter painter(this);
    painter.drawImage(0, 0, FrameImage(m_frame));
    painter.end();
    emit FramePainted();
    // The pixel under a still cursor changes with the animation.
    UpdateInspection();
}

void COrboView::SetInspectCommand(bool on)
{
    m_bInspectCommand = on;
    UpdateInspection();
}

void COrboView::UpdateInspection()
{
    const bool active = InspectionActive();
    if (active != m_renderer.Inspection()) {
        // The records are drawn with the frame: the next one brings them. Off,
        // their memory is given back and frames cost what they did.
        m_renderer.SetInspection(active);
        if (active)
            update();
    }
    QStringList facts;
    SPixelFacts pixel;
    if (active && m_bMouseInside &&
        m_renderer.Inspect(m_frame, m_cursor.x() - m_frame.Width() / 2, m_frame.Height() / 2 - m_cursor.y(), pixel))
        facts = InspectorLines(pixel);
    if (facts == m_inspected)
        return;
    m_inspected = facts;
    emit InspectionChanged(facts.join(QStringLiteral("  ")));
    if (facts.isEmpty())
        QToolTip::hideText();
    else // beside the cursor, not under it: the pixel stays in sight
        QToolTip::showText(mapToGlobal(m_cursor + QPoint(16, 16)), facts.join(QLatin1Char('\n')), this);
}

void COrboView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift) {
        m_bShiftHeld = true;
        UpdateInspection();
    }
    QWidget::keyPressEvent(event);
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
    m_cursor = event->position().toPoint();
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
    std::string error;
    if (LoadTextureFile(m_strTexturePath, texture, error))
        m_texture = std::make_shared<const CTexture>(std::move(texture));
    else if (m_showMessage)
        m_showMessage(this, QGuiApplication::applicationDisplayName(), QStringLiteral("图片加载失败"));
}

void COrboView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_bDragging = true;
    m_dragFrom = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void COrboView::mouseMoveEvent(QMouseEvent* event)
{
    m_bMouseInside = rect().contains(event->position().toPoint());
    m_cursor = event->position().toPoint();
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
}

// Dragging right turns the front of the torus to the right, dragging down turns
// it down. While the animation plays its ticks draw the turned torus and go on
// from there; while stopped the frame follows the mouse. (Repainting on every
// move while playing would re-arm the timer each time and stall the ticks.)
void COrboView::TurnBy(QPoint delta)
{
    if (delta.isNull())
        return;
    SetUpRenderer(WrapDegrees(m_renderer.AngleX() + delta.y() * kDegreesPerPixel),
                  WrapDegrees(m_renderer.AngleY() + delta.x() * kDegreesPerPixel));
    if (!IsPlaying())
        update();
}

QImage COrboView::Picture()
{
    CPixelSink sink(width(), height());
    RenderFrame(sink);
    return FrameImage(sink).convertToFormat(QImage::Format_RGB32);
}

bool COrboView::SavePicture(const QString& path, QString& error)
{
    CPixelSink sink(width(), height());
    RenderFrame(sink);
    std::string reason;
    if (!SaveFramePng(sink, QFile::encodeName(path).toStdString(), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

void COrboView::OnSavePicture()
{
    if (!m_chooseSavePath)
        return;
    QString folder = m_strSaveFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString path = m_chooseSavePath(this, QStringLiteral("保存图片"),
                                          QDir(folder).filePath(QStringLiteral("圆环.png")),
                                          QStringLiteral("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return;
    m_strSaveFolder = QFileInfo(path).absolutePath();
    QString error;
    if (!SavePicture(path, error) && m_showMessage)
        m_showMessage(this, QGuiApplication::applicationDisplayName(),
                      QStringLiteral("图片保存失败：%1\n%2").arg(QDir::toNativeSeparators(path), error));
}

void COrboView::OnCopyPicture()
{
    QGuiApplication::clipboard()->setImage(Picture());
}
