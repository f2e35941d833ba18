#include "ui/FailureText.h"

#include <QCoreApplication>

#include <cerrno>

namespace {

// The texts are marked for lupdate where they stand and translated here.
QString Tr(const char* text)
{
    return QCoreApplication::translate("FailureText", text);
}

// The common system errors; an empty string for the rest.
QString SystemReason(int code)
{
    switch (code) {
    case EACCES:
    case EPERM:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "没有权限"));
    case ENOSPC:
    case EDQUOT:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "磁盘空间不足"));
    case EROFS:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "文件系统是只读的"));
    case ENOENT:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "文件或文件夹不存在"));
    case ENOTDIR:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "路径中有一部分不是文件夹"));
    case EFBIG:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "文件太大"));
    case EISDIR:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "这是一个文件夹，不是文件"));
    case ENXIO:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "没有程序在读取这个管道"));
    case ENODEV:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "设备不存在"));
    case ETIMEDOUT:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "读取的程序在两秒内没有接收数据，图片可能不完整"));
    case ENAMETOOLONG:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "文件名太长"));
    case ELOOP:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "符号链接层数太多"));
    case EIO:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "读写出错"));
    default:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "系统错误"));
    }
}

QString KindReason(SFileError::EKind kind)
{
    using EKind = SFileError::EKind;
    switch (kind) {
    case EKind::kFolder:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "这是一个文件夹，不是文件"));
    case EKind::kNotRegular:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "不是普通文件（是管道或设备）"));
    case EKind::kSocket:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "这是一个套接字，不是文件"));
    case EKind::kEmpty:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "文件是空的"));
    case EKind::kFileTooLarge:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "文件太大，不能用作纹理"));
    case EKind::kNotAnImage:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "不是 BMP、PNG 或 JPEG 图片"));
    case EKind::kCorrupt:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "文件不完整或已损坏"));
    case EKind::kImageTooLarge:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "图片太大"));
    case EKind::kNoMemory:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "内存不足"));
    case EKind::kEmptyFrame:
        return Tr(QT_TRANSLATE_NOOP("FailureText", "画面是空的（宽或高为 0）"));
    case EKind::kNone:
    case EKind::kSystem:
        break;
    }
    return QString();
}

// "reason（words）", or the words alone where there is no reason of our own.
QString WithWords(const QString& reason, const std::string& words)
{
    const QString own = QString::fromLocal8Bit(words.data(), static_cast<qsizetype>(words.size()));
    if (reason.isEmpty())
        return own;
    return own.isEmpty() ? reason : Tr(QT_TRANSLATE_NOOP("FailureText", "%1（%2）")).arg(reason, own);
}

} // namespace

QString FailureText(const SFileError& error)
{
    QString text = error.m_kind == SFileError::EKind::kSystem
                       ? WithWords(SystemReason(error.m_nErrno), error.m_strDetail)
                       : WithWords(KindReason(error.m_kind), error.m_strDetail);
    if (text.isEmpty())
        text = QString::fromStdString(error.m_strText);
    if (error.m_bDamaged)
        text += Tr(QT_TRANSLATE_NOOP("FailureText", "；文件已损坏：它是原地写入的，原有内容已部分丢失"));
    return text;
}
