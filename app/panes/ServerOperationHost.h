// What the server panes' commands need from the main window around a server operation: the
// running-operation mode and the quota timer around a modal progress dialog, the messages that
// make the frame refresh its counters, and the option texts the sharing dialogs take.
//
// GUI thread only.
#pragma once
#include "ProtoRecords.h"
#include "ServerWebCommands.h"
#include "Strings.h"
#include <vector>
#include <windows.h>
#include <commctrl.h>

class CWnd;
class ISearchDownloadHost;

class IServerOperationHost {
public:
    virtual ~IServerOperationHost() = default;
    // Marks the operation as running; stopQuota also stops the quota timer until the end.
    virtual void BeginModalOperation(int mode, bool stopQuota) = 0;
    // Clears the mark; a stopped quota timer is armed again.
    virtual void EndModalOperation() = 0;
    virtual void PostQuotaUpdate() = 0;
    virtual void PostAlertUpdate() = 0;
    // The window the operation's dialogs belong to.
    virtual CWnd* DialogOwner() = 0;
    virtual CString ShareOption() = 0;
    virtual bool GroupShareOption() = 0;
    virtual CString WebPagePath() = 0;
    // The local tree's selected folder when it can take files; empty otherwise.
    virtual CString DownloadFolder() = 0;
    // The number of versions the server keeps (0: not said).
    virtual int VersionOption() = 0;
    // Where the version dialog sends its downloads (the splitter); null: its owner.
    virtual HWND TransferWindow() = 0;
    // What the search window downloads into; null: the user chooses a folder there.
    virtual ISearchDownloadHost* SearchDownloadHost() { return nullptr; }
    // The permission help page that the share dialogs ask for.
    virtual void ShowPermissionHelp() = 0;
    // Shows the page in the frame's pop-up of its kind: an open one is navigated again, else the
    // frame's script page is asked to open one (nothing happens when the frame has none).
    virtual void OpenWebPage(const webcmd::PageRequest& page) = 0;
    // Transfers go to the splitter: local files uploaded into folder, server items (from the
    // folder at serverPath) downloaded into the local tree's folder. folderItem is the server
    // tree's item of folder (null when it has none): when the upload ends that folder is listed
    // again if it is still the one shown.
    virtual void UploadFiles(const _PROTO_FOLDER_INFO& folder, const std::vector<CString>& paths,
                             HTREEITEM folderItem) = 0;
    virtual void DownloadItems(const std::vector<_PROTO_FOLDER_INFO>& items, const CString& serverPath) = 0;
};

// The main window's host; null when the program has no main frame (window tests set their own).
IServerOperationHost* MainFrameOperationHost();
class CMainFrame;
// A host for a given frame (the caller owns it).
IServerOperationHost* NewFrameOperationHost(CMainFrame* frame);

// The modal rule as a scope: begun on construction, ended on every way out.
class CModalOperationScope {
public:
    CModalOperationScope(IServerOperationHost* host, int mode, bool stopQuota) : m_host(host)
    {
        if (m_host)
            m_host->BeginModalOperation(mode, stopQuota);
    }
    ~CModalOperationScope()
    {
        if (m_host)
            m_host->EndModalOperation();
    }
    CModalOperationScope(const CModalOperationScope&) = delete;
    CModalOperationScope& operator=(const CModalOperationScope&) = delete;

private:
    IServerOperationHost* m_host;
};
