// What a frame or splitter hands to the windows it creates for it: the view class to make,
// the document the view shows, and the ids and styles of frames, bars and panes.
#pragma once
#include "Object.h"

class CDocument;
class CView;
class CFrameWnd;

// Control ids of a frame's children. The window with AFX_IDW_PANE_FIRST fills what the control
// bars leave of the frame; a splitter numbers its panes from it (row * 16 + column).
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF

// Control bar styles (the low word of a bar's style; the window style is separate).
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_TOP CBRS_ALIGN_TOP
#define CBRS_BOTTOM CBRS_ALIGN_BOTTOM
#define CBRS_LEFT CBRS_ALIGN_LEFT
#define CBRS_RIGHT CBRS_ALIGN_RIGHT
#define CBRS_NOALIGN 0x0000L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L

// Frame window style: the title follows the document (cleared; our frames keep their caption).
#define FWS_ADDTOTITLE 0x00008000L

// Window styles of a view a frame or splitter creates.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE)

// Framework messages, in the range Windows leaves to application frameworks.
// wParam TRUE: disable controls without a handler. Sent to a frame and its children when the
// thread's message loop goes idle; bars update their controls.
#define WM_IDLEUPDATECMDUI (WM_AFXFIRST + 3)
// Sent once to each view after its frame and siblings exist.
#define WM_INITIALUPDATE (WM_AFXFIRST + 4)

struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;   // the view to create; null for none
    CDocument* m_pCurrentDoc = nullptr;         // the document the new view joins, or null
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
