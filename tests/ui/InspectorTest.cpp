// The pixel inspector and the magnifier in the window.

#include "UiTestSupport.h"

#include "ui/Magnifier.h"
#include "ui/MainFrame.h"
#include "ui/OrboDoc.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest/QTest>

namespace {

// A stopped window showing the lit Phong torus, unturned, its frame painted.
struct SPhongWindow
{
    SPhongWindow() : frame(doc)
    {
        doc.m_nMode = kModeSurface;
        doc.m_nShading = kShadingPhong;
        frame.View()->SetMessageHook(messages.Hook()); // no texture needed, no box to wait on
        frame.InitialUpdate();
        COrboView& view = *frame.View();
        view.OnTimer(); // playing: the settings are taken over, the torus turns by 5 degrees
        frame.OnAnimation(); // stopped: the frame stays as it is
        view.TurnBy(QPoint(0, -10)); // and is turned back, unturned
        frame.show();
        view.resize(520, 600);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        view.repaint();
    }
    SMessageLog messages;
    COrboDoc doc;
    CMainFrame frame;
};

// The mouse moved over the view with no key held (whatever other tests left held).
void MoveMouse(QWidget& view, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton, Qt::NoButton, keys);
    QApplication::sendEvent(&view, &move);
}

TEST(InspectorTest, CommandsSitInTheDrawingMenu)
{
    COrboDoc doc;
    CMainFrame frame(doc);
    const QList<QAction*> items = frame.menuBar()->actions().value(1)->menu()->actions();
    EXPECT_TRUE(items.contains(frame.InspectAction()));
    EXPECT_TRUE(items.contains(frame.MagnifierAction()));
    EXPECT_EQ(frame.InspectAction()->text(), QStringLiteral("像素检查(&I)"));
    EXPECT_EQ(frame.MagnifierAction()->text(), QStringLiteral("放大镜(&M)"));
    EXPECT_TRUE(frame.InspectAction()->isCheckable());
    EXPECT_FALSE(frame.InspectPane()->isVisibleTo(&frame));
}

// Device pixel (280, 290) is logical (20, 10): facet (0, 4), on the outer
// equator in front of the eye. The corner shows nothing.
TEST(InspectorTest, CommandShowsTheFactsUnderTheCursorAndOffLetsThemGo)
{
    SPhongWindow w;
    COrboView& view = *w.frame.View();
    w.frame.InspectAction()->setChecked(true);
    EXPECT_TRUE(view.Renderer().Inspection());
    MoveMouse(view, QPoint(280, 290));
    view.repaint(); // the frame that brings the records

    const QStringList facts = view.InspectedFacts();
    EXPECT_TRUE(facts.contains(QStringLiteral("坐标 (20, 10)"))) << facts.join('|').toStdString();
    EXPECT_TRUE(facts.contains(QStringLiteral("面片 i = 0, j = 4"))) << facts.join('|').toStdString();
    EXPECT_FALSE(facts.filter(QStringLiteral("插值法向 (0.0")).isEmpty()) << facts.join('|').toStdString();
    EXPECT_FALSE(facts.filter(QStringLiteral("深度 304.")).isEmpty()) << facts.join('|').toStdString();
    EXPECT_TRUE(w.frame.InspectPane()->isVisibleTo(&w.frame));
    EXPECT_TRUE(w.frame.InspectPane()->text().contains(QStringLiteral("面片 i = 0, j = 4")));

    MoveMouse(view, QPoint(10, 10));
    EXPECT_TRUE(view.InspectedFacts().contains(QStringLiteral("深度 背景")));
    EXPECT_TRUE(view.InspectedFacts().contains(QStringLiteral("颜色 0, 0, 0")));

    w.frame.InspectAction()->setChecked(false);
    EXPECT_FALSE(view.Renderer().Inspection());
    EXPECT_TRUE(view.InspectedFacts().isEmpty());
    EXPECT_FALSE(w.frame.InspectPane()->isVisibleTo(&w.frame));

    // Shift held over the view shows the facts without the command, until it is let go.
    MoveMouse(view, QPoint(280, 290), Qt::ShiftModifier);
    EXPECT_TRUE(view.Renderer().Inspection());
    view.repaint();
    EXPECT_TRUE(view.InspectedFacts().contains(QStringLiteral("面片 i = 0, j = 4")));
    MoveMouse(view, QPoint(280, 290));
    EXPECT_FALSE(view.Renderer().Inspection());
    EXPECT_TRUE(view.InspectedFacts().isEmpty());
}

// Every square of the magnifier shows the colour of its pixel of the view's
// frame, at any zoom, and the frame is not drawn again for it.
TEST(InspectorTest, MagnifierShowsTheFramesPixelsEnlarged)
{
    SPhongWindow w;
    const CPixelSink& frame = w.frame.View()->Frame();
    w.frame.MagnifierAction()->setChecked(true);
    CMagnifier* magnifier = w.frame.Magnifier();
    ASSERT_NE(magnifier, nullptr);
    EXPECT_TRUE(magnifier->isVisible());
    EXPECT_EQ(magnifier->Zoom(), 8);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(magnifier)->text(QAccessible::Name), QStringLiteral("放大镜"));

    QSignalSpy painted(w.frame.View(), &COrboView::FramePainted);
    ASSERT_EQ(frame.Width(), 520);
    ASSERT_EQ(frame.Height(), 600);
    const QPoint centre(280, 290 - 70); // the torus's upper edge: colours and background
    magnifier->ShowAround(centre);
    for (int zoom : {8, 4, 16, 5}) {
        SCOPED_TRACE(zoom);
        magnifier->SetZoom(zoom);
        const QImage shown = magnifier->grab().toImage();
        const QPoint square = CMagnifier::CentreSquare(zoom, shown.size());
        int compared = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const QPoint middle = square + QPoint(dx * zoom + zoom / 2, dy * zoom + zoom / 2);
                if (!shown.rect().contains(middle))
                    continue;
                const std::uint32_t c = frame.DevicePixel(centre.x() + dx, centre.y() + dy);
                EXPECT_EQ(shown.pixel(middle), qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF))
                    << dx << "," << dy;
                ++compared;
            }
        EXPECT_GE(compared, 25);
    }
    EXPECT_EQ(painted.count(), 0) << "the magnifier drew a frame";

    // Outside the frame: dark grey, not a pixel of some other row.
    const QImage corner = CMagnifier::Magnified(frame, QPoint(0, 0), 8, QSize(64, 64));
    const QPoint square = CMagnifier::CentreSquare(8, corner.size());
    EXPECT_EQ(corner.pixel(square - QPoint(4, 4)), qRgb(0x30, 0x30, 0x30));
    EXPECT_EQ(corner.pixel(square + QPoint(4, 4)), corner.pixel(square + QPoint(1, 1)));

    // The wheel: a notch a step, within 4 to 16; closing clears the check mark.
    magnifier->SetZoom(8);
    for (int notch = 0; notch < 12; ++notch) {
        QWheelEvent wheel(QPointF(10, 10), magnifier->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(magnifier, &wheel);
    }
    EXPECT_EQ(magnifier->Zoom(), 16);
    EXPECT_EQ(magnifier->windowTitle(), QStringLiteral("放大镜 16×"));
    magnifier->SetZoom(1);
    EXPECT_EQ(magnifier->Zoom(), 4);

    // While it is open, the wheel over the view and the + and - keys zoom it.
    COrboView& view = *w.frame.View();
    auto wheelOverView = [&view](int delta) {
        QWheelEvent wheel(QPointF(280, 290), view.mapToGlobal(QPointF(280, 290)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
    };
    wheelOverView(240);
    EXPECT_EQ(magnifier->Zoom(), 6);
    QTest::keyClick(&view, Qt::Key_Plus);
    QTest::keyClick(magnifier, Qt::Key_Plus);
    EXPECT_EQ(magnifier->Zoom(), 8);
    QTest::keyClick(&view, Qt::Key_Minus);
    EXPECT_EQ(magnifier->Zoom(), 7);
    magnifier->close();
    EXPECT_FALSE(w.frame.MagnifierAction()->isChecked());
    wheelOverView(120);
    EXPECT_EQ(magnifier->Zoom(), 7);
}

} // namespace
