#pragma once

#include "imageio/FileError.h"

#include <cstdint>
#include <span>
#include <string>

// How an existing pipe (or device) is written: orbo-render waits for a reader
// and for it to take every byte, as a shell redirect does; the window must never
// wait on a path for long, refuses a pipe that nobody reads, and gives up on a
// reader that has not taken the image within kSpecialWriteSeconds.
enum class EPipeOpen { kWaitForReader, kFailWithoutReader };
inline constexpr int kSpecialWriteSeconds = 2;

// Writes bytes as the whole content of the file named by path, taken as the
// bytes the system uses whatever their encoding. Symbolic links are followed
// (a dangling one names the file to create), and the link stays.
//
// A missing file, or an existing regular file we may open for writing, is
// written beside its place under a temporary name ".orbo-incomplete-XXXXXX" and
// renamed over it once complete, so that a failure leaves neither a partial
// file nor a damaged earlier one; the temporary file is removed on every
// failure, and ones of ours older than a minute (left by a killed run) are
// removed when the folder is next written. A replaced file keeps its owner,
// group and mode, its access control list and its other extended attributes;
// a new file gets the umask's mode. A file we may not open for writing is
// refused untouched.
//
// Written in place instead: a file with several hard links (replacing it would
// split them), a writable file in a folder that takes no new file, and a file
// whose owner, group or attributes its replacement could not be given (another
// user's file we may write, an attribute only its owner may set). In place, the
// full size is reserved first and the file is left as it was when that fails; a
// write that fails after that leaves it damaged, and the error says so.
//
// Anything else that exists (a pipe, a terminal, /dev/null, /dev/full) is
// written into and never replaced; a socket is refused. On failure returns
// false with the reason.
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes, SFileError& error,
                    EPipeOpen pipes = EPipeOpen::kWaitForReader);

// Writes every byte to an open descriptor, such as standard output.
bool WriteAllTo(int fd, std::span<const std::uint8_t> bytes, SFileError& error);

// The first characters of our temporary files' names.
inline constexpr const char* kTemporaryPrefix = ".orbo-incomplete-";

// A write past the file-size limit (ulimit -f) or into a pipe whose reader has
// gone then fails with "File too large" or "Broken pipe" instead of ending the
// process without a word. Called once at start-up by both programs.
void IgnoreWriteSignals();
