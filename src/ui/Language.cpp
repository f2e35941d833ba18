#include "ui/Language.h"

#include "ui/QtCatalogues.h"
#include "ui/Resources.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

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

void SaveLanguage(QSettings& settings, ELanguage language)
{
    settings.setValue(kLanguageKey, LanguageCode(language));
    settings.sync();
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
