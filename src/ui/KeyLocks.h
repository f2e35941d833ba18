#pragma once

// The keyboard's lock states, when the windowing system tells them (X11);
// elsewhere (Wayland, no display) bKnown stays false.
struct SKeyLocks
{
    bool bKnown = false;
    bool bCaps = false;
    bool bNum = false;
    bool bScroll = false;
};

SKeyLocks QueryKeyLocks();
