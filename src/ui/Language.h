#pragma once

#include <QString>

#include <memory>
#include <optional>

class QSettings;

// The window's language. Chinese is the language the program is written in and
// the one it speaks in every locale; English comes from the translation
// catalogue built into the program, only when the user asks for it.
enum class ELanguage { Chinese, English };

// "zh" or "en" (as --lang and the settings spell them); nothing for any other text.
std::optional<ELanguage> LanguageFromCode(const QString& code);
QString LanguageCode(ELanguage language);

// The language chosen in the Help menu and kept between runs, if any.
std::optional<ELanguage> SavedLanguage(const QSettings& settings);
// Keeps language for the next start; false when the settings could not be
// written (a read-only folder or file, a full disk).
bool SaveLanguage(QSettings& settings, ELanguage language);

// The language a start speaks: the command line's, else the one saved, else
// Chinese. The system's locale plays no part.
ELanguage StartLanguage(std::optional<ELanguage> commandLine, const QSettings& settings);

// The settings store of the program's own choices (the user's configuration folder).
QString SettingsOrganization();
QString SettingsApplication();
// Its file: Orbo/Orbo.conf in the user's configuration folder ($XDG_CONFIG_HOME,
// else ~/.config).
QString SettingsPath();
// The settings kept in that file (a missing file holds none), or null when
// something other than a regular file is there: reading a pipe would wait for
// a writer for ever, a folder or a device holds no settings.
std::unique_ptr<QSettings> OpenSettings();

// Makes the application speak language: the program's catalogue, Qt's own
// catalogue for its dialogs and buttons, and the default locale for the dates
// and sizes they show. Call once, before the first window is made. False when
// the English catalogue could not be loaded (the window then stays Chinese).
bool InstallLanguage(ELanguage language);

// The language installed last (Chinese before any).
ELanguage WindowLanguage();
