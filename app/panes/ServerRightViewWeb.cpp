// CServerRightView: the features the server offers as web pages, opened in the frame's pop-ups.
#include "ServerRightView.h"
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
    TraceLog(1, L" [ CServerRightView::OnApprovalEnc ] START!\n");
    const std::vector<_PROTO_FOLDER_INFO> rows = SelectedRecords();
    const int opened =
        OpenPage([&](const Session& s) { return webcmd::ApprovalPage(s, webcmd::Approval::Encrypted, rows); });
    TraceLog(1, L" [ CServerRightView::OnApprovalEnc ] END!\n");
    return opened;
}

int CServerRightView::OnApprovalOut()
{
    TraceLog(1, L" [ CServerRightView::OnApprovalOut ] START!\n");
    const std::vector<_PROTO_FOLDER_INFO> rows = SelectedRecords();
    const int opened =
        OpenPage([&](const Session& s) { return webcmd::ApprovalPage(s, webcmd::Approval::Outside, rows); });
    TraceLog(1, L" [ CServerRightView::OnApprovalOut ] END!\n");
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
