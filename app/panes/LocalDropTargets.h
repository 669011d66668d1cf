// The drop targets of the two local panes: which effect a drag over the folder tree or the file
// list shows, which item it highlights, and where the drop goes. Server items always copy (a
// download); local files follow the shell's answer for the folder under the pointer.
//
// GUI thread (OLE). Each is a member of its pane's view and registered on the view's control;
// the tree's is in LocalTreeDropTarget.cpp, the list's in LocalListDropTarget.cpp.
#pragma once
#include "DragDrop.h"
#include <shlobj.h>

class CClientLeftView;
class CClientRightView;

// What the shell's drop target of the folder named by absolute would do with data (the test seam
// g_pShellDropEffect answers); none when data carries no data object.
DWORD LocalShellDropEffect(LPCITEMIDLIST absolute, COleDataObject* data, DWORD keys);

class CCLDropTarget : public CTreeDropTarget {
public:
    CClientLeftView* m_pView = nullptr;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
};

class CCRDropTarget : public CListDropTarget {
public:
    CClientRightView* m_pView = nullptr;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
};
