// CFolderSelectDlg: the folders of a backup policy, checked in a tree of the shell namespace
// that shows the drives under Computer and loads a folder's children when it is opened.
//
// The caller fills m_mapFolder (full path -> _FOLDER_PATH_INFO) and runs the dialog modally;
// the entries it can find again are shown checked. On OK the map holds the checked folders and
// is handed to the parent when the parent is a CBackupPolicyDlg; any other caller reads
// m_mapFolder after DoModal returned IDOK. Everything runs on the thread that runs the dialog.
#pragma once
#include "ToviInterfaceApi.h"
#include "Dialog.h"
#include "ToviButton.h"
#include "ToviExec.h"
#include "ToviRegistry.h"
#include "TreeCtrl.h"
#include <shlobj.h>

// The data of one tree item, owned by the item: freed by CleanItemData.
struct _FOLDER_TREE_ITEM {
    LPITEMIDLIST pidlRelative;      // in the parent folder
    LPITEMIDLIST pidlAbsolute;      // from the desktop
    IShellFolder* pParentFolder;    // counted reference; null for the desktop root
    wchar_t szDisplayName[260];
    ULONG ulAttributes;             // as the parent folder reported them
    BYTE bValid;                    // cleared before a refresh, set again for the items found
    BYTE bRoot;
    BYTE bComputer;
    BYTE bRecycleBin;
    BYTE bCdRom;
    BYTE bLibraries;
};

class TOVIINTERFACE_API CFolderSelectDlg : public CDialog {
    DECLARE_DYNAMIC(CFolderSelectDlg)
public:
    explicit CFolderSelectDlg(CWnd* pParent = nullptr);
    ~CFolderSelectDlg() override;

    CFolderPathMap m_mapFolder;

    // Whether the virtual-drive program runs (its mapped network drive is then left out);
    // tests replace it.
    bool (*m_pfnFindProcess)(CString) = &CToviExec::FindProcess;

    // Opens the tree along a tree path (display names joined by "/", the root's first) and,
    // with check, checks its last folder. False when the tree is empty or a part of the path
    // is no longer there: then nothing is checked.
    bool ExpandNSetPath(CString treePath, bool check);
    bool IsDisplay(HTREEITEM parent, LPCITEMIDLIST parentPidl, LPCITEMIDLIST childPidl, const CString& name);
    void EnumChildItems(IShellFolder* folder, LPCITEMIDLIST pidl, HTREEITEM item);
    bool InsertTreeItem(HTREEITEM item, IShellFolder* folder, LPCITEMIDLIST parentPidl, LPCITEMIDLIST childPidl,
                        const CString& name);
    void DrawSubItems(HTREEITEM item);
    void CheckChildItems(HTREEITEM item);
    void UnCheckChildItems(HTREEITEM item);
    void InvalidateChildItem(HTREEITEM item);
    void DeleteInvalidChildItem(HTREEITEM item);
    void CleanItem(HTREEITEM item);
    void CleanChildItem(HTREEITEM item);
    void CleanItemData(_FOLDER_TREE_ITEM* data);
    void CleanAllItems();

    // Natural order of the display names; -1 when an item has no data.
    static int CALLBACK CompareFunc(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

    // What a click on a folder's check box does to the map, without the window.
    enum CheckOutcome {
        kChecked = 0,           // added; folders inside it were removed
        kUnchecked,             // removed
        kRefusedSame,           // the same folder is in the map already
        kRefusedParent,         // a folder containing it is in the map
        kRefusedNoPath,         // a virtual folder, or a path the store cannot keep
    };
    static CheckOutcome ApplyCheck(CFolderPathMap& map, const CString& fullPath, const CString& treePath, bool check);
    // Whether a child of Computer is listed: not a hidden virtual folder, a file-system path,
    // a drive with a root, and not the virtual drive's own network drive while it runs.
    static bool ShowUnderComputer(bool hiddenFolder, const CString& path, UINT driveType, bool virtualDriveRuns,
                                  const CString& virtualDriveName, bool hasName);

    // Whether the shell's attributes make an item a folder of the tree: a folder that is also a
    // stream is an archive (a ZIP file) the shell opens as a folder, and is left out.
    static bool ListsAsFolder(ULONG attributes);

    // The checked state of the item whose tree path is treePath (for tests and callers that
    // show the choice); false when it is not loaded.
    bool IsPathChecked(const CString& treePath);
    HTREEITEM FindTreePath(const CString& treePath);
    CString GetTreePath(HTREEITEM item);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnNcActivate(BOOL bActive);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    void OnCloseButton();
    void OnTvnSelchanging(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTvnSelchanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTvnItemexpanding(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTvnItemexpanded(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTvnKeydown(NMHDR* pNMHDR, LRESULT* pResult);
    void OnNMClickTree(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnSettleCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void InitHiddenFolders();
    void InsertRoot();
    void OpenPreselected();
    void ClickCheck(HTREEITEM item);
    void SetItemCheck(HTREEITEM item, bool check);
    bool IsItemChecked(HTREEITEM item);
    CString ItemPath(HTREEITEM item);
    _FOLDER_TREE_ITEM* ItemData(HTREEITEM item);
    bool IsHiddenFolder(LPCITEMIDLIST pidl);
    void LayoutControls(int cx, int cy);
    void FreeHiddenFolders();

    CTreeCtrl m_tree;
    CToviButton m_btnOk, m_btnCancel, m_btnClose;
    IMalloc* m_pMalloc = nullptr;
    LPITEMIDLIST m_pidlRecycleBin = nullptr;
    LPITEMIDLIST m_pidlComputer = nullptr;
    LPITEMIDLIST m_pidlNetwork = nullptr;
    LPITEMIDLIST m_pidlControlPanel = nullptr;
    LPITEMIDLIST m_pidlVirtual1 = nullptr;
    LPITEMIDLIST m_pidlVirtual2 = nullptr;
    LPITEMIDLIST m_pidlLibraries = nullptr;
    int m_nBorder = 4;
    int m_nCaption = 27;
    int m_nBottom = 37;
    bool m_bResizable = true;
    bool m_bClearing = false;
    bool m_bRefreshing = false;
    bool m_bHadChildren = false;
    HTREEITEM m_hSettleItem = nullptr;   // the item whose check a click decided, until it settles
    HFONT m_hFont = nullptr;
    HFONT m_hTitleFont = nullptr;
    CString m_strTitle;
};
