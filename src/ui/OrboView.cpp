#include "ui/OrboView.h"

#include "imageio/DataPaths.h"
#include "imageio/FrameImage.h"
#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "ui/OrboDoc.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimerEvent>

#include <vector>

COrboView::COrboView(COrboDoc& doc, std::function<bool()> isPlaying, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_isPlaying(std::move(isPlaying)),
      m_showMessage([](QWidget* owner, const QString& title, const QString& text) {
          QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
          box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
          box.exec();
      })
{
    // Every paint covers the whole widget with one finished frame: nothing may
    // clear it first, or the picture would flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    m_renderer.m_strTexturePath = DefaultTexturePath();
}

void COrboView::OnInitialUpdate()
{
    LoadTexture();
    m_renderer.SetupCamera();
}

void COrboView::RenderFrame(CPixelSink& sink)
{
    m_renderer.RenderFrame(sink);
}

void COrboView::paintEvent(QPaintEvent*)
{
    CPixelSink sink(width(), height());
    // Re-armed by every frame: a running timer starts its 50 ms anew.
    m_timer.start(kTimerPeriodMs, this);
    RenderFrame(sink);
    QPainter painter(this);
    painter.drawImage(0, 0, FrameImage(sink));
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
    if (m_isPlaying && m_isPlaying()) {
        // 0, 5, ..., 355, 360, 0: 360 is shown for one frame, so a turn takes 73 ticks.
        if (m_renderer.m_angleX < 360.0)
            m_renderer.m_angleX += kAngleStep;
        else
            m_renderer.m_angleX = 0.0;

        m_renderer.ApplySettings(m_doc);
        update();
    }

    m_renderer.SwitchLights();

    // A newly chosen texture is loaded at once, playing or not. The path is taken
    // over before loading, so a file that fails is not tried again (and its
    // message not shown again) until the user chooses another one.
    if (!m_doc.m_strTexturePath.empty() && m_doc.m_strTexturePath != m_renderer.m_strTexturePath) {
        m_renderer.m_strTexturePath = m_doc.m_strTexturePath;
        std::vector<std::uint8_t>().swap(m_renderer.m_texture.m_texels);
        LoadTexture();
    }
}

void COrboView::LoadTexture()
{
    std::string error;
    if (!LoadTextureFile(m_renderer.m_strTexturePath, m_renderer.m_texture, error) && m_showMessage)
        m_showMessage(this, QGuiApplication::applicationDisplayName(), QStringLiteral("图片加载失败"));
}
