// The main frame's side of the server panes' operations.
#include "MainFrame.h"
#include "ServerOperationHost.h"
#include "ToviMessages.h"
#include <string>

namespace {

class CFrameOperationHost : public IServerOperationHost {
public:
    explicit CFrameOperationHost(CMainFrame* frame) : m_frame(frame) {}

    void BeginModalOperation(int mode, bool stopQuota) override
    {
        m_frame->m_nModalOp = mode;
        m_stoppedQuota = stopQuota;
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

private:
    CMainFrame* m_frame;
    bool m_stoppedQuota = false;
};

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
