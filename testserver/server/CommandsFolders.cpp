// Folder listing, change detection and new folders: D0, D4, F0.
#include "CommandTable.h"
#include "ItemRecord.h"
#include "NameText.h"
#include "StoreRequest.h"
#include <filesystem>

namespace tovisrv {

namespace {

void HandleListing(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    const std::string idx = request.Field(173);
    std::vector<StoreItem*> items;
    StoreItem* folder = nullptr;
    if (idx == "0" || idx.empty()) {
        for (const uint64_t top : request.Me().tops)
            if (StoreItem* item = store.Find(top))
                items.push_back(item);
    } else {
        folder = request.Visible(idx);
        if (!folder || folder->kind != 'D') {
            request.Error("1301", "Folder not found.");
            return;
        }
        items = store.Children(folder->idx);
        if (folder->parent == 0 && folder->dtype == '9')
            request.Me().receivedUnread = 0;
    }
    const std::string filter = request.Field(25);
    std::vector<Record> records;
    for (const StoreItem* item : items) {
        if ((filter == "D" && item->kind != 'D') || (filter == "F" && item->kind != 'F'))
            continue;
        records.push_back(CItemRecord::Listing(store, *item));
    }
    Record self;
    const bool withSelf = folder && !request.Has(73) && request.Config().selfRecord;
    if (withSelf)
        self = CItemRecord::Self(store, *folder);
    request.Reply(request.Page(std::move(records), withSelf ? &self : nullptr));
}

void HandleChanged(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    const StoreItem* folder = request.Visible(request.Field(173));
    bool same = false;
    if (folder && folder->kind == 'D') {
        uint64_t folders, files, links;
        CItemRecord::Counts(request.Store(), *folder, folders, files, links);
        same = request.Field(157) == std::to_string(folder->stamp) &&
               request.Field(166) == std::to_string(folders) && request.Field(167) == std::to_string(files) &&
               request.Field(227) == std::to_string(links) && request.Field(235) == "0";
    }
    request.Reply({{{75, same ? "N" : "Y"}}});
}

void HandleNewFolder(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    StoreItem* parent = request.Visible(request.Field(173));
    if (!parent || parent->kind != 'D' || !request.Live(*parent)) {
        request.Error("1301", "Folder not found.");
        return;
    }
    if (!store.Allowed(*parent, kPermNewDir)) {
        request.Error("1320", "You have no permission to make a folder here.");
        return;
    }
    const std::string name = request.Text(181);
    if (!CNameText::IsValidName(name)) {
        request.Error("1312", "The name is not valid.");
        return;
    }
    if (StoreItem* existing = store.ChildNamed(parent->idx, name)) {
        if (existing->kind == 'F') {
            request.Error("1311", "A file with the same name exists.");
        } else if (request.Field(34) == "1" && !store.Config().existingFolder.empty()) {
            // Servers that say "already there" instead of naming the folder.
            request.Error(store.Config().existingFolder, "The folder already exists.");
        } else if (request.Field(34) == "1") {
            request.Reply({CItemRecord::Listing(store, *existing)});
        } else {
            request.Error("1310", "A folder with the same name exists.");
        }
        return;
    }
    StoreItem& folder = store.NewItem('D', name, parent->idx, parent->owner);
    std::error_code ec;
    std::filesystem::create_directories(store.DiskPath(folder), ec);
    exchange.Connection().Log("F0: folder " + std::to_string(folder.idx) + " " + name);
    request.Reply({CItemRecord::Listing(store, folder)});
}

const CCommandFamily kFolderCommands{
    {"D0", HandleListing},
    {"D4", HandleChanged},
    {"F0", HandleNewFolder},
};

}

}
