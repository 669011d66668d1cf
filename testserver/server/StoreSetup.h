// Builds storage state by path for the control channel and the demo account.
#pragma once
#include "Store.h"

namespace tovisrv {

// Paths are "/"-joined names from a top-level folder: "My Files/docs/a.txt". The caller
// holds the store's lock.
class CStoreSetup {
public:
    static StoreItem* Resolve(CStore& store, const std::string& user, const std::string& path);
    // Makes the missing folders of the path; the existing ones are kept.
    static StoreItem* MakeFolders(CStore& store, const std::string& user, const std::string& path,
                                  std::string& error);
    // A complete file with this content (replacing one of the same name).
    static StoreItem* PutFile(CStore& store, const std::string& user, const std::string& path,
                              const std::string& content, std::string& error);
    // An unfinished upload: `content` arrived of `announced` bytes.
    static StoreItem* PutPartial(CStore& store, const std::string& user, const std::string& path,
                                 const std::string& content, uint64_t announced, std::string& error);
    // The demo account "demo" / "demo1234" with a few folders and files; the domain's
    // address becomes `host` when given.
    static bool MakeDemo(CStore& store, const std::string& host, std::string& error);
};

}
