#pragma once

#include <QString>

#include <string>
#include <vector>

// Where both programs look for the default texture, in this order:
//   1. ./Data/texture1.bmp, relative to the current folder: run from its source
//      or working folder, a program uses the texture found there;
//   2. share/orbo/Data/texture1.bmp of the install the running program belongs
//      to, found relative to the program's own folder (a moved install still
//      finds it);
//   3. the same file in the data folder the build was configured to install to.
// The environment variable ORBO_DATA_DIR, when set, names the one folder that
// takes the place of 2 and 3; set but empty, nothing beyond the current folder
// is looked at (the tests run so, whatever is installed on the machine).
// Paths are in the file system's encoding; the first one is relative, the others
// absolute. Duplicates are left out.
std::vector<std::string> DefaultTextureCandidates();

// The first candidate that exists. When none does the relative path is returned,
// so that the failure concerns the file the user would look for.
std::string DefaultTexturePath();

// The folder the texture dialog opens in: ./Data when it exists, else the
// installed data folder when that exists, else the current directory.
QString TextureFolder();
