// What one connection remembers between the requests of a session: the current session,
// the upload or download in hand, the pending file operation and the paging cursor.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovisrv {

struct PendingOperation {
    enum class Kind { None, Done, Conflict, ShareConfirm, Property };
    Kind kind = Kind::None;
    char action = 0;          // 'C' copy, 'M' move, 'R' restore
    uint64_t item = 0;
    uint64_t target = 0;      // target folder
    std::vector<uint64_t> items;   // property sets
};

struct ConnectionSession {
    std::string sid;           // the session the connection used last

    // An H0 announce that waits for the overwrite decision.
    bool awaitingDecision = false;
    uint64_t uploadIdx = 0;
    uint64_t uploadSize = 0;
    uint64_t storedBytes = 0;
    bool storedPartial = false;
    std::string uploadMtime;

    // An H1 announce answered with 40 that waits for the position.
    bool downloadPending = false;
    uint64_t downloadIdx = 0;
    int downloadVersion = 0;

    // An H1 announce of an old version that the server "prepares" first: the rounds of
    // continue requests still answered with "wait", and what the announce asked.
    bool preparing = false;
    int prepareLeft = 0;
    bool prepareCompare = false;   // the announce carried a local size and checksum
    uint64_t prepareLocal = 0;
    std::string prepareChecksum;

    PendingOperation operation;

    // Properties spread over pages (the propertyPages switch): continuation pages still to come.
    int propertyPagesLeft = 0;
    std::vector<std::pair<int, std::string>> propertyFields;   // every page carries the totals

    // A thumbnail sent in pages (the thumbnailPageBytes switch): the picture and where its next
    // page starts; 0 when no picture is under way.
    uint64_t thumbnailIdx = 0;
    uint64_t thumbnailNext = 0;

    // Paging: the request that the last page answered and where the next page starts.
    std::string pageKey;
    size_t pageNext = 0;
};

}
