#include "ui/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char* const kLocalFolder = "./Data";
const char* const kTextureName = "texture1.bmp";

// The installed data folder: first relative to the executable, which survives
// moving the whole install; then the absolute folder it was configured for.
QString InstalledFolder()
{
    const QString besideBinary =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(ORBO_DATA_DIR_FROM_BIN));
    if (QFileInfo(besideBinary).isDir())
        return QDir::cleanPath(besideBinary);
    const QString configured = QStringLiteral(ORBO_DATA_DIR);
    if (QFileInfo(configured).isDir())
        return configured;
    return QString();
}

} // namespace

std::string DefaultTexturePath()
{
    const QString local = QStringLiteral("%1/%2").arg(kLocalFolder, kTextureName);
    if (QFileInfo::exists(local))
        return QFile::encodeName(local).toStdString();
    const QString folder = InstalledFolder();
    if (!folder.isEmpty()) {
        const QString installed = QDir(folder).filePath(kTextureName);
        if (QFileInfo::exists(installed))
            return QFile::encodeName(installed).toStdString();
    }
    return QFile::encodeName(local).toStdString();
}

QString TextureFolder()
{
    if (QFileInfo(kLocalFolder).isDir())
        return QString(kLocalFolder);
    const QString folder = InstalledFolder();
    return folder.isEmpty() ? QStringLiteral(".") : folder;
}
