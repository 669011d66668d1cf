// CServerRightView: the server file list pane (top right). It owns the list control and its
// data side (the filling worker, columns, sort state and picture view).
#pragma once
#include "PaneCommands.h"
#include "ServerCommandSink.h"
#include "ServerDropTargets.h"
#include "ServerListCtrl.h"
#include "ServerOperationHost.h"
#include "ServerListPane.h"
#include "View.h"
#include <functional>
#include <memory>

class CServerTreeCtrl;
class CServerLeftView;
class CSearchDlg;
class COleDataObject;

class CServerRightView : public CView, public IServerListMenuSink, public IServerListCommands {
    DECLARE_DYNCREATE(CServerRightView)
public:
    CServerRightView();
    ~CServerRightView() override;

    void SetSession(CToviProto* proto, IServerFrameHost* frame, CServerTreeCtrl* tree);
    // What the tree hands each folder's content to.
    IServerListSide* ListSide() { return m_pane.get(); }
    CServerListPane* Pane() { return m_pane.get(); }
    CServerListCtrl& List() { return m_list; }
    // The folder tree beside the list (null before the first session): its caret is the folder shown.
    CServerTreeCtrl* FolderTree() const { return m_pTree; }
    CSRDropTarget& DropTarget() { return m_dropTarget; }
    // Frees the items' records and empties the pane (log-out and shut-down).
    virtual void ClearPane();
    // The list has no folder of its own: the tree's selection is the path.
    virtual CString SelectedPath() const { return CString(); }
    // The command bar's view buttons (their command ids).
    enum { kNewFolderButton = 1005, kReportViewButton = 1023, kThumbnailViewButton = 1026 };
    // A new folder in the shown folder, or in the one selected folder row, named in place.
    void OnNewFolder() override;
    // The picture view or the report.
    void SetThumbnailView(bool thumbnail, bool refill);
    // The command bar's view buttons; the view is not kept in the profile, so save changes nothing.
    void SetThumbnailView(int thumbnail, int save) override { SetThumbnailView(thumbnail != 0, true); }
    // Column widths and sort state into the profile (the frame's layout save).
    void SaveLayout();
    // Widths and sort state read again (after the layout was reset), the rows re-sorted.
    void ReloadLayout();

    // ---- Commands on the rows (ServerRightViewCmds.cpp) ----
    void SetFolderView(CServerLeftView* tree) { m_pFolderView = tree; }
    void SetOperationHost(IServerOperationHost* host) { m_pOpHost = host; }
    void RunListCommand(int command, int row) override;
    void OpenFileRow(int action, int row) override;
    // "New Folder", or "New Folder (n)" with the first n from 2 that no row has.
    CString MakeNewFolderName();
    // Selects the row whose index is idx (a leading 'r' of a row's index is skipped) after the
    // filling worker ended; false when there is none.
    bool SelectRowByIdx(const char* idx);
    void OnRename();
    // The command bar's names (PaneCommands.h): mode 1 into the recycle bin, 0 for good.
    void OnDelete(int mode) override { DeleteRows(mode != 0); }
    void OnCopy() override { CopyRows(false); }
    void OnCut() override { CopyRows(true); }
    void OnPaste() override { PasteAt(false); }
    // False when nothing was done (no rows, refused, or no request went through).
    bool DeleteRows(bool toRecycleBin);
    // The selected rows on the clipboard, marked as cut with cut; 0 when nothing was put there.
    int CopyRows(bool cut);
    int PasteAt(bool atPoint);
    // The clipboard's items, or the dropped ones, pasted; 0 when no request went through.
    int OnServerFilePaste(int effect, bool useSelection, bool atPoint,
                          const std::vector<_PROTO_FOLDER_INFO>* dropped = nullptr);
    void OnLocalFilePaste(bool atPoint);
    // A drop of server items or local files on the row (-1: on no row) with the drop effect;
    // false when the folder refuses them or nothing was done.
    bool OnDropData(COleDataObject* data, int row, DWORD effect);
    void OnProperty();
    void OnShare(int row) override;
    // The versions of the row's file; downloads go to the local tree's folder when it takes files.
    void OnVersion(int row);
    // Links of the rows: with info, one row shows its links and several make new ones; without,
    // new links are made. The command bar's button asks with info.
    void OnLink(int row) override { OnLink(row, true); }
    void OnLink(int row, bool info);
    void OnGShare(int row, int newGroup, int groupSettings);
    void OnGuest(int row, bool newGuest);
    void OnSearch(const CString& text, int contents);
    void OnRecyclebinDelete() override { DeleteInRecycleBin(); }
    bool DeleteInRecycleBin();
    bool OnRecyclebinRestore();
    void OnRecyclebinEmpty();
    void OnAddShortcut();
    // The send-file dialog for the selected rows; 1 when it sent them.
    int OnSendFile();
    // File sending of the selected row switched on or off at the server.
    void OnSendFileOn() { SwitchFileSending(true); }
    void OnSendFileOff() { SwitchFileSending(false); }
    void OnDeleteBackupPC();
    void OnDownload() override;
    HWND GetListWindow() override { return m_list.GetSafeHwnd(); }
    void WaitListThreadExit() override;
    // The file of the row in the direct-edit add-on: 1 when it started or its installation
    // began, 0 otherwise.
    int OnDirectEdit(int row) override;
    // Cut marks of every row dropped (a move ended or the clipboard changed hands).
    void ClearCutMarks();

    // ---- The features that are web pages (ServerRightViewWeb.cpp) ----
    // Each returns 1 when its page went to the frame, 0 when none can be opened (no frame, no
    // session or no web address).
    int OnSendFileNet();
    int OnDeleteSchedule();
    int OnApproval() override;
    int OnApprovalEnc();
    int OnApprovalOut();
    // files: the uploaded files' ids, joined by the caller; an empty text opens nothing.
    int OnUploadApproval(const CString& files);
    int OnDocView(int row);
    // The page that mails the links just made for the selected rows.
    int OnMailLink(_PROTO_LINK_INFO link);
    // The web link of the selected rows (row: the one clicked) and the slide viewer of a picture.
    int OnWebLink(int row);
    int OnSlideViewer(int row);

protected:
    void OnDraw(CDC* pDC) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnSetFocus(CWnd* oldWnd);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnReportView();
    void OnThumbnailView();
    LRESULT OnSearchGotoFolder(WPARAM record, LPARAM);
    LRESULT OnSearchDlgClosed(WPARAM, LPARAM);
    LRESULT OnShowHtmlPopup(WPARAM, LPARAM);
    LRESULT OnListThreadStop(WPARAM, LPARAM);
    LRESULT OnDirectEditRefresh(WPARAM code, LPARAM);
    LRESULT OnApprovalRefresh(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    IServerOperationHost* OperationHost() const;
    CWnd* DialogOwner();
    std::vector<_PROTO_FOLDER_INFO> SelectedRecords() const;
    _PROTO_FOLDER_INFO* CurrentFolder() const;
    _PROTO_FOLDER_INFO* RowRecord(int row) const;
    // The tree item of an upload's target: the folder shown, or the tree's child of a folder
    // row (null when the tree has none).
    HTREEITEM FolderItemOf(const _PROTO_FOLDER_INFO* target) const;
    void Refresh(int mode = 0, bool useCache = true);
    void PostQuotaUpdate();
    // The folder row under the last right-click, else fallback.
    const _PROTO_FOLDER_INFO* FolderAtContextPoint(const _PROTO_FOLDER_INFO* fallback) const;
    int OpenPage(const std::function<webcmd::PageRequest(const webcmd::Session&)>& build);
    int OpenApprovalPage(webcmd::Approval which, const wchar_t* member);
    void SwitchFileSending(bool on);

    CToviProto* m_pProto = nullptr;
    CServerLeftView* m_pFolderView = nullptr;
    IServerOperationHost* m_pOpHost = nullptr;
    CSearchDlg* m_pSearch = nullptr;
    CServerListCtrl m_list;
    CSRDropTarget m_dropTarget;
    CServerTreeCtrl* m_pTree = nullptr;
    std::unique_ptr<CServerListPane> m_pane;
};
