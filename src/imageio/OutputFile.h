#pragma once

#include <cstdint>
#include <span>
#include <string>

// Writes bytes as the whole content of the file named by path, taken as the
// bytes the system uses whatever their encoding. A regular file (or a missing
// one) is written beside its place under a temporary name and renamed over it
// once complete, so that a failure leaves neither a partial file nor a damaged
// earlier one; where the folder cannot take a new file, an existing writable
// file is overwritten in place instead. Anything else that exists (a pipe, a
// terminal, /dev/null, /dev/full) is written into and never replaced. On
// failure returns false with the reason in error ("No space left on device").
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);

// Writes every byte to an open descriptor, such as standard output.
bool WriteAllTo(int fd, std::span<const std::uint8_t> bytes, std::string& error);
