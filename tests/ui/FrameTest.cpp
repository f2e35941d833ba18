#include "UiTestSupport.h"

#include "ui/AboutBox.h"
#include "ui/LeftPortion.h"
#include "ui/MainFrame.h"
#include "ui/OrboApp.h"
#include "ui/OrboDoc.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest/QTest>

namespace {

TEST(MainFrameTest, PlayCommandFlipsFlagTextAndCheck)
{
    COrboDoc doc;
    CMainFrame frame(doc);
    QAction* animation = frame.AnimationAction();
    auto* button = qobject_cast<QToolButton*>(frame.ToolBar()->widgetForAction(animation));
    ASSERT_NE(button, nullptr);

    EXPECT_TRUE(frame.IsPlaying());
    EXPECT_TRUE(animation->isChecked());
    EXPECT_EQ(animation->text(), QStringLiteral("停止"));
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(animation->toolTip(), QStringLiteral("动画"));
    EXPECT_EQ(animation->statusTip(), QStringLiteral("停止动画")) << "says what choosing it does";

    animation->trigger(); // the menu item
    EXPECT_FALSE(frame.IsPlaying());
    EXPECT_EQ(animation->statusTip(), QStringLiteral("播放动画"));
    EXPECT_FALSE(animation->isChecked());
    EXPECT_EQ(animation->text(), QStringLiteral("播放"));
    EXPECT_FALSE(button->isChecked());

    button->click(); // the toolbar button sends the same command
    EXPECT_TRUE(frame.IsPlaying());
    EXPECT_TRUE(animation->isChecked());
    EXPECT_EQ(animation->text(), QStringLiteral("停止"));
    EXPECT_EQ(animation->toolTip(), QStringLiteral("动画"));
}

TEST(MainFrameTest, PanesStartAt260And520By600)
{
    COrboDoc doc;
    CMainFrame frame(doc);
    // First opened at its natural size: panel 260 and view 520 wide, 600 high;
    // a larger window widens only the view.
    frame.show();
    EXPECT_EQ(frame.LeftPortion()->size(), QSize(260, 600));
    EXPECT_EQ(frame.View()->size(), QSize(520, 600));
    frame.resize(frame.width() + 300, frame.height() + 100);
    EXPECT_EQ(frame.LeftPortion()->width(), 260);
    EXPECT_EQ(frame.View()->width(), 820);
    EXPECT_EQ(frame.View()->height(), 700);

    // The splitter bar moves.
    frame.Splitter()->setSizes({320, 760});
    EXPECT_EQ(frame.LeftPortion()->width(), 320);
    frame.close();
}

// The program as started: title, maximised window, the panes' initial updates.
// Run in a folder with its own ./Data/texture1.bmp, as the program is run.
TEST(ApplicationTest, StartsMaximisedAsQuellimWithPanesSetUp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Data")));
    WriteBmp(dir.filePath(QStringLiteral("Data")), QStringLiteral("texture1.bmp"), QSize(80, 32),
             QColor(10, 120, 230));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    // Whatever the system's locale, Qt's own dialogs speak Chinese.
    const QLocale systemLocale;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    {
        COrboApp app;
        ASSERT_TRUE(app.InitInstance());
        QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text(), QStringLiteral("打开"));

        CMainFrame* frame = app.MainFrame();
        EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quellim"));
        EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Orbo"));
        EXPECT_TRUE(frame->IsPlaying());
        EXPECT_TRUE(frame->LeftPortion()->Button(IDC_WIREFRAME)->isChecked());
        EXPECT_EQ(FirstTexel(*frame->View()), QColor(10, 120, 230));
        EXPECT_GT(frame->View()->Renderer().Camera().m_eye.z, 999.0);

        // The About command shows the box modally and returns once it is closed.
        QString aboutTitle;
        QTimer::singleShot(0, [&aboutTitle] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                aboutTitle = modal->windowTitle();
                modal->close();
            }
        });
        frame->AboutAction()->trigger();
        EXPECT_EQ(aboutTitle, QStringLiteral("关于 Orbo"));
        frame->close();
    }
    QLocale::setDefault(systemLocale);
    QDir::setCurrent(before);
}

// A main window set up, shown and active, with the keyboard; its view's messages
// are logged, since the default texture may be missing here.
struct SActiveFrame
{
    COrboDoc doc;
    CMainFrame frame{doc};
    SMessageLog messages;

    bool Activate()
    {
        frame.View()->SetMessageHook(messages.Hook());
        frame.InitialUpdate();
        frame.show();
        frame.activateWindow();
        return QTest::qWaitForWindowActive(&frame);
    }
};

// F6 and Shift+F6 take the keyboard focus from pane to pane, back to the
// control that last had it.
TEST(MainFrameTest, F6MovesTheFocusBetweenThePanes)
{
    SActiveFrame w;
    ASSERT_TRUE(w.Activate());
    CMainFrame& frame = w.frame;
    QWidget* radius = frame.LeftPortion()->Slider(IDC_SECTION_RADIUS);
    radius->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), radius);

    QTest::keyClick(&frame, Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), frame.View());
    QTest::keyClick(&frame, Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), radius);
    QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), frame.View());
    QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), radius);

    // With the focus nowhere in the panes, F6 starts at the panel's first control.
    frame.setFocus();
    frame.LeftPortion()->widget()->focusWidget()->clearFocus();
    frame.OnNextPane();
    EXPECT_EQ(QApplication::focusWidget(), frame.LeftPortion()->Slider(IDC_RING_RADIUS));
    frame.close();
}

// Tab and Shift+Tab enter each radio group on its checked button, wherever it
// stands in the group.
TEST(MainFrameTest, TabEntersARadioGroupOnItsCheckedButton)
{
    SActiveFrame w;
    ASSERT_TRUE(w.Activate());
    CLeftPortion& panel = *w.frame.LeftPortion();
    panel.Button(IDC_SURFACE)->click();
    panel.Button(IDC_PHONG)->click();
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        panel.Slider(IDC_RING_RADIUS)->setFocus();
        int radios = 0;
        for (int k = 0; k < 12; ++k) {
            QWidget* focus = QApplication::focusWidget();
            if (auto* radio = qobject_cast<QRadioButton*>(focus)) {
                EXPECT_TRUE(radio->isChecked()) << radio->text().toStdString();
                ++radios;
            }
            QTest::keyClick(focus, key);
        }
        EXPECT_GE(radios, 3) << "each group once at least";
    }
    w.frame.close();
}

// The file menu saves and copies the picture; the status bar tells what a frame
// costs, a few times a second.
TEST(MainFrameTest, PictureCommandsAndFrameTime)
{
    COrboDoc doc;
    CMainFrame frame(doc);
    QMenu* file = frame.menuBar()->actions().value(0)->menu();
    ASSERT_NE(file, nullptr);
    const QList<QAction*> items = file->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0], frame.SavePictureAction());
    EXPECT_EQ(items[0]->text(), QStringLiteral("保存图片(&S)…"));
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(items[1]->text(), QStringLiteral("复制图片(&C)"));
    EXPECT_EQ(items[1]->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+C")), QKeySequence(QStringLiteral("Ctrl+Ins"))}));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3], frame.ExitAction());

    EXPECT_TRUE(frame.FrameTimePane()->text().isEmpty());
    frame.show();
    QTest::qWait(600);
    static const QRegularExpression format(QStringLiteral("^\\d+\\.\\d ms · \\d+ fps$"));
    EXPECT_TRUE(format.match(frame.FrameTimePane()->text()).hasMatch()) << frame.FrameTimePane()->text().toStdString();
    frame.close();
}

// Everything the mouse does, the keyboard does.
TEST(MainFrameTest, TheKeyboardDoesWhatTheMouseDoes)
{
    SActiveFrame w;
    ASSERT_TRUE(w.Activate());
    CMainFrame& frame = w.frame;
    COrboView& view = *frame.View();
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Name).isEmpty());

    // Tab stops at controls and at the view, never at the panel's scrolling frame.
    frame.LeftPortion()->Slider(IDC_RING_RADIUS)->setFocus();
    QList<QWidget*> stops;
    while (stops.size() < 30 && !stops.contains(QApplication::focusWidget())) {
        stops << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_TRUE(stops.contains(&view));
    EXPECT_FALSE(stops.contains(frame.LeftPortion()));

    // Space plays and stops; a focused button of the panel takes it for itself.
    QAbstractButton* lightOff = frame.LeftPortion()->Button(IDC_LIGHT_OFF);
    lightOff->setFocus();
    QTest::keyClick(lightOff, Qt::Key_Space);
    EXPECT_TRUE(lightOff->isChecked());
    EXPECT_EQ(w.doc.m_nLight, 0);
    EXPECT_TRUE(frame.IsPlaying());
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_FALSE(frame.IsPlaying());

    // The focused view shows a mark along its edges.
    const QImage marked = view.grab().toImage();
    EXPECT_EQ(marked.pixelColor(0, marked.height() / 2), view.palette().color(QPalette::Highlight));

    // The arrow keys turn the torus by 5 degrees about the axes a drag that way
    // does; Home turns it back.
    const struct
    {
        Qt::Key key;
        double angleY, angleX;
    } kTurns[] = {{Qt::Key_Right, 5, 0},    {Qt::Key_Down, 5, 5},  {Qt::Key_Left, 0, 5},
                  {Qt::Key_Left, 355, 5},   {Qt::Key_Up, 355, 0},  {Qt::Key_Up, 355, 355},
                  {Qt::Key_Home, 0, 0}};
    for (const auto& turn : kTurns) {
        QTest::keyClick(&view, turn.key);
        EXPECT_EQ(view.Renderer().AngleY(), turn.angleY) << turn.key;
        EXPECT_EQ(view.Renderer().AngleX(), turn.angleX) << turn.key;
    }

    // With the inspector on, Shift and the arrows move the inspected pixel, from
    // the frame's origin at the first press.
    frame.InspectAction()->setChecked(true);
    view.repaint();
    const QPoint centre(view.Frame().Width() / 2, view.Frame().Height() / 2);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(view.InspectedPixel(), centre);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(view.InspectedPixel(), centre + QPoint(1, -1));
    EXPECT_TRUE(view.InspectedFacts().contains(QStringLiteral("坐标 (1, 1)"))) << view.InspectedFacts().join('|').toStdString();
    EXPECT_EQ(view.Renderer().AngleY(), 0.0);

    // Ctrl+Ins copies, as Ctrl+C does.
    QApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), view.Picture());
    frame.close();
}

TEST(AboutBoxTest, CaptionPictureAndButton)
{
    CAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("关于 Orbo"));
    EXPECT_EQ(box.Picture()->pixmap().size(), QSize(300, 225));
    EXPECT_EQ(box.OkButton()->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.LicenceLabel()->text(), QStringLiteral("许可证：MIT"));
}

} // namespace
