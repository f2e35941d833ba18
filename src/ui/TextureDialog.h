#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

// The open dialog of the texture chooser. It is Qt's own dialog rather than the
// desktop's, so that it speaks the program's language whatever the desktop and
// keeps the behaviour below everywhere:
// - any typed name is accepted, also one of a file that does not exist (the view
//   then reports that it cannot load it);
// - the filter entries read as given, but an entry whose pattern is "*.*" lists
//   every file, also those without a dot in their names, as it does on Windows;
// - the process's working directory is left alone.
class CTextureDialog : public QFileDialog
{
    Q_OBJECT

public:
    // filter: entries separated by ";;", each "text(patterns)"; the first is selected.
    CTextureDialog(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);

    // Shows the dialog modally; returns the chosen full path, or an empty string
    // when cancelled.
    static QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                   const QString& filter);

    // The entries as the dialog is given them: each shown text followed by the
    // patterns it really matches, which the dialog keeps out of sight.
    static QStringList DialogFilters(const QString& filter);
};
