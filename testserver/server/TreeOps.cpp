// Changes of the item tree that move contents on disk with them: trash, restore, purge,
// move, copy, overwrite and merge.
#include "TreeOps.h"
#include "NameText.h"
#include "StoreSetup.h"
#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace tovisrv {

namespace {

bool MoveOnDisk(const std::string& from, const std::string& to)
{
    std::error_code ec;
    if (!fs::exists(from, ec))
        return true;   // an unfinished upload has no content yet
    fs::create_directories(fs::path(to).parent_path(), ec);
    fs::rename(from, to, ec);
    return !ec;
}

void CopyChildren(CStore& store, const StoreItem& from, uint64_t to)
{
    std::vector<uint64_t> children(from.children.begin(), from.children.end());
    for (const uint64_t idx : children) {
        const StoreItem* child = store.Find(idx);
        if (!child || (child->kind == 'F' && child->incomplete))
            continue;
        StoreItem copy = *child;
        StoreItem& made = store.NewItem(child->kind, child->name, to, store.Find(to)->owner);
        made.dtype = child->kind == 'D' ? '1' : child->dtype;
        made.size = copy.size;
        made.clientMtime = copy.clientMtime;
        made.mtime = copy.mtime;
        if (child->kind == 'D')
            CopyChildren(store, *child, made.idx);
    }
}

}

bool CTreeOps::Trash(CStore& store, StoreItem& item)
{
    StoreItem* bin = store.TopOfType(item.owner, '6');
    if (!bin)
        return false;
    const std::string from = store.DiskPath(item);
    item.formerParent = item.parent;
    item.formerPath = store.NamePath(item.parent);
    store.Detach(item);
    store.Attach(item, bin->idx);
    item.trashed = true;
    return MoveOnDisk(from, store.DiskPath(item));
}

void CTreeOps::Purge(CStore& store, uint64_t idx)
{
    StoreItem* item = store.Find(idx);
    if (!item)
        return;
    const std::vector<uint64_t> children(item->children.begin(), item->children.end());
    for (const uint64_t child : children)
        Purge(store, child);
    std::error_code ec;
    const StoreItem* parent = store.Find(item->parent);
    const bool binTop = parent && parent->parent == 0 && parent->dtype == '6';
    const std::string path = store.DiskPath(*item);
    fs::remove_all(binTop ? fs::path(path).parent_path() : fs::path(path), ec);
    fs::remove_all(store.UserDir(item->owner) + "/.versions/" + std::to_string(idx), ec);
    fs::remove(store.PartialPath(*item), ec);
    for (auto& [id, user] : store.Users())
        user.shortcuts.erase(std::remove(user.shortcuts.begin(), user.shortcuts.end(), idx), user.shortcuts.end());
    store.Erase(idx);
}

bool CTreeOps::Move(CStore& store, StoreItem& item, uint64_t target, const std::string& name)
{
    const std::string from = store.DiskPath(item);
    store.Detach(item);
    item.name = name;
    store.Attach(item, target);
    return MoveOnDisk(from, store.DiskPath(item));
}

StoreItem* CTreeOps::Copy(CStore& store, const StoreItem& source, uint64_t target, const std::string& name)
{
    const StoreItem* folder = store.Find(target);
    if (!folder || (source.kind == 'F' && source.incomplete))
        return nullptr;
    const StoreItem original = source;   // the reference may move as items are added
    StoreItem& made = store.NewItem(original.kind, name, target, folder->owner);
    made.size = original.size;
    made.clientMtime = original.clientMtime;
    made.mtime = original.mtime;
    std::error_code ec;
    fs::create_directories(fs::path(store.DiskPath(made)).parent_path(), ec);
    fs::copy(store.DiskPath(original), store.DiskPath(made), fs::copy_options::recursive, ec);
    if (original.kind == 'D') {
        fs::create_directories(store.DiskPath(made), ec);
        CopyChildren(store, original, made.idx);
    }
    return store.Find(made.idx);
}

bool CTreeOps::Overwrite(CStore& store, StoreItem& source, StoreItem& existing, bool move, const std::string& saver)
{
    const uint64_t folder = existing.parent;
    if (source.kind == 'F' && existing.kind == 'F') {
        if (move) {
            const std::string name = existing.name;
            Purge(store, existing.idx);
            return Move(store, source, folder, name);
        }
        const std::string temp = store.PartialPath(existing) + ".copy";
        std::error_code ec;
        fs::create_directories(fs::path(temp).parent_path(), ec);
        fs::copy_file(store.DiskPath(source), temp, fs::copy_options::overwrite_existing, ec);
        if (ec)
            return false;
        existing.incomplete = false;
        existing.clientMtime = source.clientMtime;
        return store.ReplaceContent(existing, temp, saver);
    }
    if (source.kind != existing.kind) {
        // A file and a folder cannot merge: both stay.
        const std::string name = store.FreeName(folder, source.name);
        return move ? Move(store, source, folder, name) : Copy(store, source, folder, name) != nullptr;
    }
    const std::vector<uint64_t> children(source.children.begin(), source.children.end());
    bool ok = true;
    for (const uint64_t idx : children) {
        StoreItem* child = store.Find(idx);
        if (!child)
            continue;
        if (StoreItem* same = store.ChildNamed(existing.idx, child->name))
            ok = Overwrite(store, *child, *same, move, saver) && ok;
        else
            ok = (move ? Move(store, *child, existing.idx, child->name)
                       : Copy(store, *child, existing.idx, child->name) != nullptr) && ok;
    }
    if (move)
        Purge(store, source.idx);
    return ok;
}

std::string CTreeOps::FormerLocation(CStore& store, const StoreItem& item)
{
    if (item.trashed)
        return item.formerPath;
    // Inside a trashed folder: that folder's former place, then the folders in between.
    std::vector<std::string> names;
    const StoreItem* at = store.Find(item.parent);
    while (at && !at->trashed) {
        names.insert(names.begin(), at->name);
        at = store.Find(at->parent);
    }
    if (!at)
        return std::string();
    std::string path = at->formerPath + "/" + at->name;
    for (const std::string& name : names)
        path += "/" + name;
    return path;
}

StoreItem* CTreeOps::RestoreTarget(CStore& store, StoreItem& item)
{
    if (item.trashed) {
        StoreItem* former = store.Find(item.formerParent);
        if (former && former->kind == 'D' && !store.InBin(*former) && former->owner == item.owner)
            return former;
    }
    std::string error;
    return CStoreSetup::MakeFolders(store, item.owner, FormerLocation(store, item), error);
}

bool CTreeOps::Restore(CStore& store, StoreItem& item, uint64_t target, const std::string& name)
{
    const StoreItem* parent = store.Find(item.parent);
    const bool binTop = parent && parent->parent == 0 && parent->dtype == '6';
    const std::string slot = fs::path(store.DiskPath(item)).parent_path();
    item.trashed = false;
    item.formerParent = 0;
    item.formerPath.clear();
    const bool ok = Move(store, item, target, name);
    if (binTop) {
        std::error_code ec;
        fs::remove_all(slot, ec);
    }
    return ok;
}

bool CTreeOps::HasShare(CStore& store, const StoreItem& item)
{
    if (item.share.on)
        return true;
    for (const uint64_t idx : item.children)
        if (const StoreItem* child = store.Find(idx); child && HasShare(store, *child))
            return true;
    return false;
}

}
