// CToviUpdate: the full check, the module and image descriptions, and the list check.
#include "ToviUpdate.h"
#include "FileUtils.h"
#include "SystemFacts.h"
#include "ToviExec.h"
#include "TraceLog.h"
#include <cwchar>

namespace {

const wchar_t kUpdateProgramSection[] = L"CORVANEUPDATE";

bool FileExists(const CString& path)
{
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

struct ImageRole {
    int index;
    const wchar_t* section;   // null: no section names it
    const wchar_t* file;
    bool mainIcon;
};

const ImageRole kImageRoles[] = {
    { 0, L"IXOLOGINIMAGE", L"login.png", false },
    { 0, L"IXOBANNERIMAGE", L"logo.png", false },
    { 0, L"IXOMAINICON", L"ixo_main.ico", true },
    { 0, L"IXOTRAYONICON", L"ixo_tray_on.ico", false },
    { 0, L"IXOTRAYOFFICON", L"ixo_tray_off.ico", false },
    { 1, L"DRIVEIXOLOGINIMAGE", L"login_drive.png", false },
    { 1, L"DRIVEIXOMAINICON", L"ixo_main_drive.ico", true },
    { 1, L"DRIVEIXOTRAYONICON", L"ixo_tray_on_drive.ico", false },
    { 1, L"DRIVEIXOTRAYOFFICON", L"ixo_tray_off_drive.ico", false },
    { 2, nullptr, L"login_backup.png", false },
    { 2, nullptr, L"logo_backup.png", false },
    { 2, nullptr, L"ixo_main_backup.ico", true },
    { 2, nullptr, L"ixo_tray_on_backup.ico", false },
    { 2, nullptr, L"ixo_tray_off_backup.ico", false },
};

CString ModuleUrl(const CString& base, const _UPDATE_MODULE_INFO& m)
{
    CString url = base;
    if (m.TargetDir[0] != L'\0')
        url += CString(L"/") + m.TargetDir;
    return url + L"/" + m.FileName;
}

}

int CToviUpdate::IsUpdate(int index, HWND window, CString baseUrl)
{
    TraceLog(1, L"[ CToviUpdate::IsUpdate ] START!\n");
    if (baseUrl.IsEmpty()) {
        TraceLog(2048, L"[ CToviUpdate::IsUpdate ] Update URL is Empty!\n");
        return -1;
    }
    CString installDir = GetInstallDir(index);
    if (installDir.IsEmpty()) {
        TraceLog(2048, L"[ CToviUpdate::IsUpdate ] Install Directory is Empty!");
        return -1;
    }
    CString documents;
    if (!CSystemFacts::Current().DocumentsFolder(documents)) {
        TraceLog(2048, L"[ CToviUpdate::IsUpdate ]  SHGetSpecialFolderPath Failed!");
        return -1;
    }
    CString dataDir = documents + L"\\VariruDAD";
    CFileUtils::IsExistFolder(dataDir, 1);

    int module = IsUpdateModule(window, installDir, dataDir, baseUrl);
    TraceLog(1, L"[ CToviUpdate::IsUpdate ] nUpdateModule return : %d !\n", module);
    int image = IsUpdateImage(index, window, installDir, dataDir, baseUrl);
    TraceLog(1, L"[ CToviUpdate::IsUpdate ] nUpdateImage return : %d !\n", image);
    if (module == 0 || module == 1) {
        TraceLog(1024, L"[ CToviUpdate::IsUpdate] UPDATE NEED!!");
        return module;
    }
    if (image == 0) {
        TraceLog(1024, L"[ CToviUpdate::IsUpdate] IMAGE UPDATE NEED!!");
        return 0;
    }
    return -1;
}

int CToviUpdate::IsUpdateModule(HWND window, CString installDir, CString dataDir, CString baseUrl)
{
    CToviExec exec;
    bool mayNotReplace = exec.IsVista() && exec.IsElevated(nullptr) == 1;
    CString updateDir = dataDir + L"\\Update";
    CFileUtils::IsExistFolder(updateDir, 1);

    CString url = baseUrl + L"/control/app/Update.ini.enc";
    CString enciphered = updateDir + L"\\Update.ini.enc";
    CString ini = updateDir + L"\\Update.ini";
    if (!HTTPDown(nullptr, url, enciphered)) {
        TraceLog(2048, L"HTTP DOWNLOAD FAILED -->  %s [ %d ]", url.GetString(), static_cast<int>(::GetLastError()));
        return -1;
    }
    if (CToviCrypto::ToviFileDecrypt(&m_ctx, enciphered, ini) != 0) {
        TraceLog(2048, L"[ ToviFileDecrypt ] FAILED!");
        return -1;
    }
    if (!::DeleteFileW(enciphered)) {
        TraceLog(2048, L"[ DeleteFile ] FAILED! [ %s ]", enciphered.GetString());
        return -1;
    }
    size_t first = m_modules.size();
    if (GetUpdateInfo(ini) != 0) {
        TraceLog(2048, L"[ GetUpdateInfo ] FAILED!");
        return -1;
    }

    bool needed = false;
    for (size_t i = first; i < m_modules.size(); ++i) {
        const _UPDATE_MODULE_INFO& m = m_modules[i];
        CString moduleUrl = ModuleUrl(baseUrl, m);
        CString downloaded = updateDir + L"\\" + m.FileName;
        CString plain = updateDir + L"\\" + m.LocalName;
        CString installed = installDir + L"\\" + m.LocalName;
        wchar_t localVersion[24] = {};

        if (CString(m.SectionName).CompareNoCase(kUpdateProgramSection) != 0) {
            if (!FileExists(installed)) {
                TraceLog(2048, L"[ IsUpdateModule] FindFirstFile == INVALID_HANDLE_VALUE [ %d ]", static_cast<int>(::GetLastError()));
                needed = true;
            } else if (m.Version[0] != L'\0') {
                if (!SHGetVersionOfFile(const_cast<wchar_t*>(installed.GetString()), localVersion, 24)) {
                    needed = true;
                } else {
                    TraceLog(1, L"[ IsUpdateModule] [ %s ]\n[ %s ]\n[ %s ]\n ", installed.GetString(), localVersion, m.Version);
                    if (CheckUpdate(localVersion, const_cast<wchar_t*>(m.Version)))
                        needed = true;
                }
            } else if (!SameHash(installed, m.Hash)) {
                needed = true;
            }
            continue;
        }

        // The update program replaces the others, so it is replaced here, before it runs.
        if (FileExists(installed) && m.Version[0] != L'\0' &&
            SHGetVersionOfFile(const_cast<wchar_t*>(installed.GetString()), localVersion, 24) &&
            !CheckUpdate(localVersion, const_cast<wchar_t*>(m.Version)))
            continue;
        TraceLog(1, L"[ IsUpdateModule] SET_DOWNLOAD_DATA\n ");
        if (mayNotReplace)
            return 1;
        bool enciphered = updatedesc::IsEncrypted(m, updatedesc::EncryptMark::kEitherCase);
        if (!HTTPDown(nullptr, moduleUrl, enciphered ? downloaded : plain)) {
            TraceLog(2048, L"[ IsUpdateModule] HTTPDown failed. %s\t%s", moduleUrl.GetString(),
                     (enciphered ? downloaded : plain).GetString());
            return -1;
        }
        if (enciphered) {
            if (CToviCrypto::ToviFileDecrypt(&m_ctx, downloaded, plain) != 0) {
                TraceLog(2048, L"[ IsUpdateModule] ToviFileDecrypt failed.");
                ::DeleteFileW(downloaded);
                return -1;
            }
            ::DeleteFileW(downloaded);
        }
        if (m.Hash[0] == L'\0')
            continue;
        if (!SameHash(plain, m.Hash)) {
            TraceLog(1, L"[ IsUpdateModule]DeleteFile [ %s ] \n ", plain.GetString());
            ::DeleteFileW(plain);
        } else if (CString(m.DestDir).CompareNoCase(L"Update") == 0) {
            // One move replaces the old program, so that there is always one in place.
            TraceLog(1, L"[ IsUpdateModule] MoveFile [ %s  to  %s ] \n ", plain.GetString(), installed.GetString());
            if (!::MoveFileExW(plain, installed, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
                TraceLog(2048, L"[ IsUpdateModule] MoveFile failed [ %d ]", static_cast<int>(::GetLastError()));
        }
    }
    if (needed) {
        TraceLog(1, L"[ IsUpdateModule] return 0 --> UPDATE NEED! \n");
        return 0;
    }
    TraceLog(1024, L"[ IsUpdateModule] LASTEST VERSION! ");
    return -1;
}

int CToviUpdate::IsUpdateImage(int index, HWND, CString, CString dataDir, CString baseUrl)
{
    CString updateDir = dataDir + L"\\Update";
    CString imageDir = dataDir + L"\\Image";
    CFileUtils::IsExistFolder(updateDir, 1);
    CFileUtils::IsExistFolder(imageDir, 1);

    // Without a usable description the customised images stay as they are: a server or
    // network failure must not take away what the user sees.
    CString enciphered = updateDir + L"\\Customize.ini.enc";
    CString ini = updateDir + L"\\Customize.ini";
    if (!HTTPDown(nullptr, baseUrl + L"/control/image/Customize.ini.enc", enciphered)) {
        TraceLog(2048, L"[ CToviUpdate::IsUpdateImage ] HTTPDown Failed! [ %d ] ", static_cast<int>(::GetLastError()));
        return -1;
    }
    if (CToviCrypto::ToviFileDecrypt(&m_ctx, enciphered, ini) != 0) {
        TraceLog(1, L"[ CToviUpdate::IsUpdateImage ] ToviFileDecrypt Failed!");
        ::DeleteFileW(enciphered);
        return -1;
    }
    ::DeleteFileW(enciphered);
    if (GetUpdateInfo(ini) != 0) {
        TraceLog(2048, L"[ CToviUpdate::IsUpdateImage ] no section in the description");
        return -1;
    }

    bool changed = false;
    bool named[sizeof(kImageRoles) / sizeof(kImageRoles[0])] = {};
    for (const _UPDATE_MODULE_INFO& m : m_modules) {
        for (size_t r = 0; r < sizeof(kImageRoles) / sizeof(kImageRoles[0]); ++r) {
            const ImageRole& role = kImageRoles[r];
            if (role.index != index || role.section == nullptr ||
                wcsncmp(m.SectionName, role.section, wcslen(role.section)) != 0)
                continue;
            named[r] = true;
            CString local = imageDir + L"\\" + m.LocalName;
            if (!FileExists(local)) {
                changed = true;
            } else if (m.Hash[0] != L'\0' && !SameHash(local, m.Hash)) {
                ::DeleteFileW(local);
                changed = true;
            }
        }
    }
    for (size_t r = 0; r < sizeof(kImageRoles) / sizeof(kImageRoles[0]); ++r) {
        const ImageRole& role = kImageRoles[r];
        if (role.index != index || named[r])
            continue;
        CString local = imageDir + L"\\" + role.file;
        if (FileExists(local)) {
            ::DeleteFileW(local);
            if (role.mainIcon)
                changed = true;
        }
    }
    return changed ? 0 : -1;
}

int CToviUpdate::IsUpdate(int index, std::vector<_UPDATE_CHECK> list)
{
    CString installDir = GetInstallDir(index);
    if (installDir.IsEmpty()) {
        TraceLog(2048, L"[ CToviUpdate::IsUpdate ] Install Directory is Empty!");
        return -1;
    }
    for (const _UPDATE_CHECK& item : list) {
        CString name(item.FileName, static_cast<int>(wcsnlen(item.FileName, 512)));
        if (!IsSafeRelativePath(name, false)) {
            TraceLog(2048, L"[ CToviUpdate::IsUpdate ] [ %s ] is outside the install folder\n", name.GetString());
            continue;
        }
        CString path = installDir + L"\\" + name;
        if (!FileExists(path))
            TraceLog(1, L"[ CToviUpdate::IsUpdate ] FindFirstFile is INVALID_HANDLE_VALUE!\n");
        CString listedVersion(item.Version, static_cast<int>(wcsnlen(item.Version, 50)));
        if (!listedVersion.IsEmpty()) {
            wchar_t localVersion[24] = {};
            if (!SHGetVersionOfFile(const_cast<wchar_t*>(path.GetString()), localVersion, 24) ||
                CheckUpdate(localVersion, const_cast<wchar_t*>(listedVersion.GetString())))
                return 0;
        } else {
            CString listedHash(item.Hash, static_cast<int>(wcsnlen(item.Hash, 50)));
            if (!SameHash(path, listedHash))
                return 0;
        }
    }
    return -1;
}

int CToviUpdate::DeleteOldImagesNIcons(int index, CString updateDir, CString imageDir)
{
    ::DeleteFileW(updateDir + L"\\Customize.ini.enc");
    ::DeleteFileW(updateDir + L"\\Customize.ini");
    const wchar_t* login = index == 1 ? L"login_drive.png" : index == 2 ? L"login_backup.png" : L"login.png";
    ::DeleteFileW(imageDir + L"\\" + login);
    if (index == 0)
        ::DeleteFileW(imageDir + L"\\logo.png");
    const wchar_t* mainIcon = index == 1 ? L"ixo_main_drive.ico" : index == 2 ? L"ixo_main_backup.ico" : L"ixo_main.ico";
    bool mainDeleted = false;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(imageDir + L"\\*.ico", &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                continue;
            if (::DeleteFileW(imageDir + L"\\" + data.cFileName) && _wcsicmp(data.cFileName, mainIcon) == 0)
                mainDeleted = true;
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    if (mainDeleted) {
        TraceLog(1024, L" [ DeleteOldImagesNIcons ] UPDATE NEED! : <%s> File Exist!", mainIcon);
        return 0;
    }
    TraceLog(1024, L" [ DeleteOldImagesNIcons ] return -1 \n");
    return -1;
}
