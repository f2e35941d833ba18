#include "imageio/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

const char* const kLocalFolder = "./Data";
const char* const kTextureName = "texture1.bmp";
const char* const kDataFolderVariable = "ORBO_DATA_DIR";

// The folder of the running executable. The window has an application object
// that knows it; orbo-render has none, so the link the kernel keeps is read.
QString ProgramFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

// The installed data folders, whether they exist or not: relative to the
// executable first, then the absolute folder the build was configured for; or
// the one ORBO_DATA_DIR names instead, none when it is set but empty.
QStringList InstalledFolders()
{
    QStringList folders;
    if (qEnvironmentVariableIsSet(kDataFolderVariable)) {
        const QString named = qEnvironmentVariable(kDataFolderVariable);
        if (!named.isEmpty())
            folders << QDir::cleanPath(named);
        return folders;
    }
    const QString program = ProgramFolder();
    if (!program.isEmpty())
        folders << QDir::cleanPath(QDir(program).filePath(QStringLiteral(ORBO_INSTALLED_DATA_FROM_BIN)));
    const QString configured = QDir::cleanPath(QStringLiteral(ORBO_INSTALLED_DATA_DIR));
    if (!folders.contains(configured))
        folders << configured;
    return folders;
}

} // namespace

std::vector<std::string> DefaultTextureCandidates()
{
    std::vector<std::string> paths;
    paths.push_back(QFile::encodeName(QStringLiteral("%1/%2").arg(kLocalFolder, kTextureName)).toStdString());
    for (const QString& folder : InstalledFolders())
        paths.push_back(QFile::encodeName(QDir(folder).filePath(kTextureName)).toStdString());
    return paths;
}

std::string DefaultTexturePath()
{
    const std::vector<std::string> candidates = DefaultTextureCandidates();
    for (const std::string& path : candidates)
        if (QFileInfo::exists(QFile::decodeName(path.c_str())))
            return path;
    return candidates.front();
}

QString TextureFolder()
{
    if (QFileInfo(kLocalFolder).isDir())
        return QString(kLocalFolder);
    for (const QString& folder : InstalledFolders())
        if (QFileInfo(folder).isDir())
            return folder;
    return QStringLiteral(".");
}
