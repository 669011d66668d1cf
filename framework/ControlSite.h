// COleControlSite: hosts one OLE control in a window: its client site, in-place site and
// in-place frame. COleControlContainer keeps the sites of one window; COccManager makes them,
// so a program can put a site of its own in place (a host-UI handler for a browser, say).
//
// Everything here runs on the UI thread that created the window, with OLE initialised. A site
// is reference counted: its container holds one reference and the control may hold more; it
// is deleted when the last one goes, so a control that calls its site late finds it alive
// (and finds it detached: it answers E_UNEXPECTED).
#pragma once
#include "CmdTarget.h"
#include "Geometry.h"
#include <ole2.h>
#include <docobj.h>
#include <vector>

class CWnd;
class COleControlContainer;
struct IDocHostUIHandler;

class FW_API COleControlSite {
public:
    explicit COleControlSite(COleControlContainer* pCtrlCont);
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    // Creates the control of clsid and activates it in place over rect (client coordinates
    // of the container's window). S_OK, or the failing step's result (the control is then
    // released again).
    virtual HRESULT CreateControl(REFCLSID clsid, const RECT& rect, UINT nID);
    // Deactivates, closes and releases the control, and leaves the container.
    void DestroyControl();
    void MoveControl(const RECT& rect);
    // An interface of the control; the caller releases it.
    HRESULT QueryControl(REFIID riid, void** ppv) const;
    // The control's own window, once it is active in place; may be null.
    HWND GetControlWindow() const;
    // Offers a key message to the active control: TRUE when the control used it.
    BOOL TranslateAccelerator(MSG* pMsg);

    UINT GetID() const { return m_nID; }
    COleControlContainer* GetContainer() const { return m_pCtrlCont; }

    // ---- Reference counting and interfaces of the site ----
    virtual HRESULT QueryInterface(REFIID riid, void** ppv);
    ULONG AddRef();
    ULONG Release();

protected:
    virtual ~COleControlSite();
    // The host-UI handler the browser asks about menus, borders and window.external; none by
    // default. A derived site returns one that lives as long as the site.
    virtual IDocHostUIHandler* GetDocHostUIHandler() { return nullptr; }
    HWND HostWindow() const;

    COleControlContainer* m_pCtrlCont;
    UINT m_nID = 0;
    CRect m_rect;
    IOleObject* m_pObject = nullptr;
    IOleInPlaceObject* m_pInPlaceObject = nullptr;
    IOleInPlaceActiveObject* m_pActiveObject = nullptr;

private:
    class XClientSite : public IOleClientSite {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override;
        STDMETHOD_(ULONG, Release)() override;
        STDMETHOD(SaveObject)() override;
        STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override;
        STDMETHOD(GetContainer)(IOleContainer** ppContainer) override;
        STDMETHOD(ShowObject)() override;
        STDMETHOD(OnShowWindow)(BOOL) override;
        STDMETHOD(RequestNewObjectLayout)() override;
        COleControlSite* m_pSite = nullptr;
    } m_xClientSite;

    class XInPlaceSite : public IOleInPlaceSite {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override;
        STDMETHOD_(ULONG, Release)() override;
        STDMETHOD(GetWindow)(HWND* phwnd) override;
        STDMETHOD(ContextSensitiveHelp)(BOOL) override;
        STDMETHOD(CanInPlaceActivate)() override;
        STDMETHOD(OnInPlaceActivate)() override;
        STDMETHOD(OnUIActivate)() override;
        STDMETHOD(GetWindowContext)(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                    LPRECT lprcPosRect, LPRECT lprcClipRect,
                                    LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
        STDMETHOD(Scroll)(SIZE) override;
        STDMETHOD(OnUIDeactivate)(BOOL) override;
        STDMETHOD(OnInPlaceDeactivate)() override;
        STDMETHOD(DiscardUndoState)() override;
        STDMETHOD(DeactivateAndUndo)() override;
        STDMETHOD(OnPosRectChange)(LPCRECT lprcPosRect) override;
        COleControlSite* m_pSite = nullptr;
    } m_xInPlaceSite;

    class XInPlaceFrame : public IOleInPlaceFrame {
    public:
        STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
        STDMETHOD_(ULONG, AddRef)() override;
        STDMETHOD_(ULONG, Release)() override;
        STDMETHOD(GetWindow)(HWND* phwnd) override;
        STDMETHOD(ContextSensitiveHelp)(BOOL) override;
        STDMETHOD(GetBorder)(LPRECT) override;
        STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS) override;
        STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS) override;
        STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR) override;
        STDMETHOD(InsertMenus)(HMENU, LPOLEMENUGROUPWIDTHS) override;
        STDMETHOD(SetMenu)(HMENU, HOLEMENU, HWND) override;
        STDMETHOD(RemoveMenus)(HMENU) override;
        STDMETHOD(SetStatusText)(LPCOLESTR) override;
        STDMETHOD(EnableModeless)(BOOL) override;
        STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override;
        COleControlSite* m_pSite = nullptr;
    } m_xInPlaceFrame;

    volatile LONG m_dwRef = 1;   // the container's reference
    friend class COleControlContainer;
};

// The sites of one window, and what the controls may ask of it (window.external).
class FW_API COleControlContainer {
public:
    explicit COleControlContainer(CWnd* pWnd);
    // Destroys every control that is left.
    virtual ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    CWnd* GetWindow() const { return m_pWnd; }
    HWND GetHwnd() const;
    void AddSite(COleControlSite* pSite);
    // Forgets the site and drops the container's reference to it.
    void RemoveSite(COleControlSite* pSite);
    COleControlSite* FindSite(UINT nID) const;

    // The object scripts of a hosted page reach as window.external; the container keeps a
    // reference. Null: none.
    void SetExternal(IDispatch* pDispatch);
    // window.external with a reference added, or null.
    IDispatch* GetExternal();

private:
    CWnd* m_pWnd;
    HWND m_hWnd;
    std::vector<COleControlSite*> m_sites;
    IDispatch* m_pExternal = nullptr;
};

// Makes the sites of a container; a program derives from it to host controls its own way.
class FW_API COccManager {
public:
    virtual ~COccManager() = default;
    // A new site for the container, with one reference (the container's).
    virtual COleControlSite* CreateSite(COleControlContainer* pCtrlCont);
};
