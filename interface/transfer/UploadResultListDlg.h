// CUploadResultListDlg: after an upload run, the files that failed or that the server held back,
// each with its reason, and below them the session's upload result message. The upload window
// moves its records in and runs it modally.
#pragma once
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include "ListCtrl.h"
#include <vector>

class TOVIINTERFACE_API CUploadResultListDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CUploadResultListDlg)
public:
    explicit CUploadResultListDlg(CWnd* pParent = nullptr);
    ~CUploadResultListDlg() override;

    // Set before DoModal.
    std::vector<_PROTO_UPLOAD_RESULT> m_vecResult;
    CString m_strMessage;       // may be empty

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    // False while the export approval window is open: the list must stay.
    bool MayClose() const;

    CListCtrl m_list;
    HIMAGELIST m_hImages = nullptr;
    CToviButton m_btnOk;
    CToviButton m_btnClose;
};
