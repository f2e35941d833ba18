#pragma once

#include <cstdint>

// An RGB colour of three doubles, nominally 0..1 per channel. Nothing clamps
// implicitly: sums and products may leave the range until Clamp() is called.
class CColor
{
public:
    double r = 1.0;
    double g = 1.0;
    double b = 1.0;

    constexpr CColor() = default;
    constexpr CColor(double red, double green, double blue) : r(red), g(green), b(blue) {}

    // Each channel below 0 or not a number becomes 0, each above 1 becomes 1.
    void Clamp()
    {
        r = ClampChannel(r);
        g = ClampChannel(g);
        b = ClampChannel(b);
    }

    // Packs the colour as 0x00bbggrr: every channel times 255, truncated toward
    // zero and reduced to its low 8 bits (no clamping: 1.5 gives 382 -> 126).
    std::uint32_t ToColorRef() const
    {
        return ChannelByte(r) | (ChannelByte(g) << 8) | (ChannelByte(b) << 16);
    }

private:
    static constexpr double ClampChannel(double v)
    {
        if (!(v >= 0.0)) // below 0, or NaN
            return 0.0;
        return v > 1.0 ? 1.0 : v;
    }
    static std::uint32_t ChannelByte(double v)
    {
        return static_cast<std::uint32_t>(static_cast<int>(v * 255.0)) & 0xFFu;
    }
};

inline CColor operator+(const CColor& a, const CColor& c)
{
    return {a.r + c.r, a.g + c.g, a.b + c.b};
}
inline CColor operator-(const CColor& a, const CColor& c)
{
    return {a.r - c.r, a.g - c.g, a.b - c.b};
}
// Channel-wise product: modulates a light colour by a reflectance.
inline CColor operator*(const CColor& a, const CColor& c)
{
    return {a.r * c.r, a.g * c.g, a.b * c.b};
}
inline CColor operator*(const CColor& c, double s)
{
    return {s * c.r, s * c.g, s * c.b};
}
inline CColor operator*(double s, const CColor& c)
{
    return {s * c.r, s * c.g, s * c.b};
}
inline CColor operator+=(CColor& a, const CColor& c)
{
    a.r += c.r;
    a.g += c.g;
    a.b += c.b;
    return a;
}

// The colour c0 at t0 and c1 at t1, linear between and beyond (t0 != t1): the
// interpolation of line colours and of Gouraud spans.
inline CColor InterpolateColor(double t, double t0, double t1, const CColor& c0, const CColor& c1)
{
    return c0 * ((t - t1) / (t0 - t1)) + c1 * ((t - t0) / (t1 - t0));
}
