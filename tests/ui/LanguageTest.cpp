// The window's languages: Chinese in every locale unless English is asked for,
// and then no Chinese left anywhere the user can read.
#include "UiTestSupport.h"
#include "Watchdog.h"

#include "render/PixelFacts.h"
#include "ui/AboutBox.h"
#include "ui/DialogUnits.h"
#include "ui/InspectorText.h"
#include "ui/Language.h"
#include "ui/LeftPortion.h"
#include "ui/InspectorPanel.h"
#include "ui/Magnifier.h"
#include "ui/MainFrame.h"
#include "ui/Stepper.h"
#include "ui/OrboApp.h"
#include "ui/OrboDoc.h"
#include "ui/Resources.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QXmlStreamReader>
#include <QtTest/QTest>

#include <sys/stat.h>

#include <chrono>
#include <optional>

namespace {

// Han ideographs and the full-width punctuation that goes with them.
bool HasChinese(const QString& text)
{
    for (const QChar ch : text)
        if (ch.script() == QChar::Script_Han || (ch.unicode() >= 0x3000 && ch.unicode() <= 0x303F) ||
            (ch.unicode() >= 0xFF00 && ch.unicode() <= 0xFFEF))
            return true;
    return false;
}

// Every text a user can read on the widget and its children, or hear from a
// screen reader, and those of their actions. The note that the language
// changes at the next start speaks both languages, on purpose.
void CollectTexts(QWidget* root, const QAction* skip, QStringList& texts)
{
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets << root;
    for (QWidget* w : widgets) {
        texts << w->windowTitle() << w->toolTip() << w->statusTip() << w->whatsThis() << w->accessibleName()
              << w->accessibleDescription();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text() << label->property("indicatorText").toString();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        if (auto* box = qobject_cast<QGroupBox*>(w))
            texts << box->title();
        if (auto* menu = qobject_cast<QMenu*>(w))
            texts << menu->title();
        if (auto* table = qobject_cast<QTableWidget*>(w))
            for (int c = 0; c < table->columnCount(); ++c)
                texts << table->horizontalHeaderItem(c)->text()
                      << (table->rowCount() > 0 && table->item(0, c) ? table->item(0, c)->text() : QString());
        for (QAction* action : w->actions())
            if (action != skip && action->objectName() != QStringLiteral("restartNote"))
                texts << action->text() << action->toolTip() << action->statusTip();
    }
}

// Restores the Chinese window and the test's locale, however a test ends.
struct SChineseAfterwards
{
    QLocale locale;
    ~SChineseAfterwards()
    {
        InstallLanguage(ELanguage::Chinese);
        QLocale::setDefault(locale);
    }
};

TEST(LanguageTest, StartsInTheLanguageAskedForElseTheSavedOneElseChinese)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct
    {
        const char* commandLine; // nullptr: no --lang
        const char* saved;       // nullptr: nothing saved
        ELanguage expected;
    } kCases[] = {
        {nullptr, nullptr, ELanguage::Chinese}, {nullptr, "en", ELanguage::English},
        {nullptr, "zh", ELanguage::Chinese},    {nullptr, "fr", ELanguage::Chinese},
        {nullptr, "EN", ELanguage::Chinese},    {"en", nullptr, ELanguage::English},
        {"zh", "en", ELanguage::Chinese},       {"en", "zh", ELanguage::English},
    };
    int n = 0;
    for (const auto& c : kCases) {
        QSettings settings(dir.filePath(QStringLiteral("case%1.conf").arg(n++)), QSettings::IniFormat);
        if (c.saved)
            settings.setValue(QStringLiteral("language"), QString::fromLatin1(c.saved));
        const std::optional<ELanguage> asked =
            c.commandLine ? LanguageFromCode(QString::fromLatin1(c.commandLine)) : std::nullopt;
        EXPECT_EQ(StartLanguage(asked, settings), c.expected)
            << (c.commandLine ? c.commandLine : "-") << " / " << (c.saved ? c.saved : "-");
    }
    EXPECT_FALSE(LanguageFromCode(QStringLiteral("english")));
    EXPECT_FALSE(LanguageFromCode(QString()));
}

// The window's menu keeps the choice for the next start (the tests' settings
// live in a folder of their own).
TEST(LanguageTest, MenuChoiceIsSavedForTheNextStart)
{
    COrboDoc doc;
    CMainFrame frame(doc);
    EXPECT_TRUE(frame.LanguageAction(ELanguage::Chinese)->isChecked());
    frame.LanguageAction(ELanguage::English)->trigger();
    EXPECT_TRUE(frame.LanguageAction(ELanguage::English)->isChecked());
    EXPECT_FALSE(frame.LanguageAction(ELanguage::Chinese)->isChecked());
    QSettings settings(SettingsOrganization(), SettingsApplication());
    EXPECT_EQ(StartLanguage(std::nullopt, settings), ELanguage::English);
    frame.LanguageAction(ELanguage::Chinese)->trigger();
    settings.sync();
    EXPECT_EQ(StartLanguage(std::nullopt, settings), ELanguage::Chinese);
}

// A settings file that is not a regular file is passed over at once: a pipe
// (which would make the window wait for a writer for ever) and a folder. A
// choice that cannot be kept, there or in a full or read-only place, is said
// so, and the menu goes on showing the language the next start will speak.
TEST(LanguageTest, SettingsThatCannotBeReadOrWrittenAreSaidSo)
{
    const QString path = SettingsPath();
    ASSERT_TRUE(path.endsWith(QStringLiteral("/Orbo/Orbo.conf"))) << path.toStdString();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile::remove(path);
    {
        const CWatchdog watchdog(std::chrono::seconds(20), "opening a pipe as the settings file");
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        EXPECT_EQ(OpenSettings(), nullptr);
    }
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkdir(path));

    COrboDoc doc;
    CMainFrame frame(doc);
    SMessageLog messages;
    frame.View()->SetMessageHook(messages.Hook());
    ASSERT_TRUE(frame.LanguageAction(ELanguage::Chinese)->isChecked());
    frame.LanguageAction(ELanguage::English)->trigger();
    EXPECT_TRUE(frame.LanguageAction(ELanguage::Chinese)->isChecked());
    EXPECT_FALSE(frame.LanguageAction(ELanguage::English)->isChecked());
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].startsWith(QStringLiteral("语言选择无法保存"))) << messages.texts[0].toStdString();
    EXPECT_TRUE(messages.texts[0].contains(QDir::toNativeSeparators(path))) << messages.texts[0].toStdString();
    EXPECT_TRUE(QDir().rmdir(path));

    // A settings store QSettings cannot write: its folder is a file.
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
    QSettings unwritable(dir.filePath(QStringLiteral("file/Orbo.conf")), QSettings::IniFormat);
    EXPECT_FALSE(SaveLanguage(unwritable, ELanguage::English));
}

#ifdef ORBO_EXE
// The program itself: bad usage ends it with status 2, as it does orbo-render;
// a settings file that is a pipe is passed over with a warning, and the window
// starts.
TEST(LanguageTest, ProgramRefusesBadUsageAndPassesOverAPipeOfSettings)
{
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    const auto status = [&env](const QStringList& args) {
        QProcess orbo;
        orbo.setProcessEnvironment(env);
        orbo.start(QStringLiteral(ORBO_EXE), args);
        if (!orbo.waitForFinished(20000)) {
            orbo.kill();
            orbo.waitForFinished(-1);
            return -1;
        }
        return orbo.exitStatus() == QProcess::NormalExit ? orbo.exitCode() : -1;
    };
    const QStringList bad[] = {{"--lang"}, {"--language", "en"}, {"--lang", "fr"}, {"--bogus"}};
    for (const QStringList& args : bad)
        EXPECT_EQ(status(args), 2) << args.join(' ').toStdString();
    EXPECT_EQ(status({"--version"}), 0);

    ASSERT_TRUE(QDir(config.path()).mkdir(QStringLiteral("Orbo")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(config.filePath(QStringLiteral("Orbo/Orbo.conf"))).constData(), 0600), 0);
    QProcess orbo;
    orbo.setProcessEnvironment(env);
    orbo.setWorkingDirectory(QStringLiteral(ORBO_SOURCE_DIR));
    orbo.setReadChannel(QProcess::StandardError);
    orbo.start(QStringLiteral(ORBO_EXE), {});
    ASSERT_TRUE(orbo.waitForStarted());
    QByteArray err;
    const QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    while (!err.contains("not a regular file") && clock.elapsed() < 20000 && orbo.state() == QProcess::Running) {
        orbo.waitForReadyRead(500);
        err += orbo.readAllStandardError();
    }
    EXPECT_TRUE(err.contains("orbo: ignoring the settings file '" +
                             QFile::encodeName(config.filePath(QStringLiteral("Orbo/Orbo.conf"))) +
                             "': it is not a regular file\n"))
        << err.toStdString();
    EXPECT_FALSE(orbo.waitForFinished(1000)); // the window runs
    orbo.kill();
    orbo.waitForFinished(-1);
}
#endif

// Every text of the catalogue is translated, and into English.
TEST(LanguageTest, CatalogueIsCompleteAndEnglish)
{
    QFile file(QStringLiteral(ORBO_SOURCE_DIR "/translations/orbo_en.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int count = 0;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QStringLiteral("source"))
            source = xml.readElementText();
        else if (xml.name() == QStringLiteral("translation")) {
            const QString type = xml.attributes().value(QStringLiteral("type")).toString();
            const QString text = xml.readElementText();
            EXPECT_TRUE(type.isEmpty()) << source.toStdString() << " is " << type.toStdString();
            EXPECT_FALSE(text.isEmpty()) << source.toStdString();
            EXPECT_FALSE(HasChinese(text)) << source.toStdString() << " -> " << text.toStdString();
            ++count;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(count, 60);
}

// The English window, with everything it can open: no Chinese on any text,
// tooltip or status tip, in the file dialogs' filters, the messages, the
// inspector or Qt's own buttons. Only the name 中文 in the language menu stays,
// for a reader of Chinese to find the way back.
TEST(LanguageTest, EnglishWindowShowsNoChinese)
{
    SChineseAfterwards restore;
    ASSERT_TRUE(InstallLanguage(ELanguage::English));
    EXPECT_EQ(WindowLanguage(), ELanguage::English);

    COrboDoc doc;
    CMainFrame frame(doc);
    SMessageLog messages;
    frame.View()->SetMessageHook(messages.Hook());
    frame.InitialUpdate();
    frame.show();
    frame.MagnifierAction()->trigger();
    ASSERT_NE(frame.Magnifier(), nullptr);
    EXPECT_TRUE(frame.LanguageAction(ELanguage::English)->isChecked());
    // The stepper on a scanline, the inspector with a held pixel's history, the depth view.
    doc.m_nMode = kModeSurface;
    frame.StepperAction()->trigger();
    frame.InspectAction()->trigger();
    frame.DepthAction()->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.View()->repaint();
    ASSERT_GT(frame.Stepper()->Count(), 3);
    frame.Stepper()->ShowScanline(3, frame.View()->Renderer().DrawnFacet(2).corners[1].m_position.y);
    frame.View()->repaint();

    QStringList texts;
    CollectTexts(&frame, frame.LanguageAction(ELanguage::Chinese), texts);
    frame.OnAnimation(); // the command's other text
    texts << frame.AnimationAction()->text();
    CAboutBox about(&frame);
    CollectTexts(&about, nullptr, texts);
    EXPECT_EQ(about.VersionLabel()->text(), QStringLiteral("Version " ORBO_VERSION));
    EXPECT_EQ(about.LicenceLabel()->text(), QStringLiteral("Licence: MIT"));

    // The dialogs' captions, suggested name and filters.
    frame.LeftPortion()->SetFileDialogHook([&texts](QWidget*, const QString& caption, const QString&,
                                                    const QString& filter) {
        texts << caption << filter;
        return QString();
    });
    frame.LeftPortion()->OnChooseTexture();
    QTemporaryDir dir;
    frame.View()->SetSaveDialogHook([&](QWidget*, const QString& caption, const QString& suggested,
                                        const QString& filter) {
        texts << caption << suggested << filter;
        return dir.filePath(QStringLiteral("no-such-folder/torus.png"));
    });
    frame.View()->OnSavePicture();
    // A texture that cannot be loaded.
    doc.m_strTexturePath = dir.filePath(QStringLiteral("missing.bmp")).toStdString();
    frame.View()->OnTimer();
    ASSERT_GE(messages.texts.size(), 2);
    texts << messages.texts << messages.titles;

    SPixelFacts facts;
    facts.recorded = facts.drawn = facts.hasDepth = facts.hasNormal = facts.hasColour = facts.hasTexel = true;
    facts.drawing = SPixelFacts::kGouraud;
    texts << InspectorLines(facts);
    facts.drawing = SPixelFacts::kLines;
    texts << InspectorLines(facts);
    facts.drawn = facts.hasDepth = false;
    facts.drawing = SPixelFacts::kPhong;
    texts << InspectorLines(facts);

    const QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    texts << buttons.button(QDialogButtonBox::Open)->text() << buttons.button(QDialogButtonBox::Cancel)->text();

    for (const QString& text : texts)
        EXPECT_FALSE(HasChinese(text)) << text.toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("&File")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Facets: 324")));
    frame.close();
}

// One thing is said one way: three dots are an ellipsis, a button's tooltip
// begins with its name, and the note that a language takes effect at the next
// start is written in both languages, for a reader of either.
TEST(LanguageTest, TextsSayOneThingOneWay)
{
    for (ELanguage language : {ELanguage::Chinese, ELanguage::English}) {
        SChineseAfterwards restore;
        ASSERT_TRUE(InstallLanguage(language));
        COrboDoc doc;
        CMainFrame frame(doc);
        SMessageLog messages;
        frame.View()->SetMessageHook(messages.Hook()); // no texture needed, no box to wait on
        frame.InitialUpdate();
        frame.StepperAction()->trigger();
        frame.InspectAction()->trigger();
        QStringList texts;
        CollectTexts(&frame, nullptr, texts);
        for (const QString& text : texts)
            EXPECT_FALSE(text.contains(QStringLiteral("..."))) << text.toStdString();
        for (QToolButton* button : frame.Stepper()->findChildren<QToolButton*>())
            EXPECT_TRUE(button->toolTip().startsWith(button->accessibleName() + " ("))
                << button->toolTip().toStdString() << " / " << button->accessibleName().toStdString();
        const QAction* note = frame.findChild<QAction*>(QStringLiteral("restartNote"));
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(HasChinese(note->text()) && note->text().contains(QStringLiteral("Orbo starts again")));
        frame.close();
    }
}

// Started as main() starts it, without --lang and with nothing saved, in an
// English locale (the suite runs with LANG=en_US.UTF-8, see UiTestMain.cpp): the Chinese window.
TEST(LanguageTest, EnglishLocaleStillGetsTheChineseWindow)
{
    SChineseAfterwards restore;
    EXPECT_EQ(QLocale::system().language(), QLocale::English);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QSettings nothingSaved(dir.filePath(QStringLiteral("empty.conf")), QSettings::IniFormat);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Data")));
    WriteBmp(dir.filePath(QStringLiteral("Data")), QStringLiteral("texture1.bmp"), QSize(8, 8), Qt::gray);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    {
        COrboApp app(StartLanguage(std::nullopt, nothingSaved));
        ASSERT_TRUE(app.InitInstance());
        CMainFrame* frame = app.MainFrame();
        EXPECT_EQ(frame->menuBar()->actions().value(0)->text(), QStringLiteral("文件(&F)"));
        QStringList groups;
        for (const QGroupBox* box : frame->LeftPortion()->findChildren<QGroupBox*>())
            groups << box->title();
        EXPECT_TRUE(groups.contains(QStringLiteral("圆环控制"))) << groups.join(' ').toStdString();
        EXPECT_EQ(frame->LeftPortion()->Button(IDC_CHOOSE_TEXTURE)->text(), QStringLiteral("选择纹理>>"));
        EXPECT_EQ(frame->LeftPortion()->Button(IDC_WIREFRAME)->geometry().width(),
                  CDialogUnits(DialogFont()).X(31));
        EXPECT_TRUE(frame->statusBar()->findChildren<QLabel*>().value(0)->text() == QStringLiteral("就绪"));
        const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        EXPECT_TRUE(frame->LanguageAction(ELanguage::Chinese)->isChecked());
        frame->close();
    }
    QDir::setCurrent(before);
}

} // namespace
