// CGuestBaseDlg: what the guest dialogs share: a protocol object of their own made from the
// caller's session, the workers run under the circular progress, the skinned buttons, the close
// button and the white panels (CSharePanelDlg).
#pragma once
#include "ShareCommon.h"
#include "ToviButton.h"
#include "SharePanelDlg.h"
#include "ToviInterfaceApi.h"
#include <functional>

class CToviProto;
class CCircularProgressThread;

#ifndef WM_ERROR_DISP
#define WM_ERROR_DISP (WM_USER + 1)
#endif
#ifndef WM_CIRCULAR_PROGRESS
#define WM_CIRCULAR_PROGRESS (WM_USER + 2)
#endif

class TOVIINTERFACE_API CGuestBaseDlg : public CSharePanelDlg {
    DECLARE_DYNAMIC(CGuestBaseDlg)
public:
    ~CGuestBaseDlg() override;

    // The caller's session, copied into the dialog's own protocol object when it is made.
    share::SessionBlock m_session;
    // Non-zero: a new guest folder under the selected folder; 0: the selected guest folder.
    int m_nNewFolder = 0;
    // The guest folder's name; empty for a new one.
    wchar_t m_wszFolderName[512] = {};

protected:
    CGuestBaseDlg(UINT templateId, CWnd* pParent);

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    LRESULT OnCircularProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Makes the own protocol object once; false when it cannot be made.
    bool MakeSession();
    // The title for a new or an existing guest folder.
    void SetFolderTitle();
    // OK with its text, Cancel and the caption close button, skinned and placed.
    void SkinButtons(unsigned okTextId);
    // Runs proc (parameter: this dialog) on a worker while the circular progress turns;
    // what the worker posts is handled meanwhile.
    void RunWorker(UINT (*proc)(LPVOID));

    // How a request with continuation steps ended.
    enum class Steps { kDone, kFirstFailed, kStepFailed };
    // On a worker: sends first(), then next() while the reply says that more follows; closes
    // the connection when everything went through. The protocol object keeps the failure.
    Steps RunSteps(const std::function<int()>& first, const std::function<int()>& next);

    CToviProto* m_pProto = nullptr;
    // Set by a worker that finished its request.
    bool m_bDone = false;
    CCircularProgressThread* m_pSpinner = nullptr;
    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};
