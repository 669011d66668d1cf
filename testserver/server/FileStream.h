// Sends a stored file (or its tail) as an H4 header and H4 data frames.
#pragma once
#include "StoreRequest.h"

namespace tovisrv {

class CFileStream {
public:
    // Opens the file under the store's lock, then lets the lock go for the stream itself.
    // A file that cannot be opened gets E0 1301. Each data frame carries as many 65,000-byte
    // pieces as the frame factor of the options (159) says; the header message carries `header`.
    static void Send(CStoreRequest& request, const std::string& path, uint64_t offset, uint64_t length,
                     std::vector<Record> header = {});
};

}
