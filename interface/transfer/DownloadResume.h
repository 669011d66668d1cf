// What a download does with a local file that is already there: the server's answer to an
// announce that carried the local size and checksum, and the two ways on from it (resume at the
// local size, or replace the file whole). Shared by the download window and the restore.
#pragma once
#include "ToviInterfaceApi.h"
#include <windows.h>

class CToviProto;

namespace download {

enum class LocalMatch {
    Resume,      // the local bytes are the start of the server's file: fetch the rest
    Complete,    // the local file is the server's file
    Conflict,    // the files differ: the caller decides (skip, overwrite, ...)
    FromStart,   // no answer to compare: the server streams the file from its first byte
};

// answer: the announce reply's match answer ("Y", "N" or anything else).
TOVIINTERFACE_API LocalMatch MatchLocal(const char* answer, __int64 serverSize, __int64 localSize);

// Replaces the local file whole: the pending answer is dropped with the connection, the file is
// emptied and the file is announced again from position 0 and without a checksum, so that the
// server sends every byte from the first and they land from the file's first byte. The result
// of the announce (0 on success).
TOVIINTERFACE_API int Reannounce(CToviProto& proto, HWND wnd, HANDLE file, char* itemId, char* folderId, char* version,
                                 char* fileKey);

// Fetches the rest of a file whose first localSize bytes are already there: the data lands
// after them. The result of the position request (0 on success).
TOVIINTERFACE_API int ResumeAt(CToviProto& proto, HANDLE file, __int64 localSize);

}
