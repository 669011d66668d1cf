// Commands and notifications from a frame's child windows to the frame's command route.
#include "ControlBarRoute.h"
#include "FrameWnd.h"

BOOL FwRouteCommandToFrame(CFrameWnd* pFrame, WPARAM wParam, LPARAM lParam)
{
    if (pFrame == nullptr)
        return FALSE;
    int nCode = lParam != 0 ? HIWORD(wParam) : CN_COMMAND;
    return pFrame->OnCmdMsg(LOWORD(wParam), nCode, nullptr, nullptr);
}

BOOL FwRouteNotifyToFrame(CFrameWnd* pFrame, NMHDR* pNMHDR, LRESULT* pResult)
{
    if (pFrame == nullptr)
        return FALSE;
    FwNotifyExtra extra = { pNMHDR, pResult };
    return pFrame->OnCmdMsg((UINT)pNMHDR->idFrom, CN_NOTIFY, &extra, nullptr);
}
