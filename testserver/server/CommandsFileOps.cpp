// File operations with their continuation questions: F1 paste, F2 delete, F3 rename,
// F4 empty the bin, F5 restore, F7 send and edit locks.
//
// One pending operation per connection. A continuation carries no item (173) and answers
// with the request's letters; with nothing pending it gets an empty reply, which ends
// every client loop. F4 continues through F2 {44}, F5 through F1 {44[,34]}.
#include "CommandTable.h"
#include "NameText.h"
#include "StoreRequest.h"
#include "TreeOps.h"
#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tovisrv {

namespace {

Record Named(const StoreItem& item, const std::string& duplicate = std::string())
{
    Record record{{181, CNameText::ToWire(item.name)}, {25, std::string(1, item.kind)}};
    if (!duplicate.empty())
        record[43] = duplicate;
    return record;
}

// A start request: copy or move now, or ask about a same-named item or a share.
void StartPaste(CStoreRequest& request, StoreItem& item, StoreItem& target, char action, bool confirmed)
{
    CStore& store = request.Store();
    PendingOperation& pending = request.Conn().operation;
    pending = PendingOperation();
    pending.action = action;
    pending.item = item.idx;
    pending.target = target.idx;
    if (action == 'M' && !confirmed && CTreeOps::HasShare(store, item)) {
        pending.kind = PendingOperation::Kind::ShareConfirm;
        request.Reply({{{240, "1329"}, {255, "Moving releases the share. Continue?"}}});
        return;
    }
    if (item.parent == target.idx) {
        if (action == 'C') {
            StoreItem* copy = CTreeOps::Copy(store, item, target.idx, store.FreeName(target.idx, item.name));
            if (!copy) {
                request.Error("1301", "The item cannot be copied.");
                return;
            }
            pending.kind = PendingOperation::Kind::Done;
            request.Reply({Named(*copy, "N")});
            return;
        }
        pending.kind = PendingOperation::Kind::Done;
        request.Reply({Named(item, "N")});
        return;
    }
    if (store.ChildNamed(target.idx, item.name)) {
        pending.kind = PendingOperation::Kind::Conflict;
        request.Reply({Named(item, "Y")});
        return;
    }
    const bool ok = action == 'M' ? CTreeOps::Move(store, item, target.idx, item.name)
                                  : CTreeOps::Copy(store, item, target.idx, item.name) != nullptr;
    if (!ok) {
        request.Error("1301", "The item cannot be pasted.");
        return;
    }
    pending.kind = PendingOperation::Kind::Done;
    request.Reply({Named(item, "N")});
}

void StartRestore(CStoreRequest& request, StoreItem& item)
{
    CStore& store = request.Store();
    PendingOperation& pending = request.Conn().operation;
    pending = PendingOperation();
    StoreItem* target = CTreeOps::RestoreTarget(store, item);
    if (!target) {
        request.Error("1301", "The original folder no longer exists.");
        return;
    }
    pending.action = 'R';
    pending.item = item.idx;
    pending.target = target->idx;
    if (store.ChildNamed(target->idx, item.name)) {
        pending.kind = PendingOperation::Kind::Conflict;
        request.Reply({Named(item, "Y")});
        return;
    }
    CTreeOps::Restore(store, item, target->idx, item.name);
    pending.kind = PendingOperation::Kind::Done;
    request.Reply({Named(item, "N")});
}

// The answer to a same-named item: "1" overwrite (folders merge), "2" skip, "0" keep both.
void Resolve(CStoreRequest& request, PendingOperation pending)
{
    CStore& store = request.Store();
    StoreItem* item = store.Find(pending.item);
    StoreItem* target = store.Find(pending.target);
    if (!item || !target || request.Field(44) != "Y")
        return;
    const std::string mode = request.Field(34);
    if (mode == "2")
        return;
    StoreItem* existing = store.ChildNamed(target->idx, item->name, item->idx);
    const std::string saver = request.Me().id;
    if (pending.action == 'R') {
        if (mode == "1" && existing && existing->kind == 'F' && item->kind == 'F') {
            CTreeOps::Purge(store, existing->idx);
            existing = nullptr;
        }
        if (mode == "1" && existing && existing->kind == 'D' && item->kind == 'D') {
            item->trashed = false;
            CTreeOps::Overwrite(store, *item, *existing, true, saver);
            return;
        }
        CTreeOps::Restore(store, *item, target->idx, store.FreeName(target->idx, item->name));
        return;
    }
    if (mode == "1" && existing) {
        CTreeOps::Overwrite(store, *item, *existing, pending.action == 'M', saver);
        return;
    }
    const std::string name = store.FreeName(target->idx, item->name);
    if (pending.action == 'M')
        CTreeOps::Move(store, *item, target->idx, name);
    else
        CTreeOps::Copy(store, *item, target->idx, name);
}

void ContinuePaste(CStoreRequest& request)
{
    const PendingOperation pending = request.Conn().operation;
    request.Conn().operation = PendingOperation();
    if (pending.kind == PendingOperation::Kind::ShareConfirm && request.Field(44) == "Y") {
        StoreItem* item = request.Store().Find(pending.item);
        StoreItem* target = request.Store().Find(pending.target);
        if (item && target) {
            // The move releases the shares on the way.
            std::vector<StoreItem*> stack{item};
            while (!stack.empty()) {
                StoreItem* at = stack.back();
                stack.pop_back();
                at->share = FolderShare();
                for (const uint64_t child : at->children)
                    if (StoreItem* c = request.Store().Find(child))
                        stack.push_back(c);
            }
            StartPaste(request, *item, *target, pending.action, true);
            return;
        }
    }
    if (pending.kind == PendingOperation::Kind::Conflict)
        Resolve(request, pending);
    request.Reply();
}

void HandlePaste(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    if (!request.Has(173)) {
        ContinuePaste(request);
        return;
    }
    request.Conn().operation = PendingOperation();
    CStore& store = request.Store();
    StoreItem* item = request.Visible(request.Field(173));
    StoreItem* target = request.Visible(request.Field(180));
    if (!item || !request.Live(*item) || item->parent == 0) {
        request.Error("1301", "The item was not found.");
        return;
    }
    if (!target || target->kind != 'D' || !request.Live(*target)) {
        request.Error("1301", "The target folder was not found.");
        return;
    }
    const char action = request.Field(35) == "M" ? 'M' : 'C';
    if (!(store.Allowed(*target, kPermNewDir) || store.Allowed(*target, kPermNewFile)) ||
        !store.Allowed(*item, action == 'M' ? kPermMoveCut : kPermCopy)) {
        request.Error("1320", "You have no permission for this.");
        return;
    }
    if (item->kind == 'D' && store.IsAncestor(item->idx, target->idx)) {
        request.Error("1321", "A folder cannot be pasted into itself.");
        return;
    }
    StartPaste(request, *item, *target, action, request.Field(29) == "Y");
}

void HandleDelete(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    if (!request.Has(173)) {
        request.Conn().operation = PendingOperation();
        request.Reply();
        return;
    }
    request.Conn().operation = PendingOperation();
    StoreItem* item = request.Visible(request.Field(173));
    if (!item) {
        request.Error("1301", "The item was not found.");
        return;
    }
    const std::string version = request.Field(209);
    if (!version.empty() && version != "0") {
        const int number = std::atoi(version.c_str());
        auto& versions = item->versions;
        const auto it = std::find_if(versions.begin(), versions.end(),
                                     [number](const FileVersion& v) { return v.number == number; });
        if (it == versions.end()) {
            request.Error("1301", "Version not found.");
            return;
        }
        std::error_code ec;
        std::filesystem::remove(store.VersionPath(*item, number), ec);
        versions.erase(it);
        store.Touch(item->parent);
        request.Reply();
        return;
    }
    const bool inBin = store.InBin(*item);
    const bool toBin = request.Field(36) == "1" && !inBin;
    if (item->parent == 0 || !store.Allowed(*item, toBin ? kPermDelete : kPermDelComp)) {
        request.Error("1320", "You have no permission to delete this.");
        return;
    }
    const Record reply = Named(*item);
    if (toBin)
        CTreeOps::Trash(store, *item);
    else
        CTreeOps::Purge(store, item->idx);
    request.Conn().operation.kind = PendingOperation::Kind::Done;
    request.Reply({reply});
}

void HandleRename(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    StoreItem* item = request.Visible(request.Field(173));
    if (!item) {
        request.Error("1301", "The item was not found.");
        return;
    }
    if (item->parent == 0 || !request.Live(*item) || !store.Allowed(*item, kPermRename)) {
        request.Error("1320", "You have no permission to rename this.");
        return;
    }
    const std::string name = request.Text(181);
    if (!CNameText::IsValidName(name)) {
        request.Error("1312", "The name is not valid.");
        return;
    }
    if (store.ChildNamed(item->parent, name, item->idx)) {
        request.Error("1311", "An item with the same name exists.");
        return;
    }
    CTreeOps::Move(store, *item, item->parent, name);
    request.Reply();
}

void HandleEmptyBin(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    request.Conn().operation = PendingOperation();
    StoreItem* folder = request.Visible(request.Field(173));
    if (!folder || folder->kind != 'D' || !store.InBin(*folder)) {
        request.Error("1301", "The recycle bin was not found.");
        return;
    }
    const std::vector<uint64_t> children(folder->children.begin(), folder->children.end());
    for (const uint64_t idx : children)
        CTreeOps::Purge(store, idx);
    request.Reply();
}

void HandleRestore(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    request.Conn().operation = PendingOperation();
    StoreItem* item = request.Visible(request.Field(173));
    if (!item || !request.Store().InBin(*item) || item->parent == 0) {
        request.Error("1301", "The item is not in the recycle bin.");
        return;
    }
    StartRestore(request, *item);
}

void HandleLocks(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* item = request.Visible(request.Field(173));
    if (!item || item->kind != 'F') {
        request.Error("1301", "File not found.");
        return;
    }
    const bool on = request.Field(87) == "Y";
    if (on && request.Field(95) == "Y") {
        if (!item->editLockUser.empty() && item->editLockUser != request.Me().id) {
            const UserAccount* holder = request.Store().FindUser(item->editLockUser);
            request.Reply({{{95, "R"}, {228, "Locked by " + CNameText::ToWire(holder ? holder->name : item->editLockUser)}}});
            return;
        }
        item->editLockUser = request.Me().id;
    } else {
        item->sendLock = on;
        if (!on && item->editLockUser == request.Me().id)
            item->editLockUser.clear();
    }
    request.Store().Touch(item->parent);
    request.Reply();
}

const CCommandFamily kFileOperationCommands{
    {"F1", HandlePaste},
    {"F2", HandleDelete},
    {"F3", HandleRename},
    {"F4", HandleEmptyBin},
    {"F5", HandleRestore},
    {"F7", HandleLocks},
};

}

}
