// The main frame as the local panes' host: each call goes to one of the frame's own methods.
#include "FrameLocalHost.h"
#include "MainFrame.h"

void CFrameLocalHost::SetMenuButtonState(const ServerMenuState& state)
{
    const BOOL flags[12] = {state.newFolder, state.upload, state.download, state.share, state.remove, state.copy,
                            state.cut, state.paste, state.link, state.approvalAfterGoTo, state.directEdit,
                            state.approval};
    m_frame->SetMenuButtonState("", flags, 12);
}

bool CFrameLocalHost::IsUploadAllowed()
{
    return m_frame->ServerUploadAllowed();
}

void CFrameLocalHost::SetActivePane(int row, int column)
{
    m_frame->ActivatePane(row, column);
}

void CFrameLocalHost::ClearCutMarks()
{
    m_frame->ClearPaneCutMarks();
}

void CFrameLocalHost::SetDragSource(const CString& tag)
{
    m_frame->SetDragSource(tag);
}

CString CFrameLocalHost::GetDragSource()
{
    return m_frame->DragSource();
}

_PROTO_FOLDER_INFO* CFrameLocalHost::ServerTarget(HTREEITEM* item)
{
    return m_frame->ServerTreeTarget(item);
}

void CFrameLocalHost::Upload(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items)
{
    m_frame->UploadFromLocal(folder, items);
}

void CFrameLocalHost::Download(std::vector<_DOWNLOADINFO>& items, HTREEITEM localItem)
{
    m_frame->DownloadToLocal(items, localItem);
}
