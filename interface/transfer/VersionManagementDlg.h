// CVersionManagementDlg: the stored versions of one server file, with a download and a delete
// button on every row. It does not download: the chosen version and a local folder go to the
// owner window with WM_VERSION_DOWNLOAD, and the owner starts the download.
#pragma once
#include "ProtoRecords.h"
#include "ToviHeaderCtrl.h"
#include "ToviListCtrl.h"
#include "VantelDialog.h"

class CToviProto;
class CToviButton;

// One row's data. It starts with the server's version record, so that WM_VERSION_DOWNLOAD's
// wParam is a _PROTO_VERSION_INFO*; the file's name and server path follow for the receiver.
struct _VERSION_ITEM {
    _PROTO_VERSION_INFO Version;
    wchar_t FileName[512];
    wchar_t ServerPath[512];
};

class TOVIINTERFACE_API CVersionManagementDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CVersionManagementDlg)
public:
    explicit CVersionManagementDlg(CWnd* pParent = nullptr);
    ~CVersionManagementDlg() override;

    // ---- Set by the caller before DoModal ----
    CToviProto* m_pProto = nullptr;     // not owned
    char m_szFileId[10] = {};
    char m_szFolderId[10] = {};
    char m_szRequestId[10] = {};
    wchar_t m_wszFileName[512] = {};
    HWND m_hOwner = nullptr;
    int m_nKeptVersions = 0;
    wchar_t m_wszPresetFolder[260] = {};
    int m_nPresetFlag = 0;
    CString m_strServerPath;

    int DownloadItem(int row);
    int DeleteItem(int row);

    // Where a download goes when no folder is preset: the user's choice, empty when cancelled.
    // Tests put their own choice in place.
    typedef CString (*FolderChooserFn)(HWND owner, const CString& title);
    static FolderChooserFn s_pfnChooseFolder;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDestroy();
    void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    void InitControl();
    void DrawVersionList();
    void CleanAllLinkListItems();
    void RemoveRow(int row);
    // The file's name without reading past its field.
    CString ShownName() const;
    // The refusal of a download whose file name or server path does not fit the row's fields;
    // empty when both fit.
    CString RefusedText(const _VERSION_ITEM& item) const;

    CToviListCtrl m_list;
    CToviHeaderCtrl m_header;
    CToviButton* m_pClose = nullptr;
    CToviButton* m_pCaptionClose = nullptr;
};
