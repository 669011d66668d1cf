// The approval pages in the main window of this process, on a session of the test server: the
// command bar's approval opens the page through the script page and a second request goes to
// the open pop-up; the page's approval call reaches the splitter and the server list, which
// opens the upload-approval page; closing the pop-up has the list listed again.
//
// Wine renders no page: where a page would act (its new window, its size request, its calls
// to window.external), the test fires the browser's events and calls as the control and the
// page would, with a recording browser in the pop-up. Everything else is the program's own.
#include "AppRun.h"
#include "FakePopupHost.h"
#include "HexBytes.h"
#include "Library.h"
#include "MainFrame.h"
#include "MainFrameRules.h"
#include "MenuBarRes.h"
#include "PopupDlg.h"
#include "PopupView.h"
#include "SeamSwap.h"
#include "ServerLeftView.h"
#include "ServerOperationHost.h"
#include "ServerListPane.h"
#include "ServerRightView.h"
#include "ServerTreeCtrl.h"
#include "ToviHtmlView.h"
#include "ToviProto.h"
#include "ToviTray.h"
#include "UiThread.h"
#include "WindowDriver.h"
#include <gtest/gtest.h>
#include <exdispid.h>
#include <cstring>
#include <memory>
#include <string>

using namespace apprun;

namespace {

BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAW)
{
    return TRUE;
}

// Fires one event of the browser control at a view's event sink, arguments in written order.
HRESULT FireEvent(CHtmlView* view, DISPID id, std::vector<VARIANT> written)
{
    std::vector<VARIANT> reversed(written.rbegin(), written.rend());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return view->GetEventSink()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                        nullptr);
}

class ApprovalRoad : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_folder = "My Files/Approval" + std::to_string(::GetTickCount64());
        for (const char* name : {"a.txt", "b.txt"})
            ASSERT_EQ("OK", Control("FILE user=demo text=x -- " + m_folder + "/" + name).substr(0, 2));
        // Approvals on (138), the upload-approval page on (133), the command bar's button (49).
        ASSERT_EQ("OK", Control("OPTION A1 138=Y 133=Y 49=Y").substr(0, 2));
        CToviTray::s_pNotify = NoShell;
        m_ui.Run([this] {
            ::OleInitialize(nullptr);
            ToviInterfaceInit();
            m_frame = new CMainFrame;
            if (!m_frame->CreateHidden())
                m_frame = nullptr;
        });
        ASSERT_NE(nullptr, m_frame);
        ASSERT_NO_FATAL_FAILURE(LogIn());
    }

    void TearDown() override
    {
        m_ui.Run([this] {
            // The frame deletes the session it was handed.
            if (m_proto && m_handedOver)
                m_proto->GetLogoutInfo();
            else
                delete m_proto;
            if (m_frame && ::IsWindow(m_frame->m_hWnd)) {
                m_frame->m_pServerListView->SetOperationHost(nullptr);
                m_frame->DestroyWindow();
            }
            m_opHost.reset();
            ToviInterfaceTerm();
            ::OleUninitialize();
        });
        CToviTray::s_pNotify = ::Shell_NotifyIconW;
        Control("OPTION A1 138=- 133=- 49=-");
        AppRoadTest::TearDown();
    }

    // The session of the demo user, handed to the frame as its log-in would, and the server
    // panes started on it.
    void LogIn()
    {
        bool started = false;
        m_ui.Run([&] {
            m_proto = new protoserver::TestProto;
            m_proto->Aim(m_ports.port, "5");
            if (m_proto->GetSecureCode(nullptr, m_proto->ServerAddress.szHost, m_proto->ServerAddress.nPort,
                                       m_proto->ServerAddress.szCode, PROT_CMD('B', '0')) != 0 ||
                m_proto->GetLoginInfo(L"1", CString(kUser), CString(kPassword), const_cast<char*>("ko"),
                                      const_cast<char*>("N"), const_cast<char*>("2"), false, CString(), nullptr) != 0 ||
                m_proto->GetOption() != 0)
                return;
            m_proto->ServerAddress.WebServerAddress = L"http://web.test";
            delete m_frame->m_pProto;
            m_frame->m_pProto = m_proto;
            m_handedOver = true;
            m_frame->m_bLoggedIn = true;
            // The program's panes find the frame as the thread's main window; this thread has none.
            m_opHost.reset(NewFrameOperationHost(m_frame));
            m_frame->m_pServerListView->SetOperationHost(m_opHost.get());
            m_frame->StartServerPanes();
            started = true;
        });
        ASSERT_TRUE(started) << CStringA(m_proto->Message().c_str()).GetString();
        ASSERT_NE(nullptr, m_frame->m_pScriptView);
    }

    CServerTreeCtrl& Tree() { return m_frame->m_pServerTreeView->Tree(); }
    HWND List() { return m_frame->m_pServerListView->GetListWindow(); }

    HTREEITEM Child(HTREEITEM parent, const std::wstring& name)
    {
        HTREEITEM found = nullptr;
        m_ui.Run([&] {
            CServerTreeCtrl& tree = Tree();
            for (HTREEITEM i = parent ? tree.GetChildItem(parent) : tree.GetRootItem(); i && !found;
                 i = tree.GetNextSiblingItem(i))
                if (_PROTO_FOLDER_INFO* r = tree.GetRecord(i); r && name == r->Name)
                    found = i;
        });
        return found;
    }
    // Selects a folder as a click would and waits until the list is filled.
    void Select(HTREEITEM item)
    {
        m_ui.Run([&] { Tree().SelectItem(item); });
        ASSERT_TRUE(uitest::WaitUntil([&] {
            bool filling = true;
            m_ui.Run([&] { filling = m_frame->m_pServerListView->Pane()->IsFilling(); });
            return !filling;
        }));
    }
    int Row(const std::wstring& name)
    {
        int row = -1;
        m_ui.Run([&] {
            LVFINDINFOW find = {};
            find.flags = LVFI_STRING;
            find.psz = name.c_str();
            row = static_cast<int>(::SendMessageW(List(), LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(&find)));
        });
        return row;
    }
    // Only this row selected, as a click on it leaves the list.
    void SelectOnly(const std::wstring& name)
    {
        const int row = Row(name);
        ASSERT_GE(row, 0) << CStringA(name.c_str()).GetString();
        m_ui.Run([&] {
            LVITEMW state = {};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
        });
    }
    void ClickApproval()
    {
        m_ui.Run([&] {
            HWND button = ::GetDlgItem(m_frame->m_wndMenuBar.m_hWnd, IDC_MENU_APPROVAL);
            m_frame->m_wndMenuBar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MENU_APPROVAL, BN_CLICKED),
                                              reinterpret_cast<LPARAM>(button));
        });
    }
    CPopupDlg* OpenPopup(int kind)
    {
        CPopupDlg* popup = nullptr;
        m_ui.Run([&] { popup = m_frame->m_popups[mainframe::PopupSlot(kind)]; });
        return popup;
    }
    std::string Idx(const std::string& path)
    {
        return protoserver::Control::Value(Control("ITEM user=demo -- " + path), "idx");
    }

    uitest::UiThread m_ui;
    CMainFrame* m_frame = nullptr;
    protoserver::TestProto* m_proto = nullptr;
    bool m_handedOver = false;
    std::unique_ptr<IServerOperationHost> m_opHost;
    testseam::Swap<CHtmlView::BrowserFactory> m_browser{CHtmlView::s_pfnBrowserFactory};
    std::string m_folder;
};

}

TEST_F(ApprovalRoad, TheApprovalPagesCallsReachTheSplitterAndTheListAndASecondRequestNavigatesTheOpenPopUp)
{
    HTREEITEM myFiles = nullptr;
    ASSERT_TRUE(uitest::WaitUntil([&] { return (myFiles = Child(nullptr, L"My Files")) != nullptr; }, 10000));
    ASSERT_NO_FATAL_FAILURE(Select(myFiles));
    const std::wstring name = CString(m_folder.substr(m_folder.find('/') + 1).c_str()).GetString();
    HTREEITEM folder = Child(myFiles, name);
    ASSERT_NE(nullptr, folder);
    ASSERT_NO_FATAL_FAILURE(Select(folder));
    const std::string a = Idx(m_folder + "/a.txt"), b = Idx(m_folder + "/b.txt");
    ASSERT_FALSE(a.empty() || b.empty());
    CToviHtmlView* script = m_frame->m_pScriptView;

    // The command bar's approval on a.txt: no approval pop-up yet, so the script page is asked
    // for one, with the page and the form it must be given.
    ASSERT_NO_FATAL_FAILURE(SelectOnly(L"a.txt"));
    m_ui.Run([&] { script->m_nPopupKind = 0; });
    ClickApproval();
    int kind = -1;
    std::wstring url, param;
    m_ui.Run([&] {
        kind = script->m_nPopupKind;
        url = script->m_strPopupUrl.GetString();
        param = script->m_strPopupParam.GetString();
    });
    EXPECT_EQ(6, kind);
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", url);
    EXPECT_EQ(0u, param.find(L"link=tasrequest&uid=demo&sess=")) << CStringA(param.c_str()).GetString();
    EXPECT_NE(std::wstring::npos, param.find(L"&file=" + std::wstring(CString(a.c_str()).GetString())));

    // The page opens its window, which becomes the frame's approval pop-up, and asks for its
    // size: the pop-up posts the form and shows.
    popupfake::Log() = popupfake::BrowserLog();
    CHtmlView::s_pfnBrowserFactory = &popupfake::RecordingBrowser::Make;
    m_ui.Run([&] {
        IDispatch* opened = nullptr;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANT disp, cancelArg;
        ::VariantInit(&disp);
        ::VariantInit(&cancelArg);
        disp.vt = VT_BYREF | VT_DISPATCH;
        disp.ppdispVal = &opened;
        cancelArg.vt = VT_BYREF | VT_BOOL;
        cancelArg.pboolVal = &cancel;
        EXPECT_EQ(S_OK, FireEvent(script, DISPID_NEWWINDOW2, {disp, cancelArg}));
    });
    CPopupDlg* popup = OpenPopup(6);
    ASSERT_NE(nullptr, popup) << "the page's new window is no approval pop-up of the frame";
    const HWND popupWnd = popup->GetSafeHwnd();
    m_ui.Run([&] {
        CPopupView* view = popup->GetView();
        ASSERT_NE(nullptr, view);
        long cx = 600, cy = 400;
        VARIANT x, y;
        ::VariantInit(&x);
        ::VariantInit(&y);
        x.vt = y.vt = VT_BYREF | VT_I4;
        x.plVal = &cx;
        y.plVal = &cy;
        EXPECT_EQ(S_OK, FireEvent(view, DISPID_CLIENTTOHOSTWINDOW, {x, y}));
    });
    ASSERT_TRUE(uitest::WaitUntil([&] { return ::IsWindowVisible(popupWnd) != FALSE; }, 5000));
    ASSERT_EQ(1u, popupfake::Log().navigations.size());
    EXPECT_EQ(L"appApprovalRequest", popupfake::Log().navigations[0].target);
    EXPECT_NE(std::string::npos, popupfake::Log().navigations[0].body.find("&file=" + a));

    // A second approval, of b.txt, while it is open: that pop-up posts the new form; the script
    // page is not asked again.
    ASSERT_NO_FATAL_FAILURE(SelectOnly(L"b.txt"));
    m_ui.Run([&] { script->m_nPopupKind = 0; });
    ClickApproval();
    m_ui.Run([&] { kind = script->m_nPopupKind; });
    EXPECT_EQ(0, kind) << "the script page was asked for a second pop-up";
    EXPECT_EQ(popup, OpenPopup(6));
    ASSERT_EQ(2u, popupfake::Log().navigations.size());
    EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", popupfake::Log().navigations[1].url);
    EXPECT_EQ(L"appApprovalRequest", popupfake::Log().navigations[1].target);
    EXPECT_NE(std::string::npos, popupfake::Log().navigations[1].body.find("&file=" + b));
    EXPECT_EQ(std::string::npos, popupfake::Log().navigations[1].body.find("&file=" + a));

    // The page reports the files it holds for approval: through the splitter the server list
    // opens the upload-approval page with them.
    const std::wstring held = CString((a + "," + b).c_str()).GetString();
    popupfake::Log().location = L"http://web.test/pm/app/approval.htm";
    m_ui.Run([&] { popup->GetView()->GetExternal()->CallByName(L"SetDelScheduleFiles", {held}); });
    m_ui.Run([&] {
        kind = script->m_nPopupKind;
        param = script->m_strPopupParam.GetString();
    });
    EXPECT_EQ(14, kind) << "the approval call did not reach the server list";
    EXPECT_NE(std::wstring::npos, param.find(L"&reg=Y&file=" + std::wstring(CString(a.c_str()).GetString()) + L"%2C" +
                                             std::wstring(CString(b.c_str()).GetString())))
        << CStringA(param.c_str()).GetString();

    // Meanwhile the approval changed the folder at the server. Closing the pop-up has the
    // list listed again: the folder is asked for and the list shows what the server holds.
    ASSERT_EQ("OK", Control("FILE user=demo text=y -- " + m_folder + "/approved.txt").substr(0, 2));
    // Every listing leaves its mark on the count of a harmless fault.
    ASSERT_EQ("OK", Control("FAULT delay ms=1 count=50 cmd=D0").substr(0, 2));
    m_ui.Run([&] { ::SendMessageW(popupWnd, WM_COMMAND, MAKEWPARAM(10125, BN_CLICKED), 0); });
    ASSERT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(popupWnd); }, 5000));
    EXPECT_TRUE(uitest::WaitUntil([&] { return Row(L"approved.txt") >= 0; }, 10000)) << "the list was not listed again";
    EXPECT_NE("50", protoserver::Control::Value(Control("FAULTS"), "count")) << "no listing at the server";
    const std::string listing = Control("LAST cmd=D0");
    EXPECT_NE(std::string::npos, listing.find("173:" + hexbytes::UpperHex(Idx(m_folder)) + ",")) << "not the folder's listing: "
                                                                                  << listing;
    EXPECT_TRUE(uitest::WaitUntil([&] { return OpenPopup(6) == nullptr; }, 5000)) << "the frame kept the closed pop-up";
}
