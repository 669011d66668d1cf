// CErrorListDlg: the server items an operation could not finish, with their icons, names and
// locations. The caller picks the operation kind (0 delete, 1 copy, 2 move, 3 download), fills
// the records and runs it modally.
#pragma once
#include "ListCtrl.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include <vector>

class CVImageList;

class TOVIINTERFACE_API CErrorListDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CErrorListDlg)
public:
    explicit CErrorListDlg(CWnd* pParent = nullptr);
    ~CErrorListDlg() override;

    int m_nOperation = 0;
    std::vector<_PROTO_FOLDER_INFO> m_vecItems;

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    int RowIcon(const _PROTO_FOLDER_INFO& item);

    CListCtrl m_list;
    HIMAGELIST m_hImages = nullptr;
    CVImageList* m_pShared = nullptr;
    int m_nPlainFolder = -1;
    CToviButton m_btnClose;
    CToviButton m_btnCaptionClose;
};
