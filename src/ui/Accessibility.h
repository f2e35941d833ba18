#pragma once

// Gives the window's own widgets the roles a screen reader expects: the view
// and the magnifier are pictures (graphic), the stepper and the inspector are
// panels, rather than the anonymous client area a plain widget is. Installed
// once; calling it again does nothing.
void InstallAccessibleRoles();
