// The server's accounts, sessions and item tree, with file contents in a real folder tree.
#include "Store.h"
#include "NameText.h"
#include "ServerState.h"
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <openssl/rand.h>

namespace fs = std::filesystem;

namespace tovisrv {

namespace {

std::string RandomHex(size_t bytes)
{
    std::string raw(bytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&raw[0]), static_cast<int>(bytes)) != 1)
        throw std::runtime_error("no random bytes");
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : raw) {
        out += kDigits[(static_cast<uint8_t>(c) >> 4) & 15];
        out += kDigits[static_cast<uint8_t>(c) & 15];
    }
    return out;
}

struct TopFolder {
    const char* name;
    char dtype;
    bool basic;
};

// In their sort order; the sort keys are "1", "2", ...
const TopFolder kTopFolders[] = {
    {"My Files", '1', true},
    {"Shared", '2', false},
    {"Group", '3', false},
    {"Guest", '5', false},
    {"File box", '9', false},
    {"Backup", 'B', false},
    {"Recycle Bin", '6', true},
};

}

CStore& CStore::Of(CServerState& state)
{
    CStore& store = state.Slot<CStore>();
    std::lock_guard<std::mutex> guard(store.m_mutex);
    if (store.m_root.empty())
        store.Attach(state.StateDir());
    return store;
}

void CStore::Attach(const std::string& stateDir)
{
    m_root = stateDir + "/store";
    m_config = DefaultConfig("127.0.0.1");
    std::error_code ec;
    fs::create_directories(m_root, ec);
}

void CStore::Reset()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_users.clear();
    m_groups.clear();
    m_sessions.clear();
    m_items.clear();
    m_nextIdx = kFirstIdx;
    if (!m_root.empty()) {
        std::error_code ec;
        fs::remove_all(m_root, ec);
        fs::create_directories(m_root, ec);
        m_config = DefaultConfig(m_config.domains.empty() ? "127.0.0.1"
                                                          : m_config.domains.front()[168]);
    }
    m_dirty = true;
}

StoreConfig CStore::DefaultConfig(const std::string& host)
{
    StoreConfig config;
    config.domains.push_back({{177, "1"}, {186, "Test"}, {168, host}, {217, "Test Server"}, {218, "Test Server"}});
    config.a2 = {{216, "TESTSRV"}, {164, "1.0.0.0"}, {153, "N"}, {149, "5"}, {150, "30"},
                 {147, "1"}, {148, "2"}, {137, "111100000000"}};
    config.a1 = {{172, "60"}, {224, "60"}, {161, "0"}, {159, "2"}, {5, "2200"}, {210, "5"},
                 {213, "120"}, {214, "90"}, {215, "jpg;jpeg;png;gif;bmp"}, {61, "Y"}, {65, "N"},
                 {99, "Y"}, {201, "N"}, {95, "N"}, {96, "N"}, {97, "N"}, {94, "N"}, {138, "N"},
                 {98, "N"}, {135, "N"}, {136, "N"}, {198, "N"}};
    config.linkHost = host;
    return config;
}

UserAccount* CStore::FindUser(const std::string& id)
{
    const auto it = m_users.find(id);
    return it == m_users.end() ? nullptr : &it->second;
}

const UserAccount* CStore::UserByCode(const std::string& code) const
{
    for (const auto& [id, user] : m_users)
        if (user.code == code)
            return &user;
    return nullptr;
}

bool CStore::AddUser(UserAccount user, std::string& error)
{
    if (user.id.empty() || m_users.count(user.id)) {
        error = user.id.empty() ? "a user needs an id" : "user " + user.id + " exists";
        return false;
    }
    if (user.name.empty())
        user.name = user.id;
    if (user.code.empty())
        user.code = std::to_string(1000 + m_users.size());
    int sort = 1;
    for (const TopFolder& top : kTopFolders) {
        if (user.basicTops && !top.basic)
            continue;
        StoreItem& folder = NewItem('D', top.name, 0, user.id);
        folder.dtype = top.dtype;
        folder.sortKey = std::to_string(sort++);
        user.tops.push_back(folder.idx);
        std::error_code ec;
        fs::create_directories(DiskPath(folder), ec);
    }
    m_users.emplace(user.id, std::move(user));
    m_dirty = true;
    return true;
}

std::string CStore::OpenSession(const std::string& user)
{
    LoginSession session;
    session.sid = RandomHex(16);
    session.user = user;
    session.lastSeen = std::chrono::steady_clock::now();
    const std::string sid = session.sid;
    m_sessions.emplace(sid, std::move(session));
    return sid;
}

LoginSession* CStore::FindSession(const std::string& sid)
{
    const auto it = m_sessions.find(sid);
    if (it == m_sessions.end())
        return nullptr;
    const auto now = std::chrono::steady_clock::now();
    if (m_config.sessionIdleSeconds > 0 &&
        std::chrono::duration<double>(now - it->second.lastSeen).count() > m_config.sessionIdleSeconds) {
        m_sessions.erase(it);
        return nullptr;
    }
    if (!m_users.count(it->second.user)) {
        m_sessions.erase(it);
        return nullptr;
    }
    it->second.lastSeen = now;
    return &it->second;
}

void CStore::CloseSession(const std::string& sid)
{
    m_sessions.erase(sid);
}

int CStore::CloseUserSessions(const std::string& user)
{
    int closed = 0;
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (it->second.user == user) {
            it = m_sessions.erase(it);
            ++closed;
        } else {
            ++it;
        }
    }
    return closed;
}

std::vector<std::string> CStore::SessionsOf(const std::string& user) const
{
    std::vector<std::string> out;
    for (const auto& [sid, session] : m_sessions)
        if (session.user == user)
            out.push_back(sid);
    return out;
}

StoreItem* CStore::Find(uint64_t idx)
{
    const auto it = m_items.find(idx);
    return it == m_items.end() ? nullptr : &it->second;
}

StoreItem* CStore::Find(const std::string& idxText)
{
    if (idxText.empty() || idxText.size() > 9 || idxText.find_first_not_of("0123456789") != std::string::npos)
        return nullptr;
    return Find(std::stoull(idxText));
}

StoreItem& CStore::NewItem(char kind, const std::string& name, uint64_t parent, const std::string& owner)
{
    StoreItem item;
    item.idx = m_nextIdx++;
    item.kind = kind;
    item.name = name;
    item.owner = owner;
    item.ctime = item.mtime = Now();
    if (m_config.fileKeys || kind == 'F')
        item.fileKey = NewFileKey();
    StoreItem& stored = m_items.emplace(item.idx, std::move(item)).first->second;
    if (parent)
        Attach(stored, parent);
    m_dirty = true;
    return stored;
}

void CStore::Attach(StoreItem& item, uint64_t parent)
{
    item.parent = parent;
    if (StoreItem* folder = Find(parent)) {
        folder->children.insert(item.idx);
        Touch(parent);
    }
    m_dirty = true;
}

void CStore::Detach(StoreItem& item)
{
    if (StoreItem* folder = Find(item.parent)) {
        folder->children.erase(item.idx);
        Touch(item.parent);
    }
    item.parent = 0;
    m_dirty = true;
}

void CStore::Erase(uint64_t idx)
{
    StoreItem* item = Find(idx);
    if (!item)
        return;
    const std::set<uint64_t> children = item->children;
    for (const uint64_t child : children)
        Erase(child);
    Detach(*item);
    m_items.erase(idx);
}

std::vector<StoreItem*> CStore::Children(uint64_t parent)
{
    std::vector<StoreItem*> out;
    if (StoreItem* folder = Find(parent))
        for (const uint64_t idx : folder->children)
            if (StoreItem* child = Find(idx))
                out.push_back(child);
    std::sort(out.begin(), out.end(), [](const StoreItem* a, const StoreItem* b) {
        if (a->kind != b->kind)
            return a->kind == 'D';
        const std::string fa = CNameText::Fold(a->name), fb = CNameText::Fold(b->name);
        return fa != fb ? fa < fb : a->idx < b->idx;
    });
    return out;
}

StoreItem* CStore::ChildNamed(uint64_t parent, const std::string& name, uint64_t except)
{
    StoreItem* folder = Find(parent);
    if (!folder)
        return nullptr;
    for (const uint64_t idx : folder->children) {
        StoreItem* child = Find(idx);
        if (child && child->idx != except && CNameText::SameName(child->name, name))
            return child;
    }
    return nullptr;
}

StoreItem* CStore::TopOf(uint64_t idx)
{
    StoreItem* item = Find(idx);
    while (item && item->parent)
        item = Find(item->parent);
    return item;
}

StoreItem* CStore::TopOfType(const std::string& user, char dtype)
{
    UserAccount* account = FindUser(user);
    if (!account)
        return nullptr;
    for (const uint64_t idx : account->tops)
        if (StoreItem* top = Find(idx); top && top->dtype == dtype)
            return top;
    return nullptr;
}

bool CStore::InBin(const StoreItem& item)
{
    const StoreItem* top = TopOf(item.idx);
    return top && top->dtype == '6';
}

bool CStore::IsAncestor(uint64_t ancestor, uint64_t idx)
{
    for (StoreItem* item = Find(idx); item; item = item->parent ? Find(item->parent) : nullptr)
        if (item->idx == ancestor)
            return true;
    return false;
}

std::string CStore::NamePath(uint64_t idx)
{
    std::vector<std::string> names;
    for (StoreItem* item = Find(idx); item; item = item->parent ? Find(item->parent) : nullptr)
        names.push_back(item->name);
    std::string out;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        out += (out.empty() ? "" : "/") + *it;
    return out;
}

std::string CStore::IdxPath(uint64_t idx)
{
    std::vector<uint64_t> ids;
    for (StoreItem* item = Find(idx); item; item = item->parent ? Find(item->parent) : nullptr)
        ids.push_back(item->idx);
    std::string out;
    for (auto it = ids.rbegin(); it != ids.rend(); ++it)
        out += (out.empty() ? "" : "/") + std::to_string(*it);
    return out;
}

void CStore::Touch(uint64_t folder)
{
    if (StoreItem* item = Find(folder))
        ++item->stamp;
    m_dirty = true;
}

std::string CStore::FreeName(uint64_t parent, const std::string& name)
{
    if (!ChildNamed(parent, name))
        return name;
    const size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    for (int n = 2;; ++n) {
        const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
        if (!ChildNamed(parent, candidate))
            return candidate;
    }
}

std::string CStore::UserDir(const std::string& user) const
{
    std::string safe;
    bool plain = !user.empty();
    for (const char c : user)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.')
            plain = false;
    if (plain && user[0] != '.') {
        safe = user;
    } else {
        static const char kDigits[] = "0123456789abcdef";
        safe = "x";
        for (const char c : user) {
            safe += kDigits[(static_cast<uint8_t>(c) >> 4) & 15];
            safe += kDigits[static_cast<uint8_t>(c) & 15];
        }
    }
    return m_root + "/" + safe;
}

std::string CStore::DiskPath(const StoreItem& item)
{
    if (item.parent == 0) {
        if (item.dtype == '6')
            return UserDir(item.owner) + "/.trash";
        if (item.dtype == '1')
            return UserDir(item.owner) + "/files";
        return UserDir(item.owner) + "/top-" + std::to_string(item.idx);
    }
    StoreItem* parent = Find(item.parent);
    if (!parent)
        return UserDir(item.owner) + "/.lost/" + std::to_string(item.idx);
    if (parent->parent == 0 && parent->dtype == '6')
        return DiskPath(*parent) + "/" + std::to_string(item.idx) + "/" + item.name;
    return DiskPath(*parent) + "/" + item.name;
}

std::string CStore::PartialPath(const StoreItem& item)
{
    return UserDir(item.owner) + "/.partial/" + std::to_string(item.idx);
}

std::string CStore::VersionPath(const StoreItem& item, int number)
{
    return UserDir(item.owner) + "/.versions/" + std::to_string(item.idx) + "/" + std::to_string(number);
}

std::string CStore::Permission(const StoreItem& item)
{
    if (!item.permission.empty())
        return item.permission;
    const StoreItem* top = TopOf(item.idx);
    if (top && top->dtype == '6')
        return item.parent == 0 ? kBinPermission : kBinItemPermission;
    if (item.parent == 0)
        return item.dtype == '1' ? kMyFilesPermission : kTopPermission;
    std::string permission = kItemPermission;
    if (top && top->dtype == 'B')
        permission[kPermPcDelete] = '1';
    // Shares and shortcuts are a folder's; a file offering them would only lead to an error.
    if (item.kind == 'F') {
        permission[kPermShare] = '0';
        permission[kPermShortcut] = '0';
    }
    return permission;
}

std::string CStore::Information(const StoreItem& item)
{
    std::string info(12, '0');
    if (!item.links.empty())
        info[0] = '1';
    if (!item.editLockUser.empty() || item.sendLock)
        info[3] = '1';
    if (!item.versions.empty())
        info[4] = '1';
    if (!item.passwordDigest.empty())
        info[7] = '1';
    if (item.incomplete)
        info[9] = '1';
    return info;
}

uint64_t CStore::UsedBytes(const std::string& user)
{
    uint64_t used = 0;
    for (const auto& [idx, item] : m_items) {
        if (item.owner != user || item.kind != 'F')
            continue;
        if (!item.incomplete)
            used += item.size;
        for (const FileVersion& version : item.versions)
            used += version.size;
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(UserDir(user) + "/.partial", ec))
        used += entry.file_size(ec);
    return used;
}

bool CStore::ReplaceContent(StoreItem& item, const std::string& source, const std::string& saver)
{
    const std::string target = DiskPath(item);
    std::error_code ec;
    if (fs::exists(target, ec))
        KeepVersion(item, saver);
    fs::create_directories(fs::path(target).parent_path(), ec);
    fs::rename(source, target, ec);
    if (ec)
        return false;
    item.size = fs::file_size(target, ec);
    item.mtime = Now();
    if (m_config.fileKeys || item.fileKey.empty())
        item.fileKey = NewFileKey();
    if (item.parent)
        Touch(item.parent);
    m_dirty = true;
    return true;
}

void CStore::KeepVersion(StoreItem& item, const std::string& saver)
{
    if (m_config.keepVersions <= 0)
        return;
    FileVersion version;
    version.number = item.nextVersion++;
    version.size = item.size;
    version.date = item.mtime;
    version.saver = saver;
    version.fileKey = item.fileKey;
    const std::string path = VersionPath(item, version.number);
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    fs::copy_file(DiskPath(item), path, fs::copy_options::overwrite_existing, ec);
    if (ec)
        return;
    item.versions.push_back(version);
    while (item.versions.size() > static_cast<size_t>(m_config.keepVersions)) {
        fs::remove(VersionPath(item, item.versions.front().number), ec);
        item.versions.erase(item.versions.begin());
    }
}

void CStore::SaveIndex()
{
    if (!m_dirty || m_root.empty())
        return;
    m_dirty = false;
    const std::string path = m_root + "/items.txt";
    std::FILE* file = std::fopen((path + ".tmp").c_str(), "w");
    if (!file)
        return;
    std::fputs("# IDX\tPIDX\tkind\tdtype\towner\tsize\tinformation\tname\n", file);
    for (const auto& [idx, item] : m_items)
        std::fprintf(file, "%llu\t%llu\t%c\t%c\t%s\t%llu\t%s\t%s\n", static_cast<unsigned long long>(idx),
                     static_cast<unsigned long long>(item.parent), item.kind, item.dtype, item.owner.c_str(),
                     static_cast<unsigned long long>(item.size), Information(item).c_str(), item.name.c_str());
    std::fclose(file);
    std::rename((path + ".tmp").c_str(), path.c_str());
}

std::string CStore::NewFileKey()
{
    return RandomHex(16);
}

std::string CStore::Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string CStore::DisplayTime(const std::string& clientTime)
{
    if (clientTime.size() != 14 || clientTime.find_first_not_of("0123456789") != std::string::npos)
        return std::string();
    return clientTime.substr(0, 4) + "-" + clientTime.substr(4, 2) + "-" + clientTime.substr(6, 2) + " " +
           clientTime.substr(8, 2) + ":" + clientTime.substr(10, 2) + ":" + clientTime.substr(12, 2);
}

}
