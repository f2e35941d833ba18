#pragma once

// The animation turns the torus about the x axis by 5 degrees a tick.
inline constexpr double kAnimationStep = 5.0;

// The angle after angle: 0, 5, ..., 355, 360, 0: the value 360 is shown for one
// frame before the angle returns to 0, so a turn takes 73 ticks. Any angle of
// 360 or more goes back to 0.
constexpr double NextAnimationAngle(double angle)
{
    return angle < 360.0 ? angle + kAnimationStep : 0.0;
}
