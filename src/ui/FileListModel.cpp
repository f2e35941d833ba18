#include "ui/FileListModel.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QTreeView>

CFileListModel::CFileListModel(QObject* parent) : QIdentityProxyModel(parent)
{
}

QVariant CFileListModel::data(const QModelIndex& index, int role) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole || (index.column() != kSize && index.column() != kDate))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    // What the model leaves empty (a folder's size, entries not yet read) stays so.
    if (QIdentityProxyModel::data(index, role).toString().isEmpty())
        return QString();
    const QLocale language;
    if (index.column() == kSize)
        return language.formattedDataSize(files->size(source));
    return language.toString(files->lastModified(source), QLocale::ShortFormat);
}

void CFileListModel::Install(QFileDialog& dialog)
{
    dialog.setProxyModel(new CFileListModel(&dialog));
    // The detail view: size, type and date as wide as their widest entry (and
    // heading), the name column the rest of the width.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(kName, QHeaderView::Stretch);
        for (int column : {kSize, kType, kDate})
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}
