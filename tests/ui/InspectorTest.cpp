// The pixel inspector and the magnifier in the window.

#include "UiTestSupport.h"

#include "render/DepthImage.h"
#include "ui/InspectorPanel.h"
#include "ui/Magnifier.h"
#include "ui/MainFrame.h"
#include "ui/OrboDoc.h"
#include "ui/Stepper.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTableWidget>
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
        view.OnTimer();              // playing: the settings are taken over, the torus turns by 5 degrees
        frame.OnAnimation();         // stopped: the frame stays as it is
        view.TurnBy(QPoint(0, -10)); // and is turned back, unturned
        frame.show();
        view.resize(520, 600);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        view.repaint();
    }
    // After a panel docked or left: the view laid out again at 520 x 600.
    void Settle()
    {
        QCoreApplication::processEvents();
        frame.View()->resize(520, 600);
        frame.View()->repaint();
    }
    SMessageLog messages;
    COrboDoc doc;
    CMainFrame frame;
};

// The mouse moved over the view with no key held (whatever other tests left held).
void MoveMouse(QWidget& view, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::NoButton, keys);
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
    w.Settle();
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
    w.Settle();

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
    EXPECT_EQ(QAccessible::queryAccessibleInterface(magnifier)->text(QAccessible::Name),
              QStringLiteral("放大镜"));

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

void Click(QWidget& view, QPoint at)
{
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, at);
}

// A click holds a pixel; the panel lists its history, which ends in the
// pixel's colour, and keeps it while the mouse goes to the panel; a line of
// the history opens the stepper at that sample's facet and scanline. Device
// pixel (260, 333) is logical (0, -33): two facets reach it, and two samples of
// one span land on column 0.
TEST(InspectorTest, HistoryOfAHeldPixelLeadsIntoTheStepper)
{
    SPhongWindow w;
    COrboView& view = *w.frame.View();
    w.frame.InspectAction()->setChecked(true);
    w.Settle();
    Click(view, QPoint(260, 333));
    view.repaint(); // the frame that gathers the history
    EXPECT_TRUE(view.PixelHeld());
    const std::vector<SHistoryEntry> history = view.History();
    ASSERT_GE(history.size(), 2u);
    const SHistoryEntry* last = nullptr;
    for (const SHistoryEntry& e : history)
        if (e.passed)
            last = &e;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->colour, view.Frame().Pixel(0, -33));
    QTableWidget* table = w.frame.InspectorPanel()->HistoryTable();
    ASSERT_EQ(table->rowCount(), static_cast<int>(history.size()));
    EXPECT_EQ(table->verticalHeaderItem(0)->text(), QStringLiteral("0"));
    EXPECT_EQ(table->item(0, 0)->text(), QString::number(history[0].order));

    MoveMouse(view, QPoint(10, 10)); // on its way to the panel
    view.repaint();
    EXPECT_EQ(view.InspectedPixel(), QPoint(260, 333)) << "held";
    ASSERT_EQ(view.History().size(), history.size());

    const int row = static_cast<int>(history.size()) - 1;
    table->setFocus();
    table->setCurrentCell(row, 0);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_TRUE(w.frame.StepperAction()->isChecked());
    CStepper& stepper = *w.frame.Stepper();
    EXPECT_EQ(stepper.Facet(), history.back().order + 1);
    EXPECT_EQ(stepper.Row(), -33);
    view.repaint();
    // The partial frame's history: up to that very sample.
    EXPECT_EQ(view.History().size(), history.size());

    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.PixelHeld());
}

// The depth view presents the depth buffer, as the depth picture paints it,
// and saving and copying take what it shows; lines have none to show.
TEST(InspectorTest, DepthViewShowsTheDepthBuffer)
{
    SPhongWindow w;
    COrboView& view = *w.frame.View();
    ASSERT_TRUE(w.frame.menuBar()->actions().value(1)->menu()->actions().contains(w.frame.DepthAction()));
    w.frame.DepthAction()->setChecked(true);
    view.repaint();
    ASSERT_TRUE(view.ShowsDepths());
    CDepthImage depths;
    ASSERT_TRUE(depths.Take(view.Renderer(), view.Frame()));
    CPixelSink expected(0, 0);
    depths.Paint(expected);
    EXPECT_TRUE(view.Presented().Pixels() == expected.Pixels());
    EXPECT_TRUE(view.ShownFrame().Pixels() == expected.Pixels()) << "saved as shown";
    EXPECT_NE(view.Presented().Pixel(0, 0), view.Frame().Pixel(0, 0));
    EXPECT_EQ(view.Presented().Pixel(250, 290), CDepthImage::kUndrawnColour);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&view)
                    ->text(QAccessible::Description)
                    .contains(QStringLiteral("深度")));

    // The inspector tells the depth the grey stands for.
    w.frame.InspectAction()->setChecked(true);
    w.Settle();
    MoveMouse(view, QPoint(280, 290));
    view.repaint();
    EXPECT_FALSE(view.InspectedFacts().filter(QStringLiteral("深度 304.")).isEmpty());

    CRenderSettings lines = view.Settings();
    lines.m_nMode = kModeWireframe;
    view.TakeOverSettings(lines);
    view.repaint();
    EXPECT_FALSE(view.ShowsDepths());
    EXPECT_TRUE(view.Presented().Pixels() == view.Frame().Pixels());
    w.frame.DepthAction()->setChecked(false);
    EXPECT_FALSE(view.DepthView());
}

} // namespace
