#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// The font of the control panel and the About box: 9-point 宋体 or the
// nearest Chinese face installed.
QFont DialogFont();

// Converts the dialog units in which the forms are laid out into pixels of a
// font. A horizontal unit is a quarter of the font's average character width and
// a vertical unit an eighth of its character height. The character cell of a
// Chinese font is its em square: the height is the font's pixel size and an
// average (half-width) character is half as wide as an ideograph. A 9-point font
// on a 96 dpi screen gives a 6 x 12 pixel cell, so 1.5 pixels a unit.
class CDialogUnits
{
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    // Position and size are converted separately, as dialog templates are.
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

private:
    double m_dCellWidth;
    double m_dCellHeight;
};
