#pragma once

#include <QString>

#include <string>

// The texture the view starts with. Run from its source or working folder the
// program finds ./Data/texture1.bmp in the current directory; started from its
// install (a desktop menu, another folder) it falls back to the copy installed
// beside it. When neither exists the relative path is returned, so that the
// failure concerns the file the user would look for.
std::string DefaultTexturePath();

// The folder the texture dialog opens in: ./Data when it exists, else the
// installed data folder when that exists, else the current directory.
QString TextureFolder();
