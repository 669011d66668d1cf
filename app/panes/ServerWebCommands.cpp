#include "ServerWebCommands.h"
#include "FormParam.h"
#include "ServerCommandSupport.h"
#include "ToviConv.h"
#include "ToviProto.h"
#include <cstring>
#include <cwchar>

namespace webcmd {

using servercmd::FieldText;

namespace {

// "&name=value" with the value encoded.
CString Field(const wchar_t* name, const CString& value)
{
    return CString(L"&") + name + L"=" + CFormParam::Encode(value);
}

PageRequest Page(const Session& s, int kind, const wchar_t* link, const wchar_t* function)
{
    PageRequest r;
    r.kind = kind;
    r.url = s.webServer + s.pagePath;
    r.body = CFormParam::LinkBody(link, s.userId, s.sessionId);
    r.function = function;
    return r;
}

CString Join(const std::vector<CString>& parts)
{
    CString out;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? L"," : L"") + parts[i];
    return out;
}

// A folder of type "9" is addressed by its id without the leading mark.
CString IdForType(const CString& id, const CString& folderType)
{
    return folderType == L"9" && !id.IsEmpty() ? id.Mid(1) : id;
}

}

Session SessionOf(const CToviProto& proto, const CString& pagePath)
{
    Session s;
    s.webServer = proto.ServerAddress.WebServerAddress;
    s.pagePath = pagePath;
    s.userId = proto.LoginInfo.UserId;
    if (wchar_t* sid = CToviConv::Tovi_MultiByteToWideChar(proto.LoginInfo.SessionId)) {
        s.sessionId = sid;
        CToviConv::Tovi_wFree(sid);
    }
    s.domain = proto.DomainIndexW;
    s.customerCode = proto.CustomerCode;
    return s;
}

PageRequest SendFileNet(const Session& s, const std::vector<_PROTO_FOLDER_INFO>& rows)
{
    PageRequest r = Page(s, 9, L"netsend", L"openSendFileNet");
    std::vector<CString> ids;
    for (const _PROTO_FOLDER_INFO& row : rows)
        ids.push_back(FieldText(row.IDX));
    r.body += Field(L"files", Join(ids));
    return r;
}

PageRequest DeleteSchedule(const Session& s)
{
    return Page(s, 15, L"delalarm", L"openDelList");
}

PageRequest ApprovalPage(const Session& s, Approval which, const std::vector<_PROTO_FOLDER_INFO>& rows)
{
    const wchar_t* link = which == Approval::Encrypted ? L"tasrequestsec"
                          : which == Approval::Outside ? L"tasrequestout"
                                                       : L"tasrequest";
    const bool dirPage = s.customerCode.CompareNoCase(L"ZRVT_IN") == 0;
    PageRequest r = Page(s, 6, link, dirPage ? L"openApprovalDir" : L"openApproval");
    std::vector<CString> files, dirs;
    for (const _PROTO_FOLDER_INFO& row : rows)
        (row.ItemType[0] == 'D' ? dirs : files).push_back(FieldText(row.IDX));
    if (!files.empty())
        r.body += Field(L"file", Join(files));
    if (!dirs.empty())
        r.body += Field(L"dir", Join(dirs));
    return r;
}

PageRequest UploadApproval(const Session& s, const CString& files)
{
    PageRequest r = Page(s, 14, L"tasrequest", L"openApproval");
    r.body += Field(L"reg", L"Y") + Field(L"file", files);
    return r;
}

PageRequest DocView(const Session& s, const _PROTO_FOLDER_INFO& row, int screenHeight)
{
    PageRequest r = Page(s, 8, L"viewer", L"openDocView");
    const CString type = FieldText(row.Attr27);
    r.body += Field(L"idx", IdForType(FieldText(row.IDX), type)) + Field(L"dtype", type) + Field(L"domain", s.domain);
    CString height;
    height.Format(L"%d", screenHeight - 100);
    r.args = {CString(L"1024"), height};
    return r;
}

PageRequest MailLink(const Session& s, const std::vector<_PROTO_FOLDER_INFO>& rows, const _PROTO_LINK_INFO& link)
{
    PageRequest r = Page(s, 13, L"mailLink", L"openMailLink");
    CString linfo;
    for (const _PROTO_FOLDER_INFO& row : rows) {
        if (!linfo.IsEmpty())
            linfo += L",";
        linfo += FieldText(row.IDX);
        // Ids may carry the server's "r" mark, which the page does not take.
        linfo.Remove(L'r');
        linfo += L":" + FieldText(row.DIDX) + L":f";
    }
    const CString type = rows.empty() ? CString() : FieldText(rows[0].Attr27);
    const CString password(link.wszPassword,
                           static_cast<int>(wcsnlen(link.wszPassword, sizeof link.wszPassword / sizeof(wchar_t))));
    const CString expiry = FieldText(link.szExpire), limit = FieldText(link.szLimit);
    auto flag = [](const CString& value) { return CString(value.IsEmpty() ? L"N" : L"Y"); };
    r.body += Field(L"linfo", linfo) + Field(L"didx", s.domain) +
              Field(L"idx", IdForType(FieldText(link.szLinkId), type)) + Field(L"dtype", type) + Field(L"usePasswd", flag(password)) + Field(L"linkPwd", password) +
              Field(L"setExpDate", flag(expiry)) + Field(L"expDate", expiry) + Field(L"limitDown", flag(limit)) +
              Field(L"limitDownCnt", limit);
    return r;
}

PageRequest WebLink(const Session& s, const std::vector<_PROTO_FOLDER_INFO>& rows, const CString& parentIdx,
                    const CString& folderType)
{
    PageRequest r = Page(s, 10, L"weblink", L"openWebLink");
    std::vector<CString> entries;
    for (const _PROTO_FOLDER_INFO& row : rows)
        entries.push_back(FieldText(row.IDX) + L":" + s.domain + L":f");
    r.body += Field(L"linfo", Join(entries)) + Field(L"didx", s.domain) + Field(L"idx", parentIdx) +
              Field(L"dtype", folderType);
    return r;
}

PageRequest SlideViewer(const Session& s, const _PROTO_FOLDER_INFO& row, const CString& folderType)
{
    PageRequest r = Page(s, 12, L"slideviewer", L"openSlideViewer");
    const CString data = FieldText(row.Attr178) + L"," + IdForType(FieldText(row.IDX), folderType) + L"," +
                         FieldText(row.DIDX) + L",name|asc";
    r.body += Field(L"data", data) + Field(L"dtype", folderType);
    return r;
}

}
