// COleDropTarget: a window that accepts OLE drops. Register ties it to a window; OLE then calls
// the drag callbacks below on the window's thread while a drag moves over it.
//
// The object belongs to its owner (usually a member of the view); OLE's references do not
// own it, so Revoke (or the destructor) must run before it goes. Points are in the window's
// client coordinates.
#pragma once
#include "CmdTarget.h"
#include "Geometry.h"
#include "OleDataObject.h"
#include "OleDefs.h"

class CWnd;

class FW_API COleDropTarget : public CCmdTarget {
    DECLARE_DYNAMIC(COleDropTarget)
public:
    COleDropTarget();
    ~COleDropTarget() override;

    // Accepts drops on pWnd; FALSE when OLE refuses (not initialised on this thread, or the
    // window already has a target).
    BOOL Register(CWnd* pWnd);
    void Revoke();
    HWND GetRegisteredWindow() const { return m_hWnd; }

    // ---- The drag callbacks (defaults: refuse, nothing to scroll) ----
    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    // TRUE when the drop was taken.
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    // Asked first on a drop: the effect performed, or (DROPEFFECT)-1 to let OnDrop decide with
    // dropDefault. dropList holds the effects the source allows.
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                DROPEFFECT dropList, CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    // Called on every movement before OnDragOver: an effect with DROPEFFECT_SCROLL when the
    // target scrolled (OnDragOver is then skipped), DROPEFFECT_NONE to go on to OnDragOver.
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    // The IDropTarget OLE holds (no reference is added).
    IDropTarget* GetInterface();

    // The system's drag-scroll settings: band width in pixels, delay before the first step
    // and interval between steps in ms (win.ini [windows] DragScrollInset, DragScrollDelay,
    // DragScrollInterval; the documented defaults otherwise).
    static int GetScrollInset();
    static UINT GetScrollDelay();
    static UINT GetScrollInterval();

    // The effect the keys ask for among the allowed ones: Ctrl+Shift link, Ctrl copy,
    // otherwise move (copy when move is not allowed).
    static DROPEFFECT EffectFromKeys(DWORD dwKeyState, DROPEFFECT allowed);

protected:
    // State of the drag over this target.
    COleDataObject* m_lpDataObject = nullptr;  // the drag in progress; null between drags
    UINT m_nScrollDirection = 0xFFFF;          // scroll direction code; 0xFFFF none
    DWORD m_dwLastTick = 0;                    // tick of the last scroll step
    UINT m_nScrollDelay = 0;                   // ms to wait before the next step
    DROPEFFECT m_dropEffectAllowed = DROPEFFECT_NONE;  // what the source allows (drag-over)
    DROPEFFECT m_dropEffectLast = DROPEFFECT_NONE;     // the effect shown last; a drop's default

private:
    CWnd* TargetWnd() const;
    CPoint ClientPoint(POINTL pt) const;
    void EndDrag();

    class XDropTarget : public IDropTarget {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override { return 2; }
        STDMETHOD_(ULONG, Release)() override { return 1; }
        STDMETHOD(DragEnter)(IDataObject* pData, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        STDMETHOD(DragOver)(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        STDMETHOD(DragLeave)() override;
        STDMETHOD(Drop)(IDataObject* pData, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        COleDropTarget* m_pOwner = nullptr;
    } m_xDropTarget;

    HWND m_hWnd = nullptr;
    COleDataObject m_dataObject;
};
