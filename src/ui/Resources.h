#pragma once

// Registers the program's pictures (toolbar icons, About picture, texture
// placeholder, program icon) under ":/orbo". They are compiled into a static
// library, whose registration the linker would otherwise drop. Safe to call
// more than once.
void InitOrboResources();
