// CServerListPane: the server file pane's data side: the item vector the tree hands over, the
// worker that turns it into rows, the column sets per folder kind and the sort state. The pane
// view owns one, creates the list control and forwards to it.
//
// GUI thread, except the worker, which touches the list only through SendMessage.
#pragma once
#include "ServerListCtrl.h"
#include "ServerPaneHost.h"
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CServerTreeCtrl;

class CServerListPane : public IServerListSide {
public:
    CServerListPane(CServerListCtrl* list, CServerTreeCtrl* tree, CToviProto* proto);
    ~CServerListPane() override;
    // The tree whose selected folder is shown and the session (after each log-in).
    void Attach(CServerTreeCtrl* tree, CToviProto* proto);

    void StopListThread() override;
    void ClearList() override;
    void SetListColumn(const _PROTO_FOLDER_INFO& folder) override;
    bool IsThumbnailView() override { return m_pList->m_bThumbnail; }
    void SetReportView() override { SetThumbnailView(false, false); }
    void SetListData(std::vector<_PROTO_FOLDER_INFO> items) override { m_items = std::move(items); }
    bool StartListThread() override;
    // Lets a running worker finish, pumping messages meanwhile.
    void WaitListThreadExit();
    bool IsFilling() const;

    // Picture view on or off; refill lists the tree's selected folder again. Pictures use the
    // frame's image extensions and box size, given beforehand.
    void SetThumbnailView(bool thumbnail, bool refill);
    void SetThumbnailSource(const CString& imageExtensions, int width, int height);
    // The frame's image extensions as given, lower case (empty when the server sent none).
    const CString& FrameImageExtensions() const { return m_frameImageExtensions; }
    HIMAGELIST ThumbnailImages() const { return m_thumbs; }

    // Profile values "ServerSort" and "ServerColumnSize" (no application: nothing kept).
    void LoadSortState();
    void SaveSortState() const;
    void LoadColumnSize(int variant);
    void SaveColumnSize() const;

    // Sort state ("ServerSort"): column and direction.
    void ApplySortState(bool groupFolder);
    // A row for a folder about to be named in target (the shown folder), after the leading
    // folder rows: its proposed name is "New Folder", or "New Folder (n)" when that is taken.
    // The row's index, -1 when none could be made.
    int InsertNewFolderRow(const _PROTO_FOLDER_INFO& target);
    // The rows sorted again by the state, in the shown folder's way.
    void Resort();
    void SetSortState(int column, int direction) { m_sortColumn = column; m_sortDirection = direction; }
    int SortColumn() const { return m_sortColumn; }
    int SortDirection() const { return m_sortDirection; }
    bool CustomColumns() const { return m_customColumns; }
    int RowCount() const { return m_rowCount; }

private:
    static DWORD WINAPI InsertListViewThread(LPVOID param);
    void FillRows();
    // On the worker: the list's spinner while a run fills the rows.
    void ShowSpinner(bool show);
    // A row made on the worker, inserted on the GUI thread with others in one message.
    struct PreparedRow {
        _PROTO_FOLDER_INFO* record = nullptr;
        int image = 0;
        bool locked = false;
        HBITMAP thumb = nullptr;   // the picture view's image, inserted with the row
        std::vector<std::pair<int, CString>> texts;   // column, text
    };
    PreparedRow PrepareRow(const _PROTO_FOLDER_INFO& record, const _PROTO_FOLDER_INFO* current, bool underRoot);
    bool InsertBatch(std::vector<PreparedRow>& batch);
    // Called on the GUI thread by the list for a batch the worker sent.
    friend class CServerListCtrl;
    void InsertPrepared(std::vector<PreparedRow>& batch);
    // The shell's type name and icon by extension: one shell query per kind of file.
    std::map<std::wstring, std::pair<int, CString>> m_fileKinds;
    int FolderIcon(const _PROTO_FOLDER_INFO& r, const _PROTO_FOLDER_INFO* current, bool underRoot);
    static void DropRows(std::vector<PreparedRow>& batch);
    HBITMAP BlankThumbnail() const;
    std::unique_ptr<CToviProto> OpenOwnConnection(HWND owner) const;
    void WaitWorker();

    CServerListCtrl* m_pList;
    CServerTreeCtrl* m_pTree;
    CToviProto* m_pProto;
    std::vector<_PROTO_FOLDER_INFO> m_items;
    HANDLE m_hWorker = nullptr;
    std::atomic<bool> m_bThreadStop{false};
    int m_rowCount = 0;
    bool m_customColumns = false;
    int m_sortColumn = 0;
    int m_sortDirection = 0;
    LANGID m_language = 0;   // the GUI thread's text language, for the worker's texts
    HIMAGELIST m_thumbs = nullptr;   // the picture view's images, one per row, owned
    CString m_imageExtensions = L"jpg;jpeg;png;gif;bmp";
    CString m_frameImageExtensions;
    int m_thumbWidth = 120;
    int m_thumbHeight = 90;
};
