// Writes the frame-fingerprint table to standard output. Run it on purpose only,
// when a change is meant to alter frames:
//   build/bin/orbo-make-fingerprints > tests/render/frame_fingerprints.txt

#include "FrameFingerprint.h"

#include <iostream>

int main()
{
    std::cout << "# Frame fingerprints: SHA-256 of each frame's RGB bytes, rows from the top.\n"
                 "# Made by orbo-make-fingerprints; checked by orbo_fingerprint_tests.\n";
    for (SFrameCase frame : FingerprintCases()) {
        frame.digest = RenderDigest(frame, ORBO_SOURCE_DIR);
        if (frame.digest.empty()) {
            std::cerr << "cannot read " ORBO_SOURCE_DIR "/Data/texture1.bmp\n";
            return 1;
        }
        std::cout << frame.ToLine() << '\n';
    }
    return 0;
}
