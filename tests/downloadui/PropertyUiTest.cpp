// The properties dialog against the test server: the form fills from several pages, closing it
// while pages still come ends the paging with "N", and a refused request shows the server's
// message and ends the dialog.
#include <winsock2.h>
#include "DownloadHost.h"
#include "AutoAnswer.h"
#include "FilePropertyDlg.h"
#include "WindowDriver.h"
#include <cstring>

using namespace downloadtest;

namespace {

class Properties : public DownloadHost {
protected:
    void TearDown() override
    {
        CFilePropertyDlg::SetPageLimit(0);
        Control("SWITCH propertyPages=0");
        DownloadHost::TearDown();
    }

    // The caller's side: a session of the dialog's own, opened with D1 pending.
    CToviProto* OpenSession()
    {
        CToviProto* proto = new CToviProto();
        proto->NoTimerFlag = 1;
        std::strcpy(proto->LoginInfo.SessionId, m_proto.LoginInfo.SessionId);
        std::strcpy(proto->ServerAddress.szHost, m_proto.ServerAddress.szHost);
        proto->ServerAddress.nPort = m_proto.ServerAddress.nPort;
        std::memcpy(proto->ServerAddress.szCode, m_proto.ServerAddress.szCode, sizeof proto->ServerAddress.szCode);
        EXPECT_EQ(0, proto->GetSecureCode(nullptr, proto->ServerAddress.szHost, proto->ServerAddress.nPort,
                                          proto->ServerAddress.szCode, PROT_CMD('D', '1')));
        return proto;
    }

    std::shared_ptr<uitest::UiTask> Open(const _PROTO_FOLDER_INFO& item)
    {
        CToviProto* proto = OpenSession();
        return m_ui.Post([proto, item] {
            CFilePropertyDlg dlg;
            dlg.m_pProto = proto;
            dlg.m_nDispMode = 1;
            dlg.m_vecItems.push_back(item);
            dlg.m_strLocation = L"My Files";
            dlg.DoModal();
        });
    }

    _PROTO_FOLDER_INFO Record(const std::string& path)
    {
        const std::string myFiles = TopFolder(m_proto, L"My Files");
        const std::vector<_PROTO_FOLDER_INFO> listing = ListAll(m_proto, myFiles, "1");
        const _PROTO_FOLDER_INFO* found = Find(listing, Wide(path).c_str());
        EXPECT_NE(nullptr, found) << path;
        return found ? *found : _PROTO_FOLDER_INFO();
    }

    static HWND Window(const wchar_t* title)
    {
        HWND wnd = nullptr;
        uitest::WaitUntil([&] { return (wnd = uitest::FindTopWindow(L"#32770", title)) != nullptr; }, 10000);
        return wnd;
    }

    std::string LastD1Continue()
    {
        const std::vector<std::map<int, std::string>> sent = road::LastRecords(Control("LAST cmd=D1"));
        if (sent.empty() || sent[0].count(173))
            return std::string();
        return sent[0].count(44) ? sent[0].at(44) : std::string();
    }
};

}

TEST_F(Properties, AFolderFillsTheFormFromSeveralPages)
{
    PutFile("proj/a.bin", 1000);
    PutFile("proj/b.bin", 2000);
    PutFolder("proj/inner");
    ASSERT_EQ("OK", Control("SWITCH propertyPages=3").substr(0, 2));
    auto task = Open(Record("proj"));
    HWND wnd = Window(L"proj Properties");
    ASSERT_NE(nullptr, wnd);
    ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::GetText(GetDlgItem(wnd, 10038)) == L"proj"; }, 10000));
    EXPECT_EQ("Y", LastD1Continue()) << "the pages were asked for";
    EXPECT_EQ(L"File 2, Folder 1", uitest::GetText(GetDlgItem(wnd, 10043)));
    EXPECT_EQ(L"My Files", uitest::GetText(GetDlgItem(wnd, 10048)));
    EXPECT_FALSE(uitest::GetText(GetDlgItem(wnd, 10034)).empty());
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(wnd, 10036))) << "the creator row";
    uitest::ClickButton(wnd, IDOK);
    EXPECT_TRUE(task->Wait(10000));
}

TEST_F(Properties, ClosingWhilePagesStillComeEndsThePagingWithNAndShowsNothing)
{
    PutFile("slow.bin", 10);
    ASSERT_EQ("OK", Control("SWITCH propertyPages=50").substr(0, 2));
    ASSERT_EQ("OK", Control("FAULT delay ms=300 count=* cmd=D1").substr(0, 2));
    uitest::AutoAnswer boxes(L"CorvaneIXO", IDOK);
    auto task = Open(Record("slow.bin"));
    HWND wnd = Window(L"slow.bin Properties");
    ASSERT_NE(nullptr, wnd);
    ASSERT_TRUE(uitest::WaitUntil([&] { return LastD1Continue() == "Y"; }, 10000));
    uitest::ClickButton(wnd, IDOK);
    EXPECT_TRUE(task->Wait(15000));
    EXPECT_EQ("N", LastD1Continue());
    EXPECT_EQ(0, boxes.Count());
    Control("RESET");
}

TEST_F(Properties, AServerThatNeverComesToItsLastPageIsToldNAtTheBound)
{
    PutFile("endless.bin", 10);
    ASSERT_EQ("OK", Control("FAULT no-last-page count=* cmd=D1").substr(0, 2));
    CFilePropertyDlg::SetPageLimit(5);
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    auto task = Open(Record("endless.bin"));
    ASSERT_TRUE(task->Wait(20000)) << "the dialog must end by itself";
    EXPECT_EQ(7, RequestCount("D1")) << "the request, five pages and the ending N";
    EXPECT_EQ("N", LastD1Continue());
    ASSERT_EQ(1, boxes.Count());
    EXPECT_TRUE(FirstBoxSaid(boxes, L"communicating with the server"))
        << "a message that says what went wrong, never an empty box";
}

TEST_F(Properties, ARefusedRequestShowsTheServersMessageAndEndsTheDialog)
{
    _PROTO_FOLDER_INFO missing = {};
    std::strcpy(missing.ItemType, "F");
    std::strcpy(missing.IDX, "999999");
    std::strcpy(missing.DIDX, "1");
    wcscpy(missing.Name, L"gone.bin");
    uitest::AutoAnswer boxes(L"Corvane IXO MessageBox", IDOK);
    auto task = Open(missing);
    EXPECT_TRUE(task->Wait(15000));
    ASSERT_EQ(1, boxes.Count());
    EXPECT_TRUE(FirstBoxSaid(boxes, L"not found")) << "the server's message";
}
