#pragma once

#include "ui/OrboView.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <ostream>
#include <string>

// Failure messages show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// Writes a BMP of one colour into folder and returns its full path.
inline QString WriteBmp(const QString& folder, const QString& name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = QDir(folder).filePath(name);
    image.save(path, "BMP");
    return path;
}

// Records the messages a view would have shown instead of showing them.
struct SMessageLog
{
    QStringList titles;
    QStringList texts;

    COrboView::MessageHook Hook()
    {
        return [this](QWidget*, const QString& title, const QString& text) {
            titles << title;
            texts << text;
        };
    }
};

// Blue, green, red of texel (0, 0), as the view keeps it.
inline QColor FirstTexel(const COrboView& view)
{
    const auto& texels = view.Renderer().Texture().Texels();
    if (texels.size() < 4)
        return QColor();
    return QColor(texels[2], texels[1], texels[0]);
}
