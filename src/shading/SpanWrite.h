#pragma once

#include <cstddef>
#include <cstdint>

// Writes a batch's colours into the image: the samples of span s, those before
// spanEnd[s] and from spanEnd[s - 1] on (from 0 for the first), go to row
// spanRow[s] at their columns px, each colour with the bits of high set (the
// sink's opaque bits, say); a later sample overwrites an earlier one at the
// same column. A span whose samples took consecutive columns is copied several
// colours at a time (SIMD, the widest instruction set of the processor).
void WriteSpans(const std::uint32_t* colours, const int* px, const std::size_t* spanEnd,
                std::uint32_t* const* spanRow, std::size_t spans, std::uint32_t high);
