// What each web-page command of the server list posts and which script opens its pop-up.
#include "ServerWebCommands.h"
#include <gtest/gtest.h>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

using namespace webcmd;

namespace {

_PROTO_FOLDER_INFO Row(const char* type, const char* idx, const char* didx = "", const char* folderType = "")
{
    _PROTO_FOLDER_INFO r = {};
    std::strcpy(r.ItemType, type);
    std::strcpy(r.IDX, idx);
    std::strcpy(r.DIDX, didx);
    std::strcpy(r.Attr27, folderType);
    return r;
}

Session TestSession(const wchar_t* customer = L"TESTSRV")
{
    Session s;
    s.webServer = L"http://web.test";
    s.pagePath = L"/pm/app/appLoginProc.htm";
    s.userId = L"kim lee";
    s.sessionId = L"S1&x";      // a session id with '&' must not split the body
    s.domain = L"7";
    s.customerCode = customer;
    return s;
}

_PROTO_LINK_INFO Link(const char* id, const wchar_t* password, const char* expiry, const char* limit)
{
    _PROTO_LINK_INFO l = {};
    std::strcpy(l.szLinkId, id);
    wcscpy(l.wszPassword, password);
    std::strcpy(l.szExpire, expiry);
    std::strcpy(l.szLimit, limit);
    return l;
}

const wchar_t* const kHead = L"&uid=kim%20lee&sess=S1%26x";

}

TEST(WebCommands, EachCommandPostsItsLinkToThePageAndCallsItsScript)
{
    const std::vector<_PROTO_FOLDER_INFO> mixed = {Row("F", "11"), Row("D", "20"), Row("F", "12")};
    const std::vector<_PROTO_FOLDER_INFO> folders = {Row("D", "20"), Row("D", "21")};
    const struct {
        const char* what;
        std::function<PageRequest()> build;
        int kind;
        std::wstring body;
        const wchar_t* function;
        std::vector<std::wstring> args;
    } cases[] = {
        {"network send", [&] { return SendFileNet(TestSession(), mixed); }, 9,
         std::wstring(L"link=netsend") + kHead + L"&files=11%2C20%2C12", L"openSendFileNet", {}},
        {"delete schedule", [] { return DeleteSchedule(TestSession()); }, 15, std::wstring(L"link=delalarm") + kHead,
         L"openDelList", {}},
        {"approval, files and a folder", [&] { return ApprovalPage(TestSession(), Approval::Normal, mixed); }, 6,
         std::wstring(L"link=tasrequest") + kHead + L"&file=11%2C12&dir=20", L"openApproval", {}},
        {"approval, only folders", [&] { return ApprovalPage(TestSession(), Approval::Normal, folders); }, 6,
         std::wstring(L"link=tasrequest") + kHead + L"&dir=20%2C21", L"openApproval", {}},
        {"approval, nothing selected", [] { return ApprovalPage(TestSession(), Approval::Normal, {}); }, 6,
         std::wstring(L"link=tasrequest") + kHead, L"openApproval", {}},
        {"encrypted approval", [&] { return ApprovalPage(TestSession(), Approval::Encrypted, {Row("F", "11")}); },
         6, std::wstring(L"link=tasrequestsec") + kHead + L"&file=11", L"openApproval", {}},
        {"outside approval", [&] { return ApprovalPage(TestSession(), Approval::Outside, {Row("F", "11")}); }, 6,
         std::wstring(L"link=tasrequestout") + kHead + L"&file=11", L"openApproval", {}},
        {"approval of the customer with folder approval",
         [&] { return ApprovalPage(TestSession(L"zrvt_in"), Approval::Normal, {Row("F", "11")}); }, 6,
         std::wstring(L"link=tasrequest") + kHead + L"&file=11", L"openApprovalDir", {}},
        {"approval after an upload", [] { return UploadApproval(TestSession(), L"31,32"); }, 14,
         std::wstring(L"link=tasrequest") + kHead + L"&reg=Y&file=31%2C32", L"openApproval", {}},
        {"viewer", [] { return DocView(TestSession(), Row("F", "r45", "3", "1"), 900); }, 8,
         std::wstring(L"link=viewer") + kHead + L"&idx=r45&dtype=1&domain=7", L"openDocView", {L"1024", L"800"}},
        {"viewer in a folder of type 9", [] { return DocView(TestSession(), Row("F", "x45", "3", "9"), 768); }, 8,
         std::wstring(L"link=viewer") + kHead + L"&idx=45&dtype=9&domain=7", L"openDocView", {L"1024", L"668"}},
        {"mail link with every limit",
         [] {
             return MailLink(TestSession(), {Row("F", "r11", "3", "1"), Row("F", "12", "4", "1")},
                             Link("L77", L"pw&1", "2027-01-31", "5"));
         },
         13,
         std::wstring(L"link=mailLink") + kHead +
             L"&linfo=11%3A3%3Af%2C12%3A4%3Af&didx=7&idx=L77&dtype=1&usePasswd=Y&linkPwd=pw%261&setExpDate=Y"
             L"&expDate=2027-01-31&limitDown=Y&limitDownCnt=5",
         L"openMailLink", {}},
        {"mail link without limits in a folder of type 9",
         [] { return MailLink(TestSession(), {Row("F", "11", "3", "9")}, Link("L77", L"", "", "")); }, 13,
         std::wstring(L"link=mailLink") + kHead +
             L"&linfo=11%3A3%3Af&didx=7&idx=77&dtype=9&usePasswd=N&linkPwd=&setExpDate=N&expDate=&limitDown=N"
             L"&limitDownCnt=",
         L"openMailLink", {}},
        {"mail link whose password fills its field without an end",
         [] {
             _PROTO_LINK_INFO full = Link("", L"", "", "5");
             std::wmemset(full.wszPassword, L'p', sizeof full.wszPassword / sizeof(wchar_t));
             return MailLink(TestSession(), {Row("F", "11", "3", "1")}, full);
         },
         13,
         std::wstring(L"link=mailLink") + kHead + L"&linfo=11%3A3%3Af&didx=7&idx=&dtype=1&usePasswd=Y&linkPwd=" +
             std::wstring(21, L'p') + L"&setExpDate=N&expDate=&limitDown=Y&limitDownCnt=5",
         L"openMailLink", {}},
        {"web link of two rows",
         [] { return WebLink(TestSession(), {Row("F", "r11", "3"), Row("F", "12", "4")}, L"50", L"1"); }, 10,
         std::wstring(L"link=weblink") + kHead + L"&linfo=r11%3A7%3Af%2C12%3A7%3Af&didx=7&idx=50&dtype=1",
         L"openWebLink", {}},
        {"slide viewer",
         [] {
             _PROTO_FOLDER_INFO picture = Row("F", "r45", "3");
             std::strcpy(picture.Attr178, "50");
             return SlideViewer(TestSession(), picture, L"1");
         },
         12, std::wstring(L"link=slideviewer") + kHead + L"&data=50%2Cr45%2C3%2Cname%7Casc&dtype=1",
         L"openSlideViewer", {}},
        {"slide viewer in a folder of type 9",
         [] {
             _PROTO_FOLDER_INFO picture = Row("F", "x45", "3", "1");
             std::strcpy(picture.Attr178, "50");
             return SlideViewer(TestSession(), picture, L"9");
         },
         12, std::wstring(L"link=slideviewer") + kHead + L"&data=50%2C45%2C3%2Cname%7Casc&dtype=9",
         L"openSlideViewer", {}},
    };
    for (const auto& c : cases) {
        const PageRequest page = c.build();
        EXPECT_EQ(c.kind, page.kind) << c.what;
        EXPECT_EQ(L"http://web.test/pm/app/appLoginProc.htm", std::wstring(page.url.GetString())) << c.what;
        EXPECT_EQ(c.body, std::wstring(page.body.GetString())) << c.what;
        EXPECT_EQ(std::wstring(c.function), std::wstring(page.function.GetString())) << c.what;
        std::vector<std::wstring> args;
        for (const CString& a : page.args)
            args.push_back(a.GetString());
        EXPECT_EQ(c.args, args) << c.what;
    }
}
