#pragma once

#include "raster/PixelSink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

// Draws, encodes and writes a sequence of frames with every core busy. The
// frames are drawn one after another, in order (the renderer runs threads of its
// own); the frames drawn before are encoded meanwhile, several at once on
// whichever threads are free, and written in order as each one's turn comes.
// At most a few frames are in flight, each with its pixels and its bytes, and
// their storage is used again for the frames after, so the memory a sequence
// takes does not grow with its length.
class CFramePipeline
{
public:
    // Draws frame number n into sink (whose size and content it sets).
    using Draw = std::function<void(int n, CPixelSink& sink)>;
    // Encodes the frame into bytes (replacing what they held); false, with the
    // reason in error, when it cannot.
    using Encode =
        std::function<bool(const CPixelSink& sink, std::vector<std::uint8_t>& bytes, std::string& error)>;
    // Writes frame number n's bytes; false, with the reason in error, when it cannot.
    using Write = std::function<bool(int n, std::span<const std::uint8_t> bytes, std::string& error)>;

    // At most inFlight frames (at least 1) between their drawing and the end of
    // their writing.
    explicit CFramePipeline(int inFlight);
    ~CFramePipeline();
    CFramePipeline(const CFramePipeline&) = delete;
    CFramePipeline& operator=(const CFramePipeline&) = delete;

    // The frames to keep in flight for frames of frameBytes bytes each: two for
    // each thread the processors run at once, fewer for large frames so that
    // they take no more than about half a gigabyte, and never fewer than two, so
    // that a frame is drawn while the one before is encoded.
    static int FramesInFlight(std::size_t frameBytes);
    int InFlight() const { return m_nInFlight; }

    // Draws, encodes and writes frames 0 to count - 1. Stops at the first frame,
    // in frame order, whose encoding or writing fails, and returns false: every
    // frame before it has been written, none after it, and FailedFrame and Error
    // say which and why. An exception thrown by draw, encode or write ends the
    // run and is passed on once the frames in flight have stopped.
    bool Run(int count, const Draw& draw, const Encode& encode, const Write& write);
    int FailedFrame() const { return m_nFailedFrame; }
    const std::string& Error() const { return m_strError; }

private:
    struct SFrame;
    SFrame* TakeFrame();
    void GiveBack(SFrame* frame);

    int m_nInFlight;
    std::vector<std::unique_ptr<SFrame>> m_frames; // made as they are first needed
    std::vector<SFrame*> m_free;                   // taken by the drawing, given back by the writing
    std::mutex m_freeMutex;
    int m_nFailedFrame = -1;
    std::string m_strError;
};
