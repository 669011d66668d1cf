// CRestoreListDlg: the items a restore from the server's recycle bin has just put back; a
// double click on a row closes the window and hands that row's server path, id and kind back.
// The caller fills m_vecItems, runs DoModal and reads the output when m_nChosen is set.
#pragma once
#include "ToviInterfaceApi.h"
#include "ListCtrl.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "VantelDialog.h"
#include <vector>

class TOVIINTERFACE_API CRestoreListDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CRestoreListDlg)
public:
    explicit CRestoreListDlg(CWnd* pParent = nullptr);
    ~CRestoreListDlg() override;

    // Input.
    std::vector<_PROTO_FOLDER_INFO> m_vecItems;
    // Output: set only by a double click on a row.
    int m_nChosen = 0;
    int m_nIsFile = 0;
    char m_szChosenIdx[10] = {};
    CString m_strChosenPath;

    int DrawList();
    int InsertListItem(int index, const _PROTO_FOLDER_INFO& record);
    void CleanAllListItems();
    void InitSortItems();

    // Folders before other items in both directions; the parameter holds the column in its
    // high 16 bits and "ascending" in its low 16 bits; a parameter above 0x3FFFF gives 0.
    static int CALLBACK CompareFunc(LPARAM a, LPARAM b, LPARAM sortParam);
    // The shell's natural order: case-insensitive, digit runs by value.
    static int StringCompare(CString a, CString b);
    static int SizeCompare(__int64 a, __int64 b);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnCloseButton();
    void OnListDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    CListCtrl m_list;
    CToviButton m_btnOk, m_btnClose;
    int m_nSortColumn = 0;
    int m_nSortAscending = 0;
    HFONT m_hBold = nullptr;
};
