// The stepper: the window watches a frame being drawn.

#include "UiTestSupport.h"

#include "ui/Magnifier.h"
#include "ui/MainFrame.h"
#include "ui/OrboDoc.h"
#include "ui/Stepper.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest/QTest>

#include <map>
#include <set>
#include <utility>

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

    w.frame.StepperDock()->close();
    EXPECT_FALSE(w.frame.StepperAction()->isChecked());
    EXPECT_FALSE(w.frame.StepperPane()->isVisibleTo(&w.frame));
    EXPECT_FALSE(w.frame.IsPlaying());
    EXPECT_EQ(w.View().Renderer().FacetLimit(), CTorusRenderer::kAllFacets);
    QTest::keyClick(&w.View(), Qt::Key_Home);
    EXPECT_EQ(w.View().Renderer().FacetLimit(), CTorusRenderer::kAllFacets)
        << "keys are the stepper's only while open";
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
        EXPECT_EQ(edgeTable->verticalHeaderItem(k)->text(), QString::number(k)) << "numbered from 0";
        EXPECT_EQ(edgeTable->item(k, 0)->text(), QString::number(e.x, 'f', 4));
        EXPECT_EQ(edgeTable->item(k, 1)->text(), QString::number(e.dx, 'f', 4));
        EXPECT_EQ(edgeTable->item(k, 2)->text(), QString::number(e.yMax - 1));
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

// A scanline of the unturned Phong torus whose depth tests failed somewhere
// and where two samples took one column: the last facets lie behind the first.
bool FindCrowdedScanline(SSteppingWindow& w, CStepper& stepper)
{
    for (int n = stepper.Count(); n > 0; --n) {
        const SDrawnFacet& facet = w.View().Renderer().DrawnFacet(n - 1);
        int yLow = facet.corners[0].m_position.y, yHigh = yLow;
        for (const CFillVertex& c : facet.corners) {
            yLow = std::min(yLow, c.m_position.y);
            yHigh = std::max(yHigh, c.m_position.y);
        }
        for (int y = yLow; y < yHigh; ++y) {
            stepper.ShowScanline(n, y);
            w.View().repaint();
            const SScanlineProbe& probe = stepper.Probe();
            std::map<int, int> perColumn;
            bool failed = false, shared = false;
            for (const SScanlineProbe::SSample& sample : probe.m_samples) {
                failed = failed || !sample.passed;
                shared = shared || ++perColumn[sample.px] > 1;
            }
            if (failed && shared)
                return true;
        }
    }
    return false;
}

QRgb Colour(const QColor& c)
{
    return c.rgb();
}

// Every sample's mark shows in its own colour: none is covered by another
// mark, in the view (at the screen's scale: this runs at 1 and at 2) and in
// the magnifier; the counts the panel gives are those marks'. The numbers say
// what they mean.
TEST(StepperTest, ScaledScreenShowsEveryMark)
{
    SSteppingWindow w;
    w.frame.OnAnimation(); // stopped at an angle the tests know
    w.View().TurnByDegrees(-w.View().Renderer().AngleY(), -w.View().Renderer().AngleX());
    w.frame.StepperAction()->setChecked(true);
    CStepper& stepper = *w.frame.Stepper();
    w.View().repaint();
    ASSERT_TRUE(FindCrowdedScanline(w, stepper));
    const SScanlineProbe& probe = stepper.Probe();
    const CPixelSink& frame = w.View().Frame();
    const QImage shown = w.Shown();
    ASSERT_EQ(shown.size(), QSize(frame.Width(), frame.Height())) << "one image pixel a device pixel";
    w.frame.MagnifierAction()->setChecked(true);
    CMagnifier& magnifier = *w.frame.Magnifier();
    int passed = 0;
    std::set<std::pair<int, int>> marks;
    for (std::size_t k = 0; k < probe.m_samples.size(); ++k) {
        const QPoint at = stepper.SampleMark(frame, k);
        EXPECT_TRUE(marks.insert({at.x(), at.y()}).second) << "two marks in one place, sample " << k;
    }
    for (std::size_t k = 0; k < probe.m_samples.size(); ++k) {
        const QRgb expected = Colour(probe.m_samples[k].passed ? CStepper::kPassed : CStepper::kFailed);
        passed += probe.m_samples[k].passed ? 1 : 0;
        const QPoint mark = stepper.SampleMark(frame, k);
        EXPECT_EQ(shown.pixel(mark), expected) << "sample " << k;
        EXPECT_EQ(shown.pixel(mark + QPoint(0, 1)), expected) << "sample " << k;
        magnifier.ShowAround(mark);
        const QImage magnified = magnifier.grab().toImage();
        const QPoint square = CMagnifier::CentreSquare(magnifier.Zoom(), magnified.size());
        EXPECT_EQ(magnified.pixel(square + QPoint(magnifier.Zoom() / 2, magnifier.Zoom() / 2)), expected)
            << "sample " << k << " in the magnifier";
    }
    QStringList names;
    for (QLabel* label : stepper.findChildren<QLabel*>())
        names << label->accessibleName();
    const QString all = names.join('|');
    EXPECT_TRUE(
        all.contains(QStringLiteral("通过 %1，未通过 %2").arg(passed).arg(probe.m_samples.size() - passed)))
        << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("-1000"))) << "an empty cell's depth";
    EXPECT_TRUE(all.contains(QStringLiteral("x + 0.5 向零截断"))) << "why a column took two samples";
    EXPECT_TRUE(all.contains(QStringLiteral("324 个面片中有 %1 个朝向视点").arg(stepper.Count())))
        << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("i 是绕圆环轴的第几步，j 是绕截面的第几步")))
        << all.toStdString();
}

// A focused button of the stepper is pressed by Space and by Enter: the
// window's Space (play) does not take it, the stepper stays.
TEST(StepperTest, SpaceAndEnterPressTheFocusedButton)
{
    SSteppingWindow w;
    w.frame.StepperAction()->setChecked(true);
    CStepper& stepper = *w.frame.Stepper();
    w.View().repaint();
    QToolButton* next = nullptr;
    for (QToolButton* button : stepper.findChildren<QToolButton*>())
        if (button->accessibleName() == QStringLiteral("下一个面片"))
            next = button;
    ASSERT_NE(next, nullptr);
    w.frame.activateWindow();
    next->setFocus();
    ASSERT_TRUE(next->hasFocus());
    QTest::keyClick(next, Qt::Key_Space);
    QTest::qWait(20);
    EXPECT_EQ(stepper.Facet(), 1);
    EXPECT_TRUE(w.frame.StepperAction()->isChecked());
    EXPECT_FALSE(w.frame.IsPlaying());
    QTest::keyClick(next, Qt::Key_Return);
    QTest::qWait(300); // the button's pressed look, then its click
    EXPECT_EQ(stepper.Facet(), 2);
    EXPECT_FALSE(w.frame.IsPlaying());
    // Where no control takes it, Space plays: and playing closes the stepper.
    w.View().setFocus();
    QTest::keyClick(&w.View(), Qt::Key_Space);
    EXPECT_TRUE(w.frame.IsPlaying());
    EXPECT_FALSE(w.frame.StepperAction()->isChecked());
}

// As a screen reader meets the stepper: its labels' names carry their live
// text and change with it, the tables' rows are numbered from 0, Tab reaches
// every control (the slider and both tables among them), and the view, the
// stepper and the magnifier have roles of their own; the view's description
// says what its keys do while the stepper has them.
TEST(StepperTest, AScreenReaderReadsTheStepper)
{
    SSteppingWindow w;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&w.View());
    EXPECT_EQ(view->role(), QAccessible::Graphic);
    EXPECT_TRUE(view->text(QAccessible::Description).contains(QStringLiteral("转动圆环")));
    w.frame.StepperAction()->setChecked(true);
    CStepper& stepper = *w.frame.Stepper();
    w.View().repaint();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&stepper)->role(), QAccessible::Pane);
    EXPECT_TRUE(view->text(QAccessible::Description).contains(QStringLiteral("下一条、上一条扫描线")));
    w.frame.MagnifierAction()->setChecked(true);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.frame.Magnifier())->role(), QAccessible::Graphic);

    stepper.ShowScanline(41, w.View().Renderer().DrawnFacet(40).corners[1].m_position.y);
    w.View().repaint();
    // Every name in the stepper's accessible tree.
    QStringList names;
    std::vector<QAccessibleInterface*> stack{QAccessible::queryAccessibleInterface(&stepper)};
    while (!stack.empty()) {
        QAccessibleInterface* node = stack.back();
        stack.pop_back();
        names << node->text(QAccessible::Name);
        for (int c = 0; c < node->childCount(); ++c)
            stack.push_back(node->child(c));
    }
    const QString all = names.join('|');
    EXPECT_TRUE(all.contains(stepper.StatusText())) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("深度测试：通过 "))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("扫描线：扫描线 y = "))) << all.toStdString();
    for (QTableWidget* table : stepper.findChildren<QTableWidget*>()) {
        ASSERT_GT(table->rowCount(), 0) << table->accessibleName().toStdString();
        EXPECT_EQ(table->verticalHeaderItem(0)->text(), QStringLiteral("0"));
        EXPECT_EQ(table->verticalHeaderItem(1)->text(), QStringLiteral("1"));
    }

    // The walk of Tab, from the first control on.
    QSet<QWidget*> stops;
    QWidget* start = stepper.findChildren<QToolButton*>().value(0);
    for (QWidget* at = start->nextInFocusChain(); at != start; at = at->nextInFocusChain())
        if (stepper.isAncestorOf(at) && at->isVisibleTo(&stepper) && at->isEnabled() &&
            (at->focusPolicy() & Qt::TabFocus) && at->focusProxy() == nullptr)
            stops.insert(at);
    stops.insert(start);
    EXPECT_TRUE(stops.contains(stepper.findChild<QSlider*>()));
    EXPECT_TRUE(stops.contains(stepper.findChild<QComboBox*>()));
    EXPECT_TRUE(stops.contains(stepper.findChild<QSpinBox*>()));
    for (QTableWidget* table : stepper.findChildren<QTableWidget*>())
        EXPECT_TRUE(stops.contains(table)) << table->accessibleName().toStdString();
    QStringList found;
    for (QWidget* stop : stops)
        found << QString::fromLatin1(stop->metaObject()->className()) + ":" + stop->accessibleName();
    // Seven buttons, the slider, the step's unit and rate, and the two tables.
    EXPECT_EQ(stops.size(), 12) << found.join('|').toStdString();

    // A change is announced: the heading's name changes with the next step.
    const QString before = stepper.findChildren<QLabel*>().value(0)->accessibleName();
    w.Press(Qt::Key_Right);
    EXPECT_NE(stepper.findChildren<QLabel*>().value(0)->accessibleName(), before);
}

// The stepper docks beside the view at 1366 x 768: it covers no part of the
// picture, and the view keeps a useful width.
TEST(StepperTest, DocksBesideThePicture)
{
    SSteppingWindow w;
    w.frame.resize(1366, 740);
    QCoreApplication::processEvents();
    w.frame.StepperAction()->setChecked(true);
    w.frame.InspectAction()->setChecked(true);
    QCoreApplication::processEvents();
    QDockWidget* dock = w.frame.StepperDock();
    const QRect view(w.View().mapTo(&w.frame, QPoint(0, 0)), w.View().size());
    for (QDockWidget* d : {dock, w.frame.InspectorDock()}) {
        ASSERT_TRUE(d->isVisible());
        const QRect panel(d->mapTo(&w.frame, QPoint(0, 0)), d->size());
        EXPECT_FALSE(view.intersects(panel));
    }
    EXPECT_GE(view.width(), 520);
}

// The corners' table shows what each drawing interpolates between the
// corners; the play button (P in the view) steps on by itself until the frame
// is whole.
TEST(StepperTest, CornersTellWhatIsInterpolatedAndPlayStepsOn)
{
    SSteppingWindow w;
    // The view loads it on its next tick, from whatever folder the tests run in.
    w.doc.m_strTexturePath = ORBO_SOURCE_DIR "/Data/texture1.bmp";
    w.frame.StepperAction()->setChecked(true);
    CStepper& stepper = *w.frame.Stepper();
    QTableWidget* corners = nullptr;
    for (QTableWidget* table : stepper.findChildren<QTableWidget*>())
        if (table->accessibleName() == QStringLiteral("面片的角点"))
            corners = table;
    ASSERT_NE(corners, nullptr);
    const struct
    {
        int mode, light, shading;
        QStringList columns;
    } drawings[] = {
        {kModeWireframe, kLightOn, kShadingGouraud, {"颜色（插值）"}},
        {kModeSurface, kLightOn, kShadingGouraud, {"颜色（插值）"}},
        {kModeSurface, kLightOn, kShadingPhong, {"法向量（插值）"}},
        {kModeTexture, kLightOff, kShadingPhong, {"纹理坐标 u, v（插值）"}},
        {kModeTexture, kLightOn, kShadingPhong, {"法向量（插值）", "纹理坐标 u, v（插值）"}},
    };
    for (const auto& d : drawings) {
        w.doc.m_nMode = d.mode;
        w.doc.m_nLight = d.light;
        w.doc.m_nShading = d.shading;
        QTest::qWait(120); // the stepper follows the panel
        w.View().repaint();
        stepper.SetFacet(5);
        w.View().repaint();
        QStringList headers;
        for (int c = 0; c < corners->columnCount(); ++c)
            headers << corners->horizontalHeaderItem(c)->text();
        EXPECT_EQ(headers, QStringList({"x", "y", "深度"}) + d.columns);
        EXPECT_EQ(corners->rowCount(), 4);
    }

    stepper.SetFacet(stepper.Count() - 2);
    stepper.SetPlayRate(30);
    w.Press(Qt::Key_P);
    EXPECT_TRUE(stepper.Playing());
    for (int k = 0; k < 30 && stepper.Playing(); ++k) {
        QTest::qWait(40);
        w.View().repaint();
    }
    EXPECT_FALSE(stepper.Playing()) << "stops at the whole frame";
    EXPECT_EQ(stepper.Facet(), stepper.Count());
    w.Press(Qt::Key_P);
    EXPECT_TRUE(stepper.Playing()) << "from the start again";
    EXPECT_LT(stepper.Facet(), 3);
    w.Press(Qt::Key_P);
    EXPECT_FALSE(stepper.Playing());
}

} // namespace
