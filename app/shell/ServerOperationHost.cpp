// The main frame's side of the server panes' operations.
#include "ClientLeftView.h"
#include "MainFrame.h"
#include "PopupDlg.h"
#include "SearchDlg.h"
#include "ToviHtmlView.h"
#include "ServerOperationHost.h"
#include "ToviMessages.h"
#include "TraceLog.h"
#include "TransferJobs.h"
#include <string>

namespace {

class CFrameOperationHost : public IServerOperationHost, public ISearchDownloadHost {
public:
    explicit CFrameOperationHost(CMainFrame* frame) : m_frame(frame) {}

    void BeginModalOperation(int mode, bool stopQuota) override
    {
        m_frame->m_nModalOp = mode;
        m_stoppedQuota = stopQuota;
        // A log-out that arrives meanwhile waits for the operation's end.
        m_frame->BeginModal();
        // No quota worker may run beside the dialog's own requests.
        if (stopQuota && m_frame->GetSafeHwnd())
            m_frame->KillTimer(IDT_QUOTAUPDATE);
    }
    void EndModalOperation() override
    {
        if (m_stoppedQuota)
            m_frame->ArmTimer(IDT_QUOTAUPDATE, m_frame->m_nQuotaInterval);
        m_stoppedQuota = false;
        m_frame->m_nModalOp = -1;
        m_frame->EndModal();
    }
    void PostQuotaUpdate() override
    {
        if (m_frame->GetSafeHwnd())
            m_frame->PostMessage(WM_QUOTA_UPDATE, 0, 0);
    }
    void PostAlertUpdate() override
    {
        if (m_frame->GetSafeHwnd())
            m_frame->PostMessage(WM_ALERT_UPDATE, 0, 0);
    }
    CWnd* DialogOwner() override { return m_frame; }
    CString ShareOption() override
    {
        std::string text(m_frame->m_szShareOption, strnlen(m_frame->m_szShareOption, sizeof m_frame->m_szShareOption));
        return CString(text.c_str());
    }
    bool GroupShareOption() override { return m_frame->m_szGroupShareOption[0] == 'Y'; }
    CString WebPagePath() override { return m_frame->m_strWebPath; }
    CString DownloadFolder() override
    {
        return m_frame->m_pLocalTreeView ? m_frame->m_pLocalTreeView->SelectedPath() : CString();
    }
    int VersionOption() override { return m_frame->m_nVersionOption; }
    HWND TransferWindow() override { return m_frame->m_wndSplitter.GetSafeHwnd(); }
    ISearchDownloadHost* SearchDownloadHost() override { return this; }
    bool IsLocalPaneShown() override
    {
        return m_frame->m_pLocalTreeView && m_frame->m_pLocalTreeView->GetSafeHwnd() &&
               m_frame->m_pLocalTreeView->IsWindowVisible();
    }
    CString SelectedLocalFolder() override { return DownloadFolder(); }
    void ShowPermissionHelp() override
    {
        const int slot = mainframe::PopupSlot(7);
        CPopupDlg* open = slot >= 0 ? m_frame->m_popups[slot] : nullptr;
        if (open && open->GetSafeHwnd()) {
            open->ShowWindow(SW_SHOW);
            return;
        }
        if (m_frame->m_pWebView) {
            m_frame->m_pWebView->m_nPopupKind = 7;
            m_frame->m_pWebView->CallJScript(L"openViewPermHelp", {CString(L"0")});
        }
    }
    void OpenWebPage(const webcmd::PageRequest& page) override
    {
        CToviHtmlView* script = m_frame->m_pScriptView;
        if (!script)
            return;
        script->m_strPopupUrl = page.url;
        script->m_strPopupParam = page.body;
        TraceLog(1024, L"[ OpenWebPage ] URL : %s\n", page.url.GetString());
        TraceLog(1024, L"[ OpenWebPage ] PARAM : %s\n", page.body.GetString());
        const int slot = mainframe::PopupSlot(page.kind);
        CPopupDlg* open = slot >= 0 ? m_frame->m_popups[slot] : nullptr;
        if (!open) {
            TraceLog(1, L"[ OpenWebPage ] CallJScript -- %s\n", page.function.GetString());
            script->m_nPopupKind = page.kind;
            script->CallJScript(page.function, page.args);
            return;
        }
        // A pop-up of another kind in the slot is left as it is.
        if (open->m_nPopupKind == page.kind && open->GetSafeHwnd()) {
            open->m_strUrl = page.url;
            open->m_strParam = page.body;
            open->SetNavigateData();
            open->ShowWindow(SW_SHOWNORMAL);
        }
    }
    // The one place where the panes' transfers meet the splitter. An item that does not fit its
    // job record is refused with a message and the others go on.
    void UploadFiles(const _PROTO_FOLDER_INFO& folder, const std::vector<CString>& paths, HTREEITEM folderItem) override
    {
        _PROTO_FOLDER_INFO target = folder;
        std::vector<_UPLOADINFO> items;
        for (const CString& path : paths) {
            const DWORD attributes = ::GetFileAttributesW(path);
            const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
            _UPLOADINFO item = {};
            const transferjobs::Refusal why =
                transferjobs::ForUpload(path, target, reinterpret_cast<DWORD_PTR>(folderItem),
                                        isFolder ? UPLOADINFO_FOLDER : 0, item);
            if (why != transferjobs::Refusal::None) {
                m_frame->m_wndSplitter.ShowRefusal(transferjobs::RefusalText(why, path, isFolder));
                continue;
            }
            items.push_back(item);
        }
        if (!items.empty())
            m_frame->m_wndSplitter.Upload(&target, items);
    }
    void DownloadItems(const std::vector<_PROTO_FOLDER_INFO>& records, const CString& serverPath) override
    {
        const CString dest = DownloadFolder();
        if (dest.IsEmpty()) {
            TraceLog(2048, L"[ DownloadItems ] no local folder chosen\n");
            return;
        }
        std::vector<_DOWNLOADINFO> items;
        for (const _PROTO_FOLDER_INFO& record : records) {
            _DOWNLOADINFO item = {};
            const transferjobs::Refusal why = transferjobs::FromFolderRecord(record, serverPath, dest, item);
            if (why != transferjobs::Refusal::None) {
                m_frame->m_wndSplitter.ShowRefusal(
                    transferjobs::RefusalText(why, record.Name, record.ItemType[0] == 'D'));
                continue;
            }
            items.push_back(item);
        }
        if (!items.empty())
            m_frame->m_wndSplitter.Download(std::move(items));
    }

private:
    CMainFrame* m_frame;
    bool m_stoppedQuota = false;
};

}

IServerOperationHost* NewFrameOperationHost(CMainFrame* frame)
{
    return new CFrameOperationHost(frame);
}

IServerOperationHost* MainFrameOperationHost()
{
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame)
        return nullptr;
    static CMainFrame* s_frame = nullptr;
    static CFrameOperationHost* s_frameHost = nullptr;
    if (s_frame != frame) {
        delete s_frameHost;
        s_frameHost = new CFrameOperationHost(frame);
        s_frame = frame;
    }
    return s_frameHost;
}
