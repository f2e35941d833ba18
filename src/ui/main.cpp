#include "imageio/OutputFile.h"
#include "ui/Language.h"
#include "ui/OrboApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

const QCommandLineOption kLanguageOption(
    QStringLiteral("lang"),
    QStringLiteral("The window's language for this run: en (English) or zh "
                   "(Chinese). Without it the window speaks the language chosen "
                   "in its Help menu, Chinese until one is chosen."),
    QStringLiteral("en|zh"));

// Qt's own version option prints the name and version only; this one adds the
// licence beneath.
const QCommandLineOption kVersionOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Displays version information."));

void DescribeProgram(QCommandLineParser& parser)
{
    QCoreApplication::setApplicationName(COrboApp::kAppName);
    QCoreApplication::setApplicationVersion(QStringLiteral(ORBO_VERSION));
    parser.setApplicationDescription(QStringLiteral("Shows a torus drawn by its own software renderer."));
    parser.addHelpOption();
    parser.addOption(kVersionOption);
    parser.addOption(kLanguageOption);
}

// The language asked for on the command line, if any; exits with a message on
// a value that names none.
std::optional<ELanguage> CommandLineLanguage(const QCommandLineParser& parser)
{
    if (!parser.isSet(kLanguageOption))
        return std::nullopt;
    const QString code = parser.value(kLanguageOption);
    const std::optional<ELanguage> language = LanguageFromCode(code);
    if (!language) {
        std::fprintf(stderr, "orbo: --lang takes en or zh, not '%s'\n", qPrintable(code));
        std::exit(2);
    }
    return language;
}

bool AsksForInformationOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // --help and --version answer without a display.
    if (AsksForInformationOnly(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        DescribeProgram(parser);
        parser.process(core);
        if (parser.isSet(kVersionOption))
            std::printf("%s %s\nLicence: %s\n", qPrintable(COrboApp::kAppName), ORBO_VERSION, ORBO_LICENSE);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "orbo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                             "orbo-render draws the torus into a PNG file without one\n");
        return 1;
    }

    // A picture saved past the file-size limit, or into a pipe whose reader has
    // gone, fails with a message instead of ending the program.
    IgnoreWriteSignals();
    QApplication application(argc, argv);
    QCommandLineParser parser;
    DescribeProgram(parser);
    parser.process(application);
    const QSettings settings(SettingsOrganization(), SettingsApplication());

    COrboApp app(StartLanguage(CommandLineLanguage(parser), settings));
    if (!app.InitInstance())
        return 1;
    return application.exec();
}
