// The folder/file record that listings, new folders and search hits carry.
#include "ItemRecord.h"
#include "NameText.h"
#include "TreeOps.h"

namespace tovisrv {

Record CItemRecord::Listing(CStore& store, const StoreItem& item)
{
    Record record;
    const bool inBin = store.InBin(item);
    record[25] = std::string(1, item.kind);
    record[173] = std::to_string(item.idx);
    record[178] = std::to_string(item.parent);
    record[177] = "1";
    record[181] = CNameText::ToWire(item.name);
    record[188] = item.mtime;
    record[189] = store.Permission(item);
    record[231] = store.Information(item);
    record[29] = item.share.on ? "Y" : "N";
    record[30] = "N";
    record[62] = "N";
    if (item.kind == 'D') {
        record[5] = "2222";
        record[27] = std::string(1, inBin && item.parent != 0 ? 'D' : item.dtype);
        bool subFolders = false;
        for (const uint64_t child : item.children)
            if (const StoreItem* c = store.Find(child); c && c->kind == 'D')
                subFolders = true;
        record[28] = subFolders ? "Y" : "N";
        if (item.dtype == '5' && item.parent != 0)
            record[179] = std::to_string(item.idx);
        if (!item.passwordDigest.empty())
            record[198] = item.passwordDigest;
    } else {
        record[192] = std::to_string(item.incomplete ? 0 : item.size);
        if (store.Config().fileKeys && item.fileKey.size() == 32)
            record[9] = item.fileKey;
        if (!item.passwordDigest.empty())
            record[237] = item.passwordDigest;
    }
    if (item.parent == 0)
        record[158] = item.sortKey;
    if (inBin && item.parent != 0)
        record[197] = CNameText::ToWire(CTreeOps::FormerLocation(store, item));
    return record;
}

void CItemRecord::Counts(CStore& store, const StoreItem& folder, uint64_t& folders, uint64_t& files,
                         uint64_t& links)
{
    folders = files = links = 0;
    for (const uint64_t idx : folder.children) {
        const StoreItem* child = store.Find(idx);
        if (!child)
            continue;
        (child->kind == 'D' ? folders : files) += 1;
        links += child->links.size();
    }
}

Record CItemRecord::Self(CStore& store, const StoreItem& folder)
{
    uint64_t folders, files, links;
    Counts(store, folder, folders, files, links);
    return {{173, std::to_string(folder.idx)}, {177, "1"}, {157, std::to_string(folder.stamp)},
            {166, std::to_string(folders)}, {167, std::to_string(files)}, {227, std::to_string(links)},
            {235, "0"}};
}

Record CItemRecord::Hit(CStore& store, const StoreItem& item)
{
    Record record;
    record[25] = std::string(1, item.kind);
    record[173] = std::to_string(item.idx);
    record[178] = std::to_string(item.parent);
    record[177] = "1";
    if (item.kind == 'D')
        record[27] = std::string(1, item.dtype);
    record[181] = CNameText::ToWire(CNameText::Cut(item.name, 511));
    record[219] = CNameText::ToWire(CNameText::Cut(item.name, 127));
    record[197] = CNameText::ToWire(store.NamePath(item.parent));
    record[239] = store.IdxPath(item.parent);
    if (item.kind == 'F')
        record[192] = std::to_string(item.size);
    record[188] = item.mtime;
    if (store.Config().fileKeys && item.kind == 'F' && item.fileKey.size() == 32)
        record[9] = item.fileKey;
    return record;
}

}
