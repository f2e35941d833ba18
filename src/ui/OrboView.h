#pragma once

#include "render/TorusRenderer.h"

#include <QBasicTimer>
#include <QString>
#include <QWidget>

#include <functional>

class COrboDoc;
class CPixelSink;

// The rendering view: owns the render state, draws one whole frame per paint and
// runs the animation clock. Every frame re-arms a 50 ms timer; each tick advances
// the torus and takes over the document's settings while the animation plays,
// and follows the light switch and the chosen texture whether it plays or not.
class COrboView : public QWidget
{
    Q_OBJECT

public:
    // Shows a modal message; the default is a warning box with one OK button.
    using MessageHook = std::function<void(QWidget* parent, const QString& title, const QString& text)>;

    // isPlaying reports the main frame's play flag; it is asked on every tick.
    COrboView(COrboDoc& doc, std::function<bool()> isPlaying, QWidget* parent = nullptr);

    // Loads the default texture and fixes the camera, once, before the first frame.
    void OnInitialUpdate();

    // One tick of the animation clock.
    void OnTimer();

    // Renders the current frame into sink: the drawing that every paint presents.
    void RenderFrame(CPixelSink& sink);

    bool IsTimerArmed() const { return m_timer.isActive(); }

    CTorusRenderer& Renderer() { return m_renderer; }
    const CTorusRenderer& Renderer() const { return m_renderer; }

    void SetMessageHook(MessageHook hook) { m_showMessage = std::move(hook); }

    // The size of the pane when the window first opens.
    QSize sizeHint() const override { return QSize(520, 600); }

    static constexpr int kTimerPeriodMs = 50;
    static constexpr double kAngleStep = 5.0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void LoadTexture();

    COrboDoc& m_doc;
    std::function<bool()> m_isPlaying;
    CTorusRenderer m_renderer;
    QBasicTimer m_timer;
    MessageHook m_showMessage;
};
