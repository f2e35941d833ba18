#pragma once

// Degrees to radians. Frames are exact only with the two factors they have
// always been drawn with, which come from two different decimal values of pi:
// the mesh and the camera use 3.1415926 / 180, the model rotations 3.14159 / 180.
// Each is written as its decimal value: dividing in doubles would give a result
// one unit in the last place off, which would move pixels.
inline constexpr double kRadiansPerDegreeFromPi3_1415926 = 0.017453292222222222;
inline constexpr double kRadiansPerDegreeFromPi3_14159 = 0.01745327777777778;
