#pragma once

#include "imageio/FileError.h"

#include <QString>

// Why a file could not be read or written, in the window's language: the
// common system errors and the loader's own reasons in Chinese, with the
// system's or the image library's words in brackets where there are any.
QString FailureText(const SFileError& error);
