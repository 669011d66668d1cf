// The settings store's backup policies: names, folders, schedules and the next run.
#include "ToviRegistry.h"
#include "RegistryKey.h"
#include "DateTime.h"
#include "TraceLog.h"
#include <cstdio>
#include <cwchar>

namespace {

const wchar_t kPolicyRoot[] = L"Software\\Varivivod\\VariruDADBackup\\Policy";

// An id names one subkey of the Policy key: an empty id would name the Policy key itself and
// a backslash another key below it.
bool PolicyKeyPath(const CString& id, CString& path)
{
    if (id.IsEmpty() || id.Find(L'\\') >= 0)
        return false;
    path.Format(L"%s\\%s", kPolicyRoot, id.GetString());
    return true;
}

bool OpenPolicy(const CString& id, CRegistryKey& key, bool create)
{
    CString path;
    if (!PolicyKeyPath(id, path))
        return false;
    return create ? key.Create(path) : key.Open(path);
}

void CopyText(wchar_t* out, size_t room, const CString& text)
{
    wcsncpy(out, text.GetString(), room - 1);
    out[room - 1] = L'\0';
}

CString FolderSubKey(int k)
{
    CString name;
    name.Format(L"Path[%02d]", k);
    return name;
}

// What one folder subkey holds.
struct StoredFolder {
    CString treePath, fullPath, folderIdx;
};

bool ReadFolders(HKEY policy, std::vector<StoredFolder>& folders)
{
    CRegistryKey parent;
    parent.Open(L"", KEY_READ, policy);
    for (DWORD i = 0;; ++i) {
        CString name;
        LONG error = 0;
        if (!parent.SubKeyName(i, name, &error))
            return error == ERROR_NO_MORE_ITEMS;
        CRegistryKey sub;
        StoredFolder folder;
        if (!sub.Open(name, KEY_READ, policy))
            return false;
        sub.ReadText(L"TreePath", folder.treePath);
        sub.ReadText(L"FullPath", folder.fullPath);
        sub.ReadText(L"FolderIDX", folder.folderIdx);
        folders.push_back(folder);
    }
}

bool WriteFolders(HKEY policy, const std::vector<StoredFolder>& folders)
{
    for (size_t k = 0; k < folders.size(); ++k) {
        CRegistryKey sub;
        if (!sub.Create(FolderSubKey(static_cast<int>(k)), policy) ||
            !sub.WriteText(L"TreePath", folders[k].treePath) || !sub.WriteText(L"FullPath", folders[k].fullPath))
            return false;
        if (!folders[k].folderIdx.IsEmpty() && !sub.WriteText(L"FolderIDX", folders[k].folderIdx))
            return false;
    }
    return true;
}

// What SetBackupPolicy changes in a policy, as it was, so that a failed save can put it back.
const int kTexts = 3;
const wchar_t* const kTextNames[kTexts] = {L"PolicyName", L"PolicyDesc", L"CreateTime"};

struct PolicySnapshot {
    bool hasText[kTexts] = {};
    CString texts[kTexts];
    bool hasOverwrite = false;
    DWORD overwrite = 0;
    std::vector<StoredFolder> folders;

    bool Take(const CRegistryKey& key)
    {
        for (int i = 0; i < kTexts; ++i)
            hasText[i] = key.ReadText(kTextNames[i], texts[i]);
        hasOverwrite = key.ReadDword(L"OverWrite", overwrite);
        return ReadFolders(key.Get(), folders);
    }

    bool Restore(const CRegistryKey& key) const
    {
        bool ok = CToviRegistry::RemoveBackupFolders(key.Get()) && WriteFolders(key.Get(), folders);
        for (int i = 0; i < kTexts; ++i)
            ok = (hasText[i] ? key.WriteText(kTextNames[i], texts[i]) : key.DeleteValue(kTextNames[i])) && ok;
        ok = (hasOverwrite ? key.WriteDword(L"OverWrite", overwrite) : key.DeleteValue(L"OverWrite")) && ok;
        return ok;
    }
};

// Removes a policy key that the failed save itself created.
bool DeleteNewPolicy(CRegistryKey& key, const CString& path)
{
    key.Close();
    LONG result = ::RegDeleteTreeW(HKEY_CURRENT_USER, path);
    if (result == ERROR_SUCCESS)
        result = ::RegDeleteKeyW(HKEY_CURRENT_USER, path);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// Reads "YYYY-MM-DD[ HH:MM[:SS]]", the form NextBackupTime is written in, and otherwise any
// date the user's locale reads.
bool ParseRunTime(const CString& text, COleDateTime& when)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    wchar_t rest = 0;
    int fields = swscanf(text.GetString(), L" %4d-%2d-%2d %2d:%2d:%2d%lc", &year, &month, &day, &hour, &minute, &second, &rest);
    if (fields >= 3 && fields != 4 && fields <= 6)
        return when.SetDateTime(year, month, day, fields >= 5 ? hour : 0, fields >= 5 ? minute : 0,
                                fields == 6 ? second : 0) == 0;
    if (fields >= 3)
        return false;
    return when.ParseDateTime(text.GetString()) && when.GetStatus() == COleDateTime::valid;
}

}

bool CToviRegistry::IsEnableBackupPolicyName(CString name)
{
    CRegistryKey root;
    if (!root.Open(kPolicyRoot, KEY_READ))
        return false;
    for (DWORD i = 0;; ++i) {
        CString id;
        LONG error = 0;
        if (!root.SubKeyName(i, id, &error))
            return error == ERROR_NO_MORE_ITEMS;
        CRegistryKey policy;
        CString existing;
        if (!policy.Open(id, KEY_READ, root.Get()) || !policy.ReadText(L"PolicyName", existing))
            return false;
        if (existing == name)
            return false;
    }
}

bool CToviRegistry::SetBackupPolicy(CString id, CString name, CString description, CString createTime,
                                    CFolderPathMap& folders, int overwrite)
{
    // Refuse what GetBackupPolicy could not read back before anything is changed.
    for (const auto& entry : folders) {
        size_t tree = wcsnlen(entry.second.TreePath, 1024);
        size_t full = wcsnlen(entry.second.FullPath, 260);
        if (tree == 0 || tree > 259 || full == 0 || full > 259) {
            TraceLog(2048, L"[ CToviRegistry::SetBackupPolicy ] folder path refused [ %s ]\n", entry.first.GetString());
            return false;
        }
    }
    CString path;
    if (!PolicyKeyPath(id, path))
        return false;
    CRegistryKey key;
    const bool existed = key.Open(path);
    if (!existed && !key.Create(path))
        return false;

    PolicySnapshot before;
    if (!before.Take(key)) {
        if (!existed)
            DeleteNewPolicy(key, path);
        return false;
    }
    std::vector<StoredFolder> fresh;
    for (const auto& entry : folders) {
        StoredFolder folder;
        folder.treePath = CString(entry.second.TreePath, static_cast<int>(wcsnlen(entry.second.TreePath, 1024)));
        folder.fullPath = CString(entry.second.FullPath, static_cast<int>(wcsnlen(entry.second.FullPath, 260)));
        folder.folderIdx = CString(entry.second.FolderIDX, static_cast<int>(wcsnlen(entry.second.FolderIDX, 10)));
        // The server folder index is set once the folder exists on the server; keep it.
        for (size_t i = 0; folder.folderIdx.IsEmpty() && i < before.folders.size(); ++i)
            if (before.folders[i].fullPath == folder.fullPath)
                folder.folderIdx = before.folders[i].folderIdx;
        fresh.push_back(folder);
    }

    if (RemoveBackupFolders(key.Get()) && WriteFolders(key.Get(), fresh) && key.WriteText(L"PolicyName", name) &&
        key.WriteText(L"PolicyDesc", description) && key.WriteText(L"CreateTime", createTime) &&
        key.WriteDword(L"OverWrite", static_cast<DWORD>(overwrite)))
        return true;

    // All or nothing: a policy is never left half old and half new.
    bool restored = existed ? before.Restore(key) : DeleteNewPolicy(key, path);
    if (restored)
        TraceLog(2048, L"[ CToviRegistry::SetBackupPolicy ] writing [ %s ] failed, the policy is as it was\n",
                 id.GetString());
    else
        TraceLog(2048, L"[ CToviRegistry::SetBackupPolicy ] writing [ %s ] failed and it could not be put back\n",
                 id.GetString());
    return false;
}

bool CToviRegistry::RemoveBackupFolders(HKEY policyKey)
{
    if (policyKey == nullptr)
        return false;
    for (;;) {
        wchar_t name[256] = {};
        DWORD chars = 256;
        LONG result = ::RegEnumKeyExW(policyKey, 0, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return true;
        if (result != ERROR_SUCCESS)
            return false;
        result = ::RegDeleteTreeW(policyKey, name);
        if (result == ERROR_SUCCESS)
            result = ::RegDeleteKeyW(policyKey, name);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
            TraceLog(2048, L"[ CToviRegistry::RemoveBackupFolders ] [ %s ] not deleted [ %d ]\n", name, static_cast<int>(result));
            return false;
        }
    }
}

bool CToviRegistry::GetBackupPolicyList(std::vector<_BACKUP_POLICY_INFO>& policies)
{
    CRegistryKey root;
    DWORD count = 0;
    if (!root.Open(kPolicyRoot, KEY_READ) || !root.SubKeyCount(count))
        return false;
    for (DWORD i = 0; i < count; ++i) {
        CString id;
        if (!root.SubKeyName(i, id))
            return false;
        CRegistryKey policy;
        if (!policy.Open(id, KEY_READ, root.Get()))
            return false;
        CString name, created, started, size, result;
        DWORD reservation = 0, kind = 0;
        if (!policy.ReadText(L"PolicyName", name) || !policy.ReadText(L"CreateTime", created) ||
            !policy.ReadDword(L"Reservation", reservation))
            return false;
        if (reservation == 1 && !policy.ReadDword(L"BackupCycle", kind))
            return false;
        policy.ReadText(L"StartTime", started);
        policy.ReadText(L"TotalSize", size);
        policy.ReadText(L"BackupResult", result);

        _BACKUP_POLICY_INFO info = {};
        CopyText(info.PolicyID, 15, id);
        CopyText(info.PolicyName, 128, name);
        CopyText(info.CreateTime, 21, created);
        CopyText(info.StartTime, 21, started);
        CopyText(info.TotalSize, 21, size);
        CopyText(info.BackupResult, 128, result);
        info.BackupCycle = reservation == 0 ? -1 : reservation == 1 ? static_cast<int>(kind) : 0;
        policies.push_back(info);
    }
    return true;
}

bool CToviRegistry::GetBackupPolicy(CString id, _BACKUP_POLICY_INFO* policy, CFolderPathMap& folders, int* overwrite)
{
    CRegistryKey key;
    if (!OpenPolicy(id, key, false))
        return false;
    CString name, desc, created, folderIdx, started, size, result;
    if (!key.ReadText(L"PolicyName", name, 128) || !key.ReadText(L"PolicyDesc", desc, 1024) ||
        !key.ReadText(L"CreateTime", created, 21))
        return false;
    key.ReadText(L"FolderIDX", folderIdx, 10);
    key.ReadText(L"StartTime", started, 21);
    key.ReadText(L"TotalSize", size, 21);
    key.ReadText(L"BackupResult", result, 128);
    if (policy != nullptr) {
        CopyText(policy->PolicyID, 15, id);
        if (!name.IsEmpty()) CopyText(policy->PolicyName, 128, name);
        if (!desc.IsEmpty()) CopyText(policy->PolicyDesc, 1024, desc);
        if (!created.IsEmpty()) CopyText(policy->CreateTime, 21, created);
        if (!started.IsEmpty()) CopyText(policy->StartTime, 21, started);
        if (!size.IsEmpty()) CopyText(policy->TotalSize, 21, size);
        if (!result.IsEmpty()) CopyText(policy->BackupResult, 128, result);
        if (!folderIdx.IsEmpty()) {
            CStringA ansi(folderIdx);
            strncpy(policy->FolderIDX, ansi.GetString(), 9);
            policy->FolderIDX[9] = '\0';
        }
    }

    DWORD count = 0;
    if (!key.SubKeyCount(count))
        return false;
    if (count == 0)
        return true;
    for (DWORD i = 0; i < count; ++i) {
        CString subName;
        CRegistryKey sub;
        CString tree, full, index;
        if (!key.SubKeyName(i, subName) || !sub.Open(subName, KEY_READ, key.Get()) ||
            !sub.ReadText(L"TreePath", tree, 260) || !sub.ReadText(L"FullPath", full, 260))
            return false;
        sub.ReadText(L"FolderIDX", index, 10);
        _FOLDER_PATH_INFO info = {};
        CopyText(info.TreePath, 1024, tree);
        CopyText(info.FullPath, 260, full);
        CopyText(info.FolderIDX, 10, index);
        folders[full] = info;
    }
    DWORD stored = 0;
    if (!key.ReadDword(L"OverWrite", stored))
        return false;
    if (overwrite != nullptr)
        *overwrite = static_cast<int>(stored);
    return true;
}

bool CToviRegistry::SetBackupCycle(CString id, int reservation, int kind, CString date, int weekday,
                                   CString time, CString nextRun)
{
    CRegistryKey key;
    if (!OpenPolicy(id, key, true) || !key.WriteDword(L"Reservation", static_cast<DWORD>(reservation)))
        return false;
    if (!key.DeleteValue(L"BackupCycle") || !key.DeleteValue(L"BackupDate") ||
        !key.DeleteValue(L"BackupDayOfTheWeek") || !key.DeleteValue(L"BackupTime"))
        return false;
    if (reservation != 1)
        return true;
    bool ok = kind < 0 ? key.DeleteValue(L"BackupCycle") : key.WriteDword(L"BackupCycle", static_cast<DWORD>(kind));
    ok = ok && (date.IsEmpty() ? key.DeleteValue(L"BackupDate") : key.WriteText(L"BackupDate", date.Left(10)));
    ok = ok && (weekday < 0 ? key.DeleteValue(L"BackupDayOfTheWeek")
                            : key.WriteDword(L"BackupDayOfTheWeek", static_cast<DWORD>(weekday)));
    ok = ok && (time.IsEmpty() ? key.DeleteValue(L"BackupTime") : key.WriteText(L"BackupTime", time.Left(8)));
    ok = ok && (nextRun.IsEmpty() ? key.DeleteValue(L"NextBackupTime") : key.WriteText(L"NextBackupTime", nextRun));
    return ok;
}

bool CToviRegistry::GetBackupCycle(CString id, int* reservation, int* kind, CString& date, int* weekday, CString& time)
{
    CRegistryKey key;
    DWORD stored = 0;
    if (!OpenPolicy(id, key, false) || !key.ReadDword(L"Reservation", stored))
        return false;
    if (reservation != nullptr)
        *reservation = static_cast<int>(stored);
    if (stored == 0)
        return true;
    DWORD cycle = 0;
    if (!key.ReadDword(L"BackupCycle", cycle))
        return false;
    if (kind != nullptr)
        *kind = static_cast<int>(cycle);
    if (cycle == 0 || cycle == 3) {
        CString storedDate;
        if (!key.ReadText(L"BackupDate", storedDate, 11))
            return false;
        date = storedDate;
    }
    if (cycle == 2) {
        DWORD day = 0;
        if (!key.ReadDword(L"BackupDayOfTheWeek", day))
            return false;
        if (weekday != nullptr)
            *weekday = static_cast<int>(day);
    }
    CString storedTime;
    if (!key.ReadText(L"BackupTime", storedTime, 9))
        return false;
    time = storedTime;
    return true;
}

bool CToviRegistry::ComputeNextBackupDate(int kind, int monthDay, CString lastRun, CString& nextDate)
{
    if (kind < 1 || kind > 3)
        return false;
    COleDateTime last;
    if (!ParseRunTime(lastRun, last))
        return false;
    COleDateTime next;
    if (kind == 1) {
        next = last + COleDateTimeSpan(1, 0, 0, 0);
    } else if (kind == 2) {
        next = last + COleDateTimeSpan(7, 0, 0, 0);
    } else {
        int year = last.GetYear();
        int month = last.GetMonth() + 1;
        if (month > 12) {
            month = 1;
            ++year;
        }
        if (monthDay < 1)
            return false;
        // A day the month lacks (31 in April) falls on the month's last day.
        int lastDay = DaysInMonth(year, month);
        if (next.SetDateTime(year, month, monthDay < lastDay ? monthDay : lastDay, 0, 0, 0) != 0)
            return false;
    }
    if (next.GetStatus() != COleDateTime::valid)
        return false;
    nextDate = next.Format(L"%Y-%m-%d");
    return true;
}

bool CToviRegistry::SetNextBackupTime(CString id, CString lastRun)
{
    CRegistryKey key;
    DWORD reservation = 0;
    if (!OpenPolicy(id, key, false) || !key.ReadDword(L"Reservation", reservation))
        return false;
    if (reservation != 1)
        return true;
    DWORD kind = 0;
    if (!key.ReadDword(L"BackupCycle", kind))
        return false;
    CString date, time;
    DWORD weekday = 0;
    if ((kind == 0 || kind == 3) && !key.ReadText(L"BackupDate", date))
        return false;
    if (kind == 2 && !key.ReadDword(L"BackupDayOfTheWeek", weekday))
        return false;
    if (!key.ReadText(L"BackupTime", time))
        return false;
    if (kind < 1 || kind > 3)
        return true;
    CString nextDate;
    if (!ComputeNextBackupDate(static_cast<int>(kind), _wtoi(date.GetString()), lastRun, nextDate)) {
        TraceLog(2048, L"[ CToviRegistry::SetNextBackupTime ] no next run from [ %s ]\n", lastRun.GetString());
        return false;
    }
    CString next;
    next.Format(L"%s %s", nextDate.GetString(), time.GetString());
    return key.WriteText(L"NextBackupTime", next);
}

bool CToviRegistry::UpdateBackupInfo(CString id, CString startTime, CString totalSize, CString result)
{
    CRegistryKey key;
    if (!OpenPolicy(id, key, false))
        return false;
    const wchar_t* names[] = { L"StartTime", L"TotalSize", L"BackupResult" };
    const CString* texts[] = { &startTime, &totalSize, &result };
    for (int i = 0; i < 3; ++i) {
        if (texts[i]->IsEmpty())
            continue;
        bool ok = *texts[i] == L"Delete" ? key.DeleteValue(names[i]) : key.WriteText(names[i], *texts[i]);
        if (!ok)
            return false;
    }
    return true;
}

bool CToviRegistry::SetBackupPolicyID(int target, CString id, CString fullPath, CString folderIndex)
{
    CRegistryKey key;
    if (!OpenPolicy(id, key, false))
        return false;
    if (target == 0)
        return key.WriteText(L"FolderIDX", folderIndex);
    if (target != 1)
        return true;
    for (DWORD i = 0;; ++i) {
        CString name;
        if (!key.SubKeyName(i, name))
            return true;
        CRegistryKey sub;
        CString path;
        if (sub.Open(name, KEY_READ | KEY_WRITE, key.Get()) && sub.ReadText(L"FullPath", path) && path == fullPath)
            return sub.WriteText(L"FolderIDX", folderIndex);
    }
}

bool CToviRegistry::RemoveBackupPolicy(CString id)
{
    CRegistryKey key;
    if (!OpenPolicy(id, key, false))
        return false;
    bool folders = RemoveBackupFolders(key.Get());
    key.Close();
    CRegistryKey root;
    if (!folders || !root.Open(kPolicyRoot))
        return false;
    return ::RegDeleteKeyW(root.Get(), id) == ERROR_SUCCESS;
}
