#include "cli/PixelFactsText.h"

#include <cstdio>

namespace {

std::string Bytes(std::uint32_t colorRef)
{
    return std::to_string(colorRef & 0xFF) + "," + std::to_string((colorRef >> 8) & 0xFF) + "," +
           std::to_string((colorRef >> 16) & 0xFF);
}

std::string Number(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

std::string Triple(double a, double b, double c)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.6f,%.6f,%.6f", a, b, c);
    return text;
}

const char* DrawingName(SPixelFacts::EDrawing drawing)
{
    switch (drawing) {
    case SPixelFacts::kLines:
        return "lines";
    case SPixelFacts::kGouraud:
        return "gouraud";
    case SPixelFacts::kPhong:
        return "phong";
    case SPixelFacts::kTexture:
        return "texture";
    case SPixelFacts::kLitTexture:
        return "lit-texture";
    case SPixelFacts::kNothing:
        break;
    }
    return "nothing";
}

} // namespace

std::string PixelFactsText(const SPixelFacts& f)
{
    std::string text =
        "x=" + std::to_string(f.x) + "\ny=" + std::to_string(f.y) + "\ncolour=" + Bytes(f.colour) + "\n";
    text += std::string("drawing=") + DrawingName(f.drawing) + "\n";
    if (f.hasDepth) {
        text += "depth=" + Number(f.depth) + "\n";
    } else {
        text += f.drawing == SPixelFacts::kLines ? "depth=none\n" : "depth=background\n";
    }
    text += f.drawn ? "facet=" + std::to_string(f.i) + "," + std::to_string(f.j) + "\n" : "facet=none\n";
    if (f.hasNormal)
        text += "normal=" + Triple(f.normal.x, f.normal.y, f.normal.z) + "\n";
    if (f.hasColour) {
        text += "colour-interpolated=" + Triple(f.interpolated.r, f.interpolated.g, f.interpolated.b) + "\n";
        text += "corner-colours=";
        for (int c = 0; c < 4; ++c)
            text += (c > 0 ? ";" : "") + Bytes(f.corners[c]);
        text += "\n";
    }
    if (f.hasTexel)
        text += "texel=" + std::to_string(f.u) + "," + std::to_string(f.v) + "\n";
    return text;
}

std::string HistoryText(const std::vector<SHistoryEntry>& history)
{
    std::string text = "history=" + std::to_string(history.size()) + "\n";
    for (std::size_t k = 0; k < history.size(); ++k) {
        const SHistoryEntry& e = history[k];
        text += "sample=" + std::to_string(k) + " order=" + std::to_string(e.order) +
                " facet=" + std::to_string(e.i) + "," + std::to_string(e.j);
        if (e.tested)
            text += " x=" + Number(e.x) + " depth=" + Number(e.depth) +
                    " tested-against=" + Number(e.testedAgainst) + " passed=" + (e.passed ? "1" : "0");
        if (e.hasColour)
            text += " colour=" + Bytes(e.colour);
        text += "\n";
    }
    return text;
}

std::string DepthRangeText(bool any, double least, double greatest)
{
    if (!any)
        return "depth-min=none\ndepth-max=none\n";
    return "depth-min=" + Number(least) + "\ndepth-max=" + Number(greatest) + "\n";
}
