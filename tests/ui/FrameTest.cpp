#include "UiTestSupport.h"

#include "ui/AboutBox.h"
#include "ui/LeftPortion.h"
#include "ui/MainFrame.h"
#include "ui/OrboApp.h"
#include "ui/OrboDoc.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

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
    EXPECT_EQ(animation->statusTip(), QStringLiteral("播放动画"));

    animation->trigger(); // the menu item
    EXPECT_FALSE(frame.IsPlaying());
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
    {
        COrboApp app;
        ASSERT_TRUE(app.InitInstance());
        CMainFrame* frame = app.MainFrame();
        EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quellim"));
        EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Orbo"));
        EXPECT_TRUE(frame->IsPlaying());
        EXPECT_TRUE(frame->LeftPortion()->Button(IDC_WIREFRAME)->isChecked());
        EXPECT_EQ(FirstTexel(*frame->View()), QColor(10, 120, 230));
        EXPECT_GT(frame->View()->Renderer().m_camera.m_eye.z, 999.0);

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
    QDir::setCurrent(before);
}

TEST(AboutBoxTest, CaptionPictureAndButton)
{
    CAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("关于 Orbo"));
    EXPECT_EQ(box.Picture()->pixmap().size(), QSize(300, 225));
    EXPECT_EQ(box.OkButton()->text(), QStringLiteral("确定"));
}

} // namespace
