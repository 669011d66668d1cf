// CDirectEditAddOn: install, update, lock and start of the direct-edit add-on.
#include "DirectEditAddOn.h"
#include "FileUtils.h"
#include "InstallerTrust.h"
#include "ToviExec.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviUpdate.h"
#include "TraceLog.h"
#include "Wnd.h"
#include <shlobj.h>
#include <cstring>

namespace {

const wchar_t kCaption[] = L"CorvaneIXO";
const wchar_t kProgram[] = L"IxoDirectEdit.exe";
const wchar_t kSetup[] = L"IXO_DE_SETUP.exe";
// Sent to the pane before the add-on starts, so that it shows the file's new state.
const UINT kDirectEditRefresh = WM_USER + 72;

bool HttpDown(HWND window, const CString& url, const CString& file)
{
    CToviUpdate update;
    return update.HTTPDown(window, url, file);
}

int ShellStart(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder)
{
    return CToviExec().MyShellExec(window, verb, file, parameters, folder);
}

int RunSetup(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, const wchar_t* folder)
{
    return CToviExec().ExecuteDESetup(window, verb, file, parameters, folder);
}

bool ProcessRuns(const CString& name)
{
    return CFileUtils::FindProcess(name) != 0;
}

CString FileVersion(const CString& path)
{
    const wchar_t* version = CFileUtils::GetFileVersionString(path);
    return version ? CString(version) : CString();
}

CString SystemFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path)))
        return CString();
    return path;
}

bool FileExists(const CString& path)
{
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void CopyText(char* dest, size_t size, const CString& text)
{
    std::memset(dest, 0, size);
    ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), dest, static_cast<int>(size) - 1, nullptr, nullptr);
}

}

CDirectEditAddOn::Downloader CDirectEditAddOn::s_pDownload = HttpDown;
CDirectEditAddOn::Launcher CDirectEditAddOn::s_pLaunch = ShellStart;
CDirectEditAddOn::Launcher CDirectEditAddOn::s_pRunSetup = RunSetup;
CDirectEditAddOn::ProcessProbe CDirectEditAddOn::s_pRunning = ProcessRuns;
CDirectEditAddOn::VersionReader CDirectEditAddOn::s_pVersion = FileVersion;
CDirectEditAddOn::FolderOf CDirectEditAddOn::s_pFolder = SystemFolder;

CDirectEditAddOn::CDirectEditAddOn(CWnd* pane, CToviProto* proto) : m_pPane(pane), m_pProto(proto) {}

int CDirectEditAddOn::Message(const wchar_t* text, unsigned type)
{
    return CFileUtils::ToviMessageBox(m_pPane, text, kCaption, type);
}

CString CDirectEditAddOn::GetDEPath() const
{
    const bool orsbank = m_pProto && m_pProto->CustomerCode.CompareNoCase(L"ORSBANK") == 0;
    const CString path =
        s_pFolder(orsbank ? CSIDL_COMMON_APPDATA : CSIDL_PROGRAM_FILES) + L"\\Orlemsecurity\\VariruDAD_DE\\" + kProgram;
    TraceLog(1, L"[ GetDEPath() ] %s\n", (LPCWSTR)path);
    return path;
}

CString CDirectEditAddOn::DownloadFolder() const
{
    const CString documents = s_pFolder(CSIDL_PERSONAL);
    if (documents.IsEmpty())
        return CString();
    ::CreateDirectoryW(documents + L"\\VariruDAD", nullptr);
    ::CreateDirectoryW(documents + L"\\VariruDAD\\Update", nullptr);
    return documents + L"\\VariruDAD\\Update";
}

CString CDirectEditAddOn::QuoteArgument(const CString& value)
{
    // Backslashes count only in front of a quote: there they are doubled and the quote escaped;
    // before the closing quote they are doubled too.
    CString quoted = L"\"";
    int backslashes = 0;
    for (int i = 0; i < value.GetLength(); ++i) {
        const wchar_t c = value[i];
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            for (int n = 0; n < backslashes * 2 + 1; ++n)
                quoted += L'\\';
        } else {
            for (int n = 0; n < backslashes; ++n)
                quoted += L'\\';
        }
        backslashes = 0;
        quoted += c;
    }
    for (int n = 0; n < backslashes * 2; ++n)
        quoted += L'\\';
    quoted += L'"';
    return quoted;
}

CString CDirectEditAddOn::CommandLine(const std::vector<CString>& values)
{
    CString line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i)
            line += L' ';
        line += QuoteArgument(values[i]);
    }
    return line;
}

int CDirectEditAddOn::IsNeedUpdate()
{
    TraceLog(1, L"[ CServerRightView::IsNeedUpdate ] START!");
    const CString server = m_pProto ? m_pProto->ServerAddress.WebServerAddress : CString();
    const CString folder = DownloadFolder();
    if (server.IsEmpty() || folder.IsEmpty()) {
        TraceLog(1, L"[ CServerRightView::IsNeedUpdate ] LASTEST VERSION!");
        return 0;
    }
    const CString description = folder + L"\\config.ini";
    TraceLog(1, L"[ CServerRightView::IsNeedUpdate ] Download File Path = %s", (LPCWSTR)description);
    if (!s_pDownload(m_pPane ? m_pPane->GetSafeHwnd() : nullptr, server + L"/cab/config.ini", description)) {
        TraceLog(1, L"[ CServerRightView::IsNeedUpdate ] HTTPDown Failed.");
        TraceLog(1, L"[ CServerRightView::IsNeedUpdate ] LASTEST VERSION!");
        return 0;
    }
    wchar_t offered[257] = {};
    ::GetPrivateProfileStringW(L"IXO_DE", L"VERSION", L"", offered, 256, description);
    CString serverVersion(offered), installedVersion = s_pVersion(GetDEPath());
    serverVersion.Replace(L".", L",");
    installedVersion.Replace(L".", L",");
    return CFileUtils::IsHighVersion(serverVersion, installedVersion) ? 1 : 0;
}

bool CDirectEditAddOn::InstallDE()
{
    TraceLog(1, L"[ CServerRightView::InstallDE ] START!");
    const CString server = m_pProto ? m_pProto->ServerAddress.WebServerAddress : CString();
    const CString folder = DownloadFolder();
    if (server.IsEmpty() || folder.IsEmpty())
        return false;
    const CString setup = folder + L"\\" + kSetup;
    TraceLog(1, L"[ CServerRightView::InstallDE ] Download File Path = %s", (LPCWSTR)setup);
    HWND owner = m_pPane ? m_pPane->GetSafeHwnd() : nullptr;
    if (!s_pDownload(owner, server + L"/cab/" + kSetup, setup)) {
        TraceLog(1, L"[ CServerRightView::InstallDE ] HTTPDown Failed.");
        return false;
    }
    if (!installer::Accept(m_pPane, setup))
        return false;
    CToviExec exec;
    const bool elevate = exec.IsVista() && exec.IsElevated(nullptr) == 1;
    const bool ran = s_pRunSetup(owner, elevate ? L"runas" : nullptr, kSetup, L"/S", folder) == 1;
    if (ran) {
        const CString done = CToviMsg::GetString(12130);
        TraceLog(1, L"%s", (LPCWSTR)done);
        Message(done, MB_ICONEXCLAMATION);
    }
    TraceLog(1, L"[ CServerRightView::InstallDE ] END!");
    return ran;
}

bool CDirectEditAddOn::Lock(const DirectEditFile& file, bool* readOnly)
{
    char idx[32], didx[32];
    CopyText(idx, sizeof idx, file.fileIdx);
    CopyText(didx, sizeof didx, file.domainIdx);
    char yes[2] = "Y";
    char edit[2] = "Y";
    if (m_pProto->GetSendFileSet(idx, didx, yes, edit) != 0) {
        Message(m_pProto->ResultInfo.wszMessage, MB_ICONSTOP);
        return false;
    }
    *readOnly = m_pProto->LimitInfo.DirectEditAttribute[0] == 'R';
    if (*readOnly)
        Message(m_pProto->LimitInfo.DirectEditMessage, MB_ICONEXCLAMATION);
    return true;
}

void CDirectEditAddOn::Unlock(const DirectEditFile& file)
{
    // The protocol has no edit unlock of its own: "off" clears the locks this user holds.
    char idx[32], didx[32];
    CopyText(idx, sizeof idx, file.fileIdx);
    CopyText(didx, sizeof didx, file.domainIdx);
    char no[2] = "N";
    char noEdit[2] = "N";
    if (m_pProto->GetSendFileSet(idx, didx, no, noEdit) != 0)
        TraceLog(2048, L"[ CDirectEditAddOn::Unlock ] the lock stays: %s\n", m_pProto->ResultInfo.wszMessage);
}

int CDirectEditAddOn::OnDirectEdit(const DirectEditFile* file, int selectedCount)
{
    TraceLog(1, L"[ CServerRightView::OnDirectEdit ] START!");
    if (m_pProto == nullptr)
        return 0;
    const CString program = GetDEPath();
    if (!FileExists(program)) {
        TraceLog(1, L"[ CServerRightView::CheckInstallDE ] Direct Edit is not Installed!!");
        return InstallDE() ? 1 : 0;
    }
    // A running add-on is never updated under its feet.
    if (!s_pRunning(kProgram) && IsNeedUpdate() == 1) {
        InstallDE();
        return 0;
    }
    if (file == nullptr || selectedCount > 1)
        return 0;

    bool locked = false;
    bool readOnly = false;
    if (m_pProto->OptionInfo.UserFileLimited[0] == 'Y') {
        TraceLog(1, L"[ CServerRightView::OnDirectEdit ] UserFileLimit [ A1 ] - Y : File Lock!");
        if (!Lock(*file, &readOnly))
            return 0;
        locked = !readOnly;
    }
    HWND pane = m_pPane ? m_pPane->GetSafeHwnd() : nullptr;
    if (pane)
        ::SendMessageW(pane, kDirectEditRefresh, 0, 0);

    CString hwndText;
    hwndText.Format(L"%d", static_cast<int>(reinterpret_cast<INT_PTR>(pane)));
    const std::vector<CString> values = {m_pProto->ServerAddress.WebServerAddress, m_pProto->LoginInfo.UserId,
                                         file->fileIdx, file->folderIdx, file->folderType, file->domainIdx, hwndText,
                                         readOnly ? L"R" : L"Y"};
    TraceLog(1, L"IP_ADDR = %s\nUSER_ID = %s\nFileIDX = %s\nFolderIDX = %s\nDType = %s\nDomainIDX = %s\nHWND = %s\n"
                L"READONLY = %s\n",
             (LPCWSTR)values[0], (LPCWSTR)values[1], (LPCWSTR)values[2], (LPCWSTR)values[3], (LPCWSTR)values[4],
             (LPCWSTR)values[5], (LPCWSTR)values[6], (LPCWSTR)values[7]);
    const CString line = CommandLine(values);
    TraceLog(1, L"[ CServerRightView::OnDirectEdit ] PARAMETER  = %s\n", (LPCWSTR)line);
    if (s_pLaunch(nullptr, L"runas", program, line, nullptr) == 0) {
        // Declined or failed: nobody edits the file, so nobody may keep it locked.
        TraceLog(2048, L"[ CServerRightView::OnDirectEdit ] the add-on did not start\n");
        if (locked)
            Unlock(*file);
        return 0;
    }
    TraceLog(1, L"[ CServerRightView::OnDirectEdit ] END!\n");
    return 1;
}
