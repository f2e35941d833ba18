#include "UiTestSupport.h"

#include "imageio/DataPaths.h"
#include "ui/LeftPortion.h"
#include "ui/OrboDoc.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace {

class PanelTest : public ::testing::Test
{
protected:
    PanelTest() : panel(doc) { panel.OnInitialUpdate(); }

    bool Checked(int id) const { return panel.Button(id)->isChecked(); }
    bool Enabled(int id) const { return panel.Control(id)->isEnabled(); }
    QString FacetCount() const { return panel.Label(IDC_FACET_COUNT)->text(); }

    COrboDoc doc;
    CLeftPortion panel;
};

TEST_F(PanelTest, StartsWithTheDocumentsDefaults)
{
    EXPECT_EQ(panel.Slider(IDC_RING_RADIUS)->value(), 200);
    EXPECT_EQ(panel.Slider(IDC_SECTION_RADIUS)->value(), 80);
    EXPECT_EQ(panel.Slider(IDC_SURFACE_STEPS)->value(), 18);
    EXPECT_EQ(panel.Slider(IDC_SECTION_STEPS)->value(), 18);
    EXPECT_EQ(FacetCount(), QStringLiteral("面片总数：324"));

    for (int id : {IDC_WIREFRAME, IDC_LIGHT_ON, IDC_GOURAUD})
        EXPECT_TRUE(Checked(id)) << id;
    for (int id : {IDC_SURFACE, IDC_TEXTURE, IDC_LIGHT_OFF, IDC_PHONG})
        EXPECT_FALSE(Checked(id)) << id;
    for (int id : {IDC_GOURAUD, IDC_PHONG, IDC_CHOOSE_TEXTURE})
        EXPECT_FALSE(Enabled(id)) << id;

    // The set-up writes nothing into the document.
    const COrboDoc defaults;
    EXPECT_EQ(doc.m_nRingRadius, defaults.m_nRingRadius);
    EXPECT_EQ(doc.m_nSectionSteps, defaults.m_nSectionSteps);
    EXPECT_EQ(doc.m_nMode, defaults.m_nMode);
    EXPECT_TRUE(doc.m_strTexturePath.empty());
}

TEST_F(PanelTest, ModeButtonsSetEnablingAndDocument)
{
    panel.Button(IDC_SURFACE)->click();
    EXPECT_EQ(doc.m_nMode, 1);
    EXPECT_TRUE(Enabled(IDC_GOURAUD));
    EXPECT_TRUE(Enabled(IDC_PHONG));
    EXPECT_FALSE(Enabled(IDC_CHOOSE_TEXTURE));
    EXPECT_TRUE(Checked(IDC_SURFACE));
    EXPECT_TRUE(Checked(IDC_GOURAUD));

    panel.Button(IDC_PHONG)->click();
    EXPECT_EQ(doc.m_nShading, 1);
    panel.Button(IDC_GOURAUD)->click();
    EXPECT_EQ(doc.m_nShading, 0);
    EXPECT_TRUE(Checked(IDC_GOURAUD));

    // Texture mode forces Phong and shuts Gouraud off.
    panel.Button(IDC_TEXTURE)->click();
    EXPECT_EQ(doc.m_nMode, 2);
    EXPECT_EQ(doc.m_nShading, 1);
    EXPECT_TRUE(Checked(IDC_TEXTURE));
    EXPECT_TRUE(Checked(IDC_PHONG));
    EXPECT_FALSE(Checked(IDC_GOURAUD));
    EXPECT_FALSE(Enabled(IDC_GOURAUD));
    EXPECT_TRUE(Enabled(IDC_PHONG));
    EXPECT_TRUE(Enabled(IDC_CHOOSE_TEXTURE));

    // Back to surface: Phong stays selected, Gouraud can be chosen again.
    panel.Button(IDC_SURFACE)->click();
    EXPECT_EQ(doc.m_nMode, 1);
    EXPECT_EQ(doc.m_nShading, 1);
    EXPECT_TRUE(Checked(IDC_PHONG));
    EXPECT_TRUE(Enabled(IDC_GOURAUD));
    EXPECT_FALSE(Enabled(IDC_CHOOSE_TEXTURE));

    panel.Button(IDC_WIREFRAME)->click();
    EXPECT_EQ(doc.m_nMode, 0);
    EXPECT_EQ(doc.m_nShading, 1); // wireframe leaves the shading alone
    for (int id : {IDC_GOURAUD, IDC_PHONG, IDC_CHOOSE_TEXTURE})
        EXPECT_FALSE(Enabled(id)) << id;

    // The light switch is a group of its own, always usable.
    panel.Button(IDC_LIGHT_OFF)->click();
    EXPECT_EQ(doc.m_nLight, 0);
    EXPECT_TRUE(Checked(IDC_LIGHT_OFF));
    EXPECT_TRUE(Checked(IDC_WIREFRAME));
    panel.Button(IDC_LIGHT_ON)->click();
    EXPECT_EQ(doc.m_nLight, 1);
}

TEST_F(PanelTest, SlidersWriteAllFourPositionsAndTheFacetCount)
{
    panel.Slider(IDC_SURFACE_STEPS)->setValue(36);
    panel.Slider(IDC_SECTION_STEPS)->setValue(6);
    EXPECT_EQ(FacetCount(), QStringLiteral("面片总数：216"));
    EXPECT_EQ(doc.m_nSurfaceSteps, 36);
    EXPECT_EQ(doc.m_nSectionSteps, 6);

    panel.Slider(IDC_RING_RADIUS)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    panel.Slider(IDC_SECTION_RADIUS)->setValue(120);
    EXPECT_EQ(doc.m_nRingRadius, 250);
    EXPECT_EQ(doc.m_nSectionRadius, 120);
    EXPECT_EQ(doc.m_nSurfaceSteps, 36);

    // Moving a slider leaves the radio groups as they were.
    panel.Button(IDC_SURFACE)->click();
    panel.Slider(IDC_RING_RADIUS)->setValue(100);
    EXPECT_TRUE(Checked(IDC_SURFACE));
    EXPECT_TRUE(Checked(IDC_LIGHT_ON));
    EXPECT_TRUE(Checked(IDC_GOURAUD));
    EXPECT_EQ(doc.m_nMode, 1);
}

TEST_F(PanelTest, TextureDialogCancelledOrChosen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString chosen = WriteBmp(dir.path(), QStringLiteral("红色.bmp"), QSize(64, 8), QColor(200, 10, 20));
    QString answer;
    std::vector<QString> filters;
    QStringList folders;
    panel.SetFileDialogHook([&](QWidget*, const QString&, const QString& folder, const QString& filter) {
        filters.push_back(filter);
        folders << folder;
        return answer;
    });
    panel.Button(IDC_TEXTURE)->click();
    const QImage placeholder = panel.PreviewPixmap().toImage();

    panel.Button(IDC_CHOOSE_TEXTURE)->click(); // cancelled
    EXPECT_TRUE(doc.m_strTexturePath.empty());
    EXPECT_EQ(panel.PreviewPixmap().toImage(), placeholder);

    const QString before = QDir::currentPath();
    answer = chosen;
    panel.Button(IDC_CHOOSE_TEXTURE)->click();
    EXPECT_EQ(doc.m_strTexturePath, QFile::encodeName(chosen).toStdString());
    EXPECT_EQ(QDir::currentPath(), before);
    ASSERT_EQ(filters.size(), 2u);
    // Bitmaps first and all files last, as the program has always offered them,
    // with the formats the loader reads between.
    EXPECT_EQ(filters[0], QStringLiteral("位图文件(*.bmp);;图像文件(*.bmp *.png *.jpg *.jpeg);;All Files (*.*)"));

    // The preview: the image's top-left part unscaled, the placeholder below it.
    const QImage preview = panel.PreviewPixmap().toImage();
    ASSERT_EQ(preview.size(), placeholder.size());
    EXPECT_EQ(preview.pixelColor(0, 0), QColor(200, 10, 20));
    EXPECT_EQ(preview.pixelColor(preview.width() - 1, 7), QColor(200, 10, 20));
    EXPECT_EQ(preview.pixelColor(0, 8), placeholder.pixelColor(0, 8));

    // A file that is no image: the path is stored all the same (the view reports
    // it), the preview falls back to the placeholder.
    answer = QDir(dir.path()).filePath(QStringLiteral("missing.bmp"));
    panel.Button(IDC_CHOOSE_TEXTURE)->click();
    EXPECT_EQ(doc.m_strTexturePath, QFile::encodeName(answer).toStdString());
    EXPECT_EQ(panel.PreviewPixmap().toImage(), placeholder);

    // The dialog opens in the texture folder until a file is chosen, then in the
    // chosen file's folder while it is there; the working directory stays.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    answer = dir.filePath(QStringLiteral("sub/a.bmp"));
    panel.Button(IDC_CHOOSE_TEXTURE)->click();
    panel.Button(IDC_CHOOSE_TEXTURE)->click();
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("sub"))).removeRecursively());
    panel.Button(IDC_CHOOSE_TEXTURE)->click();
    EXPECT_EQ(folders, (QStringList{TextureFolder(), TextureFolder(), dir.path(), dir.path(),
                                    dir.filePath(QStringLiteral("sub")), TextureFolder()}));
    EXPECT_EQ(QDir::currentPath(), before);
}

// What a screen reader finds in the panel: every control that takes the
// keyboard has a name, the sliders their labels', the radio buttons sit in
// groups named by their frames' titles; the preview is named too.
TEST_F(PanelTest, ScreenReadersFindEveryControlNamed)
{
    panel.show();
    std::vector<QAccessibleInterface*> stack{QAccessible::queryAccessibleInterface(&panel)};
    QStringList named;
    while (!stack.empty()) {
        QAccessibleInterface* node = stack.back();
        stack.pop_back();
        for (int i = 0; i < node->childCount(); ++i)
            stack.push_back(node->child(i));
        if (!node->state().focusable || node->state().invisible)
            continue;
        QString name = node->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << node->role();
        if (node->role() == QAccessible::RadioButton && node->parent()->role() == QAccessible::Grouping)
            name.prepend(node->parent()->text(QAccessible::Name) + QLatin1Char('/'));
        named << name;
    }
    QStringList expected{"环体半径", "截面半径", "表面级数", "截面级数", "模型分类/线框", "模型分类/表面",
                         "模型分类/纹理", "光源开关/关", "光源开关/开", "明暗处理/Gouraud", "明暗处理/Phong",
                         "选择纹理>>"};
    expected.sort();
    named.sort();
    EXPECT_EQ(named, expected);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(panel.Control(IDC_TEXTURE_PREVIEW))->text(QAccessible::Name),
              QStringLiteral("纹理预览"));
    panel.close();
}

// Narrowed by the splitter, the panel scrolls sideways to every control.
TEST_F(PanelTest, NarrowedPanelScrollsToEveryControl)
{
    panel.show();
    panel.resize(140, 300);
    QScrollBar* across = panel.horizontalScrollBar();
    EXPECT_TRUE(across->isVisible());
    EXPECT_GT(across->maximum(), 0);
    for (int id : {IDC_TEXTURE, IDC_LIGHT_ON, IDC_PHONG, IDC_TEXTURE_PREVIEW, IDC_RING_RADIUS}) {
        QWidget* control = panel.Control(id);
        panel.ensureWidgetVisible(control, 0, 0);
        const QRect shown(control->mapTo(panel.viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(panel.viewport()->rect().contains(shown)) << id;
    }
    panel.close();
}

// The form asks for 宋体; here the Song face installed instead is taken before
// any sans-serif one, and every text still fits its control.
TEST_F(PanelTest, SongFaceAndTextsFitTheirControls)
{
    const QStringList families = QFontDatabase::families();
    const QFont font = panel.Label(IDC_FACET_COUNT)->font();
    if (families.contains(QStringLiteral("SimSun"))) {
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("SimSun"));
    } else if (families.contains(QStringLiteral("Noto Serif CJK SC"))) {
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Noto Serif CJK SC"));
    }
    EXPECT_EQ(font.pointSize(), 9);

    // A text fits when its line, and for buttons their indicator or frame, fits.
    panel.Label(IDC_FACET_COUNT)->setText(QStringLiteral("面片总数：1296")); // the widest it gets
    for (QWidget* control : panel.widget()->findChildren<QWidget*>()) {
        const QString text = control->property("text").toString();
        if (text.isEmpty() || qobject_cast<QGroupBox*>(control))
            continue;
        const QFontMetrics metrics = control->fontMetrics();
        int width = metrics.horizontalAdvance(text);
        if (qobject_cast<QRadioButton*>(control))
            width += control->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                     control->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        else if (qobject_cast<QPushButton*>(control))
            width += 2 * control->style()->pixelMetric(QStyle::PM_ButtonMargin);
        EXPECT_LE(width, control->width()) << text.toStdString();
        EXPECT_LE(metrics.tightBoundingRect(text).height(), control->height()) << text.toStdString();
    }
}

// A FIFO chosen in the dialog: no reading that waits for a writer, no preview,
// the path kept for the view to report.
TEST_F(PanelTest, ChoosingAFifoDoesNotBlock)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    panel.SetFileDialogHook([&](QWidget*, const QString&, const QString&, const QString&) { return fifo; });
    panel.Button(IDC_TEXTURE)->click();
    const QImage placeholder = panel.PreviewPixmap().toImage();

    // Should the panel wait for a writer after all, one comes after two seconds:
    // the test then fails instead of hanging.
    std::atomic<bool> done = false;
    auto writer = std::async(std::launch::async, [&] {
        for (int i = 0; i < 40 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (done)
            return;
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    });
    const auto start = std::chrono::steady_clock::now();
    panel.Button(IDC_CHOOSE_TEXTURE)->click();
    done = true;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(doc.m_strTexturePath, QFile::encodeName(fifo).toStdString());
    EXPECT_EQ(panel.PreviewPixmap().toImage(), placeholder);
    writer.wait();
}

} // namespace
