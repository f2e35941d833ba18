#pragma once

#include <cassert>
#include <cstddef>

// Where the logical pixels of a width x height image lie. Logical (x, y) has its
// origin at the centre of the image and y up; it is device column x + width/2 and
// device row height/2 - y (rows from the top), the halves taken by integer
// division. Everything that turns one kind of coordinate into the other goes
// through here, so the image, its records, the window and the command line agree.
class CPixelMapping
{
public:
    CPixelMapping(int width, int height) : m_nWidth(width), m_nHeight(height) {}

    // The device column and row of logical x and y, possibly outside the image;
    // wide enough never to overflow.
    long long Column(int x) const { return static_cast<long long>(x) + m_nWidth / 2; }
    long long Row(int y) const { return static_cast<long long>(m_nHeight / 2) - y; }

    // The logical x and y of a device column and row.
    int X(int column) const { return column - m_nWidth / 2; }
    int Y(int row) const { return m_nHeight / 2 - row; }

    // The logical extent of the image: x from XMin() to XMax(), y from YMin() to
    // YMax(). Empty (min above max) for an image without pixels.
    int XMin() const { return X(0); }
    int XMax() const { return X(m_nWidth - 1); }
    int YMin() const { return Y(m_nHeight - 1); }
    int YMax() const { return Y(0); }

    bool Contains(int x, int y) const
    {
        const long long col = Column(x), row = Row(y);
        return col >= 0 && col < m_nWidth && row >= 0 && row < m_nHeight;
    }

    // The index of logical (x, y), which must lie inside, in rows from the top.
    std::size_t Index(int x, int y) const
    {
        assert(Contains(x, y));
        return static_cast<std::size_t>(Row(y)) * static_cast<std::size_t>(m_nWidth) +
               static_cast<std::size_t>(Column(x));
    }

private:
    int m_nWidth;
    int m_nHeight;
};
