// One HTTP GET through WinINet into a file, shared by the client's update check and the update
// program (both link this library; neither exports it).
//
// Blocks the calling thread: up to kOpenTimeoutMs for the server's answer, then the transfer,
// which fails once the server stays silent for kStallTimeoutMs. A cancel ends it at once.
#pragma once
#include <windows.h>
#include <functional>

namespace updatefetch {

const DWORD kOpenTimeoutMs = 3000;
// The longest a connection may stay silent (connect, send or receive) before the download fails.
const DWORD kStallTimeoutMs = 15000;

struct Options {
    // Set: the download stops and fails at once, also while a server that stopped answering
    // holds a read (that read is left to finish on a thread of its own).
    HANDLE cancelEvent = nullptr;
    // The announced body length, once, before the first piece; then each piece's size.
    std::function<void(unsigned long long)> onLength;
    std::function<void(unsigned long long)> onPiece;
    // Closes the written file; CloseHandle unless a test fails it on purpose.
    std::function<BOOL(HANDLE)> closeFile;
    // Prefix of the trace lines, naming the caller.
    const wchar_t* traceName = L"HTTPDown";
};

// Stores the body of url in path. True only for a 200 answer with a Content-Length whose body
// arrived whole, was written and closed. Once the server answered 200, a false leaves no file
// at path (an earlier file of that name included); before, an earlier file stays.
bool Download(const wchar_t* url, const wchar_t* path, const Options& options);

}
