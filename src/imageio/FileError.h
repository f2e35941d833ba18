#pragma once

#include <string>

// Why a file could not be read or written: the kind of fault, the system's
// error number where the system gave one, and the reason as one line of English
// text (the system's own words for a system error). The window turns the kind
// and number into its own language; orbo-render prints m_strText.
struct SFileError
{
    enum class EKind {
        kNone,
        kSystem,        // m_nErrno says why
        kFolder,        // a folder where a file was wanted
        kNotRegular,    // a pipe or a device where a file was wanted
        kSocket,        // a socket where a file was wanted
        kEmpty,         // the file holds no bytes
        kFileTooLarge,  // more bytes than any texture needs
        kNotAnImage,    // none of the formats read
        kCorrupt,       // truncated or corrupt; m_strDetail has the decoder's words
        kImageTooLarge, // more texels than a texture may have
        kNoMemory,
        kEmptyFrame, // a frame of width or height 0: PNG cannot hold it
    };
    EKind m_kind = EKind::kNone;
    int m_nErrno = 0;
    std::string m_strText;
    std::string m_strDetail; // the system's or the image library's own words, if any
    bool m_bDamaged = false; // a file written in place was left part old, part new

    // A system error: the kind, the number and strerror's words.
    static SFileError System(int code);
    static SFileError Of(EKind kind, std::string text, std::string detail = {});
};
