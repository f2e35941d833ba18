#pragma once

#include <QIdentityProxyModel>

class QFileDialog;

// The file list of the program's file dialogs, as Qt's file model gives it but
// with sizes and dates in the program's language (the model itself writes them
// in the system's, "1.2 KiB", "7 Dec 2026"), and the columns of the detail view
// as wide as what they show.
class CFileListModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    enum EColumn { kName = 0, kSize = 1, kType = 2, kDate = 3 };

    explicit CFileListModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;

    // Puts the list into dialog (one of Qt's own dialogs, not the desktop's) and
    // sizes its detail columns to their contents, the name taking the rest.
    static void Install(QFileDialog& dialog);
};
