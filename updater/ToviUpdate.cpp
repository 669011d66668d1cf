// CToviUpdate of the update program: registry, description, decision and download list.
#include "ToviUpdate.h"
#include "FileUtils.h"
#include "ProductInfo.h"
#include "ToviRegistry.h"
#include "TraceLog.h"
#include "UpdateCrypto.h"
#include "ToviUpdateRules.h"
#include "UpdateTexts.h"
#include "UpdateTargets.h"
#include "UpdaterRes.h"
#include "SHA1.h"
#include <shlobj.h>
#include <cwchar>

namespace {

bool Exists(const CString& path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Only an upper-case "Y" marks an enciphered file here; the client's check also takes "y".
bool Encrypted(const _UPDATE_MODULE_INFO& s)
{
    return updatedesc::IsEncrypted(s, updatedesc::EncryptMark::kUpperCaseOnly);
}

bool ShellDocumentsFolder(CString& folder)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
        return false;
    folder = path;
    return true;
}

CString DocumentsFolder()
{
    CString folder;
    if (!CToviUpdate::s_pfnDocumentsFolder(folder))
        folder.Empty();
    return folder;
}

// Folder below the install folder for a description's TARGETDIR, with Windows separators.
CString LocalFolder(const CString& targetDir)
{
    CString folder(targetDir);
    folder.Replace(L'/', L'\\');
    folder.TrimRight(L'\\');
    return folder;
}

// Where a description's section is installed.
CString TargetOf(const _UPDATE_MODULE_INFO& s, const CString& installDir)
{
    CString destDir(s.DestDir);
    CString folder = destDir.CompareNoCase(L"Home") == 0 || destDir.CompareNoCase(L"Update") == 0 || s.TargetDir[0] == L'\0'
                         ? installDir
                         : installDir + L"\\" + LocalFolder(s.TargetDir);
    return folder + L"\\" + s.LocalName;
}

void Message(int index, HWND owner, const wchar_t* text)
{
    if (owner != nullptr)
        ShowUpdateMessage(index, owner, text, MB_ICONERROR);
}

}

CToviUpdate::DocumentsFolderFn CToviUpdate::s_pfnDocumentsFolder = ShellDocumentsFolder;

void AddUpdateItem(const _UPDATE_MODULE_INFO& section, UpdateFileList& list, const CString& url,
                   const CString& downloadPath, const CString& targetPath, const CString& installedPath)
{
    _UPDATE_FILE_ITEM item;
    item.FileName = section.FileName;
    item.Url = url;
    item.DownloadPath = downloadPath;
    item.TargetPath = targetPath;
    item.InstalledPath = installedPath;
    item.Encrypt = section.Encrypt;
    item.Hash = section.Hash;
    item.PreAction = section.PreAction;
    item.PostAction = section.PostAction;
    item.DestDir = section.DestDir;
    list.push_back(item);
}

CToviUpdate::CToviUpdate() {}

CToviUpdate::~CToviUpdate() {}

bool CToviUpdate::GetServerAddress(int index, CString& address)
{
    if (!product::Valid(index))
        return false;
    CString value;
    if (CToviRegistry::ReadText(product::RegistryKey(index), L"UpdateURL", 127, value)) {
        address = value;
        TraceLog(1, L" ■■■ [ UPDATE ] [ CToviUpdate::GetServerAddress ] UPDATEURL : [ %s ] \n", value.GetString());
        return true;
    }
    if (!CToviRegistry::ReadText(product::RegistryKey(index), L"ServerIP", 127, value))
        return false;
    address = value;
    TraceLog(1024, L" ■■■ [ UPDATE ] [ CToviUpdate::GetServerAddress ] UpdateURL Empty --> ServerIP : [ %s ]",
             value.GetString());
    return true;
}

CString CToviUpdate::GetInstallDir(int index)
{
    CString dir;
    if (!product::Valid(index) || !CToviRegistry::ReadText(product::RegistryKey(index), L"InstallDir", 259, dir))
        return CString();
    return dir;
}

CString CToviUpdate::DownloadBase()
{
    CString documents = DocumentsFolder();
    return documents.IsEmpty() ? CString() : documents + L"\\VariruDAD";
}

int CToviUpdate::GetUpdateInfo(const CString& iniPath)
{
    return updatedesc::Read(iniPath, updatedesc::EncryptMark::kUpperCaseOnly, m_modules);
}

bool CToviUpdate::IsSafeRelativePath(const CString& path, bool allowEmpty)
{
    return updaterules::IsSafeRelativePath(path, allowEmpty);
}

const wchar_t* CToviUpdate::RefusalOf(const _UPDATE_MODULE_INFO& s)
{
    if (!IsSafeRelativePath(s.FileName, false) || !IsSafeRelativePath(s.LocalName, false))
        return L"file name leaves its folder";
    if (!IsSafeRelativePath(s.TargetDir, true))
        return L"target folder leaves the install folder";
    if (!IsSafeRelativePath(s.DestDir, true))
        return L"destination leaves the install folder";
    if (s.Hash[0] == L'\0')
        return L"no digest";
    return nullptr;
}

bool CToviUpdate::SHGetVersionOfFile(const CString& path, CString& version)
{
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path, 0, size, data.data()))
        return false;
    std::wstring text;
    if (!updaterules::ProductVersionText(data.data(), text))
        return false;
    version = text.c_str();
    return true;
}

bool CToviUpdate::CheckUpdate(const CString& localVersion, const CString& serverVersion)
{
    return updaterules::IsNewer(localVersion, serverVersion);
}

CString CToviUpdate::FileDigest(const CString& path)
{
    CSHA1 sha;
    bool whole = sha.HashFile(path);
    sha.Final();
    wchar_t hex[41] = {};
    if (!whole || !sha.ReportHashW(hex, 41, CSHA1::REPORT_HEX_UPPER))
        return CString();
    return CString(hex);
}

bool CToviUpdate::IsUpdate(int index, const CString& server, UpdateFileList& list, const CString& installDir, HWND owner)
{
    CString documents = DocumentsFolder();
    if (documents.IsEmpty()) {
        Message(index, owner, L"Fail to create download directory");
        return false;
    }
    CString base = documents + L"\\VariruDAD";
    CString downloadFolder = base + L"\\Update";
    CString imageFolder = base + L"\\Image";
    m_modules.clear();
    if (GetUpdateInfo(downloadFolder + product::DescriptionFile(index)) == -1) {
        Message(index, owner, L"Fail to read update information file");
        return false;
    }

    // One spelling per file: a description naming a file twice would stage and keep one copy
    // for two entries, so it is refused before anything is ended or fetched.
    UpdateFileList named;
    for (const _UPDATE_MODULE_INFO& s : m_modules)
        if (RefusalOf(s) == nullptr)
            AddUpdateItem(s, named, CString(), CString(), TargetOf(s, installDir), CString());
    CString twice = updatetargets::FirstDuplicate(named);
    if (!twice.IsEmpty()) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ IsUpdate ] two entries name [ %s ]\n", twice.GetString());
        CString text;
        text.Format(LoadResString(IDS_DUPLICATE_ENTRY), twice.GetString());
        Message(index, owner, text);
        m_modules.clear();
        return false;
    }
    const CString self = updatetargets::FileKey(installDir + L"\\CorvaneUpdate.exe");

    bool added = false;
    for (const _UPDATE_MODULE_INFO& s : m_modules) {
        if (const wchar_t* why = RefusalOf(s)) {
            TraceLog(2048, L" ■■■ [ UPDATE ][ IsUpdate ] [ %s ] refused: %s\n", s.SectionName, why);
            continue;
        }
        // The updater never replaces itself, however the description spells its name.
        if (updatetargets::FileKey(TargetOf(s, installDir)) == self)
            continue;
        if (CString(s.PreAction).CompareNoCase(L"KILL") == 0 && !KillProcess(s.LocalName, installDir)) {
            Message(index, owner, LoadResString(IDS_ALREADY_RUNNING));
            continue;
        }
        CString url = server + L"/" + (s.TargetDir[0] != L'\0' ? CString(s.TargetDir) + L"/" : CString()) +
                      (Encrypted(s) ? s.FileName : s.LocalName);
        CString target = TargetOf(s, installDir);
        CString download = Encrypted(s) ? target.Left(target.ReverseFind(L'\\') + 1) + s.FileName : CString();

        bool due = !Exists(target);
        if (!due && s.Version[0] != L'\0') {
            CString installed;
            due = !SHGetVersionOfFile(target, installed) || CheckUpdate(installed, s.Version);
        }
        if (!due)
            due = FileDigest(target).CompareNoCase(s.Hash) != 0;
        if (due) {
            AddUpdateItem(s, list, url, download, target, target);
            added = true;
        }
    }
    m_modules.clear();

    if (ResetUpdateImage(downloadFolder, server) != 0)
        return added;
    if (GetUpdateInfo(downloadFolder + L"\\Customize.ini") == -1) {
        Message(index, owner, L"Fail to read update information file");
        return added;
    }
    if (AddImages(index, server, downloadFolder, imageFolder, installDir, list, owner))
        added = true;
    m_modules.clear();
    CString sameImage = updatetargets::FirstDuplicate(list);
    if (!sameImage.IsEmpty()) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ IsUpdate ] two entries name [ %s ]\n", sameImage.GetString());
        CString text;
        text.Format(LoadResString(IDS_DUPLICATE_ENTRY), sameImage.GetString());
        Message(index, owner, text);
        list.clear();
        return false;
    }
    return added;
}

bool CToviUpdate::AddImages(int index, const CString& server, const CString&, const CString& imageFolder,
                            const CString& installDir, UpdateFileList& list, HWND owner)
{
    bool added = false;
    for (const _UPDATE_MODULE_INFO& s : m_modules) {
        bool ours = false;
        for (const wchar_t* const* key = product::ImageKeys(index); *key != nullptr; ++key)
            ours = ours || wcsncmp(s.SectionName, *key, wcslen(*key)) == 0;
        if (!ours)
            continue;
        if (const wchar_t* why = RefusalOf(s)) {
            TraceLog(2048, L" ■■■ [ UPDATE ][ IsUpdate ] [ %s ] refused: %s\n", s.SectionName, why);
            continue;
        }
        if (CString(s.PreAction).CompareNoCase(L"KILL") == 0 && !KillProcess(s.LocalName, installDir)) {
            Message(index, owner, LoadResString(IDS_ALREADY_RUNNING));
            continue;
        }
        CString url = server + L"/" + (s.TargetDir[0] != L'\0' ? CString(s.TargetDir) + L"/" : CString()) +
                      (Encrypted(s) ? s.FileName : s.LocalName);
        CString target = imageFolder + L"\\" + s.LocalName;
        CString download = Encrypted(s) ? imageFolder + L"\\" + s.FileName : CString();
        // Every image of the product is fetched again; the replacement keeps the old one until
        // the new one is proven.
        AddUpdateItem(s, list, url, download, target, target);
        added = true;
    }
    return added;
}

int CToviUpdate::ResetUpdateImage(const CString& folder, const CString& server)
{
    CString encrypted = folder + L"\\Customize.ini.enc";
    CString plain = folder + L"\\Customize.ini";
    if (Exists(plain))
        ::DeleteFileW(plain);
    if (!HTTPDown(nullptr, nullptr, server + L"/control/image/Customize.ini.enc", encrypted)) {
        TraceLog(2048, L" ■■■ [ CToviUpdate::ResetUpdateImage ] HTTPDown Failed! [ %d ] \n [ %s ] [ %s ] ",
                 static_cast<int>(::GetLastError()), (server + L"/control/image/Customize.ini.enc").GetString(),
                 encrypted.GetString());
        return -1;
    }
    _ENC_CTX ctx = {};
    ctx.algorithm = 1;
    ctx.mode = 3;
    ctx.keyBits = 128;
    int result = CToviCrypto::ToviKeySetup(&ctx) == 0 && CToviCrypto::ToviFileDecrypt(&ctx, encrypted, plain) == 0 ? 0 : -1;
    ::DeleteFileW(encrypted);
    SecureZeroMemory(&ctx, sizeof(ctx));
    return result;
}
