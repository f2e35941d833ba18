#pragma once

#include "render/PixelFacts.h"
#include "render/PixelHistory.h"

#include <string>
#include <vector>

// The facts of one pixel as orbo-render --inspect prints them: one key=value a
// line, each line ending in a newline, keys in a fixed order and only those the
// frame's drawing has.
std::string PixelFactsText(const SPixelFacts& facts);

// The history of a pixel as --history prints it: "history=N", then one line an
// entry, as key=value fields (sample, order, facet, then x, depth,
// tested-against and passed for a fill's sample, then colour where one was
// written); numbers written as PixelFactsText writes them.
std::string HistoryText(const std::vector<SHistoryEntry>& history);

// "depth-min=" and "depth-max=" lines: the least and greatest depth drawn, or
// none when nothing was drawn.
std::string DepthRangeText(bool any, double least, double greatest);
