// CInfoBarDlg: the information bar under the caption bar. Its alert and quota panels come
// later; it already keeps what the log-in and the keep-alive workers hand it and shows the
// user's name.
#pragma once
#include "ProtoRecords.h"
#include "ShellBar.h"
#include <mutex>
#include <vector>

class CInfoBarDlg : public CShellBar {
    DECLARE_DYNAMIC(CInfoBarDlg)
public:
    CInfoBarDlg();
    // Any thread: the workers hand their replies here.
    void SetAlarmInfo(const _ALARM_INFO& alarm);
    void SetQuotaList(const std::vector<_QUOTA_INFO>& quota);
    _ALARM_INFO GetAlarmInfo();
    std::vector<_QUOTA_INFO> GetQuotaList();
    // UI thread.
    void SetUser(const CString& user);

protected:
    void PaintBackground(CDC* pDC, const CRect& rect) override;

private:
    std::mutex m_lock;
    _ALARM_INFO m_alarm = {};
    std::vector<_QUOTA_INFO> m_quota;
    CString m_strUser;
};
