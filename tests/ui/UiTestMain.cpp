// Runs the window tests inside one QApplication, on Qt's offscreen platform
// unless another one is asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no windows.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // An English locale, where the window must still speak Chinese unless asked.
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LC_ALL", "en_US.UTF-8");
    qunsetenv("LANGUAGE");
    // The default texture is looked for in the working folder only, never in an
    // install of the program on this machine (nor by the orbo-render started here).
    qputenv("ORBO_DATA_DIR", QByteArray());
    // The program's settings (the language chosen) go to a folder of the
    // tests' own, never to the user's.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Orbo"));
    return RUN_ALL_TESTS();
}
