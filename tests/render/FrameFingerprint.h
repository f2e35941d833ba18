#pragma once

#include <string>
#include <vector>

// One frame of the torus, described by every setting that can change its pixels,
// with the SHA-256 of its RGB bytes (rows from the top, three bytes a pixel).
struct SFrameCase
{
    int mode = 0, light = 1, shading = 0;
    int surfaceSteps = 18, sectionSteps = 18;
    int ringRadius = 200, sectionRadius = 80;
    int width = 520, height = 600;
    double angleX = 0.0, angleY = 0.0;
    std::string texture = "default"; // "default" (Data/texture1.bmp) or "small" (37 x 23)
    std::string digest;              // hex, empty until rendered

    // One line of the table: key=value fields separated by spaces.
    std::string ToLine() const;
    // Reads a line written by ToLine; false on anything else.
    static bool FromLine(const std::string& line, SFrameCase& out);
};

// The settings the table pins: hand-picked corners and a fixed pseudo-random spread.
std::vector<SFrameCase> FingerprintCases();

// Renders the case with the given number of threads (0: the renderer's own
// choice) and returns the hex SHA-256 of its RGB bytes; an empty string when the
// default texture cannot be read from sourceDir. With inspect the frame is drawn
// with the pixel inspector's records on.
std::string RenderDigest(const SFrameCase& frame, const std::string& sourceDir, int threads = 0,
                         bool inspect = false);
