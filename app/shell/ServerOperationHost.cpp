// The main frame's side of the server panes' operations.
#include "ClientLeftView.h"
#include "MainFrame.h"
#include "PopupDlg.h"
#include "ToviHtmlView.h"
#include "ServerOperationHost.h"
#include "ToviMessages.h"
#include "TraceLog.h"
#include <string>

namespace {

class CFrameOperationHost : public IServerOperationHost {
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
    // The one place where the panes' transfers meet the splitter. Its Upload and Download
    // entries are not in this build yet: until they are, the jobs are traced and not run.
    void UploadFiles(const _PROTO_FOLDER_INFO& folder, const std::vector<CString>& paths) override
    {
        for (const CString& path : paths)
            TraceLog(2048, L"[ UploadFiles ] %s -> %S (no splitter entry)\n", path.GetString(), folder.IDX);
    }
    void DownloadItems(const std::vector<_PROTO_FOLDER_INFO>& items, const CString& serverPath) override
    {
        for (const _PROTO_FOLDER_INFO& item : items)
            TraceLog(2048, L"[ DownloadItems ] %s/%s (no splitter entry)\n", serverPath.GetString(), item.Name);
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
