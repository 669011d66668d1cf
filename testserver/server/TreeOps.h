// Changes of the item tree that move contents on disk with them: trash, restore, purge,
// move, copy, overwrite and merge.
#pragma once
#include "Store.h"

namespace tovisrv {

// The caller holds the store's lock. IDX values stay with an item through moves, trash
// and restore; copies get new ones.
class CTreeOps {
public:
    // Into the owner's recycle bin, remembering where it was.
    static bool Trash(CStore& store, StoreItem& item);
    // Gone for good: content, versions, partial copies, the whole subtree.
    static void Purge(CStore& store, uint64_t idx);
    static bool Move(CStore& store, StoreItem& item, uint64_t target, const std::string& name);
    // The new item, or nullptr.
    static StoreItem* Copy(CStore& store, const StoreItem& item, uint64_t target, const std::string& name);
    // `source` takes the place of the same-named `existing` in `existing`'s folder: files are
    // replaced (a copy keeps the old content as a version), folders merged item by item.
    static bool Overwrite(CStore& store, StoreItem& source, StoreItem& existing, bool move, const std::string& saver);

    // Where a recycle-bin item came from: "/"-joined names from the top level.
    static std::string FormerLocation(CStore& store, const StoreItem& item);
    // The folder a bin item goes back to; missing folders are made again. nullptr when the
    // top-level folder itself is gone.
    static StoreItem* RestoreTarget(CStore& store, StoreItem& item);
    static bool Restore(CStore& store, StoreItem& item, uint64_t target, const std::string& name);
    // Whether the item or anything under it is shared.
    static bool HasShare(CStore& store, const StoreItem& item);
};

}
