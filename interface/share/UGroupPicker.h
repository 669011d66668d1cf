// CUGroupPicker: the organisation's user and group picker that the share and send-file dialogs
// carry in their right half: the group tree loaded level by level from the server, the member
// list of the selected group (or the results of a search), and the copy into the dialog's
// chosen list.
//
// The dialog owns the controls and forwards their notifications and the picker's step message
// to the picker. One worker at a time talks to the server through the dialog's protocol object;
// it hands every page to the dialog's thread with a sent message, so the controls are only ever
// touched on the dialog's thread. Everything but the worker runs on the dialog's thread.
#pragma once
#include "ToviInterfaceApi.h"
#include "ToviProto.h"
#include <windows.h>
#include <commctrl.h>
#include <atomic>

class CDialog;
class CWinThread;

// Sent by the picker's worker to the dialog; the dialog returns the picker's OnStep result.
#define WM_PICKER_STEP (WM_APP + 0x31)

class TOVIINTERFACE_API CUGroupPicker {
public:
    enum Kind { kShare, kSendFile, kGroupShare };
    // An entry as the tree and the member list keep it: the server's record and the mark that
    // tells entries the last load did not list again.
    struct Entry {
        _PROTO_UGROUP_INFO info;
        char mark;
    };

    CUGroupPicker();
    ~CUGroupPicker();

    // Binds the picker to the dialog's controls (ids of the shared templates) and prepares the
    // columns. The protocol object stays the dialog's.
    void Attach(CDialog* dialog, CToviProto* proto, Kind kind);
    // Root domain code for the tree's first level (the send-file dialog's caller gives one).
    void SetRootDomain(const char* domain);

    // Starts loading a tree level: item null is the root; mode 0 loads the group and its
    // members, 2 only expands. A running load is stopped first.
    void DrawUserNGroup(HTREEITEM item, int mode);
    // Waits for the worker, letting the dialog's messages through meanwhile.
    void WaitTerminateThread();
    // Asks the worker to stop and waits for it.
    void SetTerminateThread();
    // Loads the root, waits, and selects its first item, whose load follows.
    void LoadFirstLevel();
    // Selects the first root item and loads it (after the root's own load).
    void SelectFirstAndLoad();
    void Search();
    void CopySelected();
    void RemoveSelected();
    // Stops the worker and empties the tree and both lists (closing).
    void Shutdown();

    // Forwarded notifications; return what the notification's result should be.
    LRESULT OnTreeNotify(NMHDR* header);
    LRESULT OnMembersNotify(NMHDR* header);
    LRESULT OnChosenNotify(NMHDR* header);
    // Routes a dialog's notification to the one of the three above whose control sent it;
    // false when it came from another control.
    bool OnNotify(NMHDR* header, LRESULT* result);
    LRESULT OnStep(WPARAM step, LPARAM param);
    // Enter in the search edit searches; true when msg was consumed.
    bool PreTranslate(MSG* msg);

    bool IsBusy() const { return m_busy; }
    // The permission word and viewer digit new chosen rows of the share dialog get.
    void SetNewRowPermission(const char* word, const char* viewer);

    HWND Tree() const { return m_tree; }
    HWND Members() const { return m_members; }
    HWND Chosen() const { return m_chosen; }
    // The chosen rows' records: share dialog _PROTO_SHARED_UGROUP, send-file dialog Entry.
    void* ChosenRecord(int row) const;
    int ChosenCount() const;
    // Appends a share member row (the dialog's current members at opening).
    void AppendShared(const _PROTO_SHARED_UGROUP& record);
    // Rewrites the permission of every selected chosen row.
    void ApplyPermission(const char* word, const char* viewer);

    // Tree item data.
    Entry* ItemEntry(HTREEITEM item) const;

private:
    enum Step { kStepBegin, kStepPage, kStepSweep, kStepEnd, kStepError, kStepSearchPage, kStepMarquee };
    static UINT LoadThread(LPVOID param);
    static UINT SearchThread(LPVOID param);
    void StartWorker(UINT (*proc)(LPVOID));
    int DrawGroupTree(HTREEITEM item);
    void DrawUGroupList(HTREEITEM item, bool search);
    HTREEITEM FindFolder(HTREEITEM parent, const char* groupId) const;
    void MarkChildren(HTREEITEM item);
    void SweepChildren(HTREEITEM item);
    void InsertGroupListItem(int row, const _PROTO_UGROUP_INFO& entry);
    bool FindInserted(const _PROTO_UGROUP_INFO& entry) const;
    void InsertChosen(void* record, const _PROTO_UGROUP_INFO* entry, const _PROTO_SHARED_UGROUP* shared);
    void ClearMembers();
    void ClearTree();
    static CString UserLabel(const wchar_t* name, const char* second);

    CDialog* m_dialog = nullptr;
    CToviProto* m_proto = nullptr;
    Kind m_kind = kShare;
    HWND m_tree = nullptr;
    HWND m_members = nullptr;
    HWND m_chosen = nullptr;
    HWND m_searchEdit = nullptr;
    HWND m_progress = nullptr;
    HIMAGELIST m_images = nullptr;
    CWinThread* m_worker = nullptr;
    HTREEITEM m_loadItem = nullptr;   // null: the root
    int m_mode = 0;
    int m_memberRows = 0;
    char m_rootDomain[10] = {};
    char m_loadGroup[10] = {};
    char m_loadDomain[10] = {};
    char m_newWord[5] = "2000";
    char m_newViewer[3] = {};
    // Search request, read on the dialog's thread before the worker starts.
    char m_searchKind[2] = {};
    char m_searchRank[2] = {};
    wchar_t m_searchText[256] = {};
    char m_searchDomain[10] = {};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_busy{false};
    bool m_clearing = false;
    bool m_searched = false;
    bool m_expandPending = false;
    bool m_failed = false;
    bool m_marquee = false;
};
