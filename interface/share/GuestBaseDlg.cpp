// CGuestBaseDlg: the guest dialogs' session, workers and painting.
#include "GuestBaseDlg.h"
#include "CircularProgressThread.h"
#include "DialogKit.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviProto.h"
#include "ToviString.h"

IMPLEMENT_DYNAMIC(CGuestBaseDlg, CSharePanelDlg)

BEGIN_MESSAGE_MAP(CGuestBaseDlg, CSharePanelDlg)
    ON_WM_CREATE()
    ON_MESSAGE(WM_CIRCULAR_PROGRESS, OnCircularProgress)
END_MESSAGE_MAP()

CGuestBaseDlg::CGuestBaseDlg(UINT templateId, CWnd* pParent)
    : CSharePanelDlg(templateId, pParent, {IDC_SHARE_FRAME_LEFT, IDC_SHARE_FRAME_RIGHT})
{
}

CGuestBaseDlg::~CGuestBaseDlg()
{
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
    }
}

bool CGuestBaseDlg::MakeSession()
{
    if (!m_pProto) {
        m_pProto = new CToviProto();
        m_pProto->NoTimerFlag = 8;
        m_session.CopyTo(*m_pProto);
    }
    return m_pProto != nullptr;
}

int CGuestBaseDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CVantelDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    return MakeSession() ? 0 : -1;
}

void CGuestBaseDlg::SetFolderTitle()
{
    const CString title = CToviString::GetString(m_nNewFolder ? 14006 : 14007);
    SetWindowText(title);
    SetTitleBar(title);
}

void CGuestBaseDlg::SkinButtons(unsigned okTextId)
{
    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(okTextId), 526);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), 528);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
}

void CGuestBaseDlg::RunWorker(UINT (*proc)(LPVOID))
{
    SendMessage(WM_CIRCULAR_PROGRESS, 0, 0);
    share::RunWorker(proc, this);
    SendMessage(WM_CIRCULAR_PROGRESS, static_cast<WPARAM>(-1), 0);
}

CGuestBaseDlg::Steps CGuestBaseDlg::RunSteps(const std::function<int()>& first, const std::function<int()>& next)
{
    if (first() != 0)
        return Steps::kFirstFailed;
    for (int step = 0; step < PROTO_MAX_STEPS && m_pProto->ContinueFlag[0] == 'Y'; ++step)
        if (next() != 0)
            return Steps::kStepFailed;
    m_pProto->CloseSocket();
    return Steps::kDone;
}

LRESULT CGuestBaseDlg::OnCircularProgress(WPARAM wParam, LPARAM)
{
    if (wParam == 0) {
        ActivateWindow(m_hWnd);
        UpdateWindow();
        if (!m_pSpinner)
            m_pSpinner = CCircularProgressThread::Start(this, 50, 0x9E6723);
        // Shown once its window exists, so that a short request cannot stop it half made.
        if (m_pSpinner && m_pSpinner->WaitUntilReady(2000))
            m_pSpinner->SetShow(true);
    } else if (m_pSpinner) {
        CCircularProgressThread::Stop(m_pSpinner);
        m_pSpinner = nullptr;
    }
    return 0;
}
