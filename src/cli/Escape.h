#pragma once

#include <string>
#include <string_view>

// Text from the command line or the file system made safe to print on one line:
// control characters and bytes that are not UTF-8 become escapes (\n, \t, \r,
// \e and \xHH), so that a value can neither break a message in two nor send
// sequences to the terminal. Printable UTF-8 passes unchanged.
std::string Escaped(std::string_view bytes);
