// The server's accounts, sessions and item tree, with file contents in a real folder tree.
#pragma once
#include "StoreTypes.h"
#include <mutex>

namespace tovisrv {

class CServerState;

// One per server (a state slot). Callers hold Lock() while they read or change anything.
// Contents live under <state>/store/<user>/: "files" mirrors "My Files" with the items'
// names, ".trash/<IDX>/<name>" holds what the recycle bin holds, ".partial/<IDX>" an
// unfinished upload, ".versions/<IDX>/<n>" stored versions; <state>/store/items.txt lists
// the IDX/PIDX records after every change.
class CStore {
public:
    static constexpr uint64_t kFirstIdx = 100;
    static constexpr const char* kItemPermission = "1111111111111110000100000001000";
    static constexpr const char* kMyFilesPermission = "1101111000000010000000000001000";
    static constexpr const char* kBinPermission = "1100000010000010000000000000000";
    static constexpr const char* kBinItemPermission = "1100000010000000000000000000000";
    static constexpr const char* kTopPermission = "1101111000000010000000000001000";

    // The slot of this server, attached to its state folder.
    static CStore& Of(CServerState& state);
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(m_mutex); }
    // Slot reset (control RESET): accounts, sessions, items and their files go; options return.
    void Reset();

    StoreConfig& Config() { return m_config; }
    static StoreConfig DefaultConfig(const std::string& host);

    // Accounts. AddUser makes the top-level folders.
    UserAccount* FindUser(const std::string& id);
    bool AddUser(UserAccount user, std::string& error);
    std::map<std::string, UserAccount>& Users() { return m_users; }
    std::map<std::string, UserGroup>& Groups() { return m_groups; }
    const UserAccount* UserByCode(const std::string& code) const;

    // Sessions outlive connections; an unknown or idle-expired id finds nothing.
    std::string OpenSession(const std::string& user);
    LoginSession* FindSession(const std::string& sid);
    void CloseSession(const std::string& sid);
    // Returns how many were closed.
    int CloseUserSessions(const std::string& user);
    std::vector<std::string> SessionsOf(const std::string& user) const;

    // Items. IDX texts are decimal; "0" and anything unknown find nothing.
    StoreItem* Find(uint64_t idx);
    StoreItem* Find(const std::string& idxText);
    StoreItem& NewItem(char kind, const std::string& name, uint64_t parent, const std::string& owner);
    void Attach(StoreItem& item, uint64_t parent);
    void Detach(StoreItem& item);
    void Erase(uint64_t idx);
    // Folders first, then by name (ignoring case).
    std::vector<StoreItem*> Children(uint64_t parent);
    StoreItem* ChildNamed(uint64_t parent, const std::string& name, uint64_t except = 0);
    StoreItem* TopOf(uint64_t idx);
    StoreItem* TopOfType(const std::string& user, char dtype);
    bool InBin(const StoreItem& item);
    bool IsAncestor(uint64_t ancestor, uint64_t idx);
    // "My Files/docs": names from the top level, no leading "/".
    std::string NamePath(uint64_t idx);
    std::string IdxPath(uint64_t idx);
    // A folder's direct children changed.
    void Touch(uint64_t folder);
    // "name (2)", "name (3)" ... before the extension, the first that is free in `parent`.
    std::string FreeName(uint64_t parent, const std::string& name);

    // Where an item's content lies (a folder for folders). Incomplete files have none yet.
    std::string DiskPath(const StoreItem& item);
    std::string PartialPath(const StoreItem& item);
    std::string VersionPath(const StoreItem& item, int number);
    std::string UserDir(const std::string& user) const;

    std::string Permission(const StoreItem& item);
    bool Allowed(const StoreItem& item, int bit) { return Permission(item)[static_cast<size_t>(bit)] == '1'; }
    std::string Information(const StoreItem& item);
    uint64_t UsedBytes(const std::string& user);

    // Replaces a file's content by the file at `source` (renamed into place); the old
    // content becomes a version when versions are kept.
    bool ReplaceContent(StoreItem& item, const std::string& source, const std::string& saver);
    // A new version from the current content (copied); the oldest beyond the limit go.
    void KeepVersion(StoreItem& item, const std::string& saver);

    void MarkDirty() { m_dirty = true; }
    // Writes items.txt when something changed.
    void SaveIndex();
    std::string NewFileKey();
    uint64_t NextIdx() const { return m_nextIdx; }

    static std::string Now();
    // "YYYYMMDDhhmmss" -> "YYYY-MM-DD hh:mm:ss"; empty when not that form.
    static std::string DisplayTime(const std::string& clientTime);

private:
    void Attach(const std::string& stateDir);

    std::mutex m_mutex;
    std::string m_root;   // <state>/store
    StoreConfig m_config;
    std::map<std::string, UserAccount> m_users;
    std::map<std::string, UserGroup> m_groups;
    std::map<std::string, LoginSession> m_sessions;
    std::map<uint64_t, StoreItem> m_items;
    uint64_t m_nextIdx = kFirstIdx;
    bool m_dirty = false;
};

// Permission bit positions.
enum PermissionBit {
    kPermView = 0, kPermDownload = 1, kPermCopy = 2, kPermPreview = 3, kPermUpload = 4,
    kPermNewDir = 5, kPermNewFile = 6, kPermDelete = 7, kPermDelComp = 8, kPermOverwrite = 9,
    kPermRename = 10, kPermMoveCut = 11, kPermFileLink = 12, kPermShare = 13, kPermSearch = 14,
    kPermSendFile = 19, kPermShortcut = 27, kPermPcDelete = 28,
};

}
