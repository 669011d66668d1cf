// Control verbs that set up and inspect the storage: accounts, groups, folders, files,
// sessions, options and switches, the demo account.
//
//   USER id=ID password=PW [name=N] [position=P] [code=C] [group=G] [department=D]
//        [quota=BYTES] [reset=Y] [sso=Y] [tops=basic]        -> "OK tops=IDX,IDX,..."
//   GROUP id=G name=N [parent=G]
//   FOLDER user=ID [password=PW] -- PATH                     -> "OK idx=N"
//        password= protects the folder: its listing record carries the password's digest
//        (field 198), which the client checks before it opens the folder
//   FILE user=ID [size=N | hex=HH.. | text=T] [partial=K] [mtime=YYYYMMDDhhmmss] [digest=HEX64] -- PATH
//        size=N gives N bytes of the test pattern (byte i = i mod 251); partial=K leaves an
//        unfinished upload holding the first K bytes; digest= protects the file with a password
//        of that digest (field 237)                        -> "OK idx=N"
//   ITEM idx=N | ITEM user=ID -- PATH   -> "OK idx= parent= kind= size= incomplete= trashed=
//        versions= checksum= info= path=<content file>"
//   LIST user=ID -- PATH                -> "OK NAME:IDX;NAME:IDX..." (folders first)
//   SESSIONS user=ID                    -> "OK SID SID..."
//   WEBTOKEN user=ID                    -> "OK token=T": what the web log-in page would hand the
//        client; B0 with 169 "#T" and no password logs that user in, once
//   EXPIRE sid=SID | user=ID            -> "OK closed=N" (the next request gets 1213)
//   OPTION A1|A2|B4|B5|DOMAIN ID=VALUE...  ("-" removes; B4 and B5 lay fields over the alert
//        and quota replies, an empty value is sent empty); OPTION LANG ko,en; OPTION UPDATE
//        ID=VALUE... (adds an A4 record) | OPTION UPDATE clear
//   SWITCH singleSession=0|1 pageSize=N fileKeys=0|1 keepVersions=N h5PendingRounds=N prepareRounds=N propertyPages=N
//        thumbnailMaxBytes=N thumbnailPageBytes=N selfRecord=0|1 sessionIdle=SECONDS bandwidth=KB host=TEXT
//        existingFolder=CODE (1310, 1328, 2300: how F0 with mode "1" answers a folder that exists; empty: its record)
//   PERM idx=N value=31 DIGITS|-        the item's permission string ("-": by context)
//   LOCK idx=N value=Y|N                a sub-folder locked (type "A") or ordinary again ("1")
//   DEMO [host=TEXT]                    the demo account (demo / demo1234)
// Values may carry %XX escapes (a blank is %20).
#include "Checksum.h"
#include "ControlTable.h"
#include "Fault.h"
#include "StoreSetup.h"
#include "TestPattern.h"
#include <openssl/evp.h>
#include <cctype>
#include <cstdlib>

namespace tovisrv {

namespace {

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            std::string byte;
            if (DecodeHex(text.substr(i + 1, 2), byte)) {
                out += byte;
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string Param(CControlRequest& request, const std::string& key, const std::string& fallback = std::string())
{
    return Unescape(request.Param(key, fallback));
}

// What the client compares a typed password with: SHA-256 over the lower-case hex of SHA-1 over
// the password's bytes, itself as lower-case hex.
std::string PasswordDigest(const std::string& password)
{
    auto hex = [](const unsigned char* bytes, unsigned length) {
        static const char digits[] = "0123456789abcdef";
        std::string text;
        for (unsigned i = 0; i < length; ++i) {
            text += digits[bytes[i] >> 4];
            text += digits[bytes[i] & 15];
        }
        return text;
    };
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    EVP_Digest(password.data(), password.size(), digest, &length, EVP_sha1(), nullptr);
    const std::string sha1 = hex(digest, length);
    EVP_Digest(sha1.data(), sha1.size(), digest, &length, EVP_sha256(), nullptr);
    return hex(digest, length);
}

bool Yes(const std::string& value)
{
    return value == "Y" || value == "y" || value == "1" || value == "true";
}

std::string AddUser(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    UserAccount user;
    user.id = Param(request, "id");
    user.password = Param(request, "password");
    user.name = Param(request, "name");
    user.position = Param(request, "position");
    user.code = Param(request, "code");
    user.groupId = Param(request, "group");
    user.department = Param(request, "department");
    if (!request.Param("quota").empty())
        user.quotaBytes = std::strtoull(request.Param("quota").c_str(), nullptr, 10);
    user.resetPassword = Yes(request.Param("reset"));
    user.sso = Yes(request.Param("sso"));
    user.basicTops = request.Param("tops") == "basic";
    std::string error;
    if (!store.AddUser(user, error))
        return "ERR " + error;
    std::string tops;
    for (const uint64_t idx : store.FindUser(user.id)->tops)
        tops += (tops.empty() ? "" : ",") + std::to_string(idx);
    store.SaveIndex();
    return "OK tops=" + tops;
}

std::string AddGroup(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    UserGroup group{Param(request, "id"), Param(request, "name"), Param(request, "parent", "0")};
    if (group.id.empty() || group.id == "0")
        return "ERR a group needs an id other than 0";
    if (Param(request, "remove") == "Y")
        return store.Groups().erase(group.id) ? "OK" : "ERR no such group";
    store.Groups()[group.id] = group;
    return "OK";
}

std::string MakeFolder(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    std::string error;
    StoreItem* folder = CStoreSetup::MakeFolders(store, Param(request, "user"), request.Text(), error);
    if (folder && !request.Param("password").empty())
        folder->passwordDigest = PasswordDigest(Param(request, "password"));
    store.SaveIndex();
    return folder ? "OK idx=" + std::to_string(folder->idx) : "ERR " + error;
}

std::string MakeFile(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    std::string content;
    if (!request.Param("hex").empty()) {
        if (!DecodeHex(request.Param("hex"), content))
            return "ERR bad hex";
    } else if (!request.Param("text").empty()) {
        content = Param(request, "text");
    } else {
        content = TestPattern(0, static_cast<size_t>(std::strtoull(request.Param("size", "0").c_str(), nullptr, 10)));
    }
    std::string error;
    const std::string user = Param(request, "user");
    StoreItem* item = nullptr;
    if (!request.Param("partial").empty()) {
        const size_t kept = static_cast<size_t>(std::strtoull(request.Param("partial").c_str(), nullptr, 10));
        item = CStoreSetup::PutPartial(store, user, request.Text(), content.substr(0, kept), content.size(), error);
    } else {
        item = CStoreSetup::PutFile(store, user, request.Text(), content, error);
    }
    if (!item)
        return "ERR " + error;
    if (!request.Param("mtime").empty()) {
        item->clientMtime = request.Param("mtime");
        const std::string shown = CStore::DisplayTime(item->clientMtime);
        if (!shown.empty())
            item->mtime = shown;
    }
    item->passwordDigest = request.Param("digest");
    store.SaveIndex();
    return "OK idx=" + std::to_string(item->idx);
}

std::string DescribeItem(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    StoreItem* item = request.Param("idx").empty() ? CStoreSetup::Resolve(store, Param(request, "user"), request.Text())
                                                   : store.Find(request.Param("idx"));
    if (!item)
        return "ERR no such item";
    const std::string path = item->incomplete ? store.PartialPath(*item) : store.DiskPath(*item);
    const uint32_t checksum = item->kind == 'F' ? CChecksum::Compute(path, 0) : 0;
    return "OK idx=" + std::to_string(item->idx) + " parent=" + std::to_string(item->parent) +
           " kind=" + std::string(1, item->kind) + " size=" + std::to_string(item->size) +
           " incomplete=" + (item->incomplete ? "Y" : "N") + " trashed=" + (store.InBin(*item) ? "Y" : "N") +
           " versions=" + std::to_string(item->versions.size()) + " checksum=" + std::to_string(checksum) +
           " info=" + store.Information(*item) + " path=" + path;
}

std::string ListFolder(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    StoreItem* folder = CStoreSetup::Resolve(store, Param(request, "user"), request.Text());
    if (!folder)
        return "ERR no such folder";
    std::string out;
    for (const StoreItem* child : store.Children(folder->idx))
        out += (out.empty() ? "" : ";") + child->name + ":" + std::to_string(child->idx);
    return "OK " + out;
}

std::string ListSessions(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    std::string out = "OK";
    for (const std::string& sid : store.SessionsOf(Param(request, "user")))
        out += " " + sid;
    return out;
}

std::string Expire(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    int closed = 0;
    if (!request.Param("sid").empty()) {
        closed = store.FindSession(request.Param("sid")) ? 1 : 0;
        store.CloseSession(request.Param("sid"));
    }
    if (!request.Param("user").empty())
        closed += store.CloseUserSessions(Param(request, "user"));
    return "OK closed=" + std::to_string(closed);
}

bool SetFields(CControlRequest& request, size_t first, Record& record, std::string& error)
{
    for (size_t i = first; i < request.Args().size(); ++i) {
        const std::string& arg = request.Args()[i];
        const size_t eq = arg.find('=');
        const int id = eq == std::string::npos ? -1 : std::atoi(arg.substr(0, eq).c_str());
        if (id < 0 || id > 255 || id == 254) {
            error = "expected ID=VALUE, got " + arg;
            return false;
        }
        const std::string value = Unescape(arg.substr(eq + 1));
        if (value == "-")
            record.erase(static_cast<uint8_t>(id));
        else
            record[static_cast<uint8_t>(id)] = value;
    }
    return true;
}

std::string IssueWebToken(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    const std::string user = Param(request, "user");
    if (store.FindUser(user) == nullptr)
        return "ERR no such user";
    const std::string token = store.NewFileKey();
    store.Config().webTokens[token] = user;
    return "OK token=" + token;
}

std::string SetOption(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    if (request.Args().empty())
        return "ERR OPTION A1|A2|B4|B5|DOMAIN|LANG|UPDATE ...";
    std::string block = request.Args()[0];
    for (char& c : block)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    StoreConfig& config = store.Config();
    std::string error;
    if (block == "A1" || block == "A2" || block == "B4" || block == "B5" || block == "DOMAIN") {
        Record record = block == "A1"   ? config.a1
                        : block == "A2" ? config.a2
                        : block == "B4" ? config.b4
                        : block == "B5" ? config.b5
                                        : config.domains.front();
        if (!SetFields(request, 1, record, error))
            return "ERR " + error;
        if (block == "A1")
            config.a1 = record;
        else if (block == "A2")
            config.a2 = record;
        else if (block == "B4")
            config.b4 = record;
        else if (block == "B5")
            config.b5 = record;
        else
            config.domains.front() = record;
    } else if (block == "LANG") {
        config.languages.clear();
        std::string codes = request.Args().size() > 1 ? request.Args()[1] : "";
        for (size_t at = 0; at < codes.size(); at += 3)
            config.languages.push_back(codes.substr(at, 2));
    } else if (block == "UPDATE") {
        if (request.Args().size() > 1 && request.Args()[1] == "clear") {
            config.updates.clear();
        } else {
            Record record;
            if (!SetFields(request, 1, record, error))
                return "ERR " + error;
            config.updates.push_back(record);
        }
    } else {
        return "ERR unknown option block " + block;
    }
    return "OK";
}

std::string SetSwitch(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    StoreConfig& config = store.Config();
    for (const std::string& arg : request.Args()) {
        const size_t eq = arg.find('=');
        if (eq == std::string::npos)
            return "ERR expected NAME=VALUE, got " + arg;
        const std::string name = arg.substr(0, eq), value = Unescape(arg.substr(eq + 1));
        const long long number = std::atoll(value.c_str());
        if (name == "singleSession") config.singleSession = Yes(value);
        else if (name == "pageSize") config.pageSize = static_cast<size_t>(number);
        else if (name == "fileKeys") config.fileKeys = Yes(value);
        else if (name == "keepVersions") config.keepVersions = static_cast<int>(number);
        else if (name == "h5PendingRounds") config.h5PendingRounds = static_cast<int>(number);
        else if (name == "prepareRounds") config.prepareRounds = static_cast<int>(number);
        else if (name == "propertyPages") config.propertyPages = static_cast<int>(number);
        else if (name == "thumbnailMaxBytes") config.thumbnailMaxBytes = static_cast<uint64_t>(number);
        else if (name == "thumbnailPageBytes") config.thumbnailPageBytes = static_cast<uint64_t>(number);
        else if (name == "selfRecord") config.selfRecord = Yes(value);
        else if (name == "sessionIdle") config.sessionIdleSeconds = std::atof(value.c_str());
        else if (name == "bandwidth") config.bandwidth = value;
        else if (name == "existingFolder") config.existingFolder = value;
        else if (name == "guestFolderQuota") config.guestFolderQuota = value;
        else if (name == "guestDefaultDate") config.guestDefaultDate = value;
        else if (name == "guestDateEditable") config.guestDateEditable = value;
        else if (name == "groupShareMaster") config.groupShareMaster = value;
        else if (name == "host") {
            for (Record& domain : config.domains)
                domain[168] = value;
            config.linkHost = value;
        } else {
            return "ERR unknown switch " + name;
        }
    }
    return "OK";
}

std::string SetPermission(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    StoreItem* item = store.Find(request.Param("idx"));
    const std::string value = request.Param("value");
    if (!item)
        return "ERR no such item";
    if (value != "-" && (value.size() != 31 || value.find_first_not_of("01") != std::string::npos))
        return "ERR a permission string is 31 digits 0/1";
    item->permission = value == "-" ? std::string() : value;
    return "OK";
}

std::string SetFolderLock(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    StoreItem* item = store.Find(request.Param("idx"));
    const std::string value = request.Param("value");
    if (!item || item->kind != 'D' || item->parent == 0)
        return "ERR no such sub-folder";
    if (value != "Y" && value != "N")
        return "ERR value is Y or N";
    if (item->dtype != '1' && item->dtype != 'A')
        return "ERR only an ordinary folder can be locked";
    item->dtype = value == "Y" ? 'A' : '1';
    store.Touch(item->parent);
    return "OK";
}

std::string MakeDemo(CControlRequest& request)
{
    CStore& store = CStore::Of(request.State());
    auto guard = store.Lock();
    std::string error;
    if (!CStoreSetup::MakeDemo(store, Param(request, "host"), error))
        return "ERR " + error;
    store.SaveIndex();
    return "OK user=demo password=demo1234";
}

const CControlFamily kStoreControls{
    {"USER", "USER id=ID password=PW [name= position= code= group= department= quota= reset=Y sso=Y tops=basic]", AddUser},
    {"GROUP", "GROUP id=G name=N [parent=G] | GROUP id=G remove=Y", AddGroup},
    {"FOLDER", "FOLDER user=ID [password=PW] -- PATH", MakeFolder},
    {"FILE", "FILE user=ID [size=N|hex=HH|text=T] [partial=K] [mtime=T] [digest=HEX] -- PATH", MakeFile},
    {"ITEM", "ITEM idx=N | ITEM user=ID -- PATH", DescribeItem},
    {"LIST", "LIST user=ID -- PATH", ListFolder},
    {"SESSIONS", "SESSIONS user=ID", ListSessions},
    {"WEBTOKEN", "WEBTOKEN user=ID", IssueWebToken},
    {"EXPIRE", "EXPIRE sid=SID | user=ID", Expire},
    {"OPTION", "OPTION A1|A2|B4|B5|DOMAIN ID=VALUE... | LANG ko,en | UPDATE ID=VALUE...|clear", SetOption},
    {"SWITCH", "SWITCH NAME=VALUE ...", SetSwitch},
    {"PERM", "PERM idx=N value=DIGITS|-", SetPermission},
    {"LOCK", "LOCK idx=N value=Y|N", SetFolderLock},
    {"DEMO", "DEMO [host=TEXT]", MakeDemo},
};

}

}
