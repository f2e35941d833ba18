// Compiled once per instruction set by Highway and picked at run time.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "shading/SpanWrite.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include "shading/SpanWrite.h"

HWY_BEFORE_NAMESPACE();
namespace orbo_span_write {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void WriteSpansImpl(const std::uint32_t* colours, const int* px, const std::size_t* spanEnd,
                    std::uint32_t* const* spanRow, std::size_t spans, std::uint32_t high)
{
    const hn::ScalableTag<std::int32_t> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto highBits = hn::Set(d, static_cast<std::int32_t>(high));
    const auto iota = hn::Iota(d, 0);
    const auto step = hn::Set(d, static_cast<std::int32_t>(lanes));
    const auto* in = reinterpret_cast<const std::int32_t*>(colours);
    for (std::size_t s = 0, i = 0; s < spans; i = spanEnd[s++]) {
        const std::size_t end = spanEnd[s], n = end - i;
        std::uint32_t* const row = spanRow[s];
        // Consecutive columns: every px[i + k] is px[i] + k. The last vector
        // overlaps the one before it where n is not a whole number of vectors.
        bool consecutive = n >= lanes;
        if (consecutive) {
            auto expected = hn::Add(hn::Set(d, px[i]), iota);
            auto differ = hn::Zero(d);
            for (std::size_t k = 0; k + lanes <= n; k += lanes) {
                differ = hn::Or(differ, hn::Xor(hn::LoadU(d, px + i + k), expected));
                expected = hn::Add(expected, step);
            }
            const auto last = hn::Add(hn::Set(d, px[i] + static_cast<int>(n - lanes)), iota);
            differ = hn::Or(differ, hn::Xor(hn::LoadU(d, px + end - lanes), last));
            consecutive = hn::AllTrue(d, hn::Eq(differ, hn::Zero(d)));
        }
        if (!consecutive) {
            for (std::size_t k = i; k < end; ++k)
                row[px[k]] = colours[k] | high;
            continue;
        }
        // The overlapping last vector writes some pixels twice, the same colours.
        auto* out = reinterpret_cast<std::int32_t*>(row + px[i]);
        for (std::size_t k = 0; k + lanes <= n; k += lanes)
            hn::StoreU(hn::Or(hn::LoadU(d, in + i + k), highBits), d, out + k);
        hn::StoreU(hn::Or(hn::LoadU(d, in + end - lanes), highBits), d, out + n - lanes);
    }
}

} // namespace HWY_NAMESPACE
} // namespace orbo_span_write
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orbo_span_write {
HWY_EXPORT(WriteSpansImpl);
} // namespace orbo_span_write

void WriteSpans(const std::uint32_t* colours, const int* px, const std::size_t* spanEnd,
                std::uint32_t* const* spanRow, std::size_t spans, std::uint32_t high)
{
    HWY_DYNAMIC_DISPATCH(orbo_span_write::WriteSpansImpl)(colours, px, spanEnd, spanRow, spans, high);
}
#endif // HWY_ONCE
