#include "ui/DialogUnits.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

#include <cmath>

QFont DialogFont()
{
    QFont font = QApplication::font();
    // The forms are drawn for 宋体 (SimSun): that face where installed, else the
    // nearest Song (Ming) style face, and sans-serif Chinese faces only after them.
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback")});
    font.setPointSize(9);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const int pixelSize = QFontInfo(font).pixelSize();
    m_dCellHeight = pixelSize > 0 ? pixelSize : metrics.height();
    // U+4E2D, an ideograph as wide as the em square in every Chinese font.
    const double ideograph = metrics.horizontalAdvance(QChar(0x4E2D));
    m_dCellWidth = ideograph > 0.0 ? ideograph / 2.0 : metrics.averageCharWidth();
}

// Rounded to the nearest pixel, halves away from zero.
int CDialogUnits::X(int units) const
{
    return static_cast<int>(std::lround(units * m_dCellWidth / 4.0));
}

int CDialogUnits::Y(int units) const
{
    return static_cast<int>(std::lround(units * m_dCellHeight / 8.0));
}

QRect CDialogUnits::Rect(int x, int y, int width, int height) const
{
    return QRect(X(x), Y(y), X(width), Y(height));
}

QSize CDialogUnits::Size(int width, int height) const
{
    return QSize(X(width), Y(height));
}
