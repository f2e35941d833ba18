#pragma once

// Degrees to radians for the mesh and the camera: 3.1415926 / 180, as a literal.
inline constexpr double kRadiansPerDegree = 0.017453292222222222;
