#include "ui/TextureDialog.h"

#include "ui/FileListModel.h"

#include <QRegularExpression>

CTextureDialog::CTextureDialog(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter)
    : QFileDialog(parent, caption, folder)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::AnyFile);
    const QStringList filters = DialogFilters(filter);
    setNameFilters(filters);
    if (!filters.isEmpty())
        selectNameFilter(filters.first());
    // Sizes and dates in the program's language, every column wide enough to be read.
    CFileListModel::Install(*this);
    resize(sizeHint().expandedTo(QSize(720, 460)));
}

QString CTextureDialog::GetOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                        const QString& filter)
{
    CTextureDialog dialog(parent, caption, folder, filter);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

// With details hidden the dialog shows an entry without its last parenthesised
// part and filters by that part, so "All Files (*.*)" becomes
// "All Files (*.*) (*)": shown as written, matching every file.
QStringList CTextureDialog::DialogFilters(const QString& filter)
{
    static const QRegularExpression patternsAtEnd(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    QStringList result;
    for (const QString& entry : filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = patternsAtEnd.match(entry);
        QStringList patterns = match.hasMatch()
                                   ? match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                   : QStringList{QStringLiteral("*")};
        for (QString& pattern : patterns)
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        result << QStringLiteral("%1 (%2)").arg(entry.trimmed(), patterns.join(QLatin1Char(' ')));
    }
    return result;
}
