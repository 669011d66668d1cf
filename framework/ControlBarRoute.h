// The route of a frame's child windows that are not views (control bars, the splitter): what
// their own maps leave of a command or a notification goes to their frame's command route.
// UI thread only.
#pragma once
#include "FrameworkApi.h"
#include <windows.h>
#include <commctrl.h>

class CFrameWnd;

// WM_COMMAND's wParam and lParam: a control's notification code, or CN_COMMAND for a menu or
// an accelerator. FALSE without a frame or when the frame's route leaves it.
FW_API BOOL FwRouteCommandToFrame(CFrameWnd* pFrame, WPARAM wParam, LPARAM lParam);
// WM_NOTIFY's header and result. FALSE without a frame or when the frame's route leaves it.
FW_API BOOL FwRouteNotifyToFrame(CFrameWnd* pFrame, NMHDR* pNMHDR, LRESULT* pResult);
