// The program's stand-in main window until the log-in dialog and the explorer exist: it logs
// in to the configured server with the account that the run script names, lists the
// account's folders (a double-click opens a folder) and says what it is connected to.
//
// The server work runs on one worker thread at a time; the window thread waits for it only
// when the window closes, and then logs out.
#pragma once
#include "DemoSession.h"
#include "Framework.h"
#include <string>
#include <vector>

// Made with new; the window deletes its object when it is gone.
class CDemoFrame : public CWnd {
public:
    CDemoFrame();
    ~CDemoFrame() override;

    // Creates and shows the window and starts the log-in. The log-in account comes from the
    // environment (TOVI_DEMO_USER, TOVI_DEMO_PASSWORD, TOVI_DEMO_DOMAIN, default "1").
    BOOL CreateFrame(int showCommand);

protected:
    int OnCreate(LPCREATESTRUCT create);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    void OnListOpen(NMHDR* header, LRESULT* result);
    LRESULT OnStepDone(WPARAM, LPARAM);
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    // A folder on the way down from the top level.
    struct Level {
        CString name;
        std::string idx, didx;
    };
    // What the worker does next. The window thread fills it before the worker starts and
    // reads it after the worker ended.
    struct Job {
        bool open = true;           // Open, else List
        CString domain, user, password;
        std::string languageCode;
        std::string idx, didx;
        std::vector<Level> path;    // where a listing leads
        DemoOutcome outcome;
    };

    static UINT WorkerEntry(LPVOID param);
    void StartJob();
    void WaitForWorker();
    void ShowOutcome();
    void FillList(const std::vector<DemoItem>& items);
    void OpenItem(int row);
    CString FolderPath() const;
    CString StatusText() const;
    CString FailureText(const DemoOutcome& outcome) const;
    void SetNotice(const CString& text);

    CDemoSession m_session;
    Job m_job;
    CWinThread* m_pWorker = nullptr;
    bool m_busy = false;
    std::vector<DemoItem> m_items;
    std::vector<Level> m_path;      // empty at the top level
    CStatic m_notice;
    CListCtrl m_list;
    CWnd m_status;
    HFONT m_font = nullptr;         // ours; null when the stock font is used
};
