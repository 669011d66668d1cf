// The folder/file record that listings, new folders and search hits carry.
#pragma once
#include "Store.h"

namespace tovisrv {

class CItemRecord {
public:
    // D0 items and the F0 reply. Items in the recycle bin carry their former location (197)
    // and folders there the type "D".
    static Record Listing(CStore& store, const StoreItem& item);
    // The folder's own first D0 record: change stamp and counters, never a kind (25).
    static Record Self(CStore& store, const StoreItem& folder);
    // Counters of the self record and of D4: sub-folders, files, links.
    static void Counts(CStore& store, const StoreItem& folder, uint64_t& folders, uint64_t& files,
                       uint64_t& links);
    // A D2 hit: no 44; 197/239 name the containing folder.
    static Record Hit(CStore& store, const StoreItem& item);
};

}
