// COleDropSource: the source side of a drag: when it ends and which cursor shows.
//
// Lives on the stack of whoever runs the drag (COleDataSource::DoDragDrop); OLE's references
// do not own it. The defaults: Escape cancels, releasing the button that started the drag
// drops, the system's drag cursors.
#pragma once
#include "CmdTarget.h"
#include "OleDefs.h"

class FW_API COleDropSource : public CCmdTarget {
    DECLARE_DYNAMIC(COleDropSource)
public:
    COleDropSource();
    ~COleDropSource() override;

    // Asked on every change of keys or buttons during the drag: DRAGDROP_S_CANCEL,
    // DRAGDROP_S_DROP or S_OK (go on). bEscapePressed: Escape was pressed since the last call.
    virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
    // The cursor for the effect the target shows; DRAGDROP_S_USEDEFAULTCURSORS by default.
    virtual SCODE GiveFeedback(DROPEFFECT dropEffect);

    // The IDropSource handed to OLE (no reference is added; the object stays ours).
    IDropSource* GetInterface();

    // The mouse buttons (MK_LBUTTON, MK_RBUTTON, MK_MBUTTON) held when the drag began; set by
    // DoDragDrop before OLE takes over. A drag with none drops at the first question.
    DWORD m_dwButtonDrop = MK_LBUTTON;

private:
    class XDropSource : public IDropSource {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override { return 2; }
        STDMETHOD_(ULONG, Release)() override { return 1; }
        STDMETHOD(QueryContinueDrag)(BOOL fEscapePressed, DWORD grfKeyState) override;
        STDMETHOD(GiveFeedback)(DWORD dwEffect) override;
        COleDropSource* m_pOwner = nullptr;
    } m_xDropSource;
};
