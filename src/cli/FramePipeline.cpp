#include "cli/FramePipeline.h"

#include <tbb/info.h>
#include <tbb/parallel_pipeline.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <mutex>

namespace {

// What the frames in flight may take together, unless that is fewer than two.
constexpr std::size_t kFlightBytes = std::size_t{512} << 20;

} // namespace

// One frame on its way: drawn, then encoded, then written.
struct CFramePipeline::SFrame
{
    int m_nNumber = 0;
    CPixelSink m_sink{0, 0};
    std::vector<std::uint8_t> m_bytes;
    bool m_bEncoded = false;
    std::string m_strError;
};

CFramePipeline::CFramePipeline(int inFlight) : m_nInFlight(std::max(1, inFlight))
{
}

CFramePipeline::~CFramePipeline() = default;

int CFramePipeline::FramesInFlight(std::size_t frameBytes)
{
    const int perThreads = 2 * std::max(1, tbb::info::default_concurrency());
    const std::size_t fit = kFlightBytes / std::max<std::size_t>(frameBytes, 1);
    return static_cast<int>(
        std::clamp<std::size_t>(fit, 2, static_cast<std::size_t>(std::max(perThreads, 2))));
}

CFramePipeline::SFrame* CFramePipeline::TakeFrame()
{
    const std::lock_guard<std::mutex> lock(m_freeMutex);
    if (!m_free.empty()) {
        SFrame* frame = m_free.back();
        m_free.pop_back();
        return frame;
    }
    // No more frames are in flight than the pipeline lets in.
    assert(m_frames.size() < static_cast<std::size_t>(m_nInFlight));
    m_frames.push_back(std::make_unique<SFrame>());
    return m_frames.back().get();
}

void CFramePipeline::GiveBack(SFrame* frame)
{
    const std::lock_guard<std::mutex> lock(m_freeMutex);
    m_free.push_back(frame); // the storage reserved beforehand: cannot throw
}

bool CFramePipeline::Run(int count, const Draw& draw, const Encode& encode, const Write& write)
{
    // Every frame is free again, also after a run that an exception ended.
    m_nFailedFrame = -1;
    m_strError.clear();
    m_free.clear();
    for (const std::unique_ptr<SFrame>& frame : m_frames)
        m_free.push_back(frame.get());
    m_free.reserve(static_cast<std::size_t>(m_nInFlight));
    m_frames.reserve(static_cast<std::size_t>(m_nInFlight));

    // Set once a frame has failed: no frame is drawn or encoded after that.
    std::atomic<bool> failed{false};
    int next = 0;
    const auto drawNext = [&](tbb::flow_control& control) -> SFrame* {
        if (next >= count || failed.load(std::memory_order_relaxed)) {
            control.stop();
            return nullptr;
        }
        SFrame* frame = TakeFrame();
        frame->m_nNumber = next++;
        frame->m_bEncoded = false;
        frame->m_strError.clear();
        draw(frame->m_nNumber, frame->m_sink);
        return frame;
    };
    const auto encodeOne = [&](SFrame* frame) -> SFrame* {
        if (!failed.load(std::memory_order_relaxed))
            frame->m_bEncoded = encode(frame->m_sink, frame->m_bytes, frame->m_strError);
        return frame;
    };
    const auto writeInOrder = [&](SFrame* frame) {
        if (!failed.load(std::memory_order_relaxed)) {
            const bool written =
                frame->m_bEncoded && write(frame->m_nNumber, frame->m_bytes, frame->m_strError);
            if (!written) {
                m_nFailedFrame = frame->m_nNumber;
                m_strError = frame->m_strError;
                failed.store(true, std::memory_order_relaxed);
            }
        }
        GiveBack(frame);
    };
    tbb::parallel_pipeline(
        static_cast<std::size_t>(m_nInFlight),
        tbb::make_filter<void, SFrame*>(tbb::filter_mode::serial_in_order, drawNext) &
            tbb::make_filter<SFrame*, SFrame*>(tbb::filter_mode::parallel, encodeOne) &
            tbb::make_filter<SFrame*, void>(tbb::filter_mode::serial_in_order, writeInOrder));
    return m_nFailedFrame < 0;
}
