#include "imageio/OutputFile.h"
#include "render/TorusRenderer.h"
#include "ui/Language.h"
#include "ui/MainFrame.h"
#include "ui/OrboApp.h"
#include "ui/OrboView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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

// Reads the command line. Bad usage (an unknown option, a value missing or
// not understood) ends the program with status 2, as orbo-render's does; Qt's
// parser answers --help and --version.
void ReadCommandLine(QCommandLineParser& parser, const QCoreApplication& application)
{
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "orbo: %s (try --help)\n", qPrintable(parser.errorText()));
        std::exit(2);
    }
    parser.process(application);
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
        ReadCommandLine(parser, core);
        if (parser.isSet(kVersionOption)) {
            std::printf("%s %s\nLicence: %s\n", qPrintable(COrboApp::kAppName), ORBO_VERSION, ORBO_LICENSE);
            // A full disk or a closed output is said so, as orbo-render says it.
            if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
                std::fprintf(stderr, "orbo: cannot write to the standard output: %s\n", std::strerror(errno));
                return 1;
            }
        }
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
    ReadCommandLine(parser, application);
    const std::optional<ELanguage> asked = CommandLineLanguage(parser);
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (!settings)
        std::fprintf(stderr, "orbo: ignoring the settings file '%s': it is not a regular file\n",
                     QFile::encodeName(SettingsPath()).constData());

    COrboApp app(settings ? StartLanguage(asked, *settings) : asked.value_or(ELanguage::Chinese));
    if (!app.InitInstance())
        return 1;
    // The threads that draw: fewer than asked for when some could not be started.
    const CTorusRenderer& renderer = app.MainFrame()->View()->Renderer();
    if (renderer.ThreadCount() < renderer.ThreadsAsked())
        std::fprintf(stderr, "orbo: only %d of %d drawing threads could be started (%s); drawing with %d\n",
                     renderer.ThreadCount(), renderer.ThreadsAsked(), renderer.ThreadStartFailure().c_str(),
                     renderer.ThreadCount());
    return application.exec();
}
