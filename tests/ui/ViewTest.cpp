#include "UiTestSupport.h"

#include "ui/LeftPortion.h"
#include "ui/Magnifier.h"
#include "ui/MainFrame.h"
#include "ui/OrboDoc.h"
#include "ui/OrboView.h"

#include <gtest/gtest.h>

#include "imageio/FrameImage.h"
#include "raster/PixelSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <sys/stat.h>

#include <cmath>
#include <ostream>
#include <string>

namespace {

// A view on its own document, with a play flag the test holds and its messages
// recorded; its default texture is a file that does not exist.
class ViewTest : public ::testing::Test
{
protected:
    ViewTest() : view(doc, [this] { return playing; })
    {
        view.SetMessageHook(messages.Hook());
        view.SetStartTexture("./no such folder/texture1.bmp");
        view.OnInitialUpdate();
    }

    void Tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            view.OnTimer();
    }

    const CTorusRenderer& R() const { return view.Renderer(); }

    bool playing = true;
    COrboDoc doc;
    SMessageLog messages;
    COrboView view;
};

TEST_F(ViewTest, MissingDefaultTextureIsReportedOnceAtStart)
{
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.texts[0], QStringLiteral("图片加载失败\n./no such folder/texture1.bmp：文件或文件夹不存在"
                                                "（No such file or directory）"));
    EXPECT_EQ(messages.titles[0], QStringLiteral("Orbo"));
    EXPECT_FALSE(R().Texture().HasTexels());
    EXPECT_GT(R().Camera().m_eye.z, 999.0);
    Tick(3);
    EXPECT_EQ(messages.texts.size(), 1);
}

TEST_F(ViewTest, AngleRunsFromZeroTo360AndBack)
{
    EXPECT_EQ(R().AngleX(), 0.0);
    Tick();
    EXPECT_EQ(R().AngleX(), 5.0);
    Tick(71);
    EXPECT_EQ(R().AngleX(), 360.0);
    Tick();
    EXPECT_EQ(R().AngleX(), 0.0);
    Tick();
    EXPECT_EQ(R().AngleX(), 5.0);
}

TEST_F(ViewTest, SettingsAreTakenOverOnlyWhilePlaying)
{
    Tick(2);
    playing = false;
    doc.m_nRingRadius = 150;
    doc.m_nSectionRadius = 30;
    doc.m_nSurfaceSteps = 36;
    doc.m_nSectionSteps = 6;
    doc.m_nMode = 2;
    doc.m_nLight = 0;
    doc.m_nShading = 1;
    Tick(5);
    EXPECT_EQ(R().AngleX(), 10.0);
    EXPECT_EQ(R().RingRadius(), 200.0);
    EXPECT_EQ(R().SectionRadius(), 80.0);
    EXPECT_EQ(R().SurfaceSteps(), 18);
    EXPECT_EQ(R().SectionSteps(), 18);
    EXPECT_EQ(R().Mode(), 0);
    EXPECT_EQ(R().Light(), 1);
    EXPECT_EQ(R().Shading(), 0);
    EXPECT_EQ(R().Lighting().m_pLights[0].m_bOn, 1);

    // The first tick after resuming takes everything over, and the light is off
    // before the frame that tick asks for is drawn.
    playing = true;
    Tick();
    EXPECT_EQ(R().AngleX(), 15.0);
    EXPECT_EQ(R().RingRadius(), 150.0);
    EXPECT_EQ(R().SectionRadius(), 30.0);
    EXPECT_EQ(R().SurfaceSteps(), 36);
    EXPECT_EQ(R().SectionSteps(), 6);
    EXPECT_EQ(R().Mode(), 2);
    EXPECT_EQ(R().Light(), 0);
    EXPECT_EQ(R().Shading(), 1);
    EXPECT_EQ(R().Lighting().m_pLights[0].m_bOn, 0);
}

TEST_F(ViewTest, LightsFollowTheSwitchOnEveryTick)
{
    doc.m_nLight = 0;
    Tick();
    EXPECT_EQ(R().Lighting().m_pLights[0].m_bOn, 0);
    doc.m_nLight = 1;
    Tick();
    EXPECT_EQ(R().Lighting().m_pLights[0].m_bOn, 1);
    doc.m_nLight = 7; // any other value leaves the lights alone
    Tick();
    EXPECT_EQ(R().Lighting().m_pLights[0].m_bOn, 1);
    playing = false; // stopped, the ticks keep them as they are
    doc.m_nLight = 0;
    Tick();
    EXPECT_EQ(R().Lighting().m_pLights[0].m_bOn, 1);
}

TEST_F(ViewTest, ChosenTextureLoadsOnTheNextTickPlayingOrNot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString green = WriteBmp(dir.path(), QStringLiteral("green.bmp"), QSize(16, 4), QColor(0, 200, 0));
    playing = false;
    doc.m_strTexturePath = QFile::encodeName(green).toStdString();
    EXPECT_FALSE(R().Texture().HasTexels());
    Tick();
    EXPECT_EQ(view.TexturePath(), doc.m_strTexturePath);
    EXPECT_EQ(FirstTexel(view), QColor(0, 200, 0));
    EXPECT_EQ(R().Texture().Width(), 16);
    EXPECT_EQ(R().Texture().Height(), 4);
    EXPECT_EQ(R().AngleX(), 0.0);
    EXPECT_EQ(messages.texts.size(), 1); // only the default's

    // A file that does not load: one message, no texels, until another is chosen.
    doc.m_strTexturePath = QFile::encodeName(dir.filePath(QStringLiteral("gone.bmp"))).toStdString();
    Tick(4);
    EXPECT_EQ(messages.texts.size(), 2);
    EXPECT_EQ(messages.texts.back().section('\n', 0, 0), QStringLiteral("图片加载失败"));
    EXPECT_FALSE(R().Texture().HasTexels());

    doc.m_strTexturePath = QFile::encodeName(green).toStdString();
    Tick();
    EXPECT_EQ(FirstTexel(view), QColor(0, 200, 0));
    EXPECT_EQ(messages.texts.size(), 2);
}

// The panel and the view of one main frame: choosing the file that is already
// loaded does not load it again, even if it changed on disk meanwhile.
TEST(TextureChoiceTest, SameFileChosenTwiceLoadsOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = WriteBmp(dir.path(), QStringLiteral("tex.bmp"), QSize(8, 8), QColor(250, 0, 0));
    COrboDoc doc;
    CMainFrame frame(doc);
    SMessageLog messages;
    frame.View()->SetMessageHook(messages.Hook());
    frame.LeftPortion()->SetFileDialogHook([&](QWidget*, const QString&, const QString&, const QString&) {
        return path;
    });
    frame.InitialUpdate();
    const auto defaultMessages = messages.texts.size();

    frame.LeftPortion()->Button(IDC_TEXTURE)->click();
    frame.LeftPortion()->Button(IDC_CHOOSE_TEXTURE)->click();
    frame.View()->OnTimer();
    EXPECT_EQ(FirstTexel(*frame.View()), QColor(250, 0, 0));

    WriteBmp(dir.path(), QStringLiteral("tex.bmp"), QSize(8, 8), QColor(0, 0, 250));
    frame.LeftPortion()->Button(IDC_CHOOSE_TEXTURE)->click();
    frame.View()->OnTimer();
    EXPECT_EQ(FirstTexel(*frame.View()), QColor(250, 0, 0));
    EXPECT_EQ(messages.texts.size(), defaultMessages);
}

TEST_F(ViewTest, EveryPaintArmsTheTimerAndDrawsTheSameFrame)
{
    EXPECT_FALSE(view.IsTimerArmed());
    view.resize(401, 300);
    const QImage first = view.grab().toImage();
    EXPECT_TRUE(view.IsTimerArmed());
    // The mesh is rebuilt for every frame: nothing accumulates between them.
    EXPECT_EQ(view.grab().toImage(), first);
}

// What a renderer of its own draws for the view's settings and angles: the frame
// orbo-render writes for them.
QImage ReferenceFrame(const COrboView& view, QSize size)
{
    CTorusRenderer renderer;
    renderer.Setup(view.Settings(), view.Renderer().AngleX(), view.Renderer().AngleY());
    CPixelSink sink(size.width(), size.height());
    renderer.RenderFrame(sink);
    return FrameImage(sink).convertToFormat(QImage::Format_RGB32);
}

void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Drag(QWidget& widget, QPoint from, QPoint to)
{
    SendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    const QPoint middle = (from + to) / 2;
    SendMouse(widget, QEvent::MouseMove, middle, Qt::NoButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

TEST_F(ViewTest, DraggingTurnsTheTorusAndTheFrameFollows)
{
    playing = false;
    doc.m_nMode = 1;
    view.resize(321, 240);
    // Right and up: about y by +0.5 degree a pixel, about x by -0.5 a pixel,
    // wrapped into 0..360.
    Drag(view, QPoint(100, 100), QPoint(160, 80));
    EXPECT_EQ(R().AngleY(), 30.0);
    EXPECT_EQ(R().AngleX(), 350.0);
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), ReferenceFrame(view, view.size()));

    // Only the left button turns it; a move without a press does nothing.
    SendMouse(view, QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton, Qt::RightButton);
    SendMouse(view, QEvent::MouseMove, QPoint(90, 90), Qt::NoButton, Qt::RightButton);
    SendMouse(view, QEvent::MouseButtonRelease, QPoint(90, 90), Qt::RightButton, Qt::NoButton);
    SendMouse(view, QEvent::MouseMove, QPoint(200, 200), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(R().AngleY(), 30.0);
    EXPECT_EQ(R().AngleX(), 350.0);

    // Playing, the animation goes on from the dragged angle.
    playing = true;
    Drag(view, QPoint(50, 50), QPoint(50, 70));
    EXPECT_EQ(R().AngleX(), 0.0);
    Tick();
    EXPECT_EQ(R().AngleX(), 5.0);
    EXPECT_EQ(R().Mode(), 1);
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), ReferenceFrame(view, view.size()));

    // Far drags wrap by whole turns; a whole turn back is 0, not -0.
    view.TurnBy(QPoint(-1500, 2000));
    EXPECT_EQ(R().AngleY(), 0.0);
    EXPECT_FALSE(std::signbit(R().AngleY()));
    EXPECT_EQ(R().AngleX(), 285.0);
}

TEST_F(ViewTest, SavedAndCopiedPictureIsTheFrame)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    doc.m_nMode = 1;
    doc.m_nShading = 1;
    Tick(3);
    view.TurnBy(QPoint(24, 0));
    view.resize(333, 251);
    QString answer = dir.filePath(QStringLiteral("圆环.png"));
    QString suggested;
    view.SetSaveDialogHook([&](QWidget*, const QString&, const QString& path, const QString& filter) {
        suggested = path;
        EXPECT_TRUE(filter.contains(QStringLiteral("*.png")));
        return answer;
    });
    view.OnSavePicture();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral(".png")));
    const QImage expected = ReferenceFrame(view, QSize(333, 251));
    EXPECT_EQ(QImage(answer).convertToFormat(QImage::Format_RGB32), expected);
    QFile saved(answer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray savedBytes = saved.readAll();
    EXPECT_EQ(messages.texts.size(), 1); // the missing default texture's only

    // The next save offers the folder used last.
    answer.clear();
    view.OnSavePicture();
    EXPECT_EQ(QFileInfo(suggested).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());

    // A write that fails says so and leaves nothing behind.
    answer = dir.filePath(QStringLiteral("no folder/frame.png"));
    view.OnSavePicture();
    ASSERT_EQ(messages.texts.size(), 2);
    EXPECT_TRUE(messages.texts.back().startsWith(QStringLiteral("图片保存失败"))) << messages.texts.back().toStdString();
    EXPECT_FALSE(QFileInfo::exists(answer));

    view.OnCopyPicture();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), expected);
    // Other programs are offered PNG bytes only, the saved file's: the same
    // encoder at the same setting.
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->formats(), QStringList{QStringLiteral("image/png")});
    EXPECT_EQ(copied->data(QStringLiteral("image/png")), savedBytes);
}

// Textures that do not load name the file and the reason below the box's
// text; while texture mode has none, the status bar's first pane says so.
TEST(TextureFailureTest, MessageAndStatusBarNameTheFileAndTheReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile(dir.filePath(QStringLiteral("empty.bmp"))).open(QIODevice::WriteOnly);
    QFile cut(dir.filePath(QStringLiteral("cut.png")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    cut.close();
    const struct
    {
        QString path;
        QString reason;
    } cases[] = {
        {fifo, QStringLiteral("不是普通文件（是管道或设备）")},
        {dir.path(), QStringLiteral("这是一个文件夹，不是文件")},
        {dir.filePath(QStringLiteral("empty.bmp")), QStringLiteral("文件是空的")},
        {dir.filePath(QStringLiteral("Data/texture1.bmp")), QStringLiteral("文件或文件夹不存在（No such file or directory）")},
        {cut.fileName(), QStringLiteral("文件不完整或已损坏（it ends inside its header）")},
    };
    COrboDoc doc;
    CMainFrame frame(doc);
    SMessageLog messages;
    frame.View()->SetMessageHook(messages.Hook());
    frame.InitialUpdate();
    frame.View()->resize(64, 64);
    doc.m_nMode = kModeTexture;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        doc.m_strTexturePath = QFile::encodeName(c.path).toStdString();
        const auto before = messages.texts.size();
        frame.View()->OnTimer();
        ASSERT_EQ(messages.texts.size(), before + 1);
        EXPECT_EQ(messages.texts.back(), QStringLiteral("图片加载失败\n%1：%2").arg(c.path, c.reason));
        frame.View()->grab(); // a paint
        EXPECT_EQ(frame.MessagePane()->text(),
                  QStringLiteral("纹理模式没有纹理：%1（%2）").arg(QFileInfo(c.path).fileName(), c.reason));
    }
    doc.m_nMode = kModeSurface;
    frame.View()->OnTimer();
    frame.View()->grab();
    EXPECT_EQ(frame.MessagePane()->text(), QStringLiteral("就绪"));
}

// A picture that cannot be saved says why in Chinese, the system's words in
// brackets; a pipe nobody reads is refused at once instead of freezing the window.
TEST_F(ViewTest, SaveFailuresSayWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString full = QFile::exists(QStringLiteral("/dev/full")) ? QStringLiteral("/dev/full") : QString();
    const struct
    {
        QString path;
        QString reason;
    } cases[] = {
        {dir.filePath(QStringLiteral("no folder/f.png")), QStringLiteral("文件或文件夹不存在（No such file or directory）")},
        {fifo, QStringLiteral("没有程序在读取这个管道（No such device or address）")},
        {dir.path(), QStringLiteral("这是一个文件夹，不是文件（Is a directory）")},
        {full, QStringLiteral("磁盘空间不足（No space left on device）")},
    };
    for (const auto& c : cases) {
        if (c.path.isEmpty())
            continue; // no /dev/full here
        SCOPED_TRACE(c.path.toStdString());
        QString error;
        EXPECT_FALSE(view.SavePicture(CPixelSink(32, 32), c.path, error));
        EXPECT_EQ(error, c.reason);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"pipe.png"});
}

// Saving and copying take the frame on screen when the command is chosen, not
// the one the animation has reached when the file name is confirmed.
TEST_F(ViewTest, SaveAndCopyTakeTheFrameShownWhenChosen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    doc.m_nMode = 1;
    view.resize(241, 180);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    Tick(2);
    view.repaint();
    const QImage shown = ReferenceFrame(view, QSize(241, 180));
    const QString path = dir.filePath(QStringLiteral("shown.png"));
    view.SetSaveDialogHook([&](QWidget*, const QString&, const QString&, const QString&) {
        Tick(3); // the animation goes on while the dialog is open
        view.repaint();
        return path;
    });
    view.OnSavePicture();
    EXPECT_EQ(R().AngleX(), 25.0);
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), shown);

    // A tick has turned the torus, its frame not painted yet: the copy is the
    // one on screen.
    const QImage onScreen = ReferenceFrame(view, QSize(241, 180));
    Tick();
    view.OnCopyPicture();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), onScreen);
    view.close();
}

// Run with QT_SCALE_FACTOR=2 (a test of its own): the frame has the screen's
// device pixels, 520 x 600 for a view of 260 x 300, and the view shows it one
// image pixel per device pixel; the inspector, the picture commands and the
// magnifier speak of those pixels.
TEST_F(ViewTest, ScaledScreenShowsOneImagePixelPerDevicePixel)
{
    view.resize(260, 300);
    if (view.devicePixelRatioF() != 2.0)
        GTEST_SKIP() << "runs on a screen scaled by 2 (QT_SCALE_FACTOR=2)";
    doc.m_nMode = kModeSurface;
    doc.m_nShading = kShadingPhong;
    Tick(); // playing: the settings are taken over, the torus turns by 5 degrees
    playing = false;
    view.TurnBy(QPoint(0, -10)); // and is turned back, unturned
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.clearFocus(); // no focus mark over the frame
    view.repaint();
    ASSERT_EQ(view.Frame().Width(), 520);
    ASSERT_EQ(view.Frame().Height(), 600);
    const QImage expected = ReferenceFrame(view, QSize(520, 600));
    QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1.0);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(view.Picture(), expected);

    // Logical point (140, 145) is device pixel (280, 290): logical (20, 10) of
    // the frame, on facet (0, 4).
    view.SetInspectCommand(true);
    view.repaint();
    QMouseEvent move(QEvent::MouseMove, QPointF(140.25, 145.25), view.mapToGlobal(QPointF(140.25, 145.25)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    EXPECT_TRUE(view.InspectedFacts().contains(QStringLiteral("坐标 (20, 10)"))) << view.InspectedFacts().join('|').toStdString();
    EXPECT_TRUE(view.InspectedFacts().contains(QStringLiteral("面片 i = 0, j = 4")));

    // Each frame pixel is a square of zoom device pixels in the magnifier.
    CMagnifier magnifier(view);
    magnifier.resize(100, 100);
    magnifier.ShowAround(QPoint(280, 220));
    const QImage magnified = magnifier.grab().toImage();
    ASSERT_EQ(magnified.size(), QSize(200, 200));
    const QPoint square = CMagnifier::CentreSquare(8, magnified.size());
    for (int d = -2; d <= 2; ++d)
        EXPECT_EQ(magnified.pixel(square + QPoint(d * 8 + 4, 4)), expected.pixel(280 + d, 220)) << d;
    view.close();
}

#ifdef ORBO_RENDER_EXE

// One renderer, two front ends: what the window shows is pixel for pixel what
// orbo-render writes for the same settings and size.
struct SSettings
{
    int ringRadius, sectionRadius, surfaceSteps, sectionSteps;
    int mode, light, shading;
    int ticks; // of 5 degrees each
};

void PrintTo(const SSettings& s, std::ostream* os)
{
    *os << s.ringRadius << '/' << s.sectionRadius << '/' << s.surfaceSteps << '/' << s.sectionSteps
        << " mode " << s.mode << " light " << s.light << " shading " << s.shading << " ticks " << s.ticks;
}

std::string SettingsName(const ::testing::TestParamInfo<SSettings>& info)
{
    const char* const modes[] = {"Wireframe", "Surface", "Texture"};
    const SSettings& s = info.param;
    return std::string(modes[s.mode]) + (s.light ? "Lit" : "Unlit") + (s.shading ? "Phong" : "Gouraud") +
           "At" + std::to_string(s.ticks * 5);
}

class SameFrameTest : public ViewTest, public ::testing::WithParamInterface<SSettings>
{
};

TEST_P(SameFrameTest, ViewMatchesOrboRender)
{
    const SSettings s = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage texture(800, 320, QImage::Format_RGB32);
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x)
            texture.setPixel(x, y, qRgb(x * 255 / 799, y * 255 / 319, (x / 50 + y / 40) % 2 ? 230 : 40));
    const QString texturePath = dir.filePath("texture.bmp");
    ASSERT_TRUE(texture.save(texturePath, "BMP"));

    doc.m_nRingRadius = s.ringRadius;
    doc.m_nSectionRadius = s.sectionRadius;
    doc.m_nSurfaceSteps = s.surfaceSteps;
    doc.m_nSectionSteps = s.sectionSteps;
    doc.m_nMode = s.mode;
    doc.m_nLight = s.light;
    doc.m_nShading = s.shading;
    doc.m_strTexturePath = QFile::encodeName(texturePath).toStdString();
    Tick(s.ticks); // none: the start-up frame, from the view's own defaults
    if (s.mode == 2) {
        ASSERT_TRUE(R().Texture().HasTexels());
    }
    view.resize(401, 300);
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int lit = 0;
    for (int row = 0; row < shown.height(); ++row)
        for (int col = 0; col < shown.width(); ++col)
            lit += (shown.pixel(col, row) & 0xFFFFFF) != 0;
    EXPECT_GT(lit, 5000); // a torus, not an empty frame

    const char* const modes[] = {"wireframe", "surface", "texture"};
    const QString output = dir.filePath(QStringLiteral("frame.png"));
    const QStringList args = {
        "--size", "401x300", "--ring-radius", QString::number(s.ringRadius),
        "--section-radius", QString::number(s.sectionRadius), "--surface-steps", QString::number(s.surfaceSteps),
        "--section-steps", QString::number(s.sectionSteps), "--mode", modes[s.mode],
        "--light", s.light ? "on" : "off", "--shading", s.shading ? "phong" : "gouraud",
        "--angle-x", QString::number(R().AngleX()), "--texture", texturePath, "-o", output,
    };
    QProcess render;
    render.start(QStringLiteral(ORBO_RENDER_EXE), args);
    ASSERT_TRUE(render.waitForFinished(-1));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    const QImage written = QImage(output).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(written.size(), shown.size());
    EXPECT_TRUE(written == shown);
}

INSTANTIATE_TEST_SUITE_P(Settings, SameFrameTest,
                         ::testing::Values(SSettings{200, 80, 18, 18, 0, 1, 0, 0},
                                           SSettings{150, 60, 24, 12, 1, 1, 1, 7},
                                           SSettings{250, 100, 30, 20, 1, 0, 0, 20},
                                           SSettings{180, 70, 36, 36, 2, 1, 1, 13},
                                           SSettings{120, 40, 12, 30, 2, 0, 1, 50}),
                         SettingsName);

#endif

} // namespace
