// Properties, versions, search, thumbnails, shortcuts and backup PCs: D1, D3, D2, I2, D6,
// D7, S8.
#include "CommandTable.h"
#include "FileStream.h"
#include "ItemRecord.h"
#include "NameText.h"
#include "StoreRequest.h"
#include "TreeOps.h"
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tovisrv {

namespace {

struct Totals {
    uint64_t bytes = 0, folders = 0, files = 0;
};

void Sum(CStore& store, const StoreItem& item, Totals& totals)
{
    for (const uint64_t idx : item.children) {
        const StoreItem* child = store.Find(idx);
        if (!child)
            continue;
        if (child->kind == 'D') {
            ++totals.folders;
            Sum(store, *child, totals);
        } else {
            ++totals.files;
            totals.bytes += child->incomplete ? 0 : child->size;
        }
    }
}

void HandleProperties(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    std::vector<StoreItem*> items;
    for (const Record& record : exchange.Request().records) {
        const auto it = record.find(173);
        if (it == record.end())
            continue;
        StoreItem* item = request.Visible(it->second);
        if (!item) {
            request.Error("1301", "The item was not found.");
            return;
        }
        items.push_back(item);
    }
    ConnectionSession& conn = request.Conn();
    if (items.empty()) {
        // A continuation ({44}) or nothing asked: the next page, or the end.
        if (conn.propertyPagesLeft > 0 && request.Field(44) == "Y") {
            --conn.propertyPagesLeft;
            Record page;
            for (const auto& [id, value] : conn.propertyFields)
                page[static_cast<uint8_t>(id)] = value;
            page[44] = conn.propertyPagesLeft > 0 ? "Y" : "N";
            request.Reply({page});
            return;
        }
        conn.propertyPagesLeft = 0;
        request.Reply({{{44, "N"}}});
        return;
    }
    conn.propertyPagesLeft = request.Config().propertyPages > 1 ? request.Config().propertyPages - 1 : 0;
    Record record{{44, "N"}, {177, "1"}};
    if (items.size() == 1) {
        const StoreItem& item = *items.front();
        const UserAccount* owner = store.FindUser(item.owner);
        record[173] = std::to_string(item.idx);
        record[181] = CNameText::ToWire(item.name);
        record[187] = item.ctime;
        record[188] = item.mtime;
        record[33] = std::string(1, item.kind);
        record[29] = item.share.on ? "Y" : "N";
        record[231] = store.Information(item);
        record[169] = item.owner;
        record[183] = CNameText::ToWire(owner ? owner->name : item.owner);
        if (item.kind == 'F') {
            record[192] = std::to_string(item.size);
        } else {
            Totals totals;
            Sum(store, item, totals);
            record[190] = record[191] = std::to_string(totals.bytes);
            record[166] = std::to_string(totals.folders);
            record[167] = std::to_string(totals.files);
        }
    } else {
        Totals totals;
        for (const StoreItem* item : items) {
            if (item->kind == 'F') {
                ++totals.files;
                totals.bytes += item->size;
            } else {
                ++totals.folders;
                Sum(store, *item, totals);
            }
        }
        record[190] = record[191] = record[192] = std::to_string(totals.bytes);
        record[166] = std::to_string(totals.folders);
        record[167] = std::to_string(totals.files);
    }
    if (conn.propertyPagesLeft > 0) {
        record[44] = "Y";
        conn.propertyFields.assign(record.begin(), record.end());
    }
    request.Reply({record});
}

void HandleVersions(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* item = request.Visible(request.Field(173));
    if (!item || item->kind != 'F') {
        request.Error("1301", "File not found.");
        return;
    }
    std::vector<Record> records;
    for (auto it = item->versions.rbegin(); it != item->versions.rend(); ++it) {
        const UserAccount* saver = request.Store().FindUser(it->saver);
        Record record{{173, std::to_string(item->idx)}, {177, "1"}, {209, std::to_string(it->number)},
                      {187, it->date}, {50, "N"}, {192, std::to_string(it->size)}, {169, it->saver},
                      {183, CNameText::ToWire(saver ? saver->name : it->saver)}};
        if (request.Config().fileKeys && it->fileKey.size() == 32)
            record[9] = it->fileKey;
        records.push_back(record);
    }
    request.Reply(records);
}

struct SearchFilter {
    std::string name, owner, kind, from, to;
    bool sized = false;
    uint64_t minSize = 0, maxSize = UINT64_MAX;

    bool Matches(const StoreItem& item) const
    {
        if (kind == "D" && item.kind != 'D')
            return false;
        if (kind == "F" && item.kind != 'F')
            return false;
        if (!name.empty() && CNameText::Fold(item.name).find(CNameText::Fold(name)) == std::string::npos)
            return false;
        if (!owner.empty() && item.owner != owner)
            return false;
        const std::string date = item.mtime.substr(0, 10);
        if ((!from.empty() && date < from) || (!to.empty() && date > to))
            return false;
        if (sized && (item.kind != 'F' || item.size < minSize || item.size > maxSize))
            return false;
        return item.kind == 'D' || !item.incomplete;
    }
};

void Search(CStore& store, const StoreItem& folder, const SearchFilter& filter, std::vector<Record>& hits)
{
    for (const StoreItem* child : store.Children(folder.idx)) {
        if (filter.Matches(*child))
            hits.push_back(CItemRecord::Hit(store, *child));
        if (child->kind == 'D')
            Search(store, *child, filter, hits);
    }
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void HandleSearch(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    SearchFilter filter;
    filter.name = request.Text(181);
    filter.owner = request.Field(169);
    filter.kind = request.Field(25);
    filter.from = Trimmed(request.Field(11));
    filter.to = Trimmed(request.Field(12));
    if (request.Has(221) || request.Has(222)) {
        filter.sized = true;
        filter.minSize = request.Number(221, 0);
        filter.maxSize = request.Number(222, UINT64_MAX);
    }
    std::vector<const StoreItem*> roots;
    const std::string idx = request.Field(173);
    if (idx.empty() || idx == "0") {
        for (const uint64_t top : request.Me().tops)
            if (const StoreItem* folder = store.Find(top); folder && folder->dtype != '6')
                roots.push_back(folder);
    } else {
        const StoreItem* folder = request.Visible(idx);
        if (!folder || folder->kind != 'D' || store.InBin(*folder)) {
            request.Error("1301", "Folder not found.");
            return;
        }
        roots.push_back(folder);
    }
    std::vector<Record> hits;
    for (const StoreItem* root : roots)
        Search(store, *root, filter, hits);
    // A search page has no trailer record: every hit carries the page's continuation letter.
    std::vector<Record> page = request.Page(std::move(hits));
    const std::string more = page.back()[44];
    page.pop_back();
    for (Record& hit : page)
        hit[44] = more;
    request.Reply(std::move(page));
}

// The picture's next page as an H4 stream whose header says whether more follow; the last
// page ends the paging.
void SendThumbnailPage(CStoreRequest& request, const StoreItem& item)
{
    ConnectionSession& conn = request.Conn();
    const uint64_t at = conn.thumbnailNext;
    // A page size switched off meanwhile sends the rest at once.
    const uint64_t page = request.Config().thumbnailPageBytes;
    const uint64_t size = page > 0 ? std::min<uint64_t>(page, item.size - at) : item.size - at;
    const bool more = at + size < item.size;
    conn.thumbnailIdx = more ? item.idx : 0;
    conn.thumbnailNext = more ? at + size : 0;
    CFileStream::Send(request, request.Store().DiskPath(item), at, size, {{{44, more ? "Y" : "N"}}});
}

bool ThumbnailAllowed(CStoreRequest& request, const StoreItem* item)
{
    return item && item->kind == 'F' && !item->incomplete && request.Live(*item) &&
           request.Store().Allowed(*item, kPermPreview) && item->size <= request.Config().thumbnailMaxBytes;
}

void HandleThumbnail(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    ConnectionSession& conn = request.Conn();
    if (!request.Has(173)) {
        // A continuation: the next page of the picture under way, or the end ("N", or nothing
        // under way).
        const uint64_t idx = conn.thumbnailIdx;
        conn.thumbnailIdx = 0;
        if (idx == 0 || request.Field(44) != "Y") {
            conn.thumbnailNext = 0;
            request.Reply({{{44, "N"}}});
            return;
        }
        const StoreItem* item = request.Store().Find(idx);
        if (!ThumbnailAllowed(request, item) || conn.thumbnailNext >= item->size) {
            conn.thumbnailNext = 0;
            request.Warning("1301", "No thumbnail.");
            return;
        }
        SendThumbnailPage(request, *item);
        return;
    }
    conn.thumbnailIdx = conn.thumbnailNext = 0;
    StoreItem* item = request.Visible(request.Field(173));
    if (!ThumbnailAllowed(request, item)) {
        request.Warning("1301", "No thumbnail.");
        return;
    }
    const uint64_t page = request.Config().thumbnailPageBytes;
    if (page > 0 && item->size > page) {
        SendThumbnailPage(request, *item);
        return;
    }
    CFileStream::Send(request, request.Store().DiskPath(*item), 0, item->size);
}

void HandleShortcutSet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    const bool add = request.Field(99) != "N";
    std::vector<uint64_t>& shortcuts = request.Me().shortcuts;
    for (const Record& record : exchange.Request().records) {
        const auto it = record.find(173);
        if (it == record.end())
            continue;
        StoreItem* item = request.Visible(it->second);
        if (add && (!item || item->kind != 'D' || !request.Live(*item))) {
            request.Error("1320", "Only folders can have shortcuts.");
            return;
        }
        const uint64_t idx = item ? item->idx : std::strtoull(it->second.c_str(), nullptr, 10);
        shortcuts.erase(std::remove(shortcuts.begin(), shortcuts.end(), idx), shortcuts.end());
        if (add)
            shortcuts.push_back(idx);
    }
    request.Reply();
}

void HandleShortcutList(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    std::vector<Record> records;
    for (const uint64_t idx : request.Me().shortcuts) {
        StoreItem* item = request.Store().Find(idx);
        if (item && request.Live(*item))
            records.push_back({{173, std::to_string(idx)}, {197, CNameText::ToWire(request.Store().NamePath(idx))}});
    }
    request.Reply(records);
}

void HandleBackupRemoval(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    StoreItem* folder = request.Visible(request.Field(173));
    const StoreItem* top = folder ? store.TopOf(folder->idx) : nullptr;
    if (!folder || folder->kind != 'D' || folder->parent == 0 || !top || top->dtype != 'B') {
        request.Error("1301", "Backup PC folder not found.");
        return;
    }
    if (!store.Allowed(*folder, kPermPcDelete)) {
        request.Error("1320", "You have no permission to remove this PC.");
        return;
    }
    CTreeOps::Purge(store, folder->idx);
    request.Reply();
}

const CCommandFamily kItemCommands{
    {"D1", HandleProperties},
    {"D2", HandleSearch},
    {"D3", HandleVersions},
    {"D6", HandleShortcutSet},
    {"D7", HandleShortcutList},
    {"I2", HandleThumbnail},
    {"S8", HandleBackupRemoval},
};

}

}
