// The stepper: the window watches a frame being drawn.

#include "UiTestSupport.h"

#include "ui/MainFrame.h"
#include "ui/OrboDoc.h"
#include "ui/Stepper.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QtTest/QTest>

namespace {

struct SSteppingWindow
{
    SSteppingWindow() : frame(doc)
    {
        doc.m_nMode = kModeSurface;
        doc.m_nShading = kShadingPhong;
        frame.View()->SetMessageHook(messages.Hook());
        frame.InitialUpdate();
        frame.show();
        frame.View()->resize(520, 600);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.View()->repaint();
    }
    COrboView& View() { return *frame.View(); }
    QImage Shown() { return View().grab().toImage(); }
    // The key, pressed in the view.
    void Press(Qt::Key key)
    {
        QTest::keyClick(&View(), key);
        View().repaint();
    }
    SMessageLog messages;
    COrboDoc doc;
    CMainFrame frame;
};

bool Black(const CPixelSink& frame)
{
    for (std::uint32_t p : frame.Pixels())
        if ((p & 0xFFFFFFu) != 0)
            return false;
    return true;
}

// Opening stops the animation at a black frame; the keys in the view step and
// jump, End shows the whole frame, and the status line names the facet. A
// changed torus is drawn at once, N kept; closing shows whole frames again and
// leaves the animation stopped.
TEST(StepperTest, StepsThroughTheFrameAndGivesItBack)
{
    SSteppingWindow w;
    EXPECT_TRUE(w.frame.IsPlaying());
    ASSERT_TRUE(w.frame.menuBar()->actions().value(1)->menu()->actions().contains(w.frame.StepperAction()));
    w.frame.StepperAction()->trigger();
    CStepper* stepper = w.frame.Stepper();
    ASSERT_NE(stepper, nullptr);
    EXPECT_FALSE(w.frame.IsPlaying());
    EXPECT_TRUE(stepper->isVisible());
    w.View().repaint();
    EXPECT_EQ(stepper->Facet(), 0);
    EXPECT_TRUE(Black(w.View().Frame()));
    const int count = stepper->Count();
    ASSERT_GT(count, 100);
    EXPECT_EQ(w.frame.StepperPane()->text(), QStringLiteral("面片 0 / %1").arg(count));

    w.Press(Qt::Key_Right);
    w.Press(Qt::Key_Right);
    w.Press(Qt::Key_Left);
    EXPECT_EQ(stepper->Facet(), 1);
    const SDrawnFacet& first = w.View().Renderer().DrawnFacet(0);
    EXPECT_EQ(w.frame.StepperPane()->text(),
              QStringLiteral("面片 1 / %1 · i = %2, j = %3").arg(count).arg(first.i).arg(first.j));
    EXPECT_FALSE(Black(w.View().Frame()));

    w.Press(Qt::Key_End);
    EXPECT_EQ(stepper->Facet(), count);
    const QImage whole = w.View().Picture();
    stepper->Stop();
    w.View().repaint();
    EXPECT_EQ(w.View().Picture(), whole) << "all facets: the frame itself";
    stepper->Start();
    w.View().repaint();
    w.Press(Qt::Key_Home);
    EXPECT_EQ(stepper->Facet(), 0);

    // Fewer facets: N stays while it exists, else it becomes the last.
    stepper->SetFacet(60);
    w.doc.m_nSurfaceSteps = 12;
    QTest::qWait(120);
    w.View().repaint();
    EXPECT_EQ(stepper->Facet(), 60);
    EXPECT_EQ(w.View().Renderer().SurfaceSteps(), 12);
    w.doc.m_nSurfaceSteps = 6;
    w.doc.m_nSectionSteps = 6;
    QTest::qWait(120);
    w.View().repaint();
    EXPECT_EQ(stepper->Facet(), stepper->Count());
    EXPECT_LT(stepper->Count(), 60);

    stepper->close();
    EXPECT_FALSE(w.frame.StepperAction()->isChecked());
    EXPECT_FALSE(w.frame.StepperPane()->isVisibleTo(&w.frame));
    EXPECT_FALSE(w.frame.IsPlaying());
    EXPECT_EQ(w.View().Renderer().FacetLimit(), CTorusRenderer::kAllFacets);
    QTest::keyClick(&w.View(), Qt::Key_Home);
    EXPECT_EQ(w.View().Renderer().FacetLimit(), CTorusRenderer::kAllFacets) << "keys are the stepper's only while open";
}

// Scanline by scanline through one facet: the rows so far are drawn, the
// window's edge table is the one the fill's walk held on the row, and the marks
// lie over the picture, not in the frame.
TEST(StepperTest, ScanlinesShowTheWalksEdgeTable)
{
    SSteppingWindow w;
    w.frame.StepperAction()->setChecked(true);
    CStepper& stepper = *w.frame.Stepper();
    w.View().repaint();
    stepper.SetFacet(40);
    w.View().repaint();
    w.Press(Qt::Key_Up);
    EXPECT_EQ(stepper.Facet(), 41) << "the next facet, from its first row";
    w.Press(Qt::Key_Up);
    w.Press(Qt::Key_Up);
    const int row = stepper.Row();
    ASSERT_NE(row, CTorusRenderer::kAllRows);
    const SScanlineProbe& probe = stepper.Probe();
    ASSERT_TRUE(probe.m_bReached);
    EXPECT_EQ(probe.m_nY, row);
    EXPECT_EQ(w.View().Renderer().RowLimit(), row);

    QTableWidget* edgeTable = nullptr;
    for (QTableWidget* table : stepper.findChildren<QTableWidget*>())
        if (table->accessibleName() == QStringLiteral("活动边表"))
            edgeTable = table;
    ASSERT_NE(edgeTable, nullptr);
    ASSERT_EQ(edgeTable->rowCount(), static_cast<int>(probe.m_edges.size()));
    for (int k = 0; k < edgeTable->rowCount(); ++k) {
        const SScanlineProbe::SEdge& e = probe.m_edges[static_cast<std::size_t>(k)];
        EXPECT_EQ(edgeTable->item(k, 1)->text(), QString::number(e.x, 'f', 4));
        EXPECT_EQ(edgeTable->item(k, 2)->text(), QString::number(e.dx, 'f', 4));
        EXPECT_EQ(edgeTable->item(k, 3)->text(), QString::number(e.yMax - 1));
    }
    EXPECT_TRUE(w.frame.StepperPane()->text().endsWith(QStringLiteral(" · 扫描线 y = %1").arg(row)));

    // The marks are drawn over the picture only.
    const QImage shown = w.Shown();
    const CPixelSink& frame = w.View().Frame();
    int marked = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const std::uint32_t c = frame.DevicePixel(x, y);
            marked += shown.pixel(x, y) != qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        }
    EXPECT_GT(marked, 20);
    for (std::uint32_t p : frame.Pixels()) {
        const QColor c(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF);
        ASSERT_NE(c, CStepper::kOutline) << "an outline in the frame";
        ASSERT_NE(c, CStepper::kFailed) << "a mark in the frame";
    }

    // Back down past the first row: the facets before it, whole.
    for (int k = 0; k < 3; ++k)
        w.Press(Qt::Key_Down);
    EXPECT_EQ(stepper.Facet(), 40);
    EXPECT_EQ(stepper.Row(), CTorusRenderer::kAllRows);
}

} // namespace
