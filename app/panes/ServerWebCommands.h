// The server features that live as web pages (approval requests, network send, the delete
// schedule, the document viewer, mail links, web links, the slide viewer): what each command posts and which script of the
// frame's page opens its pop-up. Pure builders; the frame host opens or re-navigates the pop-up.
#pragma once
#include "ProtoRecords.h"
#include "ProtoShareRecords.h"
#include "Strings.h"
#include <vector>

class CToviProto;

namespace webcmd {

// One page to open: the pop-up kind, the URL and the form body it posts, and the script
// function (with its arguments) that opens a pop-up of that kind.
struct PageRequest {
    int kind = 0;
    CString url;
    CString body;
    CString function;
    std::vector<CString> args;
};

// What every link is made of.
struct Session {
    CString webServer;      // empty: no page can be opened
    CString pagePath;
    CString userId;
    CString sessionId;
    CString domain;
    CString customerCode;
};

// The session's texts; the session id converted from the ANSI code page.
Session SessionOf(const CToviProto& proto, const CString& pagePath);

// The approval pages: "tasrequest", "tasrequestsec" (encrypted) and "tasrequestout".
enum class Approval { Normal, Encrypted, Outside };

PageRequest SendFileNet(const Session& s, const std::vector<_PROTO_FOLDER_INFO>& rows);
PageRequest DeleteSchedule(const Session& s);
PageRequest ApprovalPage(const Session& s, Approval which, const std::vector<_PROTO_FOLDER_INFO>& rows);
// files: the uploaded files' ids, already joined.
PageRequest UploadApproval(const Session& s, const CString& files);
PageRequest DocView(const Session& s, const _PROTO_FOLDER_INFO& row, int screenHeight);
PageRequest MailLink(const Session& s, const std::vector<_PROTO_FOLDER_INFO>& rows, const _PROTO_LINK_INFO& link);
// The web link of the rows: parentIdx is the clicked row's folder, folderType the shown folder's.
PageRequest WebLink(const Session& s, const std::vector<_PROTO_FOLDER_INFO>& rows, const CString& parentIdx,
                    const CString& folderType);
// The slide viewer opened on one picture of the shown folder (of type folderType).
PageRequest SlideViewer(const Session& s, const _PROTO_FOLDER_INFO& row, const CString& folderType);

}
