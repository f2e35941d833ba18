#pragma once

#include "raster/PixelSink.h"

#include <QByteArray>
#include <QMimeData>

// A frame on the clipboard, offered as PNG bytes from the program's own encoder
// at its smallest setting, encoded when a program first asks for them. Only
// image/png is offered: were an image offered as such, the platform would
// encode it with Qt's writer for other programs (Wayland's clipboard does, for
// every image type). Within the program the clipboard's image is the frame.
class CPictureMimeData : public QMimeData
{
public:
    explicit CPictureMimeData(CPixelSink frame);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    CPixelSink m_frame;
    mutable QByteArray m_png; // empty until asked for
};
