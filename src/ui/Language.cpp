#include "ui/Language.h"

#include "ui/QtCatalogues.h"
#include "ui/Resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

#include <sys/stat.h>

namespace {

const QString kLanguageKey = QStringLiteral("language");
// Built from translations/orbo_en.ts and compiled into the program.
const QString kEnglishCatalogue = QStringLiteral(":/orbo/translations/orbo_en.qm");

ELanguage g_windowLanguage = ELanguage::Chinese;
// The program's catalogue installed last; a new choice replaces it.
QTranslator* g_pProgramCatalogue = nullptr;

void RemoveCatalogue(QTranslator*& translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}

// The catalogue, installed; null when it cannot be read.
QTranslator* Installed(QTranslator* translator, bool loaded)
{
    if (loaded) {
        QCoreApplication::installTranslator(translator);
        return translator;
    }
    delete translator;
    return nullptr;
}

} // namespace

std::optional<ELanguage> LanguageFromCode(const QString& code)
{
    if (code == QStringLiteral("zh"))
        return ELanguage::Chinese;
    if (code == QStringLiteral("en"))
        return ELanguage::English;
    return std::nullopt;
}

QString LanguageCode(ELanguage language)
{
    return language == ELanguage::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<ELanguage> SavedLanguage(const QSettings& settings)
{
    return LanguageFromCode(settings.value(kLanguageKey).toString());
}

bool SaveLanguage(QSettings& settings, ELanguage language)
{
    settings.setValue(kLanguageKey, LanguageCode(language));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

ELanguage StartLanguage(std::optional<ELanguage> commandLine, const QSettings& settings)
{
    if (commandLine)
        return *commandLine;
    return SavedLanguage(settings).value_or(ELanguage::Chinese);
}

QString SettingsOrganization()
{
    return QStringLiteral("Orbo");
}

QString SettingsApplication()
{
    return QStringLiteral("Orbo");
}

QString SettingsPath()
{
    // Where QSettings keeps a user's settings of this organisation and application.
    return QStringLiteral("%1/%2/%3.conf")
        .arg(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), SettingsOrganization(),
             SettingsApplication());
}

std::unique_ptr<QSettings> OpenSettings()
{
    // Looked at before QSettings opens it, which it does at once and without a
    // way to refuse a pipe. The file alone: no system-wide fallbacks, which
    // could be pipes as well.
    const QString path = SettingsPath();
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return nullptr;
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

bool InstallLanguage(ELanguage language)
{
    InitOrboResources();
    RemoveCatalogue(g_pProgramCatalogue);
    if (language == ELanguage::English) {
        auto* catalogue = new QTranslator;
        g_pProgramCatalogue = Installed(catalogue, catalogue->load(kEnglishCatalogue));
        if (!g_pProgramCatalogue) {
            InstallLanguage(ELanguage::Chinese);
            return false;
        }
        // Qt's own texts are English already; dates and sizes follow the system
        // where it speaks English, and American English elsewhere.
        const QLocale system = QLocale::system();
        const QLocale english =
            system.language() == QLocale::English ? system : QLocale(QLocale::English, QLocale::UnitedStates);
        QLocale::setDefault(english);
        LoadQtCatalogues(english);
        g_windowLanguage = ELanguage::English;
        return true;
    }
    // Chinese whatever the system's locale: Qt's own dialogs (file dialogs, their
    // messages, standard buttons) and the dates and sizes they show too.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    LoadQtCatalogues(chinese);
    g_windowLanguage = ELanguage::Chinese;
    return true;
}

ELanguage WindowLanguage()
{
    return g_windowLanguage;
}
