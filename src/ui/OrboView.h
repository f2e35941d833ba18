#pragma once

#include "raster/PixelSink.h"
#include "render/Animation.h"
#include "render/DepthImage.h"
#include "render/PixelHistory.h"
#include "render/TorusRenderer.h"
#include "ui/FrameClock.h"

#include <QBasicTimer>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class COrboDoc;
class QPainter;

// The rendering view: owns the render state, draws one whole frame per paint and
// runs the animation clock. Every frame re-arms a 50 ms timer; each tick advances
// the torus and takes over the document's settings while the animation plays,
// and loads a newly chosen texture whether it plays or not.
// Dragging with the left button, or the arrow keys, turn the torus; the frame
// on screen can be saved as a PNG file or copied to the clipboard. While Shift
// is held over the view, or while the inspector command is on, the facts of the
// pixel under the cursor (or of the one chosen with Shift and the arrow keys)
// are shown in a tooltip and announced for the status bar; while the command
// is on, a click holds a pixel, and the pixel's history is gathered with every
// frame. The depth view shows the frame's depth buffer instead of its colours.
// Frames are drawn at the screen's device pixels: one image pixel per device
// pixel on any scale.
class COrboView : public QWidget
{
    Q_OBJECT

public:
    // Shows a modal message; the default is a warning box with one OK button.
    using MessageHook = std::function<void(QWidget* parent, const QString& title, const QString& text)>;

    // Asks for the name of a file to save; returns its full path, or an empty
    // string on cancel.
    using SaveDialogHook = std::function<QString(QWidget* parent, const QString& caption,
                                                 const QString& suggestedPath, const QString& filter)>;

    // readPlayFlag reports the main frame's play flag; it is asked on every tick.
    COrboView(COrboDoc& doc, std::function<bool()> readPlayFlag, QWidget* parent = nullptr);

    // The texture file OnInitialUpdate loads: the default texture unless another
    // is named before.
    void SetStartTexture(const std::string& path) { m_strTexturePath = path; }
    // The texture file the view has taken over last (loaded or not).
    const std::string& TexturePath() const { return m_strTexturePath; }

    // Loads the start texture, once, before the first frame.
    void OnInitialUpdate();

    void OnTimer();

    // Renders the current frame into sink: the drawing that every paint presents.
    void RenderFrame(CPixelSink& sink);

    bool IsTimerArmed() const { return m_timer.isActive(); }

    CTorusRenderer& Renderer() { return m_renderer; }
    const CTorusRenderer& Renderer() const { return m_renderer; }
    // The settings the renderer has taken over last.
    const CRenderSettings& Settings() const { return m_settings; }
    // Takes settings over outside the animation's tick, at the angles shown: the
    // stepper rebuilds its frame with the panel's choices while stopped.
    void TakeOverSettings(const CRenderSettings& settings);

    void SetMessageHook(MessageHook hook) { m_showMessage = std::move(hook); }
    // Shows text in a modal message of the window (through the message hook).
    void ShowMessage(const QString& text);
    void SetSaveDialogHook(SaveDialogHook hook) { m_chooseSavePath = std::move(hook); }

    // Turns the torus as a drag by delta pixels does: horizontal movement about
    // y, vertical about x, kDegreesPerPixel a pixel; both angles are kept in
    // 0..360, the range the animation runs through.
    void TurnBy(QPoint delta);
    // The same by whole degrees: about y, then about x.
    void TurnByDegrees(double aboutY, double aboutX);

    // The view's size in device pixels: the size of its frames.
    QSize DeviceSize() const;
    // The device pixel under a point of the view (in its own coordinates).
    QPoint DevicePixelAt(QPointF point) const;

    // The picture on screen: the last one painted while it has the view's size,
    // else (never painted, or resized since) the one a paint would draw now. In
    // the depth view, the picture of the frame's depth buffer.
    CPixelSink ShownFrame();
    // The same as an image, in device pixels.
    QImage Picture();

    // The "保存图片…" command: takes the frame on screen, asks for a file name and
    // writes that frame there as PNG (whatever the animation has drawn since);
    // a failure is reported in a message box.
    void OnSavePicture();
    // Writes frame as PNG to path, replacing a file there only once the new one
    // is complete. Returns false with the reason in error.
    bool SavePicture(const CPixelSink& frame, const QString& path, QString& error);
    // The "复制图片" command: puts the frame on screen on the clipboard.
    void OnCopyPicture();

    // Drawn over every picture the view presents, never into it: a tool's marks,
    // with the painter in the frame's pixels (device pixels, top row 0), whatever
    // it paints on: the view, or the magnifier's copy. Null for none.
    using Overlay = std::function<void(QPainter& painter, const CPixelSink& frame)>;
    void SetOverlay(Overlay overlay)
    {
        m_overlay = std::move(overlay);
        update();
    }
    // The picture presented last (see Presented) with the overlay painted over
    // it, one image pixel a frame pixel: what the magnifier enlarges.
    QImage OverlaidPicture() const;

    // The "深度缓冲" command: the view presents the depth buffer of each frame
    // (whole or partial) as grey, nearer brighter, instead of its colours; lines
    // have none, and the view says so over the wireframe.
    void SetDepthView(bool on);
    bool DepthView() const { return m_bDepthView; }
    // The depths of the frame presented last, while the depth view shows them.
    const CDepthImage& Depths() const { return m_depths; }
    bool ShowsDepths() const { return m_bDepthShown; }

    // What the arrow keys, Home and End do in the view now, in words: the view's
    // description for screen readers. A tool that takes the keys over sets its
    // own; empty gives the view's own back.
    void SetKeysDescription(const QString& text);

    // While texture mode has no texels: says so, with the file that failed to
    // load and why, for the status bar. Empty otherwise.
    QString MissingTextureText() const;
    // Why the last frame could not be drawn (the one before stays shown), for
    // the status bar; empty once a frame is drawn.
    const QString& RenderFailureText() const { return m_strRenderFailure; }

    // The image of the last frame painted, its colours.
    const CPixelSink& Frame() const { return m_frame; }
    // The picture presented last: the frame's colours, or in the depth view the
    // picture of its depth buffer.
    const CPixelSink& Presented() const { return m_bDepthShown ? m_depthPicture : m_frame; }

    // The "像素检查" command: the inspector stays on without Shift.
    void SetInspectCommand(bool on);
    // The inspector shows now: by the command or by Shift held over the view.
    bool InspectionActive() const { return m_bInspectCommand || (m_bShiftHeld && m_bMouseInside); }
    // The facts shown for the pixel under the cursor; empty while the inspector is off.
    const QStringList& InspectedFacts() const { return m_inspected; }
    // The device pixel inspected: under the mouse, or moved there by Shift and
    // an arrow key; KeyboardChosePixel() tells which.
    QPoint InspectedPixel() const { return m_cursor; }
    bool KeyboardChosePixel() const { return m_bKeyPixel; }
    // The inspected pixel is held: chosen with the keyboard or by a click while
    // the command is on. The mouse no longer moves it until Esc lets it go.
    bool PixelHeld() const { return m_bKeyPixel; }
    // The inspected pixel, logical (origin at the centre, y up), while the
    // inspector shows one.
    bool InspectedLogicalPixel(int& x, int& y) const;
    // The history of the inspected pixel in the frame presented, in drawing
    // order, while the command is on (empty otherwise or until a frame brings it).
    const std::vector<SHistoryEntry>& History() const { return m_history; }

    // Render time and frame rate of the frames painted lately.
    const CFrameClock& FrameClock() const { return m_frameClock; }

    // The size of the pane when the window first opens.
    QSize sizeHint() const override { return QSize(ViewSize::kWidth, ViewSize::kHeight); }

    static constexpr int kTimerPeriodMs = 50;
    static constexpr double kDegreesPerPixel = 0.5;
    // An arrow key turns the torus by the animation's step.
    static constexpr double kDegreesPerKey = kAnimationStep;

signals:
    // A frame has been painted into Frame().
    void FramePainted();
    // The inspector's facts changed: one line, empty when there is nothing to show.
    void InspectionChanged(const QString& facts);
    // The inspected pixel's history changed (see History).
    void HistoryChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void LoadTexture();
    // Hands the renderer the taken-over settings, the angles and the texture.
    void SetUpRenderer(double angleX, double angleY);
    // Records while the inspector shows, and shows the facts at the cursor.
    void UpdateInspection();
    // Whether frames must be drawn with records: for the inspector, the history
    // or the depth view.
    bool NeedsRecords() const { return InspectionActive() || m_bDepthView; }
    // The history of the inspected pixel: asked of the renderer for the next
    // frame where the pixel changed, taken from the last frame otherwise.
    void UpdateHistory(bool inspecting, int x, int y);
    // The depth view's legend (or why there is no depth to show), over the picture.
    void PaintDepthLegend(QPainter& painter) const;
    void UpdateDescription();
    // Shift and an arrow key: the inspected pixel one device pixel on. Returns
    // false while the inspector is off.
    bool MoveInspectedPixel(QPoint step);

    bool IsPlaying() const { return m_readPlayFlag && m_readPlayFlag(); }

    COrboDoc& m_doc;
    std::function<bool()> m_readPlayFlag;
    CTorusRenderer m_renderer;
    CRenderSettings m_settings;                // taken over from the document while playing
    std::string m_strTexturePath;              // the texture file taken over last
    std::shared_ptr<const CTexture> m_texture; // its texels; null while none loaded
    QBasicTimer m_timer;
    MessageHook m_showMessage;
    SaveDialogHook m_chooseSavePath;
    CFrameClock m_frameClock;
    CPixelSink m_frame{0, 0}; // the image of the last frame painted
    CPixelSink m_spare{0, 0}; // the image the next frame is drawn into
    QString m_strRenderFailure;
    bool m_bDragging = false;
    QPoint m_dragFrom;           // where the mouse was at the last step of the drag
    QString m_strSaveFolder;     // where the last picture was saved
    QString m_strTextureFailure; // why the texture last failed to load, empty after a success
    bool m_bInspectCommand = false;
    bool m_bShiftHeld = false;
    bool m_bMouseInside = false;
    bool m_bKeyPixel = false; // the inspected pixel was chosen with the keyboard
    QPoint m_cursor;          // the inspected pixel: the mouse's, or the keyboard's; device pixels
    QStringList m_inspected;
    bool m_bFactsHeld = false; // m_inspected is of a held pixel
    std::vector<SHistoryEntry> m_history;
    Overlay m_overlay;
    bool m_bDepthView = false;
    bool m_bDepthShown = false; // the picture presented last is m_depthPicture
    CDepthImage m_depths;
    CPixelSink m_depthPicture{0, 0};
    QPoint m_pressAt;      // where the left button went down, to tell a click from a drag
    QString m_strKeysText; // a tool's description of the keys, or empty
};
