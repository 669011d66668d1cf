// Messages of the server browsing controls.
#pragma once
#include <windows.h>

#ifndef WM_OPEN_CHILD_FOLDER
#define WM_OPEN_CHILD_FOLDER (WM_USER + 2)      // wParam: the child folder's record
#endif
#ifndef WM_LIST_THREAD_STOP
#define WM_LIST_THREAD_STOP (WM_USER + 29)      // stop the list's filling worker
#endif
#ifndef WM_DIRECTEDIT_REFRESH
#define WM_DIRECTEDIT_REFRESH (WM_USER + 72)    // wParam: the editor's result (0 done, 5 unlocked)
#endif
#ifndef WM_EDIT_LABEL
#define WM_EDIT_LABEL (WM_USER + 42)            // lParam: the row or tree item to edit again
#endif
#ifndef WM_SET_TOOLTIP_TEXT
#define WM_SET_TOOLTIP_TEXT (WM_USER + 112)     // lParam: the text of the next tool tip
#endif
// A refresh that arrived while another one ran; the tree runs it when that one is over.
#define WM_SERVER_TREE_DEFERRED (WM_APP + 0x121)
// The filling worker's rows for the list to insert; lParam: the batch (the worker waits).
#define WM_SERVER_LIST_ROWS (WM_APP + 0x122)
