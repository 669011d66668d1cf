// CCustomControlSite: the browser's site in the web pop-up and the program's browser views.
// It answers the browser's host-UI questions with fixed values: no context menu, no 3-D
// border, no scroll bars of its own, the browser's own shortcuts, and the view's dispatch as
// the page's window.external. UI thread only.
#pragma once
#include "ControlSite.h"
#include "ToviInterfaceApi.h"
#include <mshtmhst.h>

class TOVIINTERFACE_API CCustomControlSite : public COleControlSite {
public:
    explicit CCustomControlSite(COleControlContainer* pCtrlCont);

    // The handler as the browser reaches it (QueryInterface adds a reference).
    IDocHostUIHandler* GetHandler();

protected:
    ~CCustomControlSite() override;
    IDocHostUIHandler* GetDocHostUIHandler() override;

private:
    class XDocHostUIHandler : public IDocHostUIHandler {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override;
        STDMETHOD_(ULONG, Release)() override;
        STDMETHOD(ShowContextMenu)(DWORD, POINT*, IUnknown*, IDispatch*) override;
        STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* pInfo) override;
        STDMETHOD(ShowUI)(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                          IOleInPlaceUIWindow*) override;
        STDMETHOD(HideUI)() override;
        STDMETHOD(UpdateUI)() override;
        STDMETHOD(EnableModeless)(BOOL) override;
        STDMETHOD(OnDocWindowActivate)(BOOL) override;
        STDMETHOD(OnFrameWindowActivate)(BOOL) override;
        STDMETHOD(ResizeBorder)(LPCRECT, IOleInPlaceUIWindow*, BOOL) override;
        STDMETHOD(TranslateAccelerator)(LPMSG, const GUID*, DWORD) override;
        STDMETHOD(GetOptionKeyPath)(LPOLESTR*, DWORD) override;
        STDMETHOD(GetDropTarget)(IDropTarget*, IDropTarget**) override;
        STDMETHOD(GetExternal)(IDispatch** ppDispatch) override;
        STDMETHOD(TranslateUrl)(DWORD, LPWSTR, LPWSTR*) override;
        STDMETHOD(FilterDataObject)(IDataObject*, IDataObject**) override;
        CCustomControlSite* m_pSite = nullptr;
    } m_xDocHostUIHandler;
};
