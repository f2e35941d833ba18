#pragma once

#include <QLocale>

// Installs Qt's own translations for language: the words of its dialogs, their
// buttons, messages and file lists. Replaces those a previous call installed;
// a language Qt has no catalogue for leaves Qt's own English. Returns whether
// a catalogue was found.
bool LoadQtCatalogues(const QLocale& language);
