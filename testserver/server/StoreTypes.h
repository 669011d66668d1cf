// What the test server's storage keeps: accounts, groups, sessions, folder and file items.
#pragma once
#include "WireTypes.h"
#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tovisrv {

struct UserAccount {
    std::string id;              // log-in id (bytes as the client sends them)
    std::string password;
    std::string name;
    std::string position;
    std::string code;            // 175: the user's code in pickers and shares
    std::string groupId;         // 176
    std::string department;
    uint64_t quotaBytes = 10ull << 30;
    bool resetPassword = false;  // B0 26 = "Y": the client runs the change-password dialog
    bool sso = false;            // an empty password is accepted with 76 = "Y"
    bool basicTops = false;      // only "My Files" and "Recycle Bin" at the top level
    std::string lastLoginTime;   // shown at the next log-in
    std::string lastLoginIp;
    std::vector<uint64_t> tops;  // top-level folders in their sort order
    std::vector<uint64_t> shortcuts;
    int receivedUnread = 0;      // D5
};

struct UserGroup {
    std::string id;      // 176
    std::string name;
    std::string parent;  // "" or "0" for a root group
};

struct LoginSession {
    std::string sid;
    std::string user;
    std::chrono::steady_clock::time_point lastSeen;
    std::vector<Record> uploadErrors;   // H5 records still to report
    int pendingRounds = 0;              // H5 "still working" answers left
};

struct FileVersion {
    int number = 0;
    uint64_t size = 0;
    std::string date;      // "YYYY-MM-DD HH:MM:SS"
    std::string saver;     // user id
    std::string fileKey;
};

struct ShareMember {
    std::string type = "U";   // "U" user, "G" group
    std::string code;         // 175 for users, 176 for groups
    std::string permission = "2200";
    std::string write = "0";  // 154
};

struct FolderShare {
    bool on = false;
    std::string password;
    std::string from, to;
    std::vector<ShareMember> members;
};

struct FileLink {
    std::string id;        // 20 characters
    std::string expiry;    // "YYYY-MM-DD" or empty
    std::string password;
    std::string limit;
};

struct GuestEntry {
    std::string email, permission = "2000", status = "Y", date;
};

struct GuestInfo {
    bool present = false;
    std::string email, permission = "2000", quota = "100", from, to, password;
    std::vector<GuestEntry> multi;
};

struct StoreItem {
    uint64_t idx = 0;
    uint64_t parent = 0;         // 0 = a top-level folder
    char kind = 'D';             // 'D' folder, 'F' file
    char dtype = '1';            // folder type letter
    std::string name;            // UTF-8
    std::string owner;           // user id
    std::string ctime, mtime;    // "YYYY-MM-DD HH:MM:SS"
    std::string clientMtime;     // "YYYYMMDDhhmmss" as the upload gave it
    uint64_t size = 0;
    std::string fileKey;
    uint64_t stamp = 1;          // bumped by any change of the direct children
    std::string sortKey;         // top-level folders
    std::set<uint64_t> children;

    bool incomplete = false;     // an upload that has not finished: data in the partial file
    uint64_t expected = 0;       // its announced size

    bool trashed = false;
    uint64_t formerParent = 0;
    std::string formerPath;      // "/"-joined names of the former parent

    std::vector<FileVersion> versions;  // newest last
    int nextVersion = 1;

    std::string permission;      // set by the control channel; empty = by context
    FolderShare share;
    std::map<uint8_t, std::string> groupShare;            // G3 record 1 as stored
    std::vector<std::map<uint8_t, std::string>> groupMembers;
    GuestInfo guest;
    std::vector<FileLink> links;
    std::string editLockUser;
    bool sendLock = false;
    std::string passwordDigest;  // a file's field 237, a folder's field 198
    std::string sharedFrom;      // a received copy: the sender's id
};

// Switches and option blocks that the control channel may change.
struct StoreConfig {
    std::map<uint8_t, std::string> a1;          // option block
    std::map<uint8_t, std::string> a2;          // option record
    std::vector<Record> domains;                 // domain records
    std::vector<std::string> languages{"ko", "en", "jp"};
    std::vector<Record> updates;                 // A4 records
    std::map<uint8_t, std::string> b4;          // alert counters laid over the zero defaults
    std::map<uint8_t, std::string> b5;          // quota fields laid over the account's figures
    std::map<std::string, std::string> webTokens;  // web log-in token -> user id, each good once
    bool singleSession = false;
    size_t pageSize = 0;                         // 0: everything in one page
    bool fileKeys = false;
    int keepVersions = 5;
    int h5PendingRounds = 0;
    int prepareRounds = 0;                       // > 0: an old version answers "wait" this many rounds first
    int propertyPages = 0;                       // > 1: a properties reply comes in this many pages
    uint64_t thumbnailMaxBytes = 2u << 20;
    uint64_t thumbnailPageBytes = 0;             // > 0: a larger picture comes in pages of this size
    bool selfRecord = true;
    double sessionIdleSeconds = 0;               // 0: sessions never expire by themselves
    std::string bandwidth = "0";
    std::string existingFolder;                  // F0 mode "1" on an existing folder: this error code, not its record
    std::string linkHost = "127.0.0.1";
    std::string guestFolderQuota = "1000";       // G4/G6 207; empty: the folder has none
    std::string guestDefaultDate = "2099-12-31"; // G6 13: a new guest's date; empty: none sent
    std::string guestDateEditable = "Y";         // G6 70
    std::string groupShareMaster = "Y";          // G2 52: the user is the group share's master
};

}
