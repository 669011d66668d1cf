// The drag's source side: ends the drag on Escape or on the release of its mouse button.
#include "OleDropSource.h"

IMPLEMENT_DYNAMIC(COleDropSource, CCmdTarget)

COleDropSource::COleDropSource()
{
    m_xDropSource.m_pOwner = this;
}

COleDropSource::~COleDropSource() = default;

IDropSource* COleDropSource::GetInterface()
{
    return &m_xDropSource;
}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed)
        return DRAGDROP_S_CANCEL;
    // A second button pressed during the drag cancels it, as the shell does.
    DWORD buttons = dwKeyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
    if ((buttons & ~m_dwButtonDrop) != 0 && (buttons & m_dwButtonDrop) != 0)
        return DRAGDROP_S_CANCEL;
    if ((buttons & m_dwButtonDrop) == 0)
        return DRAGDROP_S_DROP;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

STDMETHODIMP COleDropSource::XDropSource::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *ppv = static_cast<IDropSource*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleDropSource::XDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState)
{
    try {
        return m_pOwner->QueryContinueDrag(fEscapePressed, grfKeyState);
    } catch (...) {
        return DRAGDROP_S_CANCEL;
    }
}

STDMETHODIMP COleDropSource::XDropSource::GiveFeedback(DWORD dwEffect)
{
    try {
        return m_pOwner->GiveFeedback(dwEffect);
    } catch (...) {
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
}
