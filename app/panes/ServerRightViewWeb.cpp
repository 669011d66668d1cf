// CServerRightView: the features the server offers as web pages, opened in the frame's pop-ups.
#include "ServerRightView.h"
#include "ServerCommandSupport.h"
#include "ServerWebCommands.h"
#include "TraceLog.h"

using webcmd::PageRequest;
using webcmd::Session;

int CServerRightView::OpenPage(const std::function<PageRequest(const Session&)>& build)
{
    IServerOperationHost* host = OperationHost();
    if (!host || !m_pProto || m_pProto->ServerAddress.WebServerAddress.IsEmpty())
        return 0;
    host->OpenWebPage(build(webcmd::SessionOf(*m_pProto, host->WebPagePath())));
    return 1;
}

int CServerRightView::OnSendFileNet()
{
    TraceLog(1, L"[ CServerRightView::OnSendFileNet ] START!\n");
    const std::vector<_PROTO_FOLDER_INFO> rows = SelectedRecords();
    return OpenPage([&](const Session& s) { return webcmd::SendFileNet(s, rows); });
}

int CServerRightView::OnDeleteSchedule()
{
    return OpenPage([](const Session& s) { return webcmd::DeleteSchedule(s); });
}

int CServerRightView::OnApproval()
{
    const std::vector<_PROTO_FOLDER_INFO> rows = SelectedRecords();
    return OpenPage([&](const Session& s) { return webcmd::ApprovalPage(s, webcmd::Approval::Normal, rows); });
}

int CServerRightView::OnApprovalEnc()
{
    return OpenApprovalPage(webcmd::Approval::Encrypted, L"OnApprovalEnc");
}

int CServerRightView::OnApprovalOut()
{
    return OpenApprovalPage(webcmd::Approval::Outside, L"OnApprovalOut");
}

int CServerRightView::OpenApprovalPage(webcmd::Approval which, const wchar_t* member)
{
    TraceLog(1, L" [ CServerRightView::%s ] START!\n", member);
    const std::vector<_PROTO_FOLDER_INFO> rows = SelectedRecords();
    const int opened = OpenPage([&](const Session& s) { return webcmd::ApprovalPage(s, which, rows); });
    TraceLog(1, L" [ CServerRightView::%s ] END!\n", member);
    return opened;
}

int CServerRightView::OnUploadApproval(const CString& files)
{
    if (files.IsEmpty()) {
        TraceLog(1, L" [ CServerRightView::OnUploadApproval ] File List is EMPTY!\n");
        return 0;
    }
    return OpenPage([&](const Session& s) { return webcmd::UploadApproval(s, files); });
}

int CServerRightView::OnDocView(int row)
{
    const _PROTO_FOLDER_INFO* r = RowRecord(row);
    if (!r)
        return 0;
    const _PROTO_FOLDER_INFO record = *r;
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    return OpenPage([&](const Session& s) { return webcmd::DocView(s, record, height); });
}

int CServerRightView::OnMailLink(_PROTO_LINK_INFO link)
{
    TraceLog(1, L"[ CServerRightView::OnMailLink ]\n");
    const std::vector<_PROTO_FOLDER_INFO> rows = SelectedRecords();
    return OpenPage([&](const Session& s) { return webcmd::MailLink(s, rows, link); });
}

int CServerRightView::OnWebLink(int row)
{
    const std::vector<_PROTO_FOLDER_INFO> rows = SelectedRecords();
    // The clicked row names the folder; a click beside the rows falls back on the first one.
    const _PROTO_FOLDER_INFO* clicked = RowRecord(row);
    if (!clicked)
        clicked = rows.empty() ? nullptr : &rows[0];
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    if (!clicked || !current)
        return 0;
    const CString parent = servercmd::FieldText(clicked->Attr178);
    const CString type = servercmd::FieldText(current->Attr27);
    return OpenPage([&](const Session& s) { return webcmd::WebLink(s, rows, parent, type); });
}

int CServerRightView::OnSlideViewer(int row)
{
    const _PROTO_FOLDER_INFO* r = RowRecord(row);
    const _PROTO_FOLDER_INFO* current = CurrentFolder();
    if (!r || !current)
        return 0;
    const _PROTO_FOLDER_INFO picture = *r;
    const CString type = servercmd::FieldText(current->Attr27);
    return OpenPage([&](const Session& s) { return webcmd::SlideViewer(s, picture, type); });
}
