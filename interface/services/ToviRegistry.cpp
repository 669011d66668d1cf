// The settings store: per-product values, stored credentials, paths, drives and auto-start.
#include "ToviRegistry.h"
#include "RegistryKey.h"
#include "StoredDataCipher.h"
#include "ToviConv.h"
#include "TraceLog.h"
#include <cstring>
#include <cwchar>

namespace {

const wchar_t* const kProductKeys[] = {
    L"Software\\Varivivod\\VariruDAD",
    L"Software\\Varivivod\\NardisDriveIXO",
    L"Software\\Varivivod\\VariruDADBackup",
    L"Software\\OrlemSecurity\\VariruDADDrive",
};
const wchar_t* const kProgramFiles[] = { L"CorvaneIXO.exe", L"CorvaneDriveIXO.exe", L"CorvaneBackup.exe" };
const wchar_t* const kRunValues[] = { L"CorvaneIXO", L"CorvaneIXODrive", L"CorvaneBackup" };
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kMountPoints[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MountPoints2";

// Which indices an operation accepts.
enum Indices { kIndices0To2, kIndices0To3, kIndices0And3 };

const wchar_t* ProductKey(int index, Indices accepted)
{
    switch (accepted) {
    case kIndices0To2: if (index < 0 || index > 2) return nullptr; break;
    case kIndices0To3: if (index < 0 || index > 3) return nullptr; break;
    case kIndices0And3: if (index != 0 && index != 3) return nullptr; break;
    }
    return kProductKeys[index];
}

bool WriteTextValue(int index, Indices accepted, bool create, const wchar_t* name, const CString& text)
{
    const wchar_t* path = ProductKey(index, accepted);
    if (path == nullptr)
        return false;
    CRegistryKey key;
    if (!(create ? key.Create(path) : key.Open(path)))
        return false;
    return key.WriteText(name, text);
}

bool ReadTextValue(int index, Indices accepted, const wchar_t* name, int maxChars, bool emptyFails, CString& out)
{
    const wchar_t* path = ProductKey(index, accepted);
    if (path == nullptr)
        return false;
    CRegistryKey key;
    if (!key.Open(path, KEY_READ))
        return false;
    CString text;
    if (!key.ReadText(name, text, maxChars) || (emptyFails && text.IsEmpty()))
        return false;
    out = text;
    return true;
}

// Copies the ANSI form of text into a caller-zeroed buffer of room bytes, without terminator.
void CopyAnsi(const CString& text, char* out, size_t room)
{
    if (out == nullptr || text.IsEmpty())
        return;
    char* narrow = CToviConv::Tovi_WideCharToMultiByte(text.GetString());
    if (narrow == nullptr)
        return;
    size_t length = strlen(narrow);
    memcpy(out, narrow, length < room ? length : room - 1);
    CToviConv::Tovi_Free(narrow);
}

bool EncipherWide(_ENC_CTX& ctx, const CString& text, CString& stored)
{
    return CStoredDataCipher::EncipherToText(ctx, text.GetString(), text.GetLength() * 2, stored);
}

bool DecipherWide(_ENC_CTX& ctx, const CString& stored, CString& text)
{
    std::vector<unsigned char> plain;
    if (!CStoredDataCipher::DecipherText(ctx, stored, plain))
        return false;
    text = CString(reinterpret_cast<const wchar_t*>(plain.data()), static_cast<int>(plain.size() / 2));
    return true;
}

}

bool CToviRegistry::SetServerDebugLevel(int index)
{
    const wchar_t* path = ProductKey(index, kIndices0To2);
    CRegistryKey key;
    if (path == nullptr || !key.Create(path))
        return false;
    if (key.HasValue(L"ServerDebugLevel"))
        return true;
    return key.WriteText(L"ServerDebugLevel", L"0");
}

bool CToviRegistry::SetServerAddress(int index, CString server, int port, CString updateUrl)
{
    const wchar_t* path = ProductKey(index, kIndices0To2);
    CRegistryKey key;
    if (path == nullptr || !key.Create(path))
        return false;
    if (!key.WriteText(L"ServerIP", server) || !key.WriteDword(L"ServerPort", static_cast<DWORD>(port)))
        return false;
    if (!updateUrl.IsEmpty() && !key.WriteText(L"UpdateURL", updateUrl))
        return false;
    return true;
}

bool CToviRegistry::GetServerAddress(int index, char* server, int* port, char* debugLevel, wchar_t* updateUrl)
{
    const wchar_t* path = ProductKey(index, kIndices0To2);
    CRegistryKey key;
    if (path == nullptr || !key.Open(path, KEY_READ))
        return false;
    bool result = true;

    CString ip;
    if (key.ReadText(L"ServerIP", ip, 128))
        CopyAnsi(ip, server, 256);
    else
        result = false;

    DWORD storedPort = 0;
    if (!key.ReadDword(L"ServerPort", storedPort))
        result = false;
    else if (static_cast<int>(storedPort) >= 0 && port != nullptr)
        *port = static_cast<int>(storedPort);

    CString level;
    if (key.ReadText(L"ServerDebugLevel", level, 128))
        CopyAnsi(level, debugLevel, 256);

    CString url;
    if (updateUrl != nullptr) {
        if (key.ReadText(L"UpdateURL", url, 128)) {
            wcsncpy(updateUrl, url.GetString(), 127);
            updateUrl[127] = L'\0';
        } else if (!ip.IsEmpty()) {
            _snwprintf(updateUrl, 127, L"http://%s", ip.GetString());
            updateUrl[127] = L'\0';
        }
    }
    return result;
}

bool CToviRegistry::SetMessageBoxTitle(int index, CString title)
{
    return WriteTextValue(index, kIndices0To2, true, L"MessageBoxTitle", title);
}

bool CToviRegistry::GetMessageBoxTitle(int index, CString& title)
{
    return ReadTextValue(index, kIndices0To2, L"MessageBoxTitle", 256, true, title);
}

bool CToviRegistry::SetMainTitle(int index, CString title)
{
    return WriteTextValue(index, kIndices0To2, true, L"MainTitle", title);
}

bool CToviRegistry::GetMainTitle(int index, CString& title)
{
    return ReadTextValue(index, kIndices0To2, L"MainTitle", 256, true, title);
}

bool CToviRegistry::SetDialogFont(int index, CString face)
{
    return WriteTextValue(index, kIndices0To2, true, L"DialogFont", face);
}

bool CToviRegistry::GetDialogFont(int index, CString& face)
{
    return ReadTextValue(index, kIndices0To2, L"DialogFont", 128, false, face);
}

bool CToviRegistry::SetLanguage(int index, unsigned short language)
{
    const wchar_t* lcid = language == LANG_ENGLISH ? L"1033" : language == LANG_JAPANESE ? L"1041" : L"1042";
    return WriteTextValue(index, kIndices0To2, false, L"Language", lcid);
}

bool CToviRegistry::GetLanguage(int index, unsigned short* language)
{
    CString text;
    if (!ReadTextValue(index, kIndices0To2, L"Language", 5, true, text))
        return false;
    unsigned short id = LANG_KOREAN;
    if (text == L"1033")
        id = LANG_ENGLISH;
    else if (text == L"1041")
        id = LANG_JAPANESE;
    if (language != nullptr)
        *language = id;
    return true;
}

CString CToviRegistry::GetInstallDir(int index)
{
    CString dir;
    ReadTextValue(index, kIndices0To3, L"InstallDir", 260, false, dir);
    return dir;
}

bool CToviRegistry::SetUserInfo(int index, int saveUserId, int autoLogin, int runExplorer,
                                CString userId, CString password, CString domain)
{
    const wchar_t* path = ProductKey(index, kIndices0To2);
    if (path == nullptr)
        return false;
    // Auto-login keeps the user id by itself; the stored SaveUserID then reads 0.
    if (autoLogin == 1)
        saveUserId = 0;
    domain = domain.Left(60);

    // The whole texts are kept: a cut cipher text would no longer decipher.
    CString storedId, storedPassword;
    _ENC_CTX ctx;
    bool keyed = false;
    if ((saveUserId == 1 || autoLogin == 1) && !userId.IsEmpty()) {
        if (!CStoredDataCipher::Setup(ctx))
            return false;
        keyed = true;
        if (!EncipherWide(ctx, userId, storedId)) {
            saveUserId = autoLogin = 0;
            storedId.Empty();
        }
    }
    if (autoLogin == 1 && !password.IsEmpty()) {
        if (!keyed && !CStoredDataCipher::Setup(ctx))
            return false;
        if (!EncipherWide(ctx, password, storedPassword)) {
            saveUserId = autoLogin = 0;
            storedId.Empty();
            storedPassword.Empty();
        }
    }

    CRegistryKey key;
    if (!key.Open(path))
        return false;
    if (!domain.IsEmpty() && !key.WriteText(L"DomainName", domain))
        return false;
    if (saveUserId >= 0 && !key.WriteDword(L"SaveUserID", static_cast<DWORD>(saveUserId)))
        return false;
    if (autoLogin >= 0 && !key.WriteDword(L"AutoLogin", static_cast<DWORD>(autoLogin)))
        return false;
    if (index == PRODUCT_DRIVE && runExplorer >= 0 && !key.WriteDword(L"RunExplorer", static_cast<DWORD>(runExplorer)))
        return false;
    if (saveUserId < 0 && autoLogin < 0)
        return true;
    if (!key.WriteText(L"UserID", (saveUserId == 1 || autoLogin == 1) ? storedId : CString()))
        return false;
    if (autoLogin >= 0 && !key.WriteText(L"UserPWD", autoLogin == 1 ? storedPassword : CString()))
        return false;
    return true;
}

bool CToviRegistry::GetUserInfo(int index, int* saveUserId, int* autoLogin, int* runExplorer,
                                CString& userId, CString& password, CString& domain)
{
    const wchar_t* path = ProductKey(index, kIndices0To2);
    CRegistryKey key;
    if (path == nullptr || !key.Open(path, KEY_READ))
        return false;
    int save = saveUserId != nullptr ? *saveUserId : 0;
    int autoOn = autoLogin != nullptr ? *autoLogin : 0;
    DWORD value = 0;
    if (key.ReadDword(L"SaveUserID", value)) {
        save = static_cast<int>(value);
        if (saveUserId != nullptr)
            *saveUserId = save;
    }
    if (key.ReadDword(L"AutoLogin", value)) {
        autoOn = static_cast<int>(value);
        if (autoLogin != nullptr)
            *autoLogin = autoOn;
    }
    if (index == PRODUCT_DRIVE && runExplorer != nullptr && key.ReadDword(L"RunExplorer", value))
        *runExplorer = static_cast<int>(value);

    CString storedId, storedPassword, storedDomain;
    if (save == 1 || autoOn == 1)
        key.ReadText(L"UserID", storedId);
    if (autoOn == 1)
        key.ReadText(L"UserPWD", storedPassword);
    key.ReadText(L"DomainName", storedDomain, 61);
    domain = storedDomain;
    key.Close();

    if (save != 1 && autoOn != 1)
        return true;
    _ENC_CTX ctx;
    if (!CStoredDataCipher::Setup(ctx))
        return false;
    CString plainId;
    if (!DecipherWide(ctx, storedId, plainId)) {
        TraceLog(2048, L"[ CToviRegistry::GetUserInfo ] UserID does not decipher\n");
        return false;
    }
    userId = plainId;
    if (autoOn == 1) {
        CString plainPassword;
        if (!DecipherWide(ctx, storedPassword, plainPassword)) {
            TraceLog(2048, L"[ CToviRegistry::GetUserInfo ] UserPWD does not decipher\n");
            return false;
        }
        password = plainPassword;
    }
    return true;
}

bool CToviRegistry::SetSessionID(int index, const char* sessionId)
{
    const wchar_t* path = ProductKey(index, kIndices0And3);
    if (path == nullptr)
        return false;
    CString stored;
    if (sessionId != nullptr && sessionId[0] != '\0') {
        _ENC_CTX ctx;
        if (!CStoredDataCipher::Setup(ctx) ||
            !CStoredDataCipher::EncipherToText(ctx, sessionId, static_cast<int>(strlen(sessionId)), stored))
            return false;
    }
    CRegistryKey key;
    return key.Open(path) && key.WriteText(L"SessionID", stored);
}

bool CToviRegistry::GetSessionID(int index, char* buffer, int bufferSize)
{
    if (buffer == nullptr || bufferSize <= 0)
        return false;
    CString stored;
    if (!ReadTextValue(index, kIndices0And3, L"SessionID", 0, true, stored))
        return false;
    _ENC_CTX ctx;
    std::vector<unsigned char> plain;
    if (!CStoredDataCipher::Setup(ctx) || !CStoredDataCipher::DecipherText(ctx, stored, plain))
        return false;
    size_t length = plain.size() < static_cast<size_t>(bufferSize - 1) ? plain.size() : static_cast<size_t>(bufferSize - 1);
    memcpy(buffer, plain.data(), length);
    buffer[length] = '\0';
    return true;
}

bool CToviRegistry::SetSSOID(int index, CString id) { return WriteTextValue(index, kIndices0And3, false, L"ADID", id); }
bool CToviRegistry::GetSSOID(int index, CString& id) { return ReadTextValue(index, kIndices0And3, L"ADID", 512, false, id); }
bool CToviRegistry::SetUseSSO(int index, CString use) { return WriteTextValue(index, kIndices0And3, false, L"ADLogin", use); }
bool CToviRegistry::GetUseSSO(int index, CString& use) { return ReadTextValue(index, kIndices0And3, L"ADLogin", 512, false, use); }
bool CToviRegistry::GetNoCustom(int index, CString& noCustom) { return ReadTextValue(index, kIndices0And3, L"NoCustom", 512, false, noCustom); }
bool CToviRegistry::SetCustomFlag(int index, CString flag) { return WriteTextValue(index, kIndices0And3, false, L"CustomFlag", flag); }
bool CToviRegistry::GetCustomFlag(int index, CString& flag) { return ReadTextValue(index, kIndices0And3, L"CustomFlag", 512, false, flag); }
bool CToviRegistry::SetUpdateUrl(int index, CString url) { return WriteTextValue(index, kIndices0And3, true, L"UpdateURL", url); }
bool CToviRegistry::GetUpdateUrl(int index, CString& url) { return ReadTextValue(index, kIndices0And3, L"UpdateURL", 512, false, url); }

bool CToviRegistry::SetDelScheduleTime(CString time)
{
    return WriteTextValue(PRODUCT_EXPLORER, kIndices0To2, true, L"DeleteSchedule", time);
}

bool CToviRegistry::GetDelScheduleTime(CString& time)
{
    return ReadTextValue(PRODUCT_EXPLORER, kIndices0To2, L"DeleteSchedule", 260, true, time);
}

bool CToviRegistry::GetUseFrame(int* useFrame)
{
    CRegistryKey key;
    DWORD value = 0;
    if (!key.Open(kProductKeys[PRODUCT_EXPLORER], KEY_READ) || !key.ReadDword(L"UseFrame", value))
        return false;
    if (useFrame != nullptr)
        *useFrame = static_cast<int>(value);
    return true;
}

bool CToviRegistry::SetLastFullPath(CString& serverPath, CString& localPath)
{
    TraceLog(1, L"[ CToviRegistry::SetLastFullPath ]\nFullPathServer : %s\nFullPathClient : %s \n",
             serverPath.GetString(), localPath.GetString());
    CRegistryKey key;
    return key.Create(kProductKeys[PRODUCT_EXPLORER]) && key.WriteText(L"FullPathServer", serverPath) &&
           key.WriteText(L"FullPathClient", localPath);
}

bool CToviRegistry::GetLastFullPath(CString& serverPath, CString& localPath)
{
    CRegistryKey key;
    CString server, local;
    if (!key.Open(kProductKeys[PRODUCT_EXPLORER], KEY_READ) || !key.ReadText(L"FullPathServer", server, 260) ||
        !key.ReadText(L"FullPathClient", local, 260))
        return false;
    serverPath = server;
    localPath = local;
    TraceLog(1, L"[ CToviRegistry::GetLastFullPath ]\nFullPathServer : %s\nFullPathClient : %s \n",
             serverPath.GetString(), localPath.GetString());
    return true;
}

bool CToviRegistry::SetDriveInfo(CString remoteName, CString driveName)
{
    CRegistryKey key;
    return key.Create(kProductKeys[PRODUCT_DRIVE]) && key.WriteText(L"RemoteName", remoteName) &&
           key.WriteText(L"DriveName", driveName);
}

bool CToviRegistry::GetDriveInfo(CString& remoteName, CString& driveName)
{
    CRegistryKey key;
    CString remote, drive;
    if (!key.Open(kProductKeys[PRODUCT_DRIVE], KEY_READ) || !key.ReadText(L"RemoteName", remote, 3) ||
        !key.ReadText(L"DriveName", drive, 1024) || remote.IsEmpty() || drive.IsEmpty())
        return false;
    remoteName = remote;
    driveName = drive;
    return true;
}

bool CToviRegistry::RemoveDriveInfo()
{
    CRegistryKey key;
    if (!key.Open(kProductKeys[PRODUCT_DRIVE]))
        return false;
    return ::RegDeleteValueW(key.Get(), L"RemoteName") == ERROR_SUCCESS &&
           ::RegDeleteValueW(key.Get(), L"DriveName") == ERROR_SUCCESS;
}

namespace {
CString DriveLabelKey(const wchar_t* server, const wchar_t* share)
{
    CString path;
    path.Format(L"%s\\##%s#%s", kMountPoints, server, share != nullptr ? share : L"");
    return path;
}
}

bool CToviRegistry::SetDriveName(wchar_t* server, wchar_t* label, wchar_t* share)
{
    if (server == nullptr || server[0] == L'\0')
        return false;
    CRegistryKey key;
    return key.Create(DriveLabelKey(server, share)) && key.WriteText(L"_LabelFromReg", CString(label).Left(127));
}

bool CToviRegistry::RemoveDriveName(wchar_t* server, wchar_t* share)
{
    if (server == nullptr || server[0] == L'\0')
        return false;
    LONG result = ::RegDeleteKeyW(HKEY_CURRENT_USER, DriveLabelKey(server, share));
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        return true;
    TraceLog(2048, L"[ CToviRegistry::RemoveDriveName ] RegDeleteKey failed [ %d ]\n", static_cast<int>(result));
    return false;
}

bool CToviRegistry::GetAutoRun(int index)
{
    if (index < 0 || index > 2)
        return false;
    CRegistryKey key;
    CString command;
    return key.Open(kRunKey, KEY_READ) && key.ReadText(kRunValues[index], command) && !command.IsEmpty();
}

bool CToviRegistry::SetAutoRun(int index, bool on)
{
    if (index < 0 || index > 2)
        return false;
    CString installDir = GetInstallDir(index);
    if (installDir.IsEmpty())
        return false;
    CRegistryKey key;
    if (!key.Create(kRunKey))
        return false;
    if (!on)
        return key.DeleteValue(kRunValues[index]);
    return key.WriteText(kRunValues[index], installDir + L"\\" + kProgramFiles[index]);
}

CString CToviRegistry::GetADInfo(const wchar_t* subKey, const wchar_t* valueName)
{
    CRegistryKey key;
    CString text;
    if (subKey == nullptr || !key.Open(subKey, KEY_READ) || !key.ReadText(valueName, text, 512))
        return CString();
    return text;
}
