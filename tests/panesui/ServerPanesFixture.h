// The two server panes in a host window against the test server, for the window tests of their
// commands and drops: fakes of the main frame's two hosts, the views wired as the frame wires them.
#pragma once
#include <winsock2.h>
#include "RoadServer.h"
#include "ServerLeftView.h"
#include "ServerRightView.h"
#include "WindowDriver.h"
#include "Wnd.h"
#include <cstdlib>
#include <string>
#include <vector>

namespace road {

class FakeFrame : public IServerFrameHost {
public:
    bool IsLoggedIn() override { return true; }
    int CheckFolderPassword(const _PROTO_FOLDER_INFO&, bool) override { return password; }
    void PostForcedLogout() override {}
    void SetMenuButtonState(const ServerMenuState& state) override { menu = state; }
    bool IsDownloadTarget() override { return true; }
    void SetUploadAllowed(bool) override {}
    void SetViewButtonsEnabled(bool) override {}
    void EnableSearchBox(bool) override {}
    CString GetCustomerCode() override { return customer; }
    bool IsLabelEditing() override { return editing; }
    void SetLabelEditing(bool e) override { editing = e; }
    void SetActivePane(int, int) override {}
    void SetDragSource(const CString& tag) override { dragSource = tag; }
    CString GetDragSource() override { return dragSource; }
    bool editing = false;
    int password = 0;   // what every folder's password guard answers
    CString customer = L"TESTSRV";
    CString dragSource;
    ServerMenuState menu;
};

// The frame's side of a modal operation, as the views tell it.
class FakeOperationHost : public IServerOperationHost {
public:
    void BeginModalOperation(int mode, bool stopQuota) override { events.push_back("begin " + std::to_string(mode) + (stopQuota ? " stop" : "")); }
    void EndModalOperation() override { events.push_back("end"); }
    void PostQuotaUpdate() override { events.push_back("quota"); }
    void PostAlertUpdate() override { events.push_back("alert"); }
    CWnd* DialogOwner() override { return owner; }
    CString ShareOption() override { return CString(); }
    bool GroupShareOption() override { return false; }
    CString WebPagePath() override { return L"/pm/app/appLoginProc.htm"; }
    CString DownloadFolder() override { return CString(); }
    int VersionOption() override { return 0; }
    HWND TransferWindow() override { return nullptr; }
    void ShowPermissionHelp() override { events.push_back("help"); }
    void OpenWebPage(const webcmd::PageRequest& page) override { pages.push_back(page); }
    std::vector<webcmd::PageRequest> pages;
    void UploadFiles(const _PROTO_FOLDER_INFO& folder, const std::vector<CString>& paths, HTREEITEM) override
    {
        events.push_back("upload " + std::to_string(paths.size()) + " into " + folder.IDX);
    }
    void DownloadItems(const std::vector<_PROTO_FOLDER_INFO>& items, const CString&) override
    {
        events.push_back("download " + std::to_string(items.size()));
    }
    std::vector<std::string> events;
    CWnd* owner = nullptr;
};

class CHostWnd : public CWnd {};

class ServerPanesTest : public RoadTest {
protected:
    // The server's folders and files, made before the panes list anything.
    virtual void Seed() {}
    void SetUp() override
    {
        RoadTest::SetUp();
        ASSERT_EQ(0, LogIn(m_proto)) << m_proto.Message();
        Seed();
        ASSERT_FALSE(HasFatalFailure());
        m_made = m_host.CreateEx(0, nullptr, L"Server panes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 500, nullptr,
                                 nullptr);
        ASSERT_TRUE(m_made);
        m_left = new CServerLeftView;
        m_right = new CServerRightView;
        ASSERT_TRUE(m_left->Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 250, 460), &m_host, 100));
        ASSERT_TRUE(m_right->Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(255, 0, 880, 460), &m_host, 101));
        m_ops.owner = &m_host;
        m_right->SetSession(&m_proto, &m_frame, &m_left->Tree());
        m_left->SetSession(&m_proto, &m_frame, m_right->ListSide());
        m_left->SetListView(m_right);
        m_right->SetFolderView(m_left);
        m_left->SetOperationHost(&m_ops);
        m_right->SetOperationHost(&m_ops);
        ASSERT_TRUE(Tree().DrawTreeRoot(nullptr));
        m_host.SetForegroundWindow();
    }
    void TearDown() override
    {
        if (::OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        m_host.DestroyWindow();
        RoadTest::TearDown();
    }
    CServerTreeCtrl& Tree() { return m_left->Tree(); }
    CServerListCtrl& List() { return m_right->List(); }
    HTREEITEM Child(HTREEITEM parent, const wchar_t* name)
    {
        for (HTREEITEM i = parent ? Tree().GetChildItem(parent) : Tree().GetRootItem(); i; i = Tree().GetNextSiblingItem(i))
            if (_PROTO_FOLDER_INFO* r = Tree().GetRecord(i); r && std::wstring(r->Name) == name)
                return i;
        return nullptr;
    }
    void WaitFilled()
    {
        ASSERT_TRUE(uitest::WaitUntil([&] { return !m_right->Pane()->IsFilling(); }));
    }
    HTREEITEM Open(std::initializer_list<const wchar_t*> names)
    {
        HTREEITEM at = nullptr;
        for (const wchar_t* name : names) {
            at = Child(at, name);
            if (!at)
                return nullptr;
            Tree().SelectItem(at);
            WaitFilled();
            Tree().Expand(at, TVE_EXPAND);
        }
        return at;
    }
    int Row(const wchar_t* name)
    {
        for (int i = 0; i < List().GetItemCount(); ++i)
            if (List().GetItemText(i, 0) == name)
                return i;
        return -1;
    }
    std::string Idx(const std::string& path)
    {
        return protoserver::Control::Value(Control("ITEM user=road -- " + path), "idx");
    }
    long Exchanges()
    {
        return std::atol(protoserver::Control::Value(Control("COUNT"), "exchanges").c_str());
    }
    POINT ItemPoint(HTREEITEM item)
    {
        RECT r = {};
        Tree().GetItemRect(item, &r, TRUE);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT RowPoint(int row)
    {
        RECT r = {};
        ListView_GetItemRect(List().GetSafeHwnd(), row, &r, LVIR_LABEL);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    FakeFrame m_frame;
    FakeOperationHost m_ops;
    CHostWnd m_host;
    BOOL m_made = FALSE;
    CServerLeftView* m_left = nullptr;    // views delete themselves with their windows
    CServerRightView* m_right = nullptr;
};

}
