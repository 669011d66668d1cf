// CLinkInfoDlg: the download links of one server file: add, change, remove, and copy their
// addresses to the clipboard (also from the list's context menu).
#pragma once
#include "ToviButton.h"
#include "ToviProto.h"
#include "SharePanelDlg.h"

class TOVIINTERFACE_API CLinkInfoDlg : public CSharePanelDlg {
    DECLARE_DYNAMIC(CLinkInfoDlg)
public:
    explicit CLinkInfoDlg(CWnd* pParent = nullptr);

    CToviProto* m_pProto = nullptr;
    char m_szFolderId[10] = {};
    char m_szItemId[10] = {};
    wchar_t m_wszFileName[1024] = {};
    // Out: a link was added or removed.
    int m_nChanged = 0;

    // Puts text on the clipboard as Unicode text; 1 when it is there, 0 otherwise.
    int CopyTextToClipboard(const CString& text);

protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnDestroy();
    void OnBnClickedOk();
    void OnBnClickedBtnInsert();
    void OnBnClickedBtnModify();
    void OnBnClickedBtnRemove();
    void OnBnClickedBtnCopyUrl();
    DECLARE_MESSAGE_MAP()

private:
    void DrawLinkList();
    void OnNMRclickListLink();
    _PROTO_LINK_INFO* Record(int row) const;
    HWND List() const;
    _PROTO_FOLDER_INFO File() const;

    HIMAGELIST m_images = nullptr;
    CToviButton m_btnAdd, m_btnChange, m_btnRemove, m_btnCopy, m_btnCloseBottom, m_btnClose;
};
