// Users and groups, shares, guests, links and sending files: C0, C1, G0-G8, I0, I1, I3.
// Settings are stored and echoed; members do not see shared folders in their own tree.
#include "CommandTable.h"
#include "NameText.h"
#include "StoreRequest.h"
#include "TreeOps.h"
#include <algorithm>
#include <filesystem>
#include <vector>
#include <openssl/rand.h>

namespace tovisrv {

namespace {

const char* const kDomainName = "Test";

Record GroupEntry(CStore& store, const UserGroup& group)
{
    bool subGroups = false;
    for (const auto& [id, other] : store.Groups())
        if (other.parent == group.id)
            subGroups = true;
    return {{24, "G"}, {176, group.id}, {184, CNameText::ToWire(group.name)}, {177, "1"}, {186, kDomainName},
            {28, subGroups ? "Y" : "N"}};
}

Record UserEntry(CStore& store, const UserAccount& user)
{
    const auto group = store.Groups().find(user.groupId);
    return {{24, "U"}, {175, user.code}, {183, CNameText::ToWire(user.name)}, {169, CNameText::ToWire(user.id)},
            {185, CNameText::ToWire(user.position)}, {176, user.groupId},
            {184, group == store.Groups().end() ? std::string() : CNameText::ToWire(group->second.name)},
            {177, "1"}, {186, kDomainName}, {197, CNameText::ToWire(user.department)}};
}

bool IsRootGroup(const UserGroup& group)
{
    return group.parent.empty() || group.parent == "0";
}

void HandleUserGroupList(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    if (request.Field(44) == "N") {
        request.Reply({{{44, "N"}}});
        return;
    }
    CStore& store = request.Store();
    std::vector<Record> entries;
    if (!request.Has(176)) {
        entries.push_back({{24, "D"}, {177, "1"}, {186, kDomainName}, {46, "Y"}});
    } else {
        const std::string gid = request.Field(176);
        for (const auto& [id, group] : store.Groups())
            if (gid == "0" ? IsRootGroup(group) : group.parent == gid)
                entries.push_back(GroupEntry(store, group));
        if (gid != "0")
            for (const auto& [id, user] : store.Users())
                if (user.groupId == gid)
                    entries.push_back(UserEntry(store, user));
    }
    request.Reply(request.Page(std::move(entries)));
}

void HandleUserGroupSearch(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    if (request.Field(44) == "N") {
        request.Reply({{{44, "N"}}});
        return;
    }
    CStore& store = request.Store();
    const std::string text = CNameText::Fold(request.Text(181));
    const std::string type = request.Field(24).empty() ? "A" : request.Field(24);
    const bool byRank = request.Field(72) == "Y";
    auto matches = [&text](const std::string& value) {
        return CNameText::Fold(value).find(text) != std::string::npos;
    };
    std::vector<Record> entries;
    if (type != "U")
        for (const auto& [id, group] : store.Groups())
            if (matches(group.name))
                entries.push_back(GroupEntry(store, group));
    if (type != "G")
        for (const auto& [id, user] : store.Users())
            if (matches(user.name) || (byRank && matches(user.position)))
                entries.push_back(UserEntry(store, user));
    request.Reply(request.Page(std::move(entries)));
}

// Member records of a request: every record after the first that names a member type.
std::vector<const Record*> Members(const CExchange& exchange)
{
    std::vector<const Record*> out;
    const auto& records = exchange.Request().records;
    for (size_t i = 1; i < records.size(); ++i)
        if (records[i].count(24))
            out.push_back(&records[i]);
    return out;
}

std::string Value(const Record& record, uint8_t id)
{
    const auto it = record.find(id);
    return it == record.end() ? std::string() : it->second;
}

Record MemberRecord(CStore& store, const ShareMember& member)
{
    Record record{{24, member.type}, {5, member.permission}, {154, member.write}};
    if (member.type == "G") {
        record[176] = member.code;
        const auto group = store.Groups().find(member.code);
        if (group != store.Groups().end())
            record[184] = CNameText::ToWire(group->second.name);
    } else {
        record[175] = member.code;
        if (const UserAccount* user = store.UserByCode(member.code)) {
            record[183] = CNameText::ToWire(user->name);
            record[169] = CNameText::ToWire(user->id);
        }
    }
    return record;
}

// A member as a request names it, with the default permission and write flag filled in.
ShareMember MemberFrom(const Record& record)
{
    ShareMember member;
    member.type = Value(record, 24) == "G" ? "G" : "U";
    member.code = Value(record, member.type == "G" ? 176 : 175);
    member.permission = Value(record, 5).empty() ? "2200" : Value(record, 5);
    member.write = Value(record, 154).empty() ? "0" : Value(record, 154);
    return member;
}

// Dates of a validity period go out only when they are whole (yyyy-mm-dd).
void PutPeriod(Record& record, const std::string& from, const std::string& to)
{
    if (from.size() == 10)
        record[11] = from;
    if (to.size() == 10)
        record[12] = to;
}

StoreItem* Folder(CStoreRequest& request)
{
    StoreItem* folder = request.Visible(request.Field(173));
    if (!folder || folder->kind != 'D' || !request.Live(*folder)) {
        request.Error("1301", "Folder not found.");
        return nullptr;
    }
    return folder;
}

void HandleShareGet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = Folder(request);
    if (!folder)
        return;
    const FolderShare& share = folder->share;
    Record head{{29, share.on ? "Y" : "N"}, {203, std::to_string(share.members.size())}};
    if (!share.password.empty())
        head[198] = "*";
    PutPeriod(head, share.from, share.to);
    std::vector<Record> records{head};
    for (const ShareMember& member : share.members)
        records.push_back(MemberRecord(request.Store(), member));
    request.Reply(records);
}

void HandleShareSet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = Folder(request);
    if (!folder)
        return;
    if (!request.Store().Allowed(*folder, kPermShare)) {
        request.Error("1320", "You have no permission to share this folder.");
        return;
    }
    FolderShare share;
    share.on = request.Field(29) == "Y";
    const std::string password = request.Field(198);
    share.password = password == "*" ? folder->share.password : password;
    share.from = request.Field(11);
    share.to = request.Field(12);
    for (const Record* member : Members(exchange))
        share.members.push_back(MemberFrom(*member));
    folder->share = share;
    request.Store().Touch(folder->parent);
    request.Reply();
}

void HandleGroupShareGet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = Folder(request);
    if (!folder)
        return;
    Record head;
    for (const uint8_t id : {11, 12, 190, 207, 29, 31, 45, 37, 199, 51})
        if (folder->groupShare.count(id))
            head[id] = folder->groupShare.at(id);
    if (!head.count(190))
        head[190] = "1000";
    if (!head.count(207))
        head[207] = head[190];
    head[52] = request.Config().groupShareMaster;
    head[203] = std::to_string(folder->groupMembers.size());
    std::vector<Record> records{head};
    for (const auto& stored : folder->groupMembers) {
        Record record = MemberRecord(request.Store(), MemberFrom(stored));
        record[177] = "1";
        record[186] = kDomainName;
        record[46] = "Y";
        records.push_back(record);
    }
    request.Reply(records);
}

// A new folder named by 181 under `parent`: a group share (dtype '3') or a guest folder ('5').
StoreItem* NewSubFolder(CStoreRequest& request, StoreItem& parent, char dtype)
{
    CStore& store = request.Store();
    const std::string name = request.Text(181);
    if (!CNameText::IsValidName(name)) {
        request.Error("1312", "The name is not valid.");
        return nullptr;
    }
    if (store.ChildNamed(parent.idx, name)) {
        request.Error("1310", "A folder with the same name exists.");
        return nullptr;
    }
    StoreItem& folder = store.NewItem('D', name, parent.idx, parent.owner);
    folder.dtype = dtype;
    std::error_code ec;
    std::filesystem::create_directories(store.DiskPath(folder), ec);
    return &folder;
}

// The folder a guest setting is for, made first when 39 asks for a new guest folder; null once answered.
StoreItem* GuestFolder(CStoreRequest& request)
{
    if (!request.Has(173)) {
        request.Reply({{{44, "N"}}});
        return nullptr;
    }
    StoreItem* folder = Folder(request);
    if (folder && request.Field(39) == "Y")
        folder = NewSubFolder(request, *folder, '5');
    return folder;
}

void HandleGroupShareSet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = Folder(request);
    if (!folder)
        return;
    CStore& store = request.Store();
    StoreItem* target = folder;
    if (request.Has(39) && request.Field(39) == "Y" && !(target = NewSubFolder(request, *folder, '3')))
        return;
    const Record& head = exchange.Request().records.front();
    for (const uint8_t id : {11, 12, 190, 29, 31, 45, 37, 199, 51})
        if (head.count(id))
            target->groupShare[id] = head.at(id);
    target->groupMembers.clear();
    for (const Record* member : Members(exchange))
        target->groupMembers.push_back(*member);
    store.Touch(target->parent);
    request.Reply();
}

// `length` random letters of `alphabet`.
std::string RandomText(const std::string& alphabet, size_t length)
{
    std::vector<unsigned char> random(length);
    RAND_bytes(random.data(), static_cast<int>(length));
    std::string out;
    for (const unsigned char c : random)
        out += alphabet[c % alphabet.size()];
    return out;
}

std::string NewPassword()
{
    return RandomText("abcdefghjkmnpqrstuvwxyz23456789", 6);
}

void HandleGuestGet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = Folder(request);
    if (!folder)
        return;
    const GuestInfo& guest = folder->guest;
    const std::string& folderQuota = request.Config().guestFolderQuota;
    Record record;
    if (!folderQuota.empty())
        record[207] = folderQuota;
    if (!guest.present) {
        request.Reply({record});
        return;
    }
    record[190] = guest.quota;
    record[193] = guest.email;
    record[5] = guest.permission;
    if (!guest.password.empty())
        record[198] = "*";
    PutPeriod(record, guest.from, guest.to);
    request.Reply({record});
}

void HandleGuestSet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = GuestFolder(request);
    if (!folder)
        return;
    GuestInfo& guest = folder->guest;
    const bool fresh = !guest.present;
    guest.present = true;
    guest.email = request.Field(193);
    if (request.Has(5))
        guest.permission = request.Field(5);
    if (request.Has(190))
        guest.quota = request.Field(190);
    guest.from = request.Field(11);
    guest.to = request.Field(12);
    if (fresh) {
        guest.password = NewPassword();
        exchange.Connection().Log("guest " + guest.email + " of folder " + std::to_string(folder->idx) +
                                  ": password " + guest.password);
    }
    request.Reply({{{44, "N"}}});
}

Record GuestRecord(const GuestEntry& entry)
{
    Record record{{193, entry.email}, {5, entry.permission}, {47, entry.status}};
    if (entry.date.size() == 10)
        record[13] = entry.date;
    return record;
}

void HandleGuestMultiGet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = Folder(request);
    if (!folder)
        return;
    const GuestInfo& guest = folder->guest;
    Record head{{190, guest.quota}, {70, request.Config().guestDateEditable}};
    if (!request.Config().guestDefaultDate.empty())
        head[13] = request.Config().guestDefaultDate;
    if (!request.Config().guestFolderQuota.empty())
        head[207] = request.Config().guestFolderQuota;
    PutPeriod(head, guest.from, guest.to);
    std::vector<Record> records{head};
    for (const GuestEntry& entry : guest.multi)
        records.push_back(GuestRecord(entry));
    request.Reply(records);
}

void HandleGuestMultiSet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* folder = GuestFolder(request);
    if (!folder)
        return;
    GuestInfo& guest = folder->guest;
    guest.present = true;
    const Record& head = exchange.Request().records.front();
    if (head.count(190))
        guest.quota = head.at(190);
    guest.from = Value(head, 11);
    guest.to = Value(head, 12);
    guest.multi.clear();
    std::vector<Record> records;
    const auto& all = exchange.Request().records;
    for (size_t i = 1; i < all.size(); ++i) {
        if (Value(all[i], 193).empty())
            continue;
        GuestEntry entry{Value(all[i], 193), Value(all[i], 5).empty() ? "2000" : Value(all[i], 5),
                         Value(all[i], 47) == "N" ? "N" : "Y", Value(all[i], 13)};
        guest.multi.push_back(entry);
        records.push_back(GuestRecord(entry));
    }
    records.push_back({{44, "N"}, {173, std::to_string(folder->idx)}});
    request.Reply(records);
}

void HandleGuestPassword(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    if (request.Has(173)) {
        StoreItem* folder = Folder(request);
        if (!folder)
            return;
        if (!folder->guest.present) {
            request.Error("1301", "The folder has no guest.");
            return;
        }
        folder->guest.password = NewPassword();
        exchange.Connection().Log("guest of folder " + std::to_string(folder->idx) + ": new password " +
                                  folder->guest.password);
    }
    request.Reply({{{44, "N"}}});
}

std::string NewLinkId()
{
    return RandomText("ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789", 20);
}

// The file a link request names: 173, else 177 (some callers swap the two).
StoreItem* LinkedFile(CStoreRequest& request)
{
    StoreItem* item = request.Visible(request.Field(173));
    if (!item || item->kind != 'F')
        item = request.Visible(request.Field(177));
    if (!item || item->kind != 'F' || !request.Live(*item)) {
        request.Error("1301", "File not found.");
        return nullptr;
    }
    return item;
}

void HandleLinkSet(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* item = LinkedFile(request);
    if (!item)
        return;
    if (!request.Store().Allowed(*item, kPermFileLink)) {
        request.Error("1320", "You have no permission to make links.");
        return;
    }
    const std::string mode = request.Field(42);
    auto apply = [&request](FileLink& link) {
        if (request.Has(13))
            link.expiry = request.Field(13);
        const std::string password = request.Field(194);
        if (password == "**")
            link.password = "server";
        else if (!password.empty() && password != "*")
            link.password = password;
        if (request.Has(195))
            link.limit = request.Field(195);
    };
    if (mode == "C" || mode == "L") {
        FileLink link;
        link.id = NewLinkId();
        apply(link);
        item->links.push_back(link);
    } else if (mode == "M" || mode == "D") {
        const std::string id = request.Field(7);
        auto it = std::find_if(item->links.begin(), item->links.end(), [&id](const FileLink& l) { return l.id == id; });
        if (it == item->links.end()) {
            request.Error("1301", "Link not found.");
            return;
        }
        if (mode == "D")
            item->links.erase(it);
        else
            apply(*it);
    } else {
        request.Error("1500", "Unknown link mode.");
        return;
    }
    request.Store().Touch(item->parent);
    request.Reply();
}

void HandleLinkList(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    StoreItem* item = LinkedFile(request);
    if (!item)
        return;
    std::vector<Record> records;
    for (const FileLink& link : item->links) {
        Record record{{7, link.id}, {196, "http://" + request.Config().linkHost + "/link/" + link.id}};
        if (link.expiry.size() == 10)
            record[13] = link.expiry;
        if (!link.password.empty())
            record[194] = "*";
        if (!link.limit.empty())
            record[195] = link.limit;
        records.push_back(record);
    }
    request.Reply(records);
}

void HandleSendFiles(CExchange& exchange)
{
    CStoreRequest request(exchange);
    if (!request.Authorize())
        return;
    CStore& store = request.Store();
    std::vector<StoreItem*> files;
    std::vector<UserAccount*> receivers;
    for (const Record& record : exchange.Request().records) {
        if (record.count(173)) {
            StoreItem* item = request.Visible(record.at(173));
            if (!item || item->kind != 'F' || item->incomplete || !request.Live(*item)) {
                request.Error("1301", "File not found.");
                return;
            }
            if (!store.Allowed(*item, kPermSendFile)) {
                request.Error("1320", "You have no permission to send this file.");
                return;
            }
            files.push_back(item);
        } else if (record.count(175) || record.count(169)) {
            UserAccount* user = record.count(169) ? store.FindUser(record.at(169)) : nullptr;
            if (!user && record.count(175))
                user = const_cast<UserAccount*>(store.UserByCode(record.at(175)));
            // A group as receiver: every user of the group.
            if (!user && record.count(175) && store.Groups().count(record.at(175))) {
                for (auto& [id, member] : store.Users())
                    if (member.groupId == record.at(175))
                        receivers.push_back(&member);
                continue;
            }
            if (!user) {
                request.Error("1301", "Receiver not found.");
                return;
            }
            receivers.push_back(user);
        }
    }
    for (UserAccount* receiver : receivers) {
        StoreItem* box = store.TopOfType(receiver->id, '9');
        if (!box) {
            request.Error("1301", "The receiver has no file box.");
            return;
        }
        for (StoreItem* file : files) {
            if (StoreItem* copy = CTreeOps::Copy(store, *file, box->idx, store.FreeName(box->idx, file->name))) {
                copy->sharedFrom = request.Me().id;
                ++receiver->receivedUnread;
            }
        }
    }
    request.Reply();
}

const CCommandFamily kSharingCommands{
    {"C0", HandleUserGroupList},
    {"C1", HandleUserGroupSearch},
    {"G0", HandleShareGet},
    {"G1", HandleShareSet},
    {"G2", HandleGroupShareGet},
    {"G3", HandleGroupShareSet},
    {"G4", HandleGuestGet},
    {"G5", HandleGuestSet},
    {"G6", HandleGuestMultiGet},
    {"G7", HandleGuestMultiSet},
    {"G8", HandleGuestPassword},
    {"I0", HandleLinkSet},
    {"I1", HandleLinkList},
    {"I3", HandleSendFiles},
};

}

}
